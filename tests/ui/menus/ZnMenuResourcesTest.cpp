// What ZnMenu takes and gives back: icons, item bitmaps, sub-menu objects
// and the owner record of TrackEx, including when memory runs out.
#include <gtest/gtest.h>

#include "PVDLL.h"
#include "common/FailingHeap.h"

namespace {

class MenuWithoutSubMenus : public ZnMenu {
public:
    ZnMenu* CreateSubMenu() override { return nullptr; }
};

class CountingMenu : public ZnMenu {
public:
    int SubMenuCount() const { return subMenus.GetCount(); }
    int BitmapCount() const { return itemBitmaps.GetCount(); }
};

class QuietMenuEx : public ZnMenuEx {
};

} // namespace

TEST(ZnMenuResources, GenerateBitmapReadsIdsAsResourceIdsOfTheFramework)
{
    CoInitialize(nullptr);
    // The library registers itself as the current module, so a positive
    // id names the same icon as the library's negative one.
    HBITMAP library = ZnMenu::GenerateBitmap(-101);
    if (!library) {
        CoUninitialize();
        GTEST_SKIP() << "no WIC icon conversion here";
    }
    ASSERT_NE(ProductInfo::pCurrentApp, nullptr);
    if (ProductInfo::pCurrentApp->hInstance == hiDLL) {
        HBITMAP current = ZnMenu::GenerateBitmap(101);
        EXPECT_NE(current, nullptr);
        DeleteObject(current);
    }
    EXPECT_EQ(ZnMenu::GenerateBitmap(0), nullptr);
    EXPECT_EQ(ZnMenu::GenerateBitmap(-7777), nullptr);
    DeleteObject(library);
    CoUninitialize();
}

TEST(ZnMenuResources, IconIsDestroyedOnlyWhenAskedEvenWhenItCannotBeConverted)
{
    CoInitialize(nullptr);
    HICON icon = LoadIconW(hiDLL, MAKEINTRESOURCEW(101));
    ASSERT_NE(icon, nullptr);
    CountingMenu menu;
    menu.CreatePopup();
    menu.AppendItem(1, L"One");
    HICON kept = CopyIcon(icon);
    menu.SetItemIconByID(1, kept, 0);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(kept, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(kept);

    EXPECT_FALSE(menu.SetItemIconByID(1, nullptr, 1));
    CoUninitialize();
}

TEST(ZnMenuResources, MakeSubMenuWithoutAnObjectAddsNothing)
{
    MenuWithoutSubMenus menu;
    EXPECT_EQ(menu.MakeSubMenu(), nullptr);
    CountingMenu counted;
    ZnMenu* sub = counted.MakeSubMenu();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(counted.SubMenuCount(), 1);
}

TEST(ZnMenuResources, TrackExWithoutMemoryShowsNothingAndLeavesTheOwnerAlone)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    LONG_PTR ownProc = GetWindowLongPtrW(owner, GWLP_WNDPROC);
    QuietMenuEx menu;
    menu.CreatePopup();
    menu.AppendItem(7, L"Seven");
    // Should the menu show after all, these end it at once.
    PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    UINT chosen = 1;
    {
        FailingHeap noHeap;
        ASSERT_TRUE(noHeap.Hooked());
        chosen = menu.TrackEx(owner, POINT{20, 20});
    }
    EXPECT_EQ(chosen, 0u);
    EXPECT_EQ(GetWindowLongPtrW(owner, GWLP_WNDPROC), ownProc);
    EXPECT_TRUE(ZnMenuEx::listMap.IsEmpty());
    MSG msg;
    while (PeekMessageW(&msg, owner, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    DestroyWindow(owner);
}

TEST(ZnMenuResources, MarkerCharacterIsUpperCasedBeyondAscii)
{
    EXPECT_EQ(GetMenuItemChar(L"Gr&\x00E4ser"), L'\x00C4');
    EXPECT_EQ(GetMenuItemChar(L"&\x00C4"), L'\x00C4');
}
