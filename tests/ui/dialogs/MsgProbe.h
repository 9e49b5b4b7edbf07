// Helpers of the message-box tests: a thread timer that looks at the open
// box every few milliseconds and lets the test act on it, the box's texts
// and buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "PVDLL.h"

// Calls step() on this thread every 15 ms while alive. A step that enters
// a loop of its own is not called again until it returns.
class BoxTicker {
public:
    explicit BoxTicker(std::function<void()> onTick) : step(std::move(onTick))
    {
        self = this;
        timer = SetTimer(nullptr, 0, 15, &Tick);
    }
    ~BoxTicker()
    {
        KillTimer(nullptr, timer);
        self = nullptr;
    }
    BoxTicker(const BoxTicker&) = delete;
    BoxTicker& operator=(const BoxTicker&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (!self || self->busy)
            return;
        self->busy = true;
        self->step();
        if (self)
            self->busy = false;
    }

    std::function<void()> step;
    UINT_PTR timer = 0;
    bool busy = false;
    static inline BoxTicker* self = nullptr;
};

// The MsgEx box when it is up and shown.
inline HWND ShownBox()
{
    HWND box = MsgExGetOpenBox();
    return box && IsWindowVisible(box) ? box : nullptr;
}

inline std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

// A button's click, as the button reports it.
inline void ClickItem(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline bool ItemShown(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE);
}

inline RECT ItemClientRect(HWND dialog, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline int WindowHeight(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}
