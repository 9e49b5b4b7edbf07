// ZnIconForDlg: the two icons of a dialog.
#include "ui/dialogs/ZnDlg.h"

#include "ui/dialogs/internal/DlgIcons.h"

int ZnIconForDlg::Init(HWND dlg, int iconId, int small)
{
    bigSize = {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    bigIcon.Reset(LoadDlgIcon(nullptr, iconId, bigSize.cx, bigSize.cy));
    smallIcon.Reset();
    smallSize = {};
    if (small) {
        SIZE size = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
        smallIcon.Reset(LoadDlgIcon(nullptr, iconId, size.cx, size.cy));
        if (smallIcon)
            smallSize = size;
    }
    if (!bigIcon)
        return 0;
    if (dlg) {
        SendMessageW(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
        SendMessageW(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(GetSmall()));
    }
    return 1;
}

int ZnIconForDlg::InitEx(HWND dlg, int iconId)
{
    return Init(dlg, iconId, 1);
}
