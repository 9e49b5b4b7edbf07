// A skin library for the tests: the five entry points and the records they
// return; the pictures are resources (TestSkin.rc).
#include <windows.h>

#include "TestSkin.h"
#include "ui/dialogs/ZnDlgSkin.h"

using namespace TestSkin;

namespace {

SKIN_METRICS Skin(int picture, RECT stretch)
{
    return {picture, colorKey, textColor, 0, stretch, 1, 0x102030, 0x405060, 0x708090};
}

SKIN_METRICS skins[] = {
    Skin(pictureNine, {20, 10, 40, 30}),
    Skin(pictureNine, {0, 0, 0, 0}),
    Skin(pictureWindow, {12, 20, 84, 52}),
    Skin(pictureNine, {20, 10, 20, 30}),
    Skin(pictureNine, {20, 10, 40, 10}),
    Skin(pictureJpeg, {0, 0, 0, 0}),
    Skin(pictureMissing, {0, 0, 0, 0}),
    Skin(pictureWindow, {12, 20, 84, 52}),
    Skin(pictureNinePlain, {20, 10, 40, 30}),
};

SKIN_AREA_METRICS nineAreas[] = {
    {areaCentre, 22, 12, 8, 6, areaPicNormal, areaPicHot, areaPicPressed, areaPicDisabled, {11, 12}},
    {areaCorner, 44, 32, 8, 6, areaPicNormal, areaPicHot, areaPicPressed, areaPicDisabled, {21, 22}},
    {},
};
SKIN_AREA_METRICS noAreas[] = {
    {0, 1, 1, 5, 5, areaPicNormal, areaPicHot, areaPicPressed, areaPicDisabled, {}},
    {areaCentre, 22, 12, 8, 6, areaPicNormal, areaPicHot, areaPicPressed, areaPicDisabled, {}},
    {},
};
SKIN_AREA_METRICS msgBoxAreas[] = {
    {IDOK, 36, 56, 24, 12, buttonNormal, buttonHot, buttonPressed, buttonDisabled, {}},
    {},
};
SKIN_AREA_METRICS windowAreas[] = {
    {areaLeftButton, 4, 56, 24, 12, buttonNormal, buttonHot, buttonPressed, buttonDisabled, {}},
    {areaMiddleButton, 36, 56, 24, 12, buttonNormal, buttonHot, buttonPressed, buttonDisabled, {}},
    {areaRightButton, 68, 56, 24, 12, buttonNormal, buttonHot, buttonPressed, buttonDisabled, {}},
    {areaClose, 84, 4, 8, 6, areaPicNormal, areaPicHot, areaPicPressed, areaPicDisabled, {}},
    {},
};

SKIN_WIZ_METRICS wizMetrics = {2, 18, 54, 70, {12, 20, 84, 52}, {}};
SKIN_MENU_METRICS menuMetrics = {{0x11, 0x22, 0x33}};
int iconBtnMetrics[4] = {7, 8, 9, 10};

} // namespace

extern "C" {

SKIN_METRICS* WINAPI DllGetSkinMetrics(SKIN_KIND kind)
{
    return kind >= 1 && kind <= static_cast<int>(sizeof(skins) / sizeof(skins[0])) ? &skins[kind - 1] : nullptr;
}

SKIN_AREA_METRICS* WINAPI DllGetSkinAreas(SKIN_KIND kind)
{
    switch (kind) {
    case kindNine:
    case kindPlainBitmap:
        return nineAreas;
    case kindNineWhole:
        return noAreas;
    case kindMsgBox:
        return msgBoxAreas;
    case kindWindow:
        return windowAreas;
    default:
        return nullptr;
    }
}

SKIN_WIZ_METRICS* WINAPI DllGetSkinWizMetrics()
{
    return &wizMetrics;
}

SKIN_MENU_METRICS* WINAPI DllGetSkinMenuMetrics()
{
    return &menuMetrics;
}

SKIN_ICON_BTN_METRICS* WINAPI DllGetSkinIconBtnMetrics(SKIN_KIND)
{
    return reinterpret_cast<SKIN_ICON_BTN_METRICS*>(iconBtnMetrics);
}

} // extern "C"
