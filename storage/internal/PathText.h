// Small text helpers shared by the path, command-line and file-name
// functions. Internal to the library.
#pragma once

#include <cwchar>

#include "text/StrFunc.h"

namespace PathText {

// The classic path limit: a path buffer holds this many characters,
// terminator included.
constexpr unsigned cchPath = 260;

// Copies at most cch - 1 characters of src and terminates; non-zero when
// all of src fitted. A null src copies as "". Nothing happens for a null
// out or a capacity of 0. out may equal src.
inline int Copy(wchar_t* out, unsigned cch, const wchar_t* src)
{
    if (!out || !cch)
        return 0;
    if (!src)
        src = L"";
    unsigned i = 0;
    for (; i + 1 < cch && src[i]; ++i)
        out[i] = src[i];
    int whole = src[i] == L'\0';
    out[i] = L'\0';
    return whole;
}

// Appends src to the text already in out, within the capacity; non-zero
// when all of src fitted.
inline int Append(wchar_t* out, unsigned cch, const wchar_t* src)
{
    if (!out || !cch)
        return 0;
    size_t used = wcsnlen(out, cch);
    if (used >= cch)
        return 0;
    return Copy(out + used, static_cast<unsigned>(cch - used), src);
}

// The two separators count as one character; letters compare as the
// toolkit's case-insensitive functions do.
inline bool SamePathChar(wchar_t a, wchar_t b)
{
    if (a == b)
        return true;
    if (IsSep(a) && IsSep(b))
        return true;
    return a && b && CharToUpper(a) == CharToUpper(b);
}

// Whole strings equal without regard to case.
inline bool SameText(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return false;
    if (std::wcslen(a) != std::wcslen(b))
        return false;
    return !*a || StrStartsWith(a, b, 1);
}

inline bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// Writes characters one by one into a buffer of cch characters, always
// leaving room for the terminator. Once something did not fit, nothing more
// is written, so a cut never leaves a gap inside the text. The terminator is
// written by End (or at the latest when the writer goes), never between two
// characters, so a function whose output trails its input may write over
// the text it is still reading.
class Writer {
public:
    Writer(wchar_t* out, unsigned cch) : out(cch ? out : nullptr), cch(cch) {}
    ~Writer() { End(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // All of s, or nothing of it.
    bool Put(const wchar_t* s, size_t n)
    {
        if (!whole || !out || n > cch - 1 - len) {
            whole = false;
            return false;
        }
        for (size_t i = 0; i < n; ++i)
            out[len++] = s[i];
        return true;
    }
    bool Put(wchar_t c) { return Put(&c, 1); }
    bool Put(const wchar_t* s) { return Put(s, std::wcslen(s)); }

    // Drops everything written.
    void Clear() { len = 0; }
    // Terminates the text; true when everything put so far fitted.
    bool End()
    {
        if (out)
            out[len] = L'\0';
        return whole;
    }
    bool Whole() const { return whole; }

private:
    wchar_t* out;
    unsigned cch;
    unsigned len = 0;
    bool whole = true;
};

} // namespace PathText
