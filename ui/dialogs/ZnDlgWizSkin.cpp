// The skin of a wizard: the wizard's bands and page rectangle follow the
// stretched picture.
#include "ui/dialogs/ZnDlgSkin.h"

ZnDlgWizSkin::ZnDlgWizSkin(SKIN_WIZ_METRICS* wizMetrics, SKIN_METRICS* skinMetrics) : ZnDlgSkin(skinMetrics), wiz()
{
    if (wizMetrics)
        wiz = *wizMetrics;
}

void ZnDlgWizSkin::StretchWizMetrics()
{
    if (!stretched)
        return;
    // The buttons sit at the bottom: their band keeps its distance from
    // the lower edge. The header band at the top stays where it is.
    const int change = stretchedSize.cy - pictureSize.cy;
    wiz.buttonsTop += change;
    wiz.buttonsBottom += change;
    StretchRect(wiz.pageRect, 1, 1);
}
