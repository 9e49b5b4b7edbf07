#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/ShortcutSupport.h"
#include "common/TestSupport.h"
#include "common/TestWindow.h"

namespace {

// What the test's owner window saw of the shown menu, and what it does.
struct MenuView {
    std::vector<std::wstring> items;  // text, "-" for a separator, "name >" for a submenu
    std::vector<UINT> ids;
    HMENU top = nullptr;
    std::vector<WPARAM> keys;  // typed once the menu is up
};

MenuView view;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITMENUPOPUP && !view.top) {
        auto menu = reinterpret_cast<HMENU>(wParam);
        view.top = menu;
        int count = GetMenuItemCount(menu);
        for (int pos = 0; pos < count; ++pos) {
            MenuItemInfo info(MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING);
            wchar_t text[MAX_PATH] = {};
            info.dwTypeData = text;
            info.cch = MAX_PATH;
            GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
            if (info.fType & MFT_SEPARATOR)
                view.items.push_back(L"-");
            else if (info.hSubMenu)
                view.items.push_back(std::wstring(text) + L" >");
            else
                view.items.push_back(text);
            view.ids.push_back(info.wID);
        }
        for (WPARAM key : view.keys)
            PostMessageW(hwnd, WM_KEYDOWN, key, 0);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const TestWindowKind ownerSpec = {.className = L"PVDLLWinXOwner",
                                  .proc = OwnerProc,
                                  .title = L"host",
                                  .style = WS_POPUP | WS_VISIBLE,
                                  .cx = 50,
                                  .cy = 50};

// A WinX folder of the test's own: LOCALAPPDATA points into a temporary
// folder for the time of the test, so the prefix's real profile is never
// touched.
class WinXMenu : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        wchar_t old[MAX_PATH] = {};
        GetEnvironmentVariableW(L"LOCALAPPDATA", old, MAX_PATH);
        savedLocalAppData = old;
        SetEnvironmentVariableW(L"LOCALAPPDATA", folder.Path().c_str());
        winX = folder / L"Microsoft";
        CreateDirectoryW(winX.c_str(), nullptr);
        winX += L"\\Windows";
        CreateDirectoryW(winX.c_str(), nullptr);
        winX += L"\\WinX";

        owner = ownerWindow.emplace(ownerSpec);
        view = MenuView();
    }
    void TearDown() override
    {
        ownerWindow.reset();
        SetEnvironmentVariableW(L"LOCALAPPDATA", savedLocalAppData.c_str());
        CoUninitialize();
    }

    void MakeGroup(int n) { CreateDirectoryW(Group(n).c_str(), nullptr); }
    std::wstring Group(int n) const { return winX + L"\\Group" + std::to_wstring(n); }

    // A shortcut to the marker program, run in the test's folder.
    void AddShortcut(int group, const std::wstring& name)
    {
        iShellLink link;
        ASSERT_TRUE(link.SetPath((ModuleFolder() + L"\\pvmarker.exe").c_str()));
        ASSERT_TRUE(link.SetDir(folder.Path().c_str()));
        ASSERT_TRUE(link.Save((Group(group) + L"\\" + name).c_str()));
    }

    // Windows' own layout: numbered items in three groups.
    void MakeWindowsLikeFolder()
    {
        CreateDirectoryW(winX.c_str(), nullptr);
        MakeGroup(1);
        AddShortcut(1, L"01 - Desktop.lnk");
        MakeGroup(2);
        AddShortcut(2, L"1 - Run.lnk");
        AddShortcut(2, L"2 - Search.lnk");
        AddShortcut(2, L"3 - Explorer.lnk");
        MakeGroup(3);
        AddShortcut(3, L"01 - Command Prompt.lnk");
        AddShortcut(3, L"02 - Terminal.lnk");
    }

    int Show(HMENU extra = nullptr, HMENU product = nullptr)
    {
        ModalWatchdog watchdog(8000);
        int result = ShowRightClickMenuWinX(owner, extra, L"Host tools", product);
        EXPECT_FALSE(watchdog.Fired());
        return result;
    }

    static HMENU HostMenu(UINT firstId)
    {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, firstId, L"Host command");
        AppendMenuW(menu, MF_STRING, firstId + 1, L"Other");
        return menu;
    }

    bool MarkerRan()
    {
        std::wstring marker = folder / L"pvmarker.txt";
        for (int i = 0; i < 200; ++i) {
            if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
                return true;
            Sleep(50);
        }
        return false;
    }

    TempFolder folder;
    std::wstring winX;
    std::wstring savedLocalAppData;
    std::optional<TestWindow> ownerWindow;
    HWND owner = nullptr;
};

} // namespace

TEST(WinXNumbering, OneOrTwoDigitsBeforeBlankHyphenBlankAreStripped)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* shown;
    } cases[] = {
        {L"1 - Run", L"Run"},         {L"01 - Desktop", L"Desktop"}, {L"123 - Three", L"123 - Three"},
        {L"1-Run", L"1-Run"},         {L"1 -Run", L"1 -Run"},        {L"Run", L"Run"},
        {L"7 - ", L""},               {L"", L""},                    {L"4", L"4"},
    };
    for (const Case& c : cases) {
        wchar_t name[MAX_PATH];
        lstrcpyW(name, c.name);
        StripWinXNumbering(name);
        EXPECT_STREQ(name, c.shown) << c.name;
    }
}

TEST_F(WinXMenu, MissingFolderGivesMinusOneAndShowsNothing)
{
    HMENU extra = HostMenu(10);
    EXPECT_EQ(Show(extra, nullptr), -1);
    EXPECT_EQ(view.top, nullptr);
    DestroyMenu(extra);
}

TEST_F(WinXMenu, EmptyFirstGroupWithoutSubmenusShowsNothing)
{
    CreateDirectoryW(winX.c_str(), nullptr);
    MakeGroup(1);
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(view.top, nullptr);
}

TEST_F(WinXMenu, GroupsStackFromTheTopWithSubmenusAfterGroupOne)
{
    MakeWindowsLikeFolder();
    view.keys = {VK_ESCAPE};
    HMENU extra = HostMenu(10);
    HMENU product = HostMenu(20);
    EXPECT_EQ(Show(extra, product), 0);
    std::vector<std::wstring> expected = {
        L"Terminal", L"Command Prompt", L"-", L"Explorer", L"Search", L"Run", L"-",
        L"Launchora >", L"Host tools >", L"Desktop",
    };
    EXPECT_EQ(view.items, expected);
    // Ids from 2048 in insertion order: Desktop, Run, Search, Explorer, ...
    EXPECT_EQ(view.ids[9], 2048u);
    EXPECT_EQ(view.ids[5], 2049u);
    EXPECT_EQ(view.ids[3], 2051u);
    EXPECT_EQ(view.ids[0], 2053u);
    // The host's submenus went with the menu.
    EXPECT_FALSE(IsMenu(extra));
    EXPECT_FALSE(IsMenu(product));
    EXPECT_FALSE(IsMenu(view.top));
}

TEST_F(WinXMenu, GapEndsTheGroups)
{
    CreateDirectoryW(winX.c_str(), nullptr);
    MakeGroup(1);
    AddShortcut(1, L"01 - Desktop.lnk");
    MakeGroup(3);
    AddShortcut(3, L"01 - Never shown.lnk");
    view.keys = {VK_ESCAPE};
    EXPECT_EQ(Show(), 0);
    EXPECT_EQ(view.items, std::vector<std::wstring>{L"Desktop"});
}

TEST_F(WinXMenu, EmptyMiddleGroupAddsNoSeparator)
{
    CreateDirectoryW(winX.c_str(), nullptr);
    MakeGroup(1);
    AddShortcut(1, L"1 - One.lnk");
    MakeGroup(2);
    MakeGroup(3);
    AddShortcut(3, L"1 - Three.lnk");
    view.keys = {VK_ESCAPE};
    Show();
    EXPECT_EQ(view.items, (std::vector<std::wstring>{L"Three", L"-", L"One"}));
}

TEST_F(WinXMenu, ChosenShortcutRunsAndGivesZero)
{
    MakeWindowsLikeFolder();
    view.keys = {VK_DOWN, VK_RETURN};  // the top item: Terminal
    EXPECT_EQ(Show(), 0);
    EXPECT_TRUE(MarkerRan()) << "the chosen shortcut did not run";
}

TEST_F(WinXMenu, HostCommandComesBack)
{
    MakeWindowsLikeFolder();
    HMENU product = HostMenu(20);
    // Down over the five shortcuts of groups 3 and 2 to "Launchora", open it,
    // take its second command.
    view.keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN};
    EXPECT_EQ(Show(nullptr, product), 21);
    EXPECT_EQ(view.items[7], L"Launchora >");
}

TEST_F(WinXMenu, DismissingGivesZero)
{
    MakeWindowsLikeFolder();
    view.keys = {VK_ESCAPE};
    EXPECT_EQ(Show(), 0);
    EXPECT_FALSE(MarkerRan());
}

TEST_F(WinXMenu, ElevatedShortcutIsMarkedAdmin)
{
    CreateDirectoryW(winX.c_str(), nullptr);
    MakeGroup(1);
    std::wstring path = Group(1) + L"\\02 - Command Prompt (Admin).lnk";
    {
        iShellLink link;
        ASSERT_TRUE(link.SetPath((ModuleFolder() + L"\\pvmarker.exe").c_str()));
        if (!MarkRunAsAdmin(link))
            GTEST_SKIP() << "the platform's IShellLinkDataList does not keep SLDF_RUNAS_USER (Wine 8)";
        ASSERT_TRUE(link.Save(path.c_str()));
    }
    view.keys = {VK_ESCAPE};
    Show();
    EXPECT_EQ(view.items, std::vector<std::wstring>{L"Command Prompt (Admin) (Admin)"});
}
