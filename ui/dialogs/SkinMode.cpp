#include "ui/dialogs/ZnDlgSkin.h"

void EnableSkinMode(const wchar_t*) {}
void SetDllSkin(HMODULE) {}
HMODULE GetDllSkin()
{
    return nullptr;
}
int IsSkinMode()
{
    return 0;
}
SKIN_METRICS* GetSkinMetrics(SKIN_KIND)
{
    return nullptr;
}
SKIN_AREA_METRICS* GetSkinAreas(SKIN_KIND)
{
    return nullptr;
}
SKIN_WIZ_METRICS* GetSkinWizMetrics()
{
    return nullptr;
}
SKIN_MENU_METRICS* GetSkinMenuMetrics()
{
    return nullptr;
}
SKIN_ICON_BTN_METRICS* GetSkinIconBtnMetrics(SKIN_KIND)
{
    return nullptr;
}
const SKIN_MENU_METRICS* GetSkinModeMenuMetrics()
{
    return nullptr;
}
ZnDlgSkin* GetMsgBoxSkin()
{
    return nullptr;
}
HBITMAP LoadSkinPicture(int)
{
    return nullptr;
}
