#include "ui/dialogs/internal/DlgIcons.h"

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"

HICON LoadDlgIcon(HINSTANCE module, int iconId, int cx, int cy)
{
    if (iconId == 0)
        return nullptr;
    if (iconId < 0) {
        iconId = -iconId;
        module = hiDLL;
    } else if (!module) {
        module = GetMyProductInfo()->GetAppInstance();
    }
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, cx, cy, 0));
}
