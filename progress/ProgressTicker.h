// ProgressTicker: moves a progress bar one step every interval from a
// thread of its own while the caller is busy, up to a number of steps.
// The thread only sends the bar messages; the bar's own thread carries
// them out, so that thread must keep taking messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "base/PVDLLApi.h"
#include "threads/ZnThread.h"

class ProgressTicker;

class PVDLL_API ProgressTickerThread : public ZnThreadEx {
public:
    ProgressTickerThread(ProgressTicker* ticker, unsigned intervalMs);
    // Ends the thread before the ticker it reads can go.
    ~ProgressTickerThread() override;

    // Ticks, then waits for the interval, until asked to stop.
    unsigned long DoThreadEx() override;

protected:
    ProgressTicker* ticker;
    unsigned intervalMs;
};

class PVDLL_API ProgressTicker {
public:
    // Sets the bar to 0..maxTicks at 0 and starts ticking. With show, the
    // bar is shown now and hidden at the end. ticksOut (may be null)
    // receives the number of ticks made when the ticker ends.
    ProgressTicker(HWND bar, unsigned intervalMs, unsigned maxTicks, BOOL show, unsigned* ticksOut);
    ~ProgressTicker();
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

    // One tick from the caller's thread, then the bar's messages waiting
    // for it. 1 when a tick was made; 0 while paused or at the maximum.
    int StepIt();
    // A paused ticker makes no ticks. Not nested.
    void Pause(BOOL pause) { paused.store(pause ? 1 : 0); }

    int IsPaused() const { return paused.load(); }
    unsigned GetTicks() const { return ticks.load(); }
    unsigned GetMaxTicks() const { return maxTicks; }
    HWND GetBar() const { return bar; }
    // Whether the ticker's thread runs.
    int IsTicking() const;

    // One tick from any thread, without pumping: 1 when the bar was moved.
    // Never more than maxTicks in all, whichever threads tick.
    int Tick();

protected:
    HWND bar;
    unsigned intervalMs;
    BOOL show;
    std::atomic<int> paused;
    unsigned* ticksOut;
    unsigned maxTicks;
    std::atomic<unsigned> ticks;
    std::unique_ptr<ProgressTickerThread> thread;
};

// Keeps a ticker paused for a scope (nothing for a null ticker).
class PVDLL_API ProgressTickerPause {
public:
    explicit ProgressTickerPause(ProgressTicker* ticker);
    ~ProgressTickerPause();
    ProgressTickerPause(const ProgressTickerPause&) = delete;
    ProgressTickerPause& operator=(const ProgressTickerPause&) = delete;

private:
    ProgressTicker* ticker;
};
