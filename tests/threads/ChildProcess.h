// Tests that need a second process run this executable again for one test
// of the "ChildSide" suite. Those tests are disabled, so they run only when
// started this way, and they end the process with an exit code the parent
// checks.
#pragma once

#include <windows.h>

#include <string>

class ChildProcess {
public:
    // Starts ChildSide.DISABLED_<test>; token names the objects both sides share.
    ChildProcess(const wchar_t* test, const std::wstring& token);
    // Ends the child if it is still there.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return info.hProcess != nullptr; }
    DWORD Id() const { return info.dwProcessId; }
    // The exit code, or STILL_ACTIVE when the child did not end in time.
    DWORD WaitForExit(DWORD timeoutMs);

private:
    PROCESS_INFORMATION info = {};
};

constexpr DWORD childPassed = 42;

// The token this process was given as a child; empty in the parent.
std::wstring ChildToken();
// A token unique to this parent process and call.
std::wstring NewToken();
// "Local\pvdll-<token>-<what>"
std::wstring SharedName(const std::wstring& token, const wchar_t* what);
// Ends the child process with the verdict of its test.
[[noreturn]] void EndChild(bool passed);
