#include "ui/dialogs/ZnDlgSkin.h"

ZnDlgSkin::ZnDlgSkin(SKIN_METRICS* skinMetrics)
    : metrics(skinMetrics), mouseArea(nullptr), dlg(nullptr), dlgWnd(nullptr), shown(0), active(1), pictureSize(),
      stretchedSize(), stretch(), colorKey(0), savedStyle(0), drawingSuspended(0), firstStretchPending(1)
{
}
ZnDlgSkin::~ZnDlgSkin() = default;
void ZnDlgSkin::OnSetSkin(HDC, int, int) {}
int ZnDlgSkin::OnCtlColor(UINT, HDC, HBRUSH*)
{
    return 0;
}
void ZnDlgSkin::DrawSkin(HDC, int, int, int, int) {}
void ZnDlgSkin::OnMouseMove(WPARAM, int, int) {}
void ZnDlgSkin::OnMouseClick(UINT, WPARAM, int, int) {}
int ZnDlgSkin::SetSkin(SKIN_METRICS*)
{
    return 0;
}
int ZnDlgSkin::SetSkin(HBITMAP, unsigned long, RECT*)
{
    return 0;
}
int ZnDlgSkin::ShowSkin(int)
{
    return 0;
}
void ZnDlgSkin::AddArea(ZnDlgSkinArea*) {}
void ZnDlgSkin::AddAreas(const SKIN_AREA_METRICS*) {}
void ZnDlgSkin::RemoveArea(int) {}
void ZnDlgSkin::RemoveAreas(const SKIN_AREA_METRICS*) {}
ZnDlgSkinArea* ZnDlgSkin::FindArea(int) const
{
    return nullptr;
}
ZnDlgSkinArea* ZnDlgSkin::FindArea(int, int) const
{
    return nullptr;
}
int ZnDlgSkin::GetAreaRect(int, RECT*) const
{
    return 0;
}
ZnDlgSkinArea* ZnDlgSkin::GetFocusArea() const
{
    return nullptr;
}
void ZnDlgSkin::MoveArea(ZnDlgSkinArea*, int, int) {}
void ZnDlgSkin::MoveArea(int, int, int) {}
void ZnDlgSkin::MoveAreas(const SKIN_AREA_METRICS*, int, int) {}
void ZnDlgSkin::MoveAreas(int, int) {}
void ZnDlgSkin::StretchAreas() {}
void ZnDlgSkin::ShowArea(int, int) {}
void ZnDlgSkin::SetAreaState(int, SkinAreaState) {}
void ZnDlgSkin::EnableArea(int, int) {}
int ZnDlgSkin::IsAreaEnabled(int) const
{
    return 0;
}
void ZnDlgSkin::DrawArea(int) {}
void ZnDlgSkin::FocusArea(int) {}
void ZnDlgSkin::StretchX(long&) const {}
void ZnDlgSkin::StretchY(long&) const {}
void ZnDlgSkin::StretchRect(RECT&, int, int) const {}
void ZnDlgSkin::DrawCtrlSkinBkg(HDC, HWND) {}
void ZnDlgSkin::OnActivate(ZnDlg*, int) {}
void ZnDlgSkin::OnSizeMove(int) {}
void ZnDlgSkin::OnEnable(ZnDlg*, int) {}
int ZnDlgSkin::Init(ZnDlg*)
{
    return 0;
}
void ZnDlgSkin::UnInit() {}
void ZnDlgSkin::OnResize(int, int) {}
void ZnDlgSkin::StretchSkin() {}
