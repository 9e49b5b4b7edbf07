#include "text/StrFormat.h"

#include <cstdio>
#include <cwchar>

#include "text/ResStr.h"

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

namespace {

void AppendFormatted(wchar_t* out, unsigned cch, const wchar_t* fmt, va_list args)
{
    if (!out || cch == 0)
        return;
    if (!fmt) {
        out[0] = L'\0';
        return;
    }
    wchar_t text[1024];
    StrFormatV(text, 1024, fmt, args);
    // out may come unterminated from a careless caller: never look past cch.
    unsigned used = static_cast<unsigned>(wcsnlen(out, cch));
    if (used < cch)
        lstrcpynW(out + used, text, static_cast<int>(cch - used));
}

} // namespace

void StrAppendTextFmt(wchar_t* out, unsigned cch, const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    AppendFormatted(out, cch, fmt, args);
    va_end(args);
}

void StrAppendTextFmt(wchar_t* out, unsigned cch, int id, ...)
{
    if (id == 0) {
        AppendFormatted(out, cch, nullptr, nullptr);
        return;
    }
    ResStr format(static_cast<short>(id));
    va_list args;
    va_start(args, id);
    AppendFormatted(out, cch, format, args);
    va_end(args);
}
