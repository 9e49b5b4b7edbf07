// A registry root of the test's own below HKCU, created for each test and
// removed with everything in it afterwards, plus raw helpers that check the
// registry without going through RegKey.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/TestSupport.h"

class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t name[64];
        StrFormat(name, 64, L"Software\\PVDLLTest-%lu-%d", GetCurrentProcessId(), ++serial);
        subPath = name;
        root = L"HKCU\\" + subPath;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                                  nullptr),
                  ERROR_SUCCESS);
    }

    void TearDown() override
    {
        RegCloseKey(raw);
        RegDeleteTreeW(HKEY_CURRENT_USER, subPath.c_str());
    }

    std::wstring Path(const std::wstring& rest) const { return root + L"\\" + rest; }

    void RawPut(const wchar_t* sub, const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_EQ(RegSetKeyValueW(raw, sub, name, type, data, bytes), ERROR_SUCCESS);
    }
    void RawPutStr(const wchar_t* sub, const wchar_t* name, const std::wstring& text)
    {
        RawPut(sub, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void RawPutDword(const wchar_t* sub, const wchar_t* name, DWORD value)
    {
        RawPut(sub, name, REG_DWORD, &value, sizeof(value));
    }
    bool RawExists(const wchar_t* sub) const
    {
        HKEY key;
        if (RegOpenKeyExW(raw, sub, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    // Type and bytes of a value; type 0 when it is absent.
    std::pair<DWORD, std::vector<BYTE>> RawGet(const wchar_t* sub, const wchar_t* name) const
    {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegGetValueW(raw, sub, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return {0, {}};
        std::vector<BYTE> data(bytes);
        RegGetValueW(raw, sub, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &bytes);
        data.resize(bytes);
        return {type, data};
    }

    std::wstring subPath;  // below HKCU
    std::wstring root;     // with the root name
    HKEY raw = nullptr;
    static inline int serial = 0;
};
