#include "storage/FileQuery.h"

#include <windows.h>

#include "base/Owners.h"
#include "storage/internal/PathAttributes.h"

namespace {

DWORD Attributes(const wchar_t* path)
{
    if (!path || !*path)
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(path);
}

HANDLE OpenUnshared(const wchar_t* path, DWORD access)
{
    return CreateFileW(path, access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

int IsFileExists(const wchar_t* path)
{
    return PathAttributes::IsFile(Attributes(path));
}

int IsFolderExists(const wchar_t* path)
{
    return PathAttributes::IsFolder(Attributes(path));
}

int IsFileOrFolderExists(const wchar_t* path)
{
    return PathAttributes::Exists(Attributes(path));
}

int IsFileInUse(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !*path || !GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return 0;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return 0;

    FileHandle file(OpenUnshared(path, GENERIC_READ | GENERIC_WRITE));
    // The read-only attribute refuses write access whether or not anyone
    // holds the file; without sharing, a read open still fails while any
    // other handle is open.
    if (!file && GetLastError() == ERROR_ACCESS_DENIED && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        file.Reset(OpenUnshared(path, GENERIC_READ | FILE_WRITE_ATTRIBUTES));
    if (!file)
        return 1;
    // Opening may count as an access; the probe must not look like one.
    SetFileTime(file.Get(), &data.ftCreationTime, &data.ftLastAccessTime, &data.ftLastWriteTime);
    return 0;
}
