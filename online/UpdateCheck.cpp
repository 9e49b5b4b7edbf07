// Placeholder until the check is written.
#include "online/UpdateCheck.h"

int CheckForUpdates(HWND)
{
    return 0;
}

int DoCheckForUpdates(HWND, int*, const wchar_t*)
{
    return 0;
}

int DoCheckForUpdatesCmdln(const wchar_t*, int)
{
    return 0;
}
