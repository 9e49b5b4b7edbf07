// ProgressExForCtrl and ZnProgressCtrl: progress shown on a real
// progress-bar control of a dialog, on up to four text lines beside it and
// on the taskbar button of the dialog's top-level window.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>
#include <cstdarg>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "progress/ProgressEx.h"
#include "ui/window/ZnCtrl.h"

class ZnProgressCtrl;

// ProgressEx whose output goes to the bar control (and the taskbar button)
// of its owning ZnProgressCtrl. Without an owner, or once the bar's window
// is gone, only the bookkeeping advances.
class PVDLL_API ProgressExForCtrl : public ProgressEx {
public:
    void SetCtrl(ZnProgressCtrl* owner) { ctrl = owner; }
    ZnProgressCtrl* GetCtrl() const { return ctrl; }

    // Formats into 1024 characters and sets the text of line item line
    // (0-3) of the owning control.
    void SetText(int line, const wchar_t* format, va_list args) override;
    // PBM_STEPIT; the bar's position then becomes ours.
    void DoStepIt() override;
    void DoSetPos(int pos) override;
    // PBM_SETRANGE32 and a step of 1; the taskbar button shows progress.
    void DoSetRange(int lower, int upper) override;
    // Dispatches every message waiting for the calling thread.
    void ProcessAllMessages() override;

protected:
    ZnProgressCtrl* ctrl = nullptr;
};

class PVDLL_API ZnProgressCtrl : public ZnCtrl {
public:
    static constexpr int lineCount = 4;
    static constexpr unsigned textLimit = 1024;

    ZnProgressCtrl();
    // Takes the progress off the taskbar button.
    ~ZnProgressCtrl() override;

    // "ZnProgressCtrl", "ZnCtrl" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;
    // WM_ENABLE enables or disables the text lines with the bar.
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Attaches to the progress bar id of dlg (see ZnCtrl::Init), clears the
    // line ids and sets range and position. 0 when the dialog has no such
    // child; the bookkeeping is set up all the same.
    int Init(ZnDlg* dlg, unsigned id, int lower, int upper, int pos);

    void Setup(int lower, int upper, int pos) { progress.Setup(lower, upper, pos); }
    void Setup64(__int64 lower, __int64 upper, __int64 pos) { progress.Setup(lower, upper, pos); }
    void SetRange64(__int64 lower, __int64 upper) { progress.SetRange64(lower, upper); }
    void SetPos64(__int64 pos) { progress.SetPos64(pos); }
    ProgressExForCtrl* GetProgressEx() { return &progress; }
    // 1 when the bar moved.
    int StepIt() { return progress.StepIt(); }

    // The dialog item ids of the text lines (0: no such line); the texts of
    // the lines given are emptied.
    void SetupLines(unsigned id1, unsigned id2, unsigned id3, unsigned id4);
    // 0 for a line number outside 0-3.
    unsigned GetLineId(int line) const;
    void SetText(int line, const wchar_t* text);
    void SetText(int line, const wchar_t* format, va_list args);
    void SetTextFmt(int line, const wchar_t* format, ...);

    unsigned IsCanceled() const { return progress.IsCanceled(); }
    void Cancel(BOOL cancel) { progress.Cancel(cancel); }

    // Pauses the timing and shows the bar (and the taskbar button) paused;
    // resuming shows them normal again.
    void Pause(BOOL pause);
    // A marquee bar moving every intervalMs (0: the control's default), or
    // a plain bar again.
    void DoMarquee(BOOL on, unsigned intervalMs);

    // Shows progress on topLevel's taskbar button (Windows 7 and later);
    // null takes it off. Without the taskbar object every taskbar call is
    // skipped.
    void EnableTaskbarProgress(HWND topLevel);
    ITaskbarList3* GetTaskbarList() const { return taskbar.Get(); }
    HWND GetTaskbarWindow() const { return taskbarWnd; }
    // The bar's position within lower..upper on the taskbar button.
    void SetTaskbarValue(int pos, int lower, int upper);
    void SetTaskbarState(TBPFLAG state);

protected:
    ProgressExForCtrl progress;
    ComPtr<ITaskbarList3> taskbar;
    HWND taskbarWnd;
    unsigned lineIds[lineCount];
};
