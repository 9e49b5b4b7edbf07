#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

class MainDlg : public ZnDlgMain {
public:
    MainDlg() : ZnDlgMain(nullptr, -101) { }
    LRESULT OnAbout() override
    {
        ++abouts;
        return 0;
    }
    int abouts = 0;
    using ZnDlgMain::bigIcon;
    using ZnDlgMain::smallIcon;
};

// Keeps the remembered positions below a registry root of the test's own.
class MainDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = L"HKCU\\Software\\PVDLLTestDlgPositions-" + std::to_wstring(GetCurrentProcessId());
        GetMyProductInfo()->PushAppRootKey(root.c_str());
    }
    void TearDown() override
    {
        GetMyProductInfo()->PopAppRootKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, root.substr(5).c_str());
        TakeQuit();
    }
    RECT Rect(HWND h)
    {
        RECT r;
        GetWindowRect(h, &r);
        return r;
    }

    std::wstring root;
};

} // namespace

TEST_F(MainDlgTest, PositionIsStoredOnDestroyAndRestoredAtTheStart)
{
    {
        MainDlg first;
        HWND h = first.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
        ASSERT_NE(h, nullptr);
        SetWindowPos(h, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        first.CloseDialog(IDOK);
        // A modeless main dialog ends the application's loop.
        EXPECT_EQ(TakeQuit(), IDOK);
    }
    RegKey key(root.c_str(), 0);
    EXPECT_EQ(key.GetInt(L"posLeft", -1), 123);
    EXPECT_EQ(key.GetInt(L"posTop", -1), 77);

    MainDlg second;
    HWND h = second.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    RECT r = Rect(h);
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 77);
    DestroyWindow(h);
}

TEST_F(MainDlgTest, StoredPositionFarOffScreenIsBroughtOntoAMonitor)
{
    {
        RegKey key(root.c_str(), 1);
        key.PutInt(L"posLeft", 50000);
        key.PutInt(L"posTop", -40000);
    }
    MainDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    RECT r = Rect(h);
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_GE(r.top, 0);
    DestroyWindow(h);
}

TEST_F(MainDlgTest, PlacementRecordTakesOverFromTheRegistry)
{
    MyWindowPlacement record;
    {
        MainDlg dlg;
        dlg.EnableResizing(ZnDlg::flagResizable, &record);
        HWND h = dlg.Modeless(IDD_RESIZABLE, TestModule(), nullptr, 1);
        ASSERT_NE(h, nullptr);
        SetWindowPos(h, nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        dlg.CloseDialog(IDOK);
    }
    EXPECT_FALSE(RegKey(root.c_str(), 0).IsOpen());
    EXPECT_EQ(record.rcNormalPosition.left, 60);
}

TEST_F(MainDlgTest, SystemMenuIconsAndAbout)
{
    MainDlg dlg;
    ASSERT_TRUE(dlg.bigIcon);
    ASSERT_TRUE(dlg.smallIcon);
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    HMENU system = GetSystemMenu(h, FALSE);
    ASSERT_NE(system, nullptr);
    wchar_t text[64] = {};
    GetMenuStringW(system, 16, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"&About...");
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(dlg.bigIcon.Get()));
    EXPECT_EQ(SendMessageW(h, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(dlg.smallIcon.Get()));
    EXPECT_EQ(SendMessageW(h, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dlg.bigIcon.Get()));
    SendMessageW(h, WM_SYSCOMMAND, 16, 0);
    EXPECT_EQ(dlg.abouts, 1);
    DestroyWindow(h);
}

TEST_F(MainDlgTest, ModalMainDialogPostsNoQuit)
{
    MainDlg dlg;
    ModalWatchdog watchdog;
    HWND seen = nullptr;
    // Closed by a thread timer once the dialog is up.
    static MainDlg* current;
    current = &dlg;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        current->CloseDialog(IDCANCEL);
    });
    EXPECT_EQ(dlg.Modal(IDD_PLAIN, TestModule(), seen), IDCANCEL);
    EXPECT_EQ(TakeQuit(), -1);
}
