#include "progress/ProgressTicker.h"

#include <climits>
#include <commctrl.h>
#include <new>

// --- ProgressTickerThread ------------------------------------------------

ProgressTickerThread::ProgressTickerThread(ProgressTicker* owner, unsigned interval)
    : ticker(owner), intervalMs(interval)
{
}

ProgressTickerThread::~ProgressTickerThread()
{
    EndThread();
}

unsigned long ProgressTickerThread::DoThreadEx()
{
    // The cancel event is the stop request: waiting on it for the interval
    // lets a stop end the wait at once.
    while (!IsCanceled()) {
        ticker->Tick();
        if (IsCanceled() || WaitForSingleObject(hCancel, intervalMs) != WAIT_TIMEOUT)
            break;
    }
    return 0;
}

// --- ProgressTicker ------------------------------------------------------

ProgressTicker::ProgressTicker(HWND progressBar, unsigned interval, unsigned maximum, BOOL showBar, unsigned* out)
    : bar(progressBar),
      intervalMs(interval),
      show(showBar),
      paused(0),
      ticksOut(out),
      maxTicks(maximum > INT_MAX ? INT_MAX : maximum),
      ticks(0)
{
    // 32-bit range: with PBM_SETRANGE a maximum above 65535 would be cut.
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(maxTicks));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    SendMessageW(bar, PBM_SETSTEP, 1, 0);
    thread.reset(new (std::nothrow) ProgressTickerThread(this, intervalMs));
    if (show && bar) {
        ShowWindow(bar, SW_SHOW);
        UpdateWindow(bar);
    }
    // Without a thread the ticker still ticks through StepIt.
    if (thread && !thread->Start(THREAD_PRIORITY_NORMAL))
        thread.reset();
}

ProgressTicker::~ProgressTicker()
{
    if (thread) {
        unsigned long wait = intervalMs > ULONG_MAX / 2 ? ULONG_MAX : intervalMs * 2UL;
        thread->Stop(wait);
        thread.reset();
    }
    if (show && bar) {
        ShowWindow(bar, SW_HIDE);
        if (HWND parent = GetParent(bar))
            RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    if (ticksOut)
        *ticksOut = ticks.load();
}

int ProgressTicker::IsTicking() const
{
    return thread && thread->IsRunning();
}

int ProgressTicker::Tick()
{
    if (paused.load())
        return 0;
    // The tick is claimed before it is shown, so two threads ticking at
    // once never pass the maximum between them.
    unsigned made = ticks.load();
    do {
        if (made >= maxTicks)
            return 0;
    } while (!ticks.compare_exchange_weak(made, made + 1));
    SendMessageW(bar, PBM_STEPIT, 0, 0);
    return 1;
}

int ProgressTicker::StepIt()
{
    int ticked = Tick();
    ZnThread::ProcessAllMessages(bar);
    return ticked;
}

// --- ProgressTickerPause -------------------------------------------------

ProgressTickerPause::ProgressTickerPause(ProgressTicker* pausedTicker) : ticker(pausedTicker)
{
    if (ticker)
        ticker->Pause(TRUE);
}

ProgressTickerPause::~ProgressTickerPause()
{
    if (ticker)
        ticker->Pause(FALSE);
}
