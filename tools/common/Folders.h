// Folder helpers of the tools.
#pragma once

#include <windows.h>

// Makes path and every missing folder above it (path is a full path with a
// drive: "C:\...").
inline void CreateFolders(const wchar_t* path)
{
    wchar_t folder[MAX_PATH];
    lstrcpynW(folder, path, MAX_PATH);
    for (wchar_t* p = folder + 3; *p; ++p) {
        if (*p == L'\\') {
            *p = 0;
            CreateDirectoryW(folder, nullptr);
            *p = L'\\';
        }
    }
    CreateDirectoryW(folder, nullptr);
}
