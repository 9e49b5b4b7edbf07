// What the markup turns into on the page: each tag's font and colour, the
// entities, white space and where a line's text starts. Each case is held
// pixel for pixel against plain GDI drawing the same word in the font and
// colour the tag stands for.
#include <gtest/gtest.h>

#include <functional>

#include "HtmlProbe.h"

using namespace html;

namespace {

// The markup drawn by the renderer and the reference drawn by hand, on
// pages of the same size; fails with the first differing pixel.
void ExpectSamePixels(const std::wstring& markup, const std::function<void(Canvas&)>& reference,
                      const char* what = "")
{
    Scene scene;
    scene.Render(markup, scene.page.cx);
    Canvas expected(scene.page.cx, scene.page.cy, paper);
    reference(expected);
    ExpectSamePage(scene.page, expected, what);
}

// One word, starting with a capital so that it starts at the left edge,
// at the bottom of its line: how tall the line is the height tests' concern.
void ExpectWord(const std::wstring& markup, const LOGFONTW& lf, COLORREF color, const char* what)
{
    Scene scene;
    const int bottom = scene.Measure(markup, scene.page.cx);
    ExpectSamePixels(
        markup, [&](Canvas& page) { Reference(page, lf, 0, bottom - LineHeight(Font(lf)), L"Word", color); }, what);
}

TEST(HtmlTags, EachStyleTagDrawsInItsFont)
{
    const struct {
        const wchar_t* tag;
        void (*change)(LOGFONTW&);
    } cases[] = {
        {L"B", [](LOGFONTW& lf) { lf.lfWeight = 700; }},
        {L"I", [](LOGFONTW& lf) { lf.lfItalic = TRUE; }},
        {L"U", [](LOGFONTW& lf) { lf.lfUnderline = TRUE; }},
        {L"D", [](LOGFONTW& lf) { lf.lfStrikeOut = TRUE; }},
        {L"H", [](LOGFONTW& lf) { lf.lfHeight = -17, lf.lfWeight = 900; }},
        {L"BIG", [](LOGFONTW& lf) { lf.lfHeight = -15; }},
        {L"SMALL", [](LOGFONTW& lf) { lf.lfHeight = -11; }},
        {L"AA", [](LOGFONTW& lf) { lf.lfQuality = ANTIALIASED_QUALITY; }},
        {L"CT", [](LOGFONTW& lf) { lf.lfQuality = CLEARTYPE_QUALITY; }},
    };
    for (const auto& c : cases) {
        LOGFONTW lf = BaseLogFont();
        c.change(lf);
        std::wstring tag = c.tag;
        std::string what(tag.begin(), tag.end());
        ExpectWord(L"<" + tag + L">Word</" + tag + L">", lf, ink, what.c_str());
    }
}

TEST(HtmlTags, ColourTagsDrawInTheirColours)
{
    const struct {
        const wchar_t* tag;
        COLORREF color;
    } cases[] = {
        {L"RED", 0x000080},   {L"GREEN", 0x008000},   {L"BLUE", 0x800000},   {L"GREY", 0x808080},
        {L"LTRED", 0x0000C0}, {L"LTGREEN", 0x00C000}, {L"LTBLUE", 0xC00000}, {L"LTGREY", 0xC0C0C0},
        {L"DKRED", 0x000040}, {L"DKGREEN", 0x004000}, {L"DKBLUE", 0x400000}, {L"DKGREY", 0x404040},
    };
    for (const auto& c : cases) {
        std::wstring tag = c.tag;
        std::string what(tag.begin(), tag.end());
        ExpectWord(L"<" + tag + L">Word</" + tag + L">", BaseLogFont(), c.color, what.c_str());
    }
}

TEST(HtmlTags, LinksAreUnderlinedInTheLinkColour)
{
    LOGFONTW lf = BaseLogFont();
    lf.lfUnderline = TRUE;
    for (const wchar_t* tag : {L"A", L"A1", L"A9"}) {
        std::wstring t = tag;
        std::string what(t.begin(), t.end());
        ExpectWord(L"<" + t + L">Word</" + t + L">", lf, linkInk, what.c_str());
    }
}

TEST(HtmlTags, TagsIgnoreCaseAndNest)
{
    LOGFONTW bold = BaseLogFont();
    bold.lfWeight = 700;
    ExpectWord(L"<b>Word</b>", bold, ink, "lower case");
    ExpectWord(L"<Big><sMaLl>Word</SMALL></big>", BaseLogFont(), ink, "sizes cancel");
    LOGFONTW both = bold;
    both.lfItalic = TRUE;
    ExpectWord(L"<B><I>Word</I></B>", both, ink, "bold italic");
    ExpectWord(L"<B>Word", bold, ink, "never closed");
}

// A height of 0 asks for the font's default size: a heading grows from the
// size the text really has, not from nothing.
TEST(HtmlTags, AnEmptyFontHeightGrowsFromTheRealSize)
{
    LOGFONTW zero = BaseLogFont();
    zero.lfHeight = 0;
    Scene scene;
    Font font(zero);
    scene.tools.SetCustomFont(font);
    const int bottom = scene.Render(L"<H>Word</H>", scene.page.cx);
    Canvas expected(scene.page.cx, scene.page.cy, paper);
    TEXTMETRICW metrics = {};
    HGDIOBJ old = SelectObject(expected.dc, font);
    GetTextMetricsW(expected.dc, &metrics);
    SelectObject(expected.dc, old);
    LOGFONTW heading = zero;
    heading.lfHeight = -(metrics.tmHeight - metrics.tmInternalLeading) - 4;
    heading.lfWeight = 900;
    Reference(expected, heading, 0, bottom - LineHeight(Font(heading)), L"Word");
    ExpectSamePage(scene.page, expected, "height 0");
}

TEST(HtmlTags, AClosingTagEndsTheInnermostStyleWhateverItsName)
{
    Scene scene;
    int split = Width(scene.font, L"Wo");
    scene.Render(L"<RED><BLUE>Wo</RED>rd</BLUE> tail", scene.page.cx);
    RECT left = {0, 0, split, scene.page.cy};
    RECT right = {split, 0, Width(scene.font, L"Word"), scene.page.cy};
    EXPECT_GT(CountColor(scene.page, 0x800000, left), 0);
    EXPECT_EQ(CountColor(scene.page, 0x000080, left), 0);
    EXPECT_GT(CountColor(scene.page, 0x000080, right), 0) << "</RED> closed the blue, so red is back";
    EXPECT_EQ(CountColor(scene.page, 0x800000, right), 0);
    RECT tail = {Width(scene.font, L"Word "), 0, scene.page.cx, scene.page.cy};
    EXPECT_GT(CountColor(scene.page, ink, tail), 0);
    EXPECT_EQ(CountColor(scene.page, 0x000080, tail), 0);
}

TEST(HtmlTags, UnknownTagsAndVerbatimTextAreDrawnAsWritten)
{
    const struct {
        const wchar_t* markup;
        const wchar_t* shown;
    } cases[] = {
        {L"<FOO>", L"<FOO>"},
        {L"<T><B>&amp;</T>", L"<B>&amp;"},
        {L"<t></b><BR></t>", L"</b><BR>"},
        {L"A<b", L"A<b"},
        {L"<", L"<"},
    };
    for (const auto& c : cases) {
        std::string what(c.markup, c.markup + wcslen(c.markup));
        const int x = IsCapital(c.shown[0]) ? 0 : 1;
        ExpectSamePixels(c.markup, [&](Canvas& page) { Reference(page, BaseLogFont(), x, 0, c.shown); },
                         what.c_str());
    }
}

TEST(HtmlEntities, KnownEntitiesBecomeTheirCharacters)
{
    const struct {
        const wchar_t* markup;
        const wchar_t* shown;
    } cases[] = {
        {L"&amp;&lt;&gt;", L"&<>"},
        {L"&AMP;x&Lt;", L"&x<"},
        {L"x&amp;amp;", L"x&amp;"},
    };
    for (const auto& c : cases) {
        std::string what(c.markup, c.markup + wcslen(c.markup));
        ExpectSamePixels(c.markup, [&](Canvas& page) { Reference(page, BaseLogFont(), 1, 0, c.shown); },
                         what.c_str());
    }
}

TEST(HtmlEntities, UnknownFarOrCutEntitiesAreDrawnLiterally)
{
    for (const wchar_t* text : {L"&foo;", L"&abcdefghijk;", L"&amp", L"&", L"&lt", L"&&amp"}) {
        std::wstring shown = text;
        std::string what(shown.begin(), shown.end());
        ExpectSamePixels(text, [&](Canvas& page) { Reference(page, BaseLogFont(), 1, 0, shown); }, what.c_str());
    }
}

TEST(HtmlEntities, NoBreakSpaceIsDrawnAsASpace)
{
    Scene scene;
    scene.Render(L"Two&nbsp;words", scene.page.cx);
    Canvas plain(scene.page.cx, scene.page.cy, paper);
    Reference(plain, BaseLogFont(), 0, 0, L"Two words");
    Canvas hard(scene.page.cx, scene.page.cy, paper);
    Reference(hard, BaseLogFont(), 0, 0, L"Two\u00A0words");
    EXPECT_TRUE(Differences(scene.page, plain) == 0 || Differences(scene.page, hard) == 0);
}

TEST(HtmlWhiteSpace, RunsBecomeOneSpace)
{
    ExpectSamePixels(L"Two \t  words\t", [](Canvas& page) { Reference(page, BaseLogFont(), 0, 0, L"Two words"); });
    ExpectSamePixels(L"Two\t\r words",
                     [](Canvas& page) { Reference(page, BaseLogFont(), 0, 0, L"Two words"); }, "CR alone");
}

TEST(HtmlWhiteSpace, LineFeedsAndCrLfBreakLinesLikeBR)
{
    Scene scene;
    const int lh = LineHeight(scene.font);
    auto draw = [](Canvas& page) {
        Reference(page, BaseLogFont(), 0, 0, L"One");
        Reference(page, BaseLogFont(), 0, LineHeight(Font()) + 1, L"Two");
    };
    for (const wchar_t* text : {L"One<BR>Two", L"One\nTwo", L"One\r\nTwo", L"One <br> Two"}) {
        std::string what;
        for (const wchar_t* p = text; *p; ++p)
            what += *p == '\n' ? std::string("\\n") : *p == '\r' ? std::string("\\r") : std::string(1, char(*p));
        ExpectSamePixels(text, draw, what.c_str());
        EXPECT_EQ(scene.Measure(text, 200) - scene.Measure(L"One", 200), lh + 1) << what;
    }
}

TEST(HtmlLineStart, OnlyCapitalsStartAtTheLeftEdge)
{
    const struct {
        const wchar_t* text;
        int x;
    } cases[] = {
        {L"Word", 0}, {L"Zed", 0}, {L"word", 1}, {L"9 lives", 1}, {L"\u00C4rger", 1}, {L"(Word)", 1},
    };
    for (const auto& c : cases) {
        std::string what(c.text, c.text + 1);
        ExpectSamePixels(c.text, [&](Canvas& page) { Reference(page, BaseLogFont(), c.x, 0, c.text); },
                         what.c_str());
    }
    // Every line counts, not just the first.
    ExpectSamePixels(L"Word<BR>word", [](Canvas& page) {
        Reference(page, BaseLogFont(), 0, 0, L"Word");
        Reference(page, BaseLogFont(), 1, LineHeight(Font()) + 1, L"word");
    });
}

TEST(HtmlLineStart, TheIndentMovesTheWholeLineNotJustItsFirstRun)
{
    LOGFONTW bold = BaseLogFont();
    bold.lfWeight = 700;
    Font font;
    ExpectSamePixels(L"ab <B>cd</B>", [&](Canvas& page) {
        Reference(page, BaseLogFont(), 1, 0, L"ab ");
        Reference(page, bold, 1 + Width(font, L"ab "), 0, L"cd");
    });
    ExpectSamePixels(L"a<b", [](Canvas& page) { Reference(page, BaseLogFont(), 1, 0, L"a<b"); }, "unknown tag");
}

TEST(HtmlLineStart, MixedSizesShareTheLineBottom)
{
    Scene scene;
    LOGFONTW big = BaseLogFont();
    big.lfHeight = -17;
    big.lfWeight = 900;
    LOGFONTW small = BaseLogFont();
    small.lfHeight = -11;
    Font bigFont(big), smallFont(small);
    const int lhBig = LineHeight(bigFont);
    const int lhSmall = LineHeight(smallFont);
    ASSERT_GT(lhBig, lhSmall);

    scene.Render(L"<H>W</H><SMALL>W</SMALL>", scene.page.cx);
    const int split = Width(bigFont, L"W");
    Canvas expected(scene.page.cx, scene.page.cy, paper);
    Reference(expected, big, 0, 0, L"W");
    Reference(expected, small, split, lhBig - lhSmall, L"W");
    std::string where;
    EXPECT_EQ(Differences(scene.page, expected, &where), 0) << where;
    // The line is as tall as its tallest font.
    EXPECT_EQ(scene.Measure(L"<H>W</H><SMALL>W</SMALL><BR>x", 200) - scene.Measure(L"<H>W</H>", 200),
              LineHeight(scene.font) + 1);
}

} // namespace
