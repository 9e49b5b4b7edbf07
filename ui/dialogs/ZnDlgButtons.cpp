// The close and minimise buttons of a dialog without a caption.
#include "ui/dialogs/ZnDlgButtons.h"

#include "ui/dialogs/internal/DlgIcons.h"
#include "ui/window/WndFunctions.h"

ZnCaptionBtnForDlg::ZnCaptionBtnForDlg(UINT systemCommand, int normalIconId, int hotIconId)
    : command(systemCommand), normalIconId(normalIconId), hotIconId(hotIconId)
{
}

void ZnCaptionBtnForDlg::OnInit()
{
    int cx = GetSystemMetrics(SM_CXSMICON);
    int cy = GetSystemMetrics(SM_CYSMICON);
    // The pictures are the library's own, whoever makes the dialog.
    normalIcon.Reset(LoadDlgIcon(nullptr, -normalIconId, cx, cy));
    hotIcon.Reset(LoadDlgIcon(nullptr, -hotIconId, cx, cy));
    if ((GetWindowLongPtrW(hWnd, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW && normalIcon) {
        ModifyStyle(0, BS_ICON);
        SendMessageW(hWnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(normalIcon.Get()));
    }
}

int ZnCaptionBtnForDlg::OnCommand(WORD code, LRESULT* result)
{
    if (code != BN_CLICKED)
        return 0;
    // A button on a page acts for the window the user sees.
    if (HWND top = GetAncestor(hWnd, GA_ROOT))
        SendMessageW(top, WM_SYSCOMMAND, command, 0);
    *result = 0;
    return 1;
}

void ZnCaptionBtnForDlg::OnDrawItem(DRAWITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_BUTTON)
        return;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    bool hot = mouseOver || (item->itemState & ODS_SELECTED);
    HICON icon = GetIcon(hot && hotIcon ? 1 : 0);
    if (!icon)
        return;
    int cx = GetSystemMetrics(SM_CXSMICON);
    int cy = GetSystemMetrics(SM_CYSMICON);
    int x = item->rcItem.left + (item->rcItem.right - item->rcItem.left - cx) / 2;
    int y = item->rcItem.top + (item->rcItem.bottom - item->rcItem.top - cy) / 2;
    DrawIconEx(item->hDC, x, y, icon, cx, cy, 0, nullptr, DI_NORMAL);
}

LRESULT ZnCaptionBtnForDlg::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_MOUSEMOVE && !mouseOver) {
        mouseOver = 1;
        CatchMouseOut(hWnd);
        InvalidateRect(hWnd, nullptr, FALSE);
    } else if (msg == WM_MOUSELEAVE && mouseOver) {
        mouseOver = 0;
        InvalidateRect(hWnd, nullptr, FALSE);
    }
    return ZnCtrl::OnWndMessage(msg, wParam, lParam);
}
