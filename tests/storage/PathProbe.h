// A 260-character path buffer with a guard zone behind it, for the tests
// of functions that write paths: whatever the input, the guard must
// survive and the text must end inside the buffer.
#pragma once

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "common/GuardedBuffer.h"

class PathBuf {
public:
    static constexpr wchar_t guard = L'\xFDFD';

    explicit PathBuf(const std::wstring& text = L"") : buf(260, guard)
    {
        size_t n = text.size() < 259 ? text.size() : 259;
        std::wmemcpy(buf.data(), text.c_str(), n);
        buf[n] = L'\0';
    }

    operator wchar_t*() { return buf.data(); }
    wchar_t* Ptr() { return buf.data(); }

    // The text, checked to end within the 260 characters.
    std::wstring Str() const
    {
        EXPECT_TRUE(buf.GuardIntact()) << "wrote past 260 characters";
        size_t len = wcsnlen(buf.data(), 260);
        EXPECT_LT(len, 260u) << "no terminator within 260 characters";
        return std::wstring(buf.data(), len);
    }

private:
    GuardedBuffer<wchar_t> buf;
};

inline std::wstring Repeat(size_t n, wchar_t c = L'a')
{
    return std::wstring(n, c);
}
