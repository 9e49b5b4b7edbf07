// The progress dialogs' ways in for the library's tests: shorter waits, a
// clock of the test's own, a dialog thread held before it makes its dialog,
// and the number of dialog threads still alive.
//
// Exported for the library's tests; not part of the installed interface.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

namespace ProgressSeams {

// How long a Progress waits for its dialog to come up and for its thread to
// end when closing; 0 restores the default (5000 ms each).
PVDLL_API void SetWaitBudgets(unsigned readyMs, unsigned closeMs);
// The tick count the progress objects read (null: GetTickCount).
PVDLL_API void SetTickSource(DWORD (*tick)());
// Called on each dialog thread that is to make a dialog, just before it
// makes it (null: none).
PVDLL_API void SetThreadStartHook(void (*hook)(void* data), void* data);
// Dialog threads whose object still exists, including given-up ones.
PVDLL_API long ThreadsAlive();

} // namespace ProgressSeams

// The library's side of the seams.
namespace ProgressSeamsInternal {
DWORD Now();
unsigned ReadyBudget();
unsigned CloseBudget();
void OnThreadStart();
void CountThread(int delta);
} // namespace ProgressSeamsInternal
