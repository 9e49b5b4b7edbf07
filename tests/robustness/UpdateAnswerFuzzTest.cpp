// Hostile answers to the update check, judged as the check judges them:
// through a real local server into the check's own request (random bytes,
// truncated INI, overlong fields, every byte-order mark, answers cut
// mid-way or without any HTTP around them), and many more straight into the
// judgement with the text and the record ending at a no-access page. Every
// answer gets one clear verdict, an offer only ever names a web address,
// and nothing is read or written out of bounds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <new>
#include <string>

#include "Fuzz.h"
#include "HostileReplies.h"
#include "PVDLL.h"
#include "common/LocalHttpServer.h"
#include "common/PageEnd.h"
#include "online/internal/UpdateAnswer.h"
#include "online/internal/UrlText.h"

namespace {

constexpr unsigned fieldCap = UpdateIni::fieldSize;

std::vector<std::string> AnswerSeeds()
{
    const std::string offer = "[dl]\r\nversion=21.8\r\ndescr=<b>New</b> menus\r\nurlmoreinfo=https://example.test/"
                              "news\r\nurldownload=https://example.test/get/launchora.exe\r\n";
    return {
        offer,
        "\xEF\xBB\xBF" + offer,
        Utf16Bytes(offer),
        "\xFE\xFF" + offer,
        "[dl]\nurlmoreinfo=http://example.test/more\n",
        "[dl]\nurldownload=file:///C:/windows/system32/calc.exe\nurlmoreinfo=https://example.test/\n",
        "[dl]\nurldownload=C:\\windows\\notepad.exe\n",
        "[dl]\nurldownload=https://example.test/ok\nurlmoreinfo=javascript:alert(1)\n",
        "[dl]\nURLDOWNLOAD=https://" + std::string(400, 'h') + "\nDESCR=" + std::string(3000, 'd') + "\n",
        "[dl]\r\nversion=21.8\r\ndescr=Half",
        "[dl]\r\nurldownload=http",
        "[dl]",
        "OK.",
        "ok",
        "OK.\r\n",
        "error Database busy",
        "ERROR" + std::string(1100, ' ') + "late",
        "errorx",
        "<html>502</html>",
        "\xEF",
        "\xEF\xBB",
        "\xFF\xFE\x41",
        "",
    };
}

// The verdict is one of the five and its pointers say what it promises.
void CheckJudgement(const UpdateAnswer& judged, const wchar_t* answer, const UpdateIni& record)
{
    ASSERT_NE(judged.reason, nullptr);
    ASSERT_NE(judged.url, nullptr);
    for (const wchar_t* field : {record.szVersion, record.szDescr, record.szUrlMoreInfo, record.szUrlDownload})
        EXPECT_LT(wcsnlen(field, fieldCap), fieldCap) << "a field runs past its size";
    switch (judged.verdict) {
    case UpdateVerdict::offer:
        EXPECT_TRUE(judged.url == record.szUrlDownload || judged.url == record.szUrlMoreInfo)
            << "the address comes from the record";
        EXPECT_TRUE(UrlText::IsWebUrl(judged.url)) << "an offer opens a web address only";
        EXPECT_TRUE(!record.szUrlMoreInfo[0] || UrlText::IsWebUrl(record.szUrlMoreInfo))
            << "the dialog's link is a web address or none";
        EXPECT_STREQ(judged.reason, L"");
        break;
    case UpdateVerdict::error: {
        size_t length = wcslen(answer);
        EXPECT_TRUE(!judged.reason[0] || (judged.reason >= answer && judged.reason <= answer + length))
            << "the reason lies inside the answer";
        EXPECT_STREQ(judged.url, L"");
        break;
    }
    case UpdateVerdict::noAnswer:
    case UpdateVerdict::upToDate:
    case UpdateVerdict::refused:
        EXPECT_STREQ(judged.reason, L"");
        EXPECT_STREQ(judged.url, L"");
        break;
    default:
        ADD_FAILURE() << "no such verdict: " << static_cast<int>(judged.verdict);
    }
}

// The product's settings below a key of the test's own, with the update
// server pointing at the local one.
class ServerSetting {
public:
    explicit ServerSetting(unsigned short port)
        : sub(L"Software\\PVDLLFuzzCheck-" + std::to_wstring(GetCurrentProcessId()))
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
        GetMyProductInfo()->PushAppRootKey((L"HKCU\\" + sub).c_str());
        std::wstring text = L"127.0.0.1:" + std::to_wstring(port);
        RegSetKeyValueW(HKEY_CURRENT_USER, (sub + L"\\Setup").c_str(), L"UpdateServer", REG_SZ, text.c_str(),
            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    ~ServerSetting()
    {
        GetMyProductInfo()->PopAppRootKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
    }
    ServerSetting(const ServerSetting&) = delete;
    ServerSetting& operator=(const ServerSetting&) = delete;

private:
    std::wstring sub;
};

} // namespace

TEST(Robustness, UpdateCheckAnswersFromTheServer)
{
    LocalHttpServer server;
    ASSERT_NE(server.Port(), 0) << "the local server could not listen";
    ServerSetting setting(server.Port());
    Trial trial("UpdateCheck_Server");
    Rng& rng = trial.rng;
    const std::vector<std::string> seeds = AnswerSeeds();
    Mutator<char> mutator(rng, ByteTokens(), 6000);
    wchar_t query[check4UpdatesQueryChars];
    MakeCheck4UpdatesQuery(query, check4UpdatesQueryChars);

    size_t verdicts[5] = {};
    trial.Run(200, mutator, seeds, [&](std::string& bytes, size_t) {
        server.SetReply(HostileReply(rng, bytes, 1500));
        wchar_t* answer = FUZZ_CALL(trial, SendCheck4UpdatesQuery(query, 3));
        UpdateIni record;
        UpdateAnswer judged = FUZZ_CALL(trial, JudgeUpdateAnswer(answer, record));
        CheckJudgement(judged, answer, record);
        if (!answer) {
            EXPECT_EQ(judged.verdict, UpdateVerdict::noAnswer);
        }
        ++verdicts[static_cast<int>(judged.verdict) % 5];
        FreeDllBuf(answer);
    });
    std::printf("[ robustness ] UpdateCheck_Server: %zu no answer, %zu up to date, %zu offers, %zu refused, "
                "%zu errors\n",
        verdicts[0], verdicts[1], verdicts[2], verdicts[3], verdicts[4]);
}

// Far more answers than the network allows, straight into the judgement:
// the answer ends at a no-access page, and so does the record, whose last
// field is the last thing in it.
TEST(Robustness, UpdateCheckAnswerJudgement)
{
    Trial trial("UpdateCheck_Judge");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds;
    for (const std::string& bytes : AnswerSeeds())
        seeds.emplace_back(bytes.begin(), bytes.end());
    seeds.push_back(L"[dl]\r\nurldownload=https://example.test/" + std::wstring(300, L'u') + L"\r\nurlmoreinfo=https://"
        + std::wstring(1100, L'i') + L"\r\n");
    seeds.push_back(L"[dl]\nurldownload=HTTPS://EXAMPLE.TEST/\x3000\nurlmoreinfo=http://x/\"\n");
    Mutator<wchar_t> mutator(rng, WideTokens(), 6000);
    PageEndBlock input;
    PageEndBlock recordMemory;
    static_assert(sizeof(UpdateIni) % alignof(UpdateIni) == 0);

    size_t offers = 0;
    trial.Run(3000, mutator, seeds, [&](std::wstring& text, size_t) {
        UpdateIni* record = new (recordMemory.Resize(sizeof(UpdateIni))) UpdateIni;
        ASSERT_EQ(reinterpret_cast<char*>(record->szUrlDownload + fieldCap), reinterpret_cast<char*>(record + 1))
            << "the last field ends the record, at the guard page";
        std::wstring z = text + L'\0';
        const wchar_t* answer = input.PlaceChars(z.c_str(), z.size());
        UpdateAnswer judged = FUZZ_CALL(trial, JudgeUpdateAnswer(answer, *record));
        CheckJudgement(judged, answer, *record);
        offers += judged.verdict == UpdateVerdict::offer;
        record->~UpdateIni();
    });
    std::printf("[ robustness ] UpdateCheck_Judge: %zu offers taken\n", offers);
}
