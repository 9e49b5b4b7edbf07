// Hostile update-server answers through a real local server: mutated INI
// texts, random bytes, every byte-order mark, overlong fields, answers cut
// mid-way or without any HTTP around them, each read by SendHttp with
// limits around its edges and the text parsed as an update answer.
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

namespace {

// A copy, so that no check takes the address of the library's constant.
constexpr unsigned fieldCap = UpdateIni::fieldSize;

std::vector<std::string> AnswerSeeds()
{
    const std::string ini = "[dl]\r\nversion=21.8\r\ndescr=<b>New</b> menus\r\nurlmoreinfo=https://www.corvenna.com/"
                            "news\r\nurldownload=https://www.corvenna.com/get/launchora.exe\r\n";
    return {
        ini,
        "\xEF\xBB\xBF" + ini,
        Utf16Bytes(ini),
        "OK.",
        "ok",
        "error Database busy",
        "[dl]\nVERSION=" + std::string(3000, '9') + "\nDescr=" + std::string(1500, 'd')
            + "\n[x]\nurldownload=" + std::string(300, 'u'),
        "[dl]\r\nversion=21.8\r\ndescr=Half",
        "\xEF",
        "\xEF\xBB",
        "\xFF\xFE\x41",
        "",
    };
}

// The text's length within what was sent; checks it is terminated there.
size_t CheckedLength(const wchar_t* text, size_t bytesSent)
{
    size_t length = wcsnlen(text, bytesSent + 1);
    EXPECT_LE(length, bytesSent) << "more characters than bytes were sent";
    return length;
}

} // namespace

TEST(Robustness, HttpAnswers)
{
    LocalHttpServer server;
    ASSERT_NE(server.Port(), 0) << "the local server could not listen";
    Trial trial("SendHttp_UpdateIni");
    Rng& rng = trial.rng;
    const std::vector<std::string> seeds = AnswerSeeds();
    Mutator<char> mutator(rng, ByteTokens(), 12000);
    const unsigned limits[] = {1, 2, 3, 4, 259, 260, 1023, 1024, 1025, 4096, 100000};

    size_t answered = 0, parsed = 0;
    trial.Run(300, mutator, seeds, [&](std::string& bytes, size_t) {
        const LocalHttpServer::Reply reply = HostileReply(rng, bytes, 2000);
        server.SetReply(reply);
        const unsigned maxBytes = rng.OneIn(3) ? limits[rng.Below(sizeof limits / sizeof limits[0])]
                                               : static_cast<unsigned>(1 + rng.Below(bytes.size() + 8));
        wchar_t* answer = FUZZ_CALL(trial,
            SendHttpToPort(LocalHttpServer::Host(), server.Port(), L"updates/index.php", maxBytes, L"app=launchora", 3,
                nullptr, 0));
        if (!answer)
            return;
        ++answered;
        size_t length = CheckedLength(answer, bytes.size() < maxBytes ? bytes.size() : maxBytes);
        if (GetACP() == 1252 && reply.kind == LocalHttpServer::Reply::answer && bytes.size() <= maxBytes
            && !bytes.empty() && bytes.find('\0') == std::string::npos && bytes[0] != '\xEF' && bytes[0] != '\xFF') {
            EXPECT_EQ(length, bytes.size()) << "a whole ANSI answer is one character a byte";
        }
        UpdateIni ini;
        if (FUZZ_CALL(trial, ini.Parse(answer)))
            ++parsed;
        for (const wchar_t* field : {ini.szVersion, ini.szDescr, ini.szUrlMoreInfo, ini.szUrlDownload}) {
            EXPECT_LT(wcsnlen(field, fieldCap), fieldCap);
        }
        FreeDllBuf(answer);
    });
    std::printf("[ robustness ] SendHttp_UpdateIni: %zu answered, %zu parsed\n", answered, parsed);
}

// Many more answer texts than the network allows, straight into the record:
// the input ends where a no-access page begins, and so does the record
// itself, whose last field is the last thing in it.
TEST(Robustness, UpdateIniAnswers)
{
    Trial trial("UpdateIni_Parse");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds;
    for (const std::string& bytes : AnswerSeeds())
        seeds.emplace_back(bytes.begin(), bytes.end());
    seeds.push_back(L"[dl]\r\nversion=" + std::wstring(258, L'v') + L"\r\nurldownload=" + std::wstring(260, L'u')
        + L"\r\nurlmoreinfo=" + std::wstring(1100, L'i') + L"\r\n");
    Mutator<wchar_t> mutator(rng, WideTokens(), 8000);
    PageEndBlock input;
    PageEndBlock recordMemory;
    static_assert(sizeof(UpdateIni) % alignof(UpdateIni) == 0);

    size_t filled = 0;
    trial.Run(3000, mutator, seeds, [&](std::wstring& text, size_t) {
        UpdateIni* ini = new (recordMemory.Resize(sizeof(UpdateIni))) UpdateIni;
        ASSERT_EQ(reinterpret_cast<char*>(ini->szUrlDownload + fieldCap), reinterpret_cast<char*>(ini + 1))
            << "the last field ends the record, at the guard page";
        if (rng.OneIn(2)) {
            std::wstring z = text + L'\0';
            FUZZ_CALL(trial, ini->Parse(input.PlaceChars(z.c_str(), z.size())));
        } else if (!text.empty()) {
            FUZZ_CALL(
                trial, ini->Parse(input.PlaceChars(text.c_str(), text.size()), static_cast<unsigned>(text.size())));
        }
        for (const wchar_t* field : {ini->szVersion, ini->szDescr, ini->szUrlMoreInfo, ini->szUrlDownload}) {
            size_t length = wcsnlen(field, fieldCap);
            EXPECT_LT(length, fieldCap);
            filled += length != 0;
        }
        ini->~UpdateIni();
    });
    std::printf("[ robustness ] UpdateIni_Parse: %zu fields filled\n", filled);
}
