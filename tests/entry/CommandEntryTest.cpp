// The command entry as the start-menu host and the product's executables
// use it: the plain exports, the command words (About box, online help,
// update check), starting the product's executable, the hooks the host
// calls before it shows its menu, and the About box itself.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/LocalHttpServer.h"
#include "common/OnlineSupport.h"
#include "common/TestSupport.h"
#include "resources/resource.h"

namespace {

constexpr DWORD day = 86400;

// Hands every dialog of this thread, once shown, to act, from a thread
// timer that runs inside the dialog's own loop. act is called again on
// each tick until it answers true (done with that dialog).
class WhenShown {
public:
    explicit WhenShown(std::function<bool(HWND)> act) : act(std::move(act)), outer(self)
    {
        self = this;
        timer = SetTimer(nullptr, 0, 30, &Tick);
    }
    ~WhenShown()
    {
        KillTimer(nullptr, timer);
        self = outer;
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    size_t Handled() const { return done.size(); }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM data)
    {
        auto* me = reinterpret_cast<WhenShown*>(data);
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(window))
            return TRUE;
        for (HWND handled : me->done) {
            if (handled == window)
                return TRUE;
        }
        if (me->act(window))
            me->done.push_back(window);
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        WhenShown* me = self;
        if (!me || me->timer != id || me->busy)
            return;
        me->busy = true;
        EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(me));
        me->busy = false;
    }

    std::function<bool(HWND)> act;
    std::vector<HWND> done;
    UINT_PTR timer = 0;
    bool busy = false;
    WhenShown* outer;
    static inline WhenShown* self = nullptr;
};

void Press(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

ZnStaticHTML* HtmlItem(HWND dialog, int id)
{
    ZnWnd* bound = ZnWnd::FromHandle(GetDlgItem(dialog, id));
    return bound && bound->IsKindOf(L"ZnStaticHTML") ? static_cast<ZnStaticHTML*>(bound) : nullptr;
}

std::wstring Markup(HWND dialog, int id)
{
    ZnStaticHTML* html = HtmlItem(dialog, id);
    if (!html)
        return L"(no mini-HTML control)";
    wchar_t text[1024] = {};
    html->GetHTMLText(text, 1024);
    return text;
}

std::wstring Caption(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// The centre of the first link of the mini-HTML control, laid out by a
// paint into a picture of its own; false without a link.
bool LinkCentre(HWND control, POINT* at)
{
    ZnStaticHTML* html = static_cast<ZnStaticHTML*>(ZnWnd::FromHandle(control));
    RECT client;
    GetClientRect(control, &client);
    Canvas canvas(client.right, client.bottom);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    POS pos = html->GetLinks().GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = html->GetLinks().GetArea(pos);
        if (!area || !area->rects.GetHeadPos())
            continue;
        const RECT* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        at->x = (r->left + r->right) / 2;
        at->y = (r->top + r->bottom) / 2;
        return true;
    }
    return false;
}

int CountOther(const Canvas& canvas, RECT r, COLORREF than)
{
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x)
            count += canvas.At(x, y) != than;
    }
    return count;
}

RECT ItemRect(HWND dialog, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The product's settings below a root key of the test's own, removed
// afterwards; no update-check policy in force before or after.
class OwnSettings {
public:
    OwnSettings() : sub(L"Software\\PVDLLTestEntry-" + std::to_wstring(GetCurrentProcessId()))
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
        GetMyProductInfo()->PushAppRootKey((L"HKCU\\" + sub).c_str());
        LiftCheckForUpdatesPolicy();
    }
    ~OwnSettings()
    {
        LiftCheckForUpdatesPolicy();
        GetMyProductInfo()->PopAppRootKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
    }
    OwnSettings(const OwnSettings&) = delete;
    OwnSettings& operator=(const OwnSettings&) = delete;

    std::wstring SetupKey() const { return sub + L"\\Setup"; }
    void Put(const wchar_t* name, DWORD value)
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SetupKey().c_str(), name, REG_DWORD, &value, sizeof value),
            ERROR_SUCCESS);
    }
    // Checks go to server.
    void PointAt(const LocalHttpServer& server)
    {
        std::wstring text = L"127.0.0.1:" + std::to_wstring(server.Port());
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SetupKey().c_str(), L"UpdateServer", REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
    }
    static constexpr DWORD missing = 0xDEADBEEF;
    DWORD Stored(const wchar_t* name) const
    {
        DWORD value = 0, bytes = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, SetupKey().c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &bytes))
            return missing;
        return value;
    }

private:
    std::wstring sub;
};

// The stand-in "Launchora.exe" appends its command line to a file of a
// temporary folder named in the environment of the programs this process
// starts.
class ProductLog {
public:
    ProductLog() : file(folder / L"product.log") { SetEnvironmentVariableW(L"PVDLL_TEST_PRODUCT_LOG", file.c_str()); }
    ~ProductLog() { SetEnvironmentVariableW(L"PVDLL_TEST_PRODUCT_LOG", nullptr); }
    ProductLog(const ProductLog&) = delete;
    ProductLog& operator=(const ProductLog&) = delete;

    // The first line, once the product wrote it; empty when it did not come
    // within ms.
    std::wstring Wait(DWORD ms = 10000) const
    {
        DWORD start = GetTickCount();
        for (;;) {
            std::wstring text = ReadWideFile(file);
            size_t end = text.find(L'\n');
            if (end != std::wstring::npos)
                return text.substr(0, end);
            if (GetTickCount() - start >= ms)
                return L"";
            Sleep(50);
        }
    }
    std::wstring All() const { return ReadWideFile(file); }

private:
    TempFolder folder;
    std::wstring file;
};

std::wstring ProductPath()
{
    return ModuleFolder() + L"\\Launchora.exe";
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

// --- the plain exports ---------------------------------------------------------------------

TEST(CommandEntry, TheHostFindsEveryEntryByItsPlainName)
{
    HMODULE library = GetModuleHandleW(L"PVDLL.dll");
    ASSERT_NE(library, nullptr);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(library);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(library) + dos->e_lfanew);
    const BYTE* begin = reinterpret_cast<const BYTE*>(library);
    const BYTE* end = begin + nt->OptionalHeader.SizeOfImage;
    for (const char* name : {"Launchora", "RunLaunchora", "OnStartButtonCreated", "PreShowStartMenu"}) {
        auto* found = reinterpret_cast<const BYTE*>(GetProcAddress(library, name));
        EXPECT_NE(found, nullptr) << name;
        EXPECT_TRUE(found >= begin && found < end) << name << ": the library's own code, not a forwarder";
    }
    typedef int (*LaunchoraFn)(const wchar_t*);
    auto launchora = reinterpret_cast<LaunchoraFn>(reinterpret_cast<void*>(GetProcAddress(library, "Launchora")));
    ASSERT_NE(launchora, nullptr);
    EXPECT_EQ(launchora(L"no such word"), 2);
    // The host calls it with its start button; it keeps nothing and
    // answers nothing.
    HWND button = CreateWindowExW(0, L"BUTTON", L"Start", WS_POPUP, 0, 0, 48, 40, nullptr, nullptr, nullptr, nullptr);
    OnStartButtonCreated(button);
    OnStartButtonCreated(nullptr);
    DestroyWindow(button);
}

// --- the command words ---------------------------------------------------------------------

namespace {

// Every word runs under a watchdog: a box nobody answers fails the test.
class CommandWords : public testing::Test {
protected:
    ModalWatchdog watchdog;
};

} // namespace

TEST_F(CommandWords, AnyOtherTextIsRefusedWithTwoAndShowsOrOpensNothing)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    int shown = 0;
    WhenShown count([&](HWND dialog) {
        ++shown;
        Press(dialog, IDCANCEL);
        return true;
    });
    for (const wchar_t* text : {L"", L"abou", L"about ", L" help", L"helpme", L"check4update", L"CHECK4UPDATES/",
             L"-check4updates", L"/about", L"launchora-help"}) {
        EXPECT_EQ(Launchora(text), 2) << testing::PrintToString(std::wstring(text));
    }
    EXPECT_EQ(Launchora(nullptr), 2);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(spy.Calls().empty());
}

TEST_F(CommandWords, AboutInAnyCaseShowsTheAboutBoxModalAndOwnerless)
{
    for (const wchar_t* word : {L"about", L"ABOUT", L"About"}) {
        std::wstring caption;
        HWND owner = reinterpret_cast<HWND>(1);
        bool enabledMeanwhile = false;
        WhenShown answer([&](HWND dialog) {
            caption = Caption(dialog);
            owner = GetWindow(dialog, GW_OWNER);
            enabledMeanwhile = IsWindowEnabled(dialog) != 0;
            Press(dialog, IDOK);
            return true;
        });
        EXPECT_EQ(Launchora(word), 0) << testing::PrintToString(std::wstring(word));
        EXPECT_EQ(answer.Handled(), 1u) << "the box was shown while the call ran";
        EXPECT_EQ(caption, L"About Launchora");
        EXPECT_EQ(owner, nullptr);
        EXPECT_TRUE(enabledMeanwhile);
    }
}

TEST_F(CommandWords, HelpOpensTheOnlineHelpPageInTheBrowser)
{
    TestClasses classes;
    classes.Protocol(L"pvtestproto");
    BrowserMarker marker;
    BaseUrl base(L"pvtestproto://site.test");
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    EXPECT_EQ(Launchora(L"HeLp"), 0);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"pvtestproto://site.test/go/?p=launchora-help"), std::wstring::npos)
        << testing::PrintToString(line);
    // The shell's own handler took it, without an owner and asking nothing.
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].file, L"pvtestproto://site.test/go/?p=launchora-help");
    EXPECT_EQ(spy.Calls()[0].window, nullptr);
    EXPECT_EQ(spy.Calls()[0].verb, L"");
}

TEST_F(CommandWords, TheHelpUrlHasOneSlashAndIsCutAtItsBuffer)
{
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    {
        BaseUrl base(L"https://example.test/");
        EXPECT_EQ(Launchora(L"help"), 0);
    }
    // A base URL longer than the buffer is cut to its 2047 characters and
    // nothing follows it.
    const std::wstring longBase = L"https://example.test/" + std::wstring(3000, L'x');
    {
        BaseUrl base(longBase.c_str());
        EXPECT_EQ(Launchora(L"help"), 0);
    }
    // 2040 characters leave room for part of the path only.
    const std::wstring nearlyFull = L"https://example.test/" + std::wstring(2040 - 21, L'y');
    {
        BaseUrl base(nearlyFull.c_str());
        EXPECT_EQ(Launchora(L"help"), 0);
    }
    ASSERT_EQ(spy.Calls().size(), 3u);
    EXPECT_EQ(spy.Calls()[0].file, L"https://example.test/go/?p=launchora-help");
    EXPECT_EQ(spy.Calls()[1].file, longBase.substr(0, 2047));
    EXPECT_EQ(spy.Calls()[2].file, (nearlyFull + L"/go/?p=launchora-help").substr(0, 2047));
}

// --- the update check's words ----------------------------------------------------------------

namespace {

// A local update server the product's settings point at, and a log of the
// product's executable (a check must not start it).
class CheckWords : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.Port(), 0) << "the local server could not listen";
        settings.PointAt(server);
    }

    ModalWatchdog watchdog{20000};
    OwnSettings settings;
    LocalHttpServer server;
    ProductLog product;
};

} // namespace

TEST_F(CheckWords, Check4UpdatesRunsTheInteractiveCheckAgainstTheServer)
{
    server.Answer("OK.");
    BoxAnswerer boxes(IDC_MSGEX_BUTTON1);
    const DWORD before = GetCurTime();
    EXPECT_EQ(Launchora(L"Check4Updates"), 0);
    const DWORD after = GetCurTime();

    ASSERT_EQ(server.RequestCount(), 1u);
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/updates/index.php");
    EXPECT_EQ(request.body.rfind("app=launchora&appver=21.7.1.3040&", 0), 0u) << request.body;
    // Interactive: the answer "no update" is told.
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"No updates are available"), std::wstring::npos);
    // The completed check is stored, the next one a day later (daily is
    // enforced), and the enforced policy itself is not written.
    DWORD last = settings.Stored(UpdateState::pszLastUpdate);
    EXPECT_GE(last, (before & ~1u));
    EXPECT_LE(last, after);
    DWORD next = settings.Stored(UpdateState::pszNextUpdate);
    EXPECT_GE(next, (before + day) & ~1u);
    EXPECT_LT(next, after + day + 3600);
    EXPECT_EQ(settings.Stored(UpdateState::pszRemindFrequency), OwnSettings::missing);
    EXPECT_EQ(settings.Stored(UpdateState::pszAutoCheck), OwnSettings::missing);
    int autoCheck = 0;
    Check4UpdatesFreq freq = c4uNever;
    GetCheck4UpdatesSettings(&autoCheck, &freq);
    EXPECT_EQ(autoCheck, 1);
    EXPECT_EQ(freq, c4uDaily);
    EXPECT_EQ(product.All(), L"");
}

TEST_F(CheckWords, TheSilentWordInAnyCaseChecksWithoutAMessage)
{
    server.Answer("OK.");
    int shown = 0;
    WhenShown count([&](HWND dialog) {
        ++shown;
        Press(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(Launchora(L"/CHECK4UPDATES"), 0);
    EXPECT_EQ(Launchora(L"/check4Updates"), 0);
    EXPECT_EQ(server.RequestCount(), 2u);
    EXPECT_EQ(shown, 0) << "a silent check that finds nothing shows nothing";
    EXPECT_NE(settings.Stored(UpdateState::pszLastUpdate), OwnSettings::missing);
    EXPECT_EQ(product.All(), L"");
}

// --- starting the product --------------------------------------------------------------------

namespace {

class RunProduct : public testing::Test {
protected:
    // A failure must not end in a box: the watchdog fails the test then.
    ModalWatchdog watchdog;
    ProductLog product;
};

// The product's executable under another name for the life of the object.
class ProductAway {
public:
    ProductAway() : away(ProductPath() + L".away")
    {
        // A product that has just ended may hold its file a moment longer.
        for (int tries = 0; tries < 60 && !moved; ++tries) {
            moved = MoveFileExW(ProductPath().c_str(), away.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
            if (!moved)
                Sleep(50);
        }
    }
    ~ProductAway()
    {
        if (moved)
            MoveFileExW(away.c_str(), ProductPath().c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ProductAway(const ProductAway&) = delete;
    ProductAway& operator=(const ProductAway&) = delete;

    bool Moved() const { return moved; }

private:
    std::wstring away;
    bool moved = false;
};

} // namespace

TEST_F(RunProduct, StartsTheProductBesideTheLibraryWithItsParameters)
{
    ASSERT_NE(GetFileAttributesW(ProductPath().c_str()), INVALID_FILE_ATTRIBUTES) << "Launchora.exe was not built";
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    HWND other
        = CreateWindowExW(0, L"STATIC", L"not active", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND active = GetActiveWindow();
    EXPECT_EQ(RunLaunchora(other, L"--from-test \"two words\"", 0), 0);
    std::wstring line = product.Wait();
    EXPECT_TRUE(EndsWith(line, L" --from-test \"two words\"")) << testing::PrintToString(line);
    EXPECT_NE(line.find(L"Launchora.exe"), std::wstring::npos) << testing::PrintToString(line);

    ASSERT_EQ(spy.Calls().size(), 1u);
    const ShellSpy::Call& call = spy.Calls()[0];
    EXPECT_TRUE(call.extended);
    EXPECT_EQ(call.file, ProductPath());
    EXPECT_EQ(call.parameters, L"--from-test \"two words\"");
    EXPECT_EQ(call.verb, L"");
    EXPECT_EQ(call.show, SW_SHOWNORMAL);
    EXPECT_TRUE(call.mask & SEE_MASK_FLAG_NO_UI) << "a failure is told by the result only";
    // The window handed in is not the owner: the active window's last
    // pop-up is, or none.
    EXPECT_EQ(call.window, active ? GetLastActivePopup(active) : nullptr);
    EXPECT_NE(call.window, other);
    DestroyWindow(other);
}

TEST_F(RunProduct, AsAdminStartsItWithTheRunasVerbAndNoParameters)
{
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    // Wine's token is elevated already: "runas" starts without asking.
    EXPECT_EQ(RunLaunchora(nullptr, nullptr, 1), 0);
    std::wstring line = product.Wait();
    EXPECT_NE(line.find(L"Launchora.exe"), std::wstring::npos) << testing::PrintToString(line);
    EXPECT_EQ(line.find(L"--"), std::wstring::npos) << testing::PrintToString(line);
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].verb, L"runas");
    EXPECT_EQ(spy.Calls()[0].parameters, L"");
    EXPECT_EQ(spy.Calls()[0].file, ProductPath());
}

TEST_F(RunProduct, AMissingProductFailsWithOneAndNoMessage)
{
    ProductAway away;
    ASSERT_TRUE(away.Moved()) << "Launchora.exe could not be renamed for the test";
    for (int asAdmin : {0, 1}) {
        EXPECT_EQ(RunLaunchora(nullptr, L"--never", asAdmin), 1) << "asAdmin " << asAdmin;
    }
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(product.Wait(300), L"");
}

// --- the host's hook before its menu ---------------------------------------------------------

namespace {

class BeforeTheMenu : public testing::Test {
protected:
    ModalWatchdog watchdog{20000};
    OwnSettings settings;
    ProductLog product;
};

} // namespace

TEST_F(BeforeTheMenu, PreShowStartMenuEnforcesDailyAutomaticChecksAndShowsTheMenu)
{
    // Monthly and asking, with the next check far off: nothing is due.
    const DWORD now = GetCurTime();
    settings.Put(UpdateState::pszLastUpdate, now - 10 * day);
    settings.Put(UpdateState::pszNextUpdate, now + 20 * day);
    settings.Put(UpdateState::pszRemindFrequency, c4uMonthly);
    settings.Put(UpdateState::pszAutoCheck, 0);
    EXPECT_EQ(PreShowStartMenu(nullptr), 1);
    int autoCheck = 0;
    Check4UpdatesFreq freq = c4uNever;
    GetCheck4UpdatesSettings(&autoCheck, &freq);
    EXPECT_EQ(autoCheck, 1);
    EXPECT_EQ(freq, c4uDaily);
    // The policy is the process's: the user's own settings stay stored.
    EXPECT_EQ(settings.Stored(UpdateState::pszRemindFrequency), static_cast<DWORD>(c4uMonthly));
    EXPECT_EQ(settings.Stored(UpdateState::pszAutoCheck), 0u);
    EXPECT_EQ(product.All(), L"");
}

TEST_F(BeforeTheMenu, AFirstPreShowStartMenuOnlySchedulesTheCheck)
{
    LocalHttpServer server;
    ASSERT_NE(server.Port(), 0);
    settings.PointAt(server);
    int shown = 0;
    WhenShown count([&](HWND dialog) {
        ++shown;
        Press(dialog, IDCANCEL);
        return true;
    });
    const DWORD before = GetCurTime();
    EXPECT_EQ(PreShowStartMenu(nullptr), 1);
    const DWORD after = GetCurTime();
    // The first day has no check: the next one is a day and under an hour
    // away, nothing was asked, started or shown.
    DWORD next = settings.Stored(UpdateState::pszNextUpdate);
    ASSERT_NE(next, OwnSettings::missing);
    EXPECT_GE(next, (before + day) & ~1u);
    EXPECT_LT(next, after + day + 3600);
    DWORD last = settings.Stored(UpdateState::pszLastUpdate);
    EXPECT_TRUE(last == OwnSettings::missing || last < 2) << last;
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(product.Wait(500), L"");
}

// --- the About box -------------------------------------------------------------------------

namespace {

class AboutBox : public testing::Test {
protected:
    ModalWatchdog watchdog;
};

} // namespace

TEST_F(AboutBox, ShowsTheProductsIdentityIconAndAnOkButton)
{
    ProductInfo* product = GetMyProductInfo();
    std::wstring title, version, edition, copyright, link, okText;
    bool hasIcon = false, hasWindowIcon = false;
    int unpainted = -1, bandWhite = 0, belowFace = 0, iconInk = 0, titleInk = 0, okInk = 0, linkInk = 0;
    WhenShown look([&](HWND dialog) {
        title = Markup(dialog, IDC_ABOUT_TITLE);
        version = Markup(dialog, IDC_ABOUT_VERSION);
        edition = Markup(dialog, IDC_ABOUT_EDITION);
        copyright = Markup(dialog, IDC_ABOUT_COPYRIGHT);
        link = Markup(dialog, IDC_ABOUT_LINK);
        wchar_t ok[32] = {};
        GetDlgItemTextW(dialog, IDOK, ok, 32);
        okText = ok;
        hasIcon = SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0) != 0;
        hasWindowIcon = SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) != 0;

        RECT client;
        GetClientRect(dialog, &client);
        Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
        ComposeClientArea(dialog, canvas);
        SavePng(L"about", canvas.Pixels().data(), client.right, client.bottom);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const COLORREF white = RGB(255, 255, 255);
        RECT rule = ItemRect(dialog, IDC_ABOUT_RULE);
        unpainted = client.right * client.bottom - CountOther(canvas, client, RGB(255, 0, 255));
        bandWhite = canvas.At(2, 2) == white && canvas.At(client.right - 3, rule.top - 2) == white;
        belowFace = canvas.At(2, client.bottom - 3) == face && canvas.At(client.right - 3, rule.bottom + 2) == face;
        iconInk = CountOther(canvas, ItemRect(dialog, IDC_ABOUT_ICON), white);
        titleInk = CountOther(canvas, ItemRect(dialog, IDC_ABOUT_TITLE), white);
        okInk = CountOther(canvas, ItemRect(dialog, IDOK), face);
        // Pixels of the link that stand out from the face colour.
        RECT linkRect = ItemRect(dialog, IDC_ABOUT_LINK);
        const int faceLuma = (GetRValue(face) * 299 + GetGValue(face) * 587 + GetBValue(face) * 114) / 1000;
        for (int y = linkRect.top; y < linkRect.bottom; ++y) {
            for (int x = linkRect.left; x < linkRect.right; ++x) {
                COLORREF c = canvas.At(x, y);
                int luma = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
                linkInk += luma < faceLuma - 96;
            }
        }
        Press(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(DoAbout(nullptr, 1), IDOK);
    ASSERT_EQ(look.Handled(), 1u);

    EXPECT_NE(title.find(product->GetName()), std::wstring::npos) << testing::PrintToString(title);
    EXPECT_EQ(version, product->GetVersionStrRev(1));
    EXPECT_NE(version.find(L"21.7"), std::wstring::npos);
    EXPECT_NE(version.find(L"3040"), std::wstring::npos);
    EXPECT_NE(edition.find(product->GetEditionShort()), std::wstring::npos) << testing::PrintToString(edition);
    EXPECT_NE(edition.find(L"Architecture</dkgrey> x64"), std::wstring::npos) << testing::PrintToString(edition);
    EXPECT_NE(copyright.find(std::wstring(L"\u00A9 ") + product->GetCopyrightYear() + L" Corvenna"), std::wstring::npos)
        << testing::PrintToString(copyright);
    // The site without its scheme, as a link.
    std::wstring site = BuiltSite().substr(BuiltSite().find(L"://") + 3);
    EXPECT_NE(link.find(L"<a>" + site + L"</a>"), std::wstring::npos) << testing::PrintToString(link);
    EXPECT_EQ(okText, L"OK");
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(hasWindowIcon);

    // The picture: every pixel drawn, a white band over the face colour,
    // the icon and the name on the band, the button below it.
    EXPECT_EQ(unpainted, 0);
    EXPECT_TRUE(bandWhite);
    EXPECT_TRUE(belowFace);
    EXPECT_GT(iconInk, 200);
    EXPECT_GT(titleInk, 50);
    EXPECT_GT(okInk, 20);
    EXPECT_GT(linkInk, 100) << "the site's link stands out from the face colour, whatever the system's link colour";
}

TEST_F(AboutBox, ItsLinkOpensTheMakersSite)
{
    TestClasses classes;
    classes.Protocol(L"pvtestproto");
    BrowserMarker marker;
    BaseUrl base(L"pvtestproto://maker.test");
    ShellSpy spy(ShellSpy::passThrough);
    ASSERT_TRUE(spy.Hooked());
    std::wstring shownSite;
    bool clicked = false;
    WhenShown act([&](HWND dialog) {
        if (!clicked) {
            shownSite = Markup(dialog, IDC_ABOUT_LINK);
            POINT at;
            if (!LinkCentre(GetDlgItem(dialog, IDC_ABOUT_LINK), &at)) {
                Press(dialog, IDCANCEL);
                return true;
            }
            SendMessageW(GetDlgItem(dialog, IDC_ABOUT_LINK), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            SendMessageW(GetDlgItem(dialog, IDC_ABOUT_LINK), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            clicked = true;
            return false;
        }
        // The click arrives as a posted command: wait for the page.
        if (spy.Calls().empty())
            return false;
        Press(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(DoAbout(nullptr, 1), IDOK);
    EXPECT_TRUE(clicked) << "the link had no area";
    EXPECT_NE(shownSite.find(L"<a>maker.test</a>"), std::wstring::npos) << testing::PrintToString(shownSite);
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].file, L"pvtestproto://maker.test");
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"pvtestproto://maker.test"), std::wstring::npos) << testing::PrintToString(line);
}

TEST_F(AboutBox, TheSiteShowsWithoutItsSchemeAndClosingSlashAndWithItsMarkupEscaped)
{
    BaseUrl base(L"https://a.test/?x=1&y=<2>/");
    std::wstring shown;
    WhenShown look([&](HWND dialog) {
        shown = Markup(dialog, IDC_ABOUT_LINK);
        Press(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(DoAbout(nullptr, 1), IDCANCEL);
    EXPECT_NE(shown.find(L"<a>a.test/?x=1&amp;y=&lt;2&gt;</a>"), std::wstring::npos) << testing::PrintToString(shown);
}

TEST_F(AboutBox, AModelessBoxRunsOnTheCallersLoopAndGoesWhenClosed)
{
    HWND owner = CreateWindowExW(
        0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(DoAbout(owner, 0), 1);
    // Back at once, the box still open.
    HWND box = nullptr;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w && !box; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w) && Caption(w) == L"About Launchora")
            box = w;
    }
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_FALSE(IsWindow(box));
    DestroyWindow(owner);
}
