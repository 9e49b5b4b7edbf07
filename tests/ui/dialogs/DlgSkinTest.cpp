// What the dialog does with its skin: the drag hook comes with a shown
// skin, controls show the skin behind them and tell it of the focus,
// pages show the skin of the dialog that holds them, and the skin lets go
// of a dialog that goes.
#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "SkinDialogs.h"
#include "SkinSupport.h"

using namespace TestSkin;

namespace {

// The skin with its drawing-suspended mark in view.
class LoopSkin : public ZnDlgSkin {
public:
    using ZnDlgSkin::ZnDlgSkin;
    int Suspended() const { return drawingSuspended; }
};

class DlgSkinTest : public testing::Test {
protected:
    void SetUp() override
    {
        skin.AddAreas(GetSkinAreas(kindWindow));
        wnd = dlg.Modeless(IDD_SKIN_TEST, TestModule(), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
        ASSERT_TRUE(dlg.IsSkinSet());
    }
    void TearDown() override
    {
        if (IsWindow(wnd))
            DestroyWindow(wnd);
    }
    // The whole skin as the dialog draws its background now.
    void DrawWhole(Canvas& canvas) { SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0); }
    RECT ClientRectOf(HWND child)
    {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // A push button of the dialog with the id of a skin area.
    HWND AddButton(int id)
    {
        return CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 70, 40, 14, wnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    TestSkinMode mode;
    LoopSkin skin{GetSkinMetrics(kindWindow)};
    ProbeDlg dlg{&skin};
    HWND wnd = nullptr;
};

} // namespace

TEST_F(DlgSkinTest, ShownSkinBringsTheDragHook)
{
    EXPECT_TRUE(dlg.IsFullDrag());
    EXPECT_EQ(skin.GetDlg(), &dlg);
    // A plain dialog is not dragged by its body.
    ProbeDlg plain;
    HWND h = plain.Modeless(IDD_SKIN_TEST, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(plain.IsFullDrag());
    DestroyWindow(h);
}

TEST_F(DlgSkinTest, HiddenAreaIsPartOfTheDraggableBody)
{
    RECT window, close;
    GetWindowRect(wnd, &window);
    ASSERT_TRUE(skin.GetAreaRect(areaClose, &close));
    LPARAM at = MAKELPARAM(window.left + close.left + 2, window.top + close.top + 2);
    EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, at), HTCLIENT);
    skin.ShowArea(areaClose, 0);
    EXPECT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, at), HTCAPTION);
}

TEST_F(DlgSkinTest, StaticControlShowsTheSkinBehindIt)
{
    HWND text = GetDlgItem(wnd, IDC_SKIN_TEXT);
    ASSERT_NE(dlg.GetDlgCtrl(IDC_SKIN_TEXT), nullptr);
    RECT r = ClientRectOf(text);
    RECT client;
    GetClientRect(wnd, &client);
    Canvas whole(client.right, client.bottom, RGB(1, 1, 1));
    DrawWhole(whole);

    Canvas behind(r.right - r.left, r.bottom - r.top, RGB(1, 1, 1));
    LRESULT brush
        = SendMessageW(wnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(behind.dc), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetTextColor(behind.dc), textColor);
    EXPECT_EQ(GetBkMode(behind.dc), TRANSPARENT);
    std::string where;
    EXPECT_EQ(CountDifferences(
                  behind, [&](int x, int y) { return whole.At(r.left + x, r.top + y); }, &where),
        0)
        << where;
}

TEST_F(DlgSkinTest, FocusOnAControlMarksTheAreaOfItsId)
{
    HWND button = AddButton(areaMiddleButton);
    ASSERT_NE(button, nullptr);
    ZnCtrl control;
    ASSERT_TRUE(control.Init(&dlg, areaMiddleButton));
    ZnDlgSkinArea* area = skin.FindArea(areaMiddleButton);
    ASSERT_NE(area, nullptr);
    SendMessageW(button, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(area->IsFocus());
    EXPECT_EQ(skin.GetFocusArea(), area);
    SendMessageW(button, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(area->IsFocus());
    EXPECT_EQ(skin.GetFocusArea(), nullptr);
    control.Unsubclass();
}

TEST_F(DlgSkinTest, PageShowsTheSkinOfItsHost)
{
    ZnDlgChild page;
    ASSERT_TRUE(page.Init(&dlg, IDD_PAGE, 0, TestModule(), 1));
    EXPECT_EQ(page.GetSkin(), nullptr);
    EXPECT_EQ(page.GetDisplaySkin(), &skin);
    SetWindowPos(page.hWnd, nullptr, 12, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r = ClientRectOf(page.hWnd);
    RECT client;
    GetClientRect(wnd, &client);
    Canvas whole(client.right, client.bottom, RGB(1, 1, 1));
    DrawWhole(whole);
    Canvas behind(r.right - r.left, r.bottom - r.top, RGB(1, 1, 1));
    EXPECT_TRUE(SendMessageW(page.hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(behind.dc), 0));
    std::string where;
    EXPECT_EQ(CountDifferences(
                  behind, [&](int x, int y) { return whole.At(r.left + x, r.top + y); }, &where),
        0)
        << where;
    // The page's statics take the skin's colours as well.
    HDC dc = CreateCompatibleDC(nullptr);
    HWND edit = page.GetDlgItem(IDC_PAGE_EDIT);
    SendMessageW(page.hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(GetTextColor(dc), textColor);
    DeleteDC(dc);
}

TEST_F(DlgSkinTest, SkinHearsOfMoveAndSizeLoopsOnlyWhenAsked)
{
    SendMessageW(wnd, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(skin.Suspended(), 0);
    SendMessageW(wnd, WM_EXITSIZEMOVE, 0, 0);
    dlg.SetFlags(ZnDlg::flagSkinSizeLoops, 1);
    SendMessageW(wnd, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(skin.Suspended(), 1);
    SendMessageW(wnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(skin.Suspended(), 0);
}

TEST(DlgSkinLife, SkinLetsGoOfADialogObjectThatGoes)
{
    TestSkinMode mode;
    ZnDlgSkin skin(GetSkinMetrics(kindWindow));
    HWND h;
    {
        ProbeDlg dlg(&skin);
        h = dlg.Modeless(IDD_SKIN_TEST, TestModule(), nullptr, 1);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(skin.GetDlg(), &dlg);
        DestroyWindow(h);
    }
    EXPECT_EQ(skin.GetDlg(), nullptr);
}
