// The two dialogs of the update check. The prompt (DlgCheckForUpdates) asks
// whether to check now; the offer (DlgGetUpdates) shows an update the server
// offered and asks whether to install it. Both let the user pick when to be
// reminded, both are single across processes by their instance ids, and
// both close with "Continue" (IDOK) or their close button (IDCANCEL).
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "online/UpdateState.h"
#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgButtons.h"
#include "ui/html/ZnStaticHTML.h"
#include "ui/window/ImageBtn.h"
#include "ui/window/ZnComboList.h"

class PVDLL_API DlgUpdateBase : public ZnDlg {
public:
    // The user's choices. Preset before the dialog opens; read back from
    // the controls by UpdateData when it closes (either way).
    int yes; // the first radio ("Yes, ...") rather than "No, not this time."
    Check4UpdatesFreq remindFreq; // the reminder combo box

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    int UpdateData() override;
    int OnMyCompanyMsg(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Reads the controls before closing.
    LRESULT OnCancel() override;

    // The picture of the "Continue" button, for another dialog that wants
    // the same button.
    static const ImageBtnDescriptor continueButton;

protected:
    DlgUpdateBase(unsigned short instanceId, Check4UpdatesFreq freq);
    // Activates the open dialog with this instance id in any process and
    // returns -1 then; otherwise runs the dialog modal on owner and returns
    // IDOK or IDCANCEL.
    LRESULT RunSingle(int templateId, HWND owner);
    // The title text (also the caption).
    virtual void GetTitle(wchar_t* buffer, unsigned cch) = 0;
    // Moves every control whose top is at or below y by dy, and the
    // dialog's bottom with them.
    void MoveControlsBelow(int y, int dy);

    unsigned short instanceId;

private:
    ZnIconForDlg icons;
    ZnStaticHTML title;
    ZnComboList remind;
    ZnCloseBtnForDlg closeButton;
    ImageBtn continueBtn;
};

// The prompt, template 21802, instance id 109.
class PVDLL_API DlgCheckForUpdates : public DlgUpdateBase {
public:
    static constexpr unsigned short instanceIdPrompt = 109;

    // days: days since the last check (0 hides that line).
    DlgCheckForUpdates(unsigned days, Check4UpdatesFreq freq, int autoCheck, int* updateStarted);
    // IDOK, IDCANCEL, or -1 when an open prompt was activated instead.
    LRESULT Run(HWND owner);

    int autoCheck; // "Check for updates automatically, without asking me"

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    int UpdateData() override;
    // With "yes", runs the check (DoCheckForUpdates) before closing.
    LRESULT OnOK() override;

protected:
    void GetTitle(wchar_t* buffer, unsigned cch) override;

private:
    unsigned days;
    int* updateStarted;
};

// The offer, template 21804, instance id 108.
class PVDLL_API DlgGetUpdates : public DlgUpdateBase {
public:
    static constexpr unsigned short instanceIdOffer = 108;

    // answer: the server's record; its description is shown, and its
    // "more info" address opens from the description (web addresses only).
    DlgGetUpdates(const UpdateIni& answer, Check4UpdatesFreq freq);
    // IDOK, IDCANCEL, or -1 when an open offer was activated instead.
    LRESULT Run(HWND owner);

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(unsigned short id, unsigned short code, HWND control) override;
    // Reads the controls before closing.
    LRESULT OnCancel() override;

protected:
    void GetTitle(wchar_t* buffer, unsigned cch) override;

private:
    // Opens the "more info" address when it is a web address.
    void OpenMoreInfo();

    const UpdateIni& answer;
    ZnStaticHTML description;
};
