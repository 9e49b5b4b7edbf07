// ProgressEx: progress bookkeeping. Turns a caller's range and position,
// which may be 64-bit, into values that fit a standard progress bar, counts
// steps and times them to estimate the time remaining. Derived classes
// supply the output operations.
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

    void SetRange64(__int64 lower, __int64 upper);
    void SetPos64(__int64 pos);
    void Setup(__int64 lower, __int64 upper, __int64 pos);
    // 1 when the bar moved, 0 when the step was absorbed by the scale.
    int StepIt();

    int GetPercentCompleted() const;
    unsigned __int64 GetAverageStepDuration() const;
    unsigned GetSecondsRemaining() const;
    int GetTextRemaining(wchar_t* buf, unsigned size, BOOL longForm) const;
    unsigned GetEventsPerSeconds(unsigned n) const;
    // The paused interval is not timed.
    void Pause(BOOL pause);

    unsigned IsCanceled() const { return cancelled; }

protected:
    unsigned cancelled = 0;
    unsigned scale = 1;  // caller units per bar unit, never 0
    unsigned substep = 0;
    int lower = 0;
    int upper = 0;
    int pos = 0;
    unsigned __int64 elapsedMs = 0;
    unsigned stepsTimed = 0;
    unsigned lastTick = 0;  // 0: no previous step
    unsigned pauseCount = 0;
};
