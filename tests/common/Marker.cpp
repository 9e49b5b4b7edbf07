// A tiny program that tests start through shortcuts and the shell: it
// leaves its command line in "pvmarker.txt" in its working folder, so a
// test can tell that it ran and with which arguments.
//
// Two arguments change how it ends, for tests that watch the process:
// "--exit-code=N" ends it with code N, "--linger-ms=N" keeps it alive for N
// milliseconds after the marker is written. Without them it ends with 0 at
// once, as before.
#include <windows.h>

#include <cwchar>

namespace {

// The number after name in the command line, or fallback.
unsigned long NumberAfter(const wchar_t* commandLine, const wchar_t* name, unsigned long fallback)
{
    const wchar_t* found = wcsstr(commandLine, name);
    if (!found)
        return fallback;
    return wcstoul(found + wcslen(name), nullptr, 10);
}

} // namespace

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
    if (unsigned long linger = NumberAfter(commandLine, L"--linger-ms=", 0))
        Sleep(linger);
    return static_cast<int>(NumberAfter(commandLine, L"--exit-code=", 0));
}
