// ProgressTracker: times a series of events (as ProgressEx times its bar
// steps) for rates and averages. The first event after construction or
// after a pause only starts the clock.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API ProgressTracker {
public:
    // Times one event.
    void Update();
    // The paused interval is not timed.
    void Pause(BOOL pause);

    // Milliseconds per event; 0 before an event was timed.
    unsigned __int64 GetAverageEventDuration() const;
    // Milliseconds per n events; 0 before an event was timed.
    unsigned __int64 GetAverageEventsDuration(unsigned n) const;
    // Events per n seconds; 0 while no time was measured. Saturates at
    // 0xFFFFFFFF.
    unsigned GetAverageEventsPerSeconds(unsigned n) const;

    unsigned __int64 GetElapsedMs() const { return elapsedMs; }
    unsigned GetEvents() const { return events; }

protected:
    unsigned __int64 elapsedMs = 0;
    unsigned events = 0;
    unsigned lastTick = 0; // 0: no previous event
    unsigned pauseCount = 0;
};
