// The caption buttons of a dialog without a caption (a skinned one): close
// and minimise, each an icon button of the dialog that sends its dialog
// the system command when clicked. Their pictures are icons of this
// library at small-icon size: a normal and a hot one, the hot one shown
// while the button is pressed or under the mouse.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "ui/window/IconBtn.h"

class PVDLL_API ZnCaptionBtnForDlg : public IconBtn {
public:
    // command: SC_CLOSE or SC_MINIMIZE; the two icons are resources of
    // this library.
    ZnCaptionBtnForDlg(UINT command, int normalIcon, int hotIcon);

    // BN_CLICKED sends the dialog the system command.
    int OnCommand(WORD code, LRESULT* result) override;

    HICON GetIcon(int hot) const { return hot ? hIconHot.Get() : hIcon.Get(); }

protected:
    HICON IconFor(UINT itemState) override;

    UINT command;
};

class PVDLL_API ZnCloseBtnForDlg : public ZnCaptionBtnForDlg {
public:
    ZnCloseBtnForDlg() : ZnCaptionBtnForDlg(SC_CLOSE, 20074, 20075) { }
};

class PVDLL_API ZnMinimizeBtnForDlg : public ZnCaptionBtnForDlg {
public:
    ZnMinimizeBtnForDlg() : ZnCaptionBtnForDlg(SC_MINIMIZE, 20076, 20077) { }
};
