#include "ui/dialogs/internal/DlgDragger.h"

#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgSkin.h"

int DlgDragger::IsOverArea(ZnWnd* wnd, POINT client)
{
    if (!wnd->IsDlg())
        return 0;
    ZnDlgSkin* skin = static_cast<ZnDlg*>(wnd)->GetSkin();
    // FindArea(x, y) passes over hidden areas.
    return skin && skin->FindArea(client.x, client.y) != nullptr;
}

int DlgDragger::ShowsArrowOverCaption(ZnWnd* wnd)
{
    return wnd->IsDlg() && !static_cast<ZnDlg*>(wnd)->IsFlag(ZnDlg::flagNoDragArrow);
}
