// Mini-HTML: the framework's small markup for formatted text (about boxes,
// option descriptions, message boxes, captions with links), laid out into a
// rectangle and drawn with GDI.
//
// The markup: upper- or lower-case tags without attributes — <BR>, <BRHALF>,
// <T>…</T> (verbatim), <B>, <I>, <U>, <H>, <BIG>, <SMALL>, <A> and <A1>…<A9>
// (links), <AA>, <CT>, <D>, the colour tags <RED> <GREEN> <BLUE> <GREY> and
// their LT and DK forms, <NOBR>, <CENTER>; each style tag closes with "</"
// and its name. The entities &amp; &lt; &gt; &nbsp;. Anything else is text.
//
// DrawHTMLTools holds the font and colours text starts in, DrawHTMLLinks
// the link areas of the last layout, DrawHTMLLinkArea one link with the
// rectangles its text covers.
#pragma once

#include <windows.h>

#include "base/CritSec.h"
#include "base/PVDLLApi.h"
#include "base/ZnList.h"

class ZnDC;

// The font and colours a layout starts with.
class PVDLL_API DrawHTMLTools {
public:
    enum DefaultFont {
        fontGui = 0,      // DEFAULT_GUI_FONT
        fontVariable = 1, // ANSI_VAR_FONT
        fontFixed = 2,    // ANSI_FIXED_FONT
        fontCustom = 3,   // the caller's, set by SetCustomFont
    };

    DrawHTMLTools();
    explicit DrawHTMLTools(DefaultFont kind);
    ~DrawHTMLTools();
    DrawHTMLTools(const DrawHTMLTools&) = delete;
    DrawHTMLTools& operator=(const DrawHTMLTools&) = delete;

    // Reloads the system colours (caller-set link and background colours
    // are lost) and, unless the font is the caller's, the stock font.
    void Update();
    // The stock fixed-pitch font, or back to the GUI font.
    void SetFixedFont(int fixed);
    // font stays the caller's: it must outlive the tools' use of it.
    void SetCustomFont(HFONT font);
    void SetLinkColor(COLORREF c) { linkColor = c; }
    void SetBkgColor(COLORREF c) { bkgColor = c; }
    COLORREF GetBkgColor() const { return bkgColor; }
    HFONT GetFont() const { return font; }

    DefaultFont defaultFont;
    COLORREF bkgColor;
    COLORREF textColor;
    COLORREF linkColor;
    // Pure blue; kept for the record's shape, the renderer does not read it.
    COLORREF spareColor;
    HFONT font;
};

// One link of a layout: its command id, a copy of its source text and the
// rectangles (one per line it covers) relative to the layout rectangle's
// top-left corner.
class PVDLL_API DrawHTMLLinkArea {
public:
    // Link texts are copied up to this many characters.
    static constexpr unsigned int maxText = 512;

    explicit DrawHTMLLinkArea(unsigned int id = 0);
    ~DrawHTMLLinkArea();
    DrawHTMLLinkArea(const DrawHTMLLinkArea&) = delete;
    DrawHTMLLinkArea& operator=(const DrawHTMLLinkArea&) = delete;

    // Appends the rectangle (x, y, x, y); 0 when there is no memory for it.
    int StartRect(int x, int y);
    // Sets the right and bottom of the last rectangle, never left of its
    // left or above its top.
    void EndRect(int x, int y);
    // Left and top inclusive, right and bottom exclusive.
    int IsPointOverLink(int x, int y) const;
    // Copies from start up to end or the first zero, at most maxText
    // characters.
    void AddText(const wchar_t* start, const wchar_t* end);
    const wchar_t* GetText() const { return text ? text : L""; }

    // RECT pointers, owned.
    ZnList rects;
    unsigned int id;
    // Owned; null until AddText.
    wchar_t* text;
};

// The link areas of one layout, in the order the links were closed.
class PVDLL_API DrawHTMLLinks : public ZnList {
public:
    DrawHTMLLinks() = default;
    ~DrawHTMLLinks() override;

    // Deletes every area.
    void Reset();
    DrawHTMLLinkArea* GetArea(POS& pos) { return static_cast<DrawHTMLLinkArea*>(GetNext(pos)); }
};

class PVDLL_API DrawHTML {
public:
    enum DrawMode { modeMeasure = 0, modeDraw = 1 };
    enum FontChange {
        fontBold = 1,
        fontItalic,
        fontUnderline,
        fontHeading,
        fontBig,
        fontSmall,
        fontLink,
        fontLink1,
        fontLink2,
        fontLink3,
        fontLink4,
        fontLink5,
        fontLink6,
        fontLink7,
        fontLink8,
        fontLink9,
        fontAntialiased,
        fontClearType,
        fontStrikeOut,
    };
    enum ColorChange {
        colorRed = 1,
        colorGreen,
        colorBlue,
        colorGrey,
        colorLtRed,
        colorLtGreen,
        colorLtBlue,
        colorLtGrey,
        colorDkRed,
        colorDkGreen,
        colorDkBlue,
        colorDkGrey,
    };

    explicit DrawHTML(unsigned int linkCmdId = 0);
    virtual ~DrawHTML();
    DrawHTML(const DrawHTML&) = delete;
    DrawHTML& operator=(const DrawHTML&) = delete;

    void SetLinkCmdID(unsigned int id) { linkCmdId = id; }

    // Lays out length characters of text (no terminator needed) in rect
    // (null: the rectangle of the previous call) and returns the height
    // used. modeMeasure only measures; modeDraw draws as well, using the
    // line heights the measuring pass recorded, so a caller measures the
    // same text in the same rectangle and font first. links (may be null)
    // receives the link areas; tools gives the starting font and colours.
    // The DC leaves as it came: font, colours, background mode, position.
    int Draw(DrawMode mode, HDC dc, RECT* rect, const wchar_t* text, unsigned int length, DrawHTMLLinks* links,
             DrawHTMLTools* tools);
    // Paints the whole client area of wnd: background (fillBackground),
    // a dotted frame (drawFrame), then the text measured and drawn. Link
    // rectangles are then relative to the client area's origin.
    void OnPaint(HWND wnd, ZnDC& dc, const wchar_t* text, unsigned int length, int fillBackground,
                 DrawHTMLLinks* links, DrawHTMLTools* tools, int drawFrame);

    // The plain text of html: <BR> becomes CR LF, other tags are dropped,
    // entities stay as written. Writes at most count characters, the
    // terminator included (out null: only counts); returns the length of
    // the whole result plus one.
    static unsigned int GetHTMLTextStripTags(const wchar_t* html, wchar_t* out, int count);

    // Hit tests in coordinates relative to the layout rectangle; the first
    // area (in list order) with a rectangle holding the point decides.
    int IsLinkArea(DrawHTMLLinks* links, int x, int y) const;
    // 0 when no link is there.
    unsigned int GetLinkAreaID(DrawHTMLLinks* links, int x, int y) const;
    DrawHTMLLinkArea* FindLinkArea(DrawHTMLLinks* links, int x, int y) const;

    // When p starts with item (ignoring case, item's whole length), moves
    // p past it and returns 1. The bounded form never reads at or past end.
    static int IsNextItem(const wchar_t*& p, const wchar_t* item);
    static int IsNextItem(const wchar_t*& p, const wchar_t* end, const wchar_t* item);
    // The first place at or after p where item occurs (ignoring case), or
    // null. The unbounded form stops at p's terminator.
    static const wchar_t* FindNextItem(const wchar_t* p, const wchar_t* item);
    static const wchar_t* FindNextItem(const wchar_t* p, const wchar_t* end, const wchar_t* item);

    // What the measuring pass records of each line, for the drawing pass.
    struct LineMetric {
        int height;
        // Where the line's text ends, from the layout rectangle's left.
        int width;
    };

private:
    friend class HtmlLayout;

    // The table grown to hold line index; false when memory ran out (the
    // line then shares the last entry).
    bool ReserveLine(unsigned int index);
    void ClearLines();

    RECT rect;
    unsigned int linkCmdId;
    // Grown on demand: a text may have any number of lines.
    LineMetric* lines;
    unsigned int lineCapacity;
    CritSec lock;
};
