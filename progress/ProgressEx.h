// ProgressEx: progress bookkeeping. Turns a caller's range and position,
// which may be 64-bit, into values that fit a standard progress bar, counts
// steps and times them to estimate the time remaining. Derived classes
// supply the output operations.
//
// The bar's span (upper - lower) never exceeds 65535 units: the caller's
// span is divided by the scale, caller units per bar unit. Positions are
// kept inside the range, so the bar never runs backwards or wraps. The
// caller's bounds divided by the scale become the bar's bounds; only when
// those would not fit 32 bits does the bar count from 0 at the caller's
// lower bound instead.
#pragma once

#include <windows.h>
#include <cstdarg>

#include "base/PVDLLApi.h"

class PVDLL_API ProgressEx {
public:
    ProgressEx() = default;
    virtual ~ProgressEx() = default;

    virtual void SetText(int line, const wchar_t* format, va_list args);
    virtual void DoStepIt() = 0;
    virtual void DoSetPos(int pos) = 0;
    virtual void DoSetRange(int lower, int upper) = 0;
    virtual void ProcessAllMessages() = 0;

    // A reversed range (upper below lower) is taken as the empty range at
    // lower.
    void SetRange64(__int64 lower, __int64 upper);
    // pos is clamped into the range.
    void SetPos64(__int64 pos);
    void Setup(__int64 lower, __int64 upper, __int64 pos);
    // 1 when the bar moved, 0 when the step was absorbed by the scale or
    // the bar is full already.
    int StepIt();

    // 0 for an empty range.
    int GetPercentCompleted() const;
    // Milliseconds per bar step; 0 before a step was timed.
    unsigned __int64 GetAverageStepDuration() const;
    // Saturates at 0xFFFFFFFF.
    unsigned GetSecondsRemaining() const;
    int GetTextRemaining(wchar_t* buf, unsigned size, BOOL longForm) const;
    // Caller events per n seconds; saturates at 0xFFFFFFFF.
    unsigned GetEventsPerSeconds(unsigned n) const;
    // The paused interval is not timed. Steps go on while paused.
    void Pause(BOOL pause);

    unsigned IsCanceled() const { return cancelled; }
    void Cancel(BOOL cancel) { cancelled = cancel ? 1 : 0; }

    unsigned __int64 GetScale() const { return scale; }
    // The bar's own values.
    int GetLower() const { return lower; }
    int GetUpper() const { return upper; }
    int GetPos() const { return pos; }
    unsigned __int64 GetElapsedMs() const { return elapsedMs; }
    unsigned GetStepsTimed() const { return stepsTimed; }
    unsigned GetPauseCount() const { return pauseCount; }

protected:
    unsigned cancelled = 0;
    // Caller units per bar unit, never 0. 64 bits: a span near 2^64 needs
    // a scale near 2^48.
    unsigned __int64 scale = 1;
    unsigned __int64 substep = 0;
    int lower = 0;
    int upper = 0;
    int pos = 0;
    unsigned __int64 elapsedMs = 0;
    unsigned stepsTimed = 0;
    unsigned lastTick = 0; // 0: no previous step
    unsigned pauseCount = 0;
    // The caller's bounds and the caller value bar 0 stands for (0 unless
    // the bounds divided by the scale would not fit the bar).
    __int64 callerLower = 0;
    __int64 callerUpper = 0;
    __int64 origin = 0;
};
