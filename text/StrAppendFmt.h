// Appending a formatted text to a buffer, with the format given as text or
// as a string-table id.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// Formats into a work area of 1024 characters (cutting a longer text) and
// appends the result to out, within its capacity cch. A null fmt (or id 0)
// empties out instead. The id form takes its format from the string table
// (see ResStr); a missing string formats as the empty string.
PVDLL_API void StrAppendTextFmt(wchar_t* out, unsigned cch, const wchar_t* fmt, ...);
PVDLL_API void StrAppendTextFmt(wchar_t* out, unsigned cch, int id, ...);
