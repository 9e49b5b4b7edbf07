// One area of a skin: a rectangle of the picture that acts as a button,
// with a picture for each look.
#include <algorithm>

#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/internal/SkinPixels.h"
#include "ui/window/ZnDC.h"

namespace {

// The skin under the area, and with withLook the area's look over it, put
// together off-screen and copied into the window in one go, so that the
// area never shows the bare skin between the two.
void PaintOnWindow(ZnDlgSkinArea& area, ZnDlg* dlg, bool withLook)
{
    ZnDlgSkin* skin = dlg ? dlg->GetSkin() : nullptr;
    if (!skin || !skin->IsSkinSet() || !dlg->hWnd)
        return;
    const RECT& r = area.rect;
    const int cx = r.right - r.left;
    const int cy = r.bottom - r.top;
    SkinPixels::Dib buffer;
    if (!SkinPixels::MakeDib(buffer, cx, cy))
        return;
    ClientDC window(dlg->hWnd);
    CompatibleDC memory(window);
    if (!SelectObject(memory, buffer.bmp.Get()))
        return;
    skin->DrawSkin(memory, r.left, r.top, cx, cy);
    if (withLook) {
        SetViewportOrgEx(memory, -r.left, -r.top, nullptr);
        area.Draw(skin, memory);
        SetViewportOrgEx(memory, 0, 0, nullptr);
    }
    BitBlt(window, r.left, r.top, cx, cy, memory, 0, 0, SRCCOPY);
}

bool IsLook(ZnDlgSkinArea::Look look)
{
    return look >= ZnDlgSkinArea::lookNormal && look < ZnDlgSkinArea::lookCount;
}

} // namespace

ZnDlgSkinArea::ZnDlgSkinArea() : rect(), id(0), disabled(0), focus(0), extra(), state(areaNormal)
{
}

ZnDlgSkinArea::ZnDlgSkinArea(const SKIN_AREA_METRICS* metrics) : ZnDlgSkinArea()
{
    if (metrics)
        Init(metrics->id, metrics->x, metrics->y, metrics->cx, metrics->cy, metrics->normalPicture, metrics->hotPicture,
            metrics->pressedPicture, metrics->disabledPicture, metrics->extra[0], metrics->extra[1]);
}

ZnDlgSkinArea::ZnDlgSkinArea(int areaId, int x, int y, int cx, int cy, int normalPicture, int hotPicture,
    int pressedPicture, int disabledPicture, int extra1, int extra2)
    : ZnDlgSkinArea()
{
    Init(areaId, x, y, cx, cy, normalPicture, hotPicture, pressedPicture, disabledPicture, extra1, extra2);
}

ZnDlgSkinArea::~ZnDlgSkinArea() = default;

void ZnDlgSkinArea::Init(int areaId, int x, int y, int cx, int cy, int normalPicture, int hotPicture,
    int pressedPicture, int disabledPicture, int extra1, int extra2)
{
    id = areaId;
    rect = {x, y, x + cx, y + cy};
    extra[0] = extra1;
    extra[1] = extra2;
    SetJPG(lookNormal, normalPicture);
    SetJPG(lookHot, hotPicture);
    SetJPG(lookPressed, pressedPicture);
    SetJPG(lookDisabled, disabledPicture);
}

void ZnDlgSkinArea::EraseBkg(ZnDlg* dlg)
{
    PaintOnWindow(*this, dlg, false);
}

void ZnDlgSkinArea::Draw(ZnDlgSkin* skin, HDC dc)
{
    if (HBITMAP bmp = GetBitmapToDraw())
        DrawBitmap(skin, dc, bmp, rect.left, rect.top);
    if (focus && state != areaHidden) {
        // White under the dotted frame: the focus frame inverts what lies
        // beneath, and on white it is black dots, visible on any skin.
        HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        FrameRect(dc, &rect, white);
        DrawFocusRect(dc, &rect);
    }
}

void ZnDlgSkinArea::Draw(ZnDlg* dlg)
{
    PaintOnWindow(*this, dlg, true);
}

int ZnDlgSkinArea::SetJPG(Look look, int pictureId)
{
    if (!IsLook(look) || !pictureId)
        return 0;
    HBITMAP loaded = LoadSkinPicture(pictureId);
    if (!loaded)
        return 0;
    looks[look].Reset(loaded);
    return 1;
}

int ZnDlgSkinArea::SetBitmap(Look look, HBITMAP bitmap)
{
    if (!IsLook(look))
        return 0;
    if (looks[look].Get() == bitmap)
        return bitmap != nullptr;
    SIZE size = SkinPixels::BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return 0;
    looks[look].Reset(bitmap);
    return 1;
}

HBITMAP ZnDlgSkinArea::GetBitmap(Look look) const
{
    return IsLook(look) ? looks[look].Get() : nullptr;
}

HBITMAP ZnDlgSkinArea::GetBitmapToDraw() const
{
    if (state == areaHidden)
        return looks[lookHidden].Get();
    if (disabled)
        return looks[lookDisabled].Get();
    switch (state) {
    case areaHot:
        return looks[lookHot].Get();
    case areaPressed:
        return looks[lookPressed].Get();
    default:
        // The focus shows as the hot look, where the area has one.
        if (focus && looks[lookHot])
            return looks[lookHot].Get();
        return looks[lookNormal].Get();
    }
}

void ZnDlgSkinArea::DrawBitmap(ZnDlgSkin*, HDC dc, HBITMAP bitmap, int x, int y)
{
    SIZE size = SkinPixels::BitmapSize(bitmap);
    // A picture larger than its area stays within it.
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int cx = width > 0 ? std::min<int>(size.cx, width) : size.cx;
    const int cy = height > 0 ? std::min<int>(size.cy, height) : size.cy;
    if (cx <= 0 || cy <= 0)
        return;
    CompatibleDC memory(dc);
    if (SelectObject(memory, bitmap))
        BitBlt(dc, x, y, cx, cy, memory, 0, 0, SRCCOPY);
}
