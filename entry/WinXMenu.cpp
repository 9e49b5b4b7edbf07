#include "entry/WinXMenu.h"

#include <shellapi.h>

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
// path as item data; returns the next command id.
UINT AddGroup(ZnMenu& menu, const wchar_t* group, UINT nextId)
{
    wchar_t pattern[MAX_PATH];
    StrFormat(pattern, MAX_PATH, L"%s\\*.lnk", group);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return nextId;
    if (menu.GetCount() > 0)
        menu.InsertSeparatorByPos(0);
    do {
        auto* path = static_cast<wchar_t*>(DllHeap::AllocZero(MAX_PATH * sizeof(wchar_t)));
        StrFormat(path, MAX_PATH, L"%s\\%s", group, found.cFileName);
        SHFILEINFOW info = {};
        if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_DISPLAYNAME))
            info.szDisplayName[0] = L'\0';
        StripWinXNumbering(info.szDisplayName);
        wchar_t name[MAX_PATH];
        StrFormat(name, MAX_PATH, IsShortcutAsAdmin(path) ? L"%s (Admin)" : L"%s", info.szDisplayName);
        menu.InsertItemByPos(0, nextId, name, MF_STRING);
        menu.SetItemDataByID(nextId, reinterpret_cast<ULONG_PTR>(path));
        ++nextId;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return nextId;
}

void FreeItemPaths(ZnMenu& menu, int count)
{
    for (int pos = 0; pos < count; ++pos)
        DllHeap::Free(reinterpret_cast<void*>(menu.GetItemDataByPos(static_cast<UINT>(pos))));
}

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

    UINT nextId = winXFirstShortcutId;
    for (int n = 1;; ++n) {
        wchar_t group[MAX_PATH];
        StrFormat(group, MAX_PATH, L"%s\\Group%d", winX, n);
        if (!IsFolderExists(group))
            break;  // a gap ends the groups
        nextId = AddGroup(menu, group, nextId);
        if (n == 1) {
            if (extraMenu)
                menu.InsertSubmenuByPos(0, extraMenu, extraMenuText ? extraMenuText : L"");
            if (productMenu)
                menu.InsertSubmenuByPos(0, productMenu, GetMyProductInfo()->GetName());
        }
    }

    int count = menu.GetCount();
    if (count <= 0)
        return 0;
    UINT chosen = menu.TrackForTBIcon(owner, 0);
    int result = static_cast<int>(chosen);
    if (chosen >= winXFirstShortcutId) {
        ExecuteShortcut(owner, reinterpret_cast<const wchar_t*>(menu.GetItemDataByID(chosen)));
        result = 0;
    }
    FreeItemPaths(menu, count);
    return result;
}
