// "Launchora.exe" for the tests: the product's executable as far as the
// library sees it. The library starts it beside itself (RunLaunchora) and
// for the silent update check ("/CHECK4UPDATES").
//
// Each run appends its command line and a line break to the file named by
// the environment variable PVDLL_TEST_PRODUCT_LOG (nothing without it), so
// a test can tell that it ran and how. A command word of the update check
// then runs that check, as the product does.
//
// For the tests only: PVDLL_TEST_PRODUCT_ROOT names the product's registry
// root ("HKCU\\..."), so that the process reads the test's settings (its
// update server among them); the word "scheduledcheck" runs the host's
// scheduled check, so that a second process can hold one open.
#include <windows.h>

#include "PVDLL.h"

namespace {

void AppendToLog(const wchar_t* line)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PVDLL_TEST_PRODUCT_LOG", path, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return;
    FileHandle log(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log)
        return;
    DWORD written;
    WriteFile(log.Get(), line, lstrlenW(line) * sizeof(wchar_t), &written, nullptr);
    WriteFile(log.Get(), L"\n", sizeof(wchar_t), &written, nullptr);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    AppendToLog(GetCommandLineW());
    wchar_t root[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PVDLL_TEST_PRODUCT_ROOT", root, MAX_PATH);
    bool ownRoot = length && length < MAX_PATH;
    if (ownRoot)
        GetMyProductInfo()->PushAppRootKey(root);
    if (argc > 1 && !lstrcmpiW(argv[1], L"scheduledcheck"))
        CheckForUpdates(nullptr);
    else if (argc > 1)
        DoCheckForUpdatesCmdln(argv[1], 1);
    if (ownRoot)
        GetMyProductInfo()->PopAppRootKey();
    return 0;
}
