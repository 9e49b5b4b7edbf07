// Helpers of the progress-dialog tests: worker threads, a clock of the
// test's own, a dialog thread held at a gate, and looks into a dialog that
// lives on another thread.
#pragma once

#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>

#include "PVDLL.h"
#include "progress/internal/ProgressSeams.h"

// Runs body on a thread of its own (CreateThread: see the README's notes on
// winpthread threads under Wine) while this thread handles its messages.
// False when the worker did not end within budgetMs; it is then left to
// run, holding its own copy of body.
bool RunWorker(const std::function<void()>& body, DWORD budgetMs = 30000);


// The progress objects' clock while the object lives: it stands where the
// test puts it.
class FakeClock {
public:
    explicit FakeClock(DWORD start)
    {
        now.store(start);
        ProgressSeams::SetTickSource(&Read);
    }
    ~FakeClock() { ProgressSeams::SetTickSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void Set(DWORD tick) { now.store(tick); }
    void Advance(DWORD ms) { now.fetch_add(ms); }

private:
    static DWORD Read() { return now.load(); }
    static inline std::atomic<DWORD> now{0};
};

// Holds every dialog thread just before it makes its dialog until Open(),
// or until the gate goes. Counts the threads that reached it.
class ThreadGate {
public:
    ThreadGate();
    ~ThreadGate();
    ThreadGate(const ThreadGate&) = delete;
    ThreadGate& operator=(const ThreadGate&) = delete;

    void Open() { SetEvent(open); }
    long Reached() const { return reached.load(); }

private:
    static void Hold(void* self);

    HANDLE open;
    std::atomic<long> reached{0};
};

// Shorter waits for a scope (the defaults again at its end).
class WaitBudgets {
public:
    WaitBudgets(unsigned readyMs, unsigned closeMs) { ProgressSeams::SetWaitBudgets(readyMs, closeMs); }
    ~WaitBudgets() { ProgressSeams::SetWaitBudgets(0, 0); }
    WaitBudgets(const WaitBudgets&) = delete;
    WaitBudgets& operator=(const WaitBudgets&) = delete;
};

// Waits (handling messages) until no dialog thread is left.
bool NoThreadLeft(DWORD timeoutMs = 10000);

std::wstring ItemText(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
// The bar's position and range (the bar lives on the dialog's thread).
int BarPos(HWND dialog);
PBRANGE BarRange(HWND dialog);
// The window rectangle's height.
int WindowHeight(HWND window);
// The item's rectangle in the dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);

// A progress dialog's window size as it opens with lines lines and no
// remembered size (the remembered size is cleared before and after).
SIZE FreshDialogSize(unsigned lines);
