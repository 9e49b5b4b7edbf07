// TooltipCtrl: a common-controls tooltip window for dialogs and skins. Its
// tools (a rectangle of a window, or a whole child window) always ask
// their owner for the text (TTN_GETDISPINFO), which a dialog answers
// through its GetTootTip.
//
// The object is kept in the tooltip window's user data, not bound through
// the "ZNWND" property. The window goes with its owner window, or with the
// object when that goes first.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "ui/window/ZnCtrl.h"

class PVDLL_API TooltipCtrl : public ZnCtrl {
public:
    TooltipCtrl() = default;
    // Destroys the tooltip window when it is still there.
    ~TooltipCtrl() override;

    // The topmost tooltip window, owned by owner; 0 when it cannot be made.
    int Create(HWND owner, DWORD style = 0);
    // A tool of wnd with id covering rect (null: wnd's whole client area
    // now). For an existing tool only the rectangle changes.
    void AddTool(HWND wnd, UINT id, RECT* rect);
    // A tool that is the whole window tool; with subclass the tooltip
    // watches the tool's mouse messages itself.
    void AddToolWnd(HWND owner, HWND tool, int subclass);
    void DelTool(HWND wnd, UINT id);
    void MoveTool(HWND wnd, UINT id, int dx, int dy);
    // TTM_ACTIVATE.
    void Activate(int on);
    // TTM_RELAYEVENT of a mouse message of wnd.
    void RelayEvent(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void DestroyOwnWindow();
};
