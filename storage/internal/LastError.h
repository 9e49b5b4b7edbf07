// How the storage functions leave the reason of a failure to their caller:
// as the thread's last error, the way the platform's own calls do. The
// registry answers a status instead of setting the last error, and a
// failed allocation or a check of our own has no platform call behind it
// at all; all of them go through here, so a caller of the file or the
// registry functions reads GetLastError() alike. Internal to the library.
#pragma once

#include <windows.h>

#include "storage/CoreFile.h"

namespace LastError {

// True for success; any other status is left as the last error.
inline bool Keep(LONG status)
{
    if (status == ERROR_SUCCESS)
        return true;
    SetLastError(static_cast<DWORD>(status));
    return false;
}

// Leaves error as the last error and answers 0, the usual failure result.
inline int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

// The same for the file layer, which also keeps its last HRESULT.
inline int FailFile(DWORD error)
{
    CoreIOObj::SetLastWin32Error(error);
    return Fail(error);
}

} // namespace LastError
