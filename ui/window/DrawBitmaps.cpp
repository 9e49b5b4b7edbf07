// Bitmaps, pixel arrays, quarter and half turns, and the shaded fill.
#include "ui/window/DrawHelpers.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/internal/DllHeap.h"
#include "ui/window/ZnDC.h"

namespace {

// Pixel arrays larger than this are refused: far more than any screen or
// skin holds, and small enough that a count from a stray rectangle can
// neither overflow the byte count nor exhaust the heap (whose allocations
// raise instead of failing).
constexpr long long kMaxPixels = 1LL << 26;

int IsPixelCountSane(long long cx, long long cy)
{
    return cx > 0 && cy > 0 && cx <= kMaxPixels && cy <= kMaxPixels && cx * cy <= kMaxPixels;
}

// A top-down 32-bit DIB section.
class DibSection {
public:
    DibSection(int cx, int cy) : bits(nullptr)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = cx;
        info.bmiHeader.biHeight = -cy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        if (bmp)
            bits = static_cast<DWORD*>(pixels);
    }
    ~DibSection()
    {
        if (bmp)
            DeleteObject(bmp);
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    HBITMAP bmp;
    DWORD* bits;
};

// A DIB section selected into a memory DC of its own. The DC goes first
// (giving the section back) and the section after it.
class DibCanvas {
public:
    DibCanvas(int cx, int cy) : dib(cx, cy), dc(nullptr)
    {
        if (dib.bmp && !SelectObject(dc, dib.bmp))
            dib.bits = nullptr;
    }
    DWORD* Bits() const { return dib.bits; }
    HDC DC() const { return dc; }

private:
    DibSection dib;
    CompatibleDC dc;
};

struct DllHeapDeleter {
    void operator()(DWORD* block) const { DllHeap::Free(block); }
};
using PixelArray = std::unique_ptr<DWORD[], DllHeapDeleter>;

// The width and height of rect in either orientation, when they make a
// picture of a sane size.
int PictureSize(const RECT* rect, int& cx, int& cy)
{
    long long w = static_cast<long long>(rect->right) - rect->left;
    long long h = static_cast<long long>(rect->bottom) - rect->top;
    w = w < 0 ? -w : w;
    h = h < 0 ? -h : h;
    if (!IsPixelCountSane(w, h))
        return 0;
    cx = static_cast<int>(w);
    cy = static_cast<int>(h);
    return 1;
}

HBITMAP CopyRegion(HDC compatibleWith, HDC src, int x, int y, int cx, int cy)
{
    HBITMAP bmp = CreateCompatibleBitmap(compatibleWith, cx, cy);
    if (!bmp)
        return nullptr;
    CompatibleDC memory(compatibleWith);
    SelectObject(memory, bmp);
    BitBlt(memory, 0, 0, cx, cy, src, x, y, SRCCOPY);
    return bmp;
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
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    if (!bmp)
        return nullptr;
    CompatibleDC memory(screen);
    SelectObject(memory, bmp);
    PaintRect(memory, 0, 0, cx, cy, backColor);
    if (font)
        SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, textColor);
    TextOutW(memory, 0, 0, text, lstrlenW(text));
    return bmp;
}

HBITMAP MakeShadedBitmap(int cx, int cy, COLORREF c, int fromBottom, int steps)
{
    ZnDC screen;
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    if (!bmp)
        return nullptr;
    CompatibleDC memory(screen);
    SelectObject(memory, bmp);
    RECT rect = {0, 0, cx, cy};
    PaintShadedRect(memory, rect, c, fromBottom, steps);
    return bmp;
}

DWORD* GetDibBits(HDC dc, int cx, int cy)
{
    if (!IsPixelCountSane(cx, cy))
        return nullptr;
    DibCanvas canvas(cx, cy);
    if (!canvas.Bits() || !BitBlt(canvas.DC(), 0, 0, cx, cy, dc, 0, 0, SRCCOPY))
        return nullptr;
    GdiFlush();
    size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    DWORD* pixels = static_cast<DWORD*>(DllHeap::Alloc(count * sizeof(DWORD)));
    for (size_t i = 0; i < count; ++i)
        pixels[i] = canvas.Bits()[i] & 0x00FFFFFF;
    return pixels;
}

// --- turns ---------------------------------------------------------------------------

int RotateMemoryDC(HDC dest, RECT* rect, HDC src, int counterClockwise)
{
    int w = 0, h = 0;
    if (!PictureSize(rect, w, h))
        return 0;
    // The source lies on its side: h wide and w high.
    PixelArray source(GetDibBits(src, h, w));
    DibCanvas turned(w, h);
    if (!source || !turned.Bits())
        return 0;
    const size_t sw = static_cast<size_t>(h);
    for (size_t y = 0; y < static_cast<size_t>(h); ++y) {
        DWORD* row = turned.Bits() + y * static_cast<size_t>(w);
        for (size_t x = 0; x < static_cast<size_t>(w); ++x)
            row[x] = counterClockwise ? source[x * sw + (sw - 1 - y)] : source[(w - 1 - x) * sw + y];
    }
    return BitBlt(dest, std::min(rect->left, rect->right), std::min(rect->top, rect->bottom), w, h, turned.DC(), 0,
                  0, SRCCOPY);
}

int TwistMemoryDC(HDC dest, RECT* rect, HDC src)
{
    int w = 0, h = 0;
    if (!PictureSize(rect, w, h))
        return 0;
    PixelArray source(GetDibBits(src, w, h));
    DibCanvas turned(w, h);
    if (!source || !turned.Bits())
        return 0;
    // A half turn reverses the order of the pixels.
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::reverse_copy(source.get(), source.get() + count, turned.Bits());
    return BitBlt(dest, std::min(rect->left, rect->right), std::min(rect->top, rect->bottom), w, h, turned.DC(), 0,
                  0, SRCCOPY);
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
