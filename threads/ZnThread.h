// ZnThread: one worker thread with ready, done and cancel events.
// ZnThreadEx runs a virtual body on it; ZnThreadExAutoDelete lets owner and
// thread agree on which of them deletes the object.
//
// Every wait that may run on a user-interface thread pumps that thread's
// messages in 100 ms slices, keeps to its time budget however many messages
// arrive, hands a WM_QUIT back to the application's own loop, and ends at
// once after QuitAll().
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "base/CritSec.h"

typedef unsigned long (*ZnThreadProc)(void* param);

class PVDLL_API ZnThread {
public:
    ZnThread();
    // Cancels a running thread and waits for it to end before anything it
    // may touch is freed (see EndThread).
    virtual ~ZnThread();
    ZnThread(const ZnThread&) = delete;
    ZnThread& operator=(const ZnThread&) = delete;

    // Asks the body to end (cancel event), waits up to timeout for the done
    // event, then gives up the thread handle.
    virtual void Destroy(unsigned long timeout);

    // Starts proc(param) on a new thread and waits (pumping, at most 5 s)
    // until it sets the ready event. Non-zero when a thread was started;
    // 0 when the start failed or the previous thread's body still runs.
    int Create(ZnThreadProc proc, void* param, int priority);

    // 1 at once when no thread runs; otherwise 1 when the event was set (or
    // the quit flag is), 0 when the budget ran out, the wait failed or a
    // WM_QUIT arrived while pumping.
    int WaitForEvent(void* event, unsigned long timeout, int pumpMessages);
    int WaitForReady(unsigned long timeout) { return WaitForEvent(hReady, timeout, 1); }
    int WaitForDone(unsigned long timeout) { return WaitForEvent(hDone, timeout, 1); }
    int WaitForCancel(unsigned long timeout) { return WaitForEvent(hCancel, timeout, 1); }

    void SetReady() { SetEvent(hReady); }
    void SetDone() { SetEvent(hDone); }
    void SetCancel() { SetEvent(hCancel); }
    // 1 when no thread runs, else whether the event is set now.
    int IsReady() const { return CheckEvent(hReady); }
    int IsDone() const { return CheckEvent(hDone); }
    int IsCanceled() const { return CheckEvent(hCancel); }
    int CheckEvent(void* event) const;

    // 1 when no thread runs, else whether the thread ended within timeout.
    // Plain wait: no messages are pumped.
    int WaitForThread(unsigned long timeout);
    int IsRunning() const;
    operator void*() const;
    void CloseThreadHandle();

    // Dispatches every pending message for window (null: all of the
    // thread's). A WM_QUIT stops it: it is posted again for the
    // application's loop and 0 is returned; otherwise 1.
    static int ProcessAllMessages(HWND window);
    // Sets bQuit for good: every pumping wait in the process ends at once.
    static void QuitAll();
    static int bQuit;

protected:
    HANDLE hThread;  // null when no thread runs; guarded by lock
    DWORD threadId;
    HANDLE hReady;
    HANDLE hDone;
    HANDLE hCancel;
    DWORD validity;
    mutable CritSec lock;

    static constexpr DWORD validMarker = 0x4927FA34;

    // Sets cancel and returns once the thread has really ended: pumping for
    // up to 6 s (not at all after QuitAll), then only letting sent messages
    // through. It never gives up, since the thread would go on using the
    // object. A derived class whose body uses the derived members calls it
    // in its own destructor: by the time ours runs, those members are gone.
    void EndThread();

private:
    int ThreadEnded() const;
    int ForgetEndedThread();

    // A second handle of the last thread started, kept by the owner side
    // until the next Create or destruction: hThread is closed by the
    // thread itself, yet the owner must still be able to wait for the end.
    HANDLE hThreadEnd;
};

class PVDLL_API ZnThreadEx : public ZnThread {
public:
    ZnThreadEx() : deleteCount(0) {}
    ~ZnThreadEx() override {}

    virtual unsigned long DoThreadEx() { return 0; }

    int Start(int priority) { return Create(ThreadProcEx, this, priority); }
    void Stop(unsigned long timeout) { Destroy(timeout); }

    // param is the ZnThreadEx. Sets ready, runs DoThreadEx, gives up the
    // thread handle, sets done and, when owner and body are both finished
    // with an auto-delete object, deletes it.
    static unsigned long ThreadProcEx(void* param);

protected:
    volatile LONG deleteCount;  // changed only by interlocked operations
};

// The owner calls DeleteIfDone when it is finished with the object and
// never touches it again; the body finishes by calling this class's
// DoThreadEx (or DeleteDelayed). Whichever comes second deletes the object,
// and never while the thread procedure still uses it.
class PVDLL_API ZnThreadExAutoDelete : public ZnThreadEx {
public:
    void DeleteIfDone();

protected:
    unsigned long DoThreadEx() override;
    void DeleteDelayed() { InterlockedIncrement(&deleteCount); }
};
