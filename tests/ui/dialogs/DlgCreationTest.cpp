#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

// Records the window messages its object sees and when it was bound.
class BindingDlg : public ZnDlg {
public:
    void PreInit() override
    {
        ++preInits;
        boundOnThread = GetWindowThreadProcessId(hWnd, nullptr);
    }
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        windowMessages.push_back(msg);
        return ZnDlg::OnWndMessage(msg, wParam, lParam);
    }
    bool Saw(UINT msg) const
    {
        for (UINT seen : windowMessages)
            if (seen == msg)
                return true;
        return false;
    }

    int preInits = 0;
    DWORD boundOnThread = 0;
    std::vector<UINT> windowMessages;
};

// A memory template of one dialog with one push button (id 77), laid out
// as DLGTEMPLATE wants it: the header, then menu, class and title (all
// empty), then each item DWORD-aligned.
std::vector<WORD> MemoryTemplate()
{
    std::vector<WORD> words;
    auto put = [&](const void* data, size_t bytes) {
        const WORD* w = static_cast<const WORD*>(data);
        words.insert(words.end(), w, w + bytes / 2);
    };
    DLGTEMPLATE head = {};
    head.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    head.cdit = 1;
    head.cx = 120;
    head.cy = 60;
    put(&head, sizeof(head));
    words.push_back(0); // menu
    words.push_back(0); // class
    words.push_back(0); // title
    if (words.size() % 2)
        words.push_back(0);
    DLGITEMTEMPLATE item = {};
    item.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    item.x = 10;
    item.y = 10;
    item.cx = 50;
    item.cy = 14;
    item.id = 77;
    put(&item, sizeof(item));
    words.push_back(0xFFFF);
    words.push_back(0x0080); // Button
    for (const wchar_t* t = L"Press"; *t; ++t)
        words.push_back(static_cast<WORD>(*t));
    words.push_back(0);
    words.push_back(0); // no creation data
    return words;
}

} // namespace

TEST(DlgCreation, ModalReturnsTheCodeTheDialogClosedWith)
{
    ProbeDlg dlg;
    dlg.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg.atDelayed = [](ProbeDlg& d, unsigned long) { d.CloseDialog(42); };
    LRESULT code;
    {
        ModalWatchdog watchdog;
        code = dlg.Modal(IDD_PLAIN, TestModule(), nullptr);
    }
    EXPECT_EQ(code, 42);
    EXPECT_EQ(dlg.GetResult(), 42);
    EXPECT_TRUE(dlg.IsClosed());
    EXPECT_EQ(dlg.GetTemplateID(), IDD_PLAIN);
    ASSERT_FALSE(dlg.calls.empty());
    EXPECT_EQ(dlg.calls.front(), L"OnInitDialog");
    EXPECT_EQ(dlg.calls.back(), L"OnPostNcDestroy");
    EXPECT_EQ(dlg.hWnd, nullptr);
}

// The library has no dialog template 201; the test executable has. A
// negative id, and a null module, both send the lookup to the library.
TEST(DlgCreation, NegativeIdOrNullModuleNameTheLibrarysTemplates)
{
    ModalWatchdog watchdog;
    ProbeDlg dlg;
    EXPECT_EQ(dlg.Modal(-IDD_PLAIN, TestModule(), nullptr), -1);
    EXPECT_EQ(dlg.GetModule(), hiDLL);
    EXPECT_EQ(dlg.Modal(IDD_PLAIN, nullptr, nullptr), -1);
    EXPECT_EQ(dlg.Modeless(-IDD_PLAIN, TestModule(), nullptr, 0), nullptr);
    EXPECT_TRUE(dlg.calls.empty());
    EXPECT_EQ(ZnDlg::GetPendingDlg(), nullptr);
}

TEST(DlgCreation, ObjectIsBoundBeforeTheWindowsFirstMessage)
{
    BindingDlg dlg;
    HWND made = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(dlg.preInits, 1);
    EXPECT_TRUE(dlg.Saw(WM_NCCREATE));
    EXPECT_TRUE(dlg.Saw(WM_CREATE));
    EXPECT_TRUE(dlg.IsInitialized());
    EXPECT_EQ(ZnWnd::FromHandle(made), &dlg);
    EXPECT_EQ(GetPropW(made, L"ZNDLG"), &dlg);
    DestroyWindow(made);
    EXPECT_EQ(dlg.hWnd, nullptr);
    EXPECT_EQ(GetPropW(made, L"ZNDLG"), nullptr);
}

TEST(DlgCreation, ModalBindsAsWellWhileACallerHoldsTheCreationHook)
{
    ZnDlg::SetDlgHook(1);
    ZnDlg::SetDlgHook(1);
    ProbeDlg dlg;
    dlg.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg.atDelayed = [](ProbeDlg& d, unsigned long) { d.CloseDialog(5); };
    {
        ModalWatchdog watchdog;
        EXPECT_EQ(dlg.Modal(IDD_PLAIN, TestModule(), nullptr), 5);
    }
    ZnDlg::SetDlgHook(0);
    ZnDlg::SetDlgHook(0);
    // One release too many is ignored.
    ZnDlg::SetDlgHook(0);
    ProbeDlg after;
    HWND made = after.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(after.IsInitialized());
    DestroyWindow(made);
}

TEST(DlgCreation, FailedCreationLeavesNothingPending)
{
    ProbeDlg missing;
    EXPECT_EQ(missing.Modeless(999, TestModule(), nullptr, 1), nullptr);
    EXPECT_EQ(ZnDlg::GetPendingDlg(), nullptr);
    // A message box made now is not taken for the failed dialog.
    ProbeDlg next;
    HWND made = next.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(missing.hWnd, nullptr);
    EXPECT_TRUE(missing.calls.empty());
    DestroyWindow(made);
}

TEST(DlgCreation, CreateIndirectMakesAModelessDialogFromMemory)
{
    std::vector<WORD> words = MemoryTemplate();
    ProbeDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr));
    ASSERT_NE(dlg.hWnd, nullptr);
    EXPECT_TRUE(dlg.IsInitialized());
    EXPECT_TRUE(dlg.IsModeless());
    EXPECT_EQ(dlg.GetTemplateID(), 0);
    EXPECT_EQ(dlg.GetModule(), hiDLL);
    EXPECT_NE(dlg.GetDlgItem(77), nullptr);
    EXPECT_NE(dlg.GetDlgCtrl(77), nullptr);
    EXPECT_EQ(dlg.CreateIndirect(nullptr, nullptr), 0);
    HWND made = dlg.hWnd;
    EXPECT_TRUE(dlg.CloseDialog(3));
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(dlg.GetResult(), 3);
}

// Dialogs made on two threads at once each bind the object of their own
// thread: the pending slot and the creation hook belong to a thread.
TEST(DlgCreation, EveryThreadBindsItsOwnDialogs)
{
    std::atomic<int> wrong{0};
    std::atomic<int> made{0};
    auto work = [&] {
        for (int i = 0; i < 30; ++i) {
            BindingDlg dlg;
            HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
            if (!h || dlg.preInits != 1 || dlg.boundOnThread != GetCurrentThreadId() || dlg.hWnd != h
                || ZnWnd::FromHandle(h) != &dlg)
                ++wrong;
            else
                ++made;
            if (h)
                DestroyWindow(h);
        }
    };
    // A system thread, not std::thread: winpthread's own clean-up at thread
    // exit has been seen to trip over the heap under Wine.
    struct Thunk {
        static DWORD WINAPI Run(void* fn)
        {
            (*static_cast<decltype(work)*>(fn))();
            return 0;
        }
    };
    KernelHandle other(CreateThread(nullptr, 0, &Thunk::Run, &work, 0, nullptr));
    ASSERT_TRUE(other);
    work();
    WaitForSingleObject(other.Get(), INFINITE);
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(made.load(), 60);
}

TEST(DlgCreation, KindsAnswerForDialogAndWindow)
{
    ZnDlg dlg;
    EXPECT_TRUE(dlg.IsKindOf(L"ZnDlg"));
    EXPECT_TRUE(dlg.IsKindOf(L"ZnWnd"));
    EXPECT_FALSE(dlg.IsKindOf(L"ZnCtrl"));
    EXPECT_FALSE(dlg.IsKindOf(nullptr));
    EXPECT_TRUE(dlg.IsDlg());
    EXPECT_EQ(dlg.GetResult(), -1);
    EXPECT_FALSE(dlg.IsValid());
}

// --- auto-deleted dialogs: nothing of the object is touched once its window is gone ---

TEST(DlgAutoDelete, ModalReturnsTheCodeAfterTheObjectIsGone)
{
    auto* dlg = new ProbeDlg;
    dlg->autoDelete = 1;
    dlg->atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg->atDelayed = [](ProbeDlg& d, unsigned long) { d.CloseDialog(9); };
    int before = ProbeDlg::alive;
    ModalWatchdog watchdog;
    EXPECT_EQ(dlg->Modal(IDD_PLAIN, TestModule(), nullptr), 9);
    EXPECT_EQ(ProbeDlg::alive, before - 1);
}

TEST(DlgAutoDelete, ModelessClosedFromOutsideAnyMessageIsDeleted)
{
    auto* dlg = new ProbeDlg;
    dlg->autoDelete = 1;
    int before = ProbeDlg::alive;
    HWND made = dlg->Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(dlg->CloseDialog(4), 1);
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(ProbeDlg::alive, before - 1);
}

TEST(DlgAutoDelete, ModelessClosedByItsOwnButtonIsDeletedAfterTheMessage)
{
    auto* dlg = new ProbeDlg;
    dlg->autoDelete = 1;
    int before = ProbeDlg::alive;
    HWND made = dlg->Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(made, nullptr);
    SendMessageW(made, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(made, IDOK)));
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(ProbeDlg::alive, before - 1);
}

TEST(DlgAutoDelete, DialogThatClosesWhileBeingMadeTakesItsObjectAlong)
{
    auto* dlg = new ProbeDlg;
    dlg->autoDelete = 1;
    dlg->atInit = [](ProbeDlg& d) { d.CloseDialog(6); };
    int before = ProbeDlg::alive;
    EXPECT_EQ(dlg->Modeless(IDD_PLAIN, TestModule(), nullptr, 1), nullptr);
    EXPECT_EQ(ProbeDlg::alive, before - 1);
    EXPECT_EQ(ZnDlg::GetPendingDlg(), nullptr);
}

// An object deleted before its window: the window stays a plain dialog,
// and the next dialog made is not taken for it.
TEST(DlgObjectGone, WindowOutlivingItsObjectStaysPlain)
{
    auto* first = new ProbeDlg;
    HWND orphan = first->Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(orphan, nullptr);
    delete first;
    EXPECT_EQ(GetPropW(orphan, L"ZNDLG"), nullptr);
    EXPECT_EQ(ZnWnd::FromHandle(orphan), nullptr);
    SendMessageW(orphan, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(orphan));

    ProbeDlg next;
    HWND made = next.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(made, nullptr);
    SendMessageW(orphan, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(next.hWnd, made);
    EXPECT_EQ(GetPropW(orphan, L"ZNDLG"), nullptr);
    DestroyWindow(made);
    DestroyWindow(orphan);
}
