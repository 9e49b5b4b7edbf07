// The update server's answer record: the four entries it keeps from INI
// text, whatever their section and case, cut to the record's size, and the
// same read from a real answer with each of its marks.
#include <gtest/gtest.h>

#include <string>

#include "HttpTestSupport.h"
#include "PVDLL.h"
#include "common/LocalHttpServer.h"

namespace {

TEST(UpdateIni, KeepsTheFourEntriesOfAnUpdateAnswer)
{
    UpdateIni ini;
    ASSERT_TRUE(ini.Parse(L"[dl]\r\nversion=21.8\r\ndescr=<b>Faster</b> start menu\r\n"
                          L"urlmoreinfo=https://www.corvenna.com/news\r\n"
                          L"urldownload=https://www.corvenna.com/get/launchora.exe\r\n"));
    EXPECT_STREQ(ini.szVersion, L"21.8");
    EXPECT_STREQ(ini.szDescr, L"<b>Faster</b> start menu");
    EXPECT_STREQ(ini.szUrlMoreInfo, L"https://www.corvenna.com/news");
    EXPECT_STREQ(ini.szUrlDownload, L"https://www.corvenna.com/get/launchora.exe");
}

TEST(UpdateIni, KeysAreMatchedInAnyCaseAndInAnySection)
{
    UpdateIni ini;
    ASSERT_TRUE(ini.Parse(L"[dl]\nVERSION=22.0\nUrlDownload=http://x/d\n[more]\nDescr=second section\n"
                          L"URLMOREINFO=http://x/i\n"));
    EXPECT_STREQ(ini.szVersion, L"22.0");
    EXPECT_STREQ(ini.szDescr, L"second section");
    EXPECT_STREQ(ini.szUrlMoreInfo, L"http://x/i");
    EXPECT_STREQ(ini.szUrlDownload, L"http://x/d");
}

TEST(UpdateIni, AbsentEntriesAreEmptyAndOthersArePassedOver)
{
    UpdateIni ini;
    ASSERT_TRUE(ini.Parse(L"[dl]\r\nurlmoreinfo=http://x/i\r\nsize=1234\r\nversions=9\r\n; note\r\n"));
    EXPECT_STREQ(ini.szVersion, L"");
    EXPECT_STREQ(ini.szDescr, L"");
    EXPECT_STREQ(ini.szUrlMoreInfo, L"http://x/i");
    EXPECT_STREQ(ini.szUrlDownload, L"");
}

TEST(UpdateIni, OverlongValuesAreCutTo259Characters)
{
    const std::wstring longUrl = L"http://x/" + std::wstring(2000, L'u');
    const std::wstring text = L"[dl]\r\nurldownload=" + longUrl + L"\r\ndescr=" + std::wstring(259, L'd') + L"\r\n";
    UpdateIni ini;
    ASSERT_TRUE(ini.Parse(text.c_str()));
    EXPECT_EQ(std::wstring(ini.szUrlDownload), longUrl.substr(0, 259));
    EXPECT_EQ(std::wstring(ini.szDescr), std::wstring(259, L'd'));
}

TEST(UpdateIni, AnotherAnswerLeavesNothingOfTheFirst)
{
    UpdateIni ini;
    ASSERT_TRUE(ini.Parse(L"[dl]\nversion=1\ndescr=old\nurlmoreinfo=a\nurldownload=b\n"));
    ini.Parse(L"[dl]\nversion=2\n");
    EXPECT_STREQ(ini.szVersion, L"2");
    EXPECT_STREQ(ini.szDescr, L"");
    EXPECT_STREQ(ini.szUrlMoreInfo, L"");
    EXPECT_STREQ(ini.szUrlDownload, L"");
    ini.Parse(L"");
    EXPECT_STREQ(ini.szVersion, L"");
}

TEST(UpdateIni, ATruncatedAnswerKeepsWhatCameWhole)
{
    UpdateIni ini;
    ini.Parse(L"[dl]\r\nversion=21.8\r\ndescr=Half a sen");
    EXPECT_STREQ(ini.szVersion, L"21.8");
    EXPECT_STREQ(ini.szDescr, L"Half a sen");
}

// The answer as the server sends it, read by SendHttp and then parsed.
class UpdateAnswer : public testing::TestWithParam<std::string> {
protected:
    LocalHttpServer server;
};

TEST_P(UpdateAnswer, IsReadWithEveryMark)
{
    ASSERT_NE(server.Port(), 0);
    const std::wstring text = L"[dl]\r\nversion=21.8\r\ndescr=Neue Men\x00FC"
                              L"s\r\nurldownload=http://x/d\r\n";
    const std::string mark = GetParam();
    std::string bytes;
    if (mark == "utf8") {
        bytes = Bytes({0xEF, 0xBB, 0xBF});
        int n
            = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
        bytes += utf8;
    } else if (mark == "utf16") {
        bytes = Bytes({0xFF, 0xFE});
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    } else {
        bytes = Ansi(text);
    }
    server.Answer(bytes);
    HttpAnswer answer(SendHttpToPort(
        LocalHttpServer::Host(), server.Port(), L"updates/index.php", 1024, L"app=launchora", 5, nullptr, 0));
    ASSERT_TRUE(answer);
    ASSERT_EQ(std::wstring(answer.get()).rfind(L"[dl]", 0), 0u);
    UpdateIni ini;
    ASSERT_TRUE(ini.Parse(answer.get()));
    EXPECT_STREQ(ini.szVersion, L"21.8");
    EXPECT_EQ(std::wstring(ini.szDescr), mark == "ansi" ? FromAnsi(Ansi(L"Neue Men\x00FCs")) : L"Neue Men\x00FCs");
    EXPECT_STREQ(ini.szUrlDownload, L"http://x/d");
}

INSTANTIATE_TEST_SUITE_P(Marks, UpdateAnswer, testing::Values("ansi", "utf8", "utf16"));

} // namespace
