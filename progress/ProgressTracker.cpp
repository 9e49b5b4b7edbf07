#include "progress/ProgressTracker.h"

#include <climits>

#include "progress/internal/ProgressClock.h"

void ProgressTracker::Update()
{
    DWORD now = ProgressTickNow();
    if (lastTick) {
        // Unsigned: right across the tick count's wrap-around.
        elapsedMs += static_cast<DWORD>(now - lastTick);
        ++events;
    }
    lastTick = ProgressTickMark(now);
}

void ProgressTracker::Pause(BOOL pause)
{
    if (pause) {
        lastTick = 0;
        ++pauseCount;
    } else if (pauseCount) {
        --pauseCount;
    }
}

unsigned __int64 ProgressTracker::GetAverageEventDuration() const
{
    return events ? elapsedMs / events : 0;
}

unsigned __int64 ProgressTracker::GetAverageEventsDuration(unsigned n) const
{
    if (!events)
        return 0;
    unsigned __int128 duration = static_cast<unsigned __int128>(elapsedMs) * n / events;
    return duration > ULLONG_MAX ? ULLONG_MAX : static_cast<unsigned __int64>(duration);
}

unsigned ProgressTracker::GetAverageEventsPerSeconds(unsigned n) const
{
    if (!elapsedMs)
        return 0;
    unsigned __int128 rate = static_cast<unsigned __int128>(events) * n * 1000 / elapsedMs;
    return rate > UINT_MAX ? UINT_MAX : static_cast<unsigned>(rate);
}
