// The version of the running system, as the system itself tells it: not
// the compatibility version that GetVersionEx answers to a program whose
// manifest does not name the newer systems. Internal to the library.
#pragma once

#include <windows.h>

// Fills version (its size field set here); all zero when the system
// cannot say.
void GetSystemVersion(OSVERSIONINFOEXW& version);

// Whether the system is Windows NT major.minor or later.
bool IsSystemAtLeast(DWORD major, DWORD minor);
