// Console output of the tools: wide text, formatted by the library's own
// StrFormatV, written to standard output as UTF-8 whatever standard output
// is (console, pipe, file).
#pragma once

#include <windows.h>

#include <cstdarg>

#include "PVDLL.h"

inline void PrintV(const wchar_t* fmt, va_list args)
{
    wchar_t text[2048];
    StrFormatV(text, 2048, fmt, args);
    char utf8[6144];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    DWORD written;
    if (bytes > 1)
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8, bytes - 1, &written, nullptr);
}

inline void Print(const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    PrintV(fmt, args);
    va_end(args);
}
