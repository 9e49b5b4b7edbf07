// A skin on a live dialog: the dialog becomes layered and captionless, the
// areas get tooltips, the background is the skin, the mouse reaches the
// areas and their clicks reach the dialog, and opening and closing skinned
// dialogs leaves no GDI object, window or DC behind.
#include <gtest/gtest.h>

#include <vector>

#include "SkinDialogs.h"
#include "SkinSupport.h"
#include "common/CreationLog.h"

using namespace TestSkin;

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A dialog that notes the buttons clicked on it.
class ClickDlg : public ZnDlg {
public:
    using ZnDlg::ZnDlg;
    void OnButtonClicked(unsigned short id) override { clicked.push_back(id); }
    std::vector<unsigned short> clicked;
};

// The window skin with its four areas on a modeless dialog.
class SkinnedDialog : public testing::Test {
protected:
    void SetUp() override
    {
        skin.AddAreas(GetSkinAreas(kindWindow));
        wnd = dlg.Modeless(IDD_SKIN_TEST, GetModuleHandleW(nullptr), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
        Pump();
    }
    void TearDown() override
    {
        if (IsWindow(wnd))
            DestroyWindow(wnd);
        Pump();
    }
    SIZE Client() const
    {
        RECT r;
        GetClientRect(wnd, &r);
        return {r.right, r.bottom};
    }
    POINT InArea(int id) const
    {
        RECT r = {};
        skin.GetAreaRect(id, &r);
        return {r.left + 3, r.top + 3};
    }
    LRESULT Mouse(UINT msg, WPARAM keys, POINT at) { return SendMessageW(wnd, msg, keys, MAKELPARAM(at.x, at.y)); }

    TestSkinMode mode;
    ZnDlgSkin skin{GetSkinMetrics(kindWindow)};
    ClickDlg dlg{&skin};
    HWND wnd = nullptr;
};

} // namespace

TEST_F(SkinnedDialog, BecomesLayeredAndCaptionlessWithTheColourKey)
{
    EXPECT_TRUE(skin.IsSkinShown());
    EXPECT_TRUE(dlg.IsSkinSet());
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(wnd, &key, &alpha, &flags));
    EXPECT_EQ(key, colorKey);
    EXPECT_TRUE(flags & LWA_COLORKEY);
    // The whole window is client area.
    RECT window;
    GetWindowRect(wnd, &window);
    EXPECT_EQ(Client().cx, window.right - window.left);
    EXPECT_EQ(Client().cy, window.bottom - window.top);

    ASSERT_TRUE(skin.ShowSkin(0));
    EXPECT_FALSE(skin.IsSkinShown());
    EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CAPTION);
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
}

TEST_F(SkinnedDialog, EveryVisibleAreaHasATooltip)
{
    HWND tips = skin.GetTooltips();
    ASSERT_TRUE(IsWindow(tips));
    EXPECT_EQ(GetWindow(tips, GW_OWNER), wnd);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 4);
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = wnd;
    tool.uId = areaClose;
    ASSERT_TRUE(SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT close;
    ASSERT_TRUE(skin.GetAreaRect(areaClose, &close));
    EXPECT_TRUE(EqualRect(&tool.rect, &close)) << tool.rect.left << "," << tool.rect.top;
    skin.ShowArea(areaClose, 0);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 3);
    skin.ShowArea(areaClose, 1);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 4);
    DestroyWindow(wnd);
    EXPECT_FALSE(IsWindow(tips));
}

TEST_F(SkinnedDialog, TheBackgroundIsTheStretchedSkinWithItsAreas)
{
    const SIZE client = Client();
    ASSERT_GT(client.cx, 96);
    ASSERT_GT(client.cy, 72);
    Canvas canvas(client.cx, client.cy, RGB(1, 1, 1));
    EXPECT_TRUE(SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0));
    EXPECT_EQ(canvas.At(0, 0), colorKey); // a cut-out corner
    EXPECT_EQ(canvas.At(client.cx - 1, client.cy - 1), colorKey); // the far corner keeps its size
    EXPECT_EQ(canvas.At(client.cx / 2, 8), RGB(62, 96, 182)); // the title band
    POINT button = InArea(areaLeftButton);
    EXPECT_EQ(canvas.At(button.x, button.y), RGB(100, 150, 230)); // the button's normal look
    // The buttons sit in the bottom band, which keeps its height.
    RECT right;
    ASSERT_TRUE(skin.GetAreaRect(areaRightButton, &right));
    EXPECT_EQ(right.bottom, client.cy - 4);
    EXPECT_EQ(right.right, client.cx - 4);
}

TEST_F(SkinnedDialog, InactiveTheSkinIsWashedOut)
{
    const SIZE client = Client();
    SendMessageW(wnd, WM_ACTIVATE, WA_INACTIVE, 0);
    Canvas canvas(client.cx, client.cy);
    SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
    EXPECT_EQ(canvas.At(client.cx / 2, 8), RGB((62 + 255) / 2, (96 + 255) / 2, (182 + 255) / 2));
    EXPECT_EQ(canvas.At(0, 0), colorKey);
    SendMessageW(wnd, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
    EXPECT_EQ(canvas.At(client.cx / 2, 8), RGB(62, 96, 182));
}

TEST_F(SkinnedDialog, TheMouseOverAnAreaAndItsClickReachTheDialog)
{
    ZnDlgSkinArea* left = skin.FindArea(areaLeftButton);
    const POINT at = InArea(areaLeftButton);
    Mouse(WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(left->GetState(), areaHot);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(left->GetState(), areaPressed);
    Mouse(WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(dlg.clicked, std::vector<unsigned short>{areaLeftButton});
    // A disabled area's release sends nothing.
    dlg.clicked.clear();
    const POINT middle = InArea(areaMiddleButton);
    Mouse(WM_MOUSEMOVE, 0, middle);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, middle);
    skin.EnableArea(areaMiddleButton, 0);
    Mouse(WM_LBUTTONUP, 0, middle);
    Pump();
    EXPECT_TRUE(dlg.clicked.empty());
}

TEST_F(SkinnedDialog, AnAreaIsClientAndTheRestOfTheBodyDrags)
{
    RECT window;
    GetWindowRect(wnd, &window);
    const POINT area = InArea(areaRightButton);
    LRESULT overArea = SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + area.x, window.top + area.y));
    LRESULT overBody = SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + Client().cx / 2, window.top + 30));
    EXPECT_EQ(overArea, HTCLIENT);
    EXPECT_EQ(overBody, HTCAPTION);
}

// Pictures for a person to look at: the skinned dialog as its background
// is drawn, normal, with an area under the mouse, with an area pressed, and
// inactive.
TEST_F(SkinnedDialog, Pictures)
{
    const SIZE client = Client();
    Canvas canvas(client.cx, client.cy);
    auto save = [&](const wchar_t* name) {
        SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
        std::vector<DWORD> pixels = canvas.Pixels();
        EXPECT_FALSE(SavePng(name, pixels.data(), canvas.cx, canvas.cy).empty()) << name;
    };
    save(L"skin-dialog-normal");
    const POINT middle = InArea(areaMiddleButton);
    Mouse(WM_MOUSEMOVE, 0, middle);
    save(L"skin-dialog-hot");
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, middle);
    save(L"skin-dialog-pressed");
    Mouse(WM_LBUTTONUP, 0, middle);
    Mouse(WM_MOUSEMOVE, 0, POINT{-1, -1});
    SendMessageW(wnd, WM_ACTIVATE, WA_INACTIVE, 0);
    save(L"skin-dialog-inactive");
}

// --- nothing left behind ------------------------------------------------------------------------

TEST(SkinnedDialogLife, TwoHundredOpenAndCloseCyclesLeaveNothingBehind)
{
    TestSkinMode mode;
    ModalWatchdog watchdog(120000);
    CreationLog handles(CreationLog::gdiObjects | CreationLog::windows | CreationLog::windowDCs);
    ASSERT_TRUE(handles.Hooked());
    size_t tooltips = 0;
    for (int cycle = 0; cycle < 200; ++cycle) {
        ZnDlgSkin skin(GetSkinMetrics(kindWindow));
        skin.AddAreas(GetSkinAreas(kindWindow));
        ClickDlg dlg(&skin);
        HWND wnd = dlg.Modeless(IDD_SKIN_TEST, GetModuleHandleW(nullptr), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
        Pump();
        tooltips += IsWindow(skin.GetTooltips()) != 0;
        RECT client;
        GetClientRect(wnd, &client);
        Canvas canvas(client.right, client.bottom);
        SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
        RECT area;
        skin.GetAreaRect(areaLeftButton, &area);
        SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(area.left + 2, area.top + 2));
        SendMessageW(wnd, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
        DestroyWindow(wnd);
        Pump();
    }
    EXPECT_EQ(tooltips, 200u);
    EXPECT_GT(handles.gdi.size(), 200u);
    EXPECT_EQ(handles.GdiAlive(), 0u);
    EXPECT_GE(handles.made.size(), 200u);
    EXPECT_EQ(handles.WindowsAlive(), 0u);
    EXPECT_GT(handles.dcsTaken, 0);
    EXPECT_EQ(handles.dcsTaken, handles.dcsGiven);
}
