// A second process for the dialog tests.
//
//   pvdlgpeer activate ID   finds the dialog made from template ID (company
//                           message code 121) among the desktop's dialogs and
//                           asks it to come forward (code 4). Exit code 0:
//                           it answered; 1: no dialog claims ID; 2: it did
//                           not answer.
//   pvdlgpeer owner         shows a window titled "pvdlgpeer owner" for a
//                           box of the tests to be owned by; it counts the
//                           company messages of code 150 it gets (answering
//                           each with 1) and tells the count for code 9150.
//                           Ends with WM_CLOSE or after 30 seconds.
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

UINT companyMessage;
LRESULT linkRequests;

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == companyMessage && wParam == 150)
        return ++linkRequests, 1;
    if (msg == companyMessage && wParam == 9150)
        return linkRequests;
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, msg, wParam, lParam);
}

int ShowOwner()
{
    companyMessage = RegisterWindowMessageW(L"CorvennaMessage");
    WNDCLASSW kind = {};
    kind.lpfnWndProc = OwnerProc;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.lpszClassName = L"PvdlgPeerOwner";
    RegisterClassW(&kind);
    HWND window = CreateWindowExW(0, kind.lpszClassName, L"pvdlgpeer owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
        200, 100, nullptr, nullptr, kind.hInstance, nullptr);
    if (!window)
        return 1;
    SetTimer(window, 1, 30000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window)
            DestroyWindow(window);
        DispatchMessageW(&msg);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"activate") == 0)
        return Activate(static_cast<LPARAM>(wcstol(argv[2], nullptr, 10)));
    if (argc == 2 && wcscmp(argv[1], L"owner") == 0)
        return ShowOwner();
    return LeaveMarker();
}
