#include "text/StrFunc.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <utility>

#include "base/internal/DllHeap.h"

namespace {

inline bool InRange(unsigned c, unsigned lo, unsigned hi)
{
    return c - lo <= hi - lo;
}

inline bool IsAsciiLower(wchar_t c)
{
    return InRange(c, L'a', L'z');
}

inline bool IsAsciiUpper(wchar_t c)
{
    return InRange(c, L'A', L'Z');
}

// The platform's single-character form: a value whose high word is zero is
// taken as one character, not as a string.
wchar_t ConvertOne(LPWSTR(WINAPI* convert)(LPWSTR), wchar_t c)
{
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(convert(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

// Equal characters never need the platform call, which keeps the common
// case of case-insensitive compares cheap.
inline bool SameChar(wchar_t a, wchar_t b, int ignoreCase)
{
    if (a == b)
        return true;
    return ignoreCase && a && b && CharToUpper(a) == CharToUpper(b);
}

// Compares str with the item at p, which ends at sep or at the terminator
// (sep 0: at the terminator only). Returns where the item ends, never past
// the terminator.
const wchar_t* MatchItem(const wchar_t* str, const wchar_t* p, wchar_t sep, int ignoreCase, bool& equal)
{
    const wchar_t* s = str;
    while (*p && *p != sep && *s && SameChar(*s, *p, ignoreCase)) {
        ++s;
        ++p;
    }
    equal = *s == 0 && (*p == 0 || *p == sep);
    while (*p && *p != sep)
        ++p;
    return p;
}

inline bool IsDelim(wchar_t c, const wchar_t* delims)
{
    for (; *delims; ++delims) {
        if (*delims == c)
            return true;
    }
    return false;
}

// The tokenizer shared by StrTokEx and StrTokCtx; cut receives the
// delimiter overwritten with a terminator, 0 when the token ended the text.
wchar_t* NextToken(wchar_t* p, const wchar_t* delims, wchar_t*& next, wchar_t& cut)
{
    cut = 0;
    if (!p) {
        next = nullptr;
        return nullptr;
    }
    if (!delims)
        delims = L"";
    while (*p && IsDelim(*p, delims))
        ++p;
    if (!*p) {
        next = nullptr;
        return nullptr;
    }
    wchar_t* token = p;
    while (*p && !IsDelim(*p, delims))
        ++p;
    if (*p) {
        cut = *p;
        *p = L'\0';
        next = p + 1;
    } else {
        next = nullptr;
    }
    return token;
}

} // namespace

// --- character classes --------------------------------------------------------

int IsSep(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

int IsWhiteChar(wchar_t c)
{
    return c == L'\t' || c == L'\n' || c == L'\r' || c == L' ';
}

int IsAlphaChar(wchar_t c)
{
    return IsAsciiUpper(c) || IsAsciiLower(c);
}

int IsCapitalChar(wchar_t c)
{
    return IsAsciiUpper(c);
}

int IsNumChar(wchar_t c)
{
    return InRange(c, L'0', L'9');
}

int IsHexChar(wchar_t c)
{
    return InRange(c, L'0', L'9') || InRange(c, L'A', L'F') || InRange(c, L'a', L'f');
}

int IsAlphaNumChar(wchar_t c)
{
    return IsAlphaChar(c) || IsNumChar(c);
}

int IsPunctuationChar(wchar_t c)
{
    return c == 33 || c == 34 || InRange(c, 39, 47) || c == 58 || c == 59 || c == 61 || c == 63
        || InRange(c, 91, 94) || c == 96 || InRange(c, 123, 126);
}

int IsMiscChar(wchar_t c)
{
    return c == 32 || c == 33 || InRange(c, 35, 47) || InRange(c, 58, 64) || InRange(c, 91, 96)
        || InRange(c, 123, 126);
}

int IsCodeChar(wchar_t c)
{
    return c < 32 || c == 127;
}

int IsPrintableChar(wchar_t c)
{
    if (c >= 32)
        return c != 127;
    return c == 9 || c == 10 || c == 12 || c == 13 || c == 26;
}

int IsPrintableChar(char c)
{
    return IsPrintableChar(static_cast<wchar_t>(static_cast<unsigned char>(c)));
}

int IsMiscVK(unsigned vk)
{
    return InRange(vk, 106, 111) || vk == 146 || InRange(vk, 186, 192) || InRange(vk, 219, 223) || vk == 226;
}

// --- drive letters --------------------------------------------------------------

int GetDrive(wchar_t c)
{
    if (IsAsciiUpper(c))
        return c - L'A';
    if (IsAsciiLower(c))
        return c - L'a';
    return -1;
}

int IsValidDrive(int d)
{
    return static_cast<unsigned>(d) < 26;
}

// Unsigned like IsValidDrive, so GetDrive's -1 ("no drive") is no floppy.
int IsFloppyDrive(int d)
{
    return static_cast<unsigned>(d) < 2;
}

wchar_t GetDriveLetter(int d)
{
    return static_cast<wchar_t>(L'A' + d);
}

// --- case -----------------------------------------------------------------------

wchar_t CharToLower(wchar_t c)
{
    return ConvertOne(CharLowerW, c);
}

wchar_t CharToUpper(wchar_t c)
{
    return ConvertOne(CharUpperW, c);
}

void CharToLower(wchar_t* p)
{
    if (p)
        *p = CharToLower(*p);
}

void CharToUpper(wchar_t* p)
{
    if (p)
        *p = CharToUpper(*p);
}

wchar_t* StrToLower(wchar_t* s)
{
    if (s)
        CharLowerW(s);
    return s;
}

wchar_t* StrToUpper(wchar_t* s)
{
    if (s)
        CharUpperW(s);
    return s;
}

void StrCapitalizeAll(wchar_t* s)
{
    if (!s)
        return;
    bool inWord = false;
    bool done = false;
    for (; *s; ++s) {
        if (IsWhiteChar(*s)) {
            inWord = false;
            continue;
        }
        if (!inWord) {
            inWord = true;
            done = false;
        }
        if (!done && IsAlphaChar(*s)) {
            if (IsAsciiLower(*s))
                *s = static_cast<wchar_t>(*s - (L'a' - L'A'));
            done = true;
        }
    }
}

void StrRot13(wchar_t* s)
{
    if (!s)
        return;
    for (; *s; ++s) {
        if (IsAsciiUpper(*s))
            *s = static_cast<wchar_t>(L'A' + (*s - L'A' + 13) % 26);
        else if (IsAsciiLower(*s))
            *s = static_cast<wchar_t>(L'a' + (*s - L'a' + 13) % 26);
    }
}

// --- cursor primitives ------------------------------------------------------------

int CharCopy(wchar_t*& dst, const wchar_t*& src)
{
    if (!dst || !src)
        return 0;
    wchar_t c = *src++;
    *dst++ = c;
    return c != 0;
}

void StrCopy(wchar_t*& dst, const wchar_t*& src)
{
    if (!dst || !src)
        return;
    while ((*dst++ = *src++) != 0) {
    }
}

void CharAdd(wchar_t*& dst, wchar_t ch)
{
    if (dst)
        *dst++ = ch;
}

wchar_t* IncPsz(wchar_t*& p)
{
    return ++p;
}

const wchar_t* IncPsz(const wchar_t*& p)
{
    return ++p;
}

wchar_t* PszInc(wchar_t*& p)
{
    return p++;
}

const wchar_t* PszInc(const wchar_t*& p)
{
    return p++;
}

wchar_t* DecPsz(const wchar_t* start, wchar_t*& p)
{
    if (p && start && p > start)
        --p;
    return p;
}

const wchar_t* DecPsz(const wchar_t* start, const wchar_t*& p)
{
    if (p && start && p > start)
        --p;
    return p;
}

wchar_t CharAt(const wchar_t* p)
{
    return p ? *p : L'\0';
}

size_t wcslen(const char* s)
{
    size_t n = 0;
    if (s) {
        while (n < 32767 && s[n])
            ++n;
    }
    return n;
}

// --- measure or write -----------------------------------------------------------

void StrCopy(wchar_t*& dst, const wchar_t*& src, unsigned& count)
{
    if (!src)
        return;
    for (; *src; ++src, ++count) {
        if (dst)
            *dst++ = *src;
    }
}

void CopyStr(wchar_t*& dst, const wchar_t* src, unsigned& count)
{
    StrCopy(dst, src, count);
}

void CopyStrZ(wchar_t*& dst, const wchar_t* src, unsigned& count)
{
    StrCopy(dst, src, count);
    CharAdd(dst, L'\0', count);
}

void CharAdd(wchar_t*& dst, wchar_t ch, unsigned& count)
{
    ++count;
    if (dst)
        *dst++ = ch;
}

// --- copies on the library's heap ---------------------------------------------------

// The copy is made before the old string goes, so a source inside it is
// still readable; without memory for it, s stays as it was.
void StrAllocCopy(wchar_t*& s, unsigned& len, const wchar_t* src, int wipe)
{
    DllBlock<wchar_t> copy;
    size_t newLen = 0;
    if (src) {
        newLen = std::wcslen(src);
        copy.Reset(DllHeap::CopyText(src, newLen));
        if (!copy) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return;
        }
    }
    DllBlock<wchar_t> old(std::exchange(s, copy.Release()));
    if (old && wipe)
        StrErase(old.Get(), len + 1);
    len = static_cast<unsigned>(newLen);
}

void StrRealloc(wchar_t*& s, const wchar_t* src)
{
    DllBlock<wchar_t> copy;
    if (src && *src) {
        copy.Reset(DllHeap::CopyText(src, std::wcslen(src)));
        if (!copy) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return;
        }
    }
    DllBlock<wchar_t> old(std::exchange(s, copy.Release()));
}

void StrErase(wchar_t* s, unsigned n)
{
    if (s && n)
        SecureZeroMemory(s, static_cast<size_t>(n) * sizeof(wchar_t));
}

// The one place where a block handed out comes back to the heap.
void FreeDllBuf(void* block)
{
    DllBlock<void>{block};
}

// --- searching and comparing ------------------------------------------------------

int FindChar(const wchar_t* str, wchar_t ch)
{
    if (!str || !ch)
        return -1;
    const wchar_t* p = std::wcschr(str, ch);
    return p ? static_cast<int>(p - str) : -1;
}

int strPos(const wchar_t* str, wchar_t ch)
{
    return FindChar(str, ch);
}

int StrCharCount(const wchar_t* str, wchar_t ch)
{
    int n = 0;
    if (str && ch) {
        for (; *str; ++str)
            n += *str == ch;
    }
    return n;
}

int StrCountChars(const wchar_t* str, const wchar_t* set)
{
    int n = 0;
    if (str && set) {
        for (; *str; ++str)
            n += IsDelim(*str, set);
    }
    return n;
}

int IsNumStr(const wchar_t* str)
{
    if (!str || !*str)
        return 0;
    for (; *str; ++str) {
        if (!IsNumChar(*str))
            return 0;
    }
    return 1;
}

int StrAreEquN(const wchar_t* a, const wchar_t* b, unsigned n)
{
    if (!n || a == b)
        return 1;
    if (!a || !b)
        return 0;
    return std::wmemcmp(a, b, n) == 0;
}

int StrStartsWith(const wchar_t* str, const wchar_t* prefix, int ignoreCase)
{
    if (!prefix)
        return 1;
    if (!*prefix)
        return str && *str;
    if (!str)
        return 0;
    // A mismatch at str's terminator ends the loop, so str is never overrun.
    for (; *prefix; ++prefix, ++str) {
        if (!SameChar(*str, *prefix, ignoreCase))
            return 0;
    }
    return 1;
}

int StrStartsWith(const wchar_t* str, const wchar_t* prefix)
{
    if (!str || !prefix || !*prefix)
        return 0;
    int n = 0;
    for (; prefix[n]; ++n) {
        if (str[n] != prefix[n])
            return 0;
    }
    return n;
}

int StrFindInList(const wchar_t* zlist, const wchar_t* str, int ignoreCase)
{
    if (!zlist || !str)
        return -1;
    int index = 0;
    for (const wchar_t* p = zlist; *p; ++p, ++index) {
        bool equal;
        p = MatchItem(str, p, L'\0', ignoreCase, equal);
        if (equal)
            return index;
    }
    return -1;
}

int IsStrInListZ(const wchar_t* str, const wchar_t* zlist, int ignoreCase)
{
    return StrFindInList(zlist, str, ignoreCase) >= 0;
}

int GetStrCountInListZ(const wchar_t* zlist)
{
    int n = 0;
    if (zlist) {
        for (const wchar_t* p = zlist; *p; ++n)
            p += std::wcslen(p) + 1;
    }
    return n;
}

int IsStrInList(const wchar_t* str, const wchar_t* list, wchar_t sep, int ignoreCase)
{
    if (!str || !list || !*list)
        return 0;
    for (const wchar_t* p = list;; ++p) {
        bool equal;
        p = MatchItem(str, p, sep, ignoreCase, equal);
        if (equal)
            return 1;
        if (!*p)
            return 0;
    }
}

int IsMemSetTo(const void* buf, unsigned char b, unsigned n)
{
    if (!buf || !n)
        return 0;
    auto* p = static_cast<const unsigned char*>(buf);
    // Once the first byte is b, all are b exactly when every byte equals
    // its successor.
    return p[0] == b && std::memcmp(p, p + 1, n - 1) == 0;
}

// --- trimming and cleaning -----------------------------------------------------------

wchar_t* StrTrimW(wchar_t* s)
{
    if (!s)
        return s;
    wchar_t* p = s;
    while (IsWhiteChar(*p))
        ++p;
    size_t len = std::wcslen(p);
    if (p != s)
        std::memmove(s, p, (len + 1) * sizeof(wchar_t));
    wchar_t* end = s + len;
    while (end > s && IsWhiteChar(end[-1]))
        *--end = L'\0';
    return s;
}

wchar_t* TrimStr(wchar_t* s)
{
    return StrTrimW(s);
}

void StrRemoveAmpAndDots(wchar_t* s)
{
    if (!s)
        return;
    const wchar_t* r = s;
    wchar_t* w = s;
    while (*r) {
        if (*r == L'&') {
            ++r;
        } else if (r[0] == L'.' && r[1] == L'.' && r[2] == L'.') {
            r += 3;
        } else {
            *w++ = *r++;
        }
    }
    *w = L'\0';
}

void MakeStrPrintable(wchar_t* s, unsigned n)
{
    if (!s)
        return;
    for (unsigned i = 0; i < n; ++i) {
        if (!IsPrintableChar(s[i]))
            s[i] = L'.';
    }
}

// --- tokens ----------------------------------------------------------------------------

wchar_t* StrTokEx(wchar_t* str, const wchar_t* delims, wchar_t*& next)
{
    wchar_t cut;
    return NextToken(str ? str : next, delims, next, cut);
}

wchar_t* StrTokCtx(wchar_t* str, const wchar_t* delims, STR_TOK_CTX* ctx)
{
    if (!ctx)
        return nullptr;
    if (str) {
        ctx->pNext = str;
    } else if (ctx->chDelim && ctx->pNext) {
        // The cut delimiter sits just before where this scan starts.
        ctx->pNext[-1] = static_cast<wchar_t>(ctx->chDelim);
    }
    ctx->chDelim = 0;
    wchar_t cut;
    wchar_t* token = NextToken(ctx->pNext, delims, ctx->pNext, cut);
    ctx->chDelim = cut;
    return token;
}

int GetTokenCount(const wchar_t* str, const wchar_t* delims)
{
    if (!str)
        return 0;
    if (!delims)
        delims = L"";
    int n = 0;
    while (*str) {
        while (*str && IsDelim(*str, delims))
            ++str;
        if (!*str)
            break;
        ++n;
        while (*str && !IsDelim(*str, delims))
            ++str;
    }
    return n;
}

wchar_t* GetToken(const wchar_t* str, const wchar_t* delims, int index)
{
    constexpr int maxChars = 255;
    static wchar_t token[maxChars + 1];

    if (!str || index < 0)
        return nullptr;
    if (!delims)
        delims = L"";
    // Only the first 255 characters hold tokens; scanning them in place
    // needs no work copy.
    const wchar_t* end = str;
    while (end - str < maxChars && *end)
        ++end;
    const wchar_t* p = str;
    for (int i = 0;; ++i) {
        while (p < end && IsDelim(*p, delims))
            ++p;
        if (p == end)
            return nullptr;
        const wchar_t* start = p;
        while (p < end && !IsDelim(*p, delims))
            ++p;
        if (i == index) {
            size_t len = static_cast<size_t>(p - start);
            std::memcpy(token, start, len * sizeof(wchar_t));
            token[len] = L'\0';
            return token;
        }
    }
}
