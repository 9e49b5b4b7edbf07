#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/TestSupport.h"

namespace {

std::wstring ItemText(ZnMenu& menu, int pos)
{
    wchar_t text[MAX_PATH] = {};
    menu.GetStrByPos(static_cast<UINT>(pos), text, MAX_PATH);
    return text;
}

UINT ItemType(HMENU menu, int pos)
{
    MenuItemInfo info(MIIM_FTYPE);
    GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
    return info.fType;
}

HWND MakeOwner()
{
    return CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                           nullptr, nullptr);
}

// Posts keys that the next menu loop of this thread will read.
void PostKeys(HWND owner, std::initializer_list<WPARAM> keys)
{
    for (WPARAM key : keys)
        PostMessageW(owner, WM_KEYDOWN, key, 0);
}

} // namespace

TEST(ZnMenuItems, OperationsByIdAndByPosition)
{
    ZnMenu menu;
    ASSERT_TRUE(menu.CreatePopup());
    EXPECT_TRUE(menu.IsPopup());
    EXPECT_TRUE(menu.AppendItem(100, L"&Open %s", L"file"));
    EXPECT_TRUE(menu.AppendSeparator());
    EXPECT_TRUE(menu.AppendItem(101, L"E&xit"));
    EXPECT_TRUE(menu.InsertItemByPos(0, 99, L"First"));
    EXPECT_TRUE(menu.InsertItemByID(101, 102, L"Before exit"));
    EXPECT_EQ(menu.GetCount(), 5);
    EXPECT_EQ(menu.GetItemID(0), 99u);
    EXPECT_EQ(ItemText(menu, 1), L"&Open file");
    EXPECT_EQ(menu.GetItemID(3), 102u);
    EXPECT_TRUE(menu.ItemExistsByID(101));
    EXPECT_FALSE(menu.ItemExistsByID(555));

    EXPECT_TRUE(menu.SetItemDataByID(100, 0x1234));
    EXPECT_EQ(menu.GetItemDataByPos(1), 0x1234u);
    EXPECT_EQ(menu.GetItemDataByID(555), 0u);
    EXPECT_TRUE(menu.SetStrByID(99, L"Renamed"));
    EXPECT_EQ(ItemText(menu, 0), L"Renamed");
    EXPECT_EQ(menu.GetStrLengthByID(99), 7);

    menu.CheckItemByID(100, 1);
    EXPECT_TRUE(GetMenuState(menu, 100, MF_BYCOMMAND) & MF_CHECKED);
    menu.EnableItemByPos(0, 0);
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(menu.SetDefaultByID(101));
    EXPECT_EQ(menu.GetDefaultID(0), 101u);
    EXPECT_TRUE(menu.SetBreakByPos(3, 1));
    EXPECT_TRUE(ItemType(menu, 3) & MFT_MENUBARBREAK);
    EXPECT_TRUE(menu.SetHelpId(77));
    EXPECT_EQ(menu.GetHelpId(), 77u);

    EXPECT_TRUE(menu.DeleteItemByID(102));
    EXPECT_TRUE(menu.RemoveItemByPos(0));
    EXPECT_EQ(menu.GetCount(), 3);
    menu.DeleteAll();
    EXPECT_EQ(menu.GetCount(), 0);
}

TEST(ZnMenuItems, FindingTextsIgnoresCaseButNotTheMarker)
{
    ZnMenu menu;
    menu.CreatePopup();
    menu.AppendItem(10, L"&Settings");
    menu.AppendSeparator();
    menu.AppendItem(11, L"About");
    EXPECT_EQ(menu.FindStrID(L"&SETTINGS"), 10u);
    EXPECT_EQ(menu.FindStrID(L"Settings"), 0xFFFFFFFFu);
    EXPECT_EQ(menu.FindStrPos(L"about"), 2u);
    EXPECT_EQ(menu.FindStrPos(L""), 0xFFFFFFFFu);
}

TEST(ZnMenuOwnership, SubMenusAreDestroyedExactlyOnce)
{
    HMENU inner = nullptr;
    HMENU kept = nullptr;
    {
        ZnMenu menu;
        menu.CreatePopup();
        ZnMenu* sub = menu.MakeSubMenu();
        ASSERT_TRUE(sub->CreatePopup());
        sub->AppendItem(5, L"Deep");
        inner = *sub;
        EXPECT_NE(menu.AppendSubMenu(inner, L"Sub %d", 1), 0xFFFFFFFFu);
        // A sub-menu object whose menu never went into the parent destroys
        // its own handle.
        ZnMenu* loose = menu.MakeSubMenu();
        loose->CreatePopup();
        kept = *loose;
        EXPECT_EQ(menu.GetSubMenu(0), inner);
    }
    EXPECT_FALSE(IsMenu(inner));
    EXPECT_FALSE(IsMenu(kept));

    // A borrowed menu is not destroyed.
    HMENU borrowedHandle = CreatePopupMenu();
    {
        ZnMenu borrowed(borrowedHandle);
        EXPECT_FALSE(borrowed.OwnsMenu());
    }
    EXPECT_TRUE(IsMenu(borrowedHandle));
    DestroyMenu(borrowedHandle);
}

TEST(ZnMenuOwnership, ItemBitmapsGoWithTheMenu)
{
    CoInitialize(nullptr);
    HBITMAP bitmap = nullptr;
    {
        ZnMenu menu;
        menu.CreatePopup();
        menu.AppendItem(1, L"With icon");
        HICON icon = LoadIconW(hiDLL, MAKEINTRESOURCEW(101));
        ASSERT_NE(icon, nullptr);
        HICON copy = CopyIcon(icon);
        if (!menu.SetItemIconByID(1, copy, 1))
            GTEST_SKIP() << "no WIC icon conversion here";
        MenuItemInfo info(MIIM_CHECKMARKS);
        menu.GetItemInfoByID(1, &info);
        bitmap = info.hbmpUnchecked;
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_EQ(GetObjectType(copy), 0u);  // the icon was destroyed as asked
        BITMAP info32 = {};
        GetObject(bitmap, sizeof(info32), &info32);
        EXPECT_EQ(info32.bmBitsPixel, 32);
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    CoUninitialize();
}

TEST(ZnMenuOwnership, GeneratedBitmapKeepsTheIconsPixels)
{
    CoInitialize(nullptr);
    HBITMAP bitmap = ZnMenu::GenerateBitmap(-101);
    if (!bitmap)
        GTEST_SKIP() << "no WIC icon conversion here";
    BITMAP info = {};
    GetObject(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXSMICON));
    ASSERT_NE(info.bmBits, nullptr);
    // The product icon is a blue tile: its centre is opaque and blue.
    const auto* pixels = static_cast<const BYTE*>(info.bmBits);
    const BYTE* centre = pixels + (info.bmHeight / 2) * info.bmWidthBytes + (info.bmWidth / 2 - 4) * 4;
    EXPECT_EQ(centre[3], 255);
    EXPECT_GT(centre[0], centre[2]);
    DeleteObject(bitmap);
    CoUninitialize();
}

TEST(ZnMenuBreaks, ColumnsStartWithABreakSeparator)
{
    ZnMenu menu;
    menu.CreatePopup();
    for (UINT i = 0; i < 25; ++i)
        menu.AppendItem(100 + i, L"Item %u", i);
    menu.InsertBreaks(10, 0);
    ASSERT_EQ(menu.GetCount(), 27);
    for (int pos : {10, 20}) {
        EXPECT_TRUE(ItemType(menu, pos) & MFT_SEPARATOR) << pos;
        EXPECT_TRUE(ItemType(menu, pos) & MFT_MENUBREAK) << pos;
    }
    EXPECT_EQ(menu.GetItemID(11), 110u);
    EXPECT_EQ(menu.GetItemID(26), 124u);
}

TEST(ZnMenuBreaks, EachSubMenuIsBrokenOnce)
{
    ZnMenu menu;
    menu.CreatePopup();
    HMENU sub = CreatePopupMenu();
    for (UINT i = 0; i < 5; ++i)
        AppendMenuW(sub, MF_STRING, 200 + i, L"Sub item");
    for (UINT i = 0; i < 4; ++i)
        menu.AppendItem(100 + i, L"Item");
    menu.InsertSubmenuByPos(2, sub, L"Sub");  // lands at position 2, where a break goes
    menu.InsertBreaks(2, 1);
    // Columns of two: 5 items and 3 breaks, however the menus nest.
    EXPECT_EQ(GetMenuItemCount(sub), 8);
    EXPECT_EQ(menu.GetCount(), 8);
    menu.InsertBreaks(10, 1);  // short menus are left alone
    EXPECT_EQ(menu.GetCount(), 8);
}

TEST(ZnMenuTracking, PostedKeysChooseAnItem)
{
    ModalWatchdog watchdog(5000);
    HWND owner = MakeOwner();
    ZnMenu menu;
    menu.CreatePopup();
    menu.AppendItem(1, L"One");
    menu.AppendItem(2, L"Two");
    PostKeys(owner, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(menu.Track(owner, POINT{20, 20}), 2u);
    PostKeys(owner, {VK_ESCAPE});
    EXPECT_EQ(menu.TrackForTBIcon(owner, 1), 0u);
    PostKeys(owner, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(menu.Track(owner, 0u), 1u);
    EXPECT_FALSE(watchdog.Fired());
    DestroyWindow(owner);
}

namespace {

class RecordingMenu : public ZnMenuEx {
public:
    void OnMenuLoop(int entering) override { log.push_back(entering ? L"enter" : L"exit"); }
    void OnInitMenuPopup(HMENU, UINT) override { log.push_back(L"init"); }
    void OnMenuSelect(UINT item, UINT, HMENU) override { log.push_back(L"select " + std::to_wstring(item)); }
    void OnMenuClose() override { log.push_back(L"close"); }
    std::vector<std::wstring> log;
};

} // namespace

TEST(ZnMenuTracking, TrackExRoutesTheOwnersMenuMessages)
{
    ModalWatchdog watchdog(5000);
    HWND owner = MakeOwner();
    LONG_PTR ownProc = GetWindowLongPtrW(owner, GWLP_WNDPROC);
    RecordingMenu menu;
    menu.CreatePopup();
    menu.AppendItem(7, L"Seven");
    PostKeys(owner, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(menu.TrackEx(owner, POINT{20, 20}), 7u);
    EXPECT_EQ(GetWindowLongPtrW(owner, GWLP_WNDPROC), ownProc);
    EXPECT_TRUE(ZnMenuEx::listMap.IsEmpty());
    ASSERT_GE(menu.log.size(), 3u);
    EXPECT_EQ(menu.log.front(), L"enter");
    EXPECT_NE(std::find(menu.log.begin(), menu.log.end(), L"select 7"), menu.log.end());
    EXPECT_NE(std::find(menu.log.begin(), menu.log.end(), L"close"), menu.log.end());

    // The close notification is told apart from a selection.
    menu.log.clear();
    SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    menu.OnMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(menu.log, std::vector<std::wstring>{L"close"});
    DestroyWindow(owner);
}

TEST(MenuMarker, AmpersandHelpers)
{
    EXPECT_EQ(GetMenuItemChar(L"Open"), 0);
    EXPECT_EQ(GetMenuItemChar(L"&open"), L'O');
    EXPECT_EQ(GetMenuItemChar(L"Save && E&xit"), L'X');
    EXPECT_EQ(GetMenuItemChar(L"Tom && Jerry"), 0);
    EXPECT_EQ(GetMenuItemChar(L"End&"), 0);
    EXPECT_STREQ(MakeNameFromMenu(L"&File &Edit"), L"File &Edit");
    EXPECT_STREQ(MakeNameFromMenu(L"A && B"), L"A && B");
    wchar_t text[] = L"Sa&ve";
    RemoveMenuChar(text);
    EXPECT_STREQ(text, L"Save");
    MenuItemInfo info(MIIM_ID);
    EXPECT_EQ(info.cbSize, 80u);
    EXPECT_EQ(info.fMask, static_cast<UINT>(MIIM_ID));
}

TEST(ZnMenuOwnership, ShieldBitmapIsSharedAndOutlivesMenus)
{
    CoInitialize(nullptr);
    HBITMAP shield = ZnMenu::LoadShieldIcon();
    if (!shield)
        GTEST_SKIP() << "no shield icon or WIC conversion here";
    EXPECT_EQ(ZnMenu::LoadShieldIcon(), shield);
    {
        ZnMenu menu;
        menu.CreatePopup();
        menu.AppendItem(3, L"Elevated");
        EXPECT_TRUE(menu.SetShieldIconByID(3));
        MenuItemInfo info(MIIM_CHECKMARKS);
        menu.GetItemInfoByPos(0, &info);
        EXPECT_EQ(info.hbmpChecked, shield);
    }
    EXPECT_EQ(GetObjectType(shield), static_cast<DWORD>(OBJ_BITMAP));
    CoUninitialize();
}
