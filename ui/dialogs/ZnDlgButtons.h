// The caption buttons of a dialog without a caption (a skinned one): close
// and minimise, each a button of the dialog that sends its dialog the
// system command when clicked. Their pictures are icons of this library
// at small-icon size: a normal and a hot one.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "ui/window/ZnCtrl.h"

class PVDLL_API ZnCaptionBtnForDlg : public ZnCtrl {
public:
    // command: SC_CLOSE or SC_MINIMIZE; the two icons are resources of
    // this library.
    ZnCaptionBtnForDlg(UINT command, int normalIcon, int hotIcon);

    // BN_CLICKED sends the dialog the system command.
    int OnCommand(WORD code, LRESULT* result) override;
    void OnInit() override;
    // An owner-drawn button shows the hot icon while pressed or under the
    // mouse; any other button shows the normal icon as its image.
    void OnDrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    HICON GetIcon(int hot) const { return hot ? hotIcon.Get() : normalIcon.Get(); }

protected:
    UINT command;
    int normalIconId;
    int hotIconId;
    IconHandle normalIcon;
    IconHandle hotIcon;
    int mouseOver = 0;
};

class PVDLL_API ZnCloseBtnForDlg : public ZnCaptionBtnForDlg {
public:
    ZnCloseBtnForDlg() : ZnCaptionBtnForDlg(SC_CLOSE, 20074, 20075) {}
};

class PVDLL_API ZnMinimizeBtnForDlg : public ZnCaptionBtnForDlg {
public:
    ZnMinimizeBtnForDlg() : ZnCaptionBtnForDlg(SC_MINIMIZE, 20076, 20077) {}
};
