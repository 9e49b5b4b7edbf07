#include "ThreadProbes.h"

TickWindow::TickWindow(UINT periodMs)
    : window({.className = L"PVDLLTickWindow", .proc = Proc, .title = L"ticks", .cx = 10, .cy = 10, .param = this})
{
    hwnd = window;
    if (periodMs)
        SetTimer(hwnd, 1, periodMs, nullptr);
}

TickWindow::~TickWindow()
{
    KillTimer(hwnd, 1);
}

LRESULT CALLBACK TickWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    TickWindow* self = reinterpret_cast<TickWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_TIMER) {
        ++self->ticks;
        return 0;
    }
    if (self && msg == WM_APP) {
        ++self->posted;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void DrainQueue()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}
