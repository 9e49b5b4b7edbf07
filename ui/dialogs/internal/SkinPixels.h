// The pixel work behind dialog skins: pictures read by the system picture
// loader, top-down 32-bit DIB sections (the only bitmaps whose pixels can
// be read and changed in place), nine-slice stretching and the washed-out
// look of an inactive dialog.
#pragma once

#include <windows.h>

#include "base/Owners.h"

namespace SkinPixels {

// A picture size the library is willing to hold (see TopDownDib.h).
int IsSizeSane(long long cx, long long cy);

// A top-down 32-bit DIB section, 0x00RRGGBB pixels.
struct Dib {
    BitmapHandle bmp;
    DWORD* bits = nullptr;
    int cx = 0;
    int cy = 0;
};
// 0 when the size is not sane or the section cannot be made.
int MakeDib(Dib& dib, int cx, int cy);

// A picture file in memory (whatever the system picture loader reads: BMP,
// JPEG, GIF, ...) rendered into a DIB section of its natural size; null
// when it cannot be read. The caller owns the bitmap.
HBITMAP PictureFromBytes(const void* bytes, DWORD size);
// The picture resource id of module: a picture file stored under one of
// the picture resource types, or a plain bitmap resource.
HBITMAP LoadPictureResource(HMODULE module, int id);

// The size of any bitmap; {0, 0} when it is not one.
SIZE BitmapSize(HBITMAP bmp);

// The picture in src (its size picture) drawn onto dst at cx x cy. An
// empty stretch rectangle (left = right and top = bottom) scales the
// whole picture; otherwise the corners outside it keep their size, the
// edges stretch along one axis and the centre along both. An axis whose
// stretch range is empty (left = right alone, or top = bottom alone)
// keeps both sides at their size and fills the gap between them with
// copies of the picture's line at that position.
void StretchNine(HDC dst, int cx, int cy, HDC src, SIZE picture, const RECT& stretch);

// Half intensity over white, per channel c -> (c + 255) / 2; pixels of the
// colour key keep their colour so that they stay transparent.
void Wash(DWORD* bits, size_t count, COLORREF key);

} // namespace SkinPixels
