// Image buttons: the cell of the strip for each look, the background
// showing through the transparent colour, and the command sent as a push
// button sends it (click, Space, Enter as the default button).
#include <gtest/gtest.h>

#include <vector>

#include "CtrlTemplates.h"
#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"

namespace {

constexpr int continueBitmap = 21530;
constexpr int cell = 48;
constexpr DWORD magenta = 0xFF00FF;
const COLORREF background = RGB(12, 34, 200);

const ImageBtnDescriptor strip = {-continueBitmap, nullptr, cell, cell, RGB(255, 0, 255), 6, 0};

// Records the buttons it hears of and stays open on OK.
class ButtonsDlg : public ZnDlg {
public:
    void OnButtonClicked(unsigned short id) override { clicked.push_back(id); }
    LRESULT OnOK() override { return 1; }

    std::vector<unsigned short> clicked;
};

// A modeless dialog with two image buttons (IDOK the default) and a combo box.
class ControlsDlg : public testing::Test {
protected:
    void SetUp() override
    {
        window = dlg.Modeless(IDD_IMAGE_CTRLS, GetModuleHandleW(nullptr), nullptr, 1);
        ASSERT_NE(window, nullptr);
        dlg.SetDlgColors(background, RGB(0, 0, 0), 0xFFFFFFFF);
        ASSERT_TRUE(ok.Init(&dlg, IDOK));
        ASSERT_TRUE(other.Init(&dlg, IDC_IMAGE_OTHER));
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    void Draw(ImageBtn& button, Canvas& canvas, UINT itemState)
    {
        DRAWITEMSTRUCT item = ButtonDrawItem(button.hWnd, canvas, itemState);
        SendMessageW(window, WM_DRAWITEM, button.GetID(), reinterpret_cast<LPARAM>(&item));
    }
    // The library's strip as pixels, rows top-down.
    static std::vector<DWORD> StripPixels(int* cx)
    {
        HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(
            GetModuleHandleW(L"PVDLL.dll"), MAKEINTRESOURCEW(continueBitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bmp)
            return {};
        std::vector<DWORD> pixels = BitmapPixels(bmp, cx);
        DeleteObject(bmp);
        return pixels;
    }
    // Where the drawn picture differs from cell index of the strip with
    // the background under its magenta; -1 when it does not.
    static int FirstDifference(const Canvas& drawn, const std::vector<DWORD>& pixels, int stripCx, int index)
    {
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                DWORD want = pixels[y * stripCx + index * cell + x];
                if (want == magenta)
                    want = Canvas::ToPixel(background);
                if (Canvas::ToPixel(drawn.At(x, y)) != want)
                    return y * cell + x;
            }
        }
        return -1;
    }

    ButtonsDlg dlg;
    HWND window = nullptr;
    ImageBtn ok{strip};
    ImageBtn other{strip};
};

class ImageBtnTest : public ControlsDlg { };
class ZnComboListTest : public ControlsDlg { };

} // namespace

TEST_F(ImageBtnTest, EachLookDrawsItsCellWithTheBackgroundThroughTheTransparentColour)
{
    ASSERT_TRUE(ok.IsLoaded());
    EXPECT_EQ(ok.GetCellCount(), 4);
    int stripCx = 0;
    std::vector<DWORD> pixels = StripPixels(&stripCx);
    ASSERT_EQ(stripCx, 4 * cell);
    int transparent = 0;
    for (DWORD p : pixels)
        transparent += p == magenta;
    ASSERT_GT(transparent, 4 * 100) << "the strip has magenta around each badge";

    Canvas normal(cell, cell), hot(cell, cell), pressed(cell, cell), disabled(cell, cell), left(cell, cell);
    Draw(ok, normal, 0);
    Draw(ok, pressed, ODS_SELECTED);
    Draw(ok, disabled, ODS_DISABLED);
    SendMessageW(ok.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(ok.IsHover());
    Draw(ok, hot, 0);
    SendMessageW(ok.hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(ok.IsHover());
    Draw(ok, left, 0);
    SavePng(L"imagebtn-normal", normal.Pixels().data(), cell, cell);
    SavePng(L"imagebtn-hot", hot.Pixels().data(), cell, cell);
    SavePng(L"imagebtn-pressed", pressed.Pixels().data(), cell, cell);
    SavePng(L"imagebtn-disabled", disabled.Pixels().data(), cell, cell);

    EXPECT_EQ(FirstDifference(normal, pixels, stripCx, ImageBtn::cellNormal), -1);
    EXPECT_EQ(FirstDifference(hot, pixels, stripCx, ImageBtn::cellHot), -1);
    EXPECT_EQ(FirstDifference(pressed, pixels, stripCx, ImageBtn::cellPressed), -1);
    EXPECT_EQ(FirstDifference(disabled, pixels, stripCx, ImageBtn::cellDisabled), -1);
    EXPECT_EQ(FirstDifference(left, pixels, stripCx, ImageBtn::cellNormal), -1);
    // The corner lies outside the badge.
    EXPECT_EQ(normal.At(0, 0), background);
}

TEST_F(ImageBtnTest, AStripWithOneCellShowsItForEveryLook)
{
    // The strip's first cell alone: a cell as wide as the whole strip.
    const ImageBtnDescriptor whole = {-continueBitmap, nullptr, 4 * cell, cell, RGB(255, 0, 255), 6, 0};
    ImageBtn single(whole);
    ASSERT_TRUE(single.IsLoaded());
    EXPECT_EQ(single.GetCellCount(), 1);
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_DISABLED)})
        EXPECT_EQ(single.CellFor(state), ImageBtn::cellNormal);
    EXPECT_EQ(ok.CellFor(ODS_DISABLED | ODS_SELECTED), ImageBtn::cellDisabled);
}

TEST_F(ImageBtnTest, AMissingBitmapLeavesATextButton)
{
    ImageBtn missing({-29999, nullptr, cell, cell, RGB(255, 0, 255), 6, 0});
    EXPECT_FALSE(missing.IsLoaded());
    ImageBtn noCell({-continueBitmap, nullptr, 0, cell, RGB(255, 0, 255), 6, 0});
    EXPECT_FALSE(noCell.IsLoaded());
}

TEST_F(ImageBtnTest, TheTextStandsOnItsSideAndTheFocusFrameAroundBoth)
{
    ImageBtn before({-continueBitmap, nullptr, cell, cell, RGB(255, 0, 255), 6, ImageBtnDescriptor::textBefore});
    // The other button is attached already: the new one takes its place.
    ASSERT_TRUE(before.Init(&dlg, IDC_IMAGE_OTHER));
    SetWindowTextW(before.hWnd, L"Continue");
    const int cx = 160, cy = 64;
    Canvas plain(cx, cy), focused(cx, cy);
    Draw(before, plain, 0);
    Draw(before, focused, ODS_FOCUS);
    SavePng(L"imagebtn-text-before", plain.Pixels().data(), cx, cy);
    SavePng(L"imagebtn-text-before-focused", focused.Pixels().data(), cx, cy);

    // Text pixels (the button text colour) lie left of the picture (the
    // badge's green), none right of it.
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    auto green = [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40; };
    int pictureLeft = cx, textRight = -1;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            COLORREF c = plain.At(x, y);
            if (c == text && x > textRight)
                textRight = x;
            else if (green(c) && x < pictureLeft)
                pictureLeft = x;
        }
    }
    ASSERT_GE(textRight, 0) << "no text drawn";
    EXPECT_LT(textRight, pictureLeft);
    EXPECT_NE(focused.Pixels(), plain.Pixels()) << "no focus frame";
}

TEST_F(ImageBtnTest, AttachedItIsOwnerDrawnAndKeepsBeingTheDefault)
{
    EXPECT_EQ(GetWindowLongPtrW(ok.hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(ok.IsDefault());
    EXPECT_FALSE(other.IsDefault());
    EXPECT_TRUE(ok.IsKindOf(L"ImageBtn"));
    EXPECT_TRUE(ok.IsKindOf(L"ZnCtrl"));
}

TEST_F(ImageBtnTest, AClickSendsTheCommand)
{
    SendMessageW(ok.hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(ok.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    // A quick second click is a click too.
    SendMessageW(ok.hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(ok.hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(dlg.clicked, (std::vector<unsigned short>{IDOK, IDOK}));
}

TEST_F(ImageBtnTest, SpaceSendsTheCommand)
{
    SetFocus(other.hWnd);
    SendMessageW(other.hWnd, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(other.hWnd, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(dlg.clicked, std::vector<unsigned short>{IDC_IMAGE_OTHER});
}

TEST_F(ImageBtnTest, EnterPressesTheDefaultOrTheFocusedImageButton)
{
    auto enter = [&] {
        MSG msg = {GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        IsDialogMessageW(window, &msg);
    };
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_COMBO)), TRUE);
    ASSERT_EQ(GetFocus(), GetDlgItem(window, IDC_COMBO));
    enter();
    EXPECT_EQ(dlg.clicked, std::vector<unsigned short>{IDOK});

    // With the focus the other one is the default, as a push button would
    // be, and still draws itself.
    dlg.clicked.clear();
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(other.hWnd), TRUE);
    ASSERT_EQ(GetFocus(), other.hWnd);
    EXPECT_TRUE(other.IsDefault());
    EXPECT_FALSE(ok.IsDefault());
    EXPECT_EQ(GetWindowLongPtrW(other.hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(GetWindowLongPtrW(ok.hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    enter();
    EXPECT_EQ(dlg.clicked, std::vector<unsigned short>{IDC_IMAGE_OTHER});
}

// --- combo lists ---------------------------------------------------------------------------

TEST_F(ZnComboListTest, AddsCountsSelectsAndEmpties)
{
    ZnComboList list;
    EXPECT_EQ(list.AddString(L"before"), CB_ERR) << "not attached yet";
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), CB_ERR);
    ASSERT_TRUE(list.Init(&dlg, IDC_COMBO));
    EXPECT_TRUE(list.IsKindOf(L"ZnComboList"));
    EXPECT_EQ(list.AddString(L"one"), 0);
    EXPECT_EQ(list.AddString(L"two"), 1);
    EXPECT_EQ(list.AddString(nullptr), 2);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetCurSel(), CB_ERR);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    wchar_t text[16] = {};
    GetWindowTextW(list.hWnd, text, 16);
    EXPECT_STREQ(text, L"two");
    EXPECT_EQ(list.SetCurSel(7), CB_ERR);
    EXPECT_EQ(list.SetCurSel(-1), CB_ERR) << "nothing selected is answered as an error";
    EXPECT_EQ(list.GetCurSel(), CB_ERR);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
}
