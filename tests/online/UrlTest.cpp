// Page URLs: the base URL, one slash, "go/?p=" and the page key, cut where
// the buffer ends; the product parameters joined by the query separator
// rule, as the browser receives them.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "PVDLL.h"
#include "common/OnlineSupport.h"
#include "common/PageEnd.h"

namespace {

std::wstring ProductParameters()
{
    ProductInfo* product = GetMyProductInfo();
    return std::wstring(L"p=") + product->GetStoreID() + L"&v=" + product->GetVersionStr() + L"&r="
        + std::to_wstring(product->GetRevisionNum()) + L"&a=" + product->GetLanguage();
}

} // namespace

TEST(CompanyUrl, IsTheBuildSettingReadThroughTheImportLibrary)
{
    ASSERT_NE(pszMyCompanyURL, nullptr);
    EXPECT_EQ(std::wstring(pszMyCompanyURL), BuiltSite());
    // The plain name is there for callers that look it up by name.
    HMODULE library = GetModuleHandleW(L"PVDLL.dll");
    auto* byName = reinterpret_cast<const wchar_t* const*>(GetProcAddress(library, "pszMyCompanyURL"));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(*byName, pszMyCompanyURL);
}

TEST(PageUrl, JoinsBasePathAndPageKeyWithOneSlash)
{
    wchar_t url[256];
    {
        BaseUrl base(L"https://example.test");
        EXPECT_EQ(MakeGoOnlineURL(url, 256, L"translate"), url);
        EXPECT_STREQ(url, L"https://example.test/go/?p=translate");
    }
    {
        BaseUrl base(L"https://example.test/");
        MakeGoOnlineURL(url, 256, L"translate");
        EXPECT_STREQ(url, L"https://example.test/go/?p=translate");
    }
    MakeGoOnlineURL(url, 256, L"rate-launchora");
    EXPECT_EQ(std::wstring(url), BuiltPageUrl(L"rate-launchora"));
}

TEST(PageUrl, PageKeyIsAFormatForTheFurtherArguments)
{
    wchar_t url[256];
    MakeGoOnlineURL(url, 256, L"%s-%d", L"launchora-help", 7);
    EXPECT_EQ(std::wstring(url), BuiltPageUrl(L"launchora-help-7"));
}

TEST(PageUrl, IsCutAtEveryCapacityAndStaysTerminated)
{
    // Every capacity from 1 to past the whole URL, the buffer ending at a
    // no-access page: each cut is the whole URL's beginning.
    BaseUrl base(L"https://example.test");
    const std::wstring whole = L"https://example.test/go/?p=improve-translation";
    PageEndBlock block;
    for (unsigned cch = 1; cch <= whole.size() + 2; ++cch) {
        wchar_t* url = block.Chars(cch);
        MakeGoOnlineURL(url, cch, L"improve-translation");
        size_t length = wcsnlen(url, cch);
        ASSERT_LT(length, cch) << "not terminated at capacity " << cch;
        EXPECT_EQ(std::wstring(url), whole.substr(0, cch - 1)) << "capacity " << cch;
    }
    // A base that alone fills the buffer: no slash or key squeezed past it.
    BaseUrl longBase(L"https://a-very-long-host-name.example.test");
    wchar_t* url = block.Chars(10);
    MakeGoOnlineURL(url, 10, L"translate");
    EXPECT_STREQ(url, L"https://a");
    // A capacity of 0 writes nothing.
    wchar_t untouched[2] = {L'x', L'y'};
    MakeGoOnlineURL(untouched, 0, L"translate");
    EXPECT_EQ(untouched[0], L'x');
}

TEST(PageUrl, AFormattedKeyIsCutToo)
{
    PageEndBlock block;
    std::wstring longKey(3000, L'k');
    wchar_t* url = block.Chars(64);
    MakeGoOnlineURL(url, 64, L"%s", longKey.c_str());
    EXPECT_EQ(std::wstring(url), BuiltPageUrl(longKey).substr(0, 63));
}

// The URL reaches the browser that the base URL's protocol names.
class ProductUrl : public testing::Test {
protected:
    void SetUp() override { classes.Protocol(L"pvtestproto"); }

    TestClasses classes;
    BrowserMarker marker;
    ModalWatchdog watchdog;
};

TEST_F(ProductUrl, ProductParametersFollowThePageKeyWithAnAmpersand)
{
    BaseUrl base(L"pvtestproto://site");
    EXPECT_EQ(GoOnline_Lang(nullptr, L"translate", nullptr), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"\"pvtestproto://site/go/?p=translate&" + ProductParameters() + L"\""), std::wstring::npos)
        << "the browser got: " << testing::PrintToString(line);
}

TEST_F(ProductUrl, LanguageCodeFollowsWithAnotherAmpersand)
{
    BaseUrl base(L"pvtestproto://site/");
    EXPECT_EQ(GoOnline_Translate(nullptr, L"de"), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(
        line.find(L"\"pvtestproto://site/go/?p=translate&" + ProductParameters() + L"&c=de\""), std::wstring::npos)
        << "the browser got: " << testing::PrintToString(line);
}

TEST_F(ProductUrl, ImproveTranslationOpensItsOwnPage)
{
    BaseUrl base(L"pvtestproto://site");
    EXPECT_EQ(GoOnline_ImproveTranslation(nullptr, L"pt-BR"), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"pvtestproto://site/go/?p=improve-translation&" + ProductParameters() + L"&c=pt-BR"),
        std::wstring::npos)
        << "the browser got: " << testing::PrintToString(line);
}

TEST(ProductUrlCut, AVeryLongBaseCutsTheUrlInsteadOfOverrunning)
{
    // A base longer than the 2048-character work buffer: the URL is the
    // buffer's worth of it, and nothing else is written.
    std::wstring longBase = L"pvtestnone://" + std::wstring(3000, L'h');
    BaseUrl base(longBase.c_str());
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(GoOnline_Lang(nullptr, L"translate", L"de"), 1);
    ASSERT_FALSE(spy.Calls().empty());
    EXPECT_EQ(spy.Calls()[0].file, longBase.substr(0, 2047));
}

TEST(ProductUrlCut, AVeryLongPageKeyOrLanguageCodeIsCutToo)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    std::wstring longKey(3000, L'k');
    std::wstring longLanguage(3000, L'l');
    EXPECT_EQ(GoOnline_Lang(nullptr, longKey.c_str(), nullptr), 1);
    EXPECT_EQ(GoOnline_Lang(nullptr, L"translate", longLanguage.c_str()), 1);
    ASSERT_EQ(spy.Calls().size(), 2u);
    const std::wstring base = BuiltPageUrl(L"");
    EXPECT_EQ(spy.Calls()[0].file, (base + longKey).substr(0, 2047));
    // The language parameter is cut at its own 256 characters.
    const std::wstring& second = spy.Calls()[1].file;
    size_t c = second.find(L"&c=");
    ASSERT_NE(c, std::wstring::npos);
    EXPECT_EQ(second.substr(c + 1), (L"c=" + longLanguage).substr(0, 255));
}

TEST(GoOnline, OpensThePageUrlWithoutAsking)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(GoOnline(nullptr, L"launchora-help"), 1);
    EXPECT_EQ(GoWinStore(nullptr), 1);
    ASSERT_EQ(spy.Calls().size(), 2u);
    EXPECT_EQ(spy.Calls()[0].file, BuiltPageUrl(L"launchora-help"));
    EXPECT_EQ(spy.Calls()[1].file, BuiltPageUrl(L"rate-launchora"));
    EXPECT_EQ(MsgExGetOpenBox(), nullptr);
}
