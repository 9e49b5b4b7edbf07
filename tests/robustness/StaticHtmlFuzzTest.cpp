// The markup builders of the static HTML control on mutated outside text
// and formats. Texts end with their terminator right before a no-access
// page, and every output ends at a page end of exactly the count given, so
// a read or write one character too far faults.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"
#include "ui/html/ZnStaticHTML.h"

namespace {

std::vector<std::wstring> TextSeeds()
{
    const std::wstring huge(600, L'w');
    std::wstring pairs;
    for (int i = 0; i < 300; ++i)
        pairs += L"\xD83D\xDE00";
    return {L"Open the folder", L"<B>bold</B> &amp; text", L"", huge, pairs, L"%s %d %n %%", L"\xD83D"};
}

std::vector<std::wstring> FormatSeeds()
{
    return {L"<RED>%s</RED>", L"<B>%s</B>%%", L"%s", L"", L"no text", L"%d", L"%s%s", L"%", L"100%% <A>%s</A>", L"%ls",
        L"%n", L"%S"};
}

std::vector<std::wstring> Tokens()
{
    std::vector<std::wstring> tokens = WideTokens();
    for (const wchar_t* t :
        {L"%", L"%s", L"%%", L"%d", L"%n", L"%ls", L"%*s", L"%.3s", L"<A>", L"</a>", L"\xD83D", L"\xDE00", L"&amp;"})
        tokens.emplace_back(t);
    return tokens;
}

// An output size: around the text's needs, tiny, or exactly the tags.
unsigned int PickCount(Rng& rng, size_t need)
{
    switch (rng.Below(4)) {
    case 0:
        return static_cast<unsigned int>(need);
    case 1:
        return static_cast<unsigned int>(rng.Below(need + 2));
    case 2:
        return static_cast<unsigned int>(rng.Below(10));
    default:
        return static_cast<unsigned int>(need + rng.Below(8));
    }
}

TEST(Robustness, StaticHtmlMakeLink)
{
    Trial trial("ZnStaticHTML_MakeLink");
    Rng& rng = trial.rng;
    const std::vector<std::wstring> seeds = TextSeeds();
    Mutator<wchar_t> mutator(rng, Tokens(), 2000);
    PageEndBlock in;
    PageEndBlock out;

    trial.Run(5000, mutator, seeds, [&](const std::wstring& text, size_t) {
        const std::wstring z = text + L'\0';
        const wchar_t* p = in.PlaceChars(z.c_str(), z.size());
        const size_t length = wcslen(p);
        const unsigned int count = PickCount(rng, length + 8);
        wchar_t* s = out.Chars(count);
        const unsigned int written = FUZZ_CALL(trial, ZnStaticHTML::MakeLink(s, count, p));
        if (count == 0)
            return;
        ASSERT_LT(wcsnlen(s, count), static_cast<size_t>(count)) << "not terminated";
        EXPECT_EQ(written, wcslen(s));
        if (count < 8) {
            EXPECT_EQ(written, 0u) << "the tags cannot fit";
            return;
        }
        const std::wstring built(s);
        EXPECT_EQ(built.rfind(L"<A>", 0), 0u);
        ASSERT_GE(built.size(), 7u);
        EXPECT_EQ(built.substr(built.size() - 4), L"</a>") << "the closing tag was cut";
        const std::wstring kept = built.substr(3, built.size() - 7);
        EXPECT_EQ(std::wstring(p, kept.size()), kept) << "the text is a prefix of the given one";
        if (kept.size() < length) {
            const wchar_t next = p[kept.size()];
            EXPECT_FALSE(
                !kept.empty() && kept.back() >= 0xD800 && kept.back() <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF)
                << "half a pair";
        }
    });
}

TEST(Robustness, StaticHtmlMakeHtml)
{
    Trial trial("ZnStaticHTML_MakeHtml");
    Rng& rng = trial.rng;
    const std::vector<std::wstring> formats = FormatSeeds();
    const std::vector<std::wstring> texts = TextSeeds();
    Mutator<wchar_t> mutator(rng, Tokens(), 600);
    PageEndBlock formatIn;
    PageEndBlock textIn;
    PageEndBlock out;

    trial.Run(5000, mutator, formats, [&](const std::wstring& format, size_t) {
        const std::wstring f = format + L'\0';
        const wchar_t* fp = formatIn.PlaceChars(f.c_str(), f.size());
        const std::wstring t = mutator.Mutate(rng.Pick(texts), texts) + L'\0';
        const wchar_t* tp = textIn.PlaceChars(t.c_str(), t.size());
        const unsigned int count = PickCount(rng, wcslen(fp) + wcslen(tp) + 1);
        wchar_t* s = out.Chars(count);
        const unsigned int written = FUZZ_CALL(trial, ZnStaticHTML::MakeHtml(s, count, fp, tp));
        if (count == 0)
            return;
        ASSERT_LT(wcsnlen(s, count), static_cast<size_t>(count)) << "not terminated";
        EXPECT_EQ(written, wcslen(s));
        EXPECT_LE(wcslen(s), wcslen(fp) + wcslen(tp)) << "more than the format and the text";
    });
}

} // namespace
