#include "base/StrFormat.h"

#include <cstdio>
#include <cwchar>

int StrFormatV(wchar_t* out, unsigned cch, const wchar_t* fmt, va_list args)
{
    if (!out || cch == 0)
        return 0;
    if (!fmt) {
        out[0] = L'\0';
        return 0;
    }
    // _vsnwprintf follows the platform's wide rules but leaves the buffer
    // unterminated when the text is cut; -1 (or cch) tells us it was.
    int n = _vsnwprintf(out, cch, fmt, args);
    if (n < 0 || static_cast<unsigned>(n) >= cch) {
        out[cch - 1] = L'\0';
        return static_cast<int>(cch - 1);
    }
    return n;
}

int StrFormat(wchar_t* out, unsigned cch, const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    int n = StrFormatV(out, cch, fmt, args);
    va_end(args);
    return n;
}
