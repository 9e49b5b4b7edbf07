// Small window helpers: a timer that stops itself, a scoped window
// disabler, and a window placement record.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API ZnTimer {
public:
    explicit ZnTimer(UINT eventId = 0) : timerWnd(nullptr), timerId(0), timerEventId(eventId) {}
    ~ZnTimer() { Stop(); }
    ZnTimer(const ZnTimer&) = delete;
    ZnTimer& operator=(const ZnTimer&) = delete;

    // wnd may be null for a thread timer; the event id given at
    // construction wins over defaultEventId.
    int Start(HWND wnd, UINT elapseMs, TIMERPROC proc, UINT defaultEventId);
    void Stop();
    int IsTicking() const { return timerId != 0; }
    UINT_PTR GetID() const { return timerEventId; }

private:
    HWND timerWnd;
    UINT_PTR timerId;
    UINT_PTR timerEventId;
};

// Disables a window for the life of the object.
class ZnWndEnabler {
public:
    explicit ZnWndEnabler(HWND wnd) : hWnd(wnd) { EnableWindow(hWnd, FALSE); }
    ~ZnWndEnabler() { EnableWindow(hWnd, TRUE); }
    ZnWndEnabler(const ZnWndEnabler&) = delete;
    ZnWndEnabler& operator=(const ZnWndEnabler&) = delete;

private:
    HWND hWnd;
};

struct MyWindowPlacement : WINDOWPLACEMENT {
    MyWindowPlacement() : WINDOWPLACEMENT{} {}
    void Initialize() { length = sizeof(WINDOWPLACEMENT); }
    int IsInitialized() const { return length != 0; }
};
