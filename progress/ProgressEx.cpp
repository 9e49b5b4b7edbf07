#include "progress/ProgressEx.h"

#include <climits>

#include "progress/internal/ProgressClock.h"
#include "text/StrUnits.h"

namespace {

// The widest span a 16-bit bar, and so every bar, can show.
constexpr unsigned __int64 maxBarSpan = 65535;

unsigned Saturate(unsigned __int128 value)
{
    return value > UINT_MAX ? UINT_MAX : static_cast<unsigned>(value);
}

bool FitsInt(__int64 value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

} // namespace

void ProgressEx::SetText(int, const wchar_t*, va_list)
{
}

void ProgressEx::SetRange64(__int64 lowerBound, __int64 upperBound)
{
    if (upperBound < lowerBound)
        upperBound = lowerBound;
    substep = 0;
    // Any two signed 64-bit bounds are at most 2^64 - 1 apart: the span is
    // exact in unsigned 64 bits, and so is the scale (at most 2^48).
    unsigned __int64 span = static_cast<unsigned __int64>(upperBound) - static_cast<unsigned __int64>(lowerBound);
    scale = span <= maxBarSpan ? 1 : (span - 1) / maxBarSpan + 1;
    callerLower = lowerBound;
    callerUpper = upperBound;
    __int64 divisor = static_cast<__int64>(scale);
    __int64 barLower = lowerBound / divisor;
    __int64 barUpper = upperBound / divisor;
    if (FitsInt(barLower) && FitsInt(barUpper)) {
        origin = 0;
        lower = static_cast<int>(barLower);
        upper = static_cast<int>(barUpper);
    } else {
        origin = lowerBound;
        lower = 0;
        upper = static_cast<int>(span / scale);
    }
    if (pos < lower)
        pos = lower;
    else if (pos > upper)
        pos = upper;
    DoSetRange(lower, upper);
}

void ProgressEx::SetPos64(__int64 position)
{
    if (position < callerLower)
        position = callerLower;
    else if (position > callerUpper)
        position = callerUpper;
    if (origin)
        pos = static_cast<int>(
            (static_cast<unsigned __int64>(position) - static_cast<unsigned __int64>(origin)) / scale);
    else
        pos = static_cast<int>(position / static_cast<__int64>(scale));
    DoSetPos(pos);
}

void ProgressEx::Setup(__int64 lowerBound, __int64 upperBound, __int64 position)
{
    SetRange64(lowerBound, upperBound);
    SetPos64(position);
}

int ProgressEx::StepIt()
{
    if (++substep < scale)
        return 0;
    substep = 0;
    // A full bar stays full: the control would start over from the empty
    // bar instead.
    if (pos >= upper)
        return 0;
    ++pos;
    DoStepIt();
    DWORD now = ProgressTickNow();
    if (lastTick) {
        // Unsigned: right across the tick count's wrap-around.
        elapsedMs += static_cast<DWORD>(now - lastTick);
        ++stepsTimed;
    }
    lastTick = ProgressTickMark(now);
    return 1;
}

int ProgressEx::GetPercentCompleted() const
{
    if (upper <= lower)
        return 0;
    return static_cast<int>((static_cast<__int64>(pos) - lower) * 100 / (static_cast<__int64>(upper) - lower));
}

unsigned __int64 ProgressEx::GetAverageStepDuration() const
{
    return stepsTimed ? elapsedMs / stepsTimed : 0;
}

unsigned ProgressEx::GetSecondsRemaining() const
{
    if (!stepsTimed || pos >= upper)
        return 0;
    unsigned __int128 averageUs = static_cast<unsigned __int128>(elapsedMs) * 1000 / stepsTimed;
    unsigned __int64 left = static_cast<unsigned __int64>(static_cast<__int64>(upper) - pos);
    return Saturate(left * averageUs / 1000000);
}

int ProgressEx::GetTextRemaining(wchar_t* buf, unsigned size, BOOL longForm) const
{
    return ::GetTextRemaining(GetSecondsRemaining(), buf, size, longForm);
}

unsigned ProgressEx::GetEventsPerSeconds(unsigned n) const
{
    if (!elapsedMs)
        return 0;
    return Saturate(scale * (static_cast<unsigned __int128>(stepsTimed) * n * 1000 / elapsedMs));
}

void ProgressEx::Pause(BOOL pause)
{
    if (pause) {
        lastTick = 0;
        ++pauseCount;
    } else if (pauseCount) {
        --pauseCount;
    }
}
