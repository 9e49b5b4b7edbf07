// A tiny program that tests start through shortcuts: it leaves its command
// line in "pvmarker.txt" in its working folder, so a test can tell that it
// ran and with which arguments.
#include <windows.h>

int main()
{
    const wchar_t* commandLine = GetCommandLineW();
    HANDLE file = CreateFileW(L"pvmarker.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written;
    WriteFile(file, commandLine, lstrlenW(commandLine) * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    // Appears whole or not at all.
    MoveFileExW(L"pvmarker.tmp", L"pvmarker.txt", MOVEFILE_REPLACE_EXISTING);
    return 0;
}
