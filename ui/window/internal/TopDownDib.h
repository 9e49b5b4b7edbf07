// Top-down 32-bit DIB sections: the only bitmaps whose pixels the library
// reads and changes in place (0x00RRGGBB, rows top-down).
#pragma once

#include <windows.h>

// Pixel arrays larger than this are refused: far more than any screen or
// skin holds, and small enough that a count from a stray rectangle can
// neither overflow a byte count nor take what memory the process has left.
constexpr long long maxDibPixels = 1LL << 26;

inline bool IsDibSizeSane(long long cx, long long cy)
{
    return cx > 0 && cy > 0 && cx <= maxDibPixels && cy <= maxDibPixels && cx * cy <= maxDibPixels;
}

// Null, with *bits null, when the size is not sane or the section cannot
// be made. The caller owns the bitmap.
HBITMAP CreateTopDownDib(int cx, int cy, DWORD** bits);
