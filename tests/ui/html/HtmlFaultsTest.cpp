// Texts that once went wrong: huge words, lengths shorter than the string,
// rectangles narrower than a character, state kept from one layout into
// the next, and nesting deep enough to exhaust a fixed stack.
#include <gtest/gtest.h>

#include "HtmlProbe.h"

using namespace html;

namespace {

TEST(HtmlFaults, HugeWordsStayInsideTheRectangle)
{
    const std::wstring word(3000, L'w');
    const std::wstring cases[] = {
        word,
        L"<NOBR>" + word + L"</NOBR>",
        L"see https://example.com/" + word + L"/index.html",
        L"<NOBR>https://example.com/" + word + L"</NOBR> after",
        L"a " + word + L" b",
    };
    for (const std::wstring& text : cases) {
        const std::string what(text.begin(), text.begin() + 12);
        Scene scene(160, 440);
        const RECT r = {10, 10, 130, 410};
        const int measured = scene.Measure(text, r);
        EXPECT_EQ(scene.Render(text, r), measured) << what;
        RECT inked = Ink(scene.page);
        EXPECT_TRUE(inked.left >= r.left && inked.right <= r.right && inked.top >= r.top && inked.bottom <= r.bottom)
            << what << ": ink " << inked.left << "," << inked.top << " - " << inked.right << "," << inked.bottom;
        EXPECT_GT(CountColor(scene.page, ink), 0);
    }
}

TEST(HtmlFaults, NothingPastTheLengthIsReadOrDrawn)
{
    const std::wstring full = L"Some <B>bold</B> &amp; <A>link</A> <T>ver<b>bat</T> &nbsp;<NOBR>kept</NOBR><BR>x";
    for (size_t length = 0; length <= full.size(); ++length) {
        const std::wstring head = full.substr(0, length);
        // The cut text ends right before a no-access page.
        AtPageEnd guarded(head.c_str(), head.size());
        Scene cut(200, 60), whole(200, 60);
        RECT r = {0, 0, 200, 60};
        const unsigned n = static_cast<unsigned>(length);
        cut.html.Draw(DrawHTML::modeMeasure, cut.page.dc, &r, guarded.Get(), n, &cut.links, &cut.tools);
        const int hCut = cut.html.Draw(DrawHTML::modeDraw, cut.page.dc, &r, guarded.Get(), n, &cut.links, &cut.tools);
        // The same length of the whole string draws the same.
        whole.html.Draw(DrawHTML::modeMeasure, whole.page.dc, &r, full.c_str(), n, &whole.links, &whole.tools);
        const int hWhole
            = whole.html.Draw(DrawHTML::modeDraw, whole.page.dc, &r, full.c_str(), n, &whole.links, &whole.tools);
        EXPECT_EQ(hCut, hWhole) << "length " << length;
        EXPECT_EQ(Differences(cut.page, whole.page), 0) << "length " << length;
        EXPECT_EQ(cut.links.GetCount(), whole.links.GetCount()) << "length " << length;
    }
}

TEST(HtmlFaults, ARectangleNarrowerThanACharacterTakesOnePerLine)
{
    Scene scene;
    const int one = scene.Measure(L"a", 200);
    const int step = LineHeight(scene.font) + 1;
    for (int width : {0, 1, 3}) {
        EXPECT_EQ(scene.Measure(L"<NOBR>abc</NOBR>", width), one) << "width " << width;
        EXPECT_EQ(scene.Render(L"abc", width), one + 2 * step) << "width " << width;
        for (int line = 0; line < 3; ++line) {
            RECT band = {0, line * step, scene.page.cx, line * step + step - 1};
            EXPECT_GT(CountColor(scene.page, ink, band), 0) << "width " << width << ", line " << line;
        }
        scene.page.Fill(paper);
    }
    // Nor does an upside-down one hang.
    RECT inverted = {50, 50, 10, 10};
    const std::wstring text = L"some words";
    scene.html.Draw(DrawHTML::modeMeasure, scene.page.dc, &inverted, text.c_str(), Scene::Len(text), &scene.links,
                    &scene.tools);
    scene.html.Draw(DrawHTML::modeDraw, scene.page.dc, &inverted, text.c_str(), Scene::Len(text), &scene.links,
                    &scene.tools);
}

TEST(HtmlFaults, AnUnclosedNoBreakDoesNotCarryIntoTheNextLayout)
{
    const std::wstring unclosed = L"one two three <NOBR>four five six seven eight nine";
    const std::wstring next = L"alpha beta gamma delta epsilon zeta eta theta";
    Scene used(200, 120), fresh(200, 120), again(200, 120);
    const int h1 = used.Render(unclosed, 90);
    used.page.Fill(paper);
    const int h2 = used.Render(unclosed, 90);
    EXPECT_EQ(h1, h2);
    again.Render(unclosed, 90);
    EXPECT_EQ(Differences(used.page, again.page), 0);

    used.page.Fill(paper);
    const int hNext = used.Render(next, 90);
    EXPECT_EQ(hNext, fresh.Render(next, 90));
    EXPECT_EQ(Differences(used.page, fresh.page), 0);
}

TEST(HtmlFaults, DeepNestingEndsPromptly)
{
    const int depth = 100000;
    std::wstring bold, links;
    for (int i = 0; i < depth; ++i)
        bold += L"<B>";
    bold += L"Deep";
    for (int i = 0; i < depth; ++i)
        bold += L"</B>";
    for (int i = 0; i < depth; ++i)
        links += L"<A>";
    links += L"Deep links";
    for (const std::wstring* text : {&bold, &links}) {
        Scene scene;
        const DWORD start = GetTickCount();
        EXPECT_GT(scene.Render(*text, 300), 0);
        EXPECT_LT(GetTickCount() - start, 10000u);
        EXPECT_GT(CountColor(scene.page, ink) + CountColor(scene.page, linkInk), 0);
    }
}

} // namespace
