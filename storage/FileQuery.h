// Questions about a path that the file layer asks before it touches the
// file: does it exist, is it a file or a folder, and is another program
// holding it open. A null or empty path names nothing.
#pragma once

#include "base/PVDLLApi.h"

// By the path's attributes; a file is an existing path that is not a
// folder.
PVDLL_API int IsFileExists(const wchar_t* path);
PVDLL_API int IsFolderExists(const wchar_t* path);
PVDLL_API int IsFileOrFolderExists(const wchar_t* path);

// 1 when the file cannot be opened for reading and writing without
// sharing, which is what another program's open handle (or a running
// program's image) prevents. 0 for a missing path, a folder, or a file
// that is free. The probe leaves the file's three times as it found them.
// A read-only file is probed for reading only, since its attribute alone
// would refuse the write access.
PVDLL_API int IsFileInUse(const wchar_t* path);
