// Progress: a worker thread's report of a long operation, shown in a modal
// progress dialog (ProgressDlg) that runs on a user-interface thread of its
// own, so that the dialog stays responsive while the worker computes.
//
// The dialog may be delayed so that short operations never show one; what
// the worker says before the dialog exists is kept and applied when it comes
// up; visible text changes may be throttled; NextStep reports a cancel.
//
// Every public call comes from the worker. The dialog thread only registers
// the dialog and reports how it ended, through the ProgressThread, which the
// Progress detaches before it ever lets the thread go on without it.
#pragma once

#include <windows.h>

#include "base/CritSec.h"
#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "text/ZnBuf.h"
#include "threads/ZnThread.h"

class Progress;
class ProgressDlg;
class ProgressEx;
class ProgressTicker;
class ZnProgressCtrl;

// The dialog's thread. It deletes itself once both its body and the
// Progress are finished with it (ZnThreadExAutoDelete): a Progress that had
// to give the thread up leaves it to end on its own, and what the thread
// still uses (this object, its dialog object) goes with it then, never
// before.
class PVDLL_API ProgressThread : public ZnThreadExAutoDelete {
public:
    explicit ProgressThread(Progress* progress);
    ~ProgressThread() override;

    // Signals the dialog-ready event (from the dialog's initialisation).
    void SetDlgReady();
    // Waits up to ms for the dialog-ready event, letting the calling
    // thread's messages through; 1 when it was signalled (or every wait of
    // the process was told to end).
    int WaitForDlgReady(unsigned ms);
    int IsDlgReady() const;

    // A close asked for before the dialog existed ends the dialog as soon
    // as it comes up (or keeps it from coming up at all).
    void RequestClose();
    int IsCloseRequested() const;
    // Called by the dialog once its window is ready: registers it with the
    // Progress (when one is still attached).
    void OnDlgUp(ProgressDlg* dlg);
    // The Progress gives the thread up: from now on the thread touches only
    // itself and its dialog.
    void Detach();

    // The dialog object, kept for the life of this thread object.
    ProgressDlg* GetDlgObject() const { return dialog; }

protected:
    unsigned long DoThreadEx() override;

    Progress* progress; // guarded by progressLock; null once detached
    KernelHandle dlgReady;
    volatile LONG closeRequested;
    ProgressDlg* dialog;
    CritSec progressLock;
};

class PVDLL_API Progress {
public:
    // owner is disabled for the life of the object (may be null). With a
    // delay the dialog starts at the first SetText or StepIt made delayMs
    // or more after construction, else at once. textIntervalMs: least time
    // between two visible text changes (0: no limit). linesCount: text
    // lines shown, 1 to 4 (0: 4). canCancel enables the Cancel button.
    Progress(
        HWND owner, unsigned delayMs = 0, unsigned textIntervalMs = 0, unsigned linesCount = 4, BOOL canCancel = TRUE);
    // Re-enables the owner and brings it forward, then Close().
    virtual ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Ends the dialog and its thread. Never waits for ever: a thread that
    // does not end within its budget is given up (see ProgressThread).
    void Close();

    // Range 0..max at position 0; the title and line 0 from string
    // resources (ResStr ids: negative for this library's strings).
    void Init(int max, unsigned titleId, unsigned textId);
    // 0 when the user cancelled; otherwise StepIt, line 0 from textId, 1.
    int NextStep(unsigned textId);

    void SetTitle(const wchar_t* title);
    void SetTitleFmt(const wchar_t* format, ...);
    // Lines 0-3, below linesCount; any other line is refused.
    void SetText(int line, const wchar_t* text);
    void SetTextFmt(int line, const wchar_t* format, ...);

    // Also puts the bar back to 0.
    void SetRange(int lower, int upper);
    // Keeps the position.
    void SetRange64(__int64 lower, __int64 upper);
    // Positions never start a delayed dialog.
    void SetPos(int pos);
    void SetPos64(__int64 pos);
    void StepIt();
    __int64 GetPos64() const { return pos; }

    // Only before the dialog starts.
    void SetLinesCount(unsigned count);
    // A hidden-flag ProgressTicker on the dialog's bar, now or once the
    // dialog exists.
    void EnableTicker(unsigned intervalMs, unsigned maxTicks, unsigned* ticksOut);
    void PauseTicker(BOOL pause);

    // Shows (and brings forward) or hides the dialog.
    void Show(BOOL show);
    void SetModelessParent(HWND owner);

    int IsCanceled() const { return cancelled != 0; }
    int IsStarted() const { return started != 0; }
    ProgressDlg* GetDlg() const;
    HWND GetDlgHWND() const;
    ZnProgressCtrl* GetProgressCtrl() const;
    ProgressEx* GetProgressEx() const;
    ProgressTicker* GetTicker() const;

protected:
    friend class ProgressThread;

    // Starts the dialog unless it was started already; applies what was
    // kept once it is up.
    void StartDialog();
    // Starts a delayed dialog whose time has come.
    void TestStart();
    // The dialog when its window is up; applies what was kept the first
    // time it is seen, should it have come up after the wait gave up.
    ProgressDlg* LiveDlg();
    void ApplyPending(ProgressDlg* shown);
    void SetTextV(int line, const wchar_t* format, va_list args);
    void SetTitleV(const wchar_t* format, va_list args);
    int TextDue(DWORD now) const;

    HWND owner;
    volatile LONG started;
    volatile LONG cancelled;
    ProgressThread* thread;
    ProgressDlg* volatile dlg;
    ZnBuf pendingTitle;
    ZnBuf pendingLines[4];
    unsigned linesCount;
    BOOL canCancel;
    __int64 pos;
    __int64 pendingSteps;
    __int64 pendingLower;
    __int64 pendingUpper;
    __int64 pendingPos;
    // Tick counts are compared by their unsigned difference, so that the
    // wrap-around after 49.7 days changes nothing: the dialog may start
    // once delayMs have passed since createTick.
    DWORD createTick;
    unsigned delayMs;
    unsigned textInterval;
    // The tick of the last visible text change; textShown says there was one.
    DWORD lastTextTick;
    int textShown;
    unsigned tickerInterval;
    unsigned tickerMax;
    unsigned* tickerOut;
    int pendingApplied;
    // Closed for good: later calls keep to the buffers and start nothing.
    int closed;
};

// Pauses the dialog's ticker and hides the dialog for a scope (a message
// box of the worker's own, say); shows it again, brings it forward and
// resumes the ticker at the end.
class PVDLL_API ProgressPauseHide {
public:
    explicit ProgressPauseHide(Progress* progress);
    ~ProgressPauseHide();
    ProgressPauseHide(const ProgressPauseHide&) = delete;
    ProgressPauseHide& operator=(const ProgressPauseHide&) = delete;

private:
    Progress* progress;
};

// Deletes the Progress at scope exit (nothing when null).
class PVDLL_API ProgressDeleter {
public:
    explicit ProgressDeleter(Progress* progress) : progress(progress) { }
    ~ProgressDeleter();
    ProgressDeleter(const ProgressDeleter&) = delete;
    ProgressDeleter& operator=(const ProgressDeleter&) = delete;

private:
    Progress* progress;
};
