// Raw file contents and folder listings for the file-layer tests (the
// writers live in common/RawFile.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/RawFile.h"

// "<missing>" when the file does not open.
inline std::string GetBytes(const std::wstring& path)
{
    bool opened = false;
    std::string bytes = ReadBytes(path, &opened);
    return opened ? bytes : "<missing>";
}

inline bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in a folder, "." and ".." left out.
inline std::vector<std::wstring> FolderNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}
