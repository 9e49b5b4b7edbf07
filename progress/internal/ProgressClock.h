// The clock the progress classes time their steps and events with: the
// system's tick count, unless the library's tests put a clock of their own
// in its place to drive elapsed time exactly.
//
// Exported for the library's tests; not part of the installed interface.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

using ProgressTickSource = DWORD (*)();

// null: the system's tick count again.
PVDLL_API void SetProgressTickSource(ProgressTickSource source);
DWORD ProgressTickNow();

// lastTick of 0 stands for "no previous step", so a tick count that happens
// to be 0 is kept as 1: a millisecond lost, rather than a whole duration.
inline unsigned ProgressTickMark(DWORD now)
{
    return now ? now : 1;
}
