// The starting font and colours, the plain text of markup and the item
// matchers the parser is made of.
#include <gtest/gtest.h>

#include "HtmlProbe.h"
#include "common/GuardedBuffer.h"

using namespace html;

namespace {

TEST(HtmlTools, StartWithTheGuiFontAndTheButtonColours)
{
    DrawHTMLTools tools;
    EXPECT_EQ(tools.defaultFont, DrawHTMLTools::fontGui);
    EXPECT_EQ(tools.GetFont(), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(tools.textColor, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(tools.GetBkgColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(tools.linkColor, GetSysColor(COLOR_HOTLIGHT));

    DrawHTMLTools variable(DrawHTMLTools::fontVariable);
    EXPECT_EQ(variable.GetFont(), GetStockObject(ANSI_VAR_FONT));
    DrawHTMLTools fixed(DrawHTMLTools::fontFixed);
    EXPECT_EQ(fixed.GetFont(), GetStockObject(ANSI_FIXED_FONT));
}

TEST(HtmlTools, UpdateForgetsTheCallersColours)
{
    DrawHTMLTools tools;
    tools.SetLinkColor(RGB(1, 2, 3));
    tools.SetBkgColor(RGB(4, 5, 6));
    EXPECT_EQ(tools.linkColor, RGB(1, 2, 3));
    EXPECT_EQ(tools.GetBkgColor(), RGB(4, 5, 6));
    tools.Update();
    EXPECT_EQ(tools.linkColor, GetSysColor(COLOR_HOTLIGHT));
    EXPECT_EQ(tools.GetBkgColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(tools.GetFont(), GetStockObject(DEFAULT_GUI_FONT));
}

TEST(HtmlTools, FixedFontSwitchesBetweenTheStockFonts)
{
    DrawHTMLTools tools;
    tools.SetFixedFont(1);
    EXPECT_EQ(tools.GetFont(), GetStockObject(ANSI_FIXED_FONT));
    tools.Update();
    EXPECT_EQ(tools.GetFont(), GetStockObject(ANSI_FIXED_FONT));
    tools.SetFixedFont(0);
    EXPECT_EQ(tools.GetFont(), GetStockObject(DEFAULT_GUI_FONT));
}

TEST(HtmlTools, TheCallersFontIsUsedKeptAndNeverDeleted)
{
    Font mine, other;
    {
        DrawHTMLTools tools;
        tools.SetCustomFont(mine);
        EXPECT_EQ(tools.GetFont(), static_cast<HFONT>(mine));
        EXPECT_EQ(tools.defaultFont, DrawHTMLTools::fontCustom);
        tools.Update();
        EXPECT_EQ(tools.GetFont(), static_cast<HFONT>(mine));
        tools.SetCustomFont(other);
        EXPECT_EQ(tools.GetFont(), static_cast<HFONT>(other));
    }
    EXPECT_EQ(GetObjectType(mine), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(other), static_cast<DWORD>(OBJ_FONT));
}

std::wstring Strip(const std::wstring& html)
{
    AtPageEnd guarded(html.c_str(), html.size() + 1);
    unsigned need = DrawHTML::GetHTMLTextStripTags(guarded.Get(), nullptr, 0);
    std::vector<wchar_t> out(need + 1, L'#');
    unsigned got = DrawHTML::GetHTMLTextStripTags(guarded.Get(), out.data(), static_cast<int>(need));
    EXPECT_EQ(got, need);
    EXPECT_EQ(out[need], L'#') << "wrote past the count";
    EXPECT_EQ(wcslen(out.data()) + 1, need);
    return out.data();
}

TEST(HtmlStripTags, BreaksBecomeCrLfAndOtherTagsGo)
{
    const struct {
        const wchar_t* html;
        const wchar_t* plain;
    } cases[] = {
        {L"", L""},
        {L"plain", L"plain"},
        {L"one<BR>two", L"one\r\ntwo"},
        {L"one<br>two<Br>", L"one\r\ntwo\r\n"},
        {L"<B>bold</B> and <FOO>x<BRHALF>y", L"bold and xy"},
        {L"x &amp; &lt;y&gt; &nbsp;", L"x &amp; &lt;y&gt; &nbsp;"},
        {L"kept<b never closed", L"kept"},
        {L"<", L""},
        {L"a<>b", L"ab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Strip(c.html), c.plain) << std::string(c.html, c.html + wcslen(c.html));
}

TEST(HtmlStripTags, WritesNoMoreThanTheCountAndTellsTheWholeLength)
{
    const wchar_t* html = L"<B>abc</B>def<BR>gh";
    const std::wstring whole = L"abcdef\r\ngh";
    EXPECT_EQ(DrawHTML::GetHTMLTextStripTags(html, nullptr, 0), whole.size() + 1);
    EXPECT_EQ(DrawHTML::GetHTMLTextStripTags(html, nullptr, 5), whole.size() + 1);
    for (int count = 0; count <= static_cast<int>(whole.size()) + 2; ++count) {
        GuardedBuffer<wchar_t> out(static_cast<size_t>(count), L'#');
        EXPECT_EQ(DrawHTML::GetHTMLTextStripTags(html, out.data(), count), whole.size() + 1);
        EXPECT_TRUE(out.GuardIntact()) << "count " << count;
        if (count == 0)
            continue;
        std::wstring written(out.data(), wcsnlen(out.data(), static_cast<size_t>(count)));
        EXPECT_LT(written.size(), static_cast<size_t>(count)) << "not terminated at count " << count;
        EXPECT_EQ(whole.compare(0, written.size(), written), 0) << "count " << count;
        if (count > static_cast<int>(whole.size())) {
            EXPECT_EQ(written, whole);
        }
    }
}

TEST(HtmlItems, IsNextItemIgnoresCaseAndStepsOverTheItem)
{
    const wchar_t* text = L"<bR>rest";
    const wchar_t* p = text;
    EXPECT_TRUE(DrawHTML::IsNextItem(p, L"<BR>"));
    EXPECT_EQ(p, text + 4);
    p = text;
    EXPECT_FALSE(DrawHTML::IsNextItem(p, L"<BRHALF>"));
    EXPECT_EQ(p, text);
    EXPECT_FALSE(DrawHTML::IsNextItem(p, L"<B>"));
    EXPECT_EQ(p, text);
}

TEST(HtmlItems, BoundedIsNextItemNeverReadsAtOrPastTheEnd)
{
    // No terminator: the text's last character is the page's last.
    AtPageEnd cut(L"&am", 3);
    const wchar_t* p = cut.Get();
    EXPECT_FALSE(DrawHTML::IsNextItem(p, cut.Get() + 3, L"&amp;"));
    EXPECT_EQ(p, cut.Get());
    AtPageEnd whole(L"<BR>", 4);
    p = whole.Get();
    EXPECT_TRUE(DrawHTML::IsNextItem(p, whole.Get() + 4, L"<br>"));
    EXPECT_EQ(p, whole.Get() + 4);
    // The end counts even when more text lies behind it.
    const wchar_t* text = L"<BR>";
    p = text;
    EXPECT_FALSE(DrawHTML::IsNextItem(p, text + 3, L"<BR>"));
}

TEST(HtmlItems, FindNextItemFindsTheFirstPlaceIgnoringCase)
{
    const wchar_t* text = L"one <b>two</B> <B>";
    EXPECT_EQ(DrawHTML::FindNextItem(text, L"</b>"), text + 10);
    EXPECT_EQ(DrawHTML::FindNextItem(text, L"<B>"), text + 4);
    EXPECT_EQ(DrawHTML::FindNextItem(text + 5, L"<B>"), text + 15);
    EXPECT_EQ(DrawHTML::FindNextItem(text, L"<I>"), nullptr);
    // The unbounded form ends at the terminator.
    const wchar_t hidden[] = L"abc\0<B>";
    EXPECT_EQ(DrawHTML::FindNextItem(hidden, L"<B>"), nullptr);
}

TEST(HtmlItems, BoundedFindNextItemNeverReadsAtOrPastTheEnd)
{
    AtPageEnd cut(L"text </NOBR", 11);
    const wchar_t* end = cut.Get() + 11;
    EXPECT_EQ(DrawHTML::FindNextItem(cut.Get(), end, L"</NOBR>"), nullptr);
    EXPECT_EQ(DrawHTML::FindNextItem(cut.Get(), end, L"</nobr"), cut.Get() + 5);
    EXPECT_EQ(DrawHTML::FindNextItem(cut.Get(), end, L"R"), cut.Get() + 10);
    EXPECT_EQ(DrawHTML::FindNextItem(end, end, L"x"), nullptr);
    const wchar_t* text = L"ab<T>";
    EXPECT_EQ(DrawHTML::FindNextItem(text, text + 4, L"<T>"), nullptr);
}

} // namespace
