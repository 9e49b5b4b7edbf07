// Opening a page: the shell's own handler first, then the program
// registered for "http", then the shell's execute function without its own
// error boxes, and the library's message when all of them fail; with a
// question first when the caller asks for one.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"
#include "common/OnlineSupport.h"

namespace {

// The framework box's icons by the type's icon bits.
constexpr unsigned informationIcon = 27022;
constexpr unsigned stopIcon = 27024;

// A stand-in browser for a test protocol, a test file type and the current
// user's "http", all removed after each test.
class OpenHtml : public testing::Test {
protected:
    void SetUp() override
    {
        classes.Protocol(L"pvtestproto");
        classes.FileType(L".pvtestpage");
    }
    void RegisterHttp(const std::wstring& command = L"") { classes.Protocol(L"http", command); }

    TestClasses classes;
    BrowserMarker marker;
    // Any route that fails unexpectedly ends in a box: the test fails
    // instead of waiting for an answer.
    ModalWatchdog watchdog;
};

} // namespace

TEST_F(OpenHtml, TheShellsHandlerOpensAUrlOfARegisteredProtocol)
{
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(OpenHTML(nullptr, L"pvtestproto://page/one", FALSE, 0), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"pvtestproto://page/one"), std::wstring::npos) << testing::PrintToString(line);
    // The first route took it: one plain call, with the URL as the file.
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_FALSE(spy.Calls()[0].extended);
    EXPECT_EQ(spy.Calls()[0].file, L"pvtestproto://page/one");
    EXPECT_EQ(spy.Calls()[0].parameters, L"");
}

TEST_F(OpenHtml, TheShellsHandlerOpensAFileOfARegisteredType)
{
    TempFolder folder;
    std::wstring page = folder / L"index.pvtestpage";
    HANDLE file = CreateFileW(page.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(OpenHTML(nullptr, page.c_str(), FALSE, 0), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"index.pvtestpage"), std::wstring::npos) << testing::PrintToString(line);
}

TEST_F(OpenHtml, TheRegisteredHttpProgramTakesOverWhenTheShellFails)
{
    RegisterHttp();
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(OpenHTML(nullptr, L"https://example.test/page?x=1&y=2", FALSE, 0), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"\"https://example.test/page?x=1&y=2\""), std::wstring::npos) << testing::PrintToString(line);
    // The second call runs the program itself with the URL as its argument.
    ASSERT_EQ(spy.Calls().size(), 2u);
    EXPECT_EQ(spy.Calls()[1].file, TestClasses::BrowserPath());
    EXPECT_EQ(spy.Calls()[1].parameters, L"\"https://example.test/page?x=1&y=2\"");
}

TEST_F(OpenHtml, AnHttpCommandWithoutPlaceholderGetsTheQuotedUrlAppended)
{
    RegisterHttp(L"\"" + TestClasses::BrowserPath() + L"\" -new-window");
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(OpenHTML(nullptr, L"https://example.test/a b", FALSE, 0), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"-new-window \"https://example.test/a b\""), std::wstring::npos)
        << testing::PrintToString(line);
}

TEST_F(OpenHtml, TheShellsExecuteFunctionIsTheLastRouteAndShowsNoBoxOfItsOwn)
{
    // Both routes of ShellExecuteW fail; the extended call still reaches
    // the shell, which opens the test protocol.
    RegisterHttp();
    ShellSpy spy(ShellSpy::failAll);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(OpenHTML(nullptr, L"pvtestproto://page/three", FALSE, 0), 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"pvtestproto://page/three"), std::wstring::npos) << testing::PrintToString(line);
    ASSERT_EQ(spy.Calls().size(), 3u);
    const ShellSpy::Call& last = spy.Calls()[2];
    EXPECT_TRUE(last.extended);
    EXPECT_EQ(last.file, L"pvtestproto://page/three");
    EXPECT_TRUE(last.mask & SEE_MASK_FLAG_NO_UI);
    EXPECT_EQ(last.window, nullptr) << "no window is active";
}

TEST_F(OpenHtml, TheLastRouteIsOwnedByTheActiveWindowsLastPopup)
{
    // Wine 8 did not answer GetLastActivePopup with an owned pop-up that
    // was active before its owner, so only the active window's own answer
    // is compared here.
    HWND owner = CreateWindowExW(
        0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetActiveWindow(owner);
    ASSERT_EQ(GetActiveWindow(), owner) << "the test could not make its window active";
    ShellSpy spy(ShellSpy::failAll);
    ASSERT_TRUE(spy.Hooked());
    OpenHTML(nullptr, L"pvtestproto://page/four", FALSE, 0);
    ASSERT_FALSE(spy.Calls().empty());
    EXPECT_TRUE(spy.Calls().back().extended);
    EXPECT_EQ(spy.Calls().back().window, GetLastActivePopup(owner));
    EXPECT_NE(spy.Calls().back().window, nullptr);
    DestroyWindow(owner);
}

TEST_F(OpenHtml, WhenEveryRouteFailsTheLibrarysMessageSaysSoAndTheResultIs0)
{
    RegisterHttp(L"\"C:\\no\\such\\browser.exe\" \"%1\"");
    ShellSpy spy(ShellSpy::failAll, true);
    ASSERT_TRUE(spy.Hooked());
    IconSpy icons;
    BoxAnswerer answer(IDC_MSGEX_BUTTON1);
    EXPECT_EQ(OpenHTML(nullptr, L"pvtestnone://nowhere", FALSE, 0), 0);
    EXPECT_TRUE(marker.StaysAway(300));
    ASSERT_EQ(spy.Calls().size(), 3u) << "shell, http program, execute function";
    ASSERT_FALSE(answer.Texts().empty()) << "no box was shown";
    ASSERT_EQ(answer.Texts().size(), 1u);
    EXPECT_NE(answer.Texts()[0].find(L"Cannot open the web page."), std::wstring::npos)
        << testing::PrintToString(answer.Texts()[0]);
    EXPECT_EQ(answer.Buttons()[0], L"OK");
    EXPECT_EQ(icons.Ids(), std::vector<unsigned>{stopIcon});
}

TEST_F(OpenHtml, ANoticeAsksFirstAndOkOpens)
{
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    IconSpy icons;
    BoxAnswerer answer(IDC_MSGEX_BUTTON1);
    int result = OpenHTML(nullptr, L"pvtestproto://asked", TRUE, 0);
    ASSERT_FALSE(answer.Texts().empty()) << "no box was shown";
    EXPECT_EQ(result, 1);
    EXPECT_NE(answer.Texts()[0].find(L"will now open in your default Web browser"), std::wstring::npos)
        << testing::PrintToString(answer.Texts()[0]);
    EXPECT_EQ(answer.Buttons()[0], L"OK|&Cancel");
    EXPECT_EQ(icons.Ids(), std::vector<unsigned>{informationIcon});
    EXPECT_NE(marker.Wait().find(L"pvtestproto://asked"), std::wstring::npos);
}

TEST_F(OpenHtml, CancellingTheNoticeOpensNothing)
{
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    // OK/Cancel: Cancel stands in the third place.
    BoxAnswerer answer(IDC_MSGEX_BUTTON3);
    EXPECT_EQ(OpenHTML(nullptr, L"pvtestproto://declined", TRUE, 0), 0);
    EXPECT_TRUE(spy.Calls().empty()) << "nothing is opened after Cancel";
    EXPECT_TRUE(marker.StaysAway());
    ASSERT_FALSE(answer.Texts().empty()) << "no box was shown";
}

TEST_F(OpenHtml, TheNoticeCanBeTheCallersOwnText)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    BoxAnswerer answer(IDC_MSGEX_BUTTON1);
    // A negative id names one of the library's strings.
    int result = OpenHTML(nullptr, L"pvtestproto://own", TRUE, -22022);
    ASSERT_FALSE(answer.Texts().empty()) << "no box was shown";
    EXPECT_EQ(result, 1);
    EXPECT_NE(answer.Texts()[0].find(L"Cannot open the web page."), std::wstring::npos);
}

TEST(OpenHtmlInput, AnEmptyUrlOpensNothing)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(OpenHTML(nullptr, nullptr, FALSE, 0), 0);
    EXPECT_EQ(OpenHTML(nullptr, L"", FALSE, 0), 0);
    EXPECT_TRUE(spy.Calls().empty());
}
