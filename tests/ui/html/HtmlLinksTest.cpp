// Link areas: their ids, texts and rectangles, hit testing, and the
// areas' own bookkeeping.
#include <gtest/gtest.h>

#include "HtmlProbe.h"

using namespace html;

namespace {

POINT Centre(const RECT& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom && inner.left < inner.right && inner.top < inner.bottom;
}

// Every pixel of the link colour lies in one of the areas' rectangles
// (given relative to origin).
int LinkInkOutsideAreas(Scene& scene, POINT origin)
{
    std::vector<RECT> all;
    for (DrawHTMLLinkArea* area : Areas(scene.links))
        for (RECT r : Rects(area)) {
            OffsetRect(&r, origin.x, origin.y);
            all.push_back(r);
        }
    int outside = 0;
    for (int y = 0; y < scene.page.cy; ++y)
        for (int x = 0; x < scene.page.cx; ++x) {
            if (scene.page.At(x, y) != linkInk)
                continue;
            bool covered = false;
            for (const RECT& r : all)
                covered = covered || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
            outside += !covered;
        }
    return outside;
}

TEST(HtmlLinks, EachLinkHasItsIdTextAndRectangle)
{
    Scene scene;
    const RECT layout = {10, 20, 300, 100};
    scene.Render(L"See <A>the first</A> or <A3>the &amp; third</A3>.", layout);
    std::vector<DrawHTMLLinkArea*> areas = Areas(scene.links);
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[0]->id, 1000u);
    EXPECT_STREQ(areas[0]->GetText(), L"the first");
    EXPECT_EQ(areas[1]->id, 1003u);
    EXPECT_STREQ(areas[1]->GetText(), L"the &amp; third");
    const RECT relative = {0, 0, layout.right - layout.left, layout.bottom - layout.top};
    for (DrawHTMLLinkArea* area : areas) {
        std::vector<RECT> rects = Rects(area);
        ASSERT_EQ(rects.size(), 1u);
        EXPECT_TRUE(Inside(rects[0], relative));
        POINT c = Centre(rects[0]);
        EXPECT_EQ(scene.html.GetLinkAreaID(&scene.links, c.x, c.y), area->id);
        EXPECT_TRUE(scene.html.IsLinkArea(&scene.links, c.x, c.y));
        EXPECT_EQ(scene.html.FindLinkArea(&scene.links, c.x, c.y), area);
        EXPECT_TRUE(area->IsPointOverLink(c.x, c.y));
    }
    // The words between the links are no link.
    const int see = 1 + Width(scene.font, L"Se");
    EXPECT_EQ(scene.html.GetLinkAreaID(&scene.links, see, 5), 0u);
    EXPECT_FALSE(scene.html.IsLinkArea(&scene.links, see, 5));
    EXPECT_EQ(scene.html.FindLinkArea(&scene.links, see, 5), nullptr);
    EXPECT_EQ(LinkInkOutsideAreas(scene, {layout.left, layout.top}), 0);
    EXPECT_GT(CountColor(scene.page, linkInk), 0);
}

TEST(HtmlLinks, ALinkThatWrapsHasARectangleOnEachLine)
{
    Scene scene;
    const int width = 1 + Width(scene.font, L"one two three ") + 2;
    scene.Render(L"one <A>two three Four</A> five", width);
    std::vector<DrawHTMLLinkArea*> areas = Areas(scene.links);
    ASSERT_EQ(areas.size(), 1u);
    std::vector<RECT> rects = Rects(areas[0]);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_GT(rects[0].left, 0);
    EXPECT_GE(rects[0].right, width - 2);
    EXPECT_LE(rects[0].right, width);
    EXPECT_EQ(rects[1].left, 0);
    EXPECT_GE(rects[1].top, rects[0].bottom - 1);
    EXPECT_EQ(scene.html.GetLinkAreaID(&scene.links, Centre(rects[1]).x, Centre(rects[1]).y), 1000u);
    EXPECT_EQ(LinkInkOutsideAreas(scene, {0, 0}), 0);
}

TEST(HtmlLinks, RectanglesCoverTextMovedByTheLineIndent)
{
    for (const wchar_t* text : {L"<A>word</A>", L"<A>Word</A>", L"<CENTER><A>centred</A></CENTER>", L"x <A>y</A>"}) {
        Scene scene;
        scene.Render(text, 200);
        ASSERT_EQ(scene.links.GetCount(), 1);
        EXPECT_EQ(LinkInkOutsideAreas(scene, {0, 0}), 0) << std::string(text, text + wcslen(text));
    }
}

TEST(HtmlLinks, RectanglesAreNeverInsideOutEvenWhenTheTextIsWiderThanTheLine)
{
    for (const wchar_t* text : {L"<A><CENTER>C", L"<CENTER><A>C</A></CENTER>", L"<A>C</A>"}) {
        Scene scene;
        scene.Render(text, RECT{0, 0, 7, 100});
        for (DrawHTMLLinkArea* area : Areas(scene.links))
            for (const RECT& r : Rects(area))
                EXPECT_TRUE(r.left <= r.right && r.top <= r.bottom && r.right <= 7)
                    << std::string(text, text + wcslen(text)) << ": " << r.left << "," << r.top << " - " << r.right
                    << "," << r.bottom;
    }
}

TEST(HtmlLinks, CentredLinksFollowTheirTextOnceDrawn)
{
    Scene scene;
    scene.Render(L"<CENTER>A <A2>centred link</A2> here<BR><A>And one below</A></CENTER>", 250);
    std::vector<DrawHTMLLinkArea*> areas = Areas(scene.links);
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(LinkInkOutsideAreas(scene, {0, 0}), 0);
    for (DrawHTMLLinkArea* area : areas) {
        RECT r = Rects(area)[0];
        EXPECT_GT(r.left, 20) << "still where the left-aligned layout had it";
        EXPECT_GT(CountColor(scene.page, linkInk, r), 0);
    }
}

TEST(HtmlLinks, NestedLinksEachHitTestAtTheirOwnText)
{
    Scene scene;
    scene.Render(L"<A><A1>Inner</A1>outer</A>", 300);
    std::vector<DrawHTMLLinkArea*> areas = Areas(scene.links);
    ASSERT_EQ(areas.size(), 2u);
    const int lh = LineHeight(scene.font);
    const int inner = Width(scene.font, L"Inner");
    EXPECT_EQ(scene.html.GetLinkAreaID(&scene.links, inner / 2, lh / 2), 1001u);
    EXPECT_EQ(scene.html.GetLinkAreaID(&scene.links, inner + Width(scene.font, L"outer") / 2, lh / 2), 1000u);
    EXPECT_STREQ(areas[0]->GetText(), L"Inner");
    EXPECT_STREQ(areas[1]->GetText(), L"<A1>Inner</A1>outer");
}

TEST(HtmlLinks, AreasAreThoseOfTheLastLayoutOnly)
{
    Scene scene;
    scene.Render(L"<A>one</A> <A>two</A>", 300);
    EXPECT_EQ(scene.links.GetCount(), 2);
    scene.Render(L"<A>three</A>", 300);
    ASSERT_EQ(scene.links.GetCount(), 1);
    EXPECT_STREQ(Areas(scene.links)[0]->GetText(), L"three");
    // Without a list to fill nothing is kept, and nothing breaks.
    RECT r = {0, 0, 300, 100};
    const std::wstring text = L"<A>four</A>";
    EXPECT_GT(scene.html.Draw(DrawHTML::modeMeasure, scene.page.dc, &r, text.c_str(), Scene::Len(text), nullptr,
                              &scene.tools),
              0);
    EXPECT_GT(scene.html.Draw(DrawHTML::modeDraw, scene.page.dc, &r, text.c_str(), Scene::Len(text), nullptr,
                              &scene.tools),
              0);
}

TEST(HtmlLinks, LongLinkTextsAreKeptTo512Characters)
{
    Scene scene(320, 400);
    const std::wstring source(600, L'x');
    scene.Render(L"<A>" + source + L"</A>", 300);
    ASSERT_EQ(scene.links.GetCount(), 1);
    EXPECT_EQ(std::wstring(Areas(scene.links)[0]->GetText()), source.substr(0, DrawHTMLLinkArea::maxText));
}

TEST(HtmlLinkArea, RectanglesIncludeTheirTopLeftOnly)
{
    DrawHTMLLinkArea area(7);
    EXPECT_EQ(area.id, 7u);
    EXPECT_STREQ(area.GetText(), L"");
    EXPECT_FALSE(area.IsPointOverLink(0, 0));
    ASSERT_TRUE(area.StartRect(10, 20));
    area.EndRect(30, 35);
    ASSERT_TRUE(area.StartRect(0, 40));
    area.EndRect(5, 50);
    EXPECT_EQ(area.rects.GetCount(), 2);
    EXPECT_TRUE(area.IsPointOverLink(10, 20));
    EXPECT_TRUE(area.IsPointOverLink(29, 34));
    EXPECT_FALSE(area.IsPointOverLink(30, 34));
    EXPECT_FALSE(area.IsPointOverLink(29, 35));
    EXPECT_FALSE(area.IsPointOverLink(9, 20));
    EXPECT_TRUE(area.IsPointOverLink(0, 45));
}

TEST(HtmlLinkArea, TextStopsAtTheEndTheFirstZeroOr512Characters)
{
    const std::wstring text = L"abc\0def";
    DrawHTMLLinkArea cut;
    cut.AddText(text.c_str(), text.c_str() + 2);
    EXPECT_STREQ(cut.GetText(), L"ab");
    DrawHTMLLinkArea zero;
    const wchar_t withZero[] = L"abc\0def";
    zero.AddText(withZero, withZero + 7);
    EXPECT_STREQ(zero.GetText(), L"abc");
    // The end is never read: the text stops right at a no-access page.
    const std::wstring longText(700, L'q');
    AtPageEnd guarded(longText.c_str(), longText.size());
    DrawHTMLLinkArea big;
    big.AddText(guarded.Get(), guarded.Get() + longText.size());
    EXPECT_EQ(wcslen(big.GetText()), size_t{DrawHTMLLinkArea::maxText});
    AtPageEnd shortOne(L"xyz", 3);
    DrawHTMLLinkArea small;
    small.AddText(shortOne.Get(), shortOne.Get() + 3);
    EXPECT_STREQ(small.GetText(), L"xyz");
}

TEST(HtmlLinkArea, ResetEmptiesTheList)
{
    Scene scene;
    scene.Render(L"<A>one</A> <A>two</A>", 300);
    ASSERT_EQ(scene.links.GetCount(), 2);
    scene.links.Reset();
    EXPECT_EQ(scene.links.GetCount(), 0);
    EXPECT_EQ(scene.html.GetLinkAreaID(&scene.links, 5, 5), 0u);
}

} // namespace
