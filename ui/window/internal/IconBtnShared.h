// The drawing objects all icon buttons share, and the making of their
// fonts. Internal.
#pragma once

#include <windows.h>

#include "base/Owners.h"

struct IconBtnColors {
    COLORREF face;
    COLORREF pressedBkg;
    COLORREF text;
    COLORREF gray;
    COLORREF link;
    COLORREF activeLink;
    COLORREF hover;
};

struct IconBtnPens {
    PenHandle solid;
    PenHandle alternate;
    PenHandle dot;
};

struct IconBtnShared {
    IconBtnColors colors;
    BrushHandle faceBrush;
    BrushHandle highlightBrush;
    BrushHandle iconBkgBrush;
    IconBtnPens face;
    IconBtnPens text;
    IconBtnPens gray;
    IconBtnPens link;
    IconBtnPens hover;
    // Null while the stock GUI font serves.
    FontHandle textFont;
    FontHandle linkFont;

    HFONT TextFont() const;
    HFONT LinkFont() const;
};

// The pens of one colour: solid and dotted of width 0, alternate of width
// 1. Non-zero when every one was made.
int MakeIconBtnPens(IconBtnPens& pens, COLORREF color);
// Everything for colors; null when any of it could not be made.
IconBtnShared* MakeIconBtnShared(const IconBtnColors& colors);

// A font like base with the changes of SetTextFontProperties; a face that
// the system does not have leaves the old one. Null when none can be made.
HFONT DeriveIconBtnFont(HFONT base, int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face);
