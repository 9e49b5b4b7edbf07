#include "ui/window/ImageBtn.h"

#include <utility>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "ui/window/WndFunctions.h"
#include "ui/window/ZnDC.h"
#include "ui/window/internal/CtrlDialogLink.h"

namespace {

// D AND NOT S: where the mask is white the destination turns black.
constexpr DWORD ropDSna = 0x00220326;
// The focus rectangle keeps this distance from the content it surrounds.
constexpr int focusMargin = 2;

HINSTANCE ModuleFor(const ImageBtnDescriptor& descriptor)
{
    if (descriptor.bitmapId < 0)
        return hiDLL;
    if (descriptor.module)
        return descriptor.module;
    HINSTANCE app = GetMyProductInfo()->GetAppInstance();
    return app ? app : hiDLL;
}

HBITMAP LoadStrip(const ImageBtnDescriptor& descriptor)
{
    const int id = descriptor.bitmapId < 0 ? -descriptor.bitmapId : descriptor.bitmapId;
    if (id == 0 || id > 0xFFFF)
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageW(ModuleFor(descriptor), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The mask of strip (white where a pixel has the transparent colour), and
// those pixels of strip turned black.
HBITMAP MakeMask(HBITMAP strip, SIZE size, COLORREF transparent)
{
    BitmapHandle mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    if (!mask)
        return nullptr;
    CompatibleDC stripDC(nullptr);
    CompatibleDC maskDC(nullptr);
    if (!SelectObject(stripDC, strip) || !SelectObject(maskDC, mask.Get()))
        return nullptr;
    // From colour to monochrome, the source's background colour gives white.
    SetBkColor(stripDC, transparent);
    if (!BitBlt(maskDC, 0, 0, size.cx, size.cy, stripDC, 0, 0, SRCCOPY))
        return nullptr;
    // From monochrome to colour, white gives the destination's background
    // colour and black its text colour.
    SetBkColor(stripDC, RGB(255, 255, 255));
    SetTextColor(stripDC, RGB(0, 0, 0));
    if (!BitBlt(stripDC, 0, 0, size.cx, size.cy, maskDC, 0, 0, ropDSna))
        return nullptr;
    return mask.Release();
}

void PaintBackground(ZnDlg* dlg, HWND control, HDC dc, const RECT& rect)
{
    const CtrlDialogLink* link = GetCtrlDialogLink();
    if (link && dlg && control && link->paintSkinBehind(dlg, control, dc))
        return;
    COLORREF background = GetSysColor(COLOR_BTNFACE);
    COLORREF text = 0;
    COLORREF third = 0;
    if (link && dlg && !link->colors(dlg, &background, &text, &third))
        background = GetSysColor(COLOR_BTNFACE);
    SetBkColor(dc, background);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

} // namespace

ImageBtn::ImageBtn(const ImageBtnDescriptor& described) : descriptor(described)
{
    if (descriptor.cellWidth <= 0 || descriptor.cellHeight <= 0)
        return;
    BitmapHandle strip(LoadStrip(descriptor));
    if (!strip)
        return;
    BITMAP info = {};
    if (!GetObjectW(strip.Get(), sizeof(info), &info) || info.bmWidth < descriptor.cellWidth
        || info.bmHeight < descriptor.cellHeight)
        return;
    if (descriptor.transparent != CLR_INVALID) {
        mask.Reset(MakeMask(strip.Get(), {info.bmWidth, info.bmHeight}, descriptor.transparent));
        if (!mask)
            return;
    }
    const int across = info.bmWidth / descriptor.cellWidth;
    cells = across < cellCount ? across : cellCount;
    image = std::move(strip);
}

ImageBtn::~ImageBtn() = default;

int ImageBtn::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ImageBtn") == 0 || ZnCtrl::IsKindOf(className));
}

void ImageBtn::OnInit()
{
    ZnCtrl::OnInit();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hWnd, GWL_STYLE));
    const bool wasDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    // Goes through OnWndMessage, which turns it into an owner-drawn one.
    SendMessageW(hWnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | (wasDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
}

LRESULT ImageBtn::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case BM_SETSTYLE: {
        // The dialog manager moves the default between push buttons this
        // way; the button keeps drawing itself and remembers the part.
        const DWORD type = static_cast<DWORD>(wParam) & BS_TYPEMASK;
        if (type == BS_DEFPUSHBUTTON || type == BS_PUSHBUTTON) {
            defaultButton = type == BS_DEFPUSHBUTTON;
            wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
        }
        break;
    }
    case WM_GETDLGCODE:
        // As a push button answers: so the dialog manager makes it the
        // default while it has the focus, and Enter presses it then.
        return DLGC_BUTTON | (defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button reports a double click as such; a push
        // button takes the quick second click as a click.
        msg = WM_LBUTTONDOWN;
        break;
    case WM_MOUSEMOVE:
        // The dialog reports the mouse gone as a move to 0xFFFFFFFF.
        SetHover(static_cast<DWORD>(lParam) != 0xFFFFFFFF);
        break;
    case WM_MOUSELEAVE:
        SetHover(0);
        break;
    case WM_ENABLE:
        InvalidateRect(hWnd, nullptr, FALSE);
        break;
    default:
        break;
    }
    return ZnCtrl::OnWndMessage(msg, wParam, lParam);
}

void ImageBtn::SetHover(int on)
{
    if (on == hover)
        return;
    hover = on;
    if (on)
        CatchMouseOut(hWnd);
    InvalidateRect(hWnd, nullptr, FALSE);
}

int ImageBtn::CellFor(UINT itemState) const
{
    int cell = cellNormal;
    if (itemState & ODS_DISABLED)
        cell = cellDisabled;
    else if (itemState & ODS_SELECTED)
        cell = cellPressed;
    else if (hover)
        cell = cellHot;
    return cell < cells ? cell : cellNormal;
}

void ImageBtn::DrawCell(HDC dc, int x, int y, int cell)
{
    CompatibleDC source(dc);
    const int cx = descriptor.cellWidth;
    const int cy = descriptor.cellHeight;
    const int from = cell * cx;
    if (!mask) {
        if (SelectObject(source, image.Get()))
            BitBlt(dc, x, y, cx, cy, source, from, 0, SRCCOPY);
        return;
    }
    if (!SelectObject(source, mask.Get()))
        return;
    // The mask's white keeps the background, its black clears the picture's
    // place; the picture is then ORed into that place.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, cx, cy, source, from, 0, SRCAND);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    if (SelectObject(source, image.Get()))
        BitBlt(dc, x, y, cx, cy, source, from, 0, SRCPAINT);
}

void ImageBtn::Draw(HDC target, const RECT& rect, UINT itemState)
{
    ZnDC dc(target, 1);
    PaintBackground(dlg, hWnd, dc, rect);

    wchar_t text[128] = {};
    if (hWnd)
        GetWindowTextW(hWnd, text, 128);
    HFONT font = hWnd ? reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)) : nullptr;
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    const UINT textFormat = DT_SINGLELINE | DT_NOCLIP | ((itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    SIZE textSize = {};
    if (text[0]) {
        RECT measure = {0, 0, 0, 0};
        DrawTextW(dc, text, -1, &measure, textFormat | DT_CALCRECT);
        textSize = {measure.right - measure.left, measure.bottom - measure.top};
    }

    const SIZE picture = IsLoaded() ? SIZE{descriptor.cellWidth, descriptor.cellHeight} : SIZE{0, 0};
    const int gap = picture.cx && textSize.cx ? descriptor.textGap : 0;
    const int contentCx = picture.cx + gap + textSize.cx;
    const int contentCy = picture.cy > textSize.cy ? picture.cy : textSize.cy;
    const int left = rect.left + (rect.right - rect.left - contentCx) / 2;
    const int top = rect.top + (rect.bottom - rect.top - contentCy) / 2;
    const bool textFirst = (descriptor.flags & ImageBtnDescriptor::textBefore) != 0;
    const int pictureX = textFirst ? left + textSize.cx + gap : left;
    const int textX = textFirst ? left : left + picture.cx + gap;

    if (picture.cx)
        DrawCell(dc, pictureX, top + (contentCy - picture.cy) / 2, CellFor(itemState));
    if (textSize.cx) {
        RECT place = {textX, top + (contentCy - textSize.cy) / 2, textX + textSize.cx, 0};
        place.bottom = place.top + textSize.cy;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor((itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        DrawTextW(dc, text, -1, &place, textFormat);
    }
    if ((itemState & ODS_FOCUS) && !(itemState & ODS_NOFOCUSRECT)) {
        RECT frame
            = {left - focusMargin, top - focusMargin, left + contentCx + focusMargin, top + contentCy + focusMargin};
        IntersectRect(&frame, &frame, &rect);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &frame);
    }
}

void ImageBtn::OnDrawItem(DRAWITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_BUTTON)
        return;
    Draw(item->hDC, item->rcItem, item->itemState);
}
