#include "ui/window/internal/TopDownDib.h"

#include "base/Owners.h"

HBITMAP CreateTopDownDib(int cx, int cy, DWORD** bits)
{
    *bits = nullptr;
    if (!IsDibSizeSane(cx, cy))
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    BitmapHandle made(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!made || !pixels)
        return nullptr;
    *bits = static_cast<DWORD*>(pixels);
    return made.Release();
}
