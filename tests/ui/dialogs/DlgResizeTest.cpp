#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

SIZE WindowSize(HWND h)
{
    RECT r;
    GetWindowRect(h, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The hit-test answer for a point of the client area.
LRESULT HitClient(HWND h, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(h, &p);
    return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

LRESULT HitScreen(HWND h, int x, int y)
{
    return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(x, y));
}

bool OnSomeMonitor(HWND h)
{
    RECT r;
    GetWindowRect(h, &r);
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

// A dialog made resizable before it is created, for one test.
class ResizeTest : public testing::Test {
protected:
    void Make(unsigned long flags, int templateId = IDD_RESIZABLE, MyWindowPlacement* record = nullptr)
    {
        dlg.EnableResizing(flags, record);
        window = dlg.Modeless(templateId, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }

    ProbeDlg dlg;
    HWND window = nullptr;
};

} // namespace

TEST_F(ResizeTest, TemplateSizeIsTheSmallestTheDialogGets)
{
    Make(ZnDlg::flagResizable);
    SIZE start = WindowSize(window);
    const ZnDlg::ResizeData& data = dlg.GetResizeData();
    EXPECT_EQ(data.minimum.cx, start.cx);
    EXPECT_EQ(data.minimum.cy, start.cy);
    EXPECT_TRUE(dlg.resizes.empty());

    SetWindowPos(window, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SIZE shrunk = WindowSize(window);
    EXPECT_EQ(shrunk.cx, start.cx);
    EXPECT_EQ(shrunk.cy, start.cy);

    SetWindowPos(window, nullptr, 0, 0, start.cx + 100, start.cy + 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(dlg.resizes.size(), 1u);
    EXPECT_EQ(dlg.resizes[0], std::make_pair(100, 60));
    EXPECT_EQ(data.size.cx, start.cx + 100);
    EXPECT_EQ(data.previous.cx, start.cx);
}

TEST_F(ResizeTest, FixedWidthFlagKeepsTheWidth)
{
    Make(ZnDlg::flagResizable | ZnDlg::flagFixWidth);
    SIZE start = WindowSize(window);
    SetWindowPos(window, nullptr, 0, 0, start.cx + 50, start.cy + 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SIZE now = WindowSize(window);
    EXPECT_EQ(now.cx, start.cx);
    EXPECT_EQ(now.cy, start.cy + 50);
}

TEST_F(ResizeTest, GripAnswersSixteenPixelsInAlongTheDiagonal)
{
    Make(ZnDlg::flagResizable);
    RECT c;
    GetClientRect(window, &c);
    // (right - x) + (bottom - y) < 16
    EXPECT_EQ(HitClient(window, c.right - 1, c.bottom - 1), HTBOTTOMRIGHT);
    EXPECT_EQ(HitClient(window, c.right - 8, c.bottom - 7), HTBOTTOMRIGHT);
    EXPECT_EQ(HitClient(window, c.right - 14, c.bottom - 1), HTBOTTOMRIGHT);
    EXPECT_EQ(HitClient(window, c.right - 8, c.bottom - 8), HTCLIENT);
    EXPECT_EQ(HitClient(window, c.right - 15, c.bottom - 1), HTCLIENT);
    EXPECT_EQ(HitClient(window, c.right / 2, c.bottom / 2), HTCLIENT);
    // The sizing cursor over the grip.
    EXPECT_EQ(
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTBOTTOMRIGHT, WM_MOUSEMOVE)),
        1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENWSE));
}

TEST_F(ResizeTest, GripIsThereOnlyWhileResizableAndNotMaximised)
{
    Make(ZnDlg::flagResizable, IDD_PLAIN);
    RECT c;
    GetClientRect(window, &c);
    EXPECT_EQ(HitClient(window, c.right - 2, c.bottom - 2), HTBOTTOMRIGHT);
    dlg.DisableResizing();
    EXPECT_EQ(HitClient(window, c.right - 2, c.bottom - 2), HTCLIENT);
    dlg.EnableResizing(ZnDlg::flagResizable);
    ShowWindow(window, SW_MAXIMIZE);
    if (!IsZoomed(window))
        GTEST_SKIP() << "the window could not be maximised here";
    GetClientRect(window, &c);
    EXPECT_EQ(HitClient(window, c.right - 2, c.bottom - 2), HTCLIENT);
}

TEST_F(ResizeTest, AllBordersFlagSizesFromEveryEdge)
{
    // A modal frame: the system itself would not size it from its borders.
    Make(ZnDlg::flagResizable | ZnDlg::flagResizeAllBorders, IDD_PLAIN);
    RECT w;
    GetWindowRect(window, &w);
    int midX = (w.left + w.right) / 2;
    int midY = (w.top + w.bottom) / 2;
    EXPECT_EQ(HitScreen(window, w.left, midY), HTLEFT);
    EXPECT_EQ(HitScreen(window, w.right - 1, midY), HTRIGHT);
    EXPECT_EQ(HitScreen(window, midX, w.top), HTTOP);
    EXPECT_EQ(HitScreen(window, midX, w.bottom - 1), HTBOTTOM);
    EXPECT_EQ(HitScreen(window, w.left, w.top), HTTOPLEFT);
    EXPECT_EQ(HitScreen(window, w.right - 1, w.top), HTTOPRIGHT);
    EXPECT_EQ(HitScreen(window, w.left, w.bottom - 1), HTBOTTOMLEFT);
}

TEST_F(ResizeTest, PlacementRecordGivesTheFirstPlaceAndSize)
{
    MyWindowPlacement record;
    record.Initialize();
    record.showCmd = SW_SHOWMINIMIZED; // a minimised window comes back normal
    record.rcNormalPosition = {100, 80, 500, 380};
    Make(ZnDlg::flagResizable, IDD_RESIZABLE, &record);
    const ZnDlg::ResizeData& data = dlg.GetResizeData();
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    ASSERT_EQ(dlg.resizes.size(), 1u);
    EXPECT_EQ(dlg.resizes[0],
        std::make_pair(400 - static_cast<int>(data.minimum.cx), 300 - static_cast<int>(data.minimum.cy)));
}

TEST_F(ResizeTest, MaximisedRecordTellsTheMaximisedSizeAtTheStart)
{
    MyWindowPlacement record;
    record.Initialize();
    record.showCmd = SW_SHOWMAXIMIZED;
    record.rcNormalPosition = {50, 40, 450, 340};
    Make(ZnDlg::flagResizable, IDD_RESIZABLE, &record);
    if (!IsZoomed(window))
        GTEST_SKIP() << "the window could not be maximised here";
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    const ZnDlg::ResizeData& data = dlg.GetResizeData();
    ASSERT_FALSE(dlg.resizes.empty());
    // The work area and the frame on both sides, against the template size.
    int frameX = GetSystemMetrics(SM_CXFRAME);
    int frameY = GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(
        dlg.resizes[0].first, static_cast<int>(info.rcWork.right - info.rcWork.left + 2 * frameX - data.minimum.cx));
    EXPECT_EQ(
        dlg.resizes[0].second, static_cast<int>(info.rcWork.bottom - info.rcWork.top + 2 * frameY - data.minimum.cy));
    // Restored, it takes the remembered normal place.
    ShowWindow(window, SW_RESTORE);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 400);
}

TEST_F(ResizeTest, RememberedPlaceOffEveryMonitorComesBackOntoOne)
{
    MyWindowPlacement record;
    record.Initialize();
    record.showCmd = SW_SHOWNORMAL;
    record.rcNormalPosition = {-30000, -30000, -29600, -29700};
    Make(ZnDlg::flagResizable, IDD_RESIZABLE, &record);
    EXPECT_TRUE(OnSomeMonitor(window));
    SIZE size = WindowSize(window);
    EXPECT_EQ(size.cx, 400);
    EXPECT_EQ(size.cy, 300);
}

TEST_F(ResizeTest, EmptyPlacementRecordIsFilledAtTheStart)
{
    MyWindowPlacement record;
    Make(ZnDlg::flagResizable, IDD_RESIZABLE, &record);
    EXPECT_EQ(record.length, sizeof(WINDOWPLACEMENT));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(record.rcNormalPosition.right - record.rcNormalPosition.left, r.right - r.left);
}

TEST_F(ResizeTest, AdjustHeightMovesTheMinimumAlong)
{
    Make(ZnDlg::flagResizable);
    SIZE start = WindowSize(window);
    dlg.AdjustHeight(-20);
    EXPECT_EQ(WindowSize(window).cy, start.cy - 20);
    EXPECT_EQ(dlg.GetResizeData().minimum.cy, start.cy - 20);
    ASSERT_FALSE(dlg.resizes.empty());
    EXPECT_EQ(dlg.resizes.back(), std::make_pair(0, -20));
}

TEST(DlgFlags, NeverMaximisedRefusesTheCommandAndTheStyle)
{
    ProbeDlg plain;
    HWND free = plain.Modeless(IDD_RESIZABLE, TestModule(), nullptr, 1);
    ASSERT_NE(free, nullptr);
    SendMessageW(free, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    bool maximisable = IsZoomed(free);
    DestroyWindow(free);

    ProbeDlg dlg;
    dlg.SetFlags(ZnDlg::flagNeverMaximize, 1);
    HWND h = dlg.Modeless(IDD_RESIZABLE, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(IsZoomed(h));
    SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_MAXIMIZE);
    EXPECT_FALSE(GetWindowLongPtrW(h, GWL_STYLE) & WS_MAXIMIZE);
    CREATESTRUCTW create = {};
    create.style = WS_POPUP | WS_MAXIMIZE;
    dlg.OnPreCreate(&create);
    EXPECT_EQ(create.style, static_cast<LONG>(WS_POPUP));
    DestroyWindow(h);
    if (!maximisable)
        GTEST_SKIP() << "an ordinary dialog could not be maximised either";
}

TEST(DlgFlags, CreatedHiddenStaysHiddenWhenShown)
{
    ProbeDlg dlg;
    dlg.SetFlags(ZnDlg::flagCreateHidden, 1);
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_TRUE(dlg.IsFlag(ZnDlg::flagCreateHidden));
    EXPECT_FALSE(dlg.IsFlag(ZnDlg::flagCreateHidden | ZnDlg::flagNoGrip));
    DestroyWindow(h);
}

TEST(DlgFlags, TopmostUntilFirstActivated)
{
    ProbeDlg dlg;
    dlg.SetFlags(ZnDlg::flagTopmostUntilActive, 1);
    bool topmostAtInit = false;
    dlg.atInit = [&](ProbeDlg& d) { topmostAtInit = (GetWindowLongPtrW(d.hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(topmostAtInit);
    SendMessageW(h, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_FALSE(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(dlg.IsFlag(ZnDlg::flagTopmostUntilActive));
    DestroyWindow(h);
}

// --- dragging by the body ---------------------------------------------------------------------

TEST_F(ResizeTest, FullDragMakesTheBodyACaptionButLeavesTheGrip)
{
    Make(ZnDlg::flagResizable);
    RECT c;
    GetClientRect(window, &c);
    EXPECT_FALSE(dlg.IsFullDrag());
    EXPECT_EQ(HitClient(window, c.right / 2, c.bottom - 3), HTCLIENT);
    dlg.EnableFullDrag(1);
    EXPECT_TRUE(dlg.IsFullDrag());
    EXPECT_EQ(HitClient(window, c.right / 2, c.bottom - 3), HTCAPTION);
    EXPECT_EQ(HitClient(window, c.right - 2, c.bottom - 2), HTBOTTOMRIGHT);
    dlg.EnableFullDrag(0);
    EXPECT_FALSE(dlg.IsFullDrag());
    EXPECT_EQ(HitClient(window, c.right / 2, c.bottom - 3), HTCLIENT);
    dlg.EnableFullDrag(1);
    EXPECT_EQ(HitClient(window, c.right / 2, c.bottom - 3), HTCAPTION);
}

TEST_F(ResizeTest, NoDragArrowFlagLeavesTheCaptionCursorToTheSystem)
{
    Make(ZnDlg::flagResizable);
    // Behind the drag hook: it hears of WM_SETCURSOR only when the drag
    // hook lets it through.
    RecordingHook behind(L"behind");
    behind.watchedWnd = WM_SETCURSOR;
    dlg.AddWndHook(&behind);
    dlg.EnableFullDrag(1);
    LPARAM overCaption = MAKELPARAM(HTCAPTION, WM_MOUSEMOVE);
    EXPECT_EQ(SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), overCaption), 1);
    EXPECT_EQ(behind.seenWnd, 0);
    dlg.SetFlags(ZnDlg::flagNoDragArrow, 1);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), overCaption);
    EXPECT_EQ(behind.seenWnd, 1);
    dlg.RemoveWndHook(&behind);
}
