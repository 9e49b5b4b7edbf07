// ZnMenu wraps a menu handle: it creates, attaches or owns the menu,
// forwards the item operations by command id (ByID) or position (ByPos),
// owns the sub-menu objects and item bitmaps it made, inserts column
// breaks into long menus and shows the menu as a pop-up. ZnMenuEx lets
// the owner window's menu messages reach virtual handlers while it shows.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "base/ZnList.h"

// A MENUITEMINFOW with its size set and the given mask.
struct MenuItemInfo : MENUITEMINFOW {
    explicit MenuItemInfo(UINT mask = 0) : MENUITEMINFOW{}
    {
        cbSize = sizeof(MENUITEMINFOW);
        fMask = mask;
    }
};

class PVDLL_API ZnMenu {
public:
    // A menu object without a handle: popup and owning.
    ZnMenu();
    // Borrows menu (not owned); popup says what kind it is.
    explicit ZnMenu(HMENU menu, int popup = 1);
    // Destroys an owned menu, the sub-menu objects and the item bitmaps.
    // A sub-menu that lives inside this menu is destroyed once, with it.
    virtual ~ZnMenu();
    // The object owns a handle, bitmaps and sub-menu objects.
    ZnMenu(const ZnMenu&) = delete;
    ZnMenu& operator=(const ZnMenu&) = delete;

    virtual void DeleteAll();
    // A new menu object without a handle, for MakeSubMenu.
    virtual ZnMenu* CreateSubMenu();

    int Create();
    int CreatePopup();
    void Attach(HMENU menu);
    HMENU Detach();
    void Destroy();
    HMENU GetHandle() const { return hMenu; }
    operator HMENU() const { return hMenu; }
    int IsPopup() const { return isPopup; }
    int OwnsMenu() const { return ownsMenu; }

    // Made by CreateSubMenu, owned by this menu; the caller creates its
    // handle (typically CreatePopup) and inserts it.
    ZnMenu* MakeSubMenu();

    // --- items ---
    int ItemExistsByID(UINT id);
    int GetItemInfo(UINT item, int byPos, MENUITEMINFOW* info);
    int GetItemInfoByID(UINT id, MENUITEMINFOW* info) { return GetItemInfo(id, 0, info); }
    int GetItemInfoByPos(UINT pos, MENUITEMINFOW* info) { return GetItemInfo(pos, 1, info); }
    int SetItemInfo(UINT item, int byPos, MENUITEMINFOW* info);
    int SetItemInfoByID(UINT id, MENUITEMINFOW* info) { return SetItemInfo(id, 0, info); }
    int SetItemInfoByPos(UINT pos, MENUITEMINFOW* info) { return SetItemInfo(pos, 1, info); }
    ULONG_PTR GetItemData(UINT item, int byPos);
    ULONG_PTR GetItemDataByID(UINT id) { return GetItemData(id, 0); }
    ULONG_PTR GetItemDataByPos(UINT pos) { return GetItemData(pos, 1); }
    int SetItemData(UINT item, int byPos, ULONG_PTR data);
    int SetItemDataByID(UINT id, ULONG_PTR data) { return SetItemData(id, 0, data); }
    int SetItemDataByPos(UINT pos, ULONG_PTR data) { return SetItemData(pos, 1, data); }
    int SetStr(UINT item, int byPos, const wchar_t* text);
    int SetStrByID(UINT id, const wchar_t* text) { return SetStr(id, 0, text); }
    int SetStrByPos(UINT pos, const wchar_t* text) { return SetStr(pos, 1, text); }
    int GetStrByID(UINT id, wchar_t* buf, int cch);
    int GetStrByPos(UINT pos, wchar_t* buf, int cch);
    int GetStrLengthByID(UINT id);
    int GetStrLengthByPos(UINT pos);
    int SetBreak(UINT item, int byPos, int bar);
    int SetBreakByID(UINT id, int bar) { return SetBreak(id, 0, bar); }
    int SetBreakByPos(UINT pos, int bar) { return SetBreak(pos, 1, bar); }
    int DeleteItemByID(UINT id);
    int DeleteItemByPos(UINT pos);
    int RemoveItemByID(UINT id);
    int RemoveItemByPos(UINT pos);
    int SetDefaultByID(UINT id);
    int SetDefaultByPos(UINT pos);
    UINT GetDefaultID(UINT flags);
    UINT GetDefaultPos(UINT flags);
    int AppendSeparator();
    int InsertSeparatorByID(UINT where);
    int InsertSeparatorByPos(UINT where);
    // The text is formatted printf-style (at most 260 characters).
    int AppendItem(UINT id, const wchar_t* format, ...);
    // Its position, or 0xFFFFFFFF.
    UINT AppendSubMenu(HMENU subMenu, const wchar_t* format, ...);
    int InsertItemByID(UINT where, UINT id, const wchar_t* text, UINT flags = 0);
    int InsertItemByPos(UINT where, UINT id, const wchar_t* text, UINT flags = 0);
    int InsertSubmenuByID(UINT where, HMENU subMenu, const wchar_t* text, UINT flags = 0);
    int InsertSubmenuByPos(UINT where, HMENU subMenu, const wchar_t* text, UINT flags = 0);
    DWORD CheckItemByID(UINT id, int check);
    DWORD CheckItemByPos(UINT pos, int check);
    int CheckRadioItemByID(UINT first, UINT last, UINT id);
    int CheckRadioItemByPos(UINT first, UINT last, UINT pos);
    int EnableItemByID(UINT id, int enable);
    int EnableItemByPos(UINT pos, int enable);
    int GetCount() const;
    UINT GetItemID(int pos) const;
    HMENU GetSubMenu(int pos) const;
    // Caller-owned bitmaps.
    int SetItemBitmaps(UINT item, int byPos, HBITMAP unchecked, HBITMAP checked);
    int SetItemBitmapsByID(UINT id, HBITMAP unchecked, HBITMAP checked)
    {
        return SetItemBitmaps(id, 0, unchecked, checked);
    }
    int SetItemBitmapsByPos(UINT pos, HBITMAP unchecked, HBITMAP checked)
    {
        return SetItemBitmaps(pos, 1, unchecked, checked);
    }
    // The icon becomes a bitmap that the menu owns.
    int SetItemIcon(UINT item, int byPos, HICON icon, int destroyIcon);
    int SetItemIconByID(UINT id, HICON icon, int destroyIcon) { return SetItemIcon(id, 0, icon, destroyIcon); }
    int SetItemIconByPos(UINT pos, HICON icon, int destroyIcon) { return SetItemIcon(pos, 1, icon, destroyIcon); }
    int SetShieldIconByID(UINT id);
    int SetShieldIconByPos(UINT pos);
    int SetHelpId(DWORD id);
    DWORD GetHelpId() const;
    // Case-insensitive, "&" included; 0xFFFFFFFF when not found.
    UINT FindStrPos(const wchar_t* text);
    UINT FindStrID(const wchar_t* text);
    // Starts a new column every `every` items, sub-menus too.
    void InsertBreaks(int every, int bar);

    // --- showing: the chosen command id, 0 when dismissed ---
    UINT Track(HWND owner, UINT ctrlId);
    UINT Track(HWND owner, POINT pt);
    // For a notification-area icon's menu: brings owner to the front for
    // the time of the menu, then gives the foreground back.
    UINT TrackForTBIcon(HWND owner, int adjust);

    // 32-bit premultiplied menu bitmaps of icons (the caller owns them).
    static HBITMAP GenerateBitmap(int iconId);
    static HBITMAP GenerateBitmap(HICON icon);
    // The system shield as a menu bitmap, shared and kept for the process;
    // null while it cannot be made (a later call tries again).
    static HBITMAP LoadShieldIcon();

protected:
    static void AdjustPointForTrayIcon(POINT& pt);
    UINT TrackAt(HWND owner, POINT pt);

    HMENU hMenu;
    int isPopup;
    int ownsMenu;
    ZnList subMenus;
    ZnList itemBitmaps;

private:
    int SetShieldIcon(UINT item, int byPos);
    void InsertBreaksHere(int every, int bar);
};

class PVDLL_API ZnMenuEx : public ZnMenu {
public:
    ZnMenuEx() = default;
    explicit ZnMenuEx(HMENU menu, int popup = 1) : ZnMenu(menu, popup) {}

    // Shows the pop-up at pt while the owner's menu messages reach the
    // handlers below.
    UINT TrackEx(HWND owner, POINT pt);

    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void OnMenuLoop(int entering);
    virtual void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    virtual void OnMenuClose();
    virtual void OnInitMenuPopup(HMENU menu, UINT index);
    virtual int OnMeasureItem(MEASUREITEMSTRUCT* mis);
    virtual int OnDrawItem(DRAWITEMSTRUCT* dis);
    virtual LRESULT OnMenuChar(HMENU menu, wchar_t ch);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The owner windows of the pop-ups being tracked, with their menus.
    static ZnList listMap;

protected:
    WNDPROC prevWndProc = nullptr;
    HWND ownerWnd = nullptr;
};

// The "&" mnemonic marker of item texts; "&&" stands for a literal "&"
// and is no marker.
PVDLL_API void RemoveMenuChar(wchar_t* text);
// A copy without the marker, in a buffer the next call overwrites.
PVDLL_API const wchar_t* MakeNameFromMenu(const wchar_t* text);
// The upper-cased character after the marker, or 0.
PVDLL_API wchar_t GetMenuItemChar(const wchar_t* text);
