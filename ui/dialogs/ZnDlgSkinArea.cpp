#include "ui/dialogs/ZnDlgSkin.h"

ZnDlgSkinArea::ZnDlgSkinArea() : rect(), id(0), disabled(0), focus(0), extra(), state(areaNormal) {}
ZnDlgSkinArea::ZnDlgSkinArea(const SKIN_AREA_METRICS*) : ZnDlgSkinArea() {}
ZnDlgSkinArea::ZnDlgSkinArea(int, int, int, int, int, int, int, int, int, int, int) : ZnDlgSkinArea() {}
ZnDlgSkinArea::~ZnDlgSkinArea() = default;
void ZnDlgSkinArea::EraseBkg(ZnDlg*) {}
void ZnDlgSkinArea::Draw(ZnDlgSkin*, HDC) {}
void ZnDlgSkinArea::Draw(ZnDlg*) {}
void ZnDlgSkinArea::Init(int, int, int, int, int, int, int, int, int, int, int) {}
int ZnDlgSkinArea::SetJPG(Look, int)
{
    return 0;
}
int ZnDlgSkinArea::SetBitmap(Look, HBITMAP)
{
    return 0;
}
HBITMAP ZnDlgSkinArea::GetBitmap(Look) const
{
    return nullptr;
}
HBITMAP ZnDlgSkinArea::GetBitmapToDraw() const
{
    return nullptr;
}
void ZnDlgSkinArea::DrawBitmap(ZnDlgSkin*, HDC, HBITMAP, int, int) {}
