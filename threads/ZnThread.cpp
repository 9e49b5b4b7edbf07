#include "threads/ZnThread.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "base/Owners.h"

int ZnThread::bQuit = 0;

namespace {

constexpr DWORD sliceMs = 100;
constexpr DWORD startBudgetMs = 5000;
constexpr DWORD endBudgetMs = 6000;
// QS_ALLINPUT with raw input, touch and pointer input.
constexpr DWORD wakeOnAnyInput = 0x1CFF;
// Added by the thread procedure to the delete counter while it runs, so
// that the owner's increment cannot make it 2 under the procedure's feet.
constexpr LONG procedureHold = 0x10000;

bool QuitRequested()
{
    return std::atomic_ref<int>(ZnThread::bQuit).load() != 0;
}

bool IsSignalled(HANDLE handle)
{
    return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
}

enum class PumpResult { drained, quit, outOfTime };

// Dispatches what is queued, but stops at the deadline: a window that keeps
// posting to itself must not hold a wait past its budget.
PumpResult PumpMessages(HWND window, ULONGLONG deadline)
{
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The application's own loop has to see it too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return PumpResult::quit;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (GetTickCount64() >= deadline || QuitRequested())
            return PumpResult::outOfTime;
    }
    return PumpResult::drained;
}

// The one waiting loop. The budget is a deadline, so it runs out however
// much input arrives. 1 when the handle was signalled (or quit is set), 0 on
// time-out, failure or WM_QUIT.
int PumpingWait(HANDLE handle, DWORD timeout, DWORD wakeMask)
{
    if (timeout == 0)
        return IsSignalled(handle);
    const bool finite = timeout != INFINITE;
    const ULONGLONG deadline = finite ? GetTickCount64() + timeout : ~0ULL;
    for (;;) {
        if (QuitRequested())
            return 1;
        DWORD slice = sliceMs;
        if (finite) {
            ULONGLONG now = GetTickCount64();
            if (now >= deadline)
                return 0;
            slice = static_cast<DWORD>(std::min<ULONGLONG>(slice, deadline - now));
        }
        DWORD result = MsgWaitForMultipleObjectsEx(1, &handle, slice, wakeMask, wakeMask ? MWMO_INPUTAVAILABLE : 0);
        if (QuitRequested())
            return 1;
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0)
            return 1;
        if (result == WAIT_FAILED)
            return 0;
        if (wakeMask && PumpMessages(nullptr, deadline) == PumpResult::quit)
            return IsSignalled(handle);
    }
}

// After the pumping budget: only sent messages get through, so a thread that
// sends to one of our windows cannot deadlock against us.
void WaitLettingSentMessagesThrough(HANDLE handle)
{
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The runtime's thread entry has its own signature; this carries the
// caller's procedure across.
struct StartBlock {
    ZnThreadProc proc;
    void* param;
};

// The block is given back before the procedure runs: a thread that runs
// for the life of the process must not hold it that long.
unsigned __stdcall RunStartBlock(void* block)
{
    StartBlock start = *std::unique_ptr<StartBlock>(static_cast<StartBlock*>(block));
    return start.proc(start.param);
}

} // namespace

ZnThread::ZnThread()
    : hThread(nullptr),
      threadId(0),
      hReady(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      hDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      hCancel(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      validity(validMarker),
      hThreadEnd(nullptr)
{
}

ZnThread::~ZnThread()
{
    EndThread();
    for (HANDLE* event : {&hReady, &hDone, &hCancel})
        KernelHandle(std::exchange(*event, nullptr));
    CloseThreadHandle();
    KernelHandle(std::exchange(hThreadEnd, nullptr));
    validity = 0;
}

void ZnThread::EndThread()
{
    // An object deleted by its own thread is past everything it waits for.
    if (ThreadEnded() || threadId == GetCurrentThreadId())
        return;
    if (!IsSignalled(hCancel))
        SetCancel();
    if (!PumpingWait(hThreadEnd, endBudgetMs, wakeOnAnyInput) || !ThreadEnded())
        WaitLettingSentMessagesThrough(hThreadEnd);
}

int ZnThread::ThreadEnded() const
{
    return !hThreadEnd || IsSignalled(hThreadEnd);
}

// One thread per object at a time. A body that has returned may still be
// leaving the thread procedure for a moment; that is waited for.
int ZnThread::ForgetEndedThread()
{
    if (!hThreadEnd)
        return 1;
    if (!ThreadEnded()) {
        if (IsRunning() || WaitForSingleObject(hThreadEnd, startBudgetMs) != WAIT_OBJECT_0)
            return 0;
    }
    CloseThreadHandle();
    KernelHandle(std::exchange(hThreadEnd, nullptr));
    return 1;
}

void ZnThread::Destroy(unsigned long timeout)
{
    if (IsRunning()) {
        if (!IsSignalled(hCancel))
            SetCancel();
        WaitForEvent(hDone, timeout, 1);
    }
    CloseThreadHandle();
}

int ZnThread::Create(ZnThreadProc proc, void* param, int priority)
{
    if (!proc || !ForgetEndedThread())
        return 0;
    ResetEvent(hReady);
    ResetEvent(hDone);
    ResetEvent(hCancel);

    // Ours until the thread has run; the thread's from then on.
    std::unique_ptr<StartBlock> start(new (std::nothrow) StartBlock{proc, param});
    if (!start)
        return 0;
    // Suspended, so that the handle is stored before the thread can run,
    // let alone finish and give it up.
    unsigned id = 0;
    KernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunStartBlock, start.get(), CREATE_SUSPENDED, &id)));
    if (!thread)
        return 0;
    KernelHandle end;
    if (!DuplicateHandle(GetCurrentProcess(), thread.Get(), GetCurrentProcess(), end.Put(), SYNCHRONIZE, FALSE, 0)) {
        // Never ran: nothing but the runtime's small thread record is lost.
        TerminateThread(thread.Get(), 0);
        return 0;
    }
    start.release();
    hThreadEnd = end.Release();
    HANDLE running = thread.Get();
    {
        CritSecLock hold(lock);
        hThread = thread.Release();
        threadId = id;
    }
    if (priority)
        SetThreadPriority(running, priority);
    ResumeThread(running);
    PumpingWait(hReady, startBudgetMs, wakeOnAnyInput);
    return 1;
}

int ZnThread::WaitForEvent(void* event, unsigned long timeout, int pumpMessages)
{
    if (!IsRunning())
        return 1;
    return PumpingWait(event, timeout, pumpMessages ? wakeOnAnyInput : 0);
}

int ZnThread::CheckEvent(void* event) const
{
    return !IsRunning() || IsSignalled(event);
}

int ZnThread::WaitForThread(unsigned long timeout)
{
    if (!IsRunning())
        return 1;
    return WaitForSingleObject(hThreadEnd, timeout) == WAIT_OBJECT_0;
}

int ZnThread::IsRunning() const
{
    CritSecLock hold(lock);
    return hThread != nullptr;
}

ZnThread::operator void*() const
{
    CritSecLock hold(lock);
    return hThread;
}

void ZnThread::CloseThreadHandle()
{
    CritSecLock hold(lock);
    KernelHandle(std::exchange(hThread, nullptr));
}

int ZnThread::ProcessAllMessages(HWND window)
{
    return PumpMessages(window, ~0ULL) != PumpResult::quit;
}

void ZnThread::QuitAll()
{
    std::atomic_ref<int>(bQuit).store(1);
}

unsigned long ZnThreadEx::ThreadProcEx(void* param)
{
    ZnThreadEx* self = static_cast<ZnThreadEx*>(param);
    InterlockedExchangeAdd(&self->deleteCount, procedureHold);
    self->SetReady();
    unsigned long exitCode = self->DoThreadEx();
    {
        // Together under the lock: whoever sees the thread gone also sees
        // done, and a new Create cannot slip in between the two.
        CritSecLock hold(self->lock);
        KernelHandle(std::exchange(self->hThread, nullptr));
        SetEvent(self->hDone);
    }
    // The last touch of the object. Only now can the owner's DeleteIfDone
    // reach 2; if it already has, deleting falls to us.
    if (InterlockedExchangeAdd(&self->deleteCount, -procedureHold) - procedureHold == 2) {
        self->deleteCount = 0;
        delete self;
    }
    return exitCode;
}

void ZnThreadExAutoDelete::DeleteIfDone()
{
    if (InterlockedIncrement(&deleteCount) == 2) {
        deleteCount = 0;
        delete this;
    }
}

unsigned long ZnThreadExAutoDelete::DoThreadEx()
{
    if (validity == validMarker)
        InterlockedIncrement(&deleteCount);
    return 0;
}
