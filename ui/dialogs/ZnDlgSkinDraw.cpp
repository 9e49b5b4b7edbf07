// Drawing a skin: the picture stretched to the client size (nine-slice),
// kept until the size changes, copied into the dialog; picture coordinates
// mapped to stretched ones.
#include <algorithm>

#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/internal/SkinPixels.h"
#include "ui/window/ZnDC.h"

namespace {

bool IsWholePictureStretch(const RECT& stretch)
{
    return stretch.left == stretch.right && stretch.top == stretch.bottom;
}

// One axis of the mapping: before the stretch range nothing moves, inside
// it a point moves in proportion to its place in the range, after it by
// the whole change. A range of no width moves nothing inside it (its one
// point is its start) and so divides by nothing.
long MapAxis(long v, long low, long high, long change)
{
    if (v > high)
        return v + change;
    if (v < low || high == low)
        return v;
    return v + static_cast<long>(static_cast<long long>(v - low) * change / (high - low));
}

// The part (x, y, cx, cy) of the stretched skin to (0, 0) of dc. Inactive,
// it goes through a copy washed out towards white.
void CopyStretched(HDC dc, HBITMAP stretched, SIZE size, int x, int y, int cx, int cy, bool inactive, COLORREF key)
{
    int toX = 0, toY = 0;
    if (x < 0) {
        toX = -x;
        cx += x;
        x = 0;
    }
    if (y < 0) {
        toY = -y;
        cy += y;
        y = 0;
    }
    cx = std::min<int>(cx, size.cx - x);
    cy = std::min<int>(cy, size.cy - y);
    if (cx <= 0 || cy <= 0)
        return;
    CompatibleDC from(dc);
    if (!SelectObject(from, stretched))
        return;
    if (inactive) {
        SkinPixels::Dib pale;
        if (SkinPixels::MakeDib(pale, cx, cy)) {
            CompatibleDC paler(dc);
            if (SelectObject(paler, pale.bmp.Get()) && BitBlt(paler, 0, 0, cx, cy, from, x, y, SRCCOPY)) {
                GdiFlush();
                SkinPixels::Wash(pale.bits, static_cast<size_t>(cx) * static_cast<size_t>(cy), key);
                BitBlt(dc, toX, toY, cx, cy, paler, 0, 0, SRCCOPY);
                return;
            }
        }
        // Without memory for the washed copy the skin still shows, at full
        // strength.
    }
    BitBlt(dc, toX, toY, cx, cy, from, x, y, SRCCOPY);
}

} // namespace

void ZnDlgSkin::StretchSkin()
{
    RECT client;
    if (dlgWnd && GetClientRect(dlgWnd, &client))
        StretchSkin(client.right - client.left, client.bottom - client.top);
}

void ZnDlgSkin::StretchSkin(int cx, int cy)
{
    if (!picture || (stretched && stretchedSize.cx == cx && stretchedSize.cy == cy))
        return;
    if (!SkinPixels::IsSizeSane(cx, cy))
        return;
    const SIZE old = stretched ? stretchedSize : pictureSize;
    OnResize(cx - old.cx, cy - old.cy);
    SkinPixels::Dib made;
    if (!SkinPixels::MakeDib(made, cx, cy))
        return;
    {
        CompatibleDC from(nullptr);
        CompatibleDC to(nullptr);
        if (!SelectObject(from, picture.Get()) || !SelectObject(to, made.bmp.Get()))
            return;
        SkinPixels::StretchNine(to, cx, cy, from, pictureSize, stretch);
    }
    stretched = std::move(made.bmp);
    stretchedSize = {cx, cy};
}

void ZnDlgSkin::DrawSkin(HDC dc, int x, int y, int cx, int cy)
{
    if (drawingSuspended || !dc || !picture)
        return;
    SIZE client;
    RECT clientRect;
    if (dlgWnd && GetClientRect(dlgWnd, &clientRect)) {
        client = {clientRect.right - clientRect.left, clientRect.bottom - clientRect.top};
    } else if (x == 0 && y == 0 && cx >= 0 && cy >= 0) {
        // Without a dialog a drawing from the corner says how large the
        // client area is; any other is a part of the last one.
        client = {cx, cy};
    } else {
        client = stretched ? stretchedSize : pictureSize;
    }
    if (cx < 0)
        cx = client.cx - x;
    if (cy < 0)
        cy = client.cy - y;
    if (cx <= 0 || cy <= 0)
        return;
    StretchSkin(client.cx, client.cy);
    if (!stretched)
        return;
    if (firstStretchPending) {
        firstStretchPending = 0;
        StretchAreas();
        if (dlg)
            dlg->OnFirstSkinStretch(this);
    }
    CopyStretched(dc, stretched.Get(), stretchedSize, x, y, cx, cy, !active, colorKey);
    if (x != 0 || y != 0 || cx < client.cx || cy < client.cy)
        return;
    for (POS pos = areas.GetHeadPos(); pos;)
        static_cast<ZnDlgSkinArea*>(areas.GetNext(pos))->Draw(this, dc);
    if (dlg)
        dlg->OnDrawSkin(this, dc);
}

void ZnDlgSkin::StretchX(long& x) const
{
    const long change = stretchedSize.cx - pictureSize.cx;
    if (stretched && !IsWholePictureStretch(stretch) && change)
        x = MapAxis(x, stretch.left, stretch.right, change);
}

void ZnDlgSkin::StretchY(long& y) const
{
    const long change = stretchedSize.cy - pictureSize.cy;
    if (stretched && !IsWholePictureStretch(stretch) && change)
        y = MapAxis(y, stretch.top, stretch.bottom, change);
}

void ZnDlgSkin::StretchRect(RECT& rect, int stretchX, int stretchY) const
{
    if (stretchX) {
        StretchX(rect.left);
        StretchX(rect.right);
    }
    if (stretchY) {
        StretchY(rect.top);
        StretchY(rect.bottom);
    }
}

void ZnDlgSkin::DrawCtrlSkinBkg(HDC dc, HWND control)
{
    if (!dlgWnd || !control)
        return;
    RECT r;
    if (!GetWindowRect(control, &r))
        return;
    MapWindowPoints(HWND_DESKTOP, dlgWnd, reinterpret_cast<POINT*>(&r), 2);
    DrawSkin(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
}
