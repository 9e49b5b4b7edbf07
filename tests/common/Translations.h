// The translation file beside the library, as the start-menu tests and the
// hostile-input tests drive it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"

// The section a translation file is read from on this machine.
inline std::wstring FirstUILanguage()
{
    wchar_t languages[100] = {};
    ULONG count = 0;
    ULONG size = 100;
    GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, &count, languages, &size);
    return languages;
}

// Drops the loaded translation file, as a detach does, so that the next
// lookup after the attach reads it again.
inline void ForgetTranslations()
{
    auto dllMain = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(
        reinterpret_cast<void*>(GetProcAddress(hiDLL, "DllMain")));
    ASSERT_NE(dllMain, nullptr);
    dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr);
    dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr);
}
