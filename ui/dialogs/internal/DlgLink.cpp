#include "ui/dialogs/internal/DlgLink.h"

#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/window/internal/CtrlDialogLink.h"

namespace {

HWND DialogWindow(ZnDlg* dlg)
{
    return dlg->hWnd;
}

int PaintSkinBehind(ZnDlg* dlg, HWND control, HDC dc)
{
    ZnDlgSkin* skin = dlg->GetDisplaySkin();
    if (!skin || !skin->IsSkinSet())
        return 0;
    skin->DrawCtrlSkinBkg(dc, control);
    return 1;
}

void FocusChanged(ZnDlg* dlg, UINT id, int focused)
{
    ZnDlgSkin* skin = dlg->GetSkin();
    if (!skin)
        return;
    skin->FocusArea(focused ? static_cast<int>(id) : 0);
    if (ZnDlgSkinArea* area = skin->FindArea(static_cast<int>(id)))
        area->Draw(dlg);
}

int Colors(ZnDlg* dlg, COLORREF* background, COLORREF* text, COLORREF* third)
{
    if (!dlg->HasOwnColors())
        return 0;
    *background = dlg->GetBkgColor();
    *text = dlg->GetTextColor();
    *third = dlg->GetThirdColor();
    return 1;
}

const CtrlDialogLink dialogLink = {DialogWindow, PaintSkinBehind, FocusChanged, Colors};

} // namespace

void RegisterCtrlDialogLink()
{
    if (GetCtrlDialogLink() != &dialogLink)
        SetCtrlDialogLink(&dialogLink);
}
