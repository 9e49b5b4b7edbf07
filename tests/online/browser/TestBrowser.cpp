// A stand-in browser for the web-link tests: registered for a test protocol,
// a test file type or "http", it writes the command line it was started
// with to the file PVTESTBROWSER_MARKER names, so a test can tell which
// route reached it and with which URL.
#include <windows.h>

int main()
{
    wchar_t marker[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PVTESTBROWSER_MARKER", marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    wchar_t temporary[MAX_PATH + 4];
    lstrcpynW(temporary, marker, MAX_PATH);
    lstrcatW(temporary, L".tmp");
    const wchar_t* commandLine = GetCommandLineW();
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written;
    WriteFile(file, commandLine, lstrlenW(commandLine) * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    // Appears whole or not at all.
    MoveFileExW(temporary, marker, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
