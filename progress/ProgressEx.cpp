#include "progress/ProgressEx.h"

#include "text/StrUnits.h"

void ProgressEx::SetText(int, const wchar_t*, va_list)
{
}

void ProgressEx::SetRange64(__int64 lowerBound, __int64 upperBound)
{
    substep = 0;
    scale = 1;
    // The two factors multiply, so both bounds fit a 16-bit bar.
    unsigned __int64 magnitude = lowerBound < 0 ? 0 - static_cast<unsigned __int64>(lowerBound)
                                                : static_cast<unsigned __int64>(lowerBound);
    if (magnitude > 65535)
        scale = static_cast<unsigned>((magnitude + 65534) / 65535);
    if (upperBound > 65535)
        scale *= static_cast<unsigned>((static_cast<unsigned __int64>(upperBound) + 65534) / 65535);
    lower = static_cast<int>(lowerBound / scale);
    upper = static_cast<int>(upperBound / scale);
    DoSetRange(lower, upper);
}

void ProgressEx::SetPos64(__int64 position)
{
    pos = static_cast<int>(position / scale);
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
    ++pos;
    DoStepIt();
    unsigned now = GetTickCount();
    if (lastTick) {
        elapsedMs += now - lastTick;
        ++stepsTimed;
    }
    lastTick = now;
    return 1;
}

int ProgressEx::GetPercentCompleted() const
{
    if (upper == lower)
        return 0;
    return static_cast<int>((static_cast<__int64>(pos) - lower) * 100 / (static_cast<__int64>(upper) - lower));
}

unsigned __int64 ProgressEx::GetAverageStepDuration() const
{
    return stepsTimed ? elapsedMs / stepsTimed : 0;
}

unsigned ProgressEx::GetSecondsRemaining() const
{
    unsigned __int64 averageUs = stepsTimed ? elapsedMs * 1000 / stepsTimed : 0;
    __int64 left = static_cast<__int64>(upper) - pos;
    if (left <= 0)
        return 0;
    return static_cast<unsigned>(static_cast<unsigned __int64>(left) * averageUs / 1000000);
}

int ProgressEx::GetTextRemaining(wchar_t* buf, unsigned size, BOOL longForm) const
{
    return ::GetTextRemaining(GetSecondsRemaining(), buf, size, longForm);
}

unsigned ProgressEx::GetEventsPerSeconds(unsigned n) const
{
    if (!elapsedMs)
        return 0;
    return static_cast<unsigned>(scale * (static_cast<unsigned __int64>(stepsTimed) * n * 1000 / elapsedMs));
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
