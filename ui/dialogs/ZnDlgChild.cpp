// ZnDlgChild: a dialog shown inside another dialog, over a placeholder.
#include "ui/dialogs/ZnDlg.h"

#include "ui/dialogs/ZnDlgSkin.h"

ZnDlgChild::ZnDlgChild(ZnDlgSkin* dialogSkin) : ZnDlg(dialogSkin), parentDlg(nullptr)
{
    childDlg = 1;
    alignment = alignNone;
}

LRESULT ZnDlgChild::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // On a skinned dialog the page shows the skin behind it.
    if (msg == WM_ERASEBKGND && !IsSkinSet() && hWnd) {
        if (ZnDlgSkin* shown = GetDisplaySkin(); shown && shown->IsSkinSet()) {
            shown->DrawCtrlSkinBkg(reinterpret_cast<HDC>(wParam), hWnd);
            return 1;
        }
    }
    return ZnDlg::OnWndMessage(msg, wParam, lParam);
}

LRESULT ZnDlgChild::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    return ZnDlg::OnInitDialog(wParam, lParam);
}

LRESULT ZnDlgChild::OnOK()
{
    return 1;
}

LRESULT ZnDlgChild::OnCancel()
{
    return 1;
}

void ZnDlgChild::OnButtonClicked(unsigned short id)
{
    if (parentDlg)
        parentDlg->OnButtonClicked(id);
}

void ZnDlgChild::OnComboSelChanged(unsigned short id)
{
    if (parentDlg)
        parentDlg->OnComboSelChanged(id);
}

int ZnDlgChild::Init(ZnDlg* parent, unsigned int id, unsigned int placeholderId, HINSTANCE instance, int show)
{
    if (!parent || !parent->hWnd)
        return 0;
    parentDlg = parent;
    HWND made = Modeless(static_cast<int>(id), instance, parent->hWnd, 0);
    if (!made)
        return 0;
    HWND placeholder = ::GetDlgItem(parent->hWnd, static_cast<int>(placeholderId));
    if (!placeholder) {
        if (show)
            ShowWindow(made, SW_SHOW);
        return 1;
    }
    RECT place, own;
    GetWindowRect(placeholder, &place);
    MapWindowPoints(nullptr, parent->hWnd, reinterpret_cast<POINT*>(&place), 2);
    GetWindowRect(made, &own);
    int cx = place.right - place.left;
    int cy = place.bottom - place.top;
    int dx = cx - (own.right - own.left);
    int dy = cy - (own.bottom - own.top);
    // Told once, here: the move below must not tell it again.
    sizes.previous = sizes.size;
    sizes.size = {cx, cy};
    if (dx || dy)
        OnResize(dx, dy);
    // After the placeholder in the tab order, where the page stands for it.
    SetWindowPos(made, placeholder, place.left, place.top, cx, cy, SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0));
    return 1;
}
