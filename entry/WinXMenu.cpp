#include "entry/WinXMenu.h"

#include <shellapi.h>

#include "base/Owners.h"
#include "base/ProductInfo.h"
#include "shell/Shortcuts.h"
#include "storage/FileQuery.h"
#include "base/internal/DllHeap.h"
#include "base/StrFormat.h"
#include "ui/menus/ZnMenu.h"

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsNumberingSeparator(const wchar_t* p)
{
    return p[0] == L' ' && p[1] == L'-' && p[2] == L' ';
}

// Adds the shortcuts of one group at the top of the menu, each with its
// path as item data, and moves nextId on past them. False when a path
// could not be had for want of memory.
bool AddGroup(ZnMenu& menu, const wchar_t* group, UINT& nextId)
{
    wchar_t pattern[MAX_PATH];
    StrFormat(pattern, MAX_PATH, L"%s\\*.lnk", group);
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(pattern, &found));
    if (!find)
        return true;
    if (menu.GetCount() > 0)
        menu.InsertSeparatorByPos(0);
    do {
        DllBlock<wchar_t> path(DllHeap::AllocArrayZero<wchar_t>(MAX_PATH));
        if (!path)
            return false;
        StrFormat(path.Get(), MAX_PATH, L"%s\\%s", group, found.cFileName);
        SHFILEINFOW info = {};
        if (!SHGetFileInfoW(path.Get(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME))
            info.szDisplayName[0] = L'\0';
        StripWinXNumbering(info.szDisplayName);
        wchar_t name[MAX_PATH];
        StrFormat(name, MAX_PATH, IsShortcutAsAdmin(path.Get()) ? L"%s (Admin)" : L"%s", info.szDisplayName);
        menu.InsertItemByPos(0, nextId, name, MF_STRING);
        // The item keeps the path from here on; without an item it is ours.
        if (menu.SetItemDataByID(nextId, reinterpret_cast<ULONG_PTR>(path.Get())))
            path.Release();
        ++nextId;
    } while (FindNextFileW(find.Get(), &found));
    return true;
}

// The paths the menu's items carry, given back however the call ends.
class ItemPaths {
public:
    explicit ItemPaths(ZnMenu& menu) : menu(menu) {}
    ~ItemPaths()
    {
        int count = menu.GetCount();
        for (int pos = 0; pos < count; ++pos)
            DllBlock<wchar_t>(reinterpret_cast<wchar_t*>(menu.GetItemDataByPos(static_cast<UINT>(pos))));
    }
    ItemPaths(const ItemPaths&) = delete;
    ItemPaths& operator=(const ItemPaths&) = delete;

private:
    ZnMenu& menu;
};

} // namespace

void StripWinXNumbering(wchar_t* name)
{
    int digits = IsDigit(name[0]) ? (IsDigit(name[1]) ? 2 : 1) : 0;
    if (digits && IsNumberingSeparator(name + digits)) {
        int skip = digits + 3;
        memmove(name, name + skip, (lstrlenW(name + skip) + 1) * sizeof(wchar_t));
    }
}

int ShowRightClickMenuWinX(HWND owner, HMENU extraMenu, const wchar_t* extraMenuText, HMENU productMenu)
{
    ZnMenu menu;
    menu.CreatePopup();
    wchar_t winX[MAX_PATH] = L"%LOCALAPPDATA%\\Microsoft\\Windows\\WinX";
    DoEnvironmentSubstW(winX, MAX_PATH);
    if (!IsFolderExists(winX))
        return -1;

    ItemPaths paths(menu);
    UINT nextId = winXFirstShortcutId;
    bool complete = true;
    for (int n = 1; complete; ++n) {
        wchar_t group[MAX_PATH];
        StrFormat(group, MAX_PATH, L"%s\\Group%d", winX, n);
        if (!IsFolderExists(group))
            break;  // a gap ends the groups
        complete = AddGroup(menu, group, nextId);
        // Inserted even when memory ran out: the menu destroys them with
        // itself, as it does on every other way out.
        if (n == 1) {
            if (extraMenu)
                menu.InsertSubmenuByPos(0, extraMenu, extraMenuText ? extraMenuText : L"");
            if (productMenu)
                menu.InsertSubmenuByPos(0, productMenu, GetMyProductInfo()->GetName());
        }
    }
    // A menu with shortcuts missing for want of memory is not shown.
    if (!complete || menu.GetCount() <= 0)
        return 0;
    UINT chosen = menu.TrackForTBIcon(owner, 0);
    int result = static_cast<int>(chosen);
    if (chosen >= winXFirstShortcutId) {
        ExecuteShortcut(owner, reinterpret_cast<const wchar_t*>(menu.GetItemDataByID(chosen)));
        result = 0;
    }
    return result;
}
