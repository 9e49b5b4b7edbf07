// What the mini-HTML tests share: a known font, a page to lay text out on,
// and the reference the renderer's pixels are held against — the same
// words drawn by plain GDI where the rules say they belong.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/PageEnd.h"
#include "ui/html/DrawHTML.h"

namespace html {

// Tahoma at 13 pixels, not antialiased: every ink pixel is exactly the
// colour it was drawn in, so colours and pixels can be compared exactly.
inline LOGFONTW BaseLogFont()
{
    LOGFONTW lf = {};
    lf.lfHeight = -13;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    return lf;
}

class Font {
public:
    explicit Font(const LOGFONTW& lf) : handle(CreateFontIndirectW(&lf)) {}
    Font() : Font(BaseLogFont()) {}
    ~Font() { DeleteObject(handle); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    operator HFONT() const { return handle; }

private:
    HFONT handle;
};

inline SIZE Extent(HFONT font, const std::wstring& text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}
inline int Width(HFONT font, const std::wstring& text)
{
    return Extent(font, text).cx;
}
// The height every line of that font takes.
inline int LineHeight(HFONT font)
{
    return Extent(font, L"Hg").cy;
}

const COLORREF paper = RGB(255, 255, 255);
const COLORREF ink = RGB(0, 0, 0);
const COLORREF linkInk = RGB(0x10, 0x40, 0xE0);

// A page, the tools set to the base font and known colours, a renderer
// whose links start at command id 1000, and the links of its last layout.
class Scene {
public:
    explicit Scene(int cx = 320, int cy = 120) : page(cx, cy, paper), tools(DrawHTMLTools::fontCustom), html(1000)
    {
        tools.SetCustomFont(font);
        tools.textColor = ink;
        tools.SetLinkColor(linkInk);
    }

    int Measure(const std::wstring& text, RECT r)
    {
        return html.Draw(DrawHTML::modeMeasure, page.dc, &r, text.c_str(), Len(text), &links, &tools);
    }
    // Measured, then drawn, the way callers use the renderer; the height
    // the drawing pass returned.
    int Render(const std::wstring& text, RECT r)
    {
        Measure(text, r);
        return html.Draw(DrawHTML::modeDraw, page.dc, &r, text.c_str(), Len(text), &links, &tools);
    }
    int Render(const std::wstring& text, int width) { return Render(text, RECT{0, 0, width, page.cy}); }
    int Measure(const std::wstring& text, int width) { return Measure(text, RECT{0, 0, width, page.cy}); }

    static unsigned Len(const std::wstring& text) { return static_cast<unsigned>(text.size()); }

    Font font;
    Canvas page;
    DrawHTMLTools tools;
    DrawHTML html;
    DrawHTMLLinks links;
};

// Draws text the way the renderer is expected to: transparently, in the
// given colour and font, with its top-left corner at x, y.
inline void Reference(Canvas& page, const LOGFONTW& lf, int x, int y, const std::wstring& text,
                      COLORREF color = ink)
{
    Font font(lf);
    HGDIOBJ old = SelectObject(page.dc, font);
    int mode = SetBkMode(page.dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(page.dc, color);
    TextOutW(page.dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(page.dc, oldColor);
    SetBkMode(page.dc, mode);
    SelectObject(page.dc, old);
}

// The smallest rectangle holding every pixel that is not the background;
// empty (all zero) when there is none.
inline RECT Ink(const Canvas& page, COLORREF background = paper, RECT within = {0, 0, 0x7FFF, 0x7FFF})
{
    RECT box = {};
    bool any = false;
    for (int y = within.top > 0 ? within.top : 0; y < page.cy && y < within.bottom; ++y)
        for (int x = within.left > 0 ? within.left : 0; x < page.cx && x < within.right; ++x) {
            if (page.At(x, y) == background)
                continue;
            if (!any) {
                box = {x, y, x + 1, y + 1};
                any = true;
            }
            box.left = x < box.left ? x : box.left;
            box.right = x + 1 > box.right ? x + 1 : box.right;
            box.top = y < box.top ? y : box.top;
            box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
        }
    return box;
}

inline int CountColor(const Canvas& page, COLORREF color, RECT within = {0, 0, 0x7FFF, 0x7FFF})
{
    int n = 0;
    for (int y = within.top > 0 ? within.top : 0; y < page.cy && y < within.bottom; ++y)
        for (int x = within.left > 0 ? within.left : 0; x < page.cx && x < within.right; ++x)
            n += page.At(x, y) == color;
    return n;
}

// How many pixels differ; the first one named in where.
inline int Differences(const Canvas& a, const Canvas& b, std::string* where = nullptr)
{
    std::vector<DWORD> pa = a.Pixels(), pb = b.Pixels();
    if (pa.size() != pb.size())
        return -1;
    int n = 0;
    for (size_t i = 0; i < pa.size(); ++i)
        if (pa[i] != pb[i]) {
            if (!n && where)
                *where = "first at x " + std::to_string(i % a.cx) + ", y " + std::to_string(i / a.cx);
            ++n;
        }
    return n;
}

// Expects got and want to be the same picture; when they differ, both are
// saved (as html-differs-WHAT-got and -want) for a person to compare.
inline void ExpectSamePage(const Canvas& got, const Canvas& want, const std::string& what)
{
    std::string where;
    const int n = Differences(got, want, &where);
    EXPECT_EQ(n, 0) << what << ": " << where;
    if (n == 0)
        return;
    std::wstring name = L"html-differs-";
    for (char c : what)
        name += (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? wchar_t(c) : L'_';
    SavePng(name + L"-got", got.Pixels().data(), got.cx, got.cy);
    SavePng(name + L"-want", want.Pixels().data(), want.cx, want.cy);
}

inline bool IsCapital(wchar_t c)
{
    return c >= L'A' && c <= L'Z';
}

// The lines a paragraph of plain words falls into at width: whole words
// while 1 (unless the line starts with a capital) + the line's extent
// stays within width - 2.
inline std::vector<std::wstring> GreedyLines(HFONT font, const std::vector<std::wstring>& words, int width)
{
    std::vector<std::wstring> lines;
    for (const std::wstring& word : words) {
        if (!lines.empty()) {
            std::wstring joined = lines.back() + L" " + word;
            int x = IsCapital(joined[0]) ? 0 : 1;
            if (x + Width(font, joined) <= width - 2) {
                lines.back() = joined;
                continue;
            }
        }
        lines.push_back(word);
    }
    return lines;
}

// Plain lines of the base font drawn where the renderer puts them.
inline void ReferenceLines(Canvas& page, const std::vector<std::wstring>& lines, int lineHeight, int left = 0,
                           int top = 0)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        int x = left + (IsCapital(lines[i][0]) ? 0 : 1);
        Reference(page, BaseLogFont(), x, top + static_cast<int>(i) * (lineHeight + 1), lines[i]);
    }
}

inline std::vector<RECT> Rects(DrawHTMLLinkArea* area)
{
    std::vector<RECT> out;
    POS pos = area->rects.GetHeadPos();
    while (pos)
        out.push_back(*static_cast<RECT*>(area->rects.GetNext(pos)));
    return out;
}

inline std::vector<DrawHTMLLinkArea*> Areas(DrawHTMLLinks& links)
{
    std::vector<DrawHTMLLinkArea*> out;
    POS pos = links.GetHeadPos();
    while (pos)
        out.push_back(links.GetArea(pos));
    return out;
}

} // namespace html
