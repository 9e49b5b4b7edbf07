#include "ui/dialogs/internal/SkinPixels.h"
#include "ui/window/internal/TopDownDib.h"

#include <ocidl.h>
#include <olectl.h>
#include <shlwapi.h>

#include <algorithm>

#include "threads/CoInit.h"
#include "ui/window/ZnDC.h"

namespace {

// The picture types a skin library stores its picture files under; each
// holds the bytes of a whole file.
const wchar_t* const kPictureTypes[] = {RT_RCDATA, L"JPG", L"JPEG", L"GIF", L"BMP", L"IMAGE"};

HBITMAP CopyIntoDib(HBITMAP source)
{
    SIZE size = SkinPixels::BitmapSize(source);
    SkinPixels::Dib dib;
    if (!SkinPixels::MakeDib(dib, size.cx, size.cy))
        return nullptr;
    CompatibleDC from(nullptr);
    CompatibleDC to(nullptr);
    if (!SelectObject(from, source) || !SelectObject(to, dib.bmp.Get()))
        return nullptr;
    if (!BitBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, SRCCOPY))
        return nullptr;
    return dib.bmp.Release();
}

// Bitmaps (BMP, JPEG, GIF) are copied pixel for pixel from the loader's own
// bitmap; anything else (icons, metafiles) is rendered at its natural size
// on the screen's resolution.
HBITMAP RenderPicture(IPicture* picture)
{
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle))
        && handle) {
        if (HBITMAP copy = CopyIntoDib(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle))))
            return copy;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height)) || width <= 0 || height <= 0)
        return nullptr;
    ZnDC screen;
    int cx = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    int cy = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    SkinPixels::Dib dib;
    if (!SkinPixels::MakeDib(dib, cx, cy))
        return nullptr;
    CompatibleDC to(nullptr);
    if (!SelectObject(to, dib.bmp.Get()))
        return nullptr;
    RECT all = {0, 0, cx, cy};
    FillRect(to, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (FAILED(picture->Render(to, 0, 0, cx, cy, 0, height, width, -height, nullptr)))
        return nullptr;
    return dib.bmp.Release();
}

// One axis of a nine-slice: three source spans and where each goes.
struct Span {
    int src;
    int srcLength;
    int dst;
    int dstLength;
};

void AxisSpans(int picture, int target, LONG low, LONG high, Span (&spans)[3])
{
    const int lo = static_cast<int>(low);
    const int hi = static_cast<int>(high);
    const int farSide = picture - hi;
    spans[0] = {0, lo, 0, lo};
    spans[2] = {hi, farSide, target - farSide, farSide};
    spans[1] = {lo, hi - lo, lo, target - farSide - lo};
    // No stretchable lines on this axis: the gap between the sides (when
    // the target is larger) repeats the line at the boundary instead of
    // stretching nothing.
    if (hi == lo)
        spans[1] = {std::min(lo, picture - 1), 1, lo, target - farSide - lo};
}

void Piece(HDC dst, HDC src, const Span& x, const Span& y)
{
    if (x.dstLength <= 0 || y.dstLength <= 0 || x.srcLength <= 0 || y.srcLength <= 0)
        return;
    if (x.dstLength == x.srcLength && y.dstLength == y.srcLength)
        BitBlt(dst, x.dst, y.dst, x.dstLength, y.dstLength, src, x.src, y.src, SRCCOPY);
    else
        StretchBlt(dst, x.dst, y.dst, x.dstLength, y.dstLength, src, x.src, y.src, x.srcLength, y.srcLength, SRCCOPY);
}

} // namespace

namespace SkinPixels {

int IsSizeSane(long long cx, long long cy)
{
    return IsDibSizeSane(cx, cy);
}

int MakeDib(Dib& dib, int cx, int cy)
{
    dib.cx = dib.cy = 0;
    dib.bmp.Reset(CreateTopDownDib(cx, cy, &dib.bits));
    if (!dib.bmp)
        return 0;
    dib.cx = cx;
    dib.cy = cy;
    return 1;
}

HBITMAP PictureFromBytes(const void* bytes, DWORD size)
{
    if (!bytes || !size || size > 0x7FFFFFFF)
        return nullptr;
    // The loader hands JPEG and GIF to the imaging codecs, which are COM
    // objects: the thread needs COM for the call (and keeps the model it
    // already has).
    CoInit com;
    ComPtr<IStream> stream(SHCreateMemStream(static_cast<const BYTE*>(bytes), size));
    if (!stream)
        return nullptr;
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.PutVoid()))
        || !picture)
        return nullptr;
    return RenderPicture(picture.Get());
}

HBITMAP LoadPictureResource(HMODULE module, int id)
{
    if (!module || id <= 0 || id > 0xFFFF)
        return nullptr;
    for (const wchar_t* type : kPictureTypes) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found)
            continue;
        HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (HBITMAP bmp = PictureFromBytes(bytes, SizeofResource(module, found)))
            return bmp;
    }
    HANDLE plain = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!plain)
        return nullptr;
    BitmapHandle loaded(static_cast<HBITMAP>(plain));
    return CopyIntoDib(loaded.Get());
}

SIZE BitmapSize(HBITMAP bmp)
{
    BITMAP info = {};
    if (!bmp || GetObjectW(bmp, sizeof(info), &info) != sizeof(info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

void StretchNine(HDC dst, int cx, int cy, HDC src, SIZE picture, const RECT& stretch)
{
    // Exact colours: a smoothing mode would mix the colour key into its
    // neighbours and leave a fringe that is neither key nor picture.
    int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    if (stretch.left == stretch.right && stretch.top == stretch.bottom) {
        Piece(dst, src, {0, static_cast<int>(picture.cx), 0, cx}, {0, static_cast<int>(picture.cy), 0, cy});
    } else {
        Span xs[3], ys[3];
        AxisSpans(picture.cx, cx, stretch.left, stretch.right, xs);
        AxisSpans(picture.cy, cy, stretch.top, stretch.bottom, ys);
        // Sides before middles and near before far: when the target is
        // smaller than the picture the far side is drawn last and wins.
        for (const Span& row : ys)
            for (const Span& column : xs)
                Piece(dst, src, column, row);
    }
    SetStretchBltMode(dst, oldMode);
}

void Wash(DWORD* bits, size_t count, COLORREF key)
{
    const DWORD keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    for (size_t i = 0; i < count; ++i) {
        DWORD p = bits[i] & 0x00FFFFFF;
        if (p == keyPixel)
            continue;
        // (c + 255) / 2 for each channel at once: c / 2 + 127, plus the
        // half that c's low bit adds; no channel can carry into the next.
        bits[i] = ((p >> 1) & 0x007F7F7F) + 0x007F7F7F + (p & 0x00010101);
    }
}

} // namespace SkinPixels
