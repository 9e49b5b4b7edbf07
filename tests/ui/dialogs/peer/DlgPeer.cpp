// A second process for the dialog tests.
//
//   pvdlgpeer activate ID   finds the dialog made from template ID (company
//                           message code 121) among the desktop's dialogs and
//                           asks it to come forward (code 4). Exit code 0:
//                           it answered; 1: no dialog claims ID; 2: it did
//                           not answer.
//   pvdlgpeer               opened as a help page: leaves
//                           "pvdlgpeer-opened.txt" in its working folder.
#include <windows.h>

#include <cwchar>

namespace {

LRESULT Ask(HWND window, UINT message, WPARAM code, LPARAM value)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, message, code, value, SMTO_ABORTIFHUNG, 1000, &reply))
        return 0;
    return static_cast<LRESULT>(reply);
}

int Activate(LPARAM id)
{
    const UINT company = RegisterWindowMessageW(L"CorvennaMessage");
    for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        if (Ask(window, company, 121, id))
            return Ask(window, company, 4, 0) ? 0 : 2;
    }
    return 1;
}

int LeaveMarker()
{
    HANDLE file = CreateFileW(L"pvdlgpeer-opened.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(file);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"activate") == 0)
        return Activate(static_cast<LPARAM>(wcstol(argv[2], nullptr, 10)));
    return LeaveMarker();
}
