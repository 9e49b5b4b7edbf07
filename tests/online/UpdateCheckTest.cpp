// The update check against the tests' own server: the judgement of the
// server's answer (and the refusal of offers that would open anything but a
// web page), the check that asks and reports, interactive and silent, its
// schedule after success and failure, the scheduled check the host runs
// (first run, disabled, not due, automatic in the product's process, the
// prompt, one check at a time across processes) and the command-line entry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HttpTestSupport.h"
#include "PVDLL.h"
#include "common/LocalHttpServer.h"
#include "common/OnlineSupport.h"
#include "online/internal/UpdateAnswer.h"

namespace {

constexpr DWORD day = 86400;
constexpr DWORD hour = 3600;

// The controls of the two update dialogs.
constexpr int idDays = 21503;
constexpr int idYes = 21536;
constexpr int idNo = 21537;
constexpr int idRemind = 21543;
constexpr int idAutoCheck = 1008;
constexpr int idDescription = 1009;

const wchar_t* const productRootVariable = L"PVDLL_TEST_PRODUCT_ROOT";
const wchar_t* const productLogVariable = L"PVDLL_TEST_PRODUCT_LOG";

const std::string offerWithDownload = "[dl]\r\nversion=21.8\r\ndescr=<b>New</b> menus\r\n"
                                      "urlmoreinfo=https://example.test/news\r\n"
                                      "urldownload=https://example.test/get/launchora.exe\r\n";
const std::string offerWithoutDownload = "[dl]\r\nversion=21.8\r\ndescr=Faster\r\n"
                                         "urlmoreinfo=http://example.test/more?v=21.8\r\n";

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// --- the dialogs, answered as a user would ---------------------------------------------------

// Answers the update dialogs (prompt and offer) that open on this thread:
// picks "yes" or "no", optionally a reminder and the automatic check, then
// presses "Continue"; or closes the dialog. Remembers what each one showed.
class UpdateDialogAnswerer {
public:
    enum Action { pressYes, pressNo, close };
    struct Shown {
        bool prompt; // the prompt (it has the automatic-check box), else the offer
        std::wstring caption;
        std::wstring daysLine; // "" when hidden
        int presetReminder;
        bool presetAutoCheck;
        DWORD processId;
    };

    explicit UpdateDialogAnswerer(Action action, int reminder = -1, int autoCheck = -1)
        : action(action), reminder(reminder), autoCheck(autoCheck), outer(active)
    {
        active = this;
        timer = SetTimer(nullptr, 0, 50, OnTimer);
    }
    ~UpdateDialogAnswerer()
    {
        KillTimer(nullptr, timer);
        active = outer;
    }
    UpdateDialogAnswerer(const UpdateDialogAnswerer&) = delete;
    UpdateDialogAnswerer& operator=(const UpdateDialogAnswerer&) = delete;

    const std::vector<Shown>& Dialogs() const { return shown; }

    // The visible update dialog of the given thread (0: any) of the given
    // process, or null.
    static HWND Find(DWORD processId, DWORD threadId = 0)
    {
        struct Search {
            DWORD process;
            DWORD thread;
            HWND found;
        } search = {processId, threadId, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD pid = 0;
                DWORD tid = GetWindowThreadProcessId(window, &pid);
                wchar_t cls[16] = {};
                GetClassNameW(window, cls, 16);
                if (pid == s->process && (!s->thread || tid == s->thread) && !lstrcmpW(cls, L"#32770")
                    && IsWindowVisible(window) && GetDlgItem(window, idRemind)) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        UpdateDialogAnswerer* self = active;
        if (!self)
            return;
        HWND dialog = Find(GetCurrentProcessId(), GetCurrentThreadId());
        if (!dialog || dialog == self->last)
            return;
        self->last = dialog;
        Shown seen = {};
        seen.prompt = GetDlgItem(dialog, idAutoCheck) != nullptr && GetDlgItem(dialog, idDescription) == nullptr;
        seen.caption = WindowText(dialog);
        HWND days = GetDlgItem(dialog, idDays);
        if (days && IsWindowVisible(days))
            seen.daysLine = WindowText(days);
        seen.presetReminder = static_cast<int>(SendDlgItemMessageW(dialog, idRemind, CB_GETCURSEL, 0, 0));
        seen.presetAutoCheck = IsDlgButtonChecked(dialog, idAutoCheck) == BST_CHECKED;
        seen.processId = GetCurrentProcessId();
        self->shown.push_back(seen);
        if (self->action == close) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        CheckRadioButton(dialog, idYes, idNo, self->action == pressYes ? idYes : idNo);
        if (self->reminder >= 0)
            SendDlgItemMessageW(dialog, idRemind, CB_SETCURSEL, static_cast<WPARAM>(self->reminder), 0);
        if (self->autoCheck >= 0)
            CheckDlgButton(dialog, idAutoCheck, self->autoCheck ? BST_CHECKED : BST_UNCHECKED);
        PostMessageW(
            dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }

    Action action;
    int reminder;
    int autoCheck;
    HWND last = nullptr;
    std::vector<Shown> shown;
    UINT_PTR timer;
    UpdateDialogAnswerer* outer;
    static inline UpdateDialogAnswerer* active = nullptr;
};

// --- the fixture ---------------------------------------------------------------------------------

// Each test keeps the product's settings below a root key of its own
// (removed afterwards), points the check at a local server through the
// "UpdateServer" value, and names that root to the product's executable
// the check may start.
class UpdateCheck : public ProductRootTest {
protected:
    UpdateCheck() : ProductRootTest(L"Check") { }
    void SetUp() override
    {
        ASSERT_NE(server.Port(), 0) << "the local server could not listen";
        ProductRootTest::SetUp();
        SetEnvironmentVariableW(productRootVariable, Root().c_str());
        PointAt(server.Port());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(productRootVariable, nullptr);
        ProductRootTest::TearDown();
    }

    void PointAt(unsigned short port) { PutText(L"UpdateServer", L"127.0.0.1:" + std::to_wstring(port)); }
    // A state whose check was due an hour ago, last run ten days ago.
    void StoreDue(DWORD freq, DWORD autoCheck)
    {
        DWORD now = GetCurTime();
        StoreState(now - 10 * day, now - hour, freq, autoCheck);
    }
    // The stored next check lies days ahead of a moment in [before, now],
    // plus the jitter of under an hour.
    void ExpectNextIn(unsigned days, unsigned before)
    {
        DWORD next = Stored(UpdateState::pszNextUpdate);
        unsigned now = GetCurTime();
        EXPECT_GE(next, before + days * day) << "next check " << next;
        EXPECT_LT(next, now + days * day + hour) << "next check " << next;
        EXPECT_EQ(next & 1u, 0u);
    }
    void ExpectCompletedNow(unsigned before)
    {
        DWORD last = Stored(UpdateState::pszLastUpdate);
        EXPECT_GE(last, before & ~1u);
        EXPECT_LE(last, GetCurTime());
    }

    LocalHttpServer server;
};

// --- the judgement of the answer -----------------------------------------------------------------

TEST(UpdateAnswerJudgement, OkInAnyCaseWithOrWithoutItsFullStopMeansNoUpdate)
{
    UpdateIni record;
    for (const wchar_t* text : {L"OK", L"OK.", L"ok", L"Ok."})
        EXPECT_EQ(JudgeUpdateAnswer(text, record).verdict, UpdateVerdict::upToDate) << text;
    for (const wchar_t* text : {L"OK..", L" OK", L"OKAY", L"OK.\r\n"})
        EXPECT_EQ(JudgeUpdateAnswer(text, record).verdict, UpdateVerdict::error) << text;
}

TEST(UpdateAnswerJudgement, NothingAtAllIsNoAnswer)
{
    UpdateIni record;
    EXPECT_EQ(JudgeUpdateAnswer(nullptr, record).verdict, UpdateVerdict::noAnswer);
    EXPECT_EQ(JudgeUpdateAnswer(L"", record).verdict, UpdateVerdict::noAnswer);
}

TEST(UpdateAnswerJudgement, AnOfferOpensItsDownloadElseItsMoreInfoAddress)
{
    UpdateIni record;
    std::wstring text(offerWithDownload.begin(), offerWithDownload.end());
    UpdateAnswer judged = JudgeUpdateAnswer(text.c_str(), record);
    ASSERT_EQ(judged.verdict, UpdateVerdict::offer);
    EXPECT_STREQ(judged.url, L"https://example.test/get/launchora.exe");
    EXPECT_STREQ(record.szVersion, L"21.8");
    EXPECT_STREQ(record.szDescr, L"<b>New</b> menus");
    EXPECT_STREQ(record.szUrlMoreInfo, L"https://example.test/news");

    text.assign(offerWithoutDownload.begin(), offerWithoutDownload.end());
    judged = JudgeUpdateAnswer(text.c_str(), record);
    ASSERT_EQ(judged.verdict, UpdateVerdict::offer);
    EXPECT_STREQ(judged.url, L"http://example.test/more?v=21.8");
}

TEST(UpdateAnswerJudgement, AnOfferWhoseAddressIsNoWebPageIsRefused)
{
    const wchar_t* const addresses[] = {
        L"file:///C:/windows/system32/calc.exe",
        L"C:\\windows\\system32\\calc.exe",
        L"\\\\server\\share\\setup.exe",
        L"ftp://example.test/setup.exe",
        L"javascript:alert(1)",
        L"http://",
        L"https:///setup.exe",
        L"\"http://example.test/a\" --evil",
        L"http://example.test/a b",
        L"mailto:x@example.test",
    };
    UpdateIni record;
    for (const wchar_t* address : addresses) {
        std::wstring download = L"[dl]\nversion=22\nurlmoreinfo=https://example.test/ok\nurldownload=";
        download += address;
        UpdateAnswer judged = JudgeUpdateAnswer(download.c_str(), record);
        EXPECT_EQ(judged.verdict, UpdateVerdict::refused) << download;
        EXPECT_STREQ(judged.url, L"");
        EXPECT_STREQ(judged.reason, L"");
        std::wstring moreInfo = L"[dl]\nversion=22\nurlmoreinfo=";
        moreInfo += address;
        EXPECT_EQ(JudgeUpdateAnswer(moreInfo.c_str(), record).verdict, UpdateVerdict::refused) << moreInfo;
    }
}

TEST(UpdateAnswerJudgement, AnOfferWithoutAnyAddressIsRefused)
{
    UpdateIni record;
    EXPECT_EQ(JudgeUpdateAnswer(L"[dl]\nversion=22\ndescr=New", record).verdict, UpdateVerdict::refused);
    EXPECT_EQ(JudgeUpdateAnswer(L"[dl]", record).verdict, UpdateVerdict::refused);
    EXPECT_EQ(JudgeUpdateAnswer(L"[dl]\nurldownload=\nurlmoreinfo=", record).verdict, UpdateVerdict::refused);
}

TEST(UpdateAnswerJudgement, AMoreInfoAddressThatIsNoWebPageNeverReachesTheDialog)
{
    UpdateIni record;
    UpdateAnswer judged = JudgeUpdateAnswer(
        L"[dl]\ndescr=x\nurlmoreinfo=file:///C:/evil.hta\nurldownload=https://example.test/get", record);
    ASSERT_EQ(judged.verdict, UpdateVerdict::offer);
    EXPECT_STREQ(judged.url, L"https://example.test/get");
    EXPECT_STREQ(record.szUrlMoreInfo, L"") << "the description's link would open it";
}

TEST(UpdateAnswerJudgement, AnOverlongAddressIsCutToItsField)
{
    UpdateIni record;
    std::wstring text = L"[dl]\nurldownload=https://example.test/" + std::wstring(2000, L'a');
    UpdateAnswer judged = JudgeUpdateAnswer(text.c_str(), record);
    ASSERT_EQ(judged.verdict, UpdateVerdict::offer);
    EXPECT_EQ(wcslen(judged.url), UpdateIni::fieldSize - 1);
}

TEST(UpdateAnswerJudgement, AnErrorCarriesTheServersReasonAndAnythingElseAnEmptyOne)
{
    UpdateIni record;
    UpdateAnswer judged = JudgeUpdateAnswer(L"error   Database busy", record);
    EXPECT_EQ(judged.verdict, UpdateVerdict::error);
    EXPECT_STREQ(judged.reason, L"Database busy");
    EXPECT_STREQ(JudgeUpdateAnswer(L"ERRORx", record).reason, L"x");
    EXPECT_STREQ(JudgeUpdateAnswer(L"Error", record).reason, L"");
    for (const wchar_t* junk : {L"<html>Not found</html>", L"[DL]\nurldownload=https://example.test/", L"err"}) {
        judged = JudgeUpdateAnswer(junk, record);
        EXPECT_EQ(judged.verdict, UpdateVerdict::error) << junk;
        EXPECT_STREQ(judged.reason, L"") << junk;
    }
}

// --- the interactive check ---------------------------------------------------------------------

TEST_F(UpdateCheck, TheRequestPostsTheQueryToTheUpdatePage)
{
    ModalWatchdog watchdog;
    BoxAnswerer boxes(IDC_MSGEX_BUTTON1);
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(server.RequestCount(), 1u);
    wchar_t query[check4UpdatesQueryChars];
    MakeCheck4UpdatesQuery(query, check4UpdatesQueryChars);
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/updates/index.php");
    EXPECT_EQ(request.body, Ansi(query));
    EXPECT_EQ(request.body.rfind("app=launchora&appver=21.7.1.3040&applang=en&apped=", 0), 0u) << request.body;
}

TEST_F(UpdateCheck, NoUpdateIsReportedAndScheduledByTheFrequency)
{
    for (const char* answer : {"OK.", "ok"}) {
        StoreState(5000, 6000, c4uMonthly, 0);
        server.Answer(answer);
        ModalWatchdog watchdog;
        IconSpy icons;
        BoxAnswerer boxes(IDC_MSGEX_BUTTON1);
        unsigned before = GetCurTime();
        EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
        ASSERT_EQ(boxes.Texts().size(), 1u) << answer;
        EXPECT_NE(boxes.Texts()[0].find(L"No updates are available at this time."), std::wstring::npos)
            << testing::PrintToString(boxes.Texts()[0]);
        EXPECT_EQ(boxes.Buttons()[0], L"OK");
        EXPECT_EQ(icons.Ids(), std::vector<unsigned>{27022}) << "the information icon";
        ExpectCompletedNow(before);
        ExpectNextIn(30, before);
        EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uMonthly));
    }
}

TEST_F(UpdateCheck, AnErrorShowsTheReasonRetrySendsAgainAndCancelEndsTheCheck)
{
    StoreState(5000, 6000, c4uWeekly, 0);
    server.Answer("error Database busy");
    ModalWatchdog watchdog;
    IconSpy icons;
    BoxAnswerer boxes({IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON3}); // Retry, then Cancel
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(server.RequestCount(), 2u) << "Retry asks the server again";
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_NE(boxes.Texts()[0].find(L"An error occurred when checking for updates."), std::wstring::npos)
        << testing::PrintToString(boxes.Texts()[0]);
    EXPECT_NE(boxes.Texts()[0].find(L"Database busy"), std::wstring::npos);
    EXPECT_EQ(boxes.Buttons()[0], L"&Retry|&Cancel");
    EXPECT_EQ(icons.Ids(), (std::vector<unsigned>{27025, 27025})) << "the warning icon";
    EXPECT_EQ(Stored(UpdateState::pszLastUpdate), 5000u) << "a failed check is no completed one";
    ExpectNextIn(1, before);
}

TEST_F(UpdateCheck, JunkIsAnErrorWithoutReason)
{
    server.Answer("<html><body>502 Bad Gateway</body></html>");
    ModalWatchdog watchdog;
    BoxAnswerer boxes(IDC_MSGEX_BUTTON3);
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"An error occurred when checking for updates."), std::wstring::npos);
    EXPECT_EQ(boxes.Texts()[0].find(L"502"), std::wstring::npos) << "none of the junk is shown";
    ExpectNextIn(1, before);
}

TEST_F(UpdateCheck, AnOfferOfANonWebAddressShowsNoDialogAndFailsTheCheck)
{
    StoreState(5000, 6000, c4uMonthly, 0);
    server.Answer("[dl]\r\nversion=99\r\ndescr=Urgent\r\nurldownload=file:///C:/windows/system32/calc.exe\r\n");
    ModalWatchdog watchdog;
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressYes);
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    BoxAnswerer boxes(IDC_MSGEX_BUTTON3);
    unsigned before = GetCurTime();
    int started = 0;
    EXPECT_EQ(DoCheckForUpdates(nullptr, &started, nullptr), 1);
    EXPECT_TRUE(dialogs.Dialogs().empty()) << "no offer is shown";
    EXPECT_TRUE(spy.Calls().empty()) << "nothing is opened";
    EXPECT_EQ(started, 0);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], L"An error occurred when checking for updates.\n\n");
    EXPECT_EQ(Stored(UpdateState::pszLastUpdate), 5000u);
    ExpectNextIn(1, before);
}

TEST_F(UpdateCheck, NothingListeningAsksToRetryTheConnection)
{
    PointAt(LocalHttpServer::FreePort());
    ModalWatchdog watchdog;
    BoxAnswerer boxes({IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON3});
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(boxes.Texts().size(), 2u) << "Retry tries again and fails again";
    EXPECT_NE(boxes.Texts()[0].find(L"Cannot connect to the software update server."), std::wstring::npos)
        << testing::PrintToString(boxes.Texts()[0]);
    EXPECT_EQ(boxes.Buttons()[0], L"&Retry|&Cancel");
    ExpectNextIn(1, before);
}

TEST_F(UpdateCheck, ASilentServerIsGivenUpAfterTenSeconds)
{
    server.SetReply({LocalHttpServer::Reply::silent, ""});
    ModalWatchdog watchdog(40000);
    BoxAnswerer boxes(IDC_MSGEX_BUTTON3);
    DWORD start = GetTickCount();
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 9000u);
    EXPECT_LT(elapsed, 25000u);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"Cannot connect"), std::wstring::npos);
}

TEST_F(UpdateCheck, OtherCommandLinesRunNoCheck)
{
    StoreState(5000, 6000, c4uWeekly, 0);
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, L"check4updates"), 0);
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, L"/CHECK4UPDATES "), 0);
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, L""), 0);
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(Stored(UpdateState::pszNextUpdate), 6000u);
}

TEST_F(UpdateCheck, TheWaitCursorIsShownWhileAskingAndPutBackAfterwards)
{
    static std::vector<HCURSOR> cursors;
    cursors.clear();
    ImportHook hook("user32.dll", "SetCursor", reinterpret_cast<void*>(+[](HCURSOR cursor) -> HCURSOR {
        cursors.push_back(cursor);
        return nullptr;
    }));
    ASSERT_TRUE(hook.Hooked());
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, L"/CHECK4UPDATES"), 1);
    ASSERT_EQ(cursors.size(), 2u);
    EXPECT_EQ(cursors[0], LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(cursors[1], nullptr) << "the cursor that was there before (the hook answered none)";
}

// --- the silent check ----------------------------------------------------------------------------

TEST_F(UpdateCheck, SilentlyNoUpdateShowsNothingAndCompletes)
{
    StoreState(5000, 6000, c4uDaily, 1);
    ModalWatchdog watchdog;
    BoxAnswerer boxes(IDC_MSGEX_BUTTON1);
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, L"/check4updates"), 1);
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_TRUE(boxes.Texts().empty());
    ExpectCompletedNow(before);
    ExpectNextIn(1, before);
}

TEST_F(UpdateCheck, SilentlyFailuresShowNothingAndRetryTomorrow)
{
    const LocalHttpServer::Reply replies[] = {
        {LocalHttpServer::Reply::answer, "error Maintenance"},
        {LocalHttpServer::Reply::answer, "junk"},
        {LocalHttpServer::Reply::answer, "[dl]\nurldownload=C:\\windows\\notepad.exe"},
        {LocalHttpServer::Reply::hangUp, ""},
    };
    for (const LocalHttpServer::Reply& reply : replies) {
        StoreState(5000, 6000, c4uMonthly, 1);
        server.SetReply(reply);
        server.ClearRequests();
        ModalWatchdog watchdog;
        BoxAnswerer boxes(IDC_MSGEX_BUTTON3);
        UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::close);
        unsigned before = GetCurTime();
        EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, L"/CHECK4UPDATES"), 1);
        // A server that hangs up has read nothing.
        EXPECT_EQ(server.RequestCount(), reply.kind == LocalHttpServer::Reply::hangUp ? 0u : 1u)
            << "no retry without a user: " << reply.body;
        EXPECT_TRUE(boxes.Texts().empty()) << reply.body;
        EXPECT_TRUE(dialogs.Dialogs().empty()) << reply.body;
        EXPECT_EQ(Stored(UpdateState::pszLastUpdate), 5000u) << reply.body;
        ExpectNextIn(1, before);
    }
}

// --- the offer -----------------------------------------------------------------------------------

// The stand-in browser for "http" and "https"; the shell's own handler is
// refused, so the registered program takes the address (as in the web-link
// tests).
class UpdateCheckOffer : public UpdateCheck {
protected:
    void SetUp() override
    {
        UpdateCheck::SetUp();
        classes.Protocol(L"http");
        classes.Protocol(L"https");
    }
    TestClasses classes;
    BrowserMarker marker;
};

TEST_F(UpdateCheckOffer, YesOpensTheDownloadAddressInTheBrowser)
{
    StoreState(5000, 6000, c4uWeekly, 0);
    server.Answer(offerWithDownload);
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressYes);
    int started = 0;
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, &started, nullptr), 1);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u) << "the offer is shown";
    EXPECT_FALSE(dialogs.Dialogs()[0].prompt);
    EXPECT_NE(dialogs.Dialogs()[0].caption.find(L"An update is available"), std::wstring::npos);
    EXPECT_EQ(started, 1);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"https://example.test/get/launchora.exe"), std::wstring::npos) << testing::PrintToString(line);
    ExpectCompletedNow(before);
    ExpectNextIn(7, before);
}

TEST_F(UpdateCheckOffer, WithoutADownloadAddressYesOpensTheMoreInfoAddress)
{
    server.Answer(offerWithoutDownload);
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressYes);
    EXPECT_EQ(DoCheckForUpdates(nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"http://example.test/more?v=21.8"), std::wstring::npos) << testing::PrintToString(line);
}

TEST_F(UpdateCheckOffer, NoOpensNothingAndTheChosenReminderSetsTheNextCheck)
{
    StoreState(5000, 6000, c4uWeekly, 0);
    server.Answer(offerWithDownload);
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressNo, c4uMonthly);
    int started = 0;
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, &started, nullptr), 1);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(dialogs.Dialogs()[0].presetReminder, static_cast<int>(c4uWeekly));
    EXPECT_EQ(started, 0);
    EXPECT_TRUE(spy.Calls().empty());
    EXPECT_TRUE(marker.StaysAway(300));
    ExpectCompletedNow(before);
    ExpectNextIn(30, before);
    EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uMonthly));
}

TEST_F(UpdateCheckOffer, ClosingTheOfferOpensNothingButKeepsTheReminder)
{
    server.Answer(offerWithDownload);
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::close);
    int started = 0;
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdates(nullptr, &started, nullptr), 1);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(started, 0);
    EXPECT_TRUE(spy.Calls().empty());
    ExpectCompletedNow(before);
    ExpectNextIn(7, before);
}

TEST_F(UpdateCheckOffer, TheSilentCheckShowsTheOfferToo)
{
    server.Answer(offerWithDownload);
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressYes);
    int started = 0;
    EXPECT_EQ(DoCheckForUpdates(nullptr, &started, L"/CHECK4UPDATES"), 1);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_FALSE(dialogs.Dialogs()[0].prompt);
    EXPECT_EQ(started, 1);
    EXPECT_NE(marker.Wait().find(L"https://example.test/get/launchora.exe"), std::wstring::npos);
}

// --- the scheduled check ------------------------------------------------------------------------

TEST_F(UpdateCheck, TheFirstRunOnlySchedules)
{
    Put(UpdateState::pszRemindFrequency, c4uMonthly);
    unsigned before = GetCurTime();
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    EXPECT_EQ(server.RequestCount(), 0u);
    ExpectNextIn(30, before);
    EXPECT_EQ(Stored(UpdateState::pszLastUpdate), 0u);
}

TEST_F(UpdateCheck, ADisabledOrNotYetDueCheckDoesNothing)
{
    DWORD now = GetCurTime();
    for (DWORD next : {UpdateState::nextDisabled, now + hour}) {
        StoreState(5000, next, c4uWeekly, 1);
        TempFolder folder;
        SetEnvironmentVariableW(productLogVariable, (folder / L"product.txt").c_str());
        EXPECT_EQ(CheckForUpdates(nullptr), 0);
        EXPECT_EQ(Stored(UpdateState::pszNextUpdate), next);
        Sleep(500);
        EXPECT_EQ(GetFileAttributesW((folder / L"product.txt").c_str()), INVALID_FILE_ATTRIBUTES)
            << "the product was started";
        SetEnvironmentVariableW(productLogVariable, nullptr);
    }
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(UpdateCheck, ADueAutomaticCheckRunsSilentlyInTheProductsProcess)
{
    StoreDue(c4uMonthly, 1);
    DWORD stale = Stored(UpdateState::pszLastUpdate);
    TempFolder folder;
    std::wstring log = folder / L"product.txt";
    SetEnvironmentVariableW(productLogVariable, log.c_str());
    unsigned before = GetCurTime();
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    SetEnvironmentVariableW(productLogVariable, nullptr);

    // The product writes its state last; wait for that.
    DWORD start = GetTickCount();
    while (Stored(UpdateState::pszLastUpdate) == stale && GetTickCount() - start < 20000)
        Sleep(100);
    std::wstring line = ReadWideFile(log);
    EXPECT_NE(line.find(L"Launchora.exe"), std::wstring::npos) << testing::PrintToString(line);
    EXPECT_NE(line.find(L" /CHECK4UPDATES"), std::wstring::npos) << testing::PrintToString(line);
    EXPECT_EQ(server.RequestCount(), 1u) << "the product's silent check reached the server";
    ExpectCompletedNow(before);
    // The product's own policy: daily, never written over the user's choice.
    ExpectNextIn(1, before);
    EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uMonthly));
    Sleep(300); // the process leaves the registry key before the test removes it
}

TEST_F(UpdateCheck, ThePromptAnsweredNoSavesTheChoicesAndSchedulesByThem)
{
    StoreDue(c4uWeekly, 0);
    ModalWatchdog watchdog;
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressNo, c4uMonthly, 1);
    unsigned before = GetCurTime();
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u) << "the prompt is shown";
    EXPECT_TRUE(dialogs.Dialogs()[0].prompt);
    EXPECT_NE(dialogs.Dialogs()[0].caption.find(L"check for updates"), std::wstring::npos);
    EXPECT_NE(dialogs.Dialogs()[0].daysLine.find(L" 10 days"), std::wstring::npos)
        << testing::PrintToString(dialogs.Dialogs()[0].daysLine);
    EXPECT_EQ(dialogs.Dialogs()[0].presetReminder, static_cast<int>(c4uWeekly));
    EXPECT_FALSE(dialogs.Dialogs()[0].presetAutoCheck);
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uMonthly));
    EXPECT_EQ(Stored(UpdateState::pszAutoCheck), 1u);
    ExpectNextIn(30, before);
}

TEST_F(UpdateCheck, ThePromptCancelledWritesNothing)
{
    StoreDue(c4uWeekly, 0);
    DWORD next = Stored(UpdateState::pszNextUpdate);
    ModalWatchdog watchdog;
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::close);
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(Stored(UpdateState::pszNextUpdate), next);
    EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uWeekly));
    EXPECT_EQ(Stored(UpdateState::pszAutoCheck), 0u);
}

TEST_F(UpdateCheck, ThePromptAnsweredYesChecksNowAndKeepsTheChoices)
{
    StoreDue(c4uWeekly, 0);
    ModalWatchdog watchdog;
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::pressYes, c4uDaily, 1);
    BoxAnswerer boxes(IDC_MSGEX_BUTTON1);
    unsigned before = GetCurTime();
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    ASSERT_EQ(dialogs.Dialogs().size(), 1u);
    EXPECT_EQ(server.RequestCount(), 1u) << "the check ran from the prompt";
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"No updates are available"), std::wstring::npos);
    ExpectCompletedNow(before);
    EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uDaily));
    EXPECT_EQ(Stored(UpdateState::pszAutoCheck), 1u);
}

TEST_F(UpdateCheck, WhileTheCheckEventExistsNoScheduledCheckRuns)
{
    StoreDue(c4uWeekly, 0);
    DWORD next = Stored(UpdateState::pszNextUpdate);
    HANDLE other = CreateEventW(nullptr, FALSE, FALSE, CHECK4UPDATES_EVENT_NAME);
    ASSERT_NE(other, nullptr);
    ModalWatchdog watchdog;
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::close);
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    CloseHandle(other);
    EXPECT_TRUE(dialogs.Dialogs().empty());
    EXPECT_EQ(Stored(UpdateState::pszNextUpdate), next);
}

TEST_F(UpdateCheck, AScheduledCheckOpenInAnotherProcessKeepsThisOneOut)
{
    StoreDue(c4uWeekly, 0);
    DWORD next = Stored(UpdateState::pszNextUpdate);
    std::wstring command = L"\"" + ModuleFolder() + L"\\Launchora.exe\" scheduledcheck";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    CloseHandle(child.hThread);
    HWND prompt = nullptr;
    DWORD start = GetTickCount();
    while (!(prompt = UpdateDialogAnswerer::Find(child.dwProcessId)) && GetTickCount() - start < 15000
        && WaitForSingleObject(child.hProcess, 100) == WAIT_TIMEOUT) { }
    if (!prompt) {
        TerminateProcess(child.hProcess, 1);
        CloseHandle(child.hProcess);
        FAIL() << "the other process showed no prompt";
    }

    ModalWatchdog watchdog;
    UpdateDialogAnswerer dialogs(UpdateDialogAnswerer::close);
    DWORD asked = GetTickCount();
    EXPECT_EQ(CheckForUpdates(nullptr), 0);
    EXPECT_LT(GetTickCount() - asked, 3000u) << "it returns at once";
    EXPECT_TRUE(dialogs.Dialogs().empty()) << "no second prompt";
    EXPECT_EQ(Stored(UpdateState::pszNextUpdate), next);

    PostMessageW(prompt, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0) << "the other prompt closed";
    CloseHandle(child.hProcess);
    EXPECT_EQ(server.RequestCount(), 0u);
}

// --- the command-line entry ------------------------------------------------------------------------

TEST_F(UpdateCheck, TheCommandLineKnowsTwoWordsInAnyCase)
{
    ModalWatchdog watchdog;
    BoxAnswerer boxes(std::vector<int>(4, IDC_MSGEX_BUTTON1));
    EXPECT_EQ(DoCheckForUpdatesCmdln(L"about", 0), 0);
    EXPECT_EQ(DoCheckForUpdatesCmdln(L"check4updates2", 0), 0);
    EXPECT_EQ(DoCheckForUpdatesCmdln(nullptr, 0), 0);
    EXPECT_EQ(server.RequestCount(), 0u);

    EXPECT_EQ(DoCheckForUpdatesCmdln(L"Check4Updates", 0), 1);
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(boxes.Texts().size(), 1u) << "the interactive check reports";
    EXPECT_EQ(DoCheckForUpdatesCmdln(L"/check4updates", 0), 1);
    EXPECT_EQ(server.RequestCount(), 2u);
    EXPECT_EQ(boxes.Texts().size(), 1u) << "the silent check does not";
}

TEST_F(UpdateCheck, TheCommandLineEnforcesDailyAutomaticChecksWithoutWritingThem)
{
    StoreState(5000, 6000, c4uNever, 0);
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdatesCmdln(L"/CHECK4UPDATES", 1), 1);
    ExpectNextIn(1, before);
    EXPECT_EQ(Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uNever));
    EXPECT_EQ(Stored(UpdateState::pszAutoCheck), 0u);
    int autoCheck = 0;
    Check4UpdatesFreq freq = c4uNever;
    GetCheck4UpdatesSettings(&autoCheck, &freq);
    EXPECT_EQ(autoCheck, 1) << "for this process";
    EXPECT_EQ(freq, c4uDaily);
}

TEST_F(UpdateCheck, WithoutEnforcingTheStoredFrequencyHolds)
{
    StoreState(5000, 6000, c4uMonthly, 0);
    unsigned before = GetCurTime();
    EXPECT_EQ(DoCheckForUpdatesCmdln(L"/CHECK4UPDATES", 0), 1);
    ExpectNextIn(30, before);
}

TEST_F(UpdateCheck, TheCommandLineHoldsTheIconButtonsSharedSetWhileItRuns)
{
    long usesBefore = IconBtn::GetUseCount();
    static long usesDuringBox;
    usesDuringBox = -1;
    ModalWatchdog watchdog;
    BoxAnswerer boxes(IDC_MSGEX_BUTTON1);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (MsgExGetOpenBox() && usesDuringBox < 0)
            usesDuringBox = IconBtn::GetUseCount();
    });
    EXPECT_EQ(DoCheckForUpdatesCmdln(L"check4updates", 0), 1);
    KillTimer(nullptr, timer);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_GT(usesDuringBox, usesBefore);
    EXPECT_EQ(IconBtn::GetUseCount(), usesBefore) << "given back afterwards";
}

} // namespace
