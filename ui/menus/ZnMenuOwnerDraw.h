// Owner-drawn pop-up menus: every item carries a ZnMenuOwnerDrawItem in its
// application data, which measures and paints it in the menu font (bold
// for the default item), the system menu colours or a skin's, with a frame
// around the selected item, an embossed look when disabled, a middle
// ellipsis for texts too wide, and an optional icon in a column of its own.
// The menu answers its own mnemonics (cycling among items that share a
// letter) and splits long menus into screen-high columns. Show it with
// ZnMenuEx::TrackEx, which routes the owner's measure, draw and menu
// character messages here.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "text/ZnBuf.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/menus/ZnMenu.h"

class ZnMenuOwnerDraw;

// One item's look. Made by the caller with new (std::nothrow) and handed to
// a menu, which deletes it. The colours, fonts and metrics below are shared
// by every item of every menu: they are made when the first item is
// constructed and released when the last one goes, so a skin set while
// items live applies to the items made after all of those are gone.
class PVDLL_API ZnMenuOwnerDrawItem {
public:
    // text is copied ("&" marks the mnemonic); data is the caller's.
    ZnMenuOwnerDrawItem(ZnMenuOwnerDraw* menu, const wchar_t* text, unsigned __int64 data = 0);
    virtual ~ZnMenuOwnerDrawItem();
    // The item owns its text and icon: a copy would free them twice.
    ZnMenuOwnerDrawItem(const ZnMenuOwnerDrawItem&) = delete;
    ZnMenuOwnerDrawItem& operator=(const ZnMenuOwnerDrawItem&) = delete;

    // A separator drawn as an etched line; the menu's keyboard moves skip it.
    // Null when there is no memory.
    static ZnMenuOwnerDrawItem* NewSeparator(ZnMenuOwnerDraw* menu);

    virtual void GetSize(UINT id, HDC dc, SIZE& size);
    // state: DRAWITEMSTRUCT's itemState.
    virtual void Paint(UINT id, HDC dc, RECT& rect, UINT state);
    virtual void GetEraseRect(UINT id, RECT& item, RECT& erase);
    virtual void GetTextRect(UINT id, RECT& item, RECT& textRect);
    // Extras of a derived item, drawn after the text; nothing here.
    virtual void CustomPaint(UINT id, HDC dc, RECT& rect, UINT state);

    ZnMenuOwnerDraw* GetMenu() const { return menu; }
    void SetMenu(ZnMenuOwnerDraw* owner) { menu = owner; }
    // Null when the item has no text (a separator, or a copy that found no
    // memory).
    const wchar_t* GetText() const { return text.IsReady() ? static_cast<wchar_t*>(text) : nullptr; }
    UINT GetTextLength() const { return textLength; }
    unsigned __int64 GetData() const { return data; }
    void SetData(unsigned __int64 value) { data = value; }
    int IsSeparator() const { return separator; }

    // The item takes the icon (null removes it); it is drawn at small-icon
    // size left of the text, in a column that every item of the menu then
    // leaves free.
    void SetIcon(HICON icon);
    HICON GetIcon() const { return icon.Get(); }

    // The colours a skin gives (highlight background, highlight text,
    // selection border), copied; null forgets them. Without such a copy the
    // skin-mode skin's menu metrics apply, if one is loaded, else the
    // system colours.
    static void SetSkin(const SKIN_MENU_METRICS* skin);

    // --- the shared look, valid while an item exists ---
    // [0] normal, [1] highlighted.
    static COLORREF BkColor(int highlighted);
    static COLORREF TextColor(int highlighted);
    static COLORREF BorderColor();
    static COLORREF GrayColor();
    static HBRUSH BkBrush(int highlighted);
    // defaultItem: the bold font.
    static HFONT Font(int defaultItem);
    static int TextIndent();
    // The height of "Hg" in the menu font.
    static int ItemHeight();
    // No item is measured wider: half the screen.
    static int MaxTextWidth();
    // The width of the icon column, when a menu has one.
    static int IconColumnWidth();
    static int LiveItems();

protected:
    // Whether the item is its menu's default item.
    int IsDefaultItem(UINT id) const;
    // Whether the item leaves room for icons.
    int HasIconColumn() const;
    // The text's width in the normal [0] or bold [1] font, measured once:
    // the fonts stay the same while any item lives.
    int TextWidthIn(HDC dc, int bold);

    ZnMenuOwnerDraw* menu;
    ZnBuf text;
    UINT textLength;
    unsigned __int64 data;
    IconHandle icon;
    int separator = 0;
    int textWidth[2] = {-1, -1};
};

// The colours a skin gives to the owner-drawn menus (see SetSkin above).
PVDLL_API void SetMenuSkin(const SKIN_MENU_METRICS* skin);

// text shortened in its middle ("...") to about availWidth / textWidth of
// its characters, keeping start and end; text itself when it fits. The
// shortened text lies in a buffer that the next call overwrites; when that
// buffer cannot grow, text itself comes back.
PVDLL_API const wchar_t* FitText(const wchar_t* text, int textWidth, int availWidth);

class PVDLL_API ZnMenuOwnerDraw : public ZnMenuEx {
public:
    // Style bit: a selected item keeps the menu background (it is still
    // framed).
    enum : DWORD { styleNoHighlight = 0x80000000 };

    ZnMenuOwnerDraw();
    // Borrows menu: its item objects stay where they are when this object
    // goes.
    explicit ZnMenuOwnerDraw(HMENU menu, int popup = 1);
    // An owning menu deletes the item objects of its items and of its
    // sub-menus' items.
    ~ZnMenuOwnerDraw() override;
    // Sub-menu objects made by MakeSubMenu are owner-drawn menus too.
    ZnMenu* CreateSubMenu() override;

    DWORD Style(int set, DWORD value);
    static DWORD DefaultStyle(int set, DWORD value);

    // --- items: the menu takes item in every case (a failed insertion
    // deletes it); state is MFS_ flags (MFS_GRAYED, MFS_DEFAULT, ...) ---
    using ZnMenu::AppendItem;
    using ZnMenu::AppendSubMenu;
    int AppendItem(UINT id, ZnMenuOwnerDrawItem* item, UINT state = 0);
    int InsertItemBeforeID(UINT beforeId, UINT id, ZnMenuOwnerDrawItem* item, UINT state = 0);
    int InsertItemBeforePos(UINT pos, UINT id, ZnMenuOwnerDrawItem* item, UINT state = 0);
    int InsertItem(UINT where, int byPos, UINT id, ZnMenuOwnerDrawItem* item, UINT state = 0);
    int AppendSubMenu(HMENU sub, ZnMenuOwnerDrawItem* item, UINT state = 0);
    int InsertSubMenu(UINT where, int byPos, HMENU sub, ZnMenuOwnerDrawItem* item, UINT state = 0);
    // An owner-drawn separator line.
    int AppendSeparatorItem();

    // Null when the item is missing or has no item object.
    ZnMenuOwnerDrawItem* GetItem(UINT item, int byPos);
    ZnMenuOwnerDrawItem* GetItemByID(UINT id) { return GetItem(id, 0); }
    ZnMenuOwnerDrawItem* GetItemByPos(UINT pos) { return GetItem(pos, 1); }
    // The item object's text (cut to count - 1 characters); whether it is
    // not empty.
    int GetStr(UINT item, int byPos, wchar_t* buffer, int count);
    int GetStrByID(UINT id, wchar_t* buffer, int count) { return GetStr(id, 0, buffer, count); }
    int GetStrByPos(UINT pos, wchar_t* buffer, int count) { return GetStr(pos, 1, buffer, count); }
    // The first item whose object's text equals text ignoring case, or
    // 0xFFFFFFFF.
    UINT FindStrPos(const wchar_t* text);

    // Deletes the item objects of this menu and its sub-menus and clears the
    // items' data; the items stay.
    void DeleteOwnerDrawItems();
    void DeleteAll() override;

    // Columns as high as the screen holds items, sub-menus too.
    using ZnMenu::InsertBreaks;
    void InsertBreaks(int bar);
    // The items per column InsertBreaks makes for count items of
    // itemHeight on a screen screenHeight high; 0 when no break is made.
    static int BreakColumnLength(int count, int screenHeight, int itemHeight);

    // Whether the items leave a column for icons; an item with an icon
    // turns it on.
    int HasIconColumn() const { return iconColumn; }
    void SetIconColumn(int on) { iconColumn = on; }
    // The height of this menu's rows.
    int RowHeight() const;

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnMeasureItem(MEASUREITEMSTRUCT* mis) override;
    int OnDrawItem(DRAWITEMSTRUCT* dis) override;
    // The mnemonics: a letter shared by several items selects them in turn,
    // a letter of one item executes it. The memory of the last key is
    // process-wide and goes when the menu closes.
    LRESULT OnMenuChar(HMENU menu, wchar_t ch) override;
    void OnMenuClose() override;
    void OnMenuLoop(int entering) override;
    // Forgets the last mnemonic key.
    static void ResetMenuChar();

protected:
    // Inserts item with info (its data set here); takes the item over.
    int InsertOwnerDrawn(UINT where, int byPos, MENUITEMINFOW& info, ZnMenuOwnerDrawItem* item);

    DWORD dwStyle;
    int iconColumn = 0;
};
