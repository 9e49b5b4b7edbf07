#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

constexpr wchar_t tokenSwitch[] = L"--pvdll-child=";

} // namespace

ChildProcess::ChildProcess(const wchar_t* test, const std::wstring& token)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_also_run_disabled_tests --gtest_filter=ChildSide.DISABLED_" +
                           test + L" " + tokenSwitch + token;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        info = {};
}

ChildProcess::~ChildProcess()
{
    if (!info.hProcess)
        return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

DWORD ChildProcess::WaitForExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (info.hProcess && WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    return code;
}

std::wstring ChildToken()
{
    const wchar_t* found = wcsstr(GetCommandLineW(), tokenSwitch);
    if (!found)
        return L"";
    std::wstring token = found + wcslen(tokenSwitch);
    return token.substr(0, token.find(L' '));
}

std::wstring NewToken()
{
    static LONG counter = 0;
    return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(InterlockedIncrement(&counter));
}

std::wstring SharedName(const std::wstring& token, const wchar_t* what)
{
    return L"Local\\pvdll-" + token + L"-" + what;
}

void EndChild(bool passed)
{
    fflush(stdout);
    ExitProcess(passed ? childPassed : 1);
}
