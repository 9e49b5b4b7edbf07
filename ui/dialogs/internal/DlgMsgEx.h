// DlgMsgEx: the framework's message box, a ZnDlg with mini-HTML text,
// an icon, up to three buttons and a "Don't show this message again"
// check box. MsgEx (ui/dialogs/MsgBox.cpp) makes one at a time and runs it
// with a loop of its own.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "ui/dialogs/ZnDlg.h"
#include "ui/html/ZnStaticHTML.h"

// The process-wide callbacks of the boxes (one user-interface thread).
namespace MsgExCallbacks {
extern unsigned int (*link)(HWND box, void* data);
extern void* linkData;
extern int (*button)(HWND box, unsigned int code, void* data);
extern void* buttonData;
} // namespace MsgExCallbacks

class DlgMsgEx : public ZnDlg {
public:
    // text stays the caller's until the box is closed; dontShow (may be
    // null) is the int the check box is bound to.
    DlgMsgEx(ZnDlgSkin* skin, unsigned int type, const wchar_t* text, int* dontShow, unsigned short instanceId);
    ~DlgMsgEx() override;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(unsigned short id, unsigned short code, HWND control) override;
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(MSG* msg) override;
    void OnPostNcDestroy() override;

    // Makes the box over owner and runs it until it closes: the code it
    // closed with, -1 when it could not be made.
    int Run(HWND owner);

    // The box that is open in the process, or null.
    static DlgMsgEx* GetOpen();

    // The three buttons' result codes for a type (0: the button is hidden).
    static void ButtonCodes(unsigned int type, int codes[3]);

private:
    // A private message: answer with the stored answer, without a look.
    static constexpr UINT msgStoredAnswer = WM_APP + 0x4D0;

    void SetUpText();
    void SetUpIcon();
    void SetUpButtons();
    void HideCheckBox();
    // Moves every child whose top is at or below y by dy.
    void MoveChildrenBelow(int y, int dy);
    int DefaultButtonIndex() const;
    // The visible button that gives code, or 0.
    int ButtonIdFor(int code) const;
    // A button's code, through the button callback.
    void Press(int code);
    // Closes with code, the check box's state going to the bound int.
    void Finish(int code);
    void OnLink();

    unsigned int type;
    const wchar_t* text;
    int* dontShow;
    int codes[3];
    int answeredFromStore;
    ZnStaticHTML html;
    int htmlUsed;
    IconHandle icon;
};
