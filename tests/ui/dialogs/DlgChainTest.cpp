#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

// A modeless plain dialog for the length of a test.
class ChainTest : public PlainDlgTest {
protected:
    LRESULT SendApp(UINT msg = WM_APP) { return SendMessageW(window, msg, 0, 0); }

    std::vector<std::wstring> log;
};

} // namespace

TEST_F(ChainTest, HookAddedAfterConstructionSeesMessagesBeforeTheBuiltInHandler)
{
    RecordingHook hook(L"hook");
    hook.watched = WM_COMMAND;
    size_t clicksWhenSeen = 99;
    hook.onWatched = [&](ZnDlg*, WPARAM, LPARAM) { clicksWhenSeen = dlg.clicked.size(); };
    dlg.AddDlgHook(&hook);
    SendMessageW(
        window, WM_COMMAND, MAKEWPARAM(IDC_CHECK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_CHECK)));
    EXPECT_EQ(hook.seen, 1);
    EXPECT_EQ(clicksWhenSeen, 0u);
    ASSERT_EQ(dlg.clicked.size(), 1u);
    EXPECT_EQ(dlg.clicked[0], IDC_CHECK);
    dlg.RemoveDlgHook(&hook);
}

TEST_F(ChainTest, HookThatAnswersSuppressesTheVirtualHandlers)
{
    RecordingHook hook(L"hook");
    hook.watched = WM_COMMAND;
    hook.answer = true;
    hook.answerValue = 7;
    dlg.AddDlgHook(&hook);
    LRESULT answer = SendMessageW(
        window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(GetWindowLongPtrW(window, DWLP_MSGRESULT), 7);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(dlg.canCloseCalls, 0);
    EXPECT_TRUE(dlg.clicked.empty());
    dlg.RemoveDlgHook(&hook);
}

TEST_F(ChainTest, NewestHookIsAskedFirstAndDoDlgMessageRunsTheRest)
{
    RecordingHook older(L"older", &log);
    RecordingHook newer(L"newer", &log);
    older.AddToDlg(&dlg);
    newer.AddToDlg(&dlg);
    SendApp();
    EXPECT_EQ(log, (std::vector<std::wstring>{L"newer", L"older"}));

    // Behind `newer` only `older` (and the built-in handler) are asked.
    log.clear();
    older.answer = true;
    older.answerValue = 31;
    EXPECT_EQ(dlg.DoDlgMessage(WM_APP, 0, 0, &newer), 31);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"older"}));
    log.clear();
    EXPECT_EQ(dlg.DoDlgMessage(WM_APP, 0, 0, &older), 0);
    EXPECT_TRUE(log.empty());
    newer.RemoveFromDlg(&dlg);
    older.RemoveFromDlg(&dlg);
    SendApp();
    EXPECT_TRUE(log.empty());
}

TEST_F(ChainTest, HookMayRemoveAndDeleteAnotherDuringTheWalk)
{
    auto* victim = new RecordingHook(L"victim", &log);
    RecordingHook remover(L"remover", &log);
    dlg.AddDlgHook(victim);
    dlg.AddDlgHook(&remover);
    remover.onWatched = [&](ZnDlg* d, WPARAM, LPARAM) {
        d->RemoveDlgHook(victim);
        delete victim;
        d->RemoveDlgHook(&remover);
    };
    SendApp();
    EXPECT_EQ(log, (std::vector<std::wstring>{L"remover"}));
    log.clear();
    SendApp();
    EXPECT_TRUE(log.empty());
    // The built-in handler is still there.
    EXPECT_EQ(SendMyCompanyMsg(window, ZnDlg::codeIsTemplate, IDD_PLAIN), 1);
}

TEST_F(ChainTest, RemovingAllHooksWaitsForTheOutermostWalk)
{
    RecordingHook oldest(L"oldest", &log);
    RecordingHook inner(L"inner", &log);
    RecordingHook outer(L"outer", &log);
    inner.watched = WM_APP + 1;
    oldest.AddToDlg(&dlg);
    inner.AddToDlg(&dlg);
    outer.AddToDlg(&dlg);
    inner.onWatched = [](ZnDlg* d, WPARAM, LPARAM) { d->RemoveAllDlgHooks(); };
    // The outer walk sends a second message; its walk asks for removal.
    outer.onWatched = [&](ZnDlg*, WPARAM, LPARAM) { SendApp(WM_APP + 1); };
    SendApp();
    EXPECT_EQ(log, (std::vector<std::wstring>{L"outer", L"inner", L"oldest"}));
    log.clear();
    SendApp();
    SendApp(WM_APP + 1);
    EXPECT_TRUE(log.empty());
    // The dialog's own handling stays.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dlg.GetResult(), IDCANCEL);
}
