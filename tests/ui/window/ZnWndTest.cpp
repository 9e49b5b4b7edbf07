#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/TestSupport.h"
#include "common/TestWindow.h"

namespace {

const wchar_t testClass[] = L"PVDLLTestZnWnd";

void RegisterTestClass()
{
    static ATOM atom = ZnWnd::RegisterClassExW(testClass, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
    ASSERT_NE(atom, 0);
}


// Records the virtual handlers it is called in.
class RecordingWnd : public ZnWnd {
public:
    RecordingWnd() { ++alive; }
    ~RecordingWnd() override { --alive; }
    void PreInit() override { calls.push_back(L"PreInit"); }
    void OnActivate(int active) override { calls.push_back(active ? L"Activate(1)" : L"Activate(0)"); }
    void OnClickActivate() override { calls.push_back(L"ClickActivate"); }
    void OnEnable(int enabled) override { calls.push_back(enabled ? L"Enable(1)" : L"Enable(0)"); }
    void OnSystemSettingChange(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back(L"SettingChange");
        ZnWnd::OnSystemSettingChange(wParam, lParam);
    }
    void OnDelayedActionWnd(unsigned long action) override
    {
        actions.push_back(action);
        ZnWnd::OnDelayedActionWnd(action);
    }
    void OnPostNcDestroy() override
    {
        calls.push_back(L"PostNcDestroy");
        ZnWnd::OnPostNcDestroy();
    }
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_APP && destroyInHandler) {
            DestroyWindow(hWnd);
            stillBoundAfterDestroy = hWnd != nullptr;
            return 5;
        }
        return ZnWnd::OnWndMessage(msg, wParam, lParam);
    }
    bool Create(HWND parent = nullptr)
    {
        RegisterTestClass();
        DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
        return ZnWnd::Create(testClass, L"test", style, 0, 0, 200, 100, parent, nullptr, nullptr) != 0;
    }

    std::vector<std::wstring> calls;
    std::vector<unsigned long> actions;
    bool destroyInHandler = false;
    bool stillBoundAfterDestroy = false;
    static inline int alive = 0;
};

// A hook that answers WM_APP + 1 with its tag, or only records it.
class TagHook : public WMHook {
public:
    TagHook(std::vector<int>& log, int tag, bool consume) : log(log), tag(tag), consume(consume) {}
    int OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        if (msg != WM_APP + 1)
            return 0;
        log.push_back(tag);
        if (removeSelf)
            wnd->RemoveWndHook(this);
        if (removeAll)
            wnd->RemoveAllWndHooks();
        if (passOn) {
            *result = wnd->DoWndMessage(msg, wParam, lParam, this) + 100;
            return 1;
        }
        *result = tag;
        return consume;
    }
    std::vector<int>& log;
    int tag;
    bool consume;
    bool removeSelf = false;
    bool removeAll = false;
    bool passOn = false;
};

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP + 1)
        return 1;
    return DefWindowProcW(h, msg, wParam, lParam);
}

const TestWindowKind plainWindow = {.className = L"PVDLLTestPlain", .proc = PlainProc, .title = L"plain"};

} // namespace

TEST(ZnWndBinding, CreateBindsOnTheFirstMessageAndCallsPreInitOnce)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ(ZnWnd::FromHandle(wnd.hWnd), &wnd);
    EXPECT_EQ(GetPropW(wnd.hWnd, L"ZNWND"), &wnd);
    EXPECT_EQ(ZnWnd::GetWndInit(), nullptr);
    ASSERT_FALSE(wnd.calls.empty());
    EXPECT_EQ(wnd.calls.front(), L"PreInit");
    EXPECT_EQ(std::count(wnd.calls.begin(), wnd.calls.end(), L"PreInit"), 1);
    EXPECT_TRUE(wnd.IsReady());
    EXPECT_TRUE(wnd.IsKindOf(L"ZnWnd"));
    EXPECT_FALSE(wnd.IsKindOf(L"znwnd"));
    EXPECT_FALSE(wnd.IsDlg());
    HWND h = wnd.hWnd;
    wnd.Destroy();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(wnd.hWnd, nullptr);
}

TEST(ZnWndBinding, FailedCreationLeavesNothingArmed)
{
    RecordingWnd wnd;
    EXPECT_FALSE(wnd.ZnWnd::Create(L"NoSuchClassAnywhere", L"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr));
    EXPECT_EQ(ZnWnd::GetWndInit(), nullptr);
    EXPECT_EQ(wnd.hWnd, nullptr);
}

TEST(ZnWndBinding, WindowOfTheClassWithoutAnObjectIsNotCreated)
{
    RegisterTestClass();
    HWND h = CreateWindowExW(0, testClass, L"orphan", 0, 0, 0, 10, 10, nullptr, nullptr, hiDLL, nullptr);
    EXPECT_EQ(h, nullptr);
}

TEST(ZnWndDispatch, NotificationsReachTheVirtualHandlersAfterProcessing)
{
    // A hook answers the messages, so the platform's own handling cannot
    // add activations of its own; the notifications still follow.
    class Answering : public WMHook {
        int OnWndMessage(ZnWnd*, UINT msg, WPARAM, LPARAM, LRESULT* result) override
        {
            *result = 0;
            return msg == WM_ACTIVATE || msg == WM_ENABLE;
        }
    } answering;
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.AddWndHook(&answering);
    wnd.calls.clear();
    SendMessageW(wnd.hWnd, WM_ENABLE, FALSE, 0);
    SendMessageW(wnd.hWnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SendMessageW(wnd.hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(wnd.calls,
              (std::vector<std::wstring>{L"Enable(0)", L"Activate(1)", L"ClickActivate", L"Activate(0)"}));
    wnd.Destroy();
}

TEST(ZnWndDispatch, SettingChangesReachBoundChildrenOnly)
{
    RecordingWnd parent;
    ASSERT_TRUE(parent.Create());
    RecordingWnd child;
    ASSERT_TRUE(child.Create(parent.hWnd));
    HWND plainChild = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, parent.hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(plainChild, nullptr);
    parent.calls.clear();
    child.calls.clear();
    SendMessageW(parent.hWnd, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(parent.calls, std::vector<std::wstring>{L"SettingChange"});
    EXPECT_EQ(child.calls, std::vector<std::wstring>{L"SettingChange"});
    parent.Destroy();
}

TEST(ZnWndHooks, HooksSeeMessagesFirstNewestFirstAndMayConsumeThem)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    std::vector<int> log;
    TagHook older(log, 1, false);
    TagHook newer(log, 2, false);
    older.AddToWnd(&wnd);
    wnd.AddWndHook(&newer);
    SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{2, 1}));

    log.clear();
    older.consume = true;
    EXPECT_EQ(SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0), 1);
    newer.consume = true;
    log.clear();
    EXPECT_EQ(SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0), 2);
    EXPECT_EQ(log, std::vector<int>{2});
    newer.RemoveFromWnd(&wnd);
    log.clear();
    SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(log, std::vector<int>{1});
    wnd.Destroy();
}

TEST(ZnWndHooks, HookThatRemovesItselfMidMessageIsSafe)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    std::vector<int> log;
    TagHook behind(log, 1, false);
    TagHook leaving(log, 2, false);
    wnd.AddWndHook(&behind);
    wnd.AddWndHook(&leaving);
    leaving.removeSelf = true;
    SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
    log.clear();
    SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(log, std::vector<int>{1});
    wnd.Destroy();
}

TEST(ZnWndHooks, RemoveAllFromInsideAHookWaitsForTheOutermostDispatch)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    std::vector<int> log;
    TagHook behind(log, 1, false);
    TagHook clearing(log, 2, false);
    wnd.AddWndHook(&behind);
    wnd.AddWndHook(&clearing);
    clearing.removeAll = true;
    SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0);
    EXPECT_EQ(log, (std::vector<int>{2, 1}));  // the list stayed intact during the dispatch
    log.clear();
    SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0);
    EXPECT_TRUE(log.empty());
    wnd.Destroy();
}

TEST(ZnWndHooks, HookPassingOnIsNotAskedAgainButTheRestRun)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    std::vector<int> log;
    TagHook behind(log, 1, false);
    TagHook passing(log, 2, false);
    wnd.AddWndHook(&behind);
    wnd.AddWndHook(&passing);
    passing.passOn = true;
    behind.consume = true;
    EXPECT_EQ(SendMessageW(wnd.hWnd, WM_APP + 1, 0, 0), 101);
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
    wnd.Destroy();
}

TEST(ZnWndLifetime, WindowDestroyedInItsOwnHandlerIsUnboundAfterTheHandler)
{
    RecordingWnd::alive = 0;
    auto* wnd = new RecordingWnd;
    ASSERT_TRUE(wnd->Create());
    wnd->autoDelete = 1;
    wnd->destroyInHandler = true;
    HWND h = wnd->hWnd;
    EXPECT_EQ(SendMessageW(h, WM_APP, 0, 0), 5);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(RecordingWnd::alive, 0);  // deleted once, after the handler returned
}

TEST(ZnWndLifetime, HandlerSeesItsObjectBoundUntilItReturns)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.destroyInHandler = true;
    SendMessageW(wnd.hWnd, WM_APP, 0, 0);
    EXPECT_TRUE(wnd.stillBoundAfterDestroy);
    EXPECT_EQ(wnd.hWnd, nullptr);
    EXPECT_EQ(wnd.calls.back(), L"PostNcDestroy");
}

TEST(ZnWndLifetime, DestroyingTheObjectOfALiveWindowUnbindsIt)
{
    TestWindow window(plainWindow);
    HWND h = window;
    LONG_PTR original = GetWindowLongPtrW(h, GWLP_WNDPROC);
    {
        ShellSubclass::subclassState = 0;  // the classic path replaces the procedure
        RecordingWnd wnd;
        ASSERT_TRUE(wnd.Subclass(h));
        EXPECT_NE(GetWindowLongPtrW(h, GWLP_WNDPROC), original);
    }
    ShellSubclass::ReInitialize();
    EXPECT_EQ(GetPropW(h, L"ZNWND"), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), original);
    EXPECT_EQ(SendMessageW(h, WM_APP + 1, 0, 0), 1);
    DestroyWindow(h);
}

TEST(ZnWndSubclassing, BothPathsRouteMessagesAndUnhook)
{
    for (int classic = 0; classic < 2; ++classic) {
        LoadLibraryW(L"comctl32.dll");
        ShellSubclass::ReInitialize();
        if (classic)
            ShellSubclass::subclassState = 0;
        else
            ASSERT_EQ(ShellSubclass::IsReady(), 1);
        TestWindow window(plainWindow);
        HWND h = window;
        RecordingWnd wnd;
        ASSERT_TRUE(wnd.Subclass(h)) << "classic " << classic;
        std::vector<int> log;
        TagHook hook(log, 7, true);
        wnd.AddWndHook(&hook);
        EXPECT_EQ(SendMessageW(h, WM_APP + 1, 0, 0), 7);
        wnd.RemoveWndHook(&hook);
        EXPECT_EQ(SendMessageW(h, WM_APP + 1, 0, 0), 1);  // the window's own procedure
        EXPECT_TRUE(wnd.Unsubclass());
        EXPECT_EQ(ZnWnd::FromHandle(h), nullptr);
        EXPECT_EQ(SendMessageW(h, WM_APP + 1, 0, 0), 1);
        ASSERT_TRUE(wnd.Subclass(h));
        DestroyWindow(h);
        EXPECT_EQ(wnd.hWnd, nullptr);
        EXPECT_EQ(wnd.calls.back(), L"PostNcDestroy");
    }
    ShellSubclass::ReInitialize();
}

TEST(ZnWndSubclassing, RefusedByThePlatformFails)
{
    RecordingWnd wnd;
    EXPECT_FALSE(wnd.Subclass(nullptr));
    TestWindow window(plainWindow);
    HWND h = window;
    DestroyWindow(h);
    EXPECT_FALSE(wnd.Subclass(h));
    EXPECT_EQ(wnd.hWnd, nullptr);
}

TEST(ZnWndDelayedAction, ArmedTwiceOnlyTheSecondFiresOnce)
{
    ModalWatchdog watchdog(5000);
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_TRUE(wnd.DelayActionWnd(11, 30));
    EXPECT_TRUE(wnd.DelayActionWnd(22, 30));
    EXPECT_TRUE(wnd.IsDelayActionPending());
    PumpFor(250);
    EXPECT_EQ(wnd.actions, std::vector<unsigned long>{22});
    EXPECT_FALSE(wnd.IsDelayActionPending());
    EXPECT_TRUE(wnd.DelayActionWnd(33, 0));  // a cancel, even with nothing pending
    EXPECT_TRUE(wnd.DelayActionWnd(44, 30));
    EXPECT_TRUE(wnd.DelayActionWnd(44, 0));
    PumpFor(150);
    EXPECT_EQ(wnd.actions, std::vector<unsigned long>{22});
    wnd.Destroy();
}

TEST(ZnWndWrappers, TextStylesAndIcons)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.SetTextFmt(L"%s %d", L"Launchora", 21);
    wchar_t text[32];
    wnd.GetText(text, 32);
    EXPECT_STREQ(text, L"Launchora 21");
    EXPECT_EQ(wnd.GetTextLength(), 12);
    wnd.SetText(-20022);  // the library's "&About..."
    wnd.GetText(text, 32);
    EXPECT_STREQ(text, L"&About...");
    wnd.SetTextFmt(hiDLL, 20103, L"why");
    wnd.GetText(text, 32);
    EXPECT_STREQ(text, L"An error occurred when checking");

    wnd.ModifyStyle(0, WS_BORDER);
    EXPECT_TRUE(wnd.GetStyle() & WS_BORDER);
    wnd.SetStyleBits(WS_BORDER, 0);
    EXPECT_FALSE(wnd.GetStyle() & WS_BORDER);
    wnd.ModifyStyle(0, WS_EX_TOOLWINDOW, 1);
    EXPECT_TRUE(GetWndStyle(wnd.hWnd, 1) & WS_EX_TOOLWINDOW);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    wnd.SetIcon(icon, 2);
    EXPECT_EQ(reinterpret_cast<HICON>(wnd.SendMsg(WM_GETICON, ICON_BIG)), icon);
    EXPECT_EQ(wnd.SendMsg(WM_GETICON, ICON_SMALL), 0);
    wnd.Destroy();
}

TEST(CoreWnd, BindsHandlesAndDeletesItselfAfterDestroy)
{
    static int alive = 0;
    class Probe : public CoreWnd {
    public:
        Probe() { ++alive; }
        ~Probe() override { --alive; }
        LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            if (msg == WM_APP)
                return 9;
            return CoreWnd::OnWndMessage(msg, wParam, lParam);
        }
    };
    CoreWnd::RegisterClassExW(L"PVDLLTestCoreWnd", 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
    auto* probe = new Probe;
    ASSERT_TRUE(probe->Create(L"PVDLLTestCoreWnd", L"core", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
    probe->autoDelete = CoreWnd::deleteObject;
    EXPECT_EQ(SendMessageW(probe->hWnd, WM_APP, 0, 0), 9);
    EXPECT_EQ(GetPropW(probe->hWnd, L"COREWND"), probe);
    probe->Destroy();
    EXPECT_EQ(alive, 0);
}

TEST(ZnTimer, StartsAndStopsAThreadTimer)
{
    static int ticks = 0;
    ZnTimer timer;
    EXPECT_TRUE(timer.Start(nullptr, 20, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; }, 5));
    EXPECT_TRUE(timer.IsTicking());
    PumpFor(150);
    EXPECT_GT(ticks, 0);
    timer.Stop();
    EXPECT_FALSE(timer.IsTicking());
    int stopped = ticks;
    PumpFor(80);
    EXPECT_EQ(ticks, stopped);
}

TEST(ZnWndEnabler, DisablesForItsScope)
{
    TestWindow window(plainWindow);
    HWND h = window;
    {
        ZnWndEnabler disabled(h);
        EXPECT_FALSE(IsWindowEnabled(h));
    }
    EXPECT_TRUE(IsWindowEnabled(h));
    DestroyWindow(h);
    MyWindowPlacement placement;
    EXPECT_FALSE(placement.IsInitialized());
    placement.Initialize();
    EXPECT_EQ(placement.length, 44u);
}

TEST(FullWndDragger, ClientAreaDragsLikeTheCaptionUnlessMaximised)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    SetWindowPos(wnd.hWnd, nullptr, 100, 100, 200, 100, SWP_NOZORDER);
    FullWndDragger dragger;
    wnd.AddWndHook(&dragger);
    RECT client;
    GetClientRect(wnd.hWnd, &client);
    POINT inside = {client.right / 2, client.bottom / 2};
    ClientToScreen(wnd.hWnd, &inside);
    EXPECT_EQ(SendMessageW(wnd.hWnd, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCAPTION);
    // Outside the client area the default answer stands.
    EXPECT_NE(SendMessageW(wnd.hWnd, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCAPTION);
    // Not a dialog, so the caption keeps the platform's cursor handling.
    EXPECT_EQ(SendMessageW(wnd.hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd.hWnd), MAKELPARAM(HTCAPTION, 0)),
              DefWindowProcW(wnd.hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd.hWnd), MAKELPARAM(HTCAPTION, 0)));
    wnd.RemoveWndHook(&dragger);
    EXPECT_EQ(SendMessageW(wnd.hWnd, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
    wnd.Destroy();
}
