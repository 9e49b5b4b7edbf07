#include "ui/dialogs/ZnDlgSkin.h"

ZnDlgWizSkin::ZnDlgWizSkin(SKIN_WIZ_METRICS* wizMetrics, SKIN_METRICS* skinMetrics) : ZnDlgSkin(skinMetrics), wiz()
{
    if (wizMetrics)
        wiz = *wizMetrics;
}
void ZnDlgWizSkin::StretchWizMetrics() {}
