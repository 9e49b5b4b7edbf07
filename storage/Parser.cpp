#include "storage/Parser.h"

#include <cwchar>

Parser::Parser(const wchar_t* text, unsigned len) : pos(text), end(text), begin(text)
{
    if (text)
        end = text + (len ? len : wcslen(text));
}

int Parser::IsWhite() const
{
    wchar_t c = GetCurrentChar();
    return c == L' ' || c == L'\t';
}

int Parser::IsCR() const
{
    wchar_t c = GetCurrentChar();
    return c == L'\n' || (c == L'\r' && GetNextChar() == L'\n');
}

int Parser::SkipUnicodePrefix()
{
    if (IsUnicodePrefix())
        ++pos;
    return NotEnd();
}

int Parser::SkipWhite()
{
    while (IsWhite())
        ++pos;
    return NotEnd();
}

int Parser::SkipCR()
{
    if (GetCurrentChar() == L'\r')
        ++pos;
    if (GetCurrentChar() == L'\n')
        ++pos;
    return NotEnd();
}

int Parser::SkipLine()
{
    while (NotEnd() && !IsCR())
        ++pos;
    return SkipCR();
}

int Parser::SkipChar()
{
    if (NotEnd())
        ++pos;
    return NotEnd();
}

int Parser::SkipWhiteLines()
{
    for (;;) {
        if (IsWhite())
            ++pos;
        else if (IsCR())
            SkipCR();
        else
            return NotEnd();
    }
}

int Parser::SkipToken()
{
    while (NotEnd() && !IsWhite() && !IsCR())
        ++pos;
    return NotEnd();
}

int Parser::MustBe(wchar_t c)
{
    if (!NotEnd() || *pos != c)
        return 0;
    ++pos;
    return 1;
}

int Parser::IsOneOf(const wchar_t* set) const
{
    wchar_t c = GetCurrentChar();
    return c && set && wcschr(set, c) != nullptr;
}

void Parser::CharCopy(wchar_t*& dst)
{
    if (!NotEnd())
        return;
    *dst++ = *pos++;
}

void Parser::TokenCopy(wchar_t* dst, unsigned cch)
{
    if (!dst || cch == 0)
        return;
    wchar_t* last = dst + cch - 1;
    while (dst < last && NotEnd() && !IsWhite() && !IsCR())
        *dst++ = *pos++;
    *dst = L'\0';
}
