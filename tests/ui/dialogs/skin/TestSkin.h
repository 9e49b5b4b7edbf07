// What the test skin library holds: picture ids, skin kinds and the
// geometry its records describe, shared by the library and the tests.
#pragma once

namespace TestSkin {

// Pictures.
constexpr int pictureNine = 101; // 60 x 40, nine coloured regions, colour key top-left 4 x 4
constexpr int pictureWindow = 102; // 96 x 72, a small window
constexpr int pictureJpeg = 103; // 16 x 12, one colour, JPEG
constexpr int pictureNinePlain = 120; // nine.bmp as a plain bitmap resource
constexpr int areaPicNormal = 201; // 8 x 6 each, one colour each
constexpr int areaPicHot = 202;
constexpr int areaPicPressed = 203;
constexpr int areaPicDisabled = 204;
constexpr int buttonNormal = 211; // 24 x 12 each
constexpr int buttonHot = 212;
constexpr int buttonPressed = 213;
constexpr int buttonDisabled = 214;
constexpr int pictureMissing = 999;

// Skin kinds.
constexpr int kindNine = 1; // stretch {20, 10, 40, 30}, two areas
constexpr int kindNineWhole = 2; // empty stretch rectangle; an area table that is empty at once
constexpr int kindMsgBox = 3; // the window picture, one OK area
constexpr int kindNineSeamX = 4; // stretch {20, 10, 20, 30}: no stretchable columns
constexpr int kindNineSeamY = 5; // stretch {20, 10, 40, 10}: no stretchable rows
constexpr int kindJpeg = 6;
constexpr int kindMissingPicture = 7;
constexpr int kindWindow = 8; // the window picture with four areas
constexpr int kindPlainBitmap = 9;

// The nine regions of pictureNine, split at x 20 and 40 and y 10 and 30.
constexpr unsigned long nineColors[3][3] = {
    {0x0000C8, 0x00C800, 0xC80000}, // COLORREF: 0x00BBGGRR
    {0x00C8C8, 0xC8C800, 0xA00078},
    {0x003264, 0x966432, 0x969696},
};
constexpr unsigned long colorKey = 0xFF00FF;
constexpr unsigned long textColor = 0x030201;
constexpr unsigned long areaColors[4] = {0x1E140A, 0x3C3228, 0x5A5046, 0x786E64}; // normal, hot, pressed, disabled
constexpr unsigned long jpegColor = 0x1E3CC8; // RGB(200, 60, 30)

// Area ids.
constexpr int areaCentre = 1001; // kindNine: (22, 12) 8 x 6, inside the stretch rectangle
constexpr int areaCorner = 1002; // kindNine: (44, 32) 8 x 6, in the bottom-right corner
constexpr int areaLeftButton = 1001; // kindWindow: (4, 56) 24 x 12
constexpr int areaMiddleButton = 1002; // kindWindow: (36, 56) 24 x 12
constexpr int areaRightButton = 1003; // kindWindow: (68, 56) 24 x 12
constexpr int areaClose = 1004; // kindWindow: (84, 4) 8 x 6

} // namespace TestSkin
