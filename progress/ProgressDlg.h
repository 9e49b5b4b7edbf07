// ProgressDlg: the progress dialog a Progress shows on a thread of its own:
// up to four text lines, a bar, Cancel with a confirmation, resizable, with
// one remembered size for every progress dialog of the process.
//
// Its operations are called by the worker through Progress; they reach the
// controls through window messages, which the dialog's thread carries out,
// and do nothing once the window is gone. The bar's operations are posted,
// not sent: a message sent across threads costs a round trip per call (about
// 0.2 ms under Wine), which a worker stepping the bar would pay in full,
// while posting costs it a few microseconds and keeps the order. The bar's
// bookkeeping (GetProgressCtrl) therefore belongs to the dialog's thread.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "progress/ProgressCtrl.h"
#include "progress/ProgressTicker.h"
#include "ui/dialogs/ZnDlg.h"
#include "ui/window/ZnTimer.h"

class ProgressThread;

// The template's items (resources/resource.h names them for the script).
enum ProgressDlgItem {
    IDD_PROGRESS_DLG = 28000,
    IDC_PROGRESS_DLG_LINE1 = 28003,
    IDC_PROGRESS_DLG_LINE2 = 28004,
    IDC_PROGRESS_DLG_LINE3 = 28005,
    IDC_PROGRESS_DLG_LINE4 = 28006,
    IDC_PROGRESS_DLG_BAR = 28007,
    IDS_PROGRESS_DLG_CONFIRM = 28008,
    IDC_PROGRESS_DLG_FRAME = 28010,
};

class PVDLL_API ProgressDlg : public ZnDlg {
public:
    ProgressDlg();
    ~ProgressDlg() override;

    // Set before the window is made (by the dialog's thread).
    void Setup(ProgressThread* owningThread, HWND centerOn, unsigned lines, BOOL cancelAllowed);

    void SetTitle(const wchar_t* title);
    // Lines 0-3 below the lines count; any other line is refused.
    void SetText(int line, const wchar_t* text);
    // Range and position 0.
    void SetRange(int lower, int upper);
    // Keeps the position.
    void SetRange64(__int64 lower, __int64 upper);
    // Brings the dialog to the top.
    void SetPos(int pos);
    void SetPos64(__int64 pos);
    // A step of the bar; the dialog comes to the top when the bar moved.
    // 1 when the step was passed on to the dialog's thread.
    int StepIt();
    // Waits up to timeoutMs until the dialog's thread has carried out every
    // bar operation passed on so far; 1 when it has.
    int Settle(unsigned timeoutMs);
    // Before the window is made only; 0 means 4.
    void SetLinesCount(unsigned count);
    unsigned GetLinesCount() const { return linesCount; }
    void EnableTicker(unsigned intervalMs, unsigned maxTicks, unsigned* ticksOut);
    void PauseTicker(BOOL pause);
    ProgressTicker* GetTicker() const { return ticker; }
    ZnProgressCtrl* GetProgressCtrl() { return &progressCtrl; }
    // Brings the dialog to the top and repaints it (not while the user
    // moves or sizes it).
    void BringToTop();
    // The window, while it exists.
    HWND GetLiveHWND() const;
    int WasCancelledByUser() const { return userCancelled; }

    // Every progress dialog of the process opens at the size the last one
    // had.
    static MyWindowPlacement wpResizing;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnOK() override;
    LRESULT OnCancel() override;
    void OnResize(int dx, int dy) override;
    void OnInitRect(RECT& rect) override;

    // The bar's operations as the dialog's thread receives them.
    enum BarMessage : UINT {
        msgStep = WM_APP + 0x2801,
        msgSetPos = WM_APP + 0x2802, // lParam: the position
        msgSetRange = WM_APP + 0x2803, // wParam, lParam: the bounds; position 0
        msgSetRange64 = WM_APP + 0x2804, // as msgSetRange, keeping the position
    };

protected:
    // Passes a bar operation on to the dialog's thread.
    int PostBar(UINT msg, WPARAM wParam, LPARAM lParam);
    void BringToTopHere();
    // Moves and sizes an item by the deltas, hidden while it moves when it
    // is visible.
    void ShiftItem(int id, int dx, int dy, int dcx, int dcy);

    volatile LONG moving;
    HWND centerWnd;
    BOOL canCancel;
    ProgressThread* thread;
    unsigned linesCount;
    ZnIconForDlg icons;
    ZnProgressCtrl progressCtrl;
    int userCancelled;
    // Set while the cancel confirmation is open: a close from the worker
    // then ends the confirmation too.
    volatile LONG confirming;
    volatile LONG closeWhileConfirming;
    unsigned lineIds[4];
    ProgressTicker* ticker;
    // Bar operations posted by the worker and carried out by the dialog.
    volatile LONG barPosted;
    volatile LONG barDone;
};
