// The mini-HTML renderer and the tag stripper on mutated markup. The text
// handed to Draw ends right before a no-access page without a terminator,
// so any read past its length faults; the stripper's input ends with its
// terminator there and its output at a page end of exactly the count given.
// Rectangles include empty, flat and upside-down ones. After every call the
// DC still holds its font, and every link rectangle lies in the layout.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/PageEnd.h"
#include "common/TestSupport.h"
#include "ui/html/DrawHTML.h"

namespace {

std::vector<std::wstring> MarkupSeeds()
{
    const std::wstring huge(3000, L'w');
    return {
        L"Plain text that wraps over a few lines of the rectangle, and more.",
        L"<B>bold</B> <I>italic</I> <U>under</U> <D>struck</D> <H>head</H> <BIG>big</BIG> <SMALL>small</SMALL>",
        L"<A>link</A> <A1>one</A1> <A9>nine</A9> <A><A2>nested</A2> outer</A>",
        L"<RED>r</RED><GREEN>g</GREEN><BLUE>b</BLUE><GREY>g</GREY><LTRED>l</LTRED><DKBLUE>d</DKBLUE>",
        L"<AA>smooth</AA> <CT>clear</CT><BR>line<BRHALF>half\r\nnext\nlast",
        L"<CENTER>centred <A>link</A> text<BR>second</CENTER> left again",
        L"<NOBR>kept on one line however long it runs</NOBR> then free words",
        L"<T><B>&amp;</B> verbatim</T> &amp; &lt; &gt; &nbsp; &AMP; &bogus; &toolongentityname;",
        L"<B><I><U><A>unclosed all the way",
        L"</B></I></A></NOBR></CENTER></T> closings of nothing",
        L"<FOO>unknown<BAR/> <> < > </ <<B>> &&amp;; &",
        L"c:/program files/launchora/pvhost.exe \\\\server\\share\\dir\\file https://example.com/a/b/c?d=e",
        huge,
        L"<NOBR>" + huge + L"</NOBR>",
        L"https://example.com/" + huge,
        L"<A>" + huge + L"</A>",
        L"",
    };
}

std::vector<std::wstring> MarkupTokens()
{
    std::vector<std::wstring> tokens = WideTokens();
    for (const wchar_t* t :
         {L"<B>", L"</B>", L"<I>", L"</I>", L"<U>", L"<H>", L"</H>", L"<BIG>", L"<SMALL>", L"<A>", L"</A>", L"<A5>",
          L"</A5>", L"<AA>", L"<CT>", L"<D>", L"<RED>", L"</RED>", L"<LTGREY>", L"<DKGREEN>", L"<BR>", L"<BRHALF>",
          L"<br>", L"<T>", L"</T>", L"<NOBR>", L"</NOBR>", L"<CENTER>", L"</CENTER>", L"<center>", L"<", L">", L"</",
          L"<A", L"<BRH", L"&", L"&amp;", L"&lt;", L"&gt;", L"&nbsp;", L"&am", L"&nbsp", L"&123456789;", L"/", L"\\",
          L" ", L"\t", L"\r\n", L"\n", L"\r", L"W", L"w", L"."})
        tokens.emplace_back(t);
    return tokens;
}

// A layout rectangle: mostly ordinary, often degenerate.
RECT PickRect(Rng& rng)
{
    const int left = static_cast<int>(rng.Below(40)) - 10;
    const int top = static_cast<int>(rng.Below(40)) - 10;
    switch (rng.Below(8)) {
    case 0:
        return {left, top, left, top + 100};  // no width
    case 1:
        return {left, top, left + 150, top};  // no height
    case 2:
        return {left + 50, top + 50, left, top};  // upside down
    case 3:
        return {left, top, left + 1 + static_cast<int>(rng.Below(8)), top + 200};  // narrower than a character
    default:
        return {left, top, left + 20 + static_cast<int>(rng.Below(260)), top + 10 + static_cast<int>(rng.Below(400))};
    }
}

// Every rectangle of every link lies in the layout rectangle (relative to
// its top-left) and is not turned inside out.
void ExpectLinksInside(DrawHTMLLinks& links, const RECT& layout, const char* pass)
{
    const int cx = layout.right - layout.left;
    const int cy = layout.bottom - layout.top;
    POS pos = links.GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = links.GetArea(pos);
        ASSERT_NE(area, nullptr);
        EXPECT_LE(wcslen(area->GetText()), 512u);
        POS r = area->rects.GetHeadPos();
        while (r) {
            const RECT* rect = static_cast<const RECT*>(area->rects.GetNext(r));
            EXPECT_LE(rect->left, rect->right) << pass;
            EXPECT_LE(rect->top, rect->bottom) << pass;
            if (cx > 0 && cy > 0) {
                EXPECT_TRUE(rect->left >= 0 && rect->top >= 0 && rect->right <= cx && rect->bottom <= cy)
                    << pass << ": link rectangle " << rect->left << "," << rect->top << " - " << rect->right << ","
                    << rect->bottom << " outside 0,0 - " << cx << "," << cy;
            }
        }
    }
}

// A failed (not crashed) iteration's input, kept for a reproduction: the
// markup as UTF-16 in build/artifacts, its length and rectangles on stdout.
void KeepFailure(const char* target, size_t iteration, const std::wstring& text, size_t length, const RECT& measured,
                 const RECT& drawn)
{
    char name[96];
    std::snprintf(name, sizeof name, "robustness-%s-%zu.txt", target, iteration);
    std::wstring path = ArtifactFolder() + L"\\";
    for (const char* c = name; *c; ++c)
        path += static_cast<wchar_t>(*c);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD done = 0;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &done, nullptr);
        CloseHandle(h);
    }
    std::printf("*** %s: %zu of %zu characters, measured in %ld,%ld - %ld,%ld, drawn in %ld,%ld - %ld,%ld\n", name,
                length, text.size(), measured.left, measured.top, measured.right, measured.bottom, drawn.left,
                drawn.top, drawn.right, drawn.bottom);
}

class Stage {
public:
    Stage() : page(200, 240, RGB(255, 255, 255))
    {
        LOGFONTW lf = {};
        lf.lfHeight = -13;
        lstrcpyW(lf.lfFaceName, L"Tahoma");
        font = CreateFontIndirectW(&lf);
        custom.SetCustomFont(font);
        custom.SetLinkColor(RGB(0, 0, 255));
    }
    ~Stage() { DeleteObject(font); }

    Canvas page;
    HFONT font;
    DrawHTMLTools custom{DrawHTMLTools::fontCustom};
    DrawHTMLTools gui;
};

TEST(Robustness, HtmlDraw)
{
    Trial trial("DrawHTML_Draw");
    Rng& rng = trial.rng;
    const std::vector<std::wstring> seeds = MarkupSeeds();
    Mutator<wchar_t> mutator(rng, MarkupTokens(), 6000);
    Stage stage;
    PageEndBlock block;
    DrawHTML html(1000);
    DrawHTMLLinks links;

    trial.Run(1500, mutator, seeds, [&](const std::wstring& text, size_t i) {
        // Often cut inside a tag or an entity: anywhere but the whole.
        const size_t length = rng.OneIn(3) ? rng.Below(text.size() + 1) : text.size();
        const wchar_t* p = block.PlaceChars(text.c_str(), length);
        const unsigned n = static_cast<unsigned>(length);
        DrawHTMLTools* tools = rng.OneIn(4) ? &stage.gui : &stage.custom;
        DrawHTMLLinks* list = rng.OneIn(8) ? nullptr : &links;
        RECT rect = PickRect(rng);
        const HGDIOBJ before = GetCurrentObject(stage.page.dc, OBJ_FONT);

        const int measured = FUZZ_CALL(trial, html.Draw(DrawHTML::modeMeasure, stage.page.dc, &rect, p, n, list, tools));
        EXPECT_GE(measured, 0);
        EXPECT_EQ(GetCurrentObject(stage.page.dc, OBJ_FONT), before);
        if (list)
            ExpectLinksInside(*list, rect, "measuring");

        // Now and then the drawing pass gets another rectangle than the
        // measuring pass had: the line table it reads must not be outrun.
        RECT drawRect = rng.OneIn(6) ? PickRect(rng) : rect;
        const int drawn = FUZZ_CALL(trial, html.Draw(DrawHTML::modeDraw, stage.page.dc, &drawRect, p, n, list, tools));
        const bool sameRect = drawRect.left == rect.left && drawRect.right == rect.right && drawRect.top == rect.top
            && drawRect.bottom == rect.bottom;
        if (sameRect) {
            EXPECT_EQ(drawn, measured);
        }
        EXPECT_EQ(GetCurrentObject(stage.page.dc, OBJ_FONT), before);
        // Geometry is only promised for a drawing pass in the measured
        // rectangle; any other must merely stay in its memory.
        if (list && sameRect)
            ExpectLinksInside(*list, drawRect, "drawing");
        if (list) {
            const int x = static_cast<int>(rng.Below(300)) - 20, y = static_cast<int>(rng.Below(300)) - 20;
            DrawHTMLLinkArea* area = html.FindLinkArea(list, x, y);
            EXPECT_EQ(html.GetLinkAreaID(list, x, y), area ? area->id : 0u);
        }
        if (rng.OneIn(16))
            stage.page.Fill(RGB(255, 255, 255));
        if (testing::Test::HasFailure())
            KeepFailure("DrawHTML_Draw", i, text, length, rect, drawRect);
    });
}

TEST(Robustness, HtmlDrawDeepNesting)
{
    Trial trial("DrawHTML_nesting");
    Stage stage;
    PageEndBlock block;
    DrawHTML html(1000);
    DrawHTMLLinks links;
    const HGDIOBJ before = GetCurrentObject(stage.page.dc, OBJ_FONT);
    const int depth = 100000;
    std::vector<std::wstring> texts;
    for (const wchar_t* open : {L"<B>", L"<A>", L"<NOBR>", L"<CENTER>", L"<RED>", L"<T>", L"</B>"}) {
        std::wstring text;
        for (int i = 0; i < depth; ++i)
            text += open;
        texts.push_back(text + L"deep");
    }
    std::wstring alternating;
    for (int i = 0; i < depth; ++i)
        alternating += i % 2 ? L"<A3>" : L"<I>";
    texts.push_back(alternating + L"x");

    size_t i = 0;
    trial.Run(texts.size(), [&](size_t) {
        const std::wstring& text = texts[i % texts.size()];
        trial.Begin(i++, text);
        // Cut inside the last tag as well as whole.
        for (size_t length : {text.size(), text.size() - 6}) {
            const wchar_t* p = block.PlaceChars(text.c_str(), length);
            RECT rect = {0, 0, 180, 200};
            const DWORD start = GetTickCount();
            const int measured = FUZZ_CALL(
                trial, html.Draw(DrawHTML::modeMeasure, stage.page.dc, &rect, p, static_cast<unsigned>(length), &links,
                                 &stage.custom));
            EXPECT_EQ(FUZZ_CALL(trial, html.Draw(DrawHTML::modeDraw, stage.page.dc, &rect, p,
                                                 static_cast<unsigned>(length), &links, &stage.custom)),
                      measured);
            const DWORD took = GetTickCount() - start;
            std::printf("[ robustness ] %.8ls... (%zu characters): %lu ms\n", text.c_str(), length, took);
            EXPECT_LT(took, 10000u);
            EXPECT_EQ(GetCurrentObject(stage.page.dc, OBJ_FONT), before);
            ExpectLinksInside(links, rect, "nested");
        }
    });
}

TEST(Robustness, HtmlStripTags)
{
    Trial trial("DrawHTML_strip");
    Rng& rng = trial.rng;
    const std::vector<std::wstring> seeds = MarkupSeeds();
    Mutator<wchar_t> mutator(rng, MarkupTokens(), 6000);
    PageEndBlock in;
    PageEndBlock out;

    trial.Run(5000, mutator, seeds, [&](const std::wstring& text, size_t) {
        const std::wstring z = text + L'\0';
        const wchar_t* p = in.PlaceChars(z.c_str(), z.size());
        const unsigned need = FUZZ_CALL(trial, DrawHTML::GetHTMLTextStripTags(p, nullptr, 0));
        EXPECT_GE(need, 1u);
        EXPECT_LE(need, wcslen(p) + 1) << "more plain text than markup";
        int count;
        switch (rng.Below(4)) {
        case 0:
            count = static_cast<int>(need);
            break;
        case 1:
            count = static_cast<int>(rng.Below(need + 1));
            break;
        case 2:
            count = static_cast<int>(need + rng.Below(8));
            break;
        default:
            count = static_cast<int>(rng.Below(4));
            break;
        }
        wchar_t* s = out.Chars(static_cast<size_t>(count));
        EXPECT_EQ(FUZZ_CALL(trial, DrawHTML::GetHTMLTextStripTags(p, s, count)), need);
        if (count > 0) {
            EXPECT_LT(wcsnlen(s, static_cast<size_t>(count)), static_cast<size_t>(count)) << "not terminated";
        }
        // The bounded matchers on the same text without its terminator.
        const size_t length = wcslen(p);
        const wchar_t* cut = in.PlaceChars(text.c_str(), length);
        const wchar_t* q = cut;
        const wchar_t* item = rng.OneIn(2) ? L"<BR>" : L"&nbsp;";
        FUZZ_CALL(trial, DrawHTML::IsNextItem(q, cut + length, item));
        EXPECT_TRUE(q >= cut && q <= cut + length);
        const wchar_t* found = FUZZ_CALL(trial, DrawHTML::FindNextItem(cut, cut + length, item));
        EXPECT_TRUE(!found || (found >= cut && found + wcslen(item) <= cut + length));
    });
}

} // namespace
