#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"

namespace {

SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return {};
    BITMAP bits = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bits), &bits);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {bits.bmWidth, info.hbmColor ? bits.bmHeight : bits.bmHeight / 2};
}

class CaptionButtonsTest : public testing::Test {
protected:
    void SetUp() override
    {
        dlg.atInit = [this](ProbeDlg& d) {
            close.Init(&d, IDC_CLOSE_BTN);
            minimize.Init(&d, IDC_MIN_BTN);
        };
        window = dlg.Modeless(IDD_CAPTION_BTNS, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    void Click(ZnCtrl& button)
    {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(button.GetID(), BN_CLICKED), reinterpret_cast<LPARAM>(button.hWnd));
    }

    ProbeDlg dlg;
    ZnCloseBtnForDlg close;
    ZnMinimizeBtnForDlg minimize;
    HWND window = nullptr;
};

} // namespace

TEST_F(CaptionButtonsTest, ButtonsShowTheLibrarysIconsAtSmallIconSize)
{
    const SIZE small = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    for (ZnCaptionBtnForDlg* button :
        {static_cast<ZnCaptionBtnForDlg*>(&close), static_cast<ZnCaptionBtnForDlg*>(&minimize)}) {
        for (int hot = 0; hot < 2; ++hot) {
            HICON icon = button->GetIcon(hot);
            ASSERT_NE(icon, nullptr);
            SIZE size = IconSize(icon);
            EXPECT_EQ(size.cx, small.cx);
            EXPECT_EQ(size.cy, small.cy);
        }
    }
    EXPECT_NE(close.GetIcon(0), close.GetIcon(1));
}

TEST_F(CaptionButtonsTest, CloseButtonClosesTheCancelWay)
{
    Click(close);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 2000));
    EXPECT_EQ(dlg.GetResult(), IDCANCEL);
}

TEST_F(CaptionButtonsTest, MinimiseButtonMinimises)
{
    Click(minimize);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(CaptionButtonsTest, PressedCloseButtonDrawsItsHotLook)
{
    const int size = 20;
    Canvas normal(size, size), pressed(size, size);
    DRAWITEMSTRUCT item = ButtonDrawItem(close.hWnd, normal);
    SendMessageW(window, WM_DRAWITEM, IDC_CLOSE_BTN, reinterpret_cast<LPARAM>(&item));
    item = ButtonDrawItem(close.hWnd, pressed, ODS_SELECTED);
    SendMessageW(window, WM_DRAWITEM, IDC_CLOSE_BTN, reinterpret_cast<LPARAM>(&item));
    SavePng(L"dlg-close-button-normal", normal.Pixels().data(), size, size);
    SavePng(L"dlg-close-button-pressed", pressed.Pixels().data(), size, size);
    // The hot close icon has a red ground; the normal one shows the face.
    const int corner = (size - GetSystemMetrics(SM_CXSMICON)) / 2 + 1;
    EXPECT_EQ(normal.At(corner, corner), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pressed.At(corner, corner), RGB(196, 43, 28));
}

TEST_F(CaptionButtonsTest, HoveredCloseButtonShowsItsHotIconButNoHandCursor)
{
    const int size = 20;
    Canvas hovered(size, size), left(size, size);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(close.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    DRAWITEMSTRUCT item = ButtonDrawItem(close.hWnd, hovered);
    SendMessageW(window, WM_DRAWITEM, IDC_CLOSE_BTN, reinterpret_cast<LPARAM>(&item));
    SendMessageW(close.hWnd, WM_MOUSELEAVE, 0, 0);
    item = ButtonDrawItem(close.hWnd, left);
    SendMessageW(window, WM_DRAWITEM, IDC_CLOSE_BTN, reinterpret_cast<LPARAM>(&item));
    SavePng(L"dlg-close-button-hovered", hovered.Pixels().data(), size, size);
    const int corner = (size - GetSystemMetrics(SM_CXSMICON)) / 2 + 1;
    EXPECT_EQ(hovered.At(corner, corner), RGB(196, 43, 28));
    EXPECT_EQ(left.At(corner, corner), GetSysColor(COLOR_BTNFACE));
}

TEST(CaptionButtons, ACloseButtonThatIsTheCancelButtonClosesOnce)
{
    // The close button's SC_CLOSE comes back as WM_CLOSE, which a dialog
    // turns into IDCANCEL from that same button: it must end there.
    for (bool byClose : {false, true}) {
        ProbeDlg dlg;
        ZnCloseBtnForDlg close;
        dlg.atInit = [&](ProbeDlg& d) { EXPECT_TRUE(close.Init(&d, IDCANCEL)); };
        HWND window = dlg.Modeless(IDD_CAPTION_BTNS, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
        if (byClose)
            SendMessageW(window, WM_CLOSE, 0, 0);
        else
            SendMessageW(close.hWnd, BM_CLICK, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 2000)) << (byClose ? "WM_CLOSE" : "click");
        EXPECT_EQ(dlg.GetResult(), IDCANCEL);
        if (IsWindow(window))
            DestroyWindow(window);
    }
}

TEST(DlgIcons, NegativeIdTakesTheLibrarysIcon)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    ZnIconForDlg icons;
    ASSERT_TRUE(icons.InitEx(h, -20074));
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(static_cast<HICON>(icons)));
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(icons.GetSmall()));
    EXPECT_EQ(IconSize(icons.GetSmall()).cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(IconSize(icons).cx, GetSystemMetrics(SM_CXICON));

    // Only the large one: it serves for both.
    ZnIconForDlg single;
    ASSERT_TRUE(single.Init(h, -20076, 0));
    EXPECT_EQ(single.GetSmall(), static_cast<HICON>(single));
    // A positive id names the application's icon: the test executable,
    // once registered as the application, has no icon 20074.
    AppInstance app(TestModule(), L"DlgTest");
    ZnIconForDlg missing;
    EXPECT_FALSE(missing.Init(nullptr, 20074, 1));
    DestroyWindow(h);
}
