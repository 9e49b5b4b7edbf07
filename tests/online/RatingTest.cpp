// The rating schedule and its prompt: a first call only schedules, a time
// that has passed is due and schedules the next one, "never" stays never;
// the prompt's three answers (rate now and stay, not now, never again) and
// the Yes/No box used where there are no task dialogs.
#include <windows.h>

#include <commctrl.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "PVDLL.h"
#include "common/OnlineSupport.h"
#include "online/internal/RatingPrompt.h"

namespace {

const wchar_t* const keyPath = L"HKCU\\Software\\PVDLLTest\\Rating";
const wchar_t* const valueName = L"NextPrompt";
constexpr DWORD never = 0xFFFFFFFF;
constexpr long long day = 86400;

long long ScheduleNow()
{
    return static_cast<long long>(std::time(nullptr)) - 819936000;
}

class RatingSchedule : public testing::Test {
protected:
    void SetUp() override { RemoveKey(); }
    void TearDown() override
    {
        RemoveKey();
        SetRatingPromptForm(RatingPromptForm::automatic);
    }
    static void RemoveKey() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PVDLLTest"); }

    static bool Read(DWORD* value)
    {
        DWORD size = sizeof(*value);
        return RegGetValueW(HKEY_CURRENT_USER, L"Software\\PVDLLTest\\Rating", valueName, RRF_RT_REG_DWORD, nullptr,
                   value, &size)
            == ERROR_SUCCESS;
    }
    static DWORD Stored()
    {
        DWORD value = 0;
        EXPECT_TRUE(Read(&value)) << "no schedule stored";
        return value;
    }
    static void Store(DWORD value)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\PVDLLTest\\Rating", valueName, REG_DWORD, &value, sizeof(value));
    }
    // The stored time lies minDays to maxDays days after the moment of the
    // call (a second of slack on either side for the clock's tick).
    static void ExpectScheduledBetween(long long before, long long after, unsigned minDays, unsigned maxDays)
    {
        long long stored = Stored();
        EXPECT_GE(stored, before + minDays * day - 1);
        EXPECT_LE(stored, after + maxDays * day + 1);
    }
};

} // namespace

TEST_F(RatingSchedule, AFirstCallOnlySchedules)
{
    long long before = ScheduleNow();
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 3, 10), 0);
    ExpectScheduledBetween(before, ScheduleNow(), 3, 10);
}

TEST_F(RatingSchedule, ScheduledTimesSpreadOverTheWholeRange)
{
    // Many first calls: each between the bounds, and not all the same day.
    DWORD first = 0;
    bool differ = false;
    for (int i = 0; i < 40; ++i) {
        RemoveKey();
        long long before = ScheduleNow();
        ShouldDisplayWinStorePrompt(keyPath, valueName, 1, 30);
        ExpectScheduledBetween(before, ScheduleNow(), 1, 30);
        DWORD stored = Stored();
        if (i == 0)
            first = stored;
        else if (stored / day != first / day)
            differ = true;
    }
    EXPECT_TRUE(differ) << "the random generator gave the same day 40 times";
}

TEST_F(RatingSchedule, AFutureTimeIsNotDueAndStays)
{
    DWORD future = static_cast<DWORD>(ScheduleNow() + 5 * day);
    Store(future);
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 3, 10), 0);
    EXPECT_EQ(Stored(), future);
}

TEST_F(RatingSchedule, APassedTimeIsDueAndSchedulesTheNext)
{
    Store(static_cast<DWORD>(ScheduleNow() - 60));
    long long before = ScheduleNow();
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 3, 10), 1);
    ExpectScheduledBetween(before, ScheduleNow(), 3, 10);
    // The next call waits for that time.
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 3, 10), 0);
}

TEST_F(RatingSchedule, NeverIsNeverAgain)
{
    Store(never);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 0, 1), 0);
    EXPECT_EQ(Stored(), never);
}

TEST_F(RatingSchedule, EqualBoundsScheduleExactlyThatManyDaysWithoutDividingByZero)
{
    long long before = ScheduleNow();
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 7, 7), 0);
    long long after = ScheduleNow();
    long long stored = Stored();
    EXPECT_GE(stored, before + 7 * day);
    EXPECT_LE(stored, after + 7 * day);
    // Both 0: the next prompt is due from the next second on.
    Store(static_cast<DWORD>(ScheduleNow() - 1));
    before = ScheduleNow();
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 0, 0), 1);
    EXPECT_GE(static_cast<long long>(Stored()), before);
    EXPECT_LE(static_cast<long long>(Stored()), ScheduleNow());
}

TEST_F(RatingSchedule, BoundsGivenTheWrongWayRoundStillScheduleWithinThem)
{
    long long before = ScheduleNow();
    ShouldDisplayWinStorePrompt(keyPath, valueName, 10, 3);
    ExpectScheduledBetween(before, ScheduleNow(), 3, 10);
}

TEST_F(RatingSchedule, AFarTimeStaysBelowNever)
{
    ShouldDisplayWinStorePrompt(keyPath, valueName, 4000000000u, 4000000000u);
    EXPECT_EQ(Stored(), never - 1) << "a far time is not the never mark";
    RemoveKey();
    ShouldDisplayWinStorePrompt(keyPath, valueName, 0xFFFFFFF0u, 0xFFFFFFFFu);
    EXPECT_EQ(Stored(), never - 1) << "the day count does not wrap round";
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 1, 2), 0);
}

TEST_F(RatingSchedule, AValueOfAnotherTypeCountsAsNotScheduled)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\PVDLLTest\\Rating", valueName, REG_SZ, L"soon", 10);
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 3, 10), 0);
    DWORD value = 0;
    EXPECT_TRUE(Read(&value));
    EXPECT_NE(value, 0u);
}

TEST_F(RatingSchedule, AKeyThatCannotBeOpenedIsNeverDue)
{
    EXPECT_EQ(ShouldDisplayWinStorePrompt(L"HKNOWHERE\\Software\\PVDLLTest", valueName, 3, 10), 0);
    EXPECT_EQ(ShouldDisplayWinStorePrompt(nullptr, valueName, 3, 10), 0);
}

TEST_F(RatingSchedule, AFailedWriteLeavesTheSchedule)
{
    // A key the user may read but not write: the passed time is due, and
    // stays as it was.
    DWORD passed = static_cast<DWORD>(ScheduleNow() - 60);
    Store(passed);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PVDLLTest\\Rating", 0, WRITE_DAC, &key), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    LONG set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    HKEY probe = nullptr;
    bool enforced = set == ERROR_SUCCESS
        && RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PVDLLTest\\Rating", 0, KEY_SET_VALUE, &probe)
            == ERROR_ACCESS_DENIED;
    if (probe)
        RegCloseKey(probe);
    int due = enforced ? ShouldDisplayWinStorePrompt(keyPath, valueName, 3, 10) : -1;
    DWORD after = 0;
    bool read = Read(&after);
    // Writable again, so that the key can go.
    PSECURITY_DESCRIPTOR open = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1, &open, nullptr);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, open);
    LocalFree(open);
    RegCloseKey(key);
    if (!enforced)
        GTEST_SKIP() << "the registry does not refuse writes to a read-only key here";
    EXPECT_EQ(due, 1);
    EXPECT_TRUE(read);
    EXPECT_EQ(after, passed);
}

// --- the prompt --------------------------------------------------------------------

class RatingPrompt : public RatingSchedule {
protected:
    void SetUp() override
    {
        RatingSchedule::SetUp();
        SetRatingPromptForm(RatingPromptForm::taskDialog);
        if (!HasTaskDialog())
            GTEST_SKIP() << "this system's comctl32 has no TaskDialogIndirect";
        scheduled = static_cast<DWORD>(ScheduleNow() + 4 * day);
        Store(scheduled);
    }
    void Show()
    {
        ModalWatchdog watchdog;
        DisplayWinStorePrompt(nullptr, L"Launchora", 0, keyPath, valueName);
        EXPECT_FALSE(watchdog.Fired());
    }

    DWORD scheduled = 0;
};

TEST_F(RatingPrompt, AlreadyRatedStopsThePromptForEver)
{
    TaskDialogClicker clicker({1003});
    Show();
    EXPECT_EQ(clicker.Clicked(), 1u);
    EXPECT_EQ(Stored(), never);
    Store(never);
    EXPECT_EQ(ShouldDisplayWinStorePrompt(keyPath, valueName, 0, 1), 0);
}

TEST_F(RatingPrompt, NotNowLeavesTheSchedule)
{
    TaskDialogClicker clicker({1002});
    Show();
    EXPECT_EQ(clicker.Clicked(), 1u);
    EXPECT_EQ(Stored(), scheduled);
}

TEST_F(RatingPrompt, ClosingTheDialogIsNotNow)
{
    TaskDialogClicker clicker({IDCANCEL});
    Show();
    EXPECT_EQ(clicker.Clicked(), 1u);
    EXPECT_EQ(Stored(), scheduled);
}

TEST_F(RatingPrompt, RateNowOpensTheRatingPageAndKeepsTheDialogOpen)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    TaskDialogClicker clicker({1001, 1002});
    Show();
    EXPECT_EQ(clicker.Clicked(), 2u) << "the dialog was gone after the first answer";
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].file, BuiltPageUrl(L"rate-launchora"));
    EXPECT_NE(spy.Calls()[0].window, nullptr) << "the page is opened over the dialog";
    EXPECT_EQ(Stored(), scheduled);
}

TEST_F(RatingPrompt, ShowsTheQuestionAndItsThreeAnswers)
{
    TaskDialogClicker clicker({1002});
    Show();
    const std::wstring& text = clicker.Texts();
    for (const wchar_t* part : {L"Launchora", L"Please rate this application:", L"Thank you!",
             L"Take me to the web page now to rate this application", L"Not now, but remind me in a few days",
             L"I've already rated it, don't show this message again"})
        EXPECT_NE(text.find(part), std::wstring::npos)
            << testing::PrintToString(std::wstring(part)) << " in " << testing::PrintToString(text);
}

TEST_F(RatingPrompt, WhereTaskDialogsExistTheyAreChosenByThemselves)
{
    SetRatingPromptForm(RatingPromptForm::automatic);
    TaskDialogClicker clicker({1002});
    // A box instead of the task dialog would be answered with No.
    BoxAnswerer box(IDC_MSGEX_BUTTON2);
    Show();
    EXPECT_EQ(clicker.Clicked(), 1u);
    EXPECT_TRUE(box.Texts().empty());
}

// --- the Yes/No box where there are no task dialogs ---------------------------------

class RatingBox : public RatingSchedule {
protected:
    void SetUp() override
    {
        RatingSchedule::SetUp();
        SetRatingPromptForm(RatingPromptForm::messageBox);
        scheduled = static_cast<DWORD>(ScheduleNow() + 4 * day);
        Store(scheduled);
    }
    void Show(BoxAnswerer& answer)
    {
        ModalWatchdog watchdog;
        DisplayWinStorePrompt(nullptr, L"Launchora", 0, keyPath, valueName);
        EXPECT_FALSE(watchdog.Fired());
        ASSERT_FALSE(answer.Texts().empty()) << "no box was shown";
    }

    DWORD scheduled = 0;
};

TEST_F(RatingBox, NoLeavesTheSchedule)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    IconSpy icons;
    BoxAnswerer answer(IDC_MSGEX_BUTTON2);
    ASSERT_NO_FATAL_FAILURE(Show(answer));
    ASSERT_EQ(answer.Texts().size(), 1u);
    EXPECT_NE(answer.Texts()[0].find(L"Would you like to open the web page to rate Launchora"), std::wstring::npos)
        << testing::PrintToString(answer.Texts()[0]);
    EXPECT_EQ(answer.Buttons()[0], L"&Yes|&No");
    EXPECT_EQ(icons.Ids(), std::vector<unsigned>{27023}) << "the question icon";
    EXPECT_TRUE(spy.Calls().empty());
    EXPECT_EQ(Stored(), scheduled);
}

TEST_F(RatingBox, YesOpensTheRatingPageAndAsksAgain)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    BoxAnswerer answer({IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON2});
    ASSERT_NO_FATAL_FAILURE(Show(answer));
    EXPECT_EQ(answer.Texts().size(), 3u);
    ASSERT_EQ(spy.Calls().size(), 2u);
    EXPECT_EQ(spy.Calls()[0].file, BuiltPageUrl(L"rate-launchora"));
    EXPECT_EQ(Stored(), scheduled);
}

TEST_F(RatingBox, TheTickedCheckBoxStopsThePromptForEverAndAsksNoMore)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    // Yes with the box ticked: the page opens once, and the ticked box does
    // not answer Yes again by itself.
    BoxAnswerer answer({IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON1});
    answer.TickCheckBox();
    ASSERT_NO_FATAL_FAILURE(Show(answer));
    EXPECT_EQ(answer.Texts().size(), 1u);
    EXPECT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(Stored(), never);
}
