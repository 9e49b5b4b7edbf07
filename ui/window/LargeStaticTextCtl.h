// LargeStaticTextCtl: a static text control that shows its text in a large
// font of its own (a wizard's title) and in colours of its own. The font is
// made from the dialog's font when the control attaches: the face and
// weight asked for, the height a share of the dialog font's, so the title
// grows with the dialog's font and with the screen's DPI.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "ui/window/ZnCtrl.h"

class PVDLL_API LargeStaticTextCtl : public ZnCtrl {
public:
    // The defaults: "Segoe", bold (700), 160 % of the dialog font.
    LargeStaticTextCtl();
    ~LargeStaticTextCtl() override;

    // "LargeStaticTextCtl", "ZnCtrl" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;
    // Makes the font and gives it to the control.
    void OnInit() override;
    // Its own colours when it has them; else as a plain control.
    int OnCtlColor(UINT msg, HDC dc, HBRUSH* brush) override;

    // For a control not yet attached, or one attached already (the font is
    // made again). percent is of the dialog font's height (at least 50).
    // 0 when the font cannot be made.
    int SetFontStyle(const wchar_t* face, int weight, int percent);
    // text: the text colour; background: CLR_INVALID keeps what lies
    // behind (the dialog, or its skin).
    void SetColors(COLORREF text, COLORREF background);
    void ResetColors();

    HFONT GetLargeFont() const { return font.Get(); }
    // The height of the font as made (negative: a character height).
    int GetFontHeight() const { return fontHeight; }
    int HasOwnColors() const { return ownColors; }
    COLORREF GetTextColor() const { return textColor; }
    COLORREF GetBkColor() const { return bkColor; }

protected:
    int MakeFont();

    FontHandle font;
    BrushHandle bkBrush;
    wchar_t face[LF_FACESIZE];
    int weight;
    int percent;
    int fontHeight;
    int ownColors;
    COLORREF textColor;
    COLORREF bkColor;
};
