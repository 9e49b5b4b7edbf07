// Wide-text formatting with the platform's wide rules: "%s" reads a wide
// string, "%hs" a narrow one, "%S" the opposite width. Every format in the
// library goes through these two, so output is always bounded and always
// terminated, however long the arguments are.
#pragma once

#include <windows.h>
#include <cstdarg>

#include "base/PVDLLApi.h"

// Formats into out (capacity cch characters, terminator included). The text
// is cut to fit; returns the number of characters written, without the
// terminator. A null out or a capacity of 0 writes nothing and returns 0.
PVDLL_API int StrFormatV(wchar_t* out, unsigned cch, const wchar_t* fmt, va_list args);
PVDLL_API int StrFormat(wchar_t* out, unsigned cch, const wchar_t* fmt, ...);
