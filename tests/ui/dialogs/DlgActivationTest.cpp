#include <gtest/gtest.h>

#include <string>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

// Runs pvdlgpeer with arguments while this thread keeps handling its
// messages (the peer sends to our dialogs); its exit code, or -1.
int RunPeer(const std::wstring& arguments)
{
    std::wstring command = L"\"" + ModuleFolder() + L"\\pvdlgpeer.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    CloseHandle(info.hThread);
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount() - start > 20000) {
            TerminateProcess(info.hProcess, 99);
            break;
        }
    }
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

// Takes the activation request for itself.
class SelfActivatingDlg : public ProbeDlg {
public:
    int OnMyCompanyMsg(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        ProbeDlg::OnMyCompanyMsg(wParam, lParam, result);
        if (wParam != ZnDlg::codeActivate)
            return 0;
        *result = 77;
        return 1;
    }
};

} // namespace

TEST(DlgActivation, NothingToActivateWithoutALiveDialog)
{
    {
        ProbeDlg dlg;
        HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
        ASSERT_NE(h, nullptr);
        DestroyWindow(h);
    }
    EXPECT_EQ(ZnDlg::ActivateActiveDlg(), 0);
}

TEST(DlgActivation, LastInitialisedDialogComesBackFromTheTaskbar)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    ShowWindow(h, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(h));
    EXPECT_EQ(ZnDlg::ActivateActiveDlg(), 1);
    EXPECT_FALSE(IsIconic(h));
    EXPECT_EQ(dlg.companyCodes, (std::vector<int>{ZnDlg::codeActivate}));
    DestroyWindow(h);
}

TEST(DlgActivation, DialogMayAnswerTheRequestItself)
{
    SelfActivatingDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    ShowWindow(h, SW_MINIMIZE);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeActivate, 0), 77);
    EXPECT_TRUE(IsIconic(h));
    DestroyWindow(h);
}

TEST(DlgActivation, TemplateQuestionNeedsANonZeroMatchingId)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeIsTemplate, IDD_PLAIN), 1);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeIsTemplate, IDD_HOST), 0);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeIsTemplate, 0), 0);
    // Codes nobody handles are answered 0.
    EXPECT_EQ(SendMyCompanyMsg(h, 3, IDD_PLAIN), 0);
    DestroyWindow(h);

    // A dialog from memory has template id 0, and still says no to 0.
    DLGTEMPLATE empty[2] = {};
    empty[0].style = WS_POPUP;
    ProbeDlg fromMemory;
    ASSERT_TRUE(fromMemory.CreateIndirect(empty, nullptr));
    EXPECT_EQ(fromMemory.GetTemplateID(), 0);
    EXPECT_EQ(SendMyCompanyMsg(fromMemory.hWnd, ZnDlg::codeIsTemplate, 0), 0);
    DestroyWindow(fromMemory.hWnd);
}

TEST(DlgActivation, SecondProcessFindsTheDialogByTemplateAndBringsItForward)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_HOST, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    ShowWindow(h, SW_MINIMIZE);

    // No dialog claims an id nobody uses: nothing moves.
    EXPECT_EQ(RunPeer(L"activate 4242"), 1);
    EXPECT_TRUE(IsIconic(h));

    EXPECT_EQ(RunPeer(L"activate " + std::to_wstring(IDD_HOST)), 0);
    EXPECT_FALSE(IsIconic(h));
    ASSERT_FALSE(dlg.companyCodes.empty());
    EXPECT_EQ(dlg.companyCodes.back(), ZnDlg::codeActivate);
    DestroyWindow(h);
}

namespace {

// A dialog that is single across processes by an id of its own.
class SingleInstanceDlg : public ProbeDlg {
public:
    explicit SingleInstanceDlg(unsigned short id) { SetInstanceId(id); }
};

} // namespace

TEST(DlgActivation, AnInstanceIdIsWhatTheDialogIsFoundAndBroughtForwardBy)
{
    SingleInstanceDlg dlg(4321);
    HWND h = dlg.Modeless(IDD_HOST, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(dlg.GetInstanceId(), 4321);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeIsTemplate, 4321), 1);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeIsTemplate, IDD_HOST), 0) << "the template no longer names it";
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeIsTemplate, 0), 0);

    ShowWindow(h, SW_MINIMIZE);
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeActivateIfId, 1234), 0);
    EXPECT_TRUE(IsIconic(h));
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeActivateIfId, 4321), activationReply);
    EXPECT_FALSE(IsIconic(h));

    // From another process, by the id.
    ShowWindow(h, SW_MINIMIZE);
    EXPECT_EQ(RunPeer(L"activate " + std::to_wstring(IDD_HOST)), 1);
    EXPECT_EQ(RunPeer(L"activate 4321"), 0);
    EXPECT_FALSE(IsIconic(h));
    DestroyWindow(h);
}
