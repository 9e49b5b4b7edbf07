#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

// A control that records its OnOK.
class StoringCtrl : public ZnCtrl {
public:
    void OnOK() override
    {
        ++stored;
        ZnCtrl::OnOK();
    }
    int stored = 0;
};

class CloseTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    void Click(int id)
    {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    }

    ProbeDlg dlg;
    HWND window = nullptr;
};

} // namespace

TEST_F(CloseTest, OkReadsTheDataAsksAndClosesWithOne)
{
    Click(IDOK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dlg.GetResult(), IDOK);
    EXPECT_EQ(dlg.calls[1], L"UpdateControls");
    std::vector<std::wstring> tail(dlg.calls.end() - 4, dlg.calls.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"UpdateData", L"CanClose(1)", L"DoClose(1)", L"OnPostNcDestroy"}));
    EXPECT_TRUE(dlg.IsClosed());
    EXPECT_FALSE(dlg.IsClosing());
}

TEST_F(CloseTest, CancelClosesWithTwoWithoutReadingTheData)
{
    Click(IDCANCEL);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dlg.GetResult(), IDCANCEL);
    EXPECT_EQ(dlg.updateDataCalls, 0);
    EXPECT_EQ(dlg.canCloseCalls, 1);
}

TEST_F(CloseTest, CloseBoxGoesTheCancelWay)
{
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 2000));
    EXPECT_EQ(dlg.GetResult(), IDCANCEL);
    EXPECT_EQ(dlg.updateDataCalls, 0);
}

TEST_F(CloseTest, RefusedCloseKeepsTheDialogOpenAndReadsTheDataAgainNextTime)
{
    dlg.allowClose = 0;
    Click(IDOK);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(dlg.IsClosing());
    EXPECT_FALSE(dlg.IsClosed());
    EXPECT_EQ(dlg.GetResult(), -1);
    EXPECT_EQ(dlg.CloseDialog(8), 0);
    EXPECT_TRUE(IsWindow(window));
    dlg.allowClose = 1;
    Click(IDOK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dlg.updateDataCalls, 2);
    EXPECT_EQ(dlg.canCloseCalls, 3);
}

TEST_F(CloseTest, FailedUpdateDataKeepsOkFromAskingCanClose)
{
    dlg.dataOk = 0;
    Click(IDOK);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(dlg.updateDataCalls, 1);
    EXPECT_EQ(dlg.canCloseCalls, 0);
}

TEST_F(CloseTest, DataReadBeforehandIsNotReadAgainByOk)
{
    EXPECT_TRUE(dlg.UpdateData());
    Click(IDOK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dlg.updateDataCalls, 1);
}

TEST_F(CloseTest, ControlsStoreUnlessTheCodeIsCancel)
{
    struct Case {
        int code;
        int okControls;
        int stored;
    } cases[] = {{7, -1, 1}, {IDCANCEL, -1, 0}, {IDCANCEL, 1, 1}, {5, 0, 0}};
    for (const Case& c : cases) {
        ProbeDlg probe;
        HWND h = probe.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
        ASSERT_NE(h, nullptr);
        StoringCtrl edit;
        ASSERT_TRUE(edit.Init(&probe, IDC_EDIT));
        EXPECT_EQ(probe.CloseDialog(c.code, c.okControls), 1);
        EXPECT_EQ(edit.stored, c.stored) << "code " << c.code << ", okControls " << c.okControls;
        EXPECT_EQ(probe.GetResult(), c.code);
        EXPECT_FALSE(IsWindow(h));
    }
}

TEST(DlgClose, ModalEndsWithTheButtonItWasClosedWith)
{
    ProbeDlg dlg;
    dlg.atInit = [](ProbeDlg& d) { d.DelayAction(1, 10); };
    dlg.atDelayed = [](ProbeDlg& d, unsigned long) { d.SimulateButton(IDOK); };
    ModalWatchdog watchdog;
    EXPECT_EQ(dlg.Modal(IDD_PLAIN, TestModule(), nullptr), IDOK);
    EXPECT_TRUE(dlg.WereControlsUpdated());
}

TEST(DlgClose, DialogWithoutPlacementRecordClosesWithoutOne)
{
    ProbeDlg dlg;
    dlg.EnableResizing(ZnDlg::flagResizable, nullptr);
    HWND h = dlg.Modeless(IDD_RESIZABLE, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(dlg.placement, nullptr);
    EXPECT_EQ(dlg.CloseDialog(IDOK), 1);
    EXPECT_FALSE(IsWindow(h));
}

TEST(DlgClose, PlacementRecordReceivesTheWindowOnClose)
{
    MyWindowPlacement record;
    ProbeDlg dlg;
    dlg.EnableResizing(ZnDlg::flagResizable, &record);
    HWND h = dlg.Modeless(IDD_RESIZABLE, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    SetWindowPos(h, nullptr, 40, 30, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rect;
    GetWindowRect(h, &rect);
    EXPECT_EQ(dlg.CloseDialog(IDOK), 1);
    EXPECT_EQ(record.length, sizeof(WINDOWPLACEMENT));
    EXPECT_EQ(record.rcNormalPosition.left, rect.left);
    EXPECT_EQ(record.rcNormalPosition.top, rect.top);
    EXPECT_EQ(record.rcNormalPosition.right - record.rcNormalPosition.left, 400);
    EXPECT_EQ(record.rcNormalPosition.bottom - record.rcNormalPosition.top, 300);
}
