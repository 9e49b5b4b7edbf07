// What the HTTP and update-check tests share: the answer of SendHttp held
// until the test ends, and byte texts built from numbers.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "PVDLL.h"

struct DllBufFree {
    void operator()(wchar_t* text) const { FreeDllBuf(text); }
};
using HttpAnswer = std::unique_ptr<wchar_t, DllBufFree>;

inline std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// text in the ANSI code page, as the client sends and reads it.
inline std::string Ansi(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

inline std::wstring FromAnsi(const std::string& bytes)
{
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}
