#include "ui/window/ZnTimer.h"

int ZnTimer::Start(HWND wnd, UINT elapseMs, TIMERPROC proc, UINT defaultEventId)
{
    timerWnd = wnd;
    if (!timerEventId)
        timerEventId = defaultEventId;
    timerId = SetTimer(wnd, timerEventId, elapseMs, proc);
    return timerId != 0;
}

void ZnTimer::Stop()
{
    if (timerId)
        KillTimer(timerWnd, timerWnd ? timerEventId : timerId);
    timerId = 0;
}
