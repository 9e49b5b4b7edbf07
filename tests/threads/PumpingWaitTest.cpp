#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "PVDLL.h"
#include "ThreadProbes.h"
#include "common/TestSupport.h"

namespace {

// A thread procedure that never says it is ready: it only waits for the
// event it is given.
unsigned long WaitForRelease(void* release)
{
    WaitForSingleObject(static_cast<HANDLE>(release), INFINITE);
    return 0;
}

class PumpingWait : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(worker.Start(0));
        ASSERT_TRUE(never.CreateOrOpen(nullptr, 0, 1, 0));
    }
    void TearDown() override { DrainQueue(); }

    Idler worker;
    Event never;
};

} // namespace

TEST_F(PumpingWait, KeepsTheThreadsWindowsResponsive)
{
    ModalWatchdog watchdog;
    TickWindow window(10);
    PostMessageW(window.hwnd, WM_APP, 0, 0);
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), 500, 1), 0);
    EXPECT_EQ(window.posted, 1);
    EXPECT_GE(window.ticks, 3);
}

TEST_F(PumpingWait, BudgetRunsOutUnderASteadyStreamOfTimerMessages)
{
    ModalWatchdog watchdog;
    TickWindow window(10);
    Stopwatch clock;
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), 500, 1), 0);
    EXPECT_GE(clock.Ms(), 450u);
    EXPECT_LT(clock.Ms(), 2000u);
}

TEST_F(PumpingWait, EndsAsSoonAsTheEventIsSet)
{
    ModalWatchdog watchdog;
    HANDLE timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -50 * 10000LL;  // 50 ms from now
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    Stopwatch clock;
    EXPECT_EQ(worker.WaitForEvent(timer, 5000, 1), 1);
    EXPECT_LT(clock.Ms(), 2000u);
    CloseHandle(timer);
}

TEST_F(PumpingWait, PostedQuitEndsTheWaitAndStaysQueuedForTheApplication)
{
    ModalWatchdog watchdog;
    TickWindow window;
    PostMessageW(window.hwnd, WM_APP, 0, 0);
    PostQuitMessage(7);
    Stopwatch clock;
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), 5000, 1), 0);
    EXPECT_LT(clock.Ms(), 2000u);
    EXPECT_EQ(window.posted, 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(PumpingWait, FailedWaitIsNotSuccess)
{
    ModalWatchdog watchdog;
    Stopwatch clock;
    EXPECT_EQ(worker.WaitForEvent(nullptr, 3000, 1), 0);
    EXPECT_EQ(worker.WaitForEvent(nullptr, 3000, 0), 0);
    EXPECT_LT(clock.Ms(), 1000u);
}

TEST_F(PumpingWait, WithoutPumpingLeavesMessagesQueued)
{
    TickWindow window;
    PostMessageW(window.hwnd, WM_APP, 0, 0);
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), 200, 0), 0);
    EXPECT_EQ(window.posted, 0);
    EXPECT_EQ(ZnThread::ProcessAllMessages(nullptr), 1);
    EXPECT_EQ(window.posted, 1);
}

TEST(ZnThreadStart, GivesUpWaitingForReadyAfterFiveSecondsDespiteMessages)
{
    ModalWatchdog watchdog(15000);
    TickWindow window(10);
    EventSimple release(nullptr, 1, 0);
    ZnThread thread;
    Stopwatch clock;
    EXPECT_EQ(thread.Create(WaitForRelease, static_cast<HANDLE>(release), 0), 1);
    EXPECT_GE(clock.Ms(), 4500u);
    EXPECT_LT(clock.Ms(), 8000u);
    EXPECT_TRUE(thread.IsRunning());
    release.Set(1);
    EXPECT_TRUE(thread.WaitForThread(5000));
    DrainQueue();
}

TEST(ProcessAllMessages, StopsAtQuitAndPostsItAgain)
{
    TickWindow window;
    PostQuitMessage(3);
    EXPECT_EQ(ZnThread::ProcessAllMessages(nullptr), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(ProcessAllMessages, TakesOnlyTheGivenWindowsMessages)
{
    TickWindow mine, other;
    PostMessageW(mine.hwnd, WM_APP, 0, 0);
    PostMessageW(other.hwnd, WM_APP, 0, 0);
    EXPECT_EQ(ZnThread::ProcessAllMessages(mine.hwnd), 1);
    EXPECT_EQ(mine.posted, 1);
    EXPECT_EQ(other.posted, 0);
    DrainQueue();
}

// The quit flag is one-way, so it is set in a process of its own.
TEST(QuitAll, EndsEveryPumpingWaitAtOnce)
{
    ChildProcess child(L"QuitAllEndsWaits", NewToken());
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.WaitForExit(30000), childPassed);
}

TEST(ChildSide, DISABLED_QuitAllEndsWaits)
{
    ASSERT_FALSE(ChildToken().empty());
    ModalWatchdog watchdog;
    Idler worker;
    ASSERT_TRUE(worker.Start(0));
    Event never;
    ASSERT_TRUE(never.CreateOrOpen(nullptr, 0, 1, 0));
    ZnThread::QuitAll();
    EXPECT_EQ(ZnThread::bQuit, 1);

    Stopwatch clock;
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), 5000, 1), 1);
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), INFINITE, 0), 1);
    EXPECT_LT(clock.Ms(), 1000u);
    // A zero-time wait only looks at the event.
    EXPECT_EQ(worker.WaitForEvent(never.GetHandle(), 0, 1), 0);

    // Nor does a start wait for a body that never says it is ready.
    EventSimple release(nullptr, 1, 0);
    ZnThread thread;
    Stopwatch start;
    EXPECT_EQ(thread.Create(WaitForRelease, static_cast<HANDLE>(release), 0), 1);
    EXPECT_LT(start.Ms(), 1000u);
    release.Set(1);
    EndChild(!HasFailure());
}
