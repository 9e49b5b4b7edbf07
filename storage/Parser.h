// Parser: a cursor over a wide text with the scanning steps of the INI
// reader, exported for other line-based text formats. The text ends at the
// end position or at the first zero character, whichever comes first; no
// operation reads past either.
#pragma once

#include "base/PVDLLApi.h"

class PVDLL_API Parser {
public:
    // len 0: the text runs to its terminator.
    Parser(const wchar_t* text, unsigned len);

    int NotEnd() const { return pos < end && *pos != L'\0'; }
    // Zero where there is no such character.
    wchar_t GetCurrentChar() const { return NotEnd() ? *pos : L'\0'; }
    wchar_t GetPrevChar() const { return pos > begin ? pos[-1] : L'\0'; }
    wchar_t GetNextChar() const { return pos + 1 < end ? pos[1] : L'\0'; }
    const wchar_t* GetPos() const { return pos; }

    int IsWhite() const;
    int IsTab() const { return GetCurrentChar() == L'\t'; }
    // A line feed, or a carriage return right before one; a carriage
    // return alone is an ordinary character.
    int IsCR() const;
    int IsUnicodePrefix() const { return GetCurrentChar() == 0xFEFF; }

    // Each Skip moves the position and then answers NotEnd().
    int SkipUnicodePrefix();
    int SkipWhite();
    int SkipCR();
    int SkipLine();
    int SkipChar();
    int SkipWhiteLines();
    int SkipToken();

    int MustBe(wchar_t c);
    int IsOneOf(const wchar_t* set) const;
    void CharCopy(wchar_t*& dst);
    // Up to cch - 1 characters until a blank, a line end or the end.
    void TokenCopy(wchar_t* dst, unsigned cch);

private:
    const wchar_t* pos;
    const wchar_t* end;
    const wchar_t* begin;
};
