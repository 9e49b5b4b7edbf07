#include "text/StrAppendFmt.h"

#include <cwchar>

#include "base/StrFormat.h"
#include "text/ResStr.h"

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
