// Drawing helpers shared by windows, dialogs, skins and menus: colour and
// rectangle arithmetic, painting with temporary brushes and pens, bitmap
// makers, quarter and half turns of a memory DC's picture, a darkening
// shaded fill and a DPI-aware text measure.
//
// Every bitmap, pen and pixel array returned belongs to the caller
// (bitmaps and pens: DeleteObject; pixel arrays: FreeDllBuf). Fonts passed
// in stay the caller's.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// --- colours -------------------------------------------------------------------------

struct PVDLL_API COLORRGB {
    BYTE r;
    BYTE g;
    BYTE b;

    COLORRGB() : r(0), g(0), b(0) {}
    COLORRGB(BYTE red, BYTE green, BYTE blue) : r(red), g(green), b(blue) {}
    explicit COLORRGB(COLORREF c) : r(GetRValue(c)), g(GetGValue(c)), b(GetBValue(c)) {}
    COLORREF ToCOLORREF() const { return RGB(r, g, b); }

    // Doubles every channel, stopping at 255.
    void MakeBright();
    // Halves every channel.
    void MakeDark();
};

// HLS lightness on a 0...240 scale.
PVDLL_API int GetLuminosity(COLORREF c);
// The brightest colour of the same hue; black stays black.
PVDLL_API COLORREF MakeColorBright(COLORREF c);

// --- rectangles ----------------------------------------------------------------------

PVDLL_API void RectCopy(RECT& dst, const RECT& src);
PVDLL_API void RectSet(RECT& rect, int left, int top, int right, int bottom);
PVDLL_API void RectShift(RECT& rect, int dx, int dy);
// Grows rect by dx on the left and right and by dy at the top and bottom.
PVDLL_API void RectInflate(RECT& rect, int dx, int dy);
PVDLL_API void DeflateRect(RECT& rect, int dx, int dy);
// Moves rect, keeping its size, to the middle of ref.
PVDLL_API void RectCenter(RECT& rect, const RECT& ref);
PVDLL_API int IsRectDifferent(const RECT& a, const RECT& b);
// Empty only when both sides have collapsed to a point: a line of zero
// width but some height still counts (the platform's IsRectEmpty, which
// takes a pointer, says otherwise).
PVDLL_API int IsRectEmpty(const RECT& rect);
// The bounds of both, empty rectangles included.
PVDLL_API void RectUnion(RECT& out, const RECT& a, const RECT& b);
PVDLL_API int RectHasPoint(const RECT& rect, const POINT& pt);
// inner lies within outer, its right and bottom strictly inside.
PVDLL_API int RectHasRect(const RECT& outer, const RECT& inner);
// Both corners; the platform's ClientToScreen takes one POINT.
PVDLL_API BOOL ClientToScreen(HWND wnd, RECT* rect);
// (l, t, r, b) becomes (r, b, l, t).
PVDLL_API void TwistRect(RECT& rect);
// (l, t, r, b) becomes (t, l, b, r): the rectangle mirrored on the diagonal.
PVDLL_API void FlipRect(RECT& rect);
PVDLL_API void FlipSize(SIZE& size);

// --- painting and pens ---------------------------------------------------------------

PVDLL_API int PaintRect(HDC dc, const RECT* rect, COLORREF c);
PVDLL_API int PaintRect(HDC dc, int x, int y, int cx, int cy, COLORREF c);
// The outline of the cx x cy box at (x, y), drawn with a pen of penStyle.
PVDLL_API int DrawRect(HDC dc, int x, int y, int cx, int cy, COLORREF c, int penStyle);
// Every other pixel.
PVDLL_API HPEN CreateDottedPen(COLORREF c);
PVDLL_API HPEN CreateSolidPen(COLORREF c);
PVDLL_API HPEN CreateDashedPen(COLORREF c);

// Fills rect, taken as starting at x 0, with bands of colour that darken
// with the square of their distance from the bottom (fromBottom) or from
// rect's top. The topmost band is left as it is.
PVDLL_API void PaintShadedRect(HDC dc, RECT& rect, COLORREF c, int fromBottom, int steps);

// --- bitmaps -------------------------------------------------------------------------

PVDLL_API SIZE GetBitmapSize(HBITMAP bmp);
// Copies bmp from (srcX, srcY) to (x, y) in dc's mapping mode; cx 0 copies
// the whole bitmap.
PVDLL_API int DrawBitmap(HDC dc, HBITMAP bmp, int x, int y, int srcX, int srcY, int cx, int cy);
// A screen-compatible copy.
PVDLL_API HBITMAP CopyBitmap(HBITMAP bmp);
// A copy of a region of dc.
PVDLL_API HBITMAP MakeBitmap(HDC dc, int x, int y, int cx, int cy);
PVDLL_API HBITMAP MakeScreenBitmap(int x, int y, int cx, int cy);
PVDLL_API HBITMAP MakeScreenBitmap(RECT& rect);
// text drawn at (0, 0) in textColor on backColor.
PVDLL_API HBITMAP MakeTextBitmap(int cx, int cy, const wchar_t* text, HFONT font, COLORREF textColor,
                                 COLORREF backColor);
PVDLL_API HBITMAP MakeShadedBitmap(int cx, int cy, COLORREF c, int fromBottom, int steps);
// The top-left cx x cy pixels of dc's current bitmap as 32-bit 0x00RRGGBB
// values, rows top-down; null when they cannot be read. Release with
// FreeDllBuf.
PVDLL_API DWORD* GetDibBits(HDC dc, int cx, int cy);

// Turns the picture of src (rect's height wide, its width high) by a
// quarter and draws it on dest at rect. Returns 0 when src cannot be read.
PVDLL_API int RotateMemoryDC(HDC dest, RECT* rect, HDC src, int counterClockwise);
// Turns the picture of src (rect's size) by a half and draws it on dest at
// rect.
PVDLL_API int TwistMemoryDC(HDC dest, RECT* rect, HDC src);

// --- text ----------------------------------------------------------------------------

// The size of text (length characters) in dc's font. On a monitor scaled
// away from 100 % the text is also measured with the font at 96 DPI and
// scaled up; the narrower of the two non-zero widths wins.
PVDLL_API BOOL MyGetTextSize(HWND wnd, HDC dc, const wchar_t* text, int length, SIZE* size);
