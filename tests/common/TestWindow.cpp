#include "common/TestWindow.h"

TestWindow::TestWindow(const TestWindowKind& kind)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    if (!GetClassInfoW(instance, kind.className, &wc)) {
        wc.style = kind.classStyle;
        wc.lpfnWndProc = kind.proc;
        wc.hInstance = instance;
        wc.lpszClassName = kind.className;
        RegisterClassW(&wc);
    }
    hwnd = CreateWindowExW(0, kind.className, kind.title, kind.style, 0, 0, kind.cx, kind.cy, nullptr, nullptr,
                           instance, kind.param);
}

void TestWindow::Destroy()
{
    if (hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    hwnd = nullptr;
}
