#include "ui/window/DrawHelpers.h"

#include <algorithm>

#include "base/Owners.h"
#include "ui/window/CDPI.h"
#include "ui/window/ZnDC.h"

// --- colours -------------------------------------------------------------------------

namespace {

BYTE Doubled(BYTE v)
{
    return static_cast<BYTE>(std::min(v * 2, 255));
}

} // namespace

void COLORRGB::MakeBright()
{
    r = Doubled(r);
    g = Doubled(g);
    b = Doubled(b);
}

void COLORRGB::MakeDark()
{
    r = static_cast<BYTE>(r / 2);
    g = static_cast<BYTE>(g / 2);
    b = static_cast<BYTE>(b / 2);
}

int GetLuminosity(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    int high = std::max({r, g, b});
    int low = std::min({r, g, b});
    return ((high + low) * 240 + 255) / 510;
}

COLORREF MakeColorBright(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    int high = std::max({r, g, b});
    if (!high)
        return RGB(0, 0, 0);
    return RGB(r * 255 / high, g * 255 / high, b * 255 / high);
}

// --- rectangles ----------------------------------------------------------------------

void RectCopy(RECT& dst, const RECT& src)
{
    dst = src;
}

void RectSet(RECT& rect, int left, int top, int right, int bottom)
{
    rect = {left, top, right, bottom};
}

void RectShift(RECT& rect, int dx, int dy)
{
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
}

void RectInflate(RECT& rect, int dx, int dy)
{
    rect.left -= dx;
    rect.right += dx;
    rect.top -= dy;
    rect.bottom += dy;
}

void DeflateRect(RECT& rect, int dx, int dy)
{
    InflateRect(&rect, -dx, -dy);
}

void RectCenter(RECT& rect, const RECT& ref)
{
    int cx = rect.right - rect.left;
    int cy = rect.bottom - rect.top;
    int left = ref.left + (ref.right - ref.left - cx) / 2;
    int top = ref.top + (ref.bottom - ref.top - cy) / 2;
    rect = {left, top, left + cx, top + cy};
}

int IsRectDifferent(const RECT& a, const RECT& b)
{
    return a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom;
}

int IsRectEmpty(const RECT& rect)
{
    return rect.left == rect.right && rect.top == rect.bottom;
}

void RectUnion(RECT& out, const RECT& a, const RECT& b)
{
    out = {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
           std::max(a.bottom, b.bottom)};
}

int RectHasPoint(const RECT& rect, const POINT& pt)
{
    return rect.left <= pt.x && pt.x < rect.right && rect.top <= pt.y && pt.y < rect.bottom;
}

int RectHasRect(const RECT& outer, const RECT& inner)
{
    return outer.left <= inner.left && inner.right < outer.right && outer.top <= inner.top &&
           inner.bottom < outer.bottom;
}

BOOL ClientToScreen(HWND wnd, RECT* rect)
{
    POINT* corners = reinterpret_cast<POINT*>(rect);
    return ::ClientToScreen(wnd, &corners[0]) && ::ClientToScreen(wnd, &corners[1]);
}

void TwistRect(RECT& rect)
{
    rect = {rect.right, rect.bottom, rect.left, rect.top};
}

void FlipRect(RECT& rect)
{
    rect = {rect.top, rect.left, rect.bottom, rect.right};
}

void FlipSize(SIZE& size)
{
    std::swap(size.cx, size.cy);
}

// --- painting and pens ---------------------------------------------------------------

int PaintRect(HDC dc, const RECT* rect, COLORREF c)
{
    BrushHandle brush(CreateSolidBrush(c));
    return FillRect(dc, rect, brush.Get());
}

int PaintRect(HDC dc, int x, int y, int cx, int cy, COLORREF c)
{
    RECT rect = {x, y, x + cx, y + cy};
    return PaintRect(dc, &rect, c);
}

int DrawRect(HDC dc, int x, int y, int cx, int cy, COLORREF c, int penStyle)
{
    PenHandle pen(CreatePen(penStyle, 0, c));
    if (!pen)
        return 0;
    HGDIOBJ old = SelectObject(dc, pen.Get());
    const POINT corners[] = {{x, y}, {x + cx - 1, y}, {x + cx - 1, y + cy - 1}, {x, y + cy - 1}, {x, y}};
    BOOL done = Polyline(dc, corners, 5);
    SelectObject(dc, old);
    return done;
}

HPEN CreateDottedPen(COLORREF c)
{
    LOGBRUSH brush = {BS_SOLID, c, 0};
    return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
}

HPEN CreateSolidPen(COLORREF c)
{
    return CreatePen(PS_SOLID, 0, c);
}

HPEN CreateDashedPen(COLORREF c)
{
    return CreatePen(PS_DOT, 0, c);
}

// --- text ----------------------------------------------------------------------------

namespace {

// The extent of text with a copy of dc's font scaled to 96 DPI, scaled
// back up to dpi.
SIZE MeasureAt96(HDC dc, const wchar_t* text, int length, UINT dpi)
{
    SIZE size = {0, 0};
    LOGFONTW lf;
    if (!GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(lf), &lf))
        return size;
    lf.lfHeight = MulDiv(lf.lfHeight, 96, static_cast<int>(dpi));
    FontHandle font(CreateFontIndirectW(&lf));
    if (!font)
        return size;
    HGDIOBJ old = SelectObject(dc, font.Get());
    if (GetTextExtentPoint32W(dc, text, length, &size)) {
        size.cx = MulDiv(size.cx, static_cast<int>(dpi), 96);
        size.cy = MulDiv(size.cy, static_cast<int>(dpi), 96);
    }
    SelectObject(dc, old);
    return size;
}

} // namespace

BOOL MyGetTextSize(HWND wnd, HDC dc, const wchar_t* text, int length, SIZE* size)
{
    BOOL done = GetTextExtentPoint32W(dc, text, length, size);
    UINT dpi = CDPI::GetTrueDPIForWindow(wnd);
    if (dpi == 96 || !done)
        return done;
    SIZE scaled = MeasureAt96(dc, text, length, dpi);
    if (scaled.cx != 0 && scaled.cx < size->cx)
        *size = scaled;
    return done;
}
