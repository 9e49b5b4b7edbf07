// Building URLs and command lines in fixed buffers: every piece is cut where
// the buffer ends and the text stays terminated, so a long base URL, page
// key or registry command can shorten the result but never run past it.
#pragma once

#include <cwchar>

namespace UrlText {

// Appends text (its first n characters) to the terminated text in out
// (capacity cch); returns false when it had to be cut.
inline bool Append(wchar_t* out, unsigned cch, const wchar_t* text, size_t n)
{
    if (!out || !cch)
        return false;
    size_t used = wcsnlen(out, cch);
    if (used == cch) {
        // Not terminated within its capacity: end it at the last character.
        out[cch - 1] = L'\0';
        return false;
    }
    size_t room = cch - 1 - used;
    bool whole = n <= room;
    if (!whole)
        n = room;
    wmemcpy(out + used, text, n);
    out[used + n] = L'\0';
    return whole;
}

inline bool Append(wchar_t* out, unsigned cch, const wchar_t* text)
{
    return Append(out, cch, text ? text : L"", text ? wcslen(text) : 0);
}

// The separator that joins one more query parameter to url: "&" after a
// query that has begun, "?" when there is none, nothing right after "?".
inline const wchar_t* QuerySeparator(const wchar_t* url)
{
    const wchar_t* question = wcschr(url, L'?');
    if (!question)
        return L"?";
    size_t length = wcslen(url);
    return length && url[length - 1] == L'?' ? L"" : L"&";
}

// Appends one parameter ("name=value") by the separator rule.
inline bool AppendParameter(wchar_t* out, unsigned cch, const wchar_t* parameter)
{
    if (!out || !cch)
        return false;
    if (wcsnlen(out, cch) == cch)
        out[cch - 1] = L'\0';
    bool whole = Append(out, cch, QuerySeparator(out));
    return Append(out, cch, parameter) && whole;
}

// A web address the library may hand to the browser when it came from
// outside (the update server's answer): "http://" or "https://" in any
// case, then a host, and no blank, control character or quote anywhere
// that could end the address early or smuggle in arguments. "file:",
// program paths and other schemes are refused.
inline bool IsWebUrl(const wchar_t* url)
{
    if (!url)
        return false;
    size_t prefix = 0;
    if (!_wcsnicmp(url, L"http://", 7))
        prefix = 7;
    else if (!_wcsnicmp(url, L"https://", 8))
        prefix = 8;
    else
        return false;
    if (!url[prefix] || url[prefix] == L'/')
        return false;
    for (const wchar_t* c = url; *c; ++c)
        if (*c <= L' ' || *c == L'"' || *c == 0x7F)
            return false;
    return true;
}

} // namespace UrlText
