#include "storage/CmdLine.h"

#include <cwchar>

#include "storage/internal/PathText.h"
#include "text/StrFunc.h"

using PathText::IsBlank;

namespace {

// Copies the n characters at src, cut to the capacity.
void CopyCut(wchar_t* out, unsigned cch, const wchar_t* src, size_t n)
{
    if (!out || !cch)
        return;
    if (n > cch - 1)
        n = cch - 1;
    std::wmemcpy(out, src, n);
    out[n] = L'\0';
}

// The end of the program path that starts at p: the closing quote of a
// quoted path, the first blank of a plain one.
const wchar_t* PathEnd(const wchar_t* p, bool quoted)
{
    while (*p && (quoted ? *p != L'"' : !IsBlank(*p)))
        ++p;
    return p;
}

bool IsSwitchChar(wchar_t c)
{
    return c == L'-' || c == L'/';
}

} // namespace

int SkipLeadingWhiteSpaces(const wchar_t*& p)
{
    if (!p)
        return 0;
    while (IsBlank(*p))
        ++p;
    if (*p != L'"')
        return 0;
    ++p;
    while (IsBlank(*p))
        ++p;
    return 1;
}

int SkipLeadingWhiteSpaces(wchar_t*& p)
{
    const wchar_t* q = p;
    int quoted = SkipLeadingWhiteSpaces(q);
    p = const_cast<wchar_t*>(q);
    return quoted;
}

int GetCmdLnPath(const wchar_t* cmd, wchar_t* out, unsigned cch)
{
    CopyCut(out, cch, L"", 0);
    if (!cmd || !out || !cch)
        return 0;
    const wchar_t* p = cmd;
    bool quoted = SkipLeadingWhiteSpaces(p);
    size_t n = static_cast<size_t>(PathEnd(p, quoted) - p);
    CopyCut(out, cch, p, n);
    return static_cast<int>(wcsnlen(out, cch));
}

const wchar_t* GetCmdLnArg(const wchar_t* cmd, wchar_t* out, unsigned cch)
{
    CopyCut(out, cch, L"", 0);
    if (!cmd)
        return nullptr;
    const wchar_t* start = cmd;
    while (IsBlank(*start))
        ++start;
    const wchar_t* p = start;
    bool quoted = SkipLeadingWhiteSpaces(p);
    if (*p == L'/') {
        // No program path: the line is all arguments, an opening quote
        // included.
        p = start;
    } else {
        p = PathEnd(p, quoted);
        // Only a quoted path's own closing quote is skipped; the opening
        // quote of a first argument belongs to that argument.
        if (quoted && *p == L'"')
            ++p;
        while (IsBlank(*p))
            ++p;
    }
    if (!*p)
        return nullptr;
    CopyCut(out, cch, p, std::wcslen(p));
    return p;
}

int IsCmdLineOption(const wchar_t* arg, const wchar_t* name)
{
    if (!arg || !name || !*name)
        return 0;
    if (PathText::SameText(arg, name))
        return 1;
    return IsSwitchChar(arg[0]) && PathText::SameText(arg + 1, name);
}

int IsCmdLineSwitchPrefix(const wchar_t* arg, const wchar_t* name)
{
    if (!arg || !name || !*name || !IsSwitchChar(arg[0]))
        return 0;
    if (StrStartsWith(arg + 1, name, 1))
        return 1;
    // Only a switch character of the name's own is dropped; dropping any
    // first letter would let "/silent" pass for "es".
    return IsSwitchChar(name[0]) && name[1] && StrStartsWith(arg + 1, name + 1, 1);
}

int IsCmdLinePrefix(const wchar_t* arg, const wchar_t* name)
{
    if (!arg || !name || !*name || !StrStartsWith(arg, name, 1))
        return 0;
    wchar_t after = arg[std::wcslen(name)];
    return after == L':' || after == L'=';
}

int GetCmdLineSwitchData(const wchar_t* arg, wchar_t* out, unsigned outLen, const wchar_t** next)
{
    CopyCut(out, outLen, L"", 0);
    if (next)
        *next = nullptr;
    if (!arg)
        return 0;
    const wchar_t* p = arg;
    while (*p && !IsBlank(*p) && *p != L':' && *p != L'=')
        ++p;
    if (*p != L':' && *p != L'=')
        return 0;
    const wchar_t* value = ++p;
    if (*p == L'"') {
        p = PathEnd(p + 1, true);
        if (*p)
            ++p;
    } else {
        p = PathEnd(p, false);
    }
    CopyCut(out, outLen, value, static_cast<size_t>(p - value));
    while (IsBlank(*p))
        ++p;
    if (next && *p)
        *next = p;
    return 1;
}
