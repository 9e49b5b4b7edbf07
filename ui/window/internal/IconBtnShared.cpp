#include "ui/window/internal/IconBtnShared.h"

#include <new>

HFONT IconBtnShared::TextFont() const
{
    return textFont ? textFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT IconBtnShared::LinkFont() const
{
    return linkFont ? linkFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int MakeIconBtnPens(IconBtnPens& pens, COLORREF color)
{
    LOGBRUSH brush = {BS_SOLID, color, 0};
    pens.solid.Reset(CreatePen(PS_SOLID, 0, color));
    pens.alternate.Reset(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr));
    pens.dot.Reset(CreatePen(PS_DOT, 0, color));
    return pens.solid && pens.alternate && pens.dot;
}

IconBtnShared* MakeIconBtnShared(const IconBtnColors& colors)
{
    IconBtnShared* shared = new (std::nothrow) IconBtnShared();
    if (!shared)
        return nullptr;
    shared->colors = colors;
    shared->faceBrush.Reset(CreateSolidBrush(colors.face));
    shared->highlightBrush.Reset(CreateSolidBrush(colors.pressedBkg));
    shared->iconBkgBrush.Reset(CreateSolidBrush(colors.face));
    int made = shared->faceBrush && shared->highlightBrush && shared->iconBkgBrush;
    made = made && MakeIconBtnPens(shared->face, colors.face);
    made = made && MakeIconBtnPens(shared->text, colors.text);
    made = made && MakeIconBtnPens(shared->gray, colors.gray);
    made = made && MakeIconBtnPens(shared->link, colors.link);
    made = made && MakeIconBtnPens(shared->hover, colors.hover);
    if (!made) {
        delete shared;
        return nullptr;
    }
    return shared;
}

namespace {

// The face the system actually chose for font.
void ChosenFace(HFONT font, wchar_t (&face)[LF_FACESIZE])
{
    face[0] = 0;
    MemoryDCHandle dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return;
    HGDIOBJ old = SelectObject(dc.Get(), font);
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);
    SelectObject(dc.Get(), old);
}

} // namespace

HFONT DeriveIconBtnFont(HFONT base, int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face)
{
    LOGFONTW lf = {};
    if (!GetObjectW(base, sizeof(lf), &lf))
        return nullptr;
    if (sizeDelta) {
        LONG height = (lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight) + sizeDelta;
        lf.lfHeight = lf.lfHeight < 0 ? -height : height;
    }
    if (weight)
        lf.lfWeight = weight;
    if (italic)
        lf.lfItalic = TRUE;
    if (strikeOut)
        lf.lfStrikeOut = TRUE;
    if (face && *face) {
        LOGFONTW wanted = lf;
        lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
        // Asking for a face the system lacks gives a substitute font, not
        // a failure: only the face it chose tells.
        if (HFONT font = CreateFontIndirectW(&wanted)) {
            wchar_t chosen[LF_FACESIZE];
            ChosenFace(font, chosen);
            if (lstrcmpiW(chosen, wanted.lfFaceName) == 0)
                return font;
            FontHandle unwanted(font);
        }
    }
    return CreateFontIndirectW(&lf);
}
