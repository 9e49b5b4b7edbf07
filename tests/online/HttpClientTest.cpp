// SendHttp against a real server in the test process: what goes over the
// wire, how every kind of answer is decoded, the byte limit, the time-out
// and the failures that must come back as null.
#include <gtest/gtest.h>

#include <string>

#include "HttpTestSupport.h"
#include "PVDLL.h"
#include "common/LocalHttpServer.h"

namespace {

class HttpClient : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(server.Port(), 0) << "the local server could not listen"; }

    HttpAnswer Post(const wchar_t* body, unsigned maxBytes = 1024, const wchar_t* headers = nullptr)
    {
        return HttpAnswer(SendHttpToPort(
            LocalHttpServer::Host(), server.Port(), L"updates/index.php", maxBytes, body, 5, headers, 0));
    }
    HttpAnswer Get(const wchar_t* path, unsigned maxBytes = 1024)
    {
        return HttpAnswer(
            SendHttpToPort(LocalHttpServer::Host(), server.Port(), path, maxBytes, nullptr, 5, nullptr, 0));
    }
    // The text SendHttp makes of an answer of these bytes.
    std::wstring Decoded(const std::string& bytes, unsigned maxBytes = 1024)
    {
        server.Answer(bytes);
        HttpAnswer answer = Post(L"x=1", maxBytes);
        EXPECT_TRUE(answer) << "error " << GetLastError();
        return answer ? std::wstring(answer.get()) : std::wstring(L"<null>");
    }

    LocalHttpServer server;
};

// --- the request -------------------------------------------------------------------------

TEST_F(HttpClient, PostsTheBodyInTheAnsiCodePageAsAFormWithTheProductsUserAgent)
{
    const std::wstring body = L"app=launchora&appver=21.7.1.3040&winlang=en-US&note=\x00E9t\x00E9";
    server.Answer("OK.");
    HttpAnswer answer = Post(body.c_str());
    ASSERT_TRUE(answer);
    EXPECT_STREQ(answer.get(), L"OK.");

    ASSERT_EQ(server.RequestCount(), 1u);
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/updates/index.php");
    EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0 (Corvenna Software)");
    EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.Header("Accept"), "*/*");
    // No terminator and no UTF-16: exactly the ANSI bytes of the text.
    EXPECT_EQ(request.body, Ansi(body));
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(Ansi(body).size()));
}

TEST_F(HttpClient, GetsWithoutBodyOrContentTypeWhenNoPostDataIsGiven)
{
    server.Answer("page");
    HttpAnswer answer = Get(L"/status/now?x=1");
    ASSERT_TRUE(answer);
    EXPECT_STREQ(answer.get(), L"page");
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/status/now?x=1");
    EXPECT_FALSE(request.HasHeader("Content-Type"));
    EXPECT_TRUE(request.body.empty());
}

TEST_F(HttpClient, GivenHeadersReplaceTheFormContentType)
{
    server.Answer("OK");
    HttpAnswer answer = Post(L"{\"a\":1}", 1024, L"Content-Type: application/json\r\nX-Corvenna-Test: yes\r\n");
    ASSERT_TRUE(answer);
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.Header("Content-Type"), "application/json");
    EXPECT_EQ(request.Header("X-Corvenna-Test"), "yes");
    EXPECT_EQ(request.body, "{\"a\":1}");
}

TEST_F(HttpClient, AnEmptyPostStillPostsAForm)
{
    HttpAnswer answer = Post(L"");
    ASSERT_TRUE(answer);
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_TRUE(request.body.empty());
    EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(HttpClient, ASecureRequestNeverGoesOutAsPlainHttp)
{
    // The local server speaks plain HTTP only: a secure request must fail
    // there, without the server ever seeing a readable request.
    server.Answer("OK.");
    HttpAnswer answer(SendHttpToPort(LocalHttpServer::Host(), server.Port(), L"/", 1024, L"x=1", 2, nullptr, 1));
    EXPECT_FALSE(answer);
    EXPECT_EQ(server.RequestCount(), 0u);
}

// --- decoding the answer ------------------------------------------------------------------

TEST_F(HttpClient, AnswerWithoutMarkIsAnsi)
{
    EXPECT_EQ(Decoded("OK."), L"OK.");
    const std::string bytes = Bytes({'c', 'a', 'f', 0xE9, ' ', 0x80, 0xA9});
    EXPECT_EQ(Decoded(bytes), FromAnsi(bytes));
}

TEST_F(HttpClient, Utf8MarkIsDroppedAndTheRestReadAsUtf8)
{
    // "é€😀" after the mark.
    EXPECT_EQ(Decoded(Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80})),
        L"\x00E9\x20AC\xD83D\xDE00");
}

TEST_F(HttpClient, Utf16MarkIsDroppedAndTheRestReadAsLittleEndianUtf16)
{
    EXPECT_EQ(Decoded(Bytes({0xFF, 0xFE, 'O', 0, 'K', 0, 0xAC, 0x20})), L"OK\x20AC");
}

TEST_F(HttpClient, AnOddLastByteOfUtf16IsNoCharacter)
{
    EXPECT_EQ(Decoded(Bytes({0xFF, 0xFE, 'O', 0, 'K', 0, '!'})), L"OK");
    EXPECT_EQ(Decoded(Bytes({0xFF, 0xFE, 'x'})), L"");
}

TEST_F(HttpClient, ALoneEfOrAnIncompleteUtf8MarkIsAnsi)
{
    const std::string lone = Bytes({0xEF, 'O', 'K'});
    EXPECT_EQ(Decoded(lone), FromAnsi(lone));
    const std::string half = Bytes({0xEF, 0xBB, 'O', 'K'});
    EXPECT_EQ(Decoded(half), FromAnsi(half));
    const std::string single = Bytes({0xEF});
    EXPECT_EQ(Decoded(single), FromAnsi(single));
}

TEST_F(HttpClient, AMarkAloneIsAnEmptyText)
{
    EXPECT_EQ(Decoded(Bytes({0xEF, 0xBB, 0xBF})), L"");
    EXPECT_EQ(Decoded(Bytes({0xFF, 0xFE})), L"");
}

TEST_F(HttpClient, ZeroBytesInTheAnswerEndTheTextSafely)
{
    EXPECT_EQ(Decoded(std::string("OK\0junk", 7)), L"OK");
}

// --- how much is read ------------------------------------------------------------------------

TEST_F(HttpClient, ReadsAtMostMaxBytesOfAHugeAnswer)
{
    std::string huge(4 * 1024 * 1024, 'a');
    for (size_t i = 0; i < huge.size(); i += 1000)
        huge[i] = 'b';
    server.Answer(huge);
    HttpAnswer answer = Post(L"x=1", 1500);
    ASSERT_TRUE(answer);
    std::wstring text(answer.get());
    ASSERT_EQ(text.size(), 1500u);
    EXPECT_EQ(text, std::wstring(huge.begin(), huge.begin() + 1500));
}

TEST_F(HttpClient, ReadsAWholeAnswerLargerThanOneNetworkPacket)
{
    std::string large;
    for (int i = 0; large.size() < 300000; ++i)
        large += std::to_string(i) + ",";
    server.Answer(large);
    HttpAnswer answer = Post(L"x=1", 1u << 20);
    ASSERT_TRUE(answer);
    EXPECT_EQ(std::wstring(answer.get()), std::wstring(large.begin(), large.end()));
}

TEST_F(HttpClient, AMaxBytesLimitCuttingAUtf8CharacterGivesAReplacementNotAnOverrun)
{
    // The mark and "aé" cut between the two bytes of "é".
    server.Answer(Bytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9}));
    HttpAnswer answer = Post(L"x=1", 5);
    ASSERT_TRUE(answer);
    std::wstring text(answer.get());
    ASSERT_GE(text.size(), 1u);
    EXPECT_EQ(text[0], L'a');
    EXPECT_LE(text.size(), 2u);
}

// --- failures ----------------------------------------------------------------------------------

TEST_F(HttpClient, AnEmptyAnswerIsNull)
{
    server.Answer("");
    EXPECT_FALSE(Post(L"x=1"));
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST_F(HttpClient, AZeroByteLimitReadsNothingAndIsNull)
{
    server.Answer("OK.");
    EXPECT_FALSE(Post(L"x=1", 0));
}

TEST_F(HttpClient, AServerThatHangsUpIsNull)
{
    server.SetReply({LocalHttpServer::Reply::hangUp, ""});
    EXPECT_FALSE(Post(L"x=1"));
}

TEST_F(HttpClient, ARefusedConnectionIsNullWithAReason)
{
    unsigned short port = LocalHttpServer::FreePort();
    ASSERT_NE(port, 0);
    SetLastError(0);
    HttpAnswer answer(SendHttpToPort(LocalHttpServer::Host(), port, L"/", 1024, L"x=1", 5, nullptr, 0));
    EXPECT_FALSE(answer);
    EXPECT_NE(GetLastError(), 0u);
}

TEST(HttpClientPorts, APlainRequestGoesToPort80)
{
    LocalHttpServer server(80);
    if (!server.Port())
        GTEST_SKIP() << "port 80 of 127.0.0.1 cannot be had here (taken, or not allowed to this user)";
    server.Answer("on 80");
    HttpAnswer answer(SendHttp(LocalHttpServer::Host(), L"/", 1024, nullptr, 5, nullptr, 0));
    ASSERT_TRUE(answer);
    EXPECT_STREQ(answer.get(), L"on 80");
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST_F(HttpClient, NoHostIsNull)
{
    EXPECT_EQ(SendHttp(nullptr, L"/", 1024, nullptr, 5, nullptr, 0), nullptr);
    EXPECT_EQ(SendHttp(L"", L"/", 1024, nullptr, 5, nullptr, 0), nullptr);
}

TEST_F(HttpClient, ASilentServerTimesOutAfterTheGivenSeconds)
{
    server.SetReply({LocalHttpServer::Reply::silent, ""});
    ULONGLONG start = GetTickCount64();
    HttpAnswer answer(SendHttpToPort(LocalHttpServer::Host(), server.Port(), L"/", 1024, L"x=1", 1, nullptr, 0));
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_FALSE(answer);
    EXPECT_EQ(server.RequestCount(), 1u) << "the request reached the server before the wait";
    EXPECT_GE(took, 900u);
    EXPECT_LT(took, 8000u);
}

TEST_F(HttpClient, AnAnswerCutBeforeItsAnnouncedLengthGivesAtMostWhatCame)
{
    server.SetReply({LocalHttpServer::Reply::cut, "[dl]\r\nversion=21.8\r\ndes"});
    HttpAnswer answer = Post(L"x=1");
    // Wine hands over what came; a client that calls the cut an
    // error gives nothing. Never more than was sent, never garbage.
    if (answer) {
        EXPECT_EQ(std::wstring(answer.get()), L"[dl]\r\nversion=21.8\r\ndes");
    }
}

} // namespace
