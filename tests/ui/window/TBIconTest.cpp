#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/CreationLog.h"
#include "common/TestSupport.h"
#include "resources/resource.h"
#include "ui/window/internal/TrayNotify.h"

namespace {

const wchar_t trayClass[] = L"PVDLLTestTrayIcon";

const unsigned mainIconId = 0u - IDI_PRODUCT; // the library's
const unsigned blinkIconId = 0u - IDI_MSGEX_INFORMATION; // the library's

// One call of the shell's notify function, as the shell would read it.
struct NotifyCall {
    DWORD message;
    DWORD cbSize;
    HWND wnd;
    UINT id;
    UINT flags;
    UINT callback;
    HICON icon;
    std::wstring tip;
    std::wstring info;
    std::wstring title;
    UINT timeout;
    DWORD infoFlags;
};

std::vector<NotifyCall> notified;
// The answer of the recording shell, by message.
std::function<BOOL(DWORD)> shellAnswer;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAW data)
{
    NotifyCall call = {message, data->cbSize, data->hWnd, data->uID, data->uFlags, data->uCallbackMessage, data->hIcon,
        data->szTip, data->szInfo, data->szInfoTitle, data->uTimeout, data->dwInfoFlags};
    notified.push_back(call);
    return shellAnswer ? shellAnswer(message) : TRUE;
}

size_t Count(DWORD message)
{
    size_t count = 0;
    for (const NotifyCall& call : notified)
        count += call.message == message;
    return count;
}

std::vector<DWORD> Messages()
{
    std::vector<DWORD> messages;
    for (const NotifyCall& call : notified)
        messages.push_back(call.message);
    return messages;
}

void RegisterTrayClass()
{
    static ATOM atom = ZnWnd::RegisterClassExW(trayClass, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
    ASSERT_NE(atom, 0);
}

// Counts its handlers and lets a test see the record.
class TestTray : public TBIcon {
public:
    ~TestTray() override
    {
        // The window goes with the object here, while this class still
        // answers its handlers.
        if (IsReady())
            DestroyWindow(hWnd);
    }
    int ShouldShowIcon() override { return allowShow; }
    int OnMyCompanyMessage(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        companyMessages.push_back({wParam, lParam});
        if (!companyAnswer)
            return 0;
        *result = companyAnswer;
        return 1;
    }
    void OnLeftClick() override { ++leftClicks; }
    void OnDoubleClick() override { ++doubleClicks; }
    void OnRightClick() override
    {
        ++rightClicks;
        if (onRightClick)
            onRightClick();
    }
    void OnBaloonShow() override { ++balloonShows; }
    void OnBaloonHide() override { ++balloonHides; }
    void OnBaloonTimeout() override { ++balloonTimeouts; }
    void OnBaloonClick() override { ++balloonClicks; }
    void OnMouseMove() override { ++mouseMoves; }
    void OnCreateWnd() override { ++creates; }

    bool Make() { return CreateWnd(trayClass) != 0; }
    const NOTIFYICONDATAW& Record() const { return nid; }
    HICON MainIcon() const { return loadedMainIcon.Get(); }
    HICON BlinkIcon() const { return blinkIcon.Get(); }

    int allowShow = 1;
    LRESULT companyAnswer = 0;
    std::vector<std::pair<WPARAM, LPARAM>> companyMessages;
    std::function<void()> onRightClick;
    int leftClicks = 0, doubleClicks = 0, rightClicks = 0, balloonShows = 0, balloonHides = 0, balloonTimeouts = 0,
        balloonClicks = 0, mouseMoves = 0, creates = 0;
};

class TBIconTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterTrayClass();
        notified.clear();
        shellAnswer = nullptr;
        SetShellNotifyFunction(&RecordNotify);
    }
    void TearDown() override
    {
        SetShellNotifyFunction(nullptr);
        shellAnswer = nullptr;
    }

    // Every test pumps messages; none may hang the run.
    ModalWatchdog watchdog{20000};
};

// --- adding, changing, removing ---------------------------------------------------------

TEST_F(TBIconTest, ShowingTwiceAddsTheIconOnceWithItsRecord)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    EXPECT_EQ(tray.creates, 1);
    EXPECT_EQ(tray.Record().hWnd, tray.GetHwnd());
    tray.SetIcon(mainIconId, 0, 0);
    ASSERT_NE(tray.MainIcon(), nullptr);
    tray.SetTip(L"Launchora");
    EXPECT_EQ(tray.ShowIcon(1), 1);
    EXPECT_EQ(tray.ShowIcon(1), 1);
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
    const NotifyCall& add = notified[0];
    EXPECT_EQ(add.wnd, tray.GetHwnd());
    EXPECT_EQ(add.id, 1u);
    EXPECT_EQ(add.callback, 1025u);
    EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.icon, tray.MainIcon());
    EXPECT_EQ(add.tip, L"Launchora");
    EXPECT_TRUE(tray.IsIconShown());
}

TEST_F(TBIconTest, UpdateAndFocusReachTheShellOnlyWhileShown)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    EXPECT_FALSE(tray.UpdateIcon());
    EXPECT_FALSE(tray.SetFocus());
    EXPECT_TRUE(notified.empty());
    tray.ShowIcon(1);
    tray.SetTip(L"changed");
    EXPECT_TRUE(tray.UpdateIcon());
    EXPECT_TRUE(tray.SetFocus());
    ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_SETFOCUS}));
    EXPECT_EQ(notified[1].tip, L"changed");
}

TEST_F(TBIconTest, HidingAndDestroyingTheWindowRemoveTheIcon)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    tray.ShowIcon(1);
    EXPECT_EQ(tray.ShowIcon(0), 0);
    EXPECT_EQ(tray.ShowIcon(0), 0);
    tray.ShowIcon(1);
    DestroyWindow(tray.GetHwnd());
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE, NIM_ADD, NIM_DELETE}));
    EXPECT_FALSE(tray.IsIconShown());
}

TEST_F(TBIconTest, AnObjectGoneBeforeItsWindowTakesItsIconAlong)
{
    HWND left = nullptr;
    {
        TBIcon tray;
        ASSERT_TRUE(tray.CreateWnd(trayClass));
        tray.SetIcon(mainIconId, 0, 0);
        tray.ShowIcon(1);
        left = tray.GetHwnd();
    }
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(notified.back().wnd, left);
    // The window outlives the object, unbound, as any ZnWnd's does.
    EXPECT_EQ(ZnWnd::FromHandle(left), nullptr);
    DestroyWindow(left);
    EXPECT_EQ(notified.size(), 2u);
}

TEST_F(TBIconTest, APositiveIdNamesAnIconOfTheCurrentModule)
{
    TestTray tray;
    tray.SetIcon(IDI_PRODUCT, 0, 0); // no module registered: the library's
    EXPECT_NE(tray.MainIcon(), nullptr);
    {
        AppInstance app(GetModuleHandleW(nullptr), L"TrayTest"); // has no icons
        tray.SetIcon(IDI_PRODUCT, 0, 0);
        EXPECT_EQ(tray.MainIcon(), nullptr);
        EXPECT_EQ(tray.Record().hIcon, nullptr);
        tray.SetIcon(mainIconId, 0, 0);
        EXPECT_NE(tray.MainIcon(), nullptr);
    }
}

TEST_F(TBIconTest, AnOwnerThatSaysNoKeepsTheIconHidden)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.allowShow = 0;
    EXPECT_EQ(tray.ShowIcon(1), 0);
    EXPECT_TRUE(notified.empty());
}

TEST_F(TBIconTest, DestroyWndClosesTheOwnWindowOrTheFirstOfTheClass)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.ShowIcon(1);
    HWND own = tray.GetHwnd();
    tray.DestroyWnd(nullptr);
    EXPECT_TRUE(IsWindow(own)); // posted, not sent
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(own); }, 3000));
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));

    TestTray other;
    ASSERT_TRUE(other.Make());
    TestTray unmade;
    unmade.DestroyWnd(trayClass);
    EXPECT_TRUE(PumpUntil([&] { return !other.IsReady(); }, 3000));
    unmade.DestroyWnd(trayClass); // nothing left to close
    unmade.DestroyWnd(nullptr);
    PumpFor(50);
}

// --- a shell that refuses ---------------------------------------------------------------

TEST_F(TBIconTest, ARefusedAddLeavesTheIconHiddenStartsNoTimerAndIsTriedAgain)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, blinkIconId, 20);
    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"text");
    shellAnswer = [](DWORD message) { return message == NIM_ADD ? FALSE : TRUE; };
    EXPECT_EQ(tray.ShowIcon(1), 0);
    EXPECT_FALSE(tray.IsIconShown());
    PumpFor(1300); // past the blink interval and the balloon's time-out
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});

    shellAnswer = nullptr;
    notified.clear();
    EXPECT_EQ(tray.ShowIcon(1), 1);
    ASSERT_GE(notified.size(), 2u);
    EXPECT_EQ(notified[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(notified[0].icon, tray.MainIcon());
    EXPECT_EQ(notified[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(notified[1].icon, tray.BlinkIcon());
    tray.Blink(0);
}

TEST_F(TBIconTest, HidingStopsBlinkingAndTheBalloonTimeOut)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, blinkIconId, 20);
    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"text");
    tray.ShowIcon(1);
    EXPECT_TRUE(PumpUntil([] { return Count(NIM_MODIFY) >= 3; }, 3000));
    tray.ShowIcon(0);
    EXPECT_EQ(tray.Record().hIcon, tray.MainIcon()); // the next add starts with the main icon
    notified.clear();
    PumpFor(1300);
    EXPECT_TRUE(notified.empty());
}

TEST_F(TBIconTest, AShellRestartAddsAShownIconAgainAndLeavesAHiddenOneHidden)
{
    ASSERT_NE(TBIcon::uMsgTaskbarCreated, 0u);
    TestTray shownTray;
    TestTray hiddenTray;
    ASSERT_TRUE(shownTray.Make());
    ASSERT_TRUE(hiddenTray.Make());
    shownTray.SetIcon(mainIconId, 0, 0);
    hiddenTray.SetIcon(mainIconId, 0, 0);
    shownTray.ShowIcon(1);
    notified.clear();

    SendMessageW(hiddenTray.GetHwnd(), TBIcon::uMsgTaskbarCreated, 0, 0);
    EXPECT_TRUE(notified.empty());
    EXPECT_FALSE(hiddenTray.IsIconShown());

    SendMessageW(shownTray.GetHwnd(), TBIcon::uMsgTaskbarCreated, 0, 0);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
    EXPECT_TRUE(shownTray.IsIconShown());

    // The new shell knows nothing of the icon, so its refused delete must
    // not keep the icon from coming back.
    notified.clear();
    shellAnswer = [](DWORD message) { return message == NIM_DELETE ? FALSE : TRUE; };
    SendMessageW(shownTray.GetHwnd(), TBIcon::uMsgTaskbarCreated, 0, 0);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
    EXPECT_TRUE(shownTray.IsIconShown());
    shellAnswer = nullptr;
}

// --- tip and balloon ----------------------------------------------------------------------

TEST_F(TBIconTest, TheTipIsFormattedAndCutToItsField)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetTip(L"%s: %d new", L"Inbox", 3);
    EXPECT_EQ(std::wstring(tray.Record().szTip), L"Inbox: 3 new");
    EXPECT_TRUE(tray.Record().uFlags & NIF_TIP);

    std::wstring longText(300, L'x');
    tray.SetTip(L"%s%s", longText.c_str(), longText.c_str());
    size_t room = tray.Record().cbSize < NOTIFYICONDATAW_V2_SIZE ? 64 : 128;
    EXPECT_EQ(wcsnlen(tray.Record().szTip, 128), room - 1);
    EXPECT_EQ(tray.Record().dwState, 0u); // the field behind the tip is untouched

    tray.SetTip(nullptr);
    EXPECT_EQ(tray.Record().szTip[0], L'\0');
}

TEST_F(TBIconTest, TheBalloonCarriesItsTitleTextFlagsAndTimeOutCutToTheirFields)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    tray.SetBalloon(L"Update", NIIF_WARNING, 5, L"%d files of %s", 4, L"C:\\Data");
    tray.ShowIcon(1);
    ASSERT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
    const NotifyCall& add = notified[0];
    EXPECT_TRUE(add.flags & NIF_INFO);
    EXPECT_EQ(add.title, L"Update");
    EXPECT_EQ(add.info, L"4 files of C:\\Data");
    EXPECT_EQ(add.infoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(add.timeout, 5000u);

    std::wstring longText(400, L'y');
    tray.SetBalloon(longText.c_str(), NIIF_INFO, 5, L"%s", longText.c_str());
    EXPECT_EQ(wcsnlen(tray.Record().szInfo, 256), 255u);
    EXPECT_EQ(wcsnlen(tray.Record().szInfoTitle, 64), 63u);
    EXPECT_EQ(tray.Record().dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    tray.SetBalloon(nullptr, 0, 0, nullptr);
    EXPECT_EQ(tray.Record().szInfo[0], L'\0');
    EXPECT_EQ(tray.Record().szInfoTitle[0], L'\0');
    tray.HideBalloon(0);
}

TEST_F(TBIconTest, TheBalloonEmptiesItselfAfterItsOwnTimeOut)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"text");
    DWORD start = GetTickCount();
    tray.ShowIcon(1);
    ASSERT_TRUE(PumpUntil([] { return Count(NIM_MODIFY) >= 1; }, 4000));
    EXPECT_GE(GetTickCount() - start, 900u);
    ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    const NotifyCall& emptied = notified[1];
    EXPECT_TRUE(emptied.flags & NIF_INFO);
    EXPECT_EQ(emptied.info, L"");
    EXPECT_EQ(emptied.title, L"");
    EXPECT_EQ(emptied.timeout, 0u);
    PumpFor(1200); // one-shot
    EXPECT_EQ(notified.size(), 2u);
}

TEST_F(TBIconTest, HideBalloonEmptiesItAndTellsTheShellWhenAskedAndShown)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"text");
    tray.HideBalloon(1); // not shown: nothing to tell
    EXPECT_TRUE(notified.empty());

    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"text");
    tray.ShowIcon(1);
    tray.HideBalloon(0);
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(tray.Record().szInfo[0], L'\0');

    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"again");
    tray.UpdateIcon();
    tray.EnableBaloon(0);
    EXPECT_FALSE(tray.Record().uFlags & NIF_INFO);
    tray.HideBalloon(1);
    ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
    EXPECT_EQ(notified[1].info, L"again");
    EXPECT_TRUE(notified[2].flags & NIF_INFO); // a disabled balloon must still go away
    EXPECT_EQ(notified[2].info, L"");
    PumpFor(1300); // the stopped time-out sends nothing more
    EXPECT_EQ(notified.size(), 3u);
    tray.EnableBaloon(1);
    EXPECT_TRUE(tray.Record().uFlags & NIF_INFO);
}

// --- blinking ----------------------------------------------------------------------------------

TEST_F(TBIconTest, TheIconsAlternateUntilBlinkOffRestoresTheMainIcon)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, blinkIconId, 30);
    ASSERT_NE(tray.BlinkIcon(), nullptr);
    ASSERT_NE(tray.BlinkIcon(), tray.MainIcon());
    tray.SetBalloon(L"Title", NIIF_INFO, 30, L"text");
    tray.ShowIcon(1);
    ASSERT_TRUE(PumpUntil([] { return Count(NIM_MODIFY) >= 6; }, 3000));
    ASSERT_EQ(notified[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(notified[0].icon, tray.MainIcon());
    for (size_t i = 1; i < notified.size(); ++i) {
        EXPECT_EQ(notified[i].message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(notified[i].icon, i % 2 ? tray.BlinkIcon() : tray.MainIcon()) << i;
        // Only the icon changes: the balloon would pop up again each time.
        EXPECT_EQ(notified[i].flags, static_cast<UINT>(NIF_ICON)) << i;
    }
    tray.Blink(0);
    EXPECT_EQ(tray.Record().hIcon, tray.MainIcon());
    EXPECT_EQ(notified.back().icon, tray.MainIcon());
    size_t after = notified.size();
    PumpFor(150);
    EXPECT_EQ(notified.size(), after);

    tray.Blink(1); // on again: the blink icon at once, then the timer
    EXPECT_EQ(notified.back().icon, tray.BlinkIcon());
    EXPECT_TRUE(PumpUntil([&] { return notified.size() >= after + 3; }, 3000));
    tray.Blink(0);
    EXPECT_EQ(tray.Record().hIcon, tray.MainIcon());
}

TEST_F(TBIconTest, BlinkingAndTheBalloonTimeOutRunSideBySide)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, blinkIconId, 40);
    tray.SetBalloon(L"Title", NIIF_INFO, 1, L"text");
    tray.ShowIcon(1);
    auto emptied = [] {
        for (const NotifyCall& call : notified)
            if (call.message == NIM_MODIFY && (call.flags & NIF_INFO) && call.info.empty())
                return true;
        return false;
    };
    ASSERT_TRUE(PumpUntil(emptied, 4000));
    size_t blinksBefore = Count(NIM_MODIFY);
    EXPECT_GE(blinksBefore, 5u);
    EXPECT_TRUE(PumpUntil([&] { return Count(NIM_MODIFY) >= blinksBefore + 3; }, 3000));
    tray.Blink(0);
}

TEST_F(TBIconTest, ACallersIconStandsInForTheMainIconAndStaysTheCallers)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    HICON callers = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    ASSERT_NE(callers, nullptr);
    tray.SetIcon(callers);
    EXPECT_EQ(tray.Record().hIcon, callers);
    EXPECT_TRUE(tray.Record().uFlags & NIF_ICON);
    tray.ShowIcon(1);
    DestroyWindow(tray.GetHwnd());
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(callers, &info)); // not freed by the object
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(callers);
}

// --- the shell's notifications ----------------------------------------------------------------

TEST_F(TBIconTest, EachNotificationReachesItsHandler)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    const UINT events[] = {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, NIN_BALLOONSHOW, NIN_BALLOONHIDE,
        NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK, WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_LBUTTONDOWN, WM_CONTEXTMENU};
    for (UINT event : events)
        SendMessageW(tray.GetHwnd(), 1025, 1, event);
    // Posted, so a handler runs outside the shell's call.
    EXPECT_EQ(tray.leftClicks + tray.rightClicks + tray.mouseMoves, 0);
    EXPECT_TRUE(PumpUntil([&] { return tray.mouseMoves == 1; }, 3000));
    PumpFor(50);
    EXPECT_EQ(tray.leftClicks, 1);
    EXPECT_EQ(tray.doubleClicks, 1);
    EXPECT_EQ(tray.rightClicks, 1);
    EXPECT_EQ(tray.balloonShows, 1);
    EXPECT_EQ(tray.balloonHides, 1);
    EXPECT_EQ(tray.balloonTimeouts, 1);
    EXPECT_EQ(tray.balloonClicks, 1);
    EXPECT_EQ(tray.mouseMoves, 1);
}

TEST_F(TBIconTest, AHandlerStillRunningIsNotEnteredAgainAndItsPopupComesForward)
{
    TestTray tray;
    TestTray second;
    ASSERT_TRUE(tray.Make());
    ASSERT_TRUE(second.Make());
    HWND popup = nullptr;
    HWND foregroundAfter = nullptr;
    HWND elsewhere = CreateWindowExW(
        0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(elsewhere, nullptr);
    tray.onRightClick = [&] {
        // A handler's menu: a popup of the icon's window, with a loop of its own.
        popup = CreateWindowExW(
            0, L"STATIC", L"menu", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, tray.GetHwnd(), nullptr, nullptr, nullptr);
        SetForegroundWindow(popup);
        SetForegroundWindow(elsewhere);
        SendMessageW(tray.GetHwnd(), 1025, 1, WM_RBUTTONUP);
        SendMessageW(tray.GetHwnd(), 1025, 1, WM_LBUTTONUP);
        SendMessageW(second.GetHwnd(), 1025, 1, WM_LBUTTONDBLCLK);
        PumpFor(200);
        foregroundAfter = GetForegroundWindow();
        DestroyWindow(popup);
    };
    SendMessageW(tray.GetHwnd(), 1025, 1, WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return tray.rightClicks > 0; }, 3000));
    PumpFor(50);
    EXPECT_EQ(tray.rightClicks, 1);
    EXPECT_EQ(tray.leftClicks, 0);
    EXPECT_EQ(second.doubleClicks, 0); // the flag is the whole process's
    // Whichever icon was clicked, the running handler's popup comes forward.
    EXPECT_EQ(foregroundAfter, popup);

    // Once the handler is done, clicks are handled again.
    tray.onRightClick = nullptr;
    SendMessageW(tray.GetHwnd(), 1025, 1, WM_RBUTTONUP);
    SendMessageW(second.GetHwnd(), 1025, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(PumpUntil([&] { return tray.rightClicks == 2 && second.doubleClicks == 1; }, 3000));
    DestroyWindow(elsewhere);
}

// --- the company message ------------------------------------------------------------------

TEST_F(TBIconTest, AShutDownRequestForThisProductClosesTheWindowAndRemovesTheIcon)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    tray.ShowIcon(1);
    HWND own = tray.GetHwnd();
    SendMessageW(own, GetCompanyMessage(), 1, GetMyProductInfo()->GetID());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(own); }, 3000));
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_FALSE(tray.IsIconShown());
}

TEST_F(TBIconTest, ARequestForAnotherProductOrAnotherCodeIsIgnored)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.ShowIcon(1);
    unsigned short id = GetMyProductInfo()->GetID();
    SendMessageW(tray.GetHwnd(), GetCompanyMessage(), 1, static_cast<unsigned short>(id + 1));
    SendMessageW(tray.GetHwnd(), GetCompanyMessage(), 16, id);
    PumpFor(100);
    EXPECT_TRUE(tray.IsReady());
    EXPECT_TRUE(tray.IsIconShown());
    EXPECT_EQ(tray.companyMessages.size(), 2u);
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
}

TEST_F(TBIconTest, TheOwnersAnswerToTheCompanyMessageComesFirst)
{
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.ShowIcon(1);
    tray.companyAnswer = 77;
    unsigned short id = GetMyProductInfo()->GetID();
    EXPECT_EQ(SendMessageW(tray.GetHwnd(), GetCompanyMessage(), 1, id), 77);
    PumpFor(100);
    EXPECT_TRUE(tray.IsReady());
    EXPECT_TRUE(tray.IsIconShown());
    ASSERT_EQ(tray.companyMessages.size(), 1u);
    EXPECT_EQ(tray.companyMessages[0], (std::pair<WPARAM, LPARAM>{1, id}));
}

// --- the record's size -------------------------------------------------------------------------

TEST_F(TBIconTest, TheRecordSizeFollowsTheShellsVersion)
{
    unsigned version = GetVerDll(L"shell32.dll");
    EXPECT_GE(version, 0x0400u);
    DWORD expected = version < 0x0500 ? 168 : version <= 0x0600 ? 952 : version == 0x0601 ? 968 : 976;
    TestTray tray;
    EXPECT_EQ(tray.Record().cbSize, expected) << std::hex << version;
    ASSERT_TRUE(tray.Make());
    tray.ShowIcon(1);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].cbSize, expected);
    RecordProperty("shell32", std::to_string(version >> 8) + "." + std::to_string(version & 0xFF));

    EXPECT_EQ(GetVerDll(L"kernel32.dll"), 0x0400u); // no DllGetVersion
    EXPECT_EQ(GetVerDll(L"no-such-library.dll"), 0x0400u);
    EXPECT_EQ(GetVerDll(nullptr), 0x0400u);
}

// --- handles ------------------------------------------------------------------------------------

TEST_F(TBIconTest, ReplacedIconsAreFreedAtOnce)
{
    CreationLog made(CreationLog::images);
    ASSERT_TRUE(made.Hooked());
    {
        TestTray tray;
        tray.SetIcon(mainIconId, blinkIconId, 100);
        tray.SetIcon(blinkIconId, mainIconId, 100);
        EXPECT_EQ(made.icons.size(), 4u);
        EXPECT_EQ(made.IconsAlive(), 2u);
        tray.SetIcon(mainIconId, 0, 0);
        EXPECT_EQ(made.IconsAlive(), 1u);
        tray.SetIcon(nullptr);
        EXPECT_EQ(made.IconsAlive(), 0u);
        tray.SetIcon(mainIconId, blinkIconId, 100);
        EXPECT_EQ(made.IconsAlive(), 2u);
    }
    EXPECT_EQ(made.IconsAlive(), 0u);
}

TEST_F(TBIconTest, TwoHundredIconsShownBlinkedAndDestroyedLeaveNothingBehind)
{
    CreationLog made(CreationLog::images | CreationLog::windows);
    ASSERT_TRUE(made.Hooked());
    for (int i = 0; i < 200; ++i) {
        auto tray = std::make_unique<TestTray>();
        ASSERT_TRUE(tray->Make());
        tray->SetIcon(mainIconId, blinkIconId, 10);
        tray->SetTip(L"icon %d", i);
        tray->SetBalloon(L"Title", NIIF_INFO, 1, L"balloon %d", i);
        tray->ShowIcon(1);
        tray->DoBlink();
        if (i % 2)
            tray->Blink(1);
        if (i % 20 == 0)
            PumpFor(30);
        if (i % 3 == 0) {
            // closed as a shut-down request closes it, before the object goes
            tray->DestroyWnd(nullptr);
            HWND own = tray->GetHwnd();
            ASSERT_TRUE(PumpUntil([&] { return !IsWindow(own); }, 3000));
        }
    }
    PumpFor(50);
    EXPECT_EQ(made.icons.size(), 400u);
    EXPECT_EQ(made.made.size(), 200u);
    EXPECT_EQ(made.IconsAlive(), 0u);
    EXPECT_EQ(made.WindowsAlive(), 0u);
    EXPECT_EQ(Count(NIM_ADD), 200u);
    EXPECT_EQ(Count(NIM_DELETE), 200u);
}

// --- the real shell -------------------------------------------------------------------------

TEST_F(TBIconTest, TheRealShellTakesTheIcon)
{
    SetShellNotifyFunction(nullptr);
    TestTray tray;
    ASSERT_TRUE(tray.Make());
    tray.SetIcon(mainIconId, 0, 0);
    tray.SetTip(L"PVDLL test icon");
    SetLastError(0);
    if (!tray.ShowIcon(1)) {
        DWORD error = GetLastError();
        bool trayWindow = FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
        GTEST_SKIP() << "Shell_NotifyIconW(NIM_ADD) failed (last error 0x" << std::hex << error << ", "
                     << (trayWindow ? "a" : "no") << " Shell_TrayWnd window): the null driver's desktop has no "
                     << "notification area to take the icon";
    }
    EXPECT_TRUE(tray.UpdateIcon());
    EXPECT_EQ(tray.ShowIcon(0), 0);
}

} // namespace
