#include "common/TestWindow.h"

TestWindow::TestWindow(const TestWindowSpec& spec)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    if (!GetClassInfoW(instance, spec.className, &wc)) {
        wc.style = spec.classStyle;
        wc.lpfnWndProc = spec.proc;
        wc.hInstance = instance;
        wc.lpszClassName = spec.className;
        RegisterClassW(&wc);
    }
    hwnd = CreateWindowExW(0, spec.className, spec.title, spec.style, 0, 0, spec.cx, spec.cy, nullptr, nullptr,
                           instance, spec.param);
}

void TestWindow::Destroy()
{
    if (hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    hwnd = nullptr;
}
