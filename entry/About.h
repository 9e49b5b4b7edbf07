// The product's About box: its name, version and revision, edition and
// architecture, copyright and a link to the maker's web site.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// modal non-zero: runs the box on owner (which may be null) and returns the
// code it closed with (IDOK, or IDCANCEL by Escape or the caption), -1 when
// it could not be made. modal 0: shows it modeless on the caller's message
// loop and returns 1, or 0 when it could not be made; the box frees itself
// when it closes.
PVDLL_API int DoAbout(HWND owner, int modal);
