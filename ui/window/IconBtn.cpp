// Icon buttons and the drawing objects they share.
#include "ui/window/IconBtn.h"

#include <atomic>
#include <utility>

#include "base/CritSec.h"
#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "ui/window/WndFunctions.h"
#include "ui/window/internal/IconBtnShared.h"

namespace {

// Making, changing and freeing the shared set happen under the lock; a
// drawing button reads the published set without it, which is safe
// because its own use keeps the set alive.
CritSec sharedLock;
long useCount;
std::atomic<IconBtnShared*> shared;
DWORD commonStyle = IconBtn::centerVert | IconBtn::centerHorz;
int dxCommon;
int dyCommon;
// Colours chosen before the set exists apply when it is made.
COLORREF linkColor = CLR_INVALID;
COLORREF activeLinkColor = RGB(0x00, 0xCC, 0xFF);
HCURSOR handCursorShared;

const int iconTextGap = 2;

IconBtnColors CurrentColors()
{
    IconBtnColors colors;
    colors.face = GetSysColor(COLOR_BTNFACE);
    colors.pressedBkg = GetSysColor(COLOR_BTNHIGHLIGHT);
    colors.text = GetSysColor(COLOR_BTNTEXT);
    colors.gray = GetSysColor(COLOR_GRAYTEXT);
    colors.link = linkColor != CLR_INVALID ? linkColor : GetSysColor(COLOR_HOTLIGHT);
    colors.activeLink = activeLinkColor;
    colors.hover = RGB(0x00, 0xCC, 0xFF);
    return colors;
}

HICON LoadSmallIcon(int iconId, SIZE& size)
{
    size = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    if (iconId == 0)
        return nullptr;
    HINSTANCE module = hiDLL;
    if (iconId < 0)
        iconId = -iconId;
    else if (HINSTANCE app = GetMyProductInfo()->GetAppInstance())
        module = app;
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size.cx, size.cy, 0));
}

int ReplaceSharedFont(bool link, int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face)
{
    CritSecLock lock(sharedLock);
    IconBtnShared* set = shared.load();
    if (!set)
        return 0;
    HFONT font
        = DeriveIconBtnFont(link ? set->LinkFont() : set->TextFont(), sizeDelta, weight, italic, strikeOut, face);
    if (!font)
        return 0;
    (link ? set->linkFont : set->textFont).Reset(font);
    return 1;
}

// Keeps a DC's selections and modes for the length of one drawing.
class DCState {
public:
    explicit DCState(HDC dc) : dc(dc), saved(SaveDC(dc)) { }
    ~DCState() { RestoreDC(dc, saved); }
    DCState(const DCState&) = delete;
    DCState& operator=(const DCState&) = delete;

private:
    HDC dc;
    int saved;
};

void FrameRound(HDC dc, const RECT& r, HPEN pen)
{
    SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, 4, 4);
}

void Underline(HDC dc, const RECT& r, HPEN pen)
{
    SelectObject(dc, pen);
    MoveToEx(dc, r.left + 2, r.bottom - 1, nullptr);
    LineTo(dc, r.right - 2, r.bottom - 1);
}

} // namespace

int IconBtn::Initialize(DWORD newStyle, int newDx, int newDy)
{
    CritSecLock lock(sharedLock);
    if (useCount == 0) {
        IconBtnShared* set = MakeIconBtnShared(CurrentColors());
        if (!set)
            return 0;
        commonStyle = newStyle;
        dxCommon = newDx;
        dyCommon = newDy;
        // Published only once complete: a button of another thread never
        // sees half a set.
        shared.store(set);
    }
    ++useCount;
    return 1;
}

void IconBtn::Uninitialize()
{
    CritSecLock lock(sharedLock);
    if (useCount == 0 || --useCount != 0)
        return;
    delete shared.exchange(nullptr);
}

long IconBtn::GetUseCount()
{
    CritSecLock lock(sharedLock);
    return useCount;
}

void IconBtn::SetLinkColor(COLORREF color)
{
    CritSecLock lock(sharedLock);
    linkColor = color;
    if (IconBtnShared* set = shared.load()) {
        IconBtnPens pens;
        if (MakeIconBtnPens(pens, color)) {
            set->link = std::move(pens);
            set->colors.link = color;
        }
    }
}

void IconBtn::SetActiveLinkColor(COLORREF color)
{
    CritSecLock lock(sharedLock);
    activeLinkColor = color;
    if (IconBtnShared* set = shared.load())
        set->colors.activeLink = color;
}

int IconBtn::SetTextFontProperties(int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face)
{
    return ReplaceSharedFont(false, sizeDelta, weight, italic, strikeOut, face);
}

int IconBtn::SetLinkFontProperties(int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face)
{
    return ReplaceSharedFont(true, sizeDelta, weight, italic, strikeOut, face);
}

int IconBtn::SetThisFontProperties(int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face)
{
    IconBtnShared* set = shared.load();
    if (!set)
        return 0;
    HFONT base = (style & linkStyle) ? set->LinkFont() : set->TextFont();
    HFONT font = DeriveIconBtnFont(base, sizeDelta, weight, italic, strikeOut, face);
    if (!font)
        return 0;
    hFontThis.Reset(font);
    if (hWnd)
        InvalidateRect(hWnd, nullptr, FALSE);
    return 1;
}

IconBtn::IconBtn(int iconId, int hotIconId, DWORD btnStyle, int btnDx, int btnDy)
{
    {
        CritSecLock lock(sharedLock);
        if (btnStyle == defaultStyle)
            btnStyle = commonStyle;
        if (btnDx == defaultPos) {
            btnDx = dxCommon;
            btnDy = dyCommon;
        }
    }
    style = btnStyle;
    dx = btnDx;
    dy = btnDy;
    initialized = Initialize(style, dx, dy);
    hIcon.Reset(LoadSmallIcon(iconId, iconSize));
    hIconHot.Reset(LoadSmallIcon(hotIconId, hotIconSize));
}

IconBtn::~IconBtn()
{
    hFontThis.Reset();
    if (initialized)
        Uninitialize();
}

int IconBtn::IsKindOf(const wchar_t* className)
{
    return lstrcmpW(className, L"IconBtn") == 0 || ZnCtrl::IsKindOf(className);
}

void IconBtn::OnInit()
{
    ZnCtrl::OnInit();
    DWORD current = static_cast<DWORD>(GetWindowLongPtrW(hWnd, GWL_STYLE));
    SendMessageW(hWnd, BM_SETSTYLE, (current & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
}

LRESULT IconBtn::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETCURSOR && hover && handCursor)
        return TRUE;
    LRESULT r = ZnCtrl::OnWndMessage(msg, wParam, lParam);
    bool leftByMove = msg == WM_MOUSEMOVE && static_cast<DWORD>(lParam) == 0xFFFFFFFF;
    if (msg == WM_MOUSEMOVE && !leftByMove && (style & linkStyle)) {
        if (handCursor) {
            if (!handCursorShared)
                handCursorShared = LoadCursorW(nullptr, IDC_HAND);
            if (handCursorShared && GetCursor() != handCursorShared)
                SetCursor(handCursorShared);
        }
        if (!hover) {
            hover = 1;
            CatchMouseOut(hWnd);
            InvalidateRect(hWnd, nullptr, FALSE);
        }
    } else if (msg == WM_MOUSELEAVE || leftByMove) {
        if (hover) {
            hover = 0;
            InvalidateRect(hWnd, nullptr, FALSE);
        }
    } else if (msg == WM_ENABLE) {
        InvalidateRect(hWnd, nullptr, TRUE);
    } else if (msg == BM_SETCHECK) {
        state = (state & ~stateChecked) | (static_cast<DWORD>(wParam) & stateChecked);
        InvalidateRect(hWnd, nullptr, FALSE);
    } else if (msg == BM_GETCHECK || msg == BM_GETSTATE) {
        r = (r & ~static_cast<LRESULT>(1)) | (state & stateChecked);
    }
    return r;
}

void IconBtn::DrawButton(HDC dc, RECT* rect, UINT frameState)
{
    DrawFrameControl(dc, rect, DFC_BUTTON, frameState);
}

HICON IconBtn::IconFor(UINT)
{
    return hover && hIconHot ? hIconHot.Get() : hIcon.Get();
}

void IconBtn::OnDrawItem(DRAWITEMSTRUCT* item)
{
    IconBtnShared* set = shared.load();
    if (!item || item->CtlType != ODT_BUTTON || !set)
        return;
    HDC dc = item->hDC;
    DCState keep(dc);
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool focused = (item->itemState & ODS_FOCUS) != 0;
    const bool checked = (state & stateChecked) != 0;
    const bool link = (style & linkStyle) != 0;
    const IconBtnColors& colors = set->colors;

    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, link || !pressed ? colors.face : colors.pressedBkg);
    SelectObject(dc, hFontThis ? hFontThis.Get() : link ? set->LinkFont() : set->TextFont());

    wchar_t text[128] = {};
    if (hWnd)
        GetWindowTextW(hWnd, text, 128);
    wchar_t shown[128] = {};
    for (int from = 0, to = 0, skipped = 0; text[from]; ++from) {
        if (text[from] == L'&' && !skipped) {
            skipped = 1;
            continue;
        }
        shown[to++] = text[from];
    }
    SIZE textSize = {};
    const bool hasText = text[0] != 0;
    if (hasText)
        GetTextExtentPoint32W(dc, shown, lstrlenW(shown), &textSize);
    const bool hasIcon = hIcon.IsValid();

    SIZE content = {};
    if (hasIcon && hasText)
        content = {iconSize.cx + iconTextGap + textSize.cx, iconSize.cy > textSize.cy ? iconSize.cy : textSize.cy};
    else if (hasIcon)
        content = iconSize;
    else
        content = textSize;

    const RECT& whole = item->rcItem;
    FillRect(dc, &whole, pressed ? set->highlightBrush.Get() : set->faceBrush.Get());

    RECT box;
    box.left = whole.left + (whole.right - whole.left - content.cx) / 2;
    box.top = whole.top + (whole.bottom - whole.top - content.cy) / 2;
    if ((style & (centerVert | centerHorz)) != (centerVert | centerHorz)) {
        if (!(style & centerHorz))
            box.left = whole.left + dx;
        if (!(style & centerVert))
            box.top = whole.top + dy;
    }
    if (!link && (pressed || checked))
        OffsetRect(&box, 1, 1);
    box.right = box.left + content.cx;
    box.bottom = box.top + content.cy;

    RECT textBox = box;
    if (hasIcon)
        textBox.left += iconSize.cx + iconTextGap;

    if (!link) {
        RECT frame = whole;
        DrawButton(dc, &frame,
            DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0)
                | (checked ? DFCS_CHECKED : 0));
    }

    SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    if (hasText) {
        // Transparent, or the gray text would blot out its white shadow.
        SetBkMode(dc, TRANSPARENT);
        const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
        if (disabled && !pressed) {
            RECT shadow = textBox;
            OffsetRect(&shadow, 1, 1);
            SetTextColor(dc, RGB(255, 255, 255));
            DrawTextW(dc, text, -1, &shadow, format);
            SetTextColor(dc, colors.gray);
        } else if (!link) {
            SetTextColor(dc, colors.text);
        } else {
            SetTextColor(dc, hover ? colors.hover : pressed ? colors.activeLink : colors.link);
        }
        DrawTextW(dc, text, -1, &textBox, format);

        RECT measured = textBox;
        DrawTextW(dc, text, -1, &measured, format | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        measured.top = textBox.top + (textBox.bottom - textBox.top - height) / 2;
        measured.bottom = measured.top + height;
        RECT around = {measured.left - 2, measured.top - 1, measured.right + 2, measured.bottom + 1};
        if (link) {
            FrameRound(dc, around, set->face.solid.Get());
            Underline(dc, around, set->face.solid.Get());
            if (!focused)
                Underline(dc, around,
                    disabled    ? set->gray.dot.Get()
                        : hover ? set->hover.solid.Get()
                                : set->link.solid.Get());
            else
                FrameRound(dc, around, hover ? set->hover.alternate.Get() : set->link.alternate.Get());
        } else {
            FrameRound(dc, around, focused ? set->text.alternate.Get() : set->face.alternate.Get());
        }
    } else if (!link) {
        FrameRound(dc, box, focused ? set->text.alternate.Get() : set->face.alternate.Get());
    }
    if (!link)
        state = focused ? (state | stateFocusFrame) : (state & ~stateFocusFrame);

    if (HICON icon = IconFor(item->itemState))
        DrawIconEx(dc, box.left, box.top, icon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0,
            set->iconBkgBrush.Get(), DI_NORMAL);
}
