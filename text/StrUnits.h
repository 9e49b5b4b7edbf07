// Fixed textual forms of sizes and durations, and the library's clocks.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// A size in units of 1024 with one truncated decimal: "1023 B", "1.5 KB",
// "1 GB" ("1.0 GB" with alwaysDecimal).
PVDLL_API void SizeToStr(wchar_t* out, unsigned cch, unsigned __int64 bytes, int alwaysDecimal);
// "59 seconds" / "59 s", "1 minute(s) 1 seconds" / "1 m 1 s",
// "1 hour(s) 1 minutes" / "1 h 1 m". 0 seconds: an empty out and 0.
PVDLL_API int GetTextRemaining(unsigned seconds, wchar_t* out, unsigned cch, int longForm);

// Seconds since 1995-12-26 00:00:00 UTC.
PVDLL_API unsigned GetCurTime();
PVDLL_API void UnixTimeToFileTime(unsigned __int64 unixTime, FILETIME* ft);
// The MS-DOS date word of st, or of today's local date when st is null.
PVDLL_API unsigned short GetDOSdate(const SYSTEMTIME* st);
