#include "ui/menus/ZnMenuOwnerDraw.h"

#include <climits>
#include <cwchar>
#include <memory>
#include <new>

#include "base/CritSec.h"
#include "base/internal/DllHeap.h"
#include "text/StrFunc.h"
#include "ui/window/ZnDC.h"

namespace {

// --- the look shared by all items ----------------------------------------------------

// Lives on the heap from the first item to the last: a process that ends
// with items alive must not free GDI objects from the library's detach.
struct SharedLook {
    COLORREF bk[2];
    COLORREF text[2];
    COLORREF border;
    COLORREF gray;
    BrushHandle brush[2];
    // Only a font made here is deleted; the stock fallback is not.
    FontHandle madeFont;
    HFONT font;
    FontHandle boldFont;
    int indent;
    int itemHeight;
    int maxText;
};

CritSec lookLock;
SharedLook* look;
long liveItems;
// The copy SetMenuSkin keeps.
SKIN_MENU_METRICS skinCopy;
int hasSkinCopy;

// The skin's colours, in order: highlight background, highlight text,
// selection border. The copy given to SetMenuSkin wins over skin mode's.
bool CurrentSkin(SKIN_MENU_METRICS& skin)
{
    if (hasSkinCopy) {
        skin = skinCopy;
        return true;
    }
    if (const SKIN_MENU_METRICS* mode = GetSkinModeMenuMetrics()) {
        skin = *mode;
        return true;
    }
    return false;
}

SharedLook* MakeLook()
{
    std::unique_ptr<SharedLook> made(new (std::nothrow) SharedLook{});
    if (!made)
        return nullptr;
    SKIN_MENU_METRICS skin;
    const bool skinned = CurrentSkin(skin);
    made->bk[0] = GetSysColor(COLOR_MENU);
    made->bk[1] = skinned ? skin.words[0] : GetSysColor(COLOR_HIGHLIGHT);
    made->text[0] = GetSysColor(COLOR_MENUTEXT);
    made->text[1] = skinned ? skin.words[1] : GetSysColor(COLOR_HIGHLIGHTTEXT);
    made->border = skinned ? skin.words[2] : GetSysColor(COLOR_HIGHLIGHTTEXT);
    made->gray = GetSysColor(COLOR_GRAYTEXT);
    made->brush[0].Reset(CreateSolidBrush(made->bk[0]));
    made->brush[1].Reset(CreateSolidBrush(made->bk[1]));

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW bold = {};
    bool haveBold = false;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        made->madeFont.Reset(CreateFontIndirectW(&metrics.lfMenuFont));
        bold = metrics.lfMenuFont;
        haveBold = true;
    }
    if (made->madeFont) {
        made->font = made->madeFont.Get();
    } else {
        made->font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
        haveBold = GetObjectW(made->font, sizeof(bold), &bold) == sizeof(bold);
    }
    if (haveBold) {
        bold.lfWeight = FW_BOLD;
        made->boldFont.Reset(CreateFontIndirectW(&bold));
    }

    made->indent = 2;
    made->maxText = GetSystemMetrics(SM_CXSCREEN) / 2;
    ClientDC screen(nullptr);
    HGDIOBJ old = SelectObject(screen, made->font);
    SIZE hg = {};
    GetTextExtentPoint32W(screen, L"Hg", 2, &hg);
    SelectObject(screen, old);
    made->itemHeight = hg.cy > 0 ? hg.cy : 16;
    return made.release();
}

void AddItemUser()
{
    CritSecLock hold(lookLock);
    ++liveItems;
    // A first item that found no memory for the look leaves the next one
    // to try again.
    if (!look)
        look = MakeLook();
}

void ReleaseItemUser()
{
    CritSecLock hold(lookLock);
    if (liveItems > 0 && --liveItems == 0) {
        std::unique_ptr<SharedLook> leaving(look);
        look = nullptr;
    }
}

// The look in force, or the system's while none was made (no item, or no
// memory).
COLORREF LookColor(COLORREF SharedLook::*field, int sysColor)
{
    return look ? look->*field : GetSysColor(sysColor);
}

int IconSize()
{
    return GetSystemMetrics(SM_CXSMICON);
}

// The width DrawTextW gives text on one line ("&" prefixes processed).
int TextWidth(HDC dc, const wchar_t* text, int length)
{
    RECT bounds = {};
    DrawTextW(dc, text, length, &bounds, DT_SINGLELINE | DT_CALCRECT);
    return bounds.right - bounds.left;
}

// FitText's rule into out (capacity at least length + 1): the length of
// the result, or -1 when text fits as it is.
int FitTextInto(const wchar_t* text, int length, int textWidth, int availWidth, wchar_t* out)
{
    if (textWidth <= availWidth || length <= 0)
        return -1;
    const int drop = length - MulDiv(length, availWidth, textWidth) + 3;
    const int head = (length - drop) / 2;
    if (head <= 0) {
        out[0] = L'\0';
        return 0;
    }
    const int tail = length - head - drop;
    wmemcpy(out, text, static_cast<size_t>(head));
    wmemcpy(out + head, L"...", 3);
    wmemcpy(out + head + 3, text + head + drop, static_cast<size_t>(tail));
    out[head + 3 + tail] = L'\0';
    return head + 3 + tail;
}

// The process-wide result buffer of FitText, grown to the longest text.
DllBlock<wchar_t> fitBuffer;
size_t fitCapacity;

// The last mnemonic key: which menu, which character, and the position the
// next press of it goes to (-1: start over).
struct MenuCharMemory {
    HMENU menu;
    wchar_t ch;
    int next;
};
MenuCharMemory charMemory = {nullptr, 0, -1};

DWORD defaultStyle;

// The item object of an item, only when the item is owner-drawn: a plain
// item's data is the caller's and no item object.
ZnMenuOwnerDrawItem* ItemObject(HMENU menu, UINT item, BOOL byPos)
{
    MenuItemInfo info(MIIM_FTYPE | MIIM_DATA);
    if (!menu || !GetMenuItemInfoW(menu, item, byPos, &info) || !(info.fType & MFT_OWNERDRAW))
        return nullptr;
    return reinterpret_cast<ZnMenuOwnerDrawItem*>(info.dwItemData);
}

void DeleteItemObjectsOf(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        if (HMENU sub = GetSubMenu(menu, pos))
            DeleteItemObjectsOf(sub);
        if (ZnMenuOwnerDrawItem* object = ItemObject(menu, static_cast<UINT>(pos), TRUE)) {
            // The item forgets its object before the object goes, so nothing
            // can reach it half deleted.
            MenuItemInfo clear(MIIM_DATA);
            SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &clear);
            std::unique_ptr<ZnMenuOwnerDrawItem> leaving(object);
        }
    }
}

bool MatchesChar(HMENU menu, int pos, wchar_t ch)
{
    ZnMenuOwnerDrawItem* object = ItemObject(menu, static_cast<UINT>(pos), TRUE);
    return object && object->GetText() && GetMenuItemChar(object->GetText()) == ch;
}

} // namespace

// --- ZnMenuOwnerDrawItem --------------------------------------------------------------------

ZnMenuOwnerDrawItem::ZnMenuOwnerDrawItem(ZnMenuOwnerDraw* owner, const wchar_t* itemText, unsigned __int64 value)
    : menu(owner),
      text(itemText ? static_cast<unsigned>((wcslen(itemText) + 1) * sizeof(wchar_t)) : 0),
      textLength(0),
      data(value)
{
    if (itemText && text.IsReady()) {
        textLength = static_cast<UINT>(wcslen(itemText));
        wmemcpy(static_cast<wchar_t*>(text), itemText, textLength);
    }
    AddItemUser();
}

ZnMenuOwnerDrawItem::~ZnMenuOwnerDrawItem()
{
    ReleaseItemUser();
}

ZnMenuOwnerDrawItem* ZnMenuOwnerDrawItem::NewSeparator(ZnMenuOwnerDraw* owner)
{
    auto* made = new (std::nothrow) ZnMenuOwnerDrawItem(owner, nullptr, 0);
    if (made)
        made->separator = 1;
    return made;
}

void ZnMenuOwnerDrawItem::SetIcon(HICON given)
{
    icon.Reset(given);
    if (given && menu)
        menu->SetIconColumn(1);
}

int ZnMenuOwnerDrawItem::IsDefaultItem(UINT id) const
{
    return menu && menu->GetHandle() && GetMenuDefaultItem(menu->GetHandle(), FALSE, 0) == id;
}

int ZnMenuOwnerDrawItem::HasIconColumn() const
{
    return icon || (menu && menu->HasIconColumn());
}

void ZnMenuOwnerDrawItem::GetSize(UINT id, HDC dc, SIZE& size)
{
    const int column = HasIconColumn() ? IconColumnWidth() : 0;
    const int rowHeight = column ? (ItemHeight() > IconSize() + 4 ? ItemHeight() : IconSize() + 4) : ItemHeight();
    if (separator) {
        size.cx = 2 * TextIndent();
        size.cy = ItemHeight() / 2 > 4 ? ItemHeight() / 2 : 4;
        return;
    }
    const int bold = IsDefaultItem(id);
    HGDIOBJ old = SelectObject(dc, Font(bold));
    const int width = TextWidthIn(dc, bold);
    SelectObject(dc, old);
    size.cx = width + TextIndent() + column;
    if (size.cx > MaxTextWidth())
        size.cx = MaxTextWidth();
    size.cy = rowHeight;
}

int ZnMenuOwnerDrawItem::TextWidthIn(HDC dc, int bold)
{
    int& width = textWidth[bold ? 1 : 0];
    if (width < 0)
        width = GetText() ? TextWidth(dc, GetText(), static_cast<int>(textLength)) : 0;
    return width;
}

void ZnMenuOwnerDrawItem::GetEraseRect(UINT, RECT& item, RECT& erase)
{
    erase = item;
}

void ZnMenuOwnerDrawItem::GetTextRect(UINT, RECT& item, RECT& textRect)
{
    textRect = item;
    textRect.left += TextIndent() + (HasIconColumn() ? IconColumnWidth() : 0);
}

void ZnMenuOwnerDrawItem::CustomPaint(UINT, HDC, RECT&, UINT)
{
}

void ZnMenuOwnerDrawItem::Paint(UINT id, HDC dc, RECT& rect, UINT state)
{
    const int selected = (state & ODS_SELECTED) ? 1 : 0;
    const int plain = menu && (menu->Style(0, 0) & ZnMenuOwnerDraw::styleNoHighlight);
    const int lit = plain ? 0 : selected;
    const int disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;

    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, BkColor(lit));
    const COLORREF oldDCBrush = GetDCBrushColor(dc);
    HBRUSH dcBrush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));

    RECT erase;
    GetEraseRect(id, rect, erase);
    FillRect(dc, &erase, BkBrush(separator ? 0 : lit));
    if (selected && !separator) {
        SetDCBrushColor(dc, BorderColor());
        FrameRect(dc, &erase, dcBrush);
    }

    if (separator) {
        // Etched: a gray line over a white one.
        const int middle = (erase.top + erase.bottom) / 2 - 1;
        RECT line = {erase.left + TextIndent(), middle, erase.right - TextIndent(), middle + 1};
        SetDCBrushColor(dc, GrayColor());
        FillRect(dc, &line, dcBrush);
        OffsetRect(&line, 0, 1);
        SetDCBrushColor(dc, RGB(255, 255, 255));
        FillRect(dc, &line, dcBrush);
    }

    if (icon) {
        const int size = IconSize();
        const int x = rect.left + (IconColumnWidth() - size) / 2;
        const int y = (rect.top + rect.bottom - size) / 2;
        if (disabled)
            DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0, x, y, size, size,
                DST_ICON | DSS_DISABLED);
        else
            DrawIconEx(dc, x, y, icon.Get(), size, size, 0, nullptr, DI_NORMAL);
    }

    if (!separator && GetText()) {
        const int bold = IsDefaultItem(id);
        HGDIOBJ oldFont = SelectObject(dc, Font(bold));
        RECT textRect;
        GetTextRect(id, rect, textRect);
        const int length = static_cast<int>(textLength);
        const int width = TextWidthIn(dc, bold);

        // Short texts are shortened on the stack; a longer one needs a block,
        // and without it the whole text is drawn (clipped by the menu).
        wchar_t small[256];
        DllBlock<wchar_t> large;
        wchar_t* out = small;
        if (textLength >= 256) {
            large.Reset(DllHeap::AllocArray<wchar_t>(textLength + 1));
            out = large.Get();
        }
        const wchar_t* shown = GetText();
        int shownLength = length;
        if (out) {
            const int fitted = FitTextInto(GetText(), length, width, textRect.right - textRect.left, out);
            if (fitted >= 0) {
                shown = out;
                shownLength = fitted;
            }
        }

        const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
        if (disabled) {
            if (plain || !selected) {
                RECT white = textRect;
                OffsetRect(&white, 1, 1);
                SetTextColor(dc, RGB(255, 255, 255));
                DrawTextW(dc, shown, shownLength, &white, flags);
            }
            SetTextColor(dc, GrayColor());
        } else {
            SetTextColor(dc, TextColor(lit));
        }
        DrawTextW(dc, shown, shownLength, &textRect, flags);
        SelectObject(dc, oldFont);
    }

    // The background brush is selected for the extras only: with a solid
    // brush selected, Wine's DrawTextW took almost twice as long.
    HGDIOBJ oldBrush = SelectObject(dc, BkBrush(lit));
    CustomPaint(id, dc, rect, state);
    SelectObject(dc, oldBrush);
    SetDCBrushColor(dc, oldDCBrush);
}

void ZnMenuOwnerDrawItem::SetSkin(const SKIN_MENU_METRICS* skin)
{
    CritSecLock hold(lookLock);
    hasSkinCopy = skin != nullptr;
    skinCopy = skin ? *skin : SKIN_MENU_METRICS{};
}

COLORREF ZnMenuOwnerDrawItem::BkColor(int highlighted)
{
    return look ? look->bk[highlighted ? 1 : 0] : GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_MENU);
}

COLORREF ZnMenuOwnerDrawItem::TextColor(int highlighted)
{
    return look ? look->text[highlighted ? 1 : 0] : GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
}

COLORREF ZnMenuOwnerDrawItem::BorderColor()
{
    return LookColor(&SharedLook::border, COLOR_HIGHLIGHTTEXT);
}

COLORREF ZnMenuOwnerDrawItem::GrayColor()
{
    return LookColor(&SharedLook::gray, COLOR_GRAYTEXT);
}

HBRUSH ZnMenuOwnerDrawItem::BkBrush(int highlighted)
{
    const int which = highlighted ? 1 : 0;
    if (look && look->brush[which])
        return look->brush[which].Get();
    return GetSysColorBrush(which ? COLOR_HIGHLIGHT : COLOR_MENU);
}

HFONT ZnMenuOwnerDrawItem::Font(int defaultItem)
{
    if (!look)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return defaultItem && look->boldFont ? look->boldFont.Get() : look->font;
}

int ZnMenuOwnerDrawItem::TextIndent()
{
    return look ? look->indent : 2;
}

int ZnMenuOwnerDrawItem::ItemHeight()
{
    return look ? look->itemHeight : GetSystemMetrics(SM_CYMENU);
}

int ZnMenuOwnerDrawItem::MaxTextWidth()
{
    return look ? look->maxText : GetSystemMetrics(SM_CXSCREEN) / 2;
}

int ZnMenuOwnerDrawItem::IconColumnWidth()
{
    return IconSize() + 6;
}

int ZnMenuOwnerDrawItem::LiveItems()
{
    CritSecLock hold(lookLock);
    return static_cast<int>(liveItems);
}

void SetMenuSkin(const SKIN_MENU_METRICS* skin)
{
    ZnMenuOwnerDrawItem::SetSkin(skin);
}

const wchar_t* FitText(const wchar_t* text, int textWidth, int availWidth)
{
    if (!text)
        return L"";
    const size_t length = wcslen(text);
    if (textWidth <= availWidth || length == 0 || length > INT_MAX - 1)
        return text;
    if (fitCapacity < length + 1) {
        DllBlock<wchar_t> grown(DllHeap::AllocArray<wchar_t>(length + 1));
        if (!grown)
            return text;
        fitBuffer = std::move(grown);
        fitCapacity = length + 1;
    }
    FitTextInto(text, static_cast<int>(length), textWidth, availWidth, fitBuffer.Get());
    return fitBuffer.Get();
}

// --- ZnMenuOwnerDraw ------------------------------------------------------------------------

ZnMenuOwnerDraw::ZnMenuOwnerDraw() : dwStyle(defaultStyle)
{
}

ZnMenuOwnerDraw::ZnMenuOwnerDraw(HMENU menu, int popup) : ZnMenuEx(menu, popup), dwStyle(defaultStyle)
{
}

// Only the owner of the menu deletes item objects: a borrowing wrapper (the
// temporary ones made for sub-menus among them) leaves them to it.
ZnMenuOwnerDraw::~ZnMenuOwnerDraw()
{
    if (ownsMenu)
        DeleteOwnerDrawItems();
}

ZnMenu* ZnMenuOwnerDraw::CreateSubMenu()
{
    return new (std::nothrow) ZnMenuOwnerDraw;
}

DWORD ZnMenuOwnerDraw::Style(int set, DWORD value)
{
    if (set)
        dwStyle = value;
    return dwStyle;
}

DWORD ZnMenuOwnerDraw::DefaultStyle(int set, DWORD value)
{
    if (set)
        defaultStyle = value;
    return defaultStyle;
}

int ZnMenuOwnerDraw::InsertOwnerDrawn(UINT where, int byPos, MENUITEMINFOW& info, ZnMenuOwnerDrawItem* item)
{
    // The menu owns the item from the call on: one that cannot be inserted
    // is deleted here, so a caller's new never leaks.
    std::unique_ptr<ZnMenuOwnerDrawItem> taken(item);
    if (!item || !hMenu)
        return 0;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    if (where == 0xFFFFFFFF) {
        where = static_cast<UINT>(GetMenuItemCount(hMenu));
        byPos = 1;
    }
    if (!InsertMenuItemW(hMenu, where, byPos ? TRUE : FALSE, &info))
        return 0;
    taken.release();
    item->SetMenu(this);
    if (item->GetIcon())
        iconColumn = 1;
    return 1;
}

int ZnMenuOwnerDraw::InsertItem(UINT where, int byPos, UINT id, ZnMenuOwnerDrawItem* item, UINT state)
{
    MenuItemInfo info(MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA);
    info.fType = MFT_OWNERDRAW | (item && item->IsSeparator() ? MFT_SEPARATOR : 0);
    info.fState = state;
    info.wID = id;
    return InsertOwnerDrawn(where, byPos, info, item);
}

int ZnMenuOwnerDraw::AppendItem(UINT id, ZnMenuOwnerDrawItem* item, UINT state)
{
    return InsertItem(0xFFFFFFFF, 1, id, item, state);
}

int ZnMenuOwnerDraw::InsertItemBeforeID(UINT beforeId, UINT id, ZnMenuOwnerDrawItem* item, UINT state)
{
    return InsertItem(beforeId, 0, id, item, state);
}

int ZnMenuOwnerDraw::InsertItemBeforePos(UINT pos, UINT id, ZnMenuOwnerDrawItem* item, UINT state)
{
    return InsertItem(pos, 1, id, item, state);
}

int ZnMenuOwnerDraw::InsertSubMenu(UINT where, int byPos, HMENU sub, ZnMenuOwnerDrawItem* item, UINT state)
{
    if (!sub) {
        delete item;
        return 0;
    }
    MenuItemInfo info(MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU);
    info.fType = MFT_OWNERDRAW;
    info.fState = state;
    info.wID = 0;
    info.hSubMenu = sub;
    return InsertOwnerDrawn(where, byPos, info, item);
}

int ZnMenuOwnerDraw::AppendSubMenu(HMENU sub, ZnMenuOwnerDrawItem* item, UINT state)
{
    return InsertSubMenu(0xFFFFFFFF, 1, sub, item, state);
}

int ZnMenuOwnerDraw::AppendSeparatorItem()
{
    return AppendItem(0, ZnMenuOwnerDrawItem::NewSeparator(this), 0);
}

ZnMenuOwnerDrawItem* ZnMenuOwnerDraw::GetItem(UINT item, int byPos)
{
    return ItemObject(hMenu, item, byPos ? TRUE : FALSE);
}

int ZnMenuOwnerDraw::GetStr(UINT item, int byPos, wchar_t* buffer, int count)
{
    if (!buffer || count <= 0)
        return 0;
    buffer[0] = L'\0';
    ZnMenuOwnerDrawItem* object = GetItem(item, byPos);
    if (object && object->GetText())
        lstrcpynW(buffer, object->GetText(), count);
    return buffer[0] != L'\0';
}

UINT ZnMenuOwnerDraw::FindStrPos(const wchar_t* text)
{
    if (!text)
        return 0xFFFFFFFF;
    const int count = GetCount();
    for (int pos = 0; pos < count; ++pos) {
        ZnMenuOwnerDrawItem* object = GetItemByPos(static_cast<UINT>(pos));
        if (object && object->GetText() && lstrcmpiW(object->GetText(), text) == 0)
            return static_cast<UINT>(pos);
    }
    return 0xFFFFFFFF;
}

void ZnMenuOwnerDraw::DeleteOwnerDrawItems()
{
    if (hMenu && IsMenu(hMenu))
        DeleteItemObjectsOf(hMenu);
}

void ZnMenuOwnerDraw::DeleteAll()
{
    DeleteOwnerDrawItems();
    ZnMenu::DeleteAll();
}

int ZnMenuOwnerDraw::BreakColumnLength(int count, int screenHeight, int itemHeight)
{
    const int rows = screenHeight / (itemHeight + 7) - 1;
    if (count <= 0 || rows <= 0)
        return 0;
    const int columns = (count - 1) / rows + 1;
    return count / columns + (count % columns ? 1 : 0);
}

int ZnMenuOwnerDraw::RowHeight() const
{
    const int text = ZnMenuOwnerDrawItem::ItemHeight();
    const int icon = IconSize() + 4;
    return iconColumn && icon > text ? icon : text;
}

void ZnMenuOwnerDraw::InsertBreaks(int bar)
{
    const int count = GetCount();
    const int perColumn = BreakColumnLength(count, GetSystemMetrics(SM_CYSCREEN), RowHeight());
    if (perColumn <= 0)
        return;
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(i)) {
            ZnMenuOwnerDraw borrowed(sub);
            borrowed.SetIconColumn(iconColumn);
            borrowed.InsertBreaks(bar);
        }
        if (i > 0 && i % perColumn == 0)
            SetBreakByPos(static_cast<UINT>(i), bar);
    }
}

// --- messages ---------------------------------------------------------------------------------

LRESULT ZnMenuOwnerDraw::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A closed pop-up takes the memory of its mnemonic key with it.
    if (msg == WM_UNINITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == charMemory.menu)
        ResetMenuChar();
    return ZnMenuEx::OnMessage(msg, wParam, lParam);
}

int ZnMenuOwnerDraw::OnMeasureItem(MEASUREITEMSTRUCT* mis)
{
    if (!mis || mis->CtlType != ODT_MENU)
        return 0;
    auto* object = reinterpret_cast<ZnMenuOwnerDrawItem*>(mis->itemData);
    if (!object)
        return 0;
    ClientDC screen(nullptr);
    SIZE size = {};
    object->GetSize(mis->itemID, screen, size);
    mis->itemWidth = static_cast<UINT>(size.cx);
    mis->itemHeight = static_cast<UINT>(size.cy);
    return 1;
}

int ZnMenuOwnerDraw::OnDrawItem(DRAWITEMSTRUCT* dis)
{
    if (!dis || dis->CtlType != ODT_MENU)
        return 0;
    if (!(dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return 1;
    auto* object = reinterpret_cast<ZnMenuOwnerDrawItem*>(dis->itemData);
    if (!object)
        return 1;
    ZnDC dc(dis->hDC, 1);
    RECT rect = dis->rcItem;
    object->Paint(dis->itemID, dc, rect, dis->itemState);
    return 1;
}

LRESULT ZnMenuOwnerDraw::OnMenuChar(HMENU menu, wchar_t ch)
{
    ch = CharToUpper(ch);
    if (menu != charMemory.menu || ch != charMemory.ch)
        charMemory.next = -1;
    int prev = charMemory.next;
    charMemory.next = -1;

    const int count = GetMenuItemCount(menu);
    if (count <= 0 || !ch)
        return MAKELRESULT(0, MNC_IGNORE);
    // A remembered position the menu no longer matches starts over.
    if (prev >= count || (prev >= 0 && !MatchesChar(menu, prev, ch)))
        prev = -1;
    int act = prev;
    if (act < 0) {
        for (int pos = 0; pos < count && act < 0; ++pos)
            if (MatchesChar(menu, pos, ch))
                act = pos;
        if (act < 0) {
            ResetMenuChar();
            return MAKELRESULT(0, MNC_IGNORE);
        }
    }
    int following = act;
    for (int step = 1; step < count; ++step) {
        const int pos = (act + step) % count;
        if (MatchesChar(menu, pos, ch)) {
            following = pos;
            break;
        }
    }
    if (following == act) {
        ResetMenuChar();
        return MAKELRESULT(act, MNC_EXECUTE);
    }
    charMemory = {menu, ch, following};
    return MAKELRESULT(act, MNC_SELECT);
}

void ZnMenuOwnerDraw::OnMenuClose()
{
    ResetMenuChar();
}

void ZnMenuOwnerDraw::OnMenuLoop(int)
{
    ResetMenuChar();
}

void ZnMenuOwnerDraw::ResetMenuChar()
{
    charMemory = {nullptr, 0, -1};
}
