#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>

#include "ProgressProbe.h"

// --- range scaling ---------------------------------------------------------

TEST(ProgressExRange, UpTo65535KeepsScaleOne)
{
    RecordingProgress progress;
    progress.SetRange64(0, 65535);
    EXPECT_EQ(1u, progress.GetScale());
    EXPECT_EQ(0, progress.shownLower);
    EXPECT_EQ(65535, progress.shownUpper);
}

TEST(ProgressExRange, OneAbove65535HalvesTheBar)
{
    RecordingProgress progress;
    progress.SetRange64(0, 65536);
    EXPECT_EQ(2u, progress.GetScale());
    EXPECT_EQ(0, progress.shownLower);
    EXPECT_EQ(32768, progress.shownUpper);
}

TEST(ProgressExRange, ScaleIsTheSpanOver65535RoundedUp)
{
    struct Case {
        __int64 lower, upper;
        unsigned __int64 scale;
        int barLower, barUpper;
    };
    const Case cases[] = {
        {0, 200000, 4, 0, 50000},
        {0, 131070, 2, 0, 65535},
        {0, 131071, 3, 0, 43690},
        {-100000, 0, 2, -50000, 0},
        {-70000, 70000, 3, -23333, 23333},
        // Far from 0 but narrow: the bar keeps the caller's values.
        {100000, 150000, 1, 100000, 150000},
    };
    for (const Case& c : cases) {
        RecordingProgress progress;
        progress.SetRange64(c.lower, c.upper);
        EXPECT_EQ(c.scale, progress.GetScale()) << c.lower << ".." << c.upper;
        EXPECT_EQ(c.barLower, progress.shownLower) << c.lower << ".." << c.upper;
        EXPECT_EQ(c.barUpper, progress.shownUpper) << c.lower << ".." << c.upper;
    }
}

// Any two bounds give a bar of at most 65535 units whose ends stand for
// the caller's ends, and positions stay on it.
TEST(ProgressExRange, AnyBoundsGiveABarOfAtMost65535Units)
{
    const __int64 least = INT64_MIN;
    const __int64 most = INT64_MAX;
    const std::pair<__int64, __int64> ranges[] = {
        {least, most}, {least, least + 10}, {most - 5, most}, {0, most}, {least, 0}, {least, -1}, {-1, most},
        {least + 1, most - 1}, {-3, 65533}, {1, 131071}, {INT_MIN, INT_MAX},
        {static_cast<__int64>(INT_MAX) + 1, static_cast<__int64>(INT_MAX) + 70000}, {42, 42}, {10, 0}, // reversed
        {most, least}, // reversed
    };
    for (const auto& [lowerBound, upperBound] : ranges) {
        SCOPED_TRACE(testing::Message() << lowerBound << ".." << upperBound);
        RecordingProgress progress;
        progress.SetRange64(lowerBound, upperBound);
        EXPECT_GE(progress.GetScale(), 1u);
        EXPECT_LE(progress.GetLower(), progress.GetUpper());
        EXPECT_LE(static_cast<__int64>(progress.GetUpper()) - progress.GetLower(), 65535);
        EXPECT_EQ(progress.GetLower(), progress.shownLower);
        EXPECT_EQ(progress.GetUpper(), progress.shownUpper);

        const __int64 top = upperBound < lowerBound ? lowerBound : upperBound;
        progress.SetPos64(lowerBound);
        EXPECT_EQ(progress.GetLower(), progress.shownPos);
        progress.SetPos64(top);
        EXPECT_EQ(progress.GetUpper(), progress.shownPos);
        progress.SetPos64(lowerBound + static_cast<__int64>((static_cast<unsigned __int64>(top) - lowerBound) / 2));
        EXPECT_GE(progress.shownPos, progress.GetLower());
        EXPECT_LE(progress.shownPos, progress.GetUpper());
        progress.SetPos64(least);
        EXPECT_EQ(progress.GetLower(), progress.shownPos);
        progress.SetPos64(most);
        EXPECT_EQ(progress.GetUpper(), progress.shownPos);
        int percent = progress.GetPercentCompleted();
        EXPECT_TRUE(percent == 100 || (percent == 0 && progress.GetLower() == progress.GetUpper())) << percent;
    }
}

TEST(ProgressExRange, TheWholeSignedRangeIsCenteredOnZero)
{
    RecordingProgress progress;
    progress.SetRange64(INT64_MIN, INT64_MAX);
    // 2^64 - 1 is 65535 times 281479271743489; either bound divided by it
    // is a little over 32767.
    EXPECT_EQ(281479271743489u, progress.GetScale());
    EXPECT_EQ(-32767, progress.shownLower);
    EXPECT_EQ(32767, progress.shownUpper);
    progress.SetPos64(0);
    EXPECT_EQ(0, progress.shownPos);
}

TEST(ProgressExRange, AReversedRangeIsEmpty)
{
    RecordingProgress progress;
    progress.Setup(10, 0, 5);
    EXPECT_EQ(10, progress.shownLower);
    EXPECT_EQ(10, progress.shownUpper);
    EXPECT_EQ(10, progress.shownPos);
    EXPECT_EQ(0, progress.GetPercentCompleted());
}

TEST(ProgressExRange, PositionsOutsideTheRangeAreClamped)
{
    RecordingProgress progress;
    progress.Setup(0, 100, 150);
    EXPECT_EQ(100, progress.shownPos);
    progress.SetPos64(-5);
    EXPECT_EQ(0, progress.shownPos);
    // A narrower range takes the position along.
    progress.SetPos64(80);
    progress.SetRange64(0, 50);
    EXPECT_EQ(50, progress.GetPos());
}

TEST(ProgressExRange, PositionIsDividedByTheScale)
{
    RecordingProgress progress;
    progress.Setup(0, 200000, 100003);
    EXPECT_EQ(25000, progress.shownPos);
}

// --- steps -----------------------------------------------------------------

TEST(ProgressExSteps, WithScaleFourEveryFourthStepMovesTheBar)
{
    RecordingProgress progress;
    progress.Setup(0, 200000, 0);
    ASSERT_EQ(4u, progress.GetScale());
    EXPECT_EQ(0, progress.StepIt());
    EXPECT_EQ(0, progress.StepIt());
    EXPECT_EQ(0, progress.StepIt());
    EXPECT_EQ(0, progress.steps);
    EXPECT_EQ(1, progress.StepIt());
    EXPECT_EQ(1, progress.steps);
    EXPECT_EQ(1, progress.GetPos());
    EXPECT_EQ(0, progress.StepIt());
}

TEST(ProgressExSteps, AFullBarStaysFull)
{
    RecordingProgress progress;
    progress.Setup(0, 2, 1);
    EXPECT_EQ(1, progress.StepIt());
    EXPECT_EQ(1, progress.StepIt());
    EXPECT_EQ(2, progress.steps);
    EXPECT_EQ(2, progress.GetPos());
    EXPECT_EQ(100, progress.GetPercentCompleted());
}

// Code that steps a progress object it gave no range still sees every
// step reach the output.
TEST(ProgressExSteps, StepsWithoutARangeReachTheOutput)
{
    RecordingProgress progress;
    EXPECT_EQ(1, progress.StepIt());
    EXPECT_EQ(1, progress.StepIt());
    EXPECT_EQ(2, progress.steps);
    EXPECT_EQ(0, progress.GetPos());
    EXPECT_EQ(0, progress.GetPercentCompleted());
}

TEST(ProgressExSteps, PercentCountsFromTheLowerBound)
{
    RecordingProgress progress;
    progress.Setup(100, 200, 150);
    EXPECT_EQ(50, progress.GetPercentCompleted());
    progress.Setup(-200, -100, -175);
    EXPECT_EQ(25, progress.GetPercentCompleted());
    progress.Setup(7, 7, 7);
    EXPECT_EQ(0, progress.GetPercentCompleted());
}

TEST(ProgressExSteps, CancelIsRecorded)
{
    RecordingProgress progress;
    EXPECT_EQ(0u, progress.IsCanceled());
    progress.Cancel(TRUE);
    EXPECT_EQ(1u, progress.IsCanceled());
    progress.Cancel(FALSE);
    EXPECT_EQ(0u, progress.IsCanceled());
}

// --- estimates -------------------------------------------------------------

TEST(ProgressExEstimates, NothingIsEstimatedBeforeTwoStepsWereTimed)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 100, 0);
    EXPECT_EQ(0u, progress.GetAverageStepDuration());
    EXPECT_EQ(0u, progress.GetSecondsRemaining());
    EXPECT_EQ(0u, progress.GetEventsPerSeconds(1));
    progress.StepIt();
    clock.Advance(5000);
    EXPECT_EQ(0u, progress.GetAverageStepDuration());
    EXPECT_EQ(0u, progress.GetSecondsRemaining());
    EXPECT_EQ(0u, progress.GetEventsPerSeconds(1));
    wchar_t text[64] = L"?";
    EXPECT_EQ(0, progress.GetTextRemaining(text, 64, TRUE));
    EXPECT_STREQ(L"", text);
}

TEST(ProgressExEstimates, RemainingTimeIsStepsLeftTimesTheAverageStep)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 100, 0);
    progress.StepIt();
    clock.Advance(400);
    progress.StepIt();
    clock.Advance(600);
    progress.StepIt();
    EXPECT_EQ(1000u, progress.GetElapsedMs());
    EXPECT_EQ(2u, progress.GetStepsTimed());
    EXPECT_EQ(500u, progress.GetAverageStepDuration());
    // 97 steps left at 0.5 s.
    EXPECT_EQ(48u, progress.GetSecondsRemaining());
}

TEST(ProgressExEstimates, EventsPerSecondsCountCallerUnits)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 200000, 0);
    ASSERT_EQ(4u, progress.GetScale());
    for (int i = 0; i < 4 * 3; ++i) {
        clock.Advance(50);
        progress.StepIt();
    }
    // Two timed bar steps of 200 ms each: 5 bar steps, 20 caller steps a
    // second.
    EXPECT_EQ(400u, progress.GetElapsedMs());
    EXPECT_EQ(20u, progress.GetEventsPerSeconds(1));
    EXPECT_EQ(1200u, progress.GetEventsPerSeconds(60));
}

TEST(ProgressExEstimates, APausedIntervalIsNotTimed)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 100, 0);
    progress.StepIt();
    clock.Advance(1000);
    progress.StepIt();
    progress.Pause(TRUE);
    clock.Advance(60000);
    // Steps go on while paused; the first one after the pause is not timed.
    EXPECT_EQ(1, progress.StepIt());
    progress.Pause(FALSE);
    EXPECT_EQ(0u, progress.GetPauseCount());
    clock.Advance(1000);
    progress.StepIt();
    EXPECT_EQ(2000u, progress.GetElapsedMs());
    EXPECT_EQ(2u, progress.GetStepsTimed());
    EXPECT_EQ(4, progress.GetPos());
}

TEST(ProgressExEstimates, PausesNest)
{
    RecordingProgress progress;
    progress.Pause(TRUE);
    progress.Pause(TRUE);
    EXPECT_EQ(2u, progress.GetPauseCount());
    progress.Pause(FALSE);
    progress.Pause(FALSE);
    progress.Pause(FALSE);
    EXPECT_EQ(0u, progress.GetPauseCount());
}

TEST(ProgressExEstimates, TimingSurvivesTheTickCountWrapping)
{
    ManualClock clock(0xFFFFFF00);
    RecordingProgress progress;
    progress.Setup(0, 100, 0);
    progress.StepIt();
    clock.Set(0x100);
    progress.StepIt();
    EXPECT_EQ(0x200u, progress.GetElapsedMs());
    EXPECT_EQ(1u, progress.GetStepsTimed());
}

TEST(ProgressExEstimates, AStepAtTickZeroStillStartsTheClock)
{
    ManualClock clock(0);
    RecordingProgress progress;
    progress.Setup(0, 100, 0);
    progress.StepIt();
    clock.Set(500);
    progress.StepIt();
    EXPECT_EQ(1u, progress.GetStepsTimed());
    EXPECT_NEAR(500.0, static_cast<double>(progress.GetElapsedMs()), 1.0);
}

TEST(ProgressExEstimates, AHugeRemainingTimeSaturates)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 65535, 0);
    progress.StepIt();
    clock.Advance(4000000000u);
    progress.StepIt();
    // 65533 steps of 4 000 000 s each: far beyond 32 bits of seconds.
    EXPECT_EQ(UINT_MAX, progress.GetSecondsRemaining());
    wchar_t text[64] = {};
    EXPECT_EQ(1, progress.GetTextRemaining(text, 64, FALSE));
    EXPECT_EQ(std::wstring(L"1193046 h 28 m"), text);
}

TEST(ProgressExEstimates, RemainingTimeBeyond4295SecondsIsExact)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 65535, 0);
    progress.StepIt();
    clock.Advance(1000);
    progress.StepIt();
    // 65533 steps of a second each.
    EXPECT_EQ(65533u, progress.GetSecondsRemaining());
}

TEST(ProgressExEstimates, AHugeEventRateSaturates)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 200000, 0);
    for (int i = 0; i < 8; ++i) {
        clock.Advance(1);
        progress.StepIt();
    }
    EXPECT_EQ(UINT_MAX, progress.GetEventsPerSeconds(UINT_MAX));
}

// --- remaining-time texts --------------------------------------------------

namespace {

// The remaining time after one timed step of ms on a bar with one step left.
std::wstring RemainingAfter(DWORD ms, BOOL longForm)
{
    ManualClock clock(1000);
    RecordingProgress progress;
    progress.Setup(0, 3, 0);
    progress.StepIt();
    clock.Advance(ms);
    progress.StepIt();
    wchar_t text[128] = {};
    EXPECT_EQ(1, progress.GetTextRemaining(text, 128, longForm));
    return text;
}

} // namespace

TEST(ProgressExTexts, LongForm)
{
    EXPECT_EQ(L"59 seconds", RemainingAfter(59000, TRUE));
    EXPECT_EQ(L"1 minute(s) 1 seconds", RemainingAfter(61000, TRUE));
    EXPECT_EQ(L"1 hour(s) 1 minutes", RemainingAfter(3661000, TRUE));
}

TEST(ProgressExTexts, ShortForm)
{
    EXPECT_EQ(L"59 s", RemainingAfter(59000, FALSE));
    EXPECT_EQ(L"1 m 1 s", RemainingAfter(61000, FALSE));
    EXPECT_EQ(L"1 h 1 m", RemainingAfter(3661000, FALSE));
}

// --- the event tracker -------------------------------------------------------

TEST(ProgressTrackerTiming, TheFirstEventOnlyStartsTheClock)
{
    ManualClock clock(1000);
    ProgressTracker tracker;
    tracker.Update();
    EXPECT_EQ(0u, tracker.GetEvents());
    EXPECT_EQ(0u, tracker.GetAverageEventDuration());
    EXPECT_EQ(0u, tracker.GetAverageEventsDuration(10));
    EXPECT_EQ(0u, tracker.GetAverageEventsPerSeconds(1));
}

TEST(ProgressTrackerTiming, AveragesAndRates)
{
    ManualClock clock(1000);
    ProgressTracker tracker;
    tracker.Update();
    clock.Advance(100);
    tracker.Update();
    clock.Advance(200);
    tracker.Update();
    EXPECT_EQ(2u, tracker.GetEvents());
    EXPECT_EQ(300u, tracker.GetElapsedMs());
    EXPECT_EQ(150u, tracker.GetAverageEventDuration());
    EXPECT_EQ(1500u, tracker.GetAverageEventsDuration(10));
    EXPECT_EQ(6u, tracker.GetAverageEventsPerSeconds(1));
    EXPECT_EQ(400u, tracker.GetAverageEventsPerSeconds(60));
}

TEST(ProgressTrackerTiming, APausedIntervalIsNotTimed)
{
    ManualClock clock(1000);
    ProgressTracker tracker;
    tracker.Update();
    clock.Advance(100);
    tracker.Update();
    tracker.Pause(TRUE);
    clock.Advance(100000);
    tracker.Pause(FALSE);
    tracker.Update();
    clock.Advance(100);
    tracker.Update();
    EXPECT_EQ(2u, tracker.GetEvents());
    EXPECT_EQ(200u, tracker.GetElapsedMs());
}

TEST(ProgressTrackerTiming, SurvivesTheTickCountWrapping)
{
    ManualClock clock(0xFFFFFFF0);
    ProgressTracker tracker;
    tracker.Update();
    clock.Set(0x10);
    tracker.Update();
    EXPECT_EQ(0x20u, tracker.GetElapsedMs());
}

TEST(ProgressTrackerTiming, WideFiguresNeitherWrapNorOverflow)
{
    ManualClock clock(1000);
    ProgressTracker tracker;
    tracker.Update();
    clock.Advance(1);
    tracker.Update();
    EXPECT_EQ(UINT_MAX, tracker.GetAverageEventsPerSeconds(UINT_MAX));
    for (int i = 0; i < 3; ++i) {
        clock.Advance(4000000000u);
        tracker.Update();
    }
    // 12 000 000 001 ms times 2^32 - 1 needs more than 64 bits before the
    // division by 4 events.
    EXPECT_EQ(12884901886073741823ull, tracker.GetAverageEventsDuration(UINT_MAX));
}
