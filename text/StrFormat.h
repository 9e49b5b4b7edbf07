// Wide-text formatting with the platform's wide rules: "%s" reads a wide
// string, "%hs" a narrow one, "%S" the opposite width. Every format in the
// library goes through these two, so output is always bounded and always
// terminated, however long the arguments are.
#pragma once

#include <windows.h>
#include <cstdarg>

#include "entry/PVDLLApi.h"

// Formats into out (capacity cch characters, terminator included). The text
// is cut to fit; returns the number of characters written, without the
// terminator. A null out or a capacity of 0 writes nothing and returns 0.
PVDLL_API int StrFormatV(wchar_t* out, unsigned cch, const wchar_t* fmt, va_list args);
PVDLL_API int StrFormat(wchar_t* out, unsigned cch, const wchar_t* fmt, ...);

// Formats into a work area of 1024 characters (cutting a longer text) and
// appends the result to out, within its capacity cch. A null fmt (or id 0)
// empties out instead. The id form takes its format from the string table
// (see ResStr); a missing string formats as the empty string.
PVDLL_API void StrAppendTextFmt(wchar_t* out, unsigned cch, const wchar_t* fmt, ...);
PVDLL_API void StrAppendTextFmt(wchar_t* out, unsigned cch, int id, ...);
