// A picture the drawing tests can look into: a top-down 32-bit DIB
// section selected into a memory DC of its own. Under the null graphics
// driver only memory DCs keep their pixels.
#pragma once

#include <windows.h>

#include <vector>

#include "common/TestSupport.h"

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(0, 0, 0)) : cx(width), cy(height)
    {
        BITMAPINFO info = TopDown32(cx, cy);
        void* pixels = nullptr;
        bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<DWORD*>(pixels);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bmp);
        Fill(fill);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF c)
    {
        for (int i = 0; i < cx * cy; ++i)
            bits[i] = ToPixel(c);
    }
    // The pixel as a COLORREF.
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        DWORD p = bits[y * cx + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Set(int x, int y, COLORREF c) { bits[y * cx + x] = ToPixel(c); }
    std::vector<DWORD> Pixels() const
    {
        GdiFlush();
        std::vector<DWORD> out(bits, bits + cx * cy);
        for (DWORD& p : out)
            p &= 0x00FFFFFF;
        return out;
    }

    static DWORD ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    const int cx;
    const int cy;
    HDC dc;
    HBITMAP bmp;

private:
    DWORD* bits;
    HGDIOBJ old;
};

// What WM_DRAWITEM brings the owner of an owner-drawn button to draw the
// button whole into canvas.
inline DRAWITEMSTRUCT ButtonDrawItem(HWND button, Canvas& canvas, UINT itemState = 0)
{
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
    item.hwndItem = button;
    item.itemState = itemState;
    item.rcItem = {0, 0, canvas.cx, canvas.cy};
    item.hDC = canvas.dc;
    return item;
}

// The client area put together piece by piece: the dialog's background
// (with its grip), then every visible control, bottom of the z-order
// first. Under the null driver this is what gives the controls. Each
// control paints into a picture of its own at the origin: Wine's buttons
// clip their painting to their client rectangle mapped through the DC's
// origin, so a moved origin leaves them blank.
void ComposeClientArea(HWND dialog, Canvas& canvas);
