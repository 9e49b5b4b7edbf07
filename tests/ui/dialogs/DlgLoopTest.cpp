#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"
#include "common/TestWindow.h"

namespace {

// The end messages of dialog loops left in the thread's queue, taken out.
std::vector<MSG> TakeEndMessages()
{
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageW(&msg, reinterpret_cast<HWND>(-1), ZnDlg::msgEndOwnLoop, ZnDlg::msgEndOwnLoop, PM_REMOVE))
        taken.push_back(msg);
    return taken;
}

// A nested loop started from a thread timer, outside any message of the
// outer dialog, so that the outer dialog can be gone before it ends.
struct NestedRun {
    ProbeDlg* outer = nullptr;
    ProbeDlg inner;
    int innerCode = 0;
    bool innerEnded = false;
    bool outerGoneDuringInnerLoop = false;
};
NestedRun* nested = nullptr;

void CALLBACK StartInnerLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    nested->innerCode = nested->inner.ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr);
    nested->innerEnded = true;
}

} // namespace

TEST(DlgOwnLoop, EndsWithTheCodeTheDialogClosedWith)
{
    ProbeDlg dlg;
    dlg.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg.atDelayed = [](ProbeDlg& d, unsigned long) { d.CloseDialog(11); };
    HWND created = nullptr;
    int code;
    {
        ModalWatchdog watchdog;
        code = dlg.ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr, &created);
    }
    EXPECT_EQ(code, 11);
    EXPECT_NE(created, nullptr);
    EXPECT_FALSE(IsWindow(created));
    EXPECT_TRUE(TakeEndMessages().empty());
}

TEST(DlgOwnLoop, MessagesMeantForOtherLoopsOrWindowsDoNotEndIt)
{
    ProbeDlg dlg;
    HWND elsewhere = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
    dlg.atInit = [&](ProbeDlg& d) {
        PostThreadMessageW(GetCurrentThreadId(), ZnDlg::msgEndOwnLoop, 0, 0);
        PostThreadMessageW(GetCurrentThreadId(), ZnDlg::msgEndOwnLoop, reinterpret_cast<WPARAM>(elsewhere), 99);
        // The same number as a window message is the dialog's own business.
        PostMessageW(d.hWnd, ZnDlg::msgEndOwnLoop, reinterpret_cast<WPARAM>(d.hWnd), 98);
        d.DelayAction(1, 50);
    };
    dlg.atDelayed = [](ProbeDlg& d, unsigned long) { d.CloseDialog(12); };
    int code;
    {
        ModalWatchdog watchdog;
        code = dlg.ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr);
    }
    EXPECT_EQ(code, 12);
    // The other loops' messages are handed back, not swallowed.
    std::vector<MSG> left = TakeEndMessages();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].wParam, 0u);
    EXPECT_EQ(reinterpret_cast<HWND>(left[1].wParam), elsewhere);
    EXPECT_EQ(left[1].lParam, 99);
}

TEST(DlgOwnLoop, NestedLoopKeepsTheOuterDialogsEndForTheOuterLoop)
{
    NestedRun run;
    nested = &run;
    ProbeDlg outer;
    run.outer = &outer;
    outer.atInit = [](ProbeDlg&) { SetTimer(nullptr, 0, 10, StartInnerLoop); };
    run.inner.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    run.inner.atDelayed = [&](ProbeDlg& d, unsigned long action) {
        if (action == 1) {
            // The outer dialog goes first, while the inner loop runs.
            outer.CloseDialog(21);
            run.outerGoneDuringInnerLoop = !IsWindow(outer.hWnd) && outer.IsClosed();
            d.DelayAction(2, 30);
        } else {
            d.CloseDialog(22);
        }
    };
    int outerCode;
    {
        ModalWatchdog watchdog;
        outerCode = outer.ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr);
    }
    nested = nullptr;
    EXPECT_TRUE(run.innerEnded);
    EXPECT_TRUE(run.outerGoneDuringInnerLoop);
    EXPECT_EQ(run.innerCode, 22);
    EXPECT_EQ(outerCode, 21);
    EXPECT_TRUE(TakeEndMessages().empty());
}

TEST(DlgOwnLoop, QuitEndsTheLoopAndStaysInTheQueue)
{
    ProbeDlg dlg;
    dlg.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg.atDelayed = [](ProbeDlg&, unsigned long) { PostQuitMessage(33); };
    HWND created = nullptr;
    int code;
    {
        ModalWatchdog watchdog;
        code = dlg.ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr, &created);
    }
    EXPECT_EQ(code, -1);
    EXPECT_EQ(TakeQuit(), 33);
    // The dialog outlives its loop, and its end then ends no later loop.
    ASSERT_TRUE(IsWindow(created));
    DestroyWindow(created);
    EXPECT_TRUE(TakeEndMessages().empty());
}

TEST(DlgOwnLoop, OwnerIsDisabledForTheLoopAndEnabledAfter)
{
    TestWindowKind kind{L"PVDLLDlgOwner"};
    kind.style = WS_POPUP;
    TestWindow owner(kind);
    int ownerEnabledInLoop = -1;
    ProbeDlg dlg;
    dlg.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg.atDelayed = [&](ProbeDlg& d, unsigned long) {
        ownerEnabledInLoop = IsWindowEnabled(owner);
        d.CloseDialog(IDOK);
    };
    // Given a child of the owner, the loop climbs to the pop-up.
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    int code;
    {
        ModalWatchdog watchdog;
        code = dlg.ModelessWithLoop(1, IDD_PLAIN, TestModule(), child);
    }
    EXPECT_EQ(code, IDOK);
    EXPECT_EQ(ownerEnabledInLoop, 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST(DlgOwnLoop, AutoDeletedDialogEndsItsLoopWithItsCode)
{
    auto* dlg = new ProbeDlg;
    dlg->autoDelete = 1;
    dlg->atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg->atDelayed = [](ProbeDlg& d, unsigned long) { d.CloseDialog(14); };
    int before = ProbeDlg::alive;
    int code;
    {
        ModalWatchdog watchdog;
        code = dlg->ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr);
    }
    EXPECT_EQ(code, 14);
    EXPECT_EQ(ProbeDlg::alive, before - 1);
}

TEST(DlgOwnLoop, DialogClosedWhileBeingMadeGivesItsCodeAndNoLoop)
{
    for (int autoDelete = 0; autoDelete < 2; ++autoDelete) {
        auto* dlg = new ProbeDlg;
        dlg->autoDelete = autoDelete;
        dlg->atInit = [](ProbeDlg& d) { d.CloseDialog(8); };
        HWND created = reinterpret_cast<HWND>(1);
        int code;
        {
            ModalWatchdog watchdog;
            code = dlg->ModelessWithLoop(0, IDD_PLAIN, TestModule(), nullptr, &created);
        }
        EXPECT_EQ(code, 8);
        EXPECT_EQ(created, nullptr);
        EXPECT_TRUE(TakeEndMessages().empty());
        if (!autoDelete)
            delete dlg;
    }
}

TEST(DlgOwnLoop, MissingTemplateGivesMinusOne)
{
    ProbeDlg dlg;
    EXPECT_EQ(dlg.ModelessWithLoop(0, 999, TestModule(), nullptr), -1);
    EXPECT_TRUE(TakeEndMessages().empty());
}

TEST(DlgModal, NestedModalDialogsEndInnermostFirst)
{
    std::vector<std::wstring> order;
    ProbeDlg inner;
    inner.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    inner.atDelayed = [&](ProbeDlg& d, unsigned long) {
        order.push_back(L"inner closes");
        d.CloseDialog(3);
    };
    ProbeDlg outer;
    outer.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    outer.atDelayed = [&](ProbeDlg& d, unsigned long) {
        LRESULT innerCode = inner.Modal(IDD_PLAIN, TestModule(), d.hWnd);
        order.push_back(L"inner returned " + std::to_wstring(innerCode));
        // The owner was disabled by the nested dialog and is back.
        order.push_back(IsWindowEnabled(d.hWnd) ? L"outer enabled" : L"outer disabled");
        d.CloseDialog(static_cast<int>(innerCode) + 40);
    };
    LRESULT code;
    {
        ModalWatchdog watchdog;
        code = outer.Modal(IDD_PLAIN, TestModule(), nullptr);
    }
    EXPECT_EQ(code, 43);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"inner closes", L"inner returned 3", L"outer enabled"}));
}
