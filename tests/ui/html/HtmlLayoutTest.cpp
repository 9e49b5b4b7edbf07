// How text falls into lines: wrapping against the font's own extents,
// breaks inside paths, words wider than the line, <NOBR> and <CENTER>,
// the heights Draw returns and what happens when the rectangle is too short.
#include <gtest/gtest.h>

#include <sstream>

#include "HtmlProbe.h"

using namespace html;

namespace {

std::vector<std::wstring> Words(const std::wstring& text)
{
    std::wistringstream in(text);
    std::vector<std::wstring> words;
    for (std::wstring w; in >> w;)
        words.push_back(w);
    return words;
}

// The renderer's page against plain lines drawn where the rules put them.
void ExpectLines(Scene& scene, const std::vector<std::wstring>& lines, const char* what)
{
    Canvas expected(scene.page.cx, scene.page.cy, paper);
    ReferenceLines(expected, lines, LineHeight(scene.font));
    ExpectSamePage(scene.page, expected, what);
}

int Lines(Scene& scene, int height)
{
    const int one = scene.Measure(L"x", 200);
    return 1 + (height - one) / (LineHeight(scene.font) + 1);
}

TEST(HtmlWrap, WholeWordsFillEachLineAsFarAsTheFontsExtentsAllow)
{
    const std::wstring text = L"the quick brown fox jumps over the lazy dog while seven tired wizards quietly juggle";
    for (int width : {70, 111, 180, 320}) {
        Scene scene(340, 240);
        std::vector<std::wstring> lines = GreedyLines(scene.font, Words(text), width);
        const int height = scene.Render(text, width);
        std::string what = "width " + std::to_string(width);
        ExpectLines(scene, lines, what.c_str());
        EXPECT_EQ(Lines(scene, height), static_cast<int>(lines.size())) << what;
    }
}

TEST(HtmlWrap, TheRightMarginIsTwoPixels)
{
    Scene scene;
    const int fits = 1 + Width(scene.font, L"alpha beta") + 2;
    const std::vector<std::wstring> words = {L"alpha", L"beta", L"gamma"};
    ASSERT_EQ(GreedyLines(scene.font, words, fits)[0], L"alpha beta");
    ASSERT_EQ(GreedyLines(scene.font, words, fits - 1)[0], L"alpha");

    scene.Render(L"alpha beta gamma", fits);
    ExpectLines(scene, GreedyLines(scene.font, words, fits), "just fits");
    scene.page.Fill(paper);
    scene.Render(L"alpha beta gamma", fits - 1);
    ExpectLines(scene, GreedyLines(scene.font, words, fits - 1), "one pixel short");

    // The pixel a lowercase line starts in is part of its width.
    EXPECT_EQ(Lines(scene, scene.Measure(L"alpha beta", fits)), 1);
    EXPECT_EQ(Lines(scene, scene.Measure(L"alpha beta", fits - 1)), 2);
    const int capitalFits = Width(scene.font, L"Alpha beta") + 2;
    EXPECT_EQ(Lines(scene, scene.Measure(L"Alpha beta", capitalFits)), 1);
    EXPECT_EQ(Lines(scene, scene.Measure(L"Alpha beta", capitalFits - 1)), 2);
}

TEST(HtmlWrap, PathsBreakBeforeTheirSlashes)
{
    for (const wchar_t* slash : {L"/", L"\\"}) {
        Scene scene;
        const std::wstring tail = std::wstring(slash) + L"cdefghij";
        const int width = 1 + Width(scene.font, L"ab" + tail.substr(0, tail.size() - 1)) + 2;
        scene.Render(L"ab" + tail, width);
        std::string what = slash[0] == '/' ? "slash" : "backslash";
        ExpectLines(scene, {L"ab", tail}, what.c_str());
    }
    // A leading slash is no place to break.
    Scene scene;
    const int width = 1 + Width(scene.font, L"/abc") + 2;
    EXPECT_EQ(Lines(scene, scene.Measure(L"/abc", width)), 1);
}

TEST(HtmlWrap, ALongPathBreaksAtItsSlashesAndLosesNothing)
{
    Scene scene;
    const int width = 120;
    // Where the path may break, and whether a space comes before the piece.
    const struct {
        const wchar_t* text;
        bool space;
    } pieces[] = {{L"c:", false},         {L"/program", false},    {L"/files", false},
                  {L"/launchora", false}, {L"/pvhost.exe", false}, {L"now", true}};
    std::vector<std::wstring> lines;
    for (const auto& piece : pieces) {
        if (!lines.empty()) {
            const std::wstring joined = lines.back() + (piece.space ? L" " : L"") + piece.text;
            if (1 + Width(scene.font, joined) <= width - 2) {
                lines.back() = joined;
                continue;
            }
        }
        lines.push_back(piece.text);
    }
    ASSERT_GT(lines.size(), 2u);
    scene.Render(L"c:/program/files/launchora/pvhost.exe now", width);
    ExpectLines(scene, lines, "path");
}

TEST(HtmlWrap, AWordWiderThanTheLineBreaksBetweenCharacters)
{
    Scene scene(200, 200);
    const std::wstring word = L"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz";
    const int width = 90;
    std::vector<std::wstring> lines(1);
    for (wchar_t c : word) {
        if (!lines.back().empty() && 1 + Width(scene.font, lines.back() + c) > width - 2)
            lines.emplace_back();
        lines.back() += c;
    }
    ASSERT_GT(lines.size(), 2u);
    const int height = scene.Render(word, width);
    ExpectLines(scene, lines, "broken word");
    EXPECT_EQ(Lines(scene, height), static_cast<int>(lines.size()));
}

TEST(HtmlNoBreak, KeepsItsWordsOnOneLine)
{
    Scene scene;
    const int width = 1 + Width(scene.font, L"one two three") + 2;
    ASSERT_EQ(GreedyLines(scene.font, Words(L"one two three four"), width)[0], L"one two three");
    ASSERT_LE(1 + Width(scene.font, L"three four"), width - 2);
    scene.Render(L"one two <NOBR>three four</NOBR>", width);
    ExpectLines(scene, {L"one two", L"three four"}, "nobr");
}

TEST(HtmlNoBreak, AWordTooWideIsShortenedWithDotsAtTheRightEdge)
{
    for (const wchar_t* text : {L"<NOBR>abcdefghijklmnopqrstuvwxyz</NOBR>", L"<nobr>abcdefghijklmnopqrstuvwxyz"}) {
        Scene scene;
        const int width = 80;
        const int height = scene.Render(text, width);
        EXPECT_EQ(height, scene.Measure(L"x", width));
        RECT inked = Ink(scene.page);
        EXPECT_LE(inked.right, width);
        EXPECT_LE(inked.bottom, LineHeight(scene.font));
        // The dots stand in the last few pixels before the edge.
        const int dots = Width(scene.font, L"...");
        RECT end = {width - dots - 4, 0, width, LineHeight(scene.font)};
        EXPECT_GT(CountColor(scene.page, ink, end), 0);
    }
}

TEST(HtmlCenter, CentresEachLineBetweenTheEdges)
{
    Scene scene(300, 100);
    const int width = 200;
    scene.Render(L"<CENTER>Word<BR>a longer line</CENTER>", width);
    const int lh = LineHeight(scene.font);
    const wchar_t* lines[] = {L"Word", L"a longer line"};
    for (int line = 0; line < 2; ++line) {
        RECT band = {0, line * (lh + 1), scene.page.cx, line * (lh + 1) + lh};
        RECT inked = Ink(scene.page, paper, band);
        Canvas alone(scene.page.cx, scene.page.cy, paper);
        Reference(alone, BaseLogFont(), 0, 0, lines[line]);
        // Where the line's text starts: its ink against the same text's at 0.
        const int x = inked.left - Ink(alone).left;
        EXPECT_NEAR(x, (width - Width(scene.font, lines[line])) / 2, 1) << "line " << line;
    }
}

TEST(HtmlCenter, ARectangleAwayFromTheLeftShiftsThePixelsAndNothingElse)
{
    const std::wstring text = L"<CENTER>Centred <B>text</B><BR>and a second line</CENTER>left";
    const int shift = 37;
    Scene atZero(300, 80), shifted(300, 80);
    const int h0 = atZero.Render(text, RECT{0, 0, 200, 80});
    const int h1 = shifted.Render(text, RECT{shift, 0, 200 + shift, 80});
    EXPECT_EQ(h0, h1);
    int differences = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x + shift < 300; ++x)
            differences += atZero.page.At(x, y) != shifted.page.At(x + shift, y);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(CountColor(shifted.page, ink, RECT{0, 0, shift, 80}), 0);
}

TEST(HtmlHeight, LinesAdvanceByTheirTallestFontPlusOne)
{
    Scene scene;
    const int lh = LineHeight(scene.font);
    LOGFONTW big = BaseLogFont();
    big.lfHeight = -15;
    Font bigFont(big);
    const int one = scene.Measure(L"a", 200);
    EXPECT_TRUE(one == lh || one == lh + 1) << one;
    EXPECT_EQ(scene.Measure(L"a<BR>b<BR>c", 200), one + 2 * (lh + 1));
    EXPECT_EQ(scene.Measure(L"a<BR><BIG>b</BIG>", 200), one + LineHeight(bigFont) + 1);
    const int half = scene.Measure(L"a<BRHALF>b", 200) - one;
    EXPECT_GT(half, 0);
    EXPECT_LT(half, lh + 1);
    EXPECT_NEAR(half, lh / 2, 1);
}

TEST(HtmlHeight, DrawingReturnsWhatMeasuringDid)
{
    const std::wstring text =
        L"<H>Heading</H><BR>Some <B>bold</B> and <SMALL>small</SMALL> words, a <A>link that wraps</A> and "
        L"<BIG>big</BIG> ones<BRHALF><CENTER>centred <I>text</I> here</CENTER><BR>c:/a/long/path/to/somewhere "
        L"<NOBR>kept together</NOBR> end";
    for (int width : {60, 120, 300}) {
        Scene scene(320, 400);
        RECT r = {0, 0, width, 400};
        const int measured = scene.Measure(text, r);
        const int drawn = scene.html.Draw(DrawHTML::modeDraw, scene.page.dc, &r, text.c_str(), Scene::Len(text),
                                          &scene.links, &scene.tools);
        EXPECT_EQ(measured, drawn) << "width " << width;
    }
}

TEST(HtmlHeight, ThreeHundredLinesKeepEachLinesOwnHeight)
{
    std::wstring plain, mixed;
    for (int i = 0; i < 300; ++i) {
        std::wstring line = L"line " + std::to_wstring(i);
        plain += line + L"<BR>";
        mixed += (i == 280 ? L"<BIG>" + line + L"</BIG>" : line) + L"<BR>";
    }
    Scene scene(120, 18 * 320);
    LOGFONTW big = BaseLogFont();
    big.lfHeight = -15;
    Font bigFont(big);
    const int extra = LineHeight(bigFont) - LineHeight(scene.font);
    ASSERT_GT(extra, 0);
    const int plainHeight = scene.Render(plain, 120);
    EXPECT_EQ(scene.Render(mixed, 120) - plainHeight, extra);
    // The last line is drawn where the tall line pushed it.
    Scene a(120, 18 * 320), b(120, 18 * 320);
    a.Render(plain, 120);
    b.Render(mixed, 120);
    const int lastTop = 299 * (LineHeight(a.font) + 1);
    const int lh = LineHeight(a.font);
    int differences = 0;
    for (int y = lastTop; y < lastTop + lh; ++y)
        for (int x = 0; x < 120; ++x)
            differences += a.page.At(x, y) != b.page.At(x, y + extra);
    EXPECT_EQ(differences, 0);
    EXPECT_GT(CountColor(b.page, ink, RECT{0, lastTop + extra, 120, lastTop + extra + lh}), 0);
}

const COLORREF penColor = RGB(255, 0, 255);

// Lays text out in a rectangle only so tall, with a pen of penColor in
// the DC.
void RenderWithPen(Scene& scene, const std::wstring& text, RECT r)
{
    HPEN pen = CreatePen(PS_SOLID, 1, penColor);
    HGDIOBJ old = SelectObject(scene.page.dc, pen);
    scene.Render(text, r);
    EXPECT_EQ(GetCurrentObject(scene.page.dc, OBJ_PEN), pen);
    SelectObject(scene.page.dc, old);
    DeleteObject(pen);
}

TEST(HtmlOverflow, ATooTallTextEndsAtTheLastWholeLineWithThreeDots)
{
    Scene scene(200, 120);
    const int lh = LineHeight(scene.font);
    const RECT r = {10, 5, 150, 5 + 2 * (lh + 1) + lh / 2};
    RenderWithPen(scene, L"First line<BR>Second line<BR>Third line<BR>Fourth line", r);
    for (int x : {r.right - 3, r.right - 5, r.right - 7})
        EXPECT_EQ(scene.page.At(x, r.bottom - 1), penColor) << "dot at " << x;
    EXPECT_EQ(CountColor(scene.page, penColor), 3);
    EXPECT_EQ(CountColor(scene.page, ink, RECT{0, r.top + 2 * (lh + 1), 200, 120}), 0) << "third line drawn";
    EXPECT_GT(CountColor(scene.page, ink, RECT{0, r.top + lh + 1, 200, r.top + 2 * (lh + 1)}), 0);
}

TEST(HtmlOverflow, ARectangleOfExactlyTheMeasuredHeightDrawsEveryLine)
{
    const std::wstring text = L"First line<BR><BIG>Second</BIG> line<BRHALF>Third line, long enough to wrap once";
    Scene tall(200, 200), exact(200, 200);
    const int height = tall.Render(text, RECT{0, 0, 150, 200});
    RenderWithPen(exact, text, RECT{0, 0, 150, height});
    EXPECT_EQ(CountColor(exact.page, penColor), 0);
    EXPECT_EQ(Differences(tall.page, exact.page), 0);
}

} // namespace
