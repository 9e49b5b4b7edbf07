// Helpers of the message-box tests: a thread timer that looks at the open
// box every few milliseconds and lets the test act on it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "PVDLL.h"

// Calls step() on this thread every 15 ms while alive. A step that enters
// a loop of its own is not called again until it returns.
class BoxTicker {
public:
    explicit BoxTicker(std::function<void()> onTick) : step(std::move(onTick)), outer(self)
    {
        self = this;
        timer = SetTimer(nullptr, 0, 15, &Tick);
    }
    ~BoxTicker()
    {
        KillTimer(nullptr, timer);
        self = outer;
    }
    BoxTicker(const BoxTicker&) = delete;
    BoxTicker& operator=(const BoxTicker&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        BoxTicker* ticker = self;
        if (!ticker || ticker->timer != id || ticker->busy)
            return;
        ticker->busy = true;
        ticker->step();
        ticker->busy = false;
    }

    std::function<void()> step;
    UINT_PTR timer = 0;
    bool busy = false;
    BoxTicker* outer;
    static inline BoxTicker* self = nullptr;
};

// The MsgEx box when it is up and shown.
inline HWND ShownBox()
{
    HWND box = MsgExGetOpenBox();
    return box && IsWindowVisible(box) ? box : nullptr;
}

// Runs show() while the timer hands each box, once shown, to act.
inline int WithBox(const std::function<int()>& show, const std::function<void(HWND)>& act)
{
    HWND last = nullptr;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (box && box != last)
            act(last = box);
    });
    return show();
}

inline std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[2100] = {};
    GetDlgItemTextW(dialog, id, text, 2100);
    return text;
}

// A button's click, as the button reports it.
inline void ClickItem(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline RECT ItemClientRect(HWND dialog, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
