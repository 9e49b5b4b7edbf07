#include "ProgressSupport.h"

#include <vector>

#include "common/CreationLog.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"

namespace {

class ProgressDlgTest : public testing::Test {
protected:
    void SetUp() override { ProgressDlg::wpResizing.length = 0; }
    void TearDown() override
    {
        EXPECT_TRUE(NoThreadLeft()) << "a dialog thread outlived its test";
        ProgressDlg::wpResizing.length = 0;
    }
};

} // namespace

// --- starting: the delay and what is kept until the dialog is up ----------------------------

TEST_F(ProgressDlgTest, ShortOperationUnderTheDelayNeverStartsAThreadOrADialog)
{
    bool everStarted = false;
    bool everShown = false;
    long threadsSeen = 0;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 2000, 0, 4, TRUE);
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 1000) {
            progress.SetTextFmt(0, L"item %u", GetTickCount() - start);
            progress.StepIt();
            everStarted |= progress.IsStarted() != 0;
            everShown |= progress.GetDlgHWND() != nullptr;
            threadsSeen = std::max(threadsSeen, ProgressSeams::ThreadsAlive());
            Sleep(20);
        }
    }));
    EXPECT_FALSE(everStarted);
    EXPECT_FALSE(everShown);
    EXPECT_EQ(threadsSeen, 0);
}

TEST_F(ProgressDlgTest, DelayedDialogStartsAtTheFirstTextOrStepOnceTheDelayHasPassed)
{
    FakeClock clock(100000);
    bool beforeDelay = true;
    bool positionStarts = true;
    bool atDelay = false;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 2000, 0, 4, TRUE);
        clock.Advance(1999);
        progress.StepIt();
        progress.SetText(0, L"early");
        beforeDelay = progress.GetDlgHWND() != nullptr;
        clock.Advance(1);
        // Positions never start the dialog.
        progress.SetPos(3);
        positionStarts = progress.GetDlgHWND() != nullptr;
        progress.StepIt();
        atDelay = progress.GetDlgHWND() != nullptr;
    }));
    EXPECT_FALSE(beforeDelay);
    EXPECT_FALSE(positionStarts);
    EXPECT_TRUE(atDelay);
}

TEST_F(ProgressDlgTest, DelayAndThrottleSurviveTheTickCountWrappingAround)
{
    // 512 ms before the tick count wraps: a deadline computed by adding
    // lies past the wrap, and a plain comparison would take it as reached.
    FakeClock clock(0xFFFFFE00u);
    bool startedEarly = true;
    bool startedInTime = false;
    std::wstring afterDrop;
    std::wstring afterInterval;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 1000, 100, 4, TRUE);
        clock.Advance(100);
        progress.SetText(0, L"early");
        startedEarly = progress.GetDlgHWND() != nullptr;
        clock.Advance(900); // past the wrap: 1000 ms after the start
        progress.SetText(0, L"first");
        startedInTime = progress.GetDlgHWND() != nullptr;
        HWND dialog = progress.GetDlgHWND();
        if (!dialog)
            return;
        clock.Set(0xFFFFFFC0u);
        progress.SetText(0, L"shown before the wrap");
        clock.Advance(99);
        progress.SetText(0, L"dropped after the wrap");
        afterDrop = ItemText(dialog, IDC_PROGRESS_DLG_LINE1);
        clock.Advance(1);
        progress.SetText(0, L"shown after the wrap");
        afterInterval = ItemText(dialog, IDC_PROGRESS_DLG_LINE1);
    }));
    EXPECT_FALSE(startedEarly);
    EXPECT_TRUE(startedInTime);
    EXPECT_EQ(afterDrop, L"shown before the wrap");
    EXPECT_EQ(afterInterval, L"shown after the wrap");
}

TEST_F(ProgressDlgTest, TenTextsWithinOneIntervalChangeTheLineOnce)
{
    FakeClock clock(5000);
    std::wstring shown;
    std::wstring later;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 100, 4, TRUE);
        HWND dialog = progress.GetDlgHWND();
        if (!dialog)
            return;
        for (int i = 0; i < 10; ++i) {
            progress.SetTextFmt(1, L"text %d", i);
            clock.Advance(9);
        }
        shown = ItemText(dialog, IDC_PROGRESS_DLG_LINE2);
        clock.Advance(10);
        progress.SetTextFmt(1, L"text %d", 10);
        later = ItemText(dialog, IDC_PROGRESS_DLG_LINE2);
    }));
    EXPECT_EQ(shown, L"text 0");
    EXPECT_EQ(later, L"text 10");
}

TEST_F(ProgressDlgTest, WhatWasSaidBeforeTheDialogIsAppliedWhenItStarts)
{
    FakeClock clock(1000);
    std::wstring title;
    std::wstring lines[4];
    PBRANGE range = {};
    int barPos = -1;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 500, 0, 4, TRUE);
        progress.SetTitle(L"Copying");
        progress.SetText(0, L"zero");
        progress.SetText(1, L"one");
        progress.SetText(3, L"three");
        progress.SetText(1, L"one again");
        progress.SetRange(0, 200);
        progress.SetPos(50);
        clock.Advance(500);
        progress.SetText(2, L"two");
        HWND dialog = progress.GetDlgHWND();
        if (!dialog)
            return;
        wchar_t caption[100] = {};
        GetWindowTextW(dialog, caption, 100);
        title = caption;
        for (int line = 0; line < 4; ++line)
            lines[line] = ItemText(dialog, IDC_PROGRESS_DLG_LINE1 + line);
        progress.GetDlg()->Settle(3000);
        range = BarRange(dialog);
        barPos = BarPos(dialog);
    }));
    EXPECT_EQ(title, L"Copying");
    EXPECT_EQ(lines[0], L"zero");
    EXPECT_EQ(lines[1], L"one again");
    EXPECT_EQ(lines[2], L"two");
    EXPECT_EQ(lines[3], L"three");
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 200);
    EXPECT_EQ(barPos, 50);
}

TEST_F(ProgressDlgTest, StepsBeforeTheDialogBecomeItsPositionAndANegativeBoundMeansNoRange)
{
    FakeClock clock(1000);
    int stepped = -1;
    __int64 stepsPos = -1;
    PBRANGE unset = {};
    ASSERT_TRUE(RunWorker([&] {
        {
            Progress progress(nullptr, 500, 0, 4, TRUE);
            progress.SetRange(0, 100);
            for (int i = 0; i < 6; ++i)
                progress.StepIt();
            clock.Advance(500);
            progress.StepIt(); // starts it: seven steps in all
            if (HWND dialog = progress.GetDlgHWND(); dialog && progress.GetDlg()->Settle(3000))
                stepped = BarPos(dialog);
            stepsPos = progress.GetPos64();
        }
        clock.Advance(1000);
        Progress progress(nullptr, 500, 0, 4, TRUE);
        progress.SetRange64(-1, 300);
        clock.Advance(500);
        progress.SetText(0, L"start");
        if (HWND dialog = progress.GetDlgHWND(); dialog && progress.GetDlg()->Settle(3000))
            unset = BarRange(dialog);
    }));
    EXPECT_EQ(stepped, 7);
    EXPECT_EQ(stepsPos, 7);
    // The dialog's own range stays: 0..1.
    EXPECT_EQ(unset.iLow, 0);
    EXPECT_EQ(unset.iHigh, 1);
}

// --- cancelling -------------------------------------------------------------------------------

namespace {

// Presses Cancel in the progress dialog once it is up, then answers the
// confirmation with button (1: Yes, 2: No), from a timer of this thread.
class CancelAnswerer {
public:
    CancelAnswerer(std::atomic<HWND>& progressDialog, int answerButton) : dialog(progressDialog), button(answerButton)
    {
        self = this;
        timer = SetTimer(nullptr, 0, 20, &Tick);
    }
    ~CancelAnswerer()
    {
        KillTimer(nullptr, timer);
        self = nullptr;
    }
    CancelAnswerer(const CancelAnswerer&) = delete;
    CancelAnswerer& operator=(const CancelAnswerer&) = delete;

    std::atomic<bool> answered{false};
    std::wstring question;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CancelAnswerer* me = self;
        if (!me || me->answered)
            return;
        HWND target = me->dialog.load();
        if (!target || !IsWindow(target))
            return;
        HWND box = MsgExGetOpenBox();
        if (!me->pressed) {
            me->pressed = true;
            PostMessageW(target, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        if (!box || !IsWindowVisible(box))
            return;
        me->question = ItemText(box, IDC_MSGEX_TEXT);
        int id = me->button == 1 ? IDC_MSGEX_BUTTON1 : IDC_MSGEX_BUTTON2;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
        me->answered = true;
    }

    std::atomic<HWND>& dialog;
    int button;
    bool pressed = false;
    UINT_PTR timer;
    static inline CancelAnswerer* self = nullptr;
};

} // namespace

TEST_F(ProgressDlgTest, CancelConfirmedWithYesMakesNextStepReturnZero)
{
    ModalWatchdog watchdog(20000);
    std::atomic<HWND> dialog{nullptr};
    CancelAnswerer answerer(dialog, 1);
    int stepsBeforeCancel = 0;
    int lastResult = 1;
    bool cancelled = false;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 4, TRUE);
        progress.Init(1000000, 0, 0);
        dialog = progress.GetDlgHWND();
        DWORD start = GetTickCount();
        while ((lastResult = progress.NextStep(0)) != 0 && GetTickCount() - start < 10000) {
            ++stepsBeforeCancel;
            Sleep(5);
        }
        cancelled = progress.IsCanceled() != 0;
    }));
    EXPECT_TRUE(answerer.answered);
    EXPECT_EQ(answerer.question, L"Are you sure you want to cancel this operation?");
    EXPECT_EQ(lastResult, 0);
    EXPECT_TRUE(cancelled);
    EXPECT_GT(stepsBeforeCancel, 0);
}

TEST_F(ProgressDlgTest, CancelDeclinedWithNoLeavesTheDialogRunning)
{
    ModalWatchdog watchdog(20000);
    std::atomic<HWND> dialog{nullptr};
    CancelAnswerer answerer(dialog, 2);
    bool stillThere = false;
    int nextStep = 0;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 4, TRUE);
        progress.SetRange(0, 100);
        dialog = progress.GetDlgHWND();
        DWORD start = GetTickCount();
        while (!answerer.answered && GetTickCount() - start < 10000)
            Sleep(10);
        // The box has been answered; give the dialog a moment to act on it.
        Sleep(300);
        stillThere = progress.GetDlgHWND() != nullptr && !MsgExGetOpenBox();
        nextStep = progress.NextStep(0);
    }));
    EXPECT_TRUE(answerer.answered);
    EXPECT_TRUE(stillThere);
    EXPECT_EQ(nextStep, 1);
}

TEST_F(ProgressDlgTest, CloseWhileTheConfirmationIsOpenEndsBothWithoutCancelling)
{
    ModalWatchdog watchdog(20000);
    std::atomic<HWND> dialog{nullptr};
    DWORD closeTook = 0;
    bool cancelled = true;
    bool boxSeen = false;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 4, TRUE);
        HWND shown = progress.GetDlgHWND();
        if (!shown)
            return;
        PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        DWORD start = GetTickCount();
        while (!MsgExGetOpenBox() && GetTickCount() - start < 5000)
            Sleep(10);
        boxSeen = MsgExGetOpenBox() != nullptr;
        start = GetTickCount();
        progress.Close();
        closeTook = GetTickCount() - start;
        cancelled = progress.IsCanceled() != 0;
    }));
    EXPECT_TRUE(boxSeen);
    EXPECT_LT(closeTook, 3000u);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(MsgExGetOpenBox(), nullptr);
}

// --- lines ----------------------------------------------------------------------------------------

TEST_F(ProgressDlgTest, OneLineShowsOnlyTheFirstAndShrinksByThreeLinePitches)
{
    SIZE four = FreshDialogSize(4);
    SIZE none = FreshDialogSize(0);
    ASSERT_GT(four.cy, 0);
    EXPECT_EQ(none.cx, four.cx);
    EXPECT_EQ(none.cy, four.cy) << "0 lines behaves as 4";

    bool visible[4] = {};
    int height = 0;
    int hiddenPitches = 0;
    int barAboveCancelBottom = 0;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 1, TRUE);
        HWND dialog = progress.GetDlgHWND();
        if (!dialog)
            return;
        for (int line = 0; line < 4; ++line)
            visible[line] = ItemVisible(dialog, IDC_PROGRESS_DLG_LINE1 + line);
        height = WindowHeight(dialog);
        // The hidden lines stay where the template put them: from the first
        // line's bottom edge to the fourth's are the three pitches.
        hiddenPitches
            = ItemRect(dialog, IDC_PROGRESS_DLG_LINE4).bottom - ItemRect(dialog, IDC_PROGRESS_DLG_LINE1).bottom;
        barAboveCancelBottom = ItemRect(dialog, IDCANCEL).bottom - ItemRect(dialog, IDC_PROGRESS_DLG_BAR).bottom;
    }));
    EXPECT_TRUE(visible[0]);
    EXPECT_FALSE(visible[1]);
    EXPECT_FALSE(visible[2]);
    EXPECT_FALSE(visible[3]);
    ASSERT_GT(hiddenPitches, 0);
    EXPECT_EQ(four.cy - height, hiddenPitches);
    // The bar and Cancel moved up together.
    EXPECT_GT(barAboveCancelBottom, 0);
}

TEST_F(ProgressDlgTest, LineIndexesOutsideTheDialogsLinesAreRefused)
{
    FakeClock clock(1000);
    std::wstring lines[4];
    std::wstring afterLive[4];
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 500, 0, 2, TRUE);
        // Before the dialog: kept lines would be written out of bounds.
        for (int bad : {-1, -100000, 2, 3, 4, 100000})
            progress.SetTextFmt(bad, L"bad %d", bad);
        progress.SetText(1, L"one");
        clock.Advance(500);
        progress.SetText(0, L"zero");
        HWND dialog = progress.GetDlgHWND();
        if (!dialog)
            return;
        for (int line = 0; line < 4; ++line)
            lines[line] = ItemText(dialog, IDC_PROGRESS_DLG_LINE1 + line);
        // With the dialog up, to the Progress and to the dialog itself.
        for (int bad : {-1, 2, 3, 4, 5}) {
            progress.SetText(bad, L"bad");
            progress.GetDlg()->SetText(bad, L"bad");
        }
        for (int line = 0; line < 4; ++line)
            afterLive[line] = ItemText(dialog, IDC_PROGRESS_DLG_LINE1 + line);
    }));
    EXPECT_EQ(lines[0], L"zero");
    EXPECT_EQ(lines[1], L"one");
    EXPECT_EQ(lines[2], L"");
    EXPECT_EQ(lines[3], L"");
    for (int line = 0; line < 4; ++line)
        EXPECT_EQ(afterLive[line], lines[line]) << "line " << line;
}

// --- closing ----------------------------------------------------------------------------------------

TEST_F(ProgressDlgTest, CloseBeforeTheDialogExistsIsHonouredWhenItComesUp)
{
    WaitBudgets budgets(200, 5000);
    ThreadGate gate;
    DWORD closeTook = 0;
    bool shownAtStart = true;
    bool cancelled = true;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 4, TRUE);
        // The ready wait gave up: the dialog thread is held at the gate.
        shownAtStart = progress.GetDlgHWND() != nullptr;
        HANDLE opener = CreateThread(
            nullptr, 0,
            [](void* param) -> DWORD {
                Sleep(300);
                static_cast<ThreadGate*>(param)->Open();
                return 0;
            },
            &gate, 0, nullptr);
        DWORD start = GetTickCount();
        progress.Close();
        closeTook = GetTickCount() - start;
        cancelled = progress.IsCanceled() != 0;
        WaitForSingleObject(opener, 5000);
        CloseHandle(opener);
    }));
    EXPECT_EQ(gate.Reached(), 1);
    EXPECT_FALSE(shownAtStart);
    // The dialog came up after the close was asked for and ended itself at
    // once, well before the close budget.
    EXPECT_LT(closeTook, 3000u);
    EXPECT_GE(closeTook, 250u);
    EXPECT_FALSE(cancelled);
}

TEST_F(ProgressDlgTest, ADialogThreadThatNeverSignalsIsGivenUpWithoutFreeingWhatItUses)
{
    WaitBudgets budgets(200, 300);
    ThreadGate gate;
    // The Progress lives in a block the test owns: once it is destroyed the
    // block is filled with a pattern, which a thread that still wrote to
    // the Progress would disturb.
    alignas(Progress) static unsigned char block[sizeof(Progress)];
    DWORD closeTook = 0;
    long aliveAfterClose = 0;
    ASSERT_TRUE(RunWorker([&] {
        auto* progress = new (block) Progress(nullptr, 0, 0, 4, TRUE);
        DWORD start = GetTickCount();
        progress->Close();
        closeTook = GetTickCount() - start;
        progress->~Progress();
        memset(block, 0xCD, sizeof(block));
        aliveAfterClose = ProgressSeams::ThreadsAlive();
    }));
    EXPECT_LT(closeTook, 2000u);
    // Given up, not freed: the thread still holds its object.
    EXPECT_EQ(aliveAfterClose, 1);
    EXPECT_EQ(gate.Reached(), 1);

    // Let it go on: it makes its dialog, finds the close asked for, ends and
    // takes its object with it, without a word to the Progress that is gone.
    gate.Open();
    EXPECT_TRUE(NoThreadLeft());
    bool untouched = true;
    for (unsigned char byte : block)
        untouched &= byte == 0xCD;
    EXPECT_TRUE(untouched);
}

TEST_F(ProgressDlgTest, CloseEndsARunningDialogAndLaterCallsStartNothing)
{
    bool gone = false;
    bool cancelled = true;
    bool restarted = true;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 4, TRUE);
        HWND dialog = progress.GetDlgHWND();
        if (!dialog)
            return;
        progress.Close();
        gone = !IsWindow(dialog);
        cancelled = progress.IsCanceled() != 0;
        progress.SetText(0, L"after");
        progress.StepIt();
        restarted = progress.GetDlg() != nullptr;
    }));
    EXPECT_TRUE(gone);
    EXPECT_FALSE(cancelled);
    EXPECT_FALSE(restarted);
}

TEST_F(ProgressDlgTest, OwnerStaysDisabledForTheLifeOfTheProgress)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    bool disabledDuring = false;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(owner, 0, 0, 4, TRUE);
        disabledDuring = !IsWindowEnabled(owner);
    }));
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

// --- scope guards -------------------------------------------------------------------------------

TEST_F(ProgressDlgTest, PauseHideHidesAndPausesForItsScope)
{
    bool hiddenInside = false;
    bool pausedInside = false;
    bool shownAfter = false;
    bool runningAfter = false;
    ASSERT_TRUE(RunWorker([&] {
        Progress progress(nullptr, 0, 0, 4, TRUE);
        progress.EnableTicker(50, 1000, nullptr);
        HWND dialog = progress.GetDlgHWND();
        if (!dialog || !progress.GetTicker())
            return;
        {
            ProgressPauseHide pause(&progress);
            hiddenInside = !IsWindowVisible(dialog);
            pausedInside = progress.GetTicker()->IsPaused() != 0;
        }
        shownAfter = IsWindowVisible(dialog) != 0;
        runningAfter = progress.GetTicker()->IsPaused() == 0;
    }));
    EXPECT_TRUE(hiddenInside);
    EXPECT_TRUE(pausedInside);
    EXPECT_TRUE(shownAfter);
    EXPECT_TRUE(runningAfter);
}

TEST_F(ProgressDlgTest, DeleterClosesTheDialogAtScopeExit)
{
    HWND dialog = nullptr;
    bool aliveInside = false;
    ASSERT_TRUE(RunWorker([&] {
        {
            ProgressDeleter deleter(new Progress(nullptr, 0, 0, 4, TRUE));
            ProgressDeleter none(nullptr);
            dialog = FindWindowW(L"#32770", L"Processing...");
            aliveInside = dialog != nullptr;
        }
    }));
    EXPECT_TRUE(aliveInside);
    EXPECT_FALSE(IsWindow(dialog));
}

// --- leaks and pictures ---------------------------------------------------------------------------

TEST_F(ProgressDlgTest, TwoHundredDialogsOfWorkerThreadsLeaveNothingBehind)
{
    CreationLog handles(CreationLog::gdiObjects | CreationLog::fonts | CreationLog::images | CreationLog::windows
        | CreationLog::windowDCs);
    ASSERT_TRUE(handles.Hooked());
    std::vector<HWND> dialogs;
    for (int worker = 0; worker < 20; ++worker) {
        ASSERT_TRUE(RunWorker([&] {
            for (int i = 0; i < 10; ++i) {
                Progress progress(nullptr, 0, 0, 1 + i % 4, TRUE);
                progress.SetTitleFmt(L"Progress %d", i);
                progress.SetRange(0, 10);
                progress.SetTextFmt(0, L"item %d", i);
                progress.StepIt();
                dialogs.push_back(progress.GetDlgHWND());
            }
        }));
    }
    ASSERT_EQ(dialogs.size(), 200u);
    int made = 0;
    int stillThere = 0;
    for (HWND dialog : dialogs) {
        made += dialog != nullptr;
        stillThere += dialog && IsWindow(dialog);
    }
    EXPECT_EQ(made, 200);
    EXPECT_EQ(stillThere, 0);
    EXPECT_TRUE(NoThreadLeft());
    // Each dialog loaded its icons through the library.
    EXPECT_GE(handles.icons.size(), 200u);
    EXPECT_EQ(handles.GdiAlive(), 0u);
    EXPECT_EQ(handles.IconsAlive(), 0u);
    EXPECT_EQ(handles.WindowsAlive(), 0u);
    EXPECT_EQ(handles.dcsTaken, handles.dcsGiven);
}

TEST_F(ProgressDlgTest, PicturesOfFourLinesAndOneLine)
{
    for (unsigned lines : {4u, 1u}) {
        ProgressDlg::wpResizing.length = 0;
        bool saved = false;
        ASSERT_TRUE(RunWorker([&] {
            Progress progress(nullptr, 0, 0, lines, TRUE);
            progress.SetTitle(L"Copying files");
            progress.SetRange(0, 100);
            progress.SetPos(40);
            const wchar_t* texts[]
                = {L"Copying report.docx", L"From C:\\Documents", L"To D:\\Backup", L"About 1 minute left"};
            for (unsigned line = 0; line < lines; ++line)
                progress.SetText(static_cast<int>(line), texts[line]);
            HWND dialog = progress.GetDlgHWND();
            if (!dialog || !progress.GetDlg()->Settle(3000))
                return;
            RECT client;
            GetClientRect(dialog, &client);
            Canvas canvas(client.right, client.bottom);
            ComposeClientArea(dialog, canvas);
            saved = !SavePng(lines == 4 ? L"progress_4lines.png" : L"progress_1line.png", canvas.Pixels().data(),
                canvas.cx, canvas.cy)
                         .empty();
        }));
        EXPECT_TRUE(saved) << lines << " lines";
    }
}
