// A stand-in for the desktop's shell process, which Wine does not have: a
// top-level window of class "Progman" on a thread that pumps its messages
// until the window is closed. It does not load the library itself: a hook
// installed from another process must bring it in, as in the real shell.
//
// "--hang": the window is made, then the thread sleeps and never looks at
// a message again, as a hung shell would.
// "--slow": the window takes 4 s over each "VistaElevatorMsg", after the
// hooks that watch its messages have seen it.
#include <windows.h>

#include <cwchar>

namespace {

bool slow = false;

LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (slow && message == RegisterWindowMessageW(L"VistaElevatorMsg")) {
        Sleep(4000);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    bool hang = argc > 1 && wcscmp(argv[1], L"--hang") == 0;
    slow = argc > 1 && wcscmp(argv[1], L"--slow") == 0;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ShellProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Progman";
    if (!RegisterClassW(&windowClass))
        return 2;
    HWND window = CreateWindowExW(
        0, L"Progman", L"Program Manager", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 3;
    if (hang) {
        for (;;)
            Sleep(INFINITE);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
