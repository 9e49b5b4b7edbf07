// What a path's attributes say about it, for the functions that ask
// whether a file or a folder is there; INVALID_FILE_ATTRIBUTES means
// nothing is. Internal to the library.
#pragma once

#include <windows.h>

namespace PathAttributes {

inline int Exists(DWORD attr)
{
    return attr != INVALID_FILE_ATTRIBUTES;
}

inline int IsFile(DWORD attr)
{
    return Exists(attr) && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

inline int IsFolder(DWORD attr)
{
    return Exists(attr) && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline int IsReadOnly(DWORD attr)
{
    return Exists(attr) && (attr & FILE_ATTRIBUTE_READONLY) != 0;
}

} // namespace PathAttributes
