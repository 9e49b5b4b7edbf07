#include "ui/window/TooltipCtrl.h"

#include "base/LibraryEntry.h"

namespace {

// The version-2 record: every common-controls version reads it.
TTTOOLINFOW ToolRecord(HWND wnd, UINT id)
{
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = wnd;
    tool.uId = id;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}

} // namespace

TooltipCtrl::~TooltipCtrl()
{
    DestroyOwnWindow();
}

// A window of ours that outlives its owner's use of this object would keep
// a dangling pointer in its user data.
void TooltipCtrl::DestroyOwnWindow()
{
    if (hWnd && IsWindow(hWnd) && GetWindowLongPtrW(hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        DestroyWindow(hWnd);
    hWnd = nullptr;
}

int TooltipCtrl::Create(HWND owner, DWORD style)
{
    DestroyOwnWindow();
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    HWND made = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, L"Tooltip", style | WS_POPUP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, hiDLL,
                                nullptr);
    if (!made)
        return 0;
    hWnd = made;
    SetWindowLongPtrW(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowPos(made, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return 1;
}

void TooltipCtrl::AddTool(HWND wnd, UINT id, RECT* rect)
{
    if (!hWnd)
        return;
    TTTOOLINFOW tool = ToolRecord(wnd, id);
    bool exists = SendMessageW(hWnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    tool = ToolRecord(wnd, id);
    if (rect)
        tool.rect = *rect;
    else
        GetClientRect(wnd, &tool.rect);
    tool.uFlags = TTF_SUBCLASS;
    SendMessageW(hWnd, exists ? TTM_NEWTOOLRECTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TooltipCtrl::AddToolWnd(HWND owner, HWND toolWnd, int subclass)
{
    if (!hWnd)
        return;
    TTTOOLINFOW tool = ToolRecord(owner, static_cast<UINT>(reinterpret_cast<UINT_PTR>(toolWnd)));
    tool.uId = reinterpret_cast<UINT_PTR>(toolWnd);
    tool.uFlags = TTF_IDISHWND | (subclass ? TTF_SUBCLASS : 0);
    SendMessageW(hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TooltipCtrl::DelTool(HWND wnd, UINT id)
{
    if (!hWnd)
        return;
    TTTOOLINFOW tool = ToolRecord(wnd, id);
    SendMessageW(hWnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TooltipCtrl::MoveTool(HWND wnd, UINT id, int dx, int dy)
{
    if (!hWnd)
        return;
    TTTOOLINFOW tool = ToolRecord(wnd, id);
    if (!SendMessageW(hWnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)))
        return;
    OffsetRect(&tool.rect, dx, dy);
    SendMessageW(hWnd, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TooltipCtrl::Activate(int on)
{
    if (hWnd)
        SendMessageW(hWnd, TTM_ACTIVATE, on ? TRUE : FALSE, 0);
}

void TooltipCtrl::RelayEvent(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!hWnd)
        return;
    MSG relayed = {wnd, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    DWORD pos = GetMessagePos();
    relayed.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    SendMessageW(hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}
