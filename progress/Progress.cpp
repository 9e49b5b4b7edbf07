#include "progress/Progress.h"

#include <commctrl.h>

#include <cstring>
#include <new>
#include <utility>

#include "base/StrFormat.h"
#include "progress/ProgressDlg.h"
#include "progress/internal/ProgressSeams.h"
#include "resources/resource.h"
#include "text/ResStr.h"
#include "threads/CoInit.h"

namespace {

constexpr unsigned defaultBudgetMs = 5000;
constexpr unsigned maxLines = 4;
constexpr unsigned formatChars = 1024;

volatile LONG readyBudgetMs = 0;
volatile LONG closeBudgetMs = 0;
DWORD (*volatile tickSource)() = nullptr;
void (*volatile startHook)(void*) = nullptr;
void* volatile startHookData = nullptr;
volatile LONG threadsAlive = 0;

unsigned EffectiveLines(unsigned count)
{
    return count == 0 || count > maxLines ? maxLines : count;
}

// A terminated copy in a buffer of its own; an empty buffer when the memory
// is not there (the text is then simply not kept).
ZnBuf CopyOf(const wchar_t* text)
{
    if (!text)
        text = L"";
    size_t length = wcslen(text);
    ZnBuf copy(static_cast<unsigned>((length + 1) * sizeof(wchar_t)));
    if (copy.IsReady())
        memcpy(static_cast<void*>(copy), text, (length + 1) * sizeof(wchar_t));
    return copy;
}

} // namespace

namespace ProgressSeams {

void SetWaitBudgets(unsigned readyMs, unsigned closeMs)
{
    InterlockedExchange(&readyBudgetMs, static_cast<LONG>(readyMs));
    InterlockedExchange(&closeBudgetMs, static_cast<LONG>(closeMs));
}

void SetTickSource(DWORD (*tick)())
{
    tickSource = tick;
}

void SetThreadStartHook(void (*hook)(void* data), void* data)
{
    startHookData = data;
    startHook = hook;
}

long ThreadsAlive()
{
    return InterlockedCompareExchange(&threadsAlive, 0, 0);
}

} // namespace ProgressSeams

namespace ProgressSeamsInternal {

DWORD Now()
{
    DWORD (*tick)() = tickSource;
    return tick ? tick() : GetTickCount();
}

unsigned ReadyBudget()
{
    LONG ms = readyBudgetMs;
    return ms > 0 ? static_cast<unsigned>(ms) : defaultBudgetMs;
}

unsigned CloseBudget()
{
    LONG ms = closeBudgetMs;
    return ms > 0 ? static_cast<unsigned>(ms) : defaultBudgetMs;
}

void OnThreadStart()
{
    if (void (*hook)(void*) = startHook)
        hook(startHookData);
}

void CountThread(int delta)
{
    InterlockedExchangeAdd(&threadsAlive, delta);
}

} // namespace ProgressSeamsInternal

// --- ProgressThread ------------------------------------------------------------

ProgressThread::ProgressThread(Progress* served)
    : progress(served), dlgReady(CreateEventW(nullptr, TRUE, FALSE, nullptr)), closeRequested(0), dialog(nullptr)
{
    ProgressSeamsInternal::CountThread(1);
}

ProgressThread::~ProgressThread()
{
    // Deleted only once the body is over (auto-delete), so the dialog's
    // window and loop are gone.
    delete std::exchange(dialog, nullptr);
    ProgressSeamsInternal::CountThread(-1);
}

void ProgressThread::SetDlgReady()
{
    SetEvent(dlgReady.Get());
}

int ProgressThread::WaitForDlgReady(unsigned ms)
{
    return WaitForEvent(dlgReady.Get(), ms, 1);
}

int ProgressThread::IsDlgReady() const
{
    return WaitForSingleObject(dlgReady.Get(), 0) == WAIT_OBJECT_0;
}

void ProgressThread::RequestClose()
{
    InterlockedExchange(&closeRequested, 1);
}

int ProgressThread::IsCloseRequested() const
{
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&closeRequested), 0, 0) != 0;
}

void ProgressThread::OnDlgUp(ProgressDlg* shown)
{
    CritSecLock hold(progressLock);
    if (progress)
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&progress->dlg), shown);
}

void ProgressThread::Detach()
{
    CritSecLock hold(progressLock);
    progress = nullptr;
}

unsigned long ProgressThread::DoThreadEx()
{
    HWND centerOn = nullptr;
    unsigned lines = maxLines;
    BOOL cancelAllowed = TRUE;
    bool wanted = false;
    {
        CritSecLock hold(progressLock);
        if (progress && !IsCloseRequested()) {
            centerOn = progress->owner;
            lines = progress->linesCount;
            cancelAllowed = progress->canCancel;
            InterlockedExchange(&progress->started, 1);
            wanted = true;
        }
    }

    if (wanted) {
        ProgressSeamsInternal::OnThreadStart();
        // comctl32 is bound on first use: its bar class may not be there yet.
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        // For the taskbar button's progress, made and released on this thread.
        CoInit com;
        dialog = new (std::nothrow) ProgressDlg();
        LRESULT result = -1;
        if (dialog) {
            dialog->Setup(this, centerOn, lines, cancelAllowed);
            result = dialog->Modal(-IDD_PROGRESS, nullptr, nullptr);
        }
        CritSecLock hold(progressLock);
        if (progress) {
            InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&progress->dlg), nullptr);
            InterlockedExchange(&progress->cancelled, result != IDOK ? 1 : 0);
        }
    }
    // A dialog that never came up must not keep the worker waiting.
    SetDlgReady();
    return ZnThreadExAutoDelete::DoThreadEx();
}

// --- Progress --------------------------------------------------------------------

Progress::Progress(HWND ownerWnd, unsigned delay, unsigned textIntervalMs, unsigned lines, BOOL cancelAllowed)
    : owner(ownerWnd),
      started(0),
      cancelled(0),
      thread(nullptr),
      dlg(nullptr),
      pendingTitle(0),
      pendingLines{ZnBuf(0), ZnBuf(0), ZnBuf(0), ZnBuf(0)},
      linesCount(EffectiveLines(lines)),
      canCancel(cancelAllowed),
      pos(0),
      pendingSteps(0),
      pendingLower(-1),
      pendingUpper(-1),
      pendingPos(-1),
      createTick(ProgressSeamsInternal::Now()),
      delayMs(delay),
      textInterval(textIntervalMs),
      lastTextTick(0),
      textShown(0),
      tickerInterval(0),
      tickerMax(0),
      tickerOut(nullptr),
      pendingApplied(0),
      closed(0)
{
    if (owner)
        EnableWindow(owner, FALSE);
    if (!delayMs)
        StartDialog();
}

Progress::~Progress()
{
    if (owner) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    Close();
}

void Progress::Close()
{
    closed = 1;
    ProgressThread* ending = std::exchange(thread, nullptr);
    if (!ending)
        return;
    // Asked first, looked for second: a dialog that registers itself in
    // between sees the request when it comes up (see ProgressDlg).
    ending->RequestClose();
    if (HWND window = GetDlgHWND())
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ending->WaitForDone(ProgressSeamsInternal::CloseBudget());
    // Whether it ended or not, the thread touches this object no more; one
    // that did not end keeps itself and its dialog until it does, or for
    // ever (a deliberate leak: freeing them under a running thread is worse).
    ending->Detach();
    ending->DeleteIfDone();
    InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&dlg), nullptr);
}

void Progress::StartDialog()
{
    if (thread || closed)
        return;
    delayMs = 0;
    ProgressThread* starting = new (std::nothrow) ProgressThread(this);
    if (!starting)
        return;
    if (!starting->Start(0)) {
        // Its body never ran: nobody else holds it.
        delete starting;
        return;
    }
    thread = starting;
    thread->WaitForDlgReady(ProgressSeamsInternal::ReadyBudget());
    LiveDlg();
}

void Progress::TestStart()
{
    if (thread || closed)
        return;
    if (ProgressSeamsInternal::Now() - createTick >= delayMs)
        StartDialog();
}

ProgressDlg* Progress::LiveDlg()
{
    ProgressDlg* shown = dlg;
    if (!shown || !shown->GetLiveHWND())
        return nullptr;
    if (!pendingApplied) {
        pendingApplied = 1;
        ApplyPending(shown);
    }
    return shown;
}

void Progress::ApplyPending(ProgressDlg* shown)
{
    if (!pendingTitle.IsEmpty())
        shown->SetTitle(static_cast<wchar_t*>(pendingTitle));
    pendingTitle = ZnBuf(0);
    for (unsigned line = 0; line < maxLines; ++line) {
        if (pendingLines[line].IsReady())
            shown->SetText(static_cast<int>(line), static_cast<wchar_t*>(pendingLines[line]));
        pendingLines[line] = ZnBuf(0);
    }
    if (pendingLower >= 0 && pendingUpper >= 0)
        shown->SetRange64(pendingLower, pendingUpper);
    if (pendingSteps)
        shown->SetPos64(pendingSteps);
    if (pendingPos >= 0)
        shown->SetPos64(pendingPos);
    if (tickerInterval)
        shown->EnableTicker(tickerInterval, tickerMax, tickerOut);
    pendingLower = pendingUpper = pendingPos = -1;
    pendingSteps = 0;
    tickerInterval = tickerMax = 0;
    tickerOut = nullptr;
}

void Progress::Init(int max, unsigned titleId, unsigned textId)
{
    SetRange(0, max);
    ResStr title;
    SetTitle(title.Load(titleId));
    ResStr text;
    SetText(0, text.Load(textId));
}

int Progress::NextStep(unsigned textId)
{
    if (cancelled)
        return 0;
    StepIt();
    ResStr text;
    SetText(0, text.Load(textId));
    return 1;
}

void Progress::SetTitle(const wchar_t* title)
{
    if (ProgressDlg* shown = LiveDlg())
        shown->SetTitle(title);
    else
        pendingTitle = CopyOf(title);
}

void Progress::SetTitleV(const wchar_t* format, va_list args)
{
    wchar_t text[formatChars];
    StrFormatV(text, formatChars, format ? format : L"", args);
    SetTitle(text);
}

void Progress::SetTitleFmt(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    SetTitleV(format, args);
    va_end(args);
}

int Progress::TextDue(DWORD now) const
{
    return !textShown || !textInterval || now - lastTextTick >= textInterval;
}

void Progress::SetText(int line, const wchar_t* text)
{
    if (line < 0 || static_cast<unsigned>(line) >= linesCount)
        return;
    if (ProgressDlg* shown = LiveDlg()) {
        DWORD now = ProgressSeamsInternal::Now();
        if (!TextDue(now))
            return;
        shown->SetText(line, text);
        lastTextTick = now;
        textShown = 1;
        return;
    }
    pendingLines[line] = CopyOf(text);
    TestStart();
}

void Progress::SetTextV(int line, const wchar_t* format, va_list args)
{
    if (line < 0 || static_cast<unsigned>(line) >= linesCount)
        return;
    // A text that would be dropped is not formatted: a worker may report
    // every item of a tight loop.
    if (textShown && textInterval && dlg && !TextDue(ProgressSeamsInternal::Now()))
        return;
    wchar_t text[formatChars];
    StrFormatV(text, formatChars, format ? format : L"", args);
    SetText(line, text);
}

void Progress::SetTextFmt(int line, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    SetTextV(line, format, args);
    va_end(args);
}

void Progress::SetRange(int lower, int upper)
{
    pos = 0;
    if (ProgressDlg* shown = LiveDlg()) {
        shown->SetRange(lower, upper);
        return;
    }
    pendingLower = lower;
    pendingUpper = upper;
    pendingSteps = 0;
    pendingPos = 0;
}

void Progress::SetRange64(__int64 lower, __int64 upper)
{
    if (ProgressDlg* shown = LiveDlg()) {
        shown->SetRange64(lower, upper);
        return;
    }
    pendingLower = lower;
    pendingUpper = upper;
}

void Progress::SetPos(int newPos)
{
    SetPos64(newPos);
}

void Progress::SetPos64(__int64 newPos)
{
    pos = newPos;
    if (ProgressDlg* shown = LiveDlg()) {
        shown->SetPos64(newPos);
        return;
    }
    pendingPos = newPos;
}

void Progress::StepIt()
{
    ++pos;
    if (ProgressDlg* shown = LiveDlg()) {
        shown->StepIt();
        return;
    }
    // A kept position moves on with the steps; without one, the steps
    // are the position.
    if (pendingPos >= 0)
        ++pendingPos;
    else
        ++pendingSteps;
    TestStart();
}

void Progress::SetLinesCount(unsigned count)
{
    if (!thread)
        linesCount = EffectiveLines(count);
}

void Progress::EnableTicker(unsigned intervalMs, unsigned maxTicks, unsigned* ticksOut)
{
    if (ProgressDlg* shown = LiveDlg()) {
        shown->EnableTicker(intervalMs, maxTicks, ticksOut);
        return;
    }
    tickerInterval = intervalMs;
    tickerMax = maxTicks;
    tickerOut = ticksOut;
}

void Progress::PauseTicker(BOOL pause)
{
    if (ProgressDlg* shown = LiveDlg())
        shown->PauseTicker(pause);
}

void Progress::Show(BOOL show)
{
    HWND window = GetDlgHWND();
    if (!window)
        return;
    ShowWindow(window, show ? SW_SHOW : SW_HIDE);
    if (show)
        SetForegroundWindow(window);
}

void Progress::SetModelessParent(HWND ownerWnd)
{
    owner = ownerWnd;
    InterlockedExchange(&started, 1);
}

ProgressDlg* Progress::GetDlg() const
{
    return dlg;
}

HWND Progress::GetDlgHWND() const
{
    ProgressDlg* shown = dlg;
    return shown ? shown->GetLiveHWND() : nullptr;
}

ZnProgressCtrl* Progress::GetProgressCtrl() const
{
    ProgressDlg* shown = dlg;
    return shown ? shown->GetProgressCtrl() : nullptr;
}

ProgressEx* Progress::GetProgressEx() const
{
    ZnProgressCtrl* control = GetProgressCtrl();
    return control ? control->GetProgressEx() : nullptr;
}

ProgressTicker* Progress::GetTicker() const
{
    ProgressDlg* shown = dlg;
    return shown ? shown->GetTicker() : nullptr;
}

// --- scope guards ------------------------------------------------------------------

ProgressPauseHide::ProgressPauseHide(Progress* paused) : progress(paused)
{
    if (!progress)
        return;
    progress->PauseTicker(TRUE);
    progress->Show(FALSE);
}

ProgressPauseHide::~ProgressPauseHide()
{
    if (!progress)
        return;
    progress->Show(TRUE);
    progress->PauseTicker(FALSE);
}

ProgressDeleter::~ProgressDeleter()
{
    delete progress;
}
