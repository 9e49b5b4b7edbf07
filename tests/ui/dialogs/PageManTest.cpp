// The plain page manager: navigation both ways (wrapping, or cancelling on
// the first page with Back), the keyboard (Ctrl+Tab and Ctrl+Page Up/Down,
// Tab into and out of the page), validation when a page is left with the
// guard against a second try, the apply and close passes, removing pages,
// scrolling a page taller than its place, the delayed actions that must
// not cancel each other, tooltips, message boxes owned by the manager and
// a picture of a settings dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "MsgProbe.h"
#include "PageProbe.h"
#include "common/TestSupport.h"

namespace {

// A settings manager (no Back, no Next) with three pages, up and shown.
class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        man.SetStartPage(0);
        wnd = man.Modeless(IDD_PM_SETTINGS, TestModule(), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(wnd))
            DestroyWindow(wnd);
        PumpFor(10);
    }

    ZnDlgPageMan man{0, IDC_PM_HEADER, IDC_PM_PLACE, 0, 0};
    ThreePages<ZnDlgPageMan> pages{man};
    HWND wnd = nullptr;
};

// A manager with Back and Next.
class StepsTest : public testing::Test {
protected:
    void TearDown() override
    {
        if (wnd && IsWindow(wnd))
            DestroyWindow(wnd);
        PumpFor(10);
    }
    void Open()
    {
        wnd = man.Modeless(IDD_PM_NAV, TestModule(), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
    }

    ZnDlgPageMan man{0, IDC_PM_HEADER, IDC_PM_PLACE, IDC_PM_BACK, IDC_PM_NEXT};
    HWND wnd = nullptr;
};

} // namespace

// --- navigation -------------------------------------------------------------------------------------

TEST_F(SettingsTest, PagesAreMadeOnFirstShowOverTheHiddenPlaceholder)
{
    EXPECT_EQ(man.GetActiveIndex(), 0);
    EXPECT_NE(pages.one.GetHwnd(), nullptr);
    EXPECT_EQ(pages.two.GetHwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_PLACE)));
    RECT place = RectInParent(GetDlgItem(wnd, IDC_PM_PLACE));
    RECT page = RectInParent(pages.one.GetHwnd());
    EXPECT_EQ(page.left, place.left);
    EXPECT_EQ(page.top, place.top);
    EXPECT_EQ(page.bottom - page.top, place.bottom - place.top);
    EXPECT_EQ(pages.one.updateControlsCalls, 1);
    wchar_t header[64] = {};
    GetDlgItemTextW(wnd, IDC_PM_HEADER, header, 64);
    EXPECT_STREQ(header, L"General");
}

TEST_F(SettingsTest, WithoutBackOrNextTheOrderWrapsBothWays)
{
    EXPECT_TRUE(man.SetNextPage(1));
    EXPECT_TRUE(man.SetNextPage(1));
    EXPECT_EQ(man.GetActiveIndex(), 2);
    EXPECT_TRUE(IsWindowVisible(pages.three.GetHwnd()));
    EXPECT_FALSE(IsWindowVisible(pages.two.GetHwnd()));
    EXPECT_TRUE(man.SetNextPage(1));
    EXPECT_EQ(man.GetActiveIndex(), 0);
    EXPECT_TRUE(man.SetNextPage(0));
    EXPECT_EQ(man.GetActiveIndex(), 2);
    EXPECT_EQ(man.GetLastActivePage(), &pages.one);
    EXPECT_TRUE(IsWindow(wnd));
    // Made once each, hidden in between.
    EXPECT_EQ(pages.one.updateControlsCalls, 1);
    EXPECT_EQ(pages.three.updateControlsCalls, 1);
}

TEST_F(SettingsTest, CtrlTabAndCtrlPageKeysMoveBetweenPages)
{
    EXPECT_TRUE(TypeKey(man, VK_TAB, true));
    EXPECT_EQ(man.GetActiveIndex(), 1);
    EXPECT_TRUE(TypeKey(man, VK_NEXT, true));
    EXPECT_EQ(man.GetActiveIndex(), 2);
    EXPECT_TRUE(TypeKey(man, VK_PRIOR, true));
    EXPECT_EQ(man.GetActiveIndex(), 1);
    EXPECT_TRUE(TypeKey(man, VK_TAB, true, true));
    EXPECT_EQ(man.GetActiveIndex(), 0);
    // Without Ctrl, Page Down belongs to the control.
    EXPECT_FALSE(TypeKey(man, VK_NEXT));
    EXPECT_EQ(man.GetActiveIndex(), 0);
}

TEST_F(StepsTest, CtrlTabDoesNothingWhenTheManagerHasBackAndNext)
{
    ThreePages<ZnDlgPageMan> pages(man);
    Open();
    EXPECT_FALSE(TypeKey(man, VK_TAB, true));
    EXPECT_FALSE(TypeKey(man, VK_NEXT, true));
    EXPECT_EQ(man.GetActiveIndex(), 0);
}

TEST_F(SettingsTest, TabEntersThePageAndLeavesItFromItsEdges)
{
    HWND edit = pages.one.GetDlgItem(IDC_PG_EDIT);
    HWND check = pages.one.GetDlgItem(IDC_PG_CHECK);
    // From Help, the manager's last control, Tab goes round to the page.
    SetFocus(GetDlgItem(wnd, IDHELP));
    EXPECT_TRUE(TypeKey(man, VK_TAB));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_TRUE(TypeKey(man, VK_TAB));
    EXPECT_EQ(GetFocus(), check);
    // The page's last stop hands over to the control after the page.
    EXPECT_TRUE(TypeKey(man, VK_TAB));
    EXPECT_EQ(GetFocus(), GetDlgItem(wnd, IDOK));
    // Shift+Tab from the control after the page: the page's last stop.
    EXPECT_TRUE(TypeKey(man, VK_TAB, false, true));
    EXPECT_EQ(GetFocus(), check);
    EXPECT_TRUE(TypeKey(man, VK_TAB, false, true));
    EXPECT_EQ(GetFocus(), edit);
    // From the first stop backwards: the manager's control before the
    // page, going round to Help.
    EXPECT_TRUE(TypeKey(man, VK_TAB, false, true));
    EXPECT_EQ(GetFocus(), GetDlgItem(wnd, IDHELP));
    // Between the manager's own buttons the dialog manager decides.
    SetFocus(GetDlgItem(wnd, IDOK));
    EXPECT_FALSE(TypeKey(man, VK_TAB));
}

TEST_F(StepsTest, BackOnTheFirstPageCancelsTheManager)
{
    ModalWatchdog watchdog(10000);
    ThreePages<ZnDlgPageMan> pages(man);
    bool asked = false;
    BoxTicker back([&] {
        if (!asked && man.GetHwnd() && IsWindowVisible(man.GetHwnd())) {
            asked = true;
            man.SetNextPage(0);
        }
    });
    EXPECT_FALSE(man.Do(0, IDD_PM_NAV, TestModule(), nullptr));
    EXPECT_EQ(man.GetResult(), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(pages.one.applyCalls, 0);
}

TEST_F(StepsTest, NextPastTheLastPageFinishesWithOK)
{
    ModalWatchdog watchdog(10000);
    ThreePages<ZnDlgPageMan> pages(man);
    int finished = 0;
    {
        BoxTicker next([&] {
            if (man.GetHwnd() && IsWindow(man.GetHwnd()) && !man.IsClosed())
                Click(man.GetHwnd(), IDC_PM_NEXT);
        });
        finished = man.Do(0, IDD_PM_NAV, TestModule(), nullptr);
    }
    EXPECT_TRUE(finished);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(pages.three.setActiveCalls, 1);
    EXPECT_EQ(pages.one.applyCalls, 1);
    EXPECT_EQ(pages.three.applyCalls, 1);
}

TEST_F(StepsTest, BackAndNextShowAsTheStepAllows)
{
    ThreePages<ZnDlgPageMan> pages(man);
    Open();
    // First page: no way back.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_BACK)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_NEXT)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDOK)));
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(man.GetActiveIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_BACK)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wnd, IDC_PM_BACK)));
    Click(wnd, IDC_PM_BACK);
    EXPECT_EQ(man.GetActiveIndex(), 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_BACK)));
    // A hidden button is parked above the dialog, out of reach.
    EXPECT_LT(RectInParent(GetDlgItem(wnd, IDOK)).bottom, 0);
}

TEST_F(StepsTest, AManagerWithOnePageShowsOKInsteadOfNext)
{
    std::vector<std::wstring> log;
    ProbePage only(&man, IDD_PG_GENERAL, L"Only", &log, L"only");
    man.AddPage(&only);
    Open();
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(wnd, IDOK)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wnd, IDOK)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_NEXT)));
    EXPECT_EQ(LOWORD(SendMessageW(wnd, DM_GETDEFID, 0, 0)), IDOK);
    // The OK brought back stands where the template put it.
    RECT ok = RectInParent(GetDlgItem(wnd, IDOK));
    EXPECT_GT(ok.top, 0);
}

// --- validation ---------------------------------------------------------------------------------------

TEST_F(SettingsTest, ARefusingPageStaysAndASecondTryWithinHalfASecondIsNotAsked)
{
    pages.one.allowLeave = 0;
    EXPECT_FALSE(man.SetNextPage(1));
    EXPECT_EQ(man.GetActiveIndex(), 0);
    EXPECT_EQ(pages.one.killCalls, 1);
    EXPECT_EQ(pages.two.GetHwnd(), nullptr);
    // The buttons came back after the refusal.
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wnd, IDOK)));
    // Changed its mind at once: the guard still holds, without asking.
    pages.one.allowLeave = 1;
    EXPECT_FALSE(man.SetNextPage(1));
    EXPECT_EQ(pages.one.killCalls, 1);
    EXPECT_FALSE(man.CanKillActivePage(0));
    EXPECT_EQ(pages.one.killCalls, 1);
    Sleep(ZnDlgPageMan::refusalGuardMs + 50);
    EXPECT_TRUE(man.SetNextPage(1));
    EXPECT_EQ(man.GetActiveIndex(), 1);
    EXPECT_EQ(pages.one.killCalls, 2);
}

TEST_F(SettingsTest, APageThatWillNotBeEnteredLeavesTheOldOneActive)
{
    pages.two.allowEnter = 0;
    EXPECT_FALSE(man.SetActivePage(1, 1));
    EXPECT_EQ(man.GetActiveIndex(), 0);
    EXPECT_TRUE(IsWindowVisible(pages.one.GetHwnd()));
}

// --- the apply and close passes ------------------------------------------------------------------------

TEST_F(SettingsTest, OKRunsTheApplyPassThenTheClosePassOverEveryMadePage)
{
    man.SetActivePage(2, 1);
    man.SetActivePage(1, 1);
    pages.log.clear();
    Click(wnd, IDOK);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(man.GetResult(), IDOK);
    const std::vector<std::wstring> expected = {
        L"two:kill(1)", L"two:apply", L"one:apply", L"three:apply", // apply: the active page first
        L"two:kill(1)", L"two:canclose(1)", L"one:canclose(1)", L"three:canclose(1)", // may it close?
        L"two:close(1)", L"one:close(1)", L"three:close(1)", // closed
    };
    EXPECT_EQ(pages.log, expected);
}

TEST_F(SettingsTest, AFailedApplyBringsThePageForwardAndKeepsTheManagerOpen)
{
    man.SetActivePage(2, 1);
    man.SetActivePage(0, 1);
    pages.three.applyOk = 0;
    Click(wnd, IDOK);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(man.GetActiveIndex(), 2);
    EXPECT_EQ(pages.one.closeCalls, 0);
    pages.three.applyOk = 1;
    Click(wnd, IDOK);
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(SettingsTest, APageThatWillNotCloseIsBroughtForward)
{
    man.SetActivePage(1, 1);
    man.SetActivePage(0, 1);
    pages.two.allowClose = 0;
    Click(wnd, IDCANCEL);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(man.GetActiveIndex(), 1);
    pages.two.allowClose = 1;
    Click(wnd, IDCANCEL);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(man.GetResult(), IDCANCEL);
    EXPECT_EQ(pages.one.applyCalls, 0);
}

TEST_F(SettingsTest, DataPassesReachOnlyPagesThatWereShown)
{
    man.SetActivePage(2, 1);
    const int before = pages.three.updateControlsCalls;
    man.UpdatePagesFromData();
    EXPECT_EQ(pages.one.updateControlsCalls, 2);
    EXPECT_EQ(pages.three.updateControlsCalls, before + 1);
    EXPECT_EQ(pages.two.updateControlsCalls, 0);
}

// --- removing pages -------------------------------------------------------------------------------------

namespace {

int CountRemoved(unsigned __int64 context, unsigned int event, void*)
{
    if (event == ZnList::eventRemoved)
        ++*reinterpret_cast<int*>(static_cast<uintptr_t>(context));
    return 0;
}

} // namespace

TEST_F(SettingsTest, RemovingTheActivePageHandsOverToANeighbourFirst)
{
    int removed = 0;
    man.SetPageCallback(reinterpret_cast<uintptr_t>(&removed), &CountRemoved);
    man.SetActivePage(1, 1);
    EXPECT_TRUE(man.RemovePage(&pages.two));
    EXPECT_EQ(removed, 1);
    // The page after it took over; the removed one is gone from the window.
    EXPECT_EQ(man.GetActivePage(), &pages.three);
    EXPECT_EQ(man.GetActiveIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(pages.three.GetHwnd()));
    EXPECT_EQ(pages.two.GetHwnd() ? IsWindow(pages.two.GetHwnd()) : FALSE, FALSE);
    // The last one: the one before it takes over.
    EXPECT_TRUE(man.RemovePage(nullptr));
    EXPECT_EQ(man.GetActivePage(), &pages.one);
    // The only one left: none is active afterwards, and nothing points at it.
    EXPECT_TRUE(man.RemovePage(&pages.one));
    EXPECT_EQ(man.GetActivePage(), nullptr);
    EXPECT_EQ(man.GetActivePageWnd(), nullptr);
    EXPECT_EQ(man.GetActiveIndex(), -1);
    EXPECT_EQ(man.GetLastActivePage(), nullptr);
    EXPECT_EQ(removed, 3);
    EXPECT_FALSE(man.RemovePage(&pages.one));
    // The manager still closes cleanly without pages.
    Click(wnd, IDOK);
    EXPECT_FALSE(IsWindow(wnd));
    man.SetPageCallback(0, nullptr);
}

TEST_F(SettingsTest, APageDeletedByTheCallbackIsNeverActive)
{
    auto* extra = new ProbePage(&man, IDD_PG_ADVANCED, L"Extra", nullptr, L"extra");
    man.SetPageCallback(0, [](unsigned __int64, unsigned int event, void* item) {
        if (event == ZnList::eventRemoved && static_cast<ProbePage*>(item)->name == std::wstring(L"extra"))
            delete static_cast<ProbePage*>(item);
        return 0;
    });
    man.AddPage(extra);
    ASSERT_TRUE(man.SetActivePage(extra, 1));
    EXPECT_TRUE(man.RemovePage(extra));
    EXPECT_EQ(man.GetActivePage(), &pages.three);
    EXPECT_TRUE(man.SetNextPage(1));
    EXPECT_EQ(man.GetActivePage(), &pages.one);
    man.SetPageCallback(0, nullptr);
}

TEST_F(StepsTest, APushedPageIsPoppedWhenItIsLeft)
{
    ThreePages<ZnDlgPageMan> pages(man);
    Open();
    ProbePage detour(&man, IDD_PG_ADVANCED, L"Detour", &pages.log, L"detour");
    EXPECT_TRUE(man.PushPage(&detour, 1));
    EXPECT_EQ(man.GetPageIndex(&detour), 1);
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(man.GetActivePage(), &detour);
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(man.GetActivePage(), &pages.two);
    EXPECT_EQ(man.GetPageIndex(&detour), -1);
    EXPECT_FALSE(detour.IsAutoPop());
    EXPECT_EQ(man.GetPageCount(), 3);
}

// --- scrolling -------------------------------------------------------------------------------------------

namespace {

class ScrollTest : public testing::Test {
protected:
    void SetUp() override
    {
        man.AddPage(&tall);
        wnd = man.Modeless(IDD_PM_SETTINGS, TestModule(), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(wnd))
            DestroyWindow(wnd);
        PumpFor(10);
    }
    int TopOf(int id) { return RectInParent(tall.GetDlgItem(id)).top; }

    ZnDlgPageMan man{0, IDC_PM_HEADER, IDC_PM_PLACE, 0, 0};
    ProbePage tall{&man, IDD_PG_TALL, L"Tall", nullptr, L"tall"};
    HWND wnd = nullptr;
};

} // namespace

TEST_F(ScrollTest, ATallPageScrollsByLinesAndPagesWithinItsRange)
{
    const int total = tall.GetTotalHeight();
    const int visible = tall.GetVisibleHeight();
    RECT place = RectInParent(GetDlgItem(wnd, IDC_PM_PLACE));
    EXPECT_EQ(visible, place.bottom - place.top);
    ASSERT_GT(total, 2 * visible);
    const int range = total - visible;
    EXPECT_EQ(tall.GetScrollRange(), range);
    EXPECT_EQ(tall.GetLineStep(), std::max(range / 20, 5));
    EXPECT_EQ(tall.GetPageStep(), std::max(range / 10, 5));
    EXPECT_TRUE(GetWindowLongPtrW(tall.GetHwnd(), GWL_STYLE) & WS_VSCROLL);

    const int top = TopOf(IDC_PG_TOP);
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(tall.GetScrollPosition(), tall.GetLineStep());
    EXPECT_EQ(TopOf(IDC_PG_TOP), top - tall.GetLineStep());
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(tall.GetScrollPosition(), tall.GetLineStep() + tall.GetPageStep());
    EXPECT_EQ(GetScrollPos(tall.GetHwnd(), SB_VERT), tall.GetScrollPosition());
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(tall.GetScrollPosition(), range);
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(tall.GetScrollPosition(), range);
    EXPECT_EQ(TopOf(IDC_PG_TOP), top - range);
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_LINEUP, 0);
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(tall.GetScrollPosition(), 0);
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(tall.GetScrollPosition(), 0);
    EXPECT_EQ(TopOf(IDC_PG_TOP), top);
}

TEST_F(ScrollTest, TheWheelMovesOneLineEachWayEvenOverTheManager)
{
    SendMessageW(tall.GetHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(tall.GetScrollPosition(), tall.GetLineStep());
    SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), 0);
    EXPECT_EQ(tall.GetScrollPosition(), 2 * tall.GetLineStep());
    SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(tall.GetScrollPosition(), tall.GetLineStep());
}

TEST_F(ScrollTest, FocusBelowTheFoldScrollsTheControlIntoView)
{
    const int visible = tall.GetVisibleHeight();
    SetFocus(tall.GetDlgItem(IDC_PG_TOP));
    EXPECT_TRUE(TypeKey(man, VK_TAB));
    EXPECT_EQ(GetFocus(), tall.GetDlgItem(IDC_PG_MIDDLE));
    RECT middle = RectInParent(tall.GetDlgItem(IDC_PG_MIDDLE));
    EXPECT_EQ(middle.bottom, visible - ZnDlgScrollable::visibleMargin);
    EXPECT_TRUE(TypeKey(man, VK_TAB));
    RECT bottom = RectInParent(tall.GetDlgItem(IDC_PG_BOTTOM));
    EXPECT_GE(bottom.top, ZnDlgScrollable::visibleMargin);
    EXPECT_LE(bottom.bottom, visible - ZnDlgScrollable::visibleMargin);
    // And back up: the top edit comes into view at the top margin.
    SetFocus(tall.GetDlgItem(IDC_PG_TOP));
    tall.EnsureDlgItemVisible(IDC_PG_TOP);
    EXPECT_EQ(RectInParent(tall.GetDlgItem(IDC_PG_TOP)).top, ZnDlgScrollable::visibleMargin);
}

TEST_F(ScrollTest, AGrownPlaceShrinksTheRangeAndScrollsBack)
{
    SendMessageW(tall.GetHwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    const int total = tall.GetTotalHeight();
    RECT r = RectInParent(tall.GetHwnd());
    SetWindowPos(tall.GetHwnd(), nullptr, 0, 0, r.right - r.left, total - 10, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(tall.GetScrollRange(), 10);
    EXPECT_EQ(tall.GetScrollPosition(), 10);
    SetWindowPos(tall.GetHwnd(), nullptr, 0, 0, r.right - r.left, total + 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(tall.GetScrollRange(), 0);
    EXPECT_EQ(tall.GetScrollPosition(), 0);
    // Nothing to scroll: the bar stays, disabled.
    EXPECT_TRUE(GetWindowLongPtrW(tall.GetHwnd(), GWL_STYLE) & WS_VSCROLL);
}

// --- delayed actions ---------------------------------------------------------------------------------------

TEST_F(StepsTest, RestoringTheFocusAndADelayedPressDoNotCancelEachOther)
{
    ThreePages<ZnDlgPageMan> pages(man);
    Open();
    man.SetPageItemFocus(IDC_PG_CHECK);
    SetFocus(GetDlgItem(wnd, IDCANCEL));
    man.OnActivate(1);
    const DWORD pressed = GetTickCount();
    man.PressButton(ZnDlgPageMan::btnNext);
    EXPECT_TRUE(man.IsActionQueued(ZnDlgPageMan::actionRestoreFocus));
    EXPECT_TRUE(man.IsActionQueued(ZnDlgPageMan::actionPressNext));
    // The focus comes back after 100 ms; the press is still to come.
    PumpUntil([&] { return !man.IsActionQueued(ZnDlgPageMan::actionRestoreFocus); }, 1000);
    EXPECT_EQ(man.GetPageItemFocus(), 0);
    EXPECT_EQ(GetFocus(), pages.one.GetDlgItem(IDC_PG_CHECK));
    EXPECT_EQ(man.GetActiveIndex(), 0);
    // The press acts 200 ms after it was asked for.
    EXPECT_TRUE(PumpUntil([&] { return man.GetActiveIndex() == 1; }, 2000));
    EXPECT_GE(pages.two.activatedAt - pressed, ZnDlgPageMan::pressDelayMs - 20);
}

TEST(ActionQueue, QueuedActionsRunEachOnceBesideTheSingleSlot)
{
    ProbeDlg dlg;
    HWND window = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(dlg.QueueAction(601, 40));
    EXPECT_TRUE(dlg.QueueAction(603, 20));
    EXPECT_TRUE(dlg.DelayAction(7, 30));
    EXPECT_TRUE(dlg.DelayAction(8, 10)); // the single slot keeps only the newer
    EXPECT_TRUE(dlg.QueueAction(602, 20));
    EXPECT_TRUE(dlg.QueueAction(602, 0)); // taken back alone
    PumpFor(200);
    std::vector<unsigned long> ran = dlg.actions;
    std::sort(ran.begin(), ran.end());
    EXPECT_EQ(ran, (std::vector<unsigned long>{8, 601, 603}));
    // A full queue says so.
    for (int i = 0; i < ZnDlg::queuedActionSlots; ++i)
        EXPECT_TRUE(dlg.QueueAction(700 + i, 5000));
    EXPECT_FALSE(dlg.QueueAction(800, 10));
    EXPECT_TRUE(dlg.QueueAction(700, 10)); // moving one is always possible
    DestroyWindow(window);
    PumpFor(10);
}

// --- tooltips and boxes ----------------------------------------------------------------------------------

TEST_F(StepsTest, ButtonsTellTheirNamesAndKeys)
{
    ThreePages<ZnDlgPageMan> pages(man);
    Open();
    auto tip = [&](UINT_PTR id) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = wnd;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(wnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText ? info.lpszText : L"");
    };
    EXPECT_EQ(tip(IDOK), L"OK");
    EXPECT_EQ(tip(IDCANCEL), L"Cancel");
    EXPECT_EQ(tip(IDHELP), L"Help");
    EXPECT_EQ(tip(IDC_PM_BACK), L"Back [Alt+B]");
    EXPECT_EQ(tip(IDC_PM_NEXT), L"Next [Alt+N]");
    EXPECT_EQ(tip(IDC_PM_HEADER), L"");
}

TEST_F(SettingsTest, APageBoxBelongsToTheManager)
{
    ModalWatchdog watchdog(10000);
    HWND owner = nullptr;
    std::wstring text;
    int code = WithBox([&] { return pages.one.MsgExFmt(MB_OKCANCEL, L"Keep %d of %s?", 3, L"seven"); },
        [&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            text = ItemText(box, IDC_MSGEX_TEXT);
            ClickItem(box, IDC_MSGEX_BUTTON3);
        });
    EXPECT_EQ(code, IDCANCEL);
    EXPECT_EQ(owner, wnd);
    EXPECT_EQ(text, L"Keep 3 of seven?");
}

TEST_F(SettingsTest, TheHeaderTakesAtMostTwoHundredFiftySixCharacters)
{
    man.SetHeaderText(L"%s and %d", L"Colours", 7);
    EXPECT_EQ(ItemText(wnd, IDC_PM_HEADER), L"Colours and 7");
    std::wstring longText(400, L'x');
    man.SetHeaderText(L"%s", longText.c_str());
    EXPECT_EQ(ItemText(wnd, IDC_PM_HEADER).size(), 256u);
}

// --- a picture ---------------------------------------------------------------------------------------------

TEST_F(SettingsTest, PictureOfASettingsDialog)
{
    man.SetActivePage(1, 1);
    CheckRadioButton(pages.two.GetHwnd(), IDC_PG_RADIO1, IDC_PG_RADIO2, IDC_PG_RADIO1);
    SetDlgItemTextW(pages.two.GetHwnd(), IDC_PG_EDIT, L"4");
    RECT client;
    GetClientRect(wnd, &client);
    Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
    ComposeManager(man, canvas);
    EXPECT_FALSE(SavePng(L"pages_settings", canvas.Pixels().data(), client.right, client.bottom).empty());
    int drawn = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            drawn += canvas.At(x, y) != GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(drawn, 500);
}
