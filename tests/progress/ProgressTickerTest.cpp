#include <gtest/gtest.h>

#include "ProgressProbe.h"
#include "common/TestSupport.h"

namespace {

class TickerTest : public BarDialogTest {
protected:
    bool Visible() const { return (GetWindowLongPtrW(Bar(), GWL_STYLE) & WS_VISIBLE) != 0; }
};

} // namespace

TEST_F(TickerTest, SetsAThirtyTwoBitRangeAtZero)
{
    SendMessageW(Bar(), PBM_SETPOS, 5, 0);
    ProgressTicker ticker(Bar(), 60000, 100000, FALSE, nullptr);
    EXPECT_EQ(0, BarLimit(TRUE));
    EXPECT_EQ(100000, BarLimit(FALSE));
    EXPECT_EQ(100000u, ticker.GetMaxTicks());
    // The thread's first tick (made at once) is the only one in a minute.
    EXPECT_TRUE(PumpUntil([&] { return BarPos() == 1; }));
    EXPECT_EQ(1u, ticker.GetTicks());
}

TEST_F(TickerTest, TicksStopAtTheMaximum)
{
    ModalWatchdog watchdog;
    ProgressTicker ticker(Bar(), 1, 5, FALSE, nullptr);
    EXPECT_TRUE(ticker.IsTicking());
    EXPECT_TRUE(PumpUntil([&] { return ticker.GetTicks() == 5; }));
    PumpFor(100);
    EXPECT_EQ(5u, ticker.GetTicks());
    EXPECT_EQ(5, BarPos());
    EXPECT_EQ(0, ticker.StepIt());
    EXPECT_EQ(5, BarPos());
}

TEST_F(TickerTest, APausedTickerMakesNoTicks)
{
    ModalWatchdog watchdog;
    ProgressTicker ticker(Bar(), 1, 1000, FALSE, nullptr);
    unsigned before = 0;
    {
        ProgressTickerPause pause(&ticker);
        EXPECT_TRUE(ticker.IsPaused());
        // A tick the thread had begun before the pause may still land.
        PumpFor(50);
        before = ticker.GetTicks();
        PumpFor(200);
        EXPECT_EQ(before, ticker.GetTicks());
        EXPECT_EQ(0, ticker.StepIt());
        EXPECT_EQ(before, ticker.GetTicks());
    }
    EXPECT_FALSE(ticker.IsPaused());
    EXPECT_TRUE(PumpUntil([&] { return ticker.GetTicks() > before; }));
}

TEST_F(TickerTest, StepItTicksFromTheCallersThread)
{
    // An interval too long for the thread to tick again during the test.
    ProgressTicker ticker(Bar(), 60000, 10, FALSE, nullptr);
    PumpFor(20);
    unsigned before = ticker.GetTicks();
    EXPECT_EQ(1, ticker.StepIt());
    EXPECT_EQ(before + 1, ticker.GetTicks());
    EXPECT_EQ(static_cast<int>(before + 1), BarPos());
    ticker.Pause(TRUE);
    EXPECT_EQ(0, ticker.StepIt());
}

TEST_F(TickerTest, TwoThreadsTickingNeverPassTheMaximum)
{
    ModalWatchdog watchdog;
    const unsigned maximum = 200;
    ProgressTicker ticker(Bar(), 0, maximum, FALSE, nullptr);
    unsigned made = 0;
    for (int i = 0; i < 1000; ++i)
        made += static_cast<unsigned>(ticker.StepIt());
    EXPECT_TRUE(PumpUntil([&] { return ticker.GetTicks() == maximum; }));
    PumpFor(50);
    EXPECT_EQ(maximum, ticker.GetTicks());
    EXPECT_LE(made, maximum);
    EXPECT_EQ(static_cast<int>(maximum), BarPos());
}

TEST_F(TickerTest, TheCountIsStoredAtTheEnd)
{
    ModalWatchdog watchdog;
    unsigned count = 77;
    {
        ProgressTicker ticker(Bar(), 1, 3, FALSE, &count);
        EXPECT_TRUE(PumpUntil([&] { return ticker.GetTicks() == 3; }));
        EXPECT_EQ(77u, count);
    }
    EXPECT_EQ(3u, count);
}

TEST_F(TickerTest, TheCountOfAPausedTickerIsStoredToo)
{
    unsigned count = 77;
    {
        ProgressTicker ticker(Bar(), 60000, 3, FALSE, &count);
        ProgressTickerPause pause(&ticker);
        PumpFor(20);
    }
    EXPECT_LE(count, 1u);
}

TEST_F(TickerTest, TheShowFlagShowsTheBarAndHidesItAtTheEnd)
{
    ShowWindow(Bar(), SW_HIDE);
    {
        ProgressTicker ticker(Bar(), 60000, 10, TRUE, nullptr);
        EXPECT_TRUE(Visible());
    }
    EXPECT_FALSE(Visible());
}

TEST_F(TickerTest, WithoutTheShowFlagVisibilityIsLeftAlone)
{
    ShowWindow(Bar(), SW_HIDE);
    {
        ProgressTicker ticker(Bar(), 60000, 10, FALSE, nullptr);
        EXPECT_FALSE(Visible());
    }
    ShowWindow(Bar(), SW_SHOW);
    {
        ProgressTicker ticker(Bar(), 60000, 10, FALSE, nullptr);
    }
    EXPECT_TRUE(Visible());
}

// The thread waits for its interval on its stop request: a long interval
// does not hold up the end.
TEST_F(TickerTest, EndingDoesNotWaitForTheInterval)
{
    DWORD start = 0;
    {
        ProgressTicker ticker(Bar(), 60000, 10, FALSE, nullptr);
        EXPECT_TRUE(ticker.IsTicking());
        start = GetTickCount();
    }
    EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(TickerPause, ANullTickerIsLeftAlone)
{
    ProgressTickerPause pause(nullptr);
}
