#include <gtest/gtest.h>

#include <string>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

class ItemsTest : public testing::Test {
protected:
    void Make(int templateId)
    {
        window = dlg.Modeless(templateId, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    std::wstring Text(int id)
    {
        wchar_t text[256] = {};
        dlg.GetDlgItemTextW(id, text, 256);
        return text;
    }
    RECT Rect(int id)
    {
        RECT r = {};
        dlg.GetDlgItemRect(id, &r);
        return r;
    }
    SIZE WindowSize()
    {
        RECT r;
        GetWindowRect(window, &r);
        return {r.right - r.left, r.bottom - r.top};
    }

    ProbeDlg dlg;
    HWND window = nullptr;
};

} // namespace

TEST_F(ItemsTest, RadioButtonsAndCheckBoxes)
{
    Make(IDD_RADIOS);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_RADIO1, IDC_RADIO3), 0);
    dlg.CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO2);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_RADIO1, IDC_RADIO3), IDC_RADIO2);
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_RADIO2));
    dlg.CheckDlgButton(IDC_RADIO2, BST_UNCHECKED);
    EXPECT_FALSE(dlg.IsDlgButtonChecked(IDC_RADIO2));
}

TEST_F(ItemsTest, TextsNumbersAndFormats)
{
    Make(IDD_RADIOS);
    EXPECT_TRUE(dlg.SetDlgItemInt(IDC_EDIT, static_cast<UINT>(-12), 1));
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(dlg.GetDlgItemInt(IDC_EDIT, &ok, 1)), -12);
    EXPECT_TRUE(ok);
    EXPECT_EQ(dlg.GetDlgItemTextLength(IDC_EDIT), 3);
    dlg.SetDlgItemTextFmt(IDC_LABEL, L"%s has %d items", L"Basket", 3);
    EXPECT_EQ(Text(IDC_LABEL), L"Basket has 3 items");
    dlg.SetDlgItemTextFmt(IDC_LABEL, TestModule(), IDS_TIP);
    EXPECT_EQ(Text(IDC_LABEL), L"A tip from the string table");
    // Without a module: the library's own texts.
    dlg.SetDlgItemTextW(IDC_LABEL, 20022);
    EXPECT_EQ(Text(IDC_LABEL), L"&About...");
    dlg.SetDlgItemTextW(IDC_LABEL, static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(Text(IDC_LABEL), L"");
}

TEST_F(ItemsTest, EnablingShowingAndTurning)
{
    Make(IDD_RADIOS);
    dlg.HideDlgItem(IDC_BUTTON_B);
    EXPECT_FALSE(dlg.IsDlgItemVisible(IDC_BUTTON_B));
    EXPECT_FALSE(dlg.IsDlgItemEnabled(IDC_BUTTON_B));
    dlg.TurnDlgItem(IDC_BUTTON_B, 1);
    EXPECT_TRUE(dlg.IsDlgItemVisible(IDC_BUTTON_B));
    EXPECT_TRUE(dlg.IsDlgItemEnabled(IDC_BUTTON_B));
    dlg.EnableDlgItems(IDC_RADIO1, IDC_RADIO3, 0);
    EXPECT_FALSE(dlg.IsDlgItemEnabled(IDC_RADIO2));
    dlg.ShowDlgItems(IDC_RADIO1, IDC_RADIO3, 0);
    EXPECT_FALSE(dlg.IsDlgItemVisible(IDC_RADIO3));
    EXPECT_FALSE(dlg.IsDlgItemVisible(4242));
}

TEST_F(ItemsTest, DefaultButtonMovesAndTheOldOneLosesItsLook)
{
    Make(IDD_RADIOS);
    EXPECT_EQ(LOWORD(SendMessageW(window, DM_GETDEFID, 0, 0)), IDC_BUTTON_A);
    dlg.SetDlgDefaulButton(IDC_BUTTON_B);
    EXPECT_EQ(LOWORD(SendMessageW(window, DM_GETDEFID, 0, 0)), IDC_BUTTON_B);
    EXPECT_FALSE(GetWindowLongPtrW(dlg.GetDlgItem(IDC_BUTTON_A), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

TEST_F(ItemsTest, SimulatedButtonIsClickedOnceTheQueueIsHandled)
{
    Make(IDD_RADIOS);
    dlg.SimulateButton(IDC_BUTTON_B);
    EXPECT_TRUE(dlg.clicked.empty());
    PumpUntil([&] { return !dlg.clicked.empty(); }, 1000);
    EXPECT_EQ(dlg.clicked, (std::vector<unsigned short>{IDC_BUTTON_B}));
}

TEST_F(ItemsTest, ControlsMoveToSlotsAndAlongEdges)
{
    Make(IDD_RADIOS);
    RECT slot = Rect(IDC_LABEL);
    RECT a = Rect(IDC_BUTTON_A);
    dlg.MoveCtrlToSlot(IDC_BUTTON_A, IDC_LABEL);
    RECT moved = Rect(IDC_BUTTON_A);
    EXPECT_EQ(moved.left, slot.left);
    EXPECT_EQ(moved.top, slot.top);
    EXPECT_EQ(moved.right - moved.left, a.right - a.left);

    dlg.MoveButtonToSlot(IDC_BUTTON_B, IDC_LABEL);
    RECT b = Rect(IDC_BUTTON_B);
    EXPECT_EQ(b.right, slot.right);
    EXPECT_EQ(b.top, slot.top);

    dlg.MoveResizeCtrlToSlot(IDC_BUTTON_A, IDC_EDIT);
    RECT edit = Rect(IDC_EDIT);
    moved = Rect(IDC_BUTTON_A);
    EXPECT_TRUE(EqualRect(&moved, &edit));

    dlg.MoveCtrl(IDC_BUTTON_A, 5, 7);
    dlg.MoveCtrlEdge(IDC_BUTTON_A, 2, 10);
    moved = Rect(IDC_BUTTON_A);
    EXPECT_EQ(moved.left, edit.left + 5);
    EXPECT_EQ(moved.top, edit.top + 7);
    EXPECT_EQ(moved.right, edit.right + 15);

    dlg.CenterDlgItem(IDC_BUTTON_B, IDC_LABEL);
    b = Rect(IDC_BUTTON_B);
    EXPECT_EQ((b.left + b.right) / 2, (slot.left + slot.right) / 2);
    dlg.AlignDlgItems(IDC_RADIO1, IDC_RADIO3);
    EXPECT_EQ(Rect(IDC_RADIO3).left, Rect(IDC_RADIO1).left);
}

TEST_F(ItemsTest, SpinRange)
{
    Make(IDD_RADIOS);
    dlg.SetSpinRange(IDC_SPIN, -5, 250);
    int low = 0, high = 0;
    dlg.SendDlgItemMsg(IDC_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, -5);
    EXPECT_EQ(high, 250);
}

TEST_F(ItemsTest, HiddenGroupTakesTheControlsBelowUpAndShrinksTheDialog)
{
    Make(IDD_GROUPS);
    RECT label = Rect(IDC_LABEL);
    RECT first = Rect(IDC_GROUP_FIRST);
    RECT next = Rect(IDC_GROUP_NEXT);
    RECT below = Rect(IDC_GROUP_BELOW);
    SIZE size = WindowSize();
    dlg.AddCtrlGroup(IDC_GROUP_FIRST, IDC_GROUP_LAST, IDC_GROUP_NEXT);
    ZnCtrlGroup* group = dlg.FindCtrlGroup(IDC_GROUP_FIRST);
    ASSERT_NE(group, nullptr);
    int height = next.top - first.top;
    EXPECT_EQ(group->height, height);

    dlg.ShowCtrlGroup(IDC_GROUP_FIRST, 0);
    EXPECT_FALSE(dlg.IsDlgItemVisible(IDC_GROUP_FIRST));
    EXPECT_FALSE(dlg.IsDlgItemVisible(IDC_GROUP_LAST));
    EXPECT_EQ(Rect(IDC_GROUP_NEXT).top, next.top - height);
    EXPECT_EQ(Rect(IDC_GROUP_BELOW).top, below.top - height);
    EXPECT_EQ(Rect(IDC_LABEL).top, label.top);
    EXPECT_EQ(WindowSize().cy, size.cy - height);
    // Hiding twice changes nothing.
    dlg.ShowCtrlGroup(IDC_GROUP_FIRST, 0);
    EXPECT_EQ(WindowSize().cy, size.cy - height);

    dlg.ShowCtrlGroup(IDC_GROUP_FIRST, 1);
    EXPECT_TRUE(dlg.IsDlgItemVisible(IDC_GROUP_LAST));
    EXPECT_EQ(Rect(IDC_GROUP_NEXT).top, next.top);
    EXPECT_EQ(Rect(IDC_GROUP_BELOW).top, below.top);
    EXPECT_EQ(WindowSize().cy, size.cy);
}

TEST(DlgGroups, GroupAddedBeforeTheDialogIsMeasuredAtTheFirstShow)
{
    ProbeDlg dlg;
    dlg.AddCtrlGroup(IDC_GROUP_FIRST, IDC_GROUP_LAST, IDC_GROUP_NEXT);
    EXPECT_EQ(dlg.FindCtrlGroup(IDC_GROUP_FIRST)->height, 0);
    HWND h = dlg.Modeless(IDD_GROUPS, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    RECT first, next;
    dlg.GetDlgItemRect(IDC_GROUP_FIRST, &first);
    dlg.GetDlgItemRect(IDC_GROUP_NEXT, &next);
    EXPECT_EQ(dlg.FindCtrlGroup(IDC_GROUP_FIRST)->height, next.top - first.top);
    EXPECT_EQ(dlg.FindCtrlGroup(IDC_LABEL), nullptr);
    DestroyWindow(h);
}

TEST(DlgColors, CustomBackgroundBrushAnswersEveryControlColour)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HWND label = dlg.GetDlgItem(IDC_LABEL);
    auto colourOf = [](LRESULT brush) {
        LOGBRUSH look = {};
        GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(look), &look);
        return look.lbColor;
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(
        colourOf(SendMessageW(h, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h))), face);
    dlg.SetDlgColors(RGB(10, 20, 30), RGB(200, 100, 50), 0xFFFFFFFF);
    LRESULT brush = SendMessageW(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    ASSERT_NE(brush, 0);
    EXPECT_EQ(colourOf(brush), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 100, 50));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(dlg.GetBkgColor(), RGB(10, 20, 30));
    dlg.SetDlgColors(0xFFFFFFFF, 0, 0);
    EXPECT_EQ(
        colourOf(SendMessageW(h, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h))), face);
    DeleteDC(dc);
    DestroyWindow(h);
}
