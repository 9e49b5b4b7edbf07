#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"

namespace {

HWND MakeWindow(const wchar_t* cls, const wchar_t* title, HWND parent, int x, int y, int cx, int cy)
{
    DWORD style = parent ? WS_CHILD : WS_POPUP;
    return CreateWindowExW(0, cls, title, style, x, y, cx, cy, parent, nullptr, nullptr, nullptr);
}

RECT WindowRect(HWND h)
{
    RECT rect;
    GetWindowRect(h, &rect);
    return rect;
}

RECT PrimaryMonitor()
{
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

// Keeps window positions below a registry root of the test's own.
class PositionStore : public testing::Test {
protected:
    void SetUp() override
    {
        root = L"HKCU\\Software\\PVDLLTestPositions-" + std::to_wstring(GetCurrentProcessId());
        GetMyProductInfo()->PushAppRootKey(root.c_str());
    }
    void TearDown() override
    {
        GetMyProductInfo()->PopAppRootKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, root.substr(5).c_str());
    }
    std::wstring root;
};

} // namespace

TEST(WndStyles, ModifyChangesOnlyWhatIsAsked)
{
    HWND h = MakeWindow(L"STATIC", L"", nullptr, 0, 0, 10, 10);
    DWORD exBefore = GetWndStyle(h, 1);
    ModifyStyle(h, 0, WS_BORDER, 0, 0);
    EXPECT_TRUE(GetWndStyle(h, 0) & WS_BORDER);
    EXPECT_EQ(GetWndStyle(h, 1), exBefore);
    ModifyWndStyle(h, WS_BORDER, 0, 0);
    EXPECT_FALSE(GetWndStyle(h, 0) & WS_BORDER);
    DestroyWindow(h);
}

TEST(WndPositions, SizeOriginOffsetAndResize)
{
    HWND parent = MakeWindow(L"STATIC", L"", nullptr, 100, 100, 300, 300);
    HWND child = MakeWindow(L"STATIC", L"", parent, 10, 20, 50, 40);
    SetWndSize(child, 60, 30, SWP_NOSIZE);
    RECT r = WindowRect(child);
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_EQ(r.bottom - r.top, 30);
    OffsetWnd(child, 5, 7);
    r = WindowRect(child);
    POINT origin = {r.left, r.top};
    ScreenToClient(parent, &origin);
    EXPECT_EQ(origin.x, 15);
    EXPECT_EQ(origin.y, 27);
    ResizeWnd(child, 10, -10);
    r = WindowRect(child);
    EXPECT_EQ(r.right - r.left, 70);
    EXPECT_EQ(r.bottom - r.top, 20);
    RECT target = {1, 2, 41, 32};
    SetWndPos(child, &target, 0);
    r = WindowRect(child);
    EXPECT_EQ(r.right - r.left, 40);
    DestroyWindow(parent);
}

TEST(WndLookups, FindChildByClassTextAndIndex)
{
    HWND parent = MakeWindow(L"STATIC", L"", nullptr, 0, 0, 100, 100);
    HWND first = MakeWindow(L"BUTTON", L"OK", parent, 0, 0, 10, 10);
    HWND second = MakeWindow(L"BUTTON", L"Cancel", parent, 0, 0, 10, 10);
    HWND grandchild = MakeWindow(L"BUTTON", L"ok", second, 0, 0, 5, 5);
    EXPECT_EQ(FindChildWnd(parent, L"button", nullptr, 0), first);
    EXPECT_EQ(FindChildWnd(parent, L"Button", L"OK", 1), grandchild);
    EXPECT_EQ(FindChildWnd(parent, nullptr, L"cancel", 0), second);
    EXPECT_EQ(FindChildWnd(parent, L"BUTTON", L"missing", 0), nullptr);
    EXPECT_EQ(FindChildWnd(parent, L"BUTTON", nullptr, 3), nullptr);
    EXPECT_TRUE(IsWndClass(first, L"button"));
    EXPECT_TRUE(IsWndName(second, L"CANCEL"));
    EXPECT_FALSE(IsWndName(parent, L""));
    DestroyWindow(parent);
    EXPECT_FALSE(IsWndClass(first, L"button"));
}

TEST(WndLookups, DesktopShellWindowIsFoundBelowProgman)
{
    // There is no desktop shell here: build its window tree.
    HWND progman = MakeWindow(L"STATIC", L"Program Manager", nullptr, 0, 0, 10, 10);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"Progman";
    RegisterClassW(&wc);
    wc.lpszClassName = L"SHELLDLL_DefView";
    RegisterClassW(&wc);
    wc.lpszClassName = L"SysListView32";
    RegisterClassW(&wc);
    DestroyWindow(progman);
    progman = CreateWindowExW(0, L"Progman", L"Program Manager", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    HWND view = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD, 0, 0, 5, 5, progman, nullptr, nullptr, nullptr);
    HWND defView = nullptr;
    HWND listView = nullptr;
    EXPECT_FALSE(FindDesktopShellWnd(&defView, &listView));
    HWND list = CreateWindowExW(0, L"SysListView32", L"", WS_CHILD, 0, 0, 5, 5, view, nullptr, nullptr, nullptr);
    EXPECT_TRUE(FindDesktopShellWnd(&defView, &listView));
    EXPECT_EQ(defView, view);
    EXPECT_EQ(listView, list);
    DestroyWindow(progman);
}

TEST(WndMonitors, RectanglesMoveInsideTheirBound)
{
    RECT screen = PrimaryMonitor();
    HMONITOR monitor = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    RECT off = {screen.right - 10, -50, screen.right + 90, 50};
    EnsureRectIsVisible(monitor, &off);
    EXPECT_EQ(off.right, screen.right);
    EXPECT_EQ(off.top, screen.top);
    EXPECT_EQ(off.right - off.left, 100);

    RECT wide = {-10, 0, screen.right + 500, 10};
    EnsureRectIsVisible(monitor, &wide);
    EXPECT_EQ(wide.left, screen.left);  // moved right first, not resized

    MONITORINFO info = {sizeof(info), {}, {}, 0};
    GetMonitorInfoW(monitor, &info);
    RECT big = {info.rcWork.left - 20, info.rcWork.top, info.rcWork.right + 100, info.rcWork.top + 10};
    FitRectToNearestMonitor(&big);
    EXPECT_EQ(big.left, info.rcWork.left);  // clipped, not moved
    EXPECT_EQ(big.right, info.rcWork.right);
}

TEST(WndMonitors, CenterOnAMinimisedReferenceUsesTheMonitor)
{
    RECT screen = PrimaryMonitor();
    HWND h = MakeWindow(L"STATIC", L"", nullptr, 0, 0, 200, 100);
    HWND tiny = MakeWindow(L"STATIC", L"", nullptr, 5, 5, 1, 1);
    CenterWindow(h, tiny);
    RECT r = WindowRect(h);
    EXPECT_EQ(r.left, screen.left + (screen.right - screen.left - 200) / 2);
    EXPECT_EQ(r.top, screen.top + (screen.bottom - screen.top - 100) / 2);

    HWND reference = MakeWindow(L"STATIC", L"", nullptr, 100, 100, 400, 300);
    CenterWindow(h, reference);
    r = WindowRect(h);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 200);
    CascadeWindow(h, reference);
    r = WindowRect(h);
    EXPECT_EQ(r.left, 100 + GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(r.top, 100 + GetSystemMetrics(SM_CYCAPTION));

    POINT corner = {screen.right - 50, screen.bottom - 20};
    MoveWindowToPoint(h, &corner);
    r = WindowRect(h);
    EXPECT_EQ(r.right, screen.right);
    EXPECT_EQ(r.bottom, screen.bottom);
    DestroyWindow(h);
    DestroyWindow(tiny);
    DestroyWindow(reference);
}

TEST_F(PositionStore, PositionIsStoredAndRestored)
{
    HWND h = MakeWindow(L"STATIC", L"", nullptr, 120, 80, 200, 100);
    WndStorePosition(h, L"Main");
    RegKey key(root.c_str(), 0);
    EXPECT_EQ(key.GetInt(L"MainposLeft", -1), 120);
    EXPECT_EQ(key.GetInt(L"MainposTop", -1), 80);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    WndRestorePosition(h, L"Main");
    RECT r = WindowRect(h);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 80);
    DestroyWindow(h);
}

TEST_F(PositionStore, FarOffScreenValuesKeepTheCentreOnTheScreen)
{
    HWND h = MakeWindow(L"STATIC", L"", nullptr, 0, 0, 200, 100);
    RegKey key(root.c_str(), 1);
    key.PutInt(L"posLeft", 100000);
    key.PutInt(L"posTop", -5000);
    WndRestorePosition(h, L"");
    RECT r = WindowRect(h);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) - 100);
    EXPECT_EQ(r.top, 0);
    key.PutInt(L"posLeft", -100000);
    key.PutInt(L"posTop", 100000);
    WndRestorePosition(h, L"");
    r = WindowRect(h);
    EXPECT_EQ(r.left, -100);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) - 50);
    DestroyWindow(h);
}

TEST_F(PositionStore, RecordingStoresEveryValueAsALine)
{
    HWND h = MakeWindow(L"STATIC", L"", nullptr, 16, 32, 50, 50);
    wchar_t text[512];
    RegKey::StartLog(text);
    WndStorePosition(h, L"Dlg");
    RegKey::EndLog();
    EXPECT_EQ(std::wstring(text), L"[" + root + L"]\r\nDlgposLeft=dword:00000010\r\nDlgposTop=dword:00000020\r\n");
    EXPECT_FALSE(RegKey(root.c_str(), 0).IsOpen());
    DestroyWindow(h);
}

TEST(WndInput, KeyAndButtonQueriesAnswer)
{
    EXPECT_FALSE(IsKeyPressed(VK_F13));
    EXPECT_FALSE(IsMouseButtonPressed(VK_LBUTTON));
    HWND h = MakeWindow(L"STATIC", L"Size me", nullptr, 0, 0, 100, 20);
    SIZE size = {};
    EXPECT_TRUE(GetTextSizeForWindow(h, L"Size me", &size));
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    DestroyWindow(h);
}
