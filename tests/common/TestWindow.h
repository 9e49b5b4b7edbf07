// A throwaway top-level window of a test's own class.
#pragma once

#include <windows.h>

// What the window is made of. The class is registered with the first
// window of its name, so every window of one class name shares the
// procedure and class style it was first made with.
struct TestWindowKind {
    const wchar_t* className;
    WNDPROC proc = DefWindowProcW;
    UINT classStyle = 0;
    const wchar_t* title = L"";
    DWORD style = WS_OVERLAPPED;
    int cx = 100;
    int cy = 100;
    void* param = nullptr;  // lpCreateParams of WM_NCCREATE and WM_CREATE
};

// The window lives as long as the object, unless the test destroys it
// first (Destroy, or DestroyWindow on the handle: a test of what happens
// when a window goes).
class TestWindow {
public:
    explicit TestWindow(const TestWindowKind& kind);
    ~TestWindow() { Destroy(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return hwnd; }
    operator HWND() const { return hwnd; }
    // Null from then on; a test that looks at the old handle keeps a copy.
    void Destroy();

private:
    HWND hwnd;
};
