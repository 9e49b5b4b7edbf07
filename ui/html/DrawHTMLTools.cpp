#include "ui/html/DrawHTML.h"

// The tools hold stock fonts or the caller's font, never one of their own
// making, so there is nothing for them to delete.

DrawHTMLTools::DrawHTMLTools() : DrawHTMLTools(fontGui)
{
}

DrawHTMLTools::DrawHTMLTools(DefaultFont kind)
    : defaultFont(kind), bkgColor(0), textColor(0), linkColor(0), spareColor(0), font(nullptr)
{
    Update();
}

DrawHTMLTools::~DrawHTMLTools() = default;

void DrawHTMLTools::Update()
{
    textColor = GetSysColor(COLOR_BTNTEXT);
    bkgColor = GetSysColor(COLOR_BTNFACE);
    linkColor = GetSysColor(COLOR_HOTLIGHT);
    spareColor = RGB(0, 0, 255);
    switch (defaultFont) {
    case fontGui:
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        break;
    case fontVariable:
        font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
        break;
    case fontFixed:
        font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
        break;
    case fontCustom:
        break;
    }
}

void DrawHTMLTools::SetFixedFont(int fixed)
{
    defaultFont = fixed ? fontFixed : fontGui;
    Update();
}

void DrawHTMLTools::SetCustomFont(HFONT custom)
{
    font = custom;
    defaultFont = fontCustom;
}
