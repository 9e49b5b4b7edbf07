// A 260-character path buffer with a guard character behind it, for the
// tests of functions that write paths: whatever the input, the guard must
// survive and the text must end inside the buffer.
#pragma once

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

class PathBuf {
public:
    static constexpr wchar_t guard = L'\xFDFD';

    explicit PathBuf(const std::wstring& text = L"")
    {
        std::wmemset(buf, L'#', 261);
        buf[260] = guard;
        size_t n = text.size() < 259 ? text.size() : 259;
        std::wmemcpy(buf, text.c_str(), n);
        buf[n] = L'\0';
    }

    operator wchar_t*() { return buf; }
    wchar_t* Ptr() { return buf; }

    // The text, checked to end within the 260 characters.
    std::wstring Str() const
    {
        EXPECT_EQ(buf[260], guard) << "wrote past 260 characters";
        size_t len = wcsnlen(buf, 260);
        EXPECT_LT(len, 260u) << "no terminator within 260 characters";
        return std::wstring(buf, len);
    }

private:
    wchar_t buf[261];
};

inline std::wstring Repeat(size_t n, wchar_t c = L'a')
{
    return std::wstring(n, c);
}
