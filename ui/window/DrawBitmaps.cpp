// Bitmaps, pixel arrays, quarter and half turns, and the shaded fill.
#include "ui/window/DrawHelpers.h"

#include <algorithm>
#include <cstring>

#include "base/Owners.h"
#include "base/internal/DllHeap.h"
#include "ui/window/ZnDC.h"
#include "ui/window/internal/TopDownDib.h"

namespace {

// A top-down 32-bit DIB section.
class DibSection {
public:
    DibSection(int cx, int cy) { bmp.Reset(CreateTopDownDib(cx, cy, &bits)); }

    BitmapHandle bmp;
    DWORD* bits = nullptr;
};

// A DIB section selected into a memory DC of its own. The DC goes first
// (giving the section back) and the section after it.
class DibCanvas {
public:
    DibCanvas(int cx, int cy) : dib(cx, cy), dc(nullptr)
    {
        if (dib.bmp && !SelectObject(dc, dib.bmp.Get()))
            dib.bits = nullptr;
    }
    DWORD* Bits() const { return dib.bits; }
    HDC DC() const { return dc; }

private:
    DibSection dib;
    CompatibleDC dc;
};

// The width and height of rect in either orientation, when they make a
// picture of a sane size.
int PictureSize(const RECT* rect, int& cx, int& cy)
{
    long long w = static_cast<long long>(rect->right) - rect->left;
    long long h = static_cast<long long>(rect->bottom) - rect->top;
    w = w < 0 ? -w : w;
    h = h < 0 ? -h : h;
    if (!IsDibSizeSane(w, h))
        return 0;
    cx = static_cast<int>(w);
    cy = static_cast<int>(h);
    return 1;
}

// A new bitmap compatible with compatibleWith, painted by paint in a memory
// DC of its own. The DC goes before the bitmap is handed out, so the caller
// gets a bitmap that is selected nowhere.
template <typename Paint>
HBITMAP PaintNewBitmap(HDC compatibleWith, int cx, int cy, Paint paint)
{
    BitmapHandle bmp(CreateCompatibleBitmap(compatibleWith, cx, cy));
    if (!bmp)
        return nullptr;
    {
        CompatibleDC memory(compatibleWith);
        SelectObject(memory, bmp.Get());
        paint(memory.Handle());
    }
    return bmp.Release();
}

HBITMAP CopyRegion(HDC compatibleWith, HDC src, int x, int y, int cx, int cy)
{
    return PaintNewBitmap(compatibleWith, cx, cy,
                          [&](HDC memory) { BitBlt(memory, 0, 0, cx, cy, src, x, y, SRCCOPY); });
}

// Channel value v darkened by (d / h)^2; 128-bit because v * d^2 exceeds
// 64 bits on a tall rectangle.
int Darken(int v, long long d, long long h)
{
    d = d < 0 ? -d : d;
    if (d >= h)
        return 0;
    unsigned __int128 cut = static_cast<unsigned __int128>(v) * static_cast<unsigned long long>(d) *
                            static_cast<unsigned long long>(d);
    cut /= static_cast<unsigned __int128>(h) * static_cast<unsigned long long>(h);
    return v - static_cast<int>(cut);
}

COLORREF Shade(COLORREF c, long long d, long long h)
{
    return PALETTERGB(Darken(GetRValue(c), d, h), Darken(GetGValue(c), d, h), Darken(GetBValue(c), d, h));
}

long long CeilDiv(long long n, long long d)
{
    return n > 0 ? (n + d - 1) / d : -((-n) / d);
}

long long FloorDiv(long long n, long long d)
{
    return n >= 0 ? n / d : -CeilDiv(-n, d);
}

} // namespace

// --- bitmaps -------------------------------------------------------------------------

SIZE GetBitmapSize(HBITMAP bmp)
{
    BITMAP info;
    if (!GetObjectW(bmp, sizeof(info), &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

int DrawBitmap(HDC dc, HBITMAP bmp, int x, int y, int srcX, int srcY, int cx, int cy)
{
    if (!cx) {
        SIZE size = GetBitmapSize(bmp);
        cx = size.cx;
        cy = size.cy;
    }
    CompatibleDC memory(dc);
    if (!SelectObject(memory, bmp))
        return 0;
    SetMapMode(memory, GetMapMode(dc));
    POINT points[2] = {{srcX, srcY}, {cx, cy}};
    DPtoLP(memory, points, 2);
    return BitBlt(dc, x, y, points[1].x, points[1].y, memory, points[0].x, points[0].y, SRCCOPY);
}

HBITMAP CopyBitmap(HBITMAP bmp)
{
    SIZE size = GetBitmapSize(bmp);
    CompatibleDC source(nullptr);
    if (!SelectObject(source, bmp))
        return nullptr;
    ZnDC screen;
    return CopyRegion(screen, source, 0, 0, size.cx, size.cy);
}

HBITMAP MakeBitmap(HDC dc, int x, int y, int cx, int cy)
{
    return CopyRegion(dc, dc, x, y, cx, cy);
}

HBITMAP MakeScreenBitmap(int x, int y, int cx, int cy)
{
    ZnDC screen;
    return MakeBitmap(screen, x, y, cx, cy);
}

HBITMAP MakeScreenBitmap(RECT& rect)
{
    return MakeScreenBitmap(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

HBITMAP MakeTextBitmap(int cx, int cy, const wchar_t* text, HFONT font, COLORREF textColor, COLORREF backColor)
{
    ZnDC screen;
    return PaintNewBitmap(screen, cx, cy, [&](HDC memory) {
        PaintRect(memory, 0, 0, cx, cy, backColor);
        if (font)
            SelectObject(memory, font);
        SetBkMode(memory, TRANSPARENT);
        SetTextColor(memory, textColor);
        TextOutW(memory, 0, 0, text, lstrlenW(text));
    });
}

HBITMAP MakeShadedBitmap(int cx, int cy, COLORREF c, int fromBottom, int steps)
{
    ZnDC screen;
    return PaintNewBitmap(screen, cx, cy, [&](HDC memory) {
        RECT rect = {0, 0, cx, cy};
        PaintShadedRect(memory, rect, c, fromBottom, steps);
    });
}

DWORD* GetDibBits(HDC dc, int cx, int cy)
{
    if (!IsDibSizeSane(cx, cy))
        return nullptr;
    DibCanvas canvas(cx, cy);
    if (!canvas.Bits() || !BitBlt(canvas.DC(), 0, 0, cx, cy, dc, 0, 0, SRCCOPY))
        return nullptr;
    GdiFlush();
    size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    DWORD* pixels = DllHeap::AllocArray<DWORD>(count);
    if (!pixels)
        return nullptr;
    for (size_t i = 0; i < count; ++i)
        pixels[i] = canvas.Bits()[i] & 0x00FFFFFF;
    return pixels;
}

// --- turns ---------------------------------------------------------------------------

namespace {

// Draws the picture of src turned into rect of dest. turn writes the w by h
// turned pixels from the source's; a quarter turn's source lies on its
// side, h wide and w high.
template <typename Turn>
int DrawTurned(HDC dest, const RECT* rect, HDC src, bool quarter, Turn turn)
{
    int w = 0, h = 0;
    if (!PictureSize(rect, w, h))
        return 0;
    DllBlock<DWORD> source(quarter ? GetDibBits(src, h, w) : GetDibBits(src, w, h));
    DibCanvas turned(w, h);
    if (!source || !turned.Bits())
        return 0;
    turn(source.Get(), turned.Bits(), static_cast<size_t>(w), static_cast<size_t>(h));
    return BitBlt(dest, std::min(rect->left, rect->right), std::min(rect->top, rect->bottom), w, h, turned.DC(), 0,
                  0, SRCCOPY);
}

} // namespace

int RotateMemoryDC(HDC dest, RECT* rect, HDC src, int counterClockwise)
{
    return DrawTurned(dest, rect, src, true, [counterClockwise](const DWORD* source, DWORD* out, size_t w, size_t h) {
        const size_t sw = h;
        for (size_t y = 0; y < h; ++y) {
            DWORD* row = out + y * w;
            for (size_t x = 0; x < w; ++x)
                row[x] = counterClockwise ? source[x * sw + (sw - 1 - y)] : source[(w - 1 - x) * sw + y];
        }
    });
}

int TwistMemoryDC(HDC dest, RECT* rect, HDC src)
{
    // A half turn reverses the order of the pixels.
    return DrawTurned(dest, rect, src, false, [](const DWORD* source, DWORD* out, size_t w, size_t h) {
        std::reverse_copy(source, source + w * h, out);
    });
}

// --- shaded fill ---------------------------------------------------------------------

void PaintShadedRect(HDC dc, RECT& rect, COLORREF c, int fromBottom, int steps)
{
    if (steps <= 0)
        return;
    const long long height = rect.bottom;
    long long band = height / steps;
    if (band < 2)
        band = 1;
    if (height <= band)
        return;
    // Band k runs from height - (k + 1) * band up to height - k * band; the
    // last one painted is the first whose top is at most band. Only the
    // bands that meet the clip box are visited, so a tall rectangle in
    // thin bands costs no more than the visible part.
    long long first = 0;
    long long last = CeilDiv(height, band) - 2;
    RECT clip;
    int region = GetClipBox(dc, &clip);
    if (region == NULLREGION)
        return;
    if (region != ERROR) {
        first = std::max(first, FloorDiv(height - clip.bottom, band));
        last = std::min(last, CeilDiv(height - clip.top, band) - 1);
    }
    for (long long k = first; k <= last; ++k) {
        long long cur = height - k * band;
        long long top = cur - band;
        long long d = fromBottom ? height + band - cur : top - rect.top;
        RECT fill = {0, static_cast<LONG>(top), rect.right, static_cast<LONG>(cur)};
        PaintRect(dc, &fill, Shade(c, d, height));
    }
}
