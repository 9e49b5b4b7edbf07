// Pictures for a person to look at: every tag, colour and entity; one
// paragraph wrapped narrow and wide; links with their rectangles; a text
// cut short by its rectangle.
#include <gtest/gtest.h>

#include "HtmlProbe.h"

using namespace html;

namespace {

void Save(const wchar_t* name, const Canvas& page)
{
    EXPECT_FALSE(SavePng(name, page.Pixels().data(), page.cx, page.cy).empty()) << "could not save a picture";
}

void Frame(Canvas& page, RECT r, COLORREF c)
{
    HBRUSH brush = CreateSolidBrush(c);
    FrameRect(page.dc, &r, brush);
    DeleteObject(brush);
}

TEST(HtmlPictures, EveryTagColourAndEntity)
{
    const std::wstring text = L"<H>Heading</H> <BIG>big</BIG> plain <SMALL>small</SMALL><BR>"
                              L"<B>bold</B> <I>italic</I> <U>underline</U> <D>struck</D> <AA>antialiased</AA> "
                              L"<CT>cleartype</CT><BR>"
                              L"<A>link</A> <A1>link 1</A1> <A9>link 9</A9><BR>"
                              L"<RED>red</RED> <GREEN>green</GREEN> <BLUE>blue</BLUE> <GREY>grey</GREY><BR>"
                              L"<LTRED>ltred</LTRED> <LTGREEN>ltgreen</LTGREEN> <LTBLUE>ltblue</LTBLUE> "
                              L"<LTGREY>ltgrey</LTGREY><BR>"
                              L"<DKRED>dkred</DKRED> <DKGREEN>dkgreen</DKGREEN> <DKBLUE>dkblue</DKBLUE> "
                              L"<DKGREY>dkgrey</DKGREY><BR><BRHALF>"
                              L"&amp; &lt; &gt; a&nbsp;b &bogus; <T><B>verbatim</B></T> <FOO><BR>"
                              L"<CENTER>centred</CENTER><BR><NOBR>no breaking in a long stretch of words here</NOBR>";
    Scene scene(360, 200);
    const int height = scene.Render(text, RECT{4, 4, 356, 196});
    EXPECT_GT(height, 8 * LineHeight(scene.font));
    Save(L"html-tags", scene.page);
}

TEST(HtmlPictures, OneParagraphNarrowAndWide)
{
    const std::wstring text = L"The <B>renderer</B> wraps whole words at the rectangle's edge, breaks paths such as "
                              L"C:\\Program&nbsp;Files\\Launchora\\pvhost.exe after their slashes and keeps "
                              L"<NOBR>these words together</NOBR>; <A>a link</A> wraps with its text.";
    for (int width : {120, 360}) {
        Scene scene(width + 8, 200);
        const int height = scene.Render(text, RECT{4, 4, width + 4, 196});
        Frame(scene.page, RECT{3, 3, width + 5, height + 5}, RGB(0xC0, 0xC0, 0xC0));
        Save(width < 200 ? L"html-wrap-narrow" : L"html-wrap-wide", scene.page);
    }
}

TEST(HtmlPictures, LinksWithTheirRectangles)
{
    Scene scene(240, 110);
    const RECT layout = {6, 6, 200, 104};
    scene.Render(L"Open <A>the settings</A> or <A2>read the manual, which is long enough to wrap</A2>.<BR>"
                 L"<CENTER><A3>centred link</A3></CENTER>",
                 layout);
    EXPECT_EQ(scene.links.GetCount(), 3);
    const COLORREF outline[] = {RGB(0xE0, 0x20, 0x20), RGB(0x20, 0xA0, 0x20), RGB(0xA0, 0x20, 0xE0)};
    int i = 0;
    for (DrawHTMLLinkArea* area : Areas(scene.links)) {
        for (RECT r : Rects(area)) {
            OffsetRect(&r, layout.left, layout.top);
            Frame(scene.page, r, outline[i % 3]);
        }
        ++i;
    }
    Save(L"html-links", scene.page);
}

TEST(HtmlPictures, OverflowDots)
{
    Scene scene(160, 60);
    const int lh = LineHeight(scene.font);
    const RECT r = {4, 4, 150, 4 + 2 * (lh + 1) + lh / 2};
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xE0, 0, 0));
    HGDIOBJ old = SelectObject(scene.page.dc, pen);
    scene.Render(L"A text with more lines than its rectangle can hold: the last whole line is followed by "
                 L"three dots in the corner.",
                 r);
    SelectObject(scene.page.dc, old);
    DeleteObject(pen);
    Frame(scene.page, RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, RGB(0xC0, 0xC0, 0xC0));
    Save(L"html-overflow", scene.page);
}

} // namespace
