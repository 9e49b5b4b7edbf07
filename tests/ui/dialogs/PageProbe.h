// Helpers of the page-manager and wizard tests: pages that record what
// they are asked and answer as the test says, and keys as the user types
// them.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DlgProbe.h"
#include "PageTemplates.h"

// A page that writes "name:event" into a log shared by the pages of one
// manager.
class ProbePage : public ZnDlgPage {
public:
    ProbePage(ZnDlgPageMan* man, unsigned int id, const wchar_t* header, std::vector<std::wstring>* sharedLog,
        const wchar_t* pageName)
        : ZnDlgPage(man, id, header, TestModule()), log(sharedLog), name(pageName)
    {
    }

    int OnKillActive(int code) override
    {
        ++killCalls;
        Note(L"kill(" + std::to_wstring(code) + L")");
        return allowLeave;
    }
    int OnSetActive() override
    {
        ++setActiveCalls;
        activatedAt = GetTickCount();
        Note(L"set");
        return allowEnter;
    }
    int OnApply() override
    {
        ++applyCalls;
        Note(L"apply");
        return applyOk ? ZnDlgPage::OnApply() : 0;
    }
    int CanClose(int code) override
    {
        Note(L"canclose(" + std::to_wstring(code) + L")");
        return allowClose;
    }
    void DoClose(int code) override
    {
        ++closeCalls;
        Note(L"close(" + std::to_wstring(code) + L")");
        ZnDlgPage::DoClose(code);
    }
    int OnBtnNext() override
    {
        Note(L"next");
        return allowNext ? ZnDlgPage::OnBtnNext() : 0;
    }
    int OnBtnBack() override
    {
        Note(L"back");
        return ZnDlgPage::OnBtnBack();
    }
    int UpdateControls() override
    {
        ++updateControlsCalls;
        return ZnDlgPage::UpdateControls();
    }

    void Note(const std::wstring& what)
    {
        if (log)
            log->push_back(std::wstring(name) + L":" + what);
    }

    std::vector<std::wstring>* log;
    const wchar_t* name;
    int allowLeave = 1;
    int allowEnter = 1;
    int applyOk = 1;
    int allowClose = 1;
    int allowNext = 1;
    int killCalls = 0;
    int setActiveCalls = 0;
    int applyCalls = 0;
    int closeCalls = 0;
    int updateControlsCalls = 0;
    DWORD activatedAt = 0;
};

// A key typed while the given modifiers are held, as the manager's loop
// would hand it over; the keyboard state is put back afterwards.
inline int TypeKey(ZnDlgPageMan& man, WPARAM key, bool ctrl = false, bool shift = false)
{
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE state[256];
    memcpy(state, saved, sizeof(state));
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_MENU] = 0;
    SetKeyboardState(state);
    MSG msg = {};
    msg.hwnd = GetFocus() ? GetFocus() : man.GetHwnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    int handled = man.PreTranslateMessage(&msg);
    SetKeyboardState(saved);
    return handled;
}

inline void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The client area of a manager with its active page: a page's controls
// are its own children, which the composition of the manager's area does
// not reach under Wine, so the page is composed on its own and laid over.
inline void ComposeManager(ZnDlgPageMan& man, Canvas& canvas)
{
    ComposeClientArea(man.GetHwnd(), canvas);
    HWND page = man.GetActivePageWnd();
    if (!page || !IsWindowVisible(page))
        return;
    RECT r = RectInParent(page);
    RECT client;
    GetClientRect(page, &client);
    Canvas piece(client.right, client.bottom, GetSysColor(COLOR_BTNFACE));
    ComposeClientArea(page, piece);
    BitBlt(canvas.dc, r.left, r.top, piece.cx, piece.cy, piece.dc, 0, 0, SRCCOPY);
}

// A manager and three pages named one, two, three.
template <typename Manager>
struct ThreePages {
    explicit ThreePages(Manager& m, unsigned int first = IDD_PG_GENERAL, unsigned int second = IDD_PG_VIEW,
        unsigned int third = IDD_PG_ADVANCED)
        : one(&m, first, L"General", &log, L"one"),
          two(&m, second, L"View", &log, L"two"),
          three(&m, third, L"Advanced", &log, L"three")
    {
        m.AddPage(&one);
        m.AddPage(&two);
        m.AddPage(&three);
    }
    std::vector<std::wstring> log;
    ProbePage one;
    ProbePage two;
    ProbePage three;
};
