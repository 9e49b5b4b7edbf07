// What the HTTP and update-check tests share: the answer of SendHttp held
// until the test ends, byte texts built from numbers, and the product's
// settings in a root key of the test's own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

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

// Each test keeps the product's settings below a root key of its own
// (named by kind and process, removed afterwards) and starts with no
// update policy in force; the update state's values are read and written
// raw below its "Setup" key.
class ProductRootTest : public testing::Test {
protected:
    explicit ProductRootTest(const wchar_t* kind)
        : sub(std::wstring(L"Software\\PVDLLTest") + kind + L"-" + std::to_wstring(GetCurrentProcessId()))
    {
    }
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
        GetMyProductInfo()->PushAppRootKey(Root().c_str());
        LiftCheckForUpdatesPolicy();
    }
    void TearDown() override
    {
        LiftCheckForUpdatesPolicy();
        GetMyProductInfo()->PopAppRootKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
    }

    std::wstring Root() const { return L"HKCU\\" + sub; }
    std::wstring SetupKey() const { return sub + L"\\Setup"; }
    void Put(const wchar_t* name, DWORD value)
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SetupKey().c_str(), name, REG_DWORD, &value, sizeof value),
            ERROR_SUCCESS);
    }
    void PutText(const wchar_t* name, const std::wstring& text)
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SetupKey().c_str(), name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
    }
    // The stored value, or missing when there is none.
    static constexpr DWORD missing = 0xDEADBEEF;
    DWORD Stored(const wchar_t* name)
    {
        DWORD value = 0, bytes = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, SetupKey().c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &bytes))
            return missing;
        return value;
    }
    void StoreState(DWORD last, DWORD next, DWORD freq, DWORD autoCheck)
    {
        Put(UpdateState::pszLastUpdate, last);
        Put(UpdateState::pszNextUpdate, next);
        Put(UpdateState::pszRemindFrequency, freq);
        Put(UpdateState::pszAutoCheck, autoCheck);
    }

    const std::wstring sub;
};
