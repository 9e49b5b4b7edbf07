#include "ui/menus/ZnMenu.h"

#include <objbase.h>
#include <wincodec.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "base/CritSec.h"
#include "base/Owners.h"
#include "base/ProductInfo.h"
#include "base/internal/DllHeap.h"
#include "base/StrFormat.h"
#include "base/internal/SystemVersion.h"
#include "text/StrFunc.h"
#include "ui/window/ZnDC.h"

namespace {

UINT ByPos(int byPos)
{
    return byPos ? MF_BYPOSITION : MF_BYCOMMAND;
}

// The two lists own their items: what leaves a list is freed.
int DeleteBitmap(unsigned __int64, unsigned int, void* bitmap)
{
    BitmapHandle leaving(static_cast<HBITMAP>(bitmap));
    return 1;
}

int DeleteSubMenuObject(unsigned __int64, unsigned int, void* menu)
{
    std::unique_ptr<ZnMenu> leaving(static_cast<ZnMenu*>(menu));
    return 1;
}

// Whether sub is a pop-up somewhere inside root.
bool ContainsMenu(HMENU root, HMENU sub)
{
    int count = GetMenuItemCount(root);
    for (int i = 0; i < count; ++i) {
        HMENU child = ::GetSubMenu(root, i);
        if (child && (child == sub || ContainsMenu(child, sub)))
            return true;
    }
    return false;
}

UINT TrackFlags()
{
    return TPM_RIGHTBUTTON | TPM_RETURNCMD;
}

} // namespace

// --- lifetime ----------------------------------------------------------------------

ZnMenu::ZnMenu() : hMenu(nullptr), isPopup(1), ownsMenu(1)
{
    subMenus.SetCallback(0, DeleteSubMenuObject);
    itemBitmaps.SetCallback(0, DeleteBitmap);
}

ZnMenu::ZnMenu(HMENU menu, int popup) : hMenu(menu), isPopup(popup), ownsMenu(menu ? 0 : 1)
{
    subMenus.SetCallback(0, DeleteSubMenuObject);
    itemBitmaps.SetCallback(0, DeleteBitmap);
}

ZnMenu::~ZnMenu()
{
    // Destroying this menu destroys every pop-up inside it: sub-menu
    // objects whose handle lives there give it up first, so no handle is
    // destroyed twice.
    if (ownsMenu && hMenu && IsMenu(hMenu)) {
        for (POS pos = subMenus.GetHeadPos(); pos;) {
            auto* sub = static_cast<ZnMenu*>(subMenus.GetNext(pos));
            if (sub->hMenu && ContainsMenu(hMenu, sub->hMenu))
                sub->Detach();
        }
        MenuHandle(std::exchange(hMenu, nullptr));
    }
    hMenu = nullptr;
    subMenus.RemoveAll();
    itemBitmaps.RemoveAll();
}

ZnMenu* ZnMenu::CreateSubMenu()
{
    return new (std::nothrow) ZnMenu;
}

// Null when there is no memory for the object or for its place in the
// list; the caller is then left with nothing to free.
ZnMenu* ZnMenu::MakeSubMenu()
{
    std::unique_ptr<ZnMenu> sub(CreateSubMenu());
    if (!sub || !subMenus.AddTail(sub.get()))
        return nullptr;
    return sub.release();
}

int ZnMenu::Create()
{
    hMenu = CreateMenu();
    isPopup = 0;
    return hMenu != nullptr;
}

int ZnMenu::CreatePopup()
{
    hMenu = CreatePopupMenu();
    isPopup = 1;
    return hMenu != nullptr;
}

void ZnMenu::Attach(HMENU menu)
{
    hMenu = menu;
    isPopup = 0;
    ownsMenu = 0;
}

HMENU ZnMenu::Detach()
{
    HMENU menu = hMenu;
    hMenu = nullptr;
    isPopup = 0;
    ownsMenu = 0;
    return menu;
}

void ZnMenu::Destroy()
{
    MenuHandle(std::exchange(hMenu, nullptr));
}

void ZnMenu::DeleteAll()
{
    while (GetMenuItemCount(hMenu) > 0)
        if (!DeleteMenu(hMenu, 0, MF_BYPOSITION))
            break;
}

// --- items -------------------------------------------------------------------------

int ZnMenu::ItemExistsByID(UINT id)
{
    MenuItemInfo info;
    return GetMenuItemInfoW(hMenu, id, FALSE, &info) != 0;
}

int ZnMenu::GetItemInfo(UINT item, int byPos, MENUITEMINFOW* info)
{
    return GetMenuItemInfoW(hMenu, item, byPos != 0, info) != 0;
}

int ZnMenu::SetItemInfo(UINT item, int byPos, MENUITEMINFOW* info)
{
    return SetMenuItemInfoW(hMenu, item, byPos != 0, info) != 0;
}

ULONG_PTR ZnMenu::GetItemData(UINT item, int byPos)
{
    MenuItemInfo info(MIIM_DATA);
    return GetItemInfo(item, byPos, &info) ? info.dwItemData : 0;
}

int ZnMenu::SetItemData(UINT item, int byPos, ULONG_PTR data)
{
    MenuItemInfo info(MIIM_DATA);
    info.dwItemData = data;
    return SetItemInfo(item, byPos, &info);
}

int ZnMenu::SetStr(UINT item, int byPos, const wchar_t* text)
{
    MenuItemInfo info(MIIM_STRING);
    info.dwTypeData = const_cast<wchar_t*>(text ? text : L"");
    return SetItemInfo(item, byPos, &info);
}

int ZnMenu::GetStrByID(UINT id, wchar_t* buf, int cch)
{
    return GetMenuStringW(hMenu, id, buf, cch, MF_BYCOMMAND);
}

int ZnMenu::GetStrByPos(UINT pos, wchar_t* buf, int cch)
{
    return GetMenuStringW(hMenu, pos, buf, cch, MF_BYPOSITION);
}

int ZnMenu::GetStrLengthByID(UINT id)
{
    return GetMenuStringW(hMenu, id, nullptr, 0, MF_BYCOMMAND);
}

int ZnMenu::GetStrLengthByPos(UINT pos)
{
    return GetMenuStringW(hMenu, pos, nullptr, 0, MF_BYPOSITION);
}

int ZnMenu::SetBreak(UINT item, int byPos, int bar)
{
    MenuItemInfo info(MIIM_FTYPE);
    if (!GetItemInfo(item, byPos, &info))
        return 0;
    info.fType |= bar ? MFT_MENUBARBREAK : MFT_MENUBREAK;
    return SetItemInfo(item, byPos, &info);
}

namespace {

// The item operations whose by-id and by-position forms differ only in how
// the item is named: one body each, with byPos saying which.
int DeleteItem(HMENU menu, UINT item, int byPos)
{
    return DeleteMenu(menu, item, ByPos(byPos)) != 0;
}

int RemoveItem(HMENU menu, UINT item, int byPos)
{
    return RemoveMenu(menu, item, ByPos(byPos)) != 0;
}

int SetDefault(HMENU menu, UINT item, int byPos)
{
    return SetMenuDefaultItem(menu, item, byPos ? TRUE : FALSE) != 0;
}

} // namespace

int ZnMenu::DeleteItemByID(UINT id) { return DeleteItem(hMenu, id, 0); }
int ZnMenu::DeleteItemByPos(UINT pos) { return DeleteItem(hMenu, pos, 1); }
int ZnMenu::RemoveItemByID(UINT id) { return RemoveItem(hMenu, id, 0); }
int ZnMenu::RemoveItemByPos(UINT pos) { return RemoveItem(hMenu, pos, 1); }
int ZnMenu::SetDefaultByID(UINT id) { return SetDefault(hMenu, id, 0); }
int ZnMenu::SetDefaultByPos(UINT pos) { return SetDefault(hMenu, pos, 1); }
UINT ZnMenu::GetDefaultID(UINT flags) { return GetMenuDefaultItem(hMenu, FALSE, flags); }
UINT ZnMenu::GetDefaultPos(UINT flags) { return GetMenuDefaultItem(hMenu, TRUE, flags); }

int ZnMenu::AppendSeparator()
{
    return AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr) != 0;
}

int ZnMenu::InsertSeparatorByID(UINT where)
{
    return InsertMenuW(hMenu, where, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr) != 0;
}

int ZnMenu::InsertSeparatorByPos(UINT where)
{
    return InsertMenuW(hMenu, where, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr) != 0;
}

int ZnMenu::AppendItem(UINT id, const wchar_t* format, ...)
{
    wchar_t text[MAX_PATH + 1];
    va_list args;
    va_start(args, format);
    StrFormatV(text, MAX_PATH + 1, format, args);
    va_end(args);
    return AppendMenuW(hMenu, MF_STRING, id, text) != 0;
}

UINT ZnMenu::AppendSubMenu(HMENU subMenu, const wchar_t* format, ...)
{
    wchar_t text[MAX_PATH + 1];
    va_list args;
    va_start(args, format);
    StrFormatV(text, MAX_PATH + 1, format, args);
    va_end(args);
    if (!AppendMenuW(hMenu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu), text))
        return 0xFFFFFFFF;
    return static_cast<UINT>(GetMenuItemCount(hMenu) - 1);
}

int ZnMenu::InsertItemByID(UINT where, UINT id, const wchar_t* text, UINT flags)
{
    return InsertMenuW(hMenu, where, flags | MF_BYCOMMAND, id, text) != 0;
}

int ZnMenu::InsertItemByPos(UINT where, UINT id, const wchar_t* text, UINT flags)
{
    return InsertMenuW(hMenu, where, flags | MF_BYPOSITION, id, text) != 0;
}

int ZnMenu::InsertSubmenuByID(UINT where, HMENU subMenu, const wchar_t* text, UINT flags)
{
    return InsertMenuW(hMenu, where, flags | MF_BYCOMMAND | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu), text) !=
           0;
}

int ZnMenu::InsertSubmenuByPos(UINT where, HMENU subMenu, const wchar_t* text, UINT flags)
{
    return InsertMenuW(hMenu, where, flags | MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu), text) !=
           0;
}

DWORD ZnMenu::CheckItemByID(UINT id, int check)
{
    return CheckMenuItem(hMenu, id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
}

DWORD ZnMenu::CheckItemByPos(UINT pos, int check)
{
    return CheckMenuItem(hMenu, pos, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

int ZnMenu::CheckRadioItemByID(UINT first, UINT last, UINT id)
{
    return CheckMenuRadioItem(hMenu, first, last, id, MF_BYCOMMAND) != 0;
}

int ZnMenu::CheckRadioItemByPos(UINT first, UINT last, UINT pos)
{
    return CheckMenuRadioItem(hMenu, first, last, pos, MF_BYPOSITION) != 0;
}

int ZnMenu::EnableItemByID(UINT id, int enable)
{
    return EnableMenuItem(hMenu, id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED)) != -1;
}

int ZnMenu::EnableItemByPos(UINT pos, int enable)
{
    return EnableMenuItem(hMenu, pos, MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED)) != -1;
}

int ZnMenu::GetCount() const
{
    return GetMenuItemCount(hMenu);
}

UINT ZnMenu::GetItemID(int pos) const
{
    return GetMenuItemID(hMenu, pos);
}

HMENU ZnMenu::GetSubMenu(int pos) const
{
    return ::GetSubMenu(hMenu, pos);
}

int ZnMenu::SetItemBitmaps(UINT item, int byPos, HBITMAP unchecked, HBITMAP checked)
{
    return SetMenuItemBitmaps(hMenu, item, ByPos(byPos), unchecked, checked) != 0;
}

int ZnMenu::SetItemIcon(UINT item, int byPos, HICON icon, int destroyIcon)
{
    IconHandle given(destroyIcon ? icon : nullptr);
    BitmapHandle bitmap(GenerateBitmap(icon));
    given.Reset();
    if (!bitmap || !itemBitmaps.AddTail(bitmap.Get()))
        return 0;
    HBITMAP kept = bitmap.Release();
    return SetItemBitmaps(item, byPos, kept, kept);
}

int ZnMenu::SetShieldIcon(UINT item, int byPos)
{
    HBITMAP shield = LoadShieldIcon();
    return shield && SetItemBitmaps(item, byPos, shield, shield);
}

int ZnMenu::SetShieldIconByID(UINT id)
{
    return SetShieldIcon(id, 0);
}

int ZnMenu::SetShieldIconByPos(UINT pos)
{
    return SetShieldIcon(pos, 1);
}

int ZnMenu::SetHelpId(DWORD id)
{
    return SetMenuContextHelpId(hMenu, id) != 0;
}

DWORD ZnMenu::GetHelpId() const
{
    return GetMenuContextHelpId(hMenu);
}

UINT ZnMenu::FindStrPos(const wchar_t* text)
{
    int count = GetCount();
    for (int pos = 0; pos < count; ++pos) {
        wchar_t item[MAX_PATH];
        if (GetMenuStringW(hMenu, pos, item, MAX_PATH, MF_BYPOSITION) <= 0)
            continue;
        if (lstrcmpiW(item, text) == 0)
            return static_cast<UINT>(pos);
    }
    return 0xFFFFFFFF;
}

UINT ZnMenu::FindStrID(const wchar_t* text)
{
    UINT pos = FindStrPos(text);
    return pos == 0xFFFFFFFF ? 0xFFFFFFFF : GetItemID(static_cast<int>(pos));
}

void ZnMenu::InsertBreaks(int every, int bar)
{
    if (every <= 0 || GetCount() <= every)
        return;
    InsertBreaksHere(every, bar);
}

// Each column starts with its break separator. The separator is inserted
// before the item at its position is looked at, so every sub-menu is
// visited exactly once.
void ZnMenu::InsertBreaksHere(int every, int bar)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (i > 0 && i % every == 0) {
            InsertSeparatorByPos(static_cast<UINT>(i));
            SetBreakByPos(static_cast<UINT>(i), bar);
            continue;
        }
        if (HMENU sub = GetSubMenu(i)) {
            ZnMenu borrowed(sub);
            borrowed.InsertBreaks(every, bar);
        }
    }
}

// --- showing -------------------------------------------------------------------------

UINT ZnMenu::TrackAt(HWND owner, POINT pt)
{
    return static_cast<UINT>(TrackPopupMenu(hMenu, TrackFlags(), pt.x, pt.y, 0, owner, nullptr));
}

UINT ZnMenu::Track(HWND owner, POINT pt)
{
    return TrackAt(owner, pt);
}

UINT ZnMenu::Track(HWND owner, UINT ctrlId)
{
    POINT pt;
    GetCursorPos(&pt);
    if (ctrlId) {
        RECT rect;
        if (GetWindowRect(GetDlgItem(owner, static_cast<int>(ctrlId)), &rect) && !PtInRect(&rect, pt)) {
            pt.x = (rect.left + rect.right) / 2;
            pt.y = (rect.top + rect.bottom) / 2;
        }
    }
    return TrackAt(owner, pt);
}

void ZnMenu::AdjustPointForTrayIcon(POINT& pt)
{
    int iconWidth = GetSystemMetrics(SM_CXSMICON);
    int iconHeight = GetSystemMetrics(SM_CYSMICON);
    pt.x += pt.x < GetSystemMetrics(SM_CXSCREEN) / 2 ? iconWidth : -iconWidth;
    pt.y += pt.y < GetSystemMetrics(SM_CYSCREEN) / 2 ? iconHeight : -iconHeight;
}

UINT ZnMenu::TrackForTBIcon(HWND owner, int adjust)
{
    const UINT zFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW;
    HWND previous = GetForegroundWindow();
    // A notification-area menu closes properly only when its owner is in
    // the foreground.
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, zFlags);
    SetForegroundWindow(owner);
    POINT pt;
    GetCursorPos(&pt);
    if (adjust)
        AdjustPointForTrayIcon(pt);
    UINT command = TrackAt(owner, pt);
    SetWindowPos(owner, HWND_BOTTOM, 0, 0, 0, 0, zFlags);
    if (previous)
        SetForegroundWindow(previous);
    return command;
}

// --- icons as menu bitmaps ---------------------------------------------------------

namespace {

const CLSID wicFactoryClass = {0x317D06E8, 0x5F24, 0x433D, {0xBD, 0xF7, 0x79, 0xCE, 0x68, 0xD8, 0xAB, 0xC2}};
const IID wicFactoryInterface = {0xEC5EC8A9, 0xC395, 0x4314, {0x9C, 0x77, 0x54, 0xD7, 0xA9, 0x35, 0xFF, 0x70}};
const GUID premultipliedBGRA = {0x6FDDC324, 0x4E03, 0x4BFE, {0xB1, 0x85, 0x3D, 0x77, 0x76, 0x8D, 0xC9, 0x10}};

bool IsVistaOrLater()
{
    return IsSystemAtLeast(6, 0);
}

// A top-down 32-bit DIB with the converted pixels, or null.
HBITMAP DibFromSource(IWICBitmapSource* source)
{
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 || height > 4096)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle dib;
    {
        ClientDC screen(nullptr);
        dib.Reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!dib)
        return nullptr;
    UINT stride = width * 4;
    if (FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits))))
        return nullptr;
    return dib.Release();
}

} // namespace

HBITMAP ZnMenu::GenerateBitmap(HICON icon)
{
    if (!icon || !IsVistaOrLater())
        return nullptr;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(wicFactoryClass, nullptr, CLSCTX_INPROC_SERVER, wicFactoryInterface,
                                factory.PutVoid())))
        return nullptr;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICFormatConverter> converter;
    if (SUCCEEDED(factory->CreateBitmapFromHICON(icon, bitmap.Put())) &&
        SUCCEEDED(factory->CreateFormatConverter(converter.Put())) &&
        SUCCEEDED(converter->Initialize(bitmap.Get(), premultipliedBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)))
        return DibFromSource(converter.Get());
    return nullptr;
}

HBITMAP ZnMenu::GenerateBitmap(int iconId)
{
    auto id = static_cast<short>(iconId);
    HINSTANCE module = nullptr;
    GetMyProductInfo()->ConvertResourceId(id, module);
    IconHandle icon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(static_cast<WORD>(id)), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    return GenerateBitmap(icon.Get());
}

namespace {

// The shield of every menu, made on the first call that can make it: a
// call from a thread without COM (no WIC) gets null and leaves the next
// caller to try again. Kept for the life of the process.
CritSec shieldLock;
std::atomic<HBITMAP> shieldBitmap{nullptr};

} // namespace

HBITMAP ZnMenu::LoadShieldIcon()
{
    if (HBITMAP made = shieldBitmap.load(std::memory_order_acquire))
        return made;
    CritSecLock hold(shieldLock);
    if (HBITMAP made = shieldBitmap.load(std::memory_order_relaxed))
        return made;
    HICON system = LoadIconW(nullptr, IDI_SHIELD);
    IconHandle small(system ? static_cast<HICON>(CopyImage(system, IMAGE_ICON, 16, 16, 0)) : nullptr);
    HBITMAP made = GenerateBitmap(small.Get());
    shieldBitmap.store(made, std::memory_order_release);
    return made;
}

// --- ZnMenuEx ------------------------------------------------------------------------

ZnList ZnMenuEx::listMap;

namespace {

struct OwnerPair {
    HWND owner;
    ZnMenuEx* menu;
};

} // namespace

// Without memory to record the owner the menu is not shown at all (0, as
// when dismissed): shown, its messages would miss the handlers.
UINT ZnMenuEx::TrackEx(HWND owner, POINT pt)
{
    DllBlock<OwnerPair> pair(static_cast<OwnerPair*>(DllHeap::Alloc(sizeof(OwnerPair))));
    if (!pair)
        return 0;
    pair.Get()->owner = owner;
    pair.Get()->menu = this;
    POS entry = listMap.AddTail(pair.Get());
    if (!entry)
        return 0;
    prevWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(owner, GWLP_WNDPROC));
    ownerWnd = owner;
    SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProc));

    UINT command = TrackAt(owner, pt);

    listMap.RemoveAt(entry);
    SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevWndProc));
    return command;
}

LRESULT CALLBACK ZnMenuEx::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (POS pos = listMap.GetHeadPos(); pos;) {
        auto* pair = static_cast<OwnerPair*>(listMap.GetNext(pos));
        if (pair->owner == hwnd)
            return pair->menu->OnMessage(msg, wParam, lParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT ZnMenuEx::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DRAWITEM:
        if (OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_MEASUREITEM:
        if (OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam));
        break;
    case WM_MENUSELECT:
        if (HIWORD(wParam) == 0xFFFF && lParam == 0)
            OnMenuClose();
        else
            OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        break;
    case WM_MENUCHAR:
        if (HIWORD(wParam) == MF_POPUP)
            return OnMenuChar(reinterpret_cast<HMENU>(lParam), static_cast<wchar_t>(LOWORD(wParam)));
        break;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        OnMenuLoop(msg == WM_ENTERMENULOOP);
        break;
    default:
        break;
    }
    return CallWindowProcW(prevWndProc, ownerWnd, msg, wParam, lParam);
}

void ZnMenuEx::OnMenuLoop(int)
{
}

void ZnMenuEx::OnMenuSelect(UINT, UINT, HMENU)
{
}

void ZnMenuEx::OnMenuClose()
{
}

void ZnMenuEx::OnInitMenuPopup(HMENU, UINT)
{
}

int ZnMenuEx::OnMeasureItem(MEASUREITEMSTRUCT*)
{
    return 0;
}

int ZnMenuEx::OnDrawItem(DRAWITEMSTRUCT*)
{
    return 0;
}

LRESULT ZnMenuEx::OnMenuChar(HMENU, wchar_t)
{
    return 0;
}

// --- the "&" marker ------------------------------------------------------------------

namespace {

// The mnemonic marker: the first "&" that is not half of a literal "&&".
wchar_t* FindMarker(wchar_t* text)
{
    for (wchar_t* p = text; p && *p; ++p) {
        if (*p != L'&')
            continue;
        if (p[1] == L'&') {
            ++p;
            continue;
        }
        return p;
    }
    return nullptr;
}

} // namespace

void RemoveMenuChar(wchar_t* text)
{
    if (wchar_t* marker = FindMarker(text))
        memmove(marker, marker + 1, (wcslen(marker + 1) + 1) * sizeof(wchar_t));
}

const wchar_t* MakeNameFromMenu(const wchar_t* text)
{
    // Menu texts are cut at 260 characters everywhere in the framework.
    static wchar_t name[1024];
    lstrcpynW(name, text ? text : L"", 1024);
    RemoveMenuChar(name);
    return name;
}

wchar_t GetMenuItemChar(const wchar_t* text)
{
    const wchar_t* marker = FindMarker(const_cast<wchar_t*>(text));
    if (!marker || !marker[1])
        return 0;
    return CharToUpper(marker[1]);
}
