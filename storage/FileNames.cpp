#include "storage/FileNames.h"

#include <cwchar>

#include "storage/internal/PathText.h"
#include "base/StrFormat.h"
#include "text/StrFunc.h"

using PathText::cchPath;

namespace {

// What FixFileName, EncodeFileName and DecodeFileName treat: the nine
// characters no name may hold, and the dot, which would start an
// extension.
const wchar_t encodedChars[] = L"\"*./:<>?\\|";
const wchar_t invalidFileChars[] = L"\\/:*?\"<>|";
const wchar_t invalidFolderChars[] = L":*?\"<>|";

bool IsIn(wchar_t c, const wchar_t* set)
{
    return FindChar(set, c) >= 0;
}

// A decimal number of at most this value is looked at; longer digit runs
// saturate, so they name no character and never overflow.
constexpr unsigned maxCode = 0xFFFF;

// Reads "&#digits;" at p. The number goes to code (saturated above
// maxCode) and the length of the sequence is returned, 0 when p holds no
// such sequence.
size_t ReadSequence(const wchar_t* p, unsigned& code)
{
    if (p[0] != L'&' || p[1] != L'#' || !IsNumChar(p[2]))
        return 0;
    code = 0;
    size_t i = 2;
    for (; IsNumChar(p[i]); ++i) {
        if (code <= maxCode)
            code = code * 10 + (p[i] - L'0');
    }
    return p[i] == L';' ? i + 1 : 0;
}

} // namespace

const wchar_t* GetInvalidFileNameChars()
{
    return L"\\ / : * ? \" < > |";
}

const wchar_t* GetInvalidFolderNameChars()
{
    return L": * ? \" < > |";
}

int IsValidFileName(const wchar_t* name)
{
    return name && *name && StrCountChars(name, invalidFileChars) == 0;
}

int IsValidFolderName(const wchar_t* path)
{
    if (!path)
        return 0;
    bool drive = IsAlphaChar(path[0]) && path[1] == L':';
    bool network = path[0] == L'\\' && path[1] == L'\\';
    if (!drive && !network)
        return 0;
    for (const wchar_t* p = path + 2; *p; ++p) {
        if (IsSep(p[0]) && IsSep(p[1]))
            return 0;
    }
    return StrCountChars(path + 2, invalidFolderChars) == 0;
}

int IsValidAltFileName(const wchar_t* name)
{
    if (!IsValidFileName(name))
        return 0;
    size_t len = std::wcslen(name);
    const wchar_t* dot = std::wcsrchr(name, L'.');
    size_t base = dot ? static_cast<size_t>(dot - name) : len;
    return base <= 8 && len - base <= 4;
}

int FixFileName(wchar_t* out, const wchar_t* in, int flags)
{
    PathText::Writer w(out, cchPath);
    if (!in)
        return 0;
    // The output never runs ahead of the input, so in may be out.
    for (const wchar_t* p = in; *p; ++p) {
        wchar_t c = *p;
        if (IsIn(c, encodedChars)) {
            if (flags & 1)
                continue;
            c = L'-';
        } else if (c == L' ' && (flags & 2)) {
            continue;
        }
        if (!w.Put(c))
            break;
    }
    return w.End();
}

int EncodeFileName(wchar_t* out, const wchar_t* in)
{
    // Encoding lengthens the text, so it cannot be done in place.
    if (in && in == out)
        return 0;
    PathText::Writer w(out, cchPath);
    if (!in)
        return 0;
    for (const wchar_t* p = in; *p && w.Whole(); ++p) {
        if (IsIn(*p, encodedChars)) {
            wchar_t seq[16];
            StrFormat(seq, 16, L"&#%d;", static_cast<int>(*p));
            w.Put(seq);
        } else {
            w.Put(*p);
        }
    }
    return w.End();
}

int DecodeFileName(wchar_t* out, const wchar_t* in)
{
    PathText::Writer w(out, cchPath);
    if (!in)
        return 0;
    // A sequence is never shorter than its character, so in may be out.
    const wchar_t* p = in;
    while (*p && w.Whole()) {
        unsigned code = 0;
        size_t n = ReadSequence(p, code);
        if (n) {
            if (code <= maxCode && IsIn(static_cast<wchar_t>(code), encodedChars))
                w.Put(static_cast<wchar_t>(code));
            p += n;
        } else {
            w.Put(*p++);
        }
    }
    return w.End();
}

int AppendSecondTermZero(wchar_t* buf, unsigned cch)
{
    if (!buf)
        return 0;
    size_t len = wcsnlen(buf, cch);
    if (len + 1 >= cch)
        return 0;
    buf[len + 1] = L'\0';
    return 1;
}
