// Small helpers shared by the thread tests.
#pragma once

#include <windows.h>

#include "PVDLL.h"
#include "common/TestWindow.h"

// A worker whose body only waits to be cancelled, so that the object counts
// as running and its waits really wait.
class Idler : public ZnThreadEx {
public:
    ~Idler() override { EndThread(); }
    unsigned long DoThreadEx() override
    {
        WaitForSingleObject(hCancel, INFINITE);
        return 0;
    }
};

class Stopwatch {
public:
    Stopwatch() : start(GetTickCount64()) {}
    ULONGLONG Ms() const { return GetTickCount64() - start; }

private:
    ULONGLONG start;
};

// A hidden window that counts its timer ticks and the WM_APP messages
// posted to it; with a non-zero period its timer runs from the start.
class TickWindow {
public:
    explicit TickWindow(UINT periodMs = 0);
    ~TickWindow();
    TickWindow(const TickWindow&) = delete;
    TickWindow& operator=(const TickWindow&) = delete;

    HWND hwnd = nullptr;
    int ticks = 0;
    int posted = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    TestWindow window;
};

// Takes every message this thread has waiting, WM_QUIT included, so that a
// test leaves a clean queue behind.
void DrainQueue();
