#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "ChildProcess.h"
#include "PVDLL.h"
#include "ThreadProbes.h"
#include "common/TestSupport.h"

namespace {

constexpr wchar_t windowClass[] = L"PVDLLInstanceWindow";
constexpr wchar_t windowTitle[] = L"Launchora instance";
constexpr unsigned long childId = 0x5EED;

struct InstanceOptions {
    const wchar_t* className = windowClass;
    unsigned long id = 0;
    unsigned long alsoId = 0;     // a second id the window activates for
    DWORD sleepAfterCreateMs = 0; // the thread is hung this long
    bool activatesItself = true;
};

// A top-level window of an "earlier instance" on a thread of its own. It
// claims its id (121) and, unless told otherwise, activates itself through
// OnActivatePreviousInstance.
class InstanceWindow {
public:
    explicit InstanceWindow(const InstanceOptions& options) : options(options)
    {
        HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread = std::thread([this, created] { Run(created); });
        WaitForSingleObject(created, 10000);
        CloseHandle(created);
    }
    ~InstanceWindow()
    {
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        thread.join();
    }

    HWND hwnd = nullptr;
    std::atomic<int> activations{0};
    std::atomic<int> closes{0};

private:
    void Run(HANDLE created)
    {
        static std::once_flag registered;
        std::call_once(registered, [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = windowClass;
            RegisterClassW(&wc);
        });
        threadId = GetCurrentThreadId();
        hwnd = CreateWindowExW(0, options.className, windowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        baseProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue for PostThreadMessage
        SetEvent(created);
        Sleep(options.sleepAfterCreateMs);
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<InstanceWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == GetCompanyMessage()) {
            if (wParam == 121)
                return lParam == static_cast<LPARAM>(self->options.id);
            if (!self->options.activatesItself)
                return 0;
            LRESULT reply = OnActivatePreviousInstance(self->options.id, hwnd, msg, wParam, lParam);
            if (!reply && self->options.alsoId)
                reply = OnActivatePreviousInstance(self->options.alsoId, hwnd, msg, wParam, lParam);
            if (reply)
                ++self->activations;
            return reply;
        }
        if (msg == WM_CLOSE)
            ++self->closes;
        return CallWindowProcW(self->baseProc, hwnd, msg, wParam, lParam);
    }

    InstanceOptions options;
    WNDPROC baseProc = nullptr;
    DWORD threadId = 0;
    std::thread thread;
};

bool WaitUntil(bool (*condition)(HWND), HWND hwnd, DWORD timeoutMs)
{
    Stopwatch clock;
    while (!condition(hwnd) && clock.Ms() < timeoutMs)
        Sleep(10);
    return condition(hwnd);
}

} // namespace

TEST(OnActivatePreviousInstance, AnswersOnlyItsOwnIdOrTheGeneralRequest)
{
    TickWindow window;
    const UINT company = GetCompanyMessage();
    EXPECT_EQ(OnActivatePreviousInstance(9, window.hwnd, company, 3, 9), activationReply);
    EXPECT_EQ(OnActivatePreviousInstance(9, window.hwnd, company, 4, 0), activationReply);
    EXPECT_EQ(OnActivatePreviousInstance(9, window.hwnd, company, 3, 8), 0);
    EXPECT_EQ(OnActivatePreviousInstance(9, window.hwnd, company, 4, 9), 0);
    EXPECT_EQ(OnActivatePreviousInstance(9, window.hwnd, company, 121, 9), 0);
    EXPECT_EQ(OnActivatePreviousInstance(9, window.hwnd, WM_APP, 3, 9), 0);
}

TEST(ActivatePreviousInstance, FindsTheWindowOfAnotherProcess)
{
    ModalWatchdog watchdog(40000);
    std::wstring token = NewToken();
    EventSimple ready(SharedName(token, L"ready").c_str(), 1, 0);
    EventSimple release(SharedName(token, L"release").c_str(), 1, 0);
    ChildProcess child(L"AnswerActivation", token);
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(ready.WaitSignalled(30000));

    HWND found = ActivatePreviousInstance(childId);
    ASSERT_NE(found, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    EXPECT_EQ(owner, child.Id());
    EXPECT_EQ(ActivatePreviousInstance(childId + 1), nullptr);

    // The child passes when its window was activated exactly once.
    release.Set(1);
    EXPECT_EQ(child.WaitForExit(30000), childPassed);
}

TEST(ChildSide, DISABLED_AnswerActivation)
{
    std::wstring token = ChildToken();
    ASSERT_FALSE(token.empty());
    EventSimple ready(SharedName(token, L"ready").c_str(), 1, 0);
    EventSimple release(SharedName(token, L"release").c_str(), 1, 0);
    InstanceOptions options;
    options.id = childId;
    InstanceWindow window(options);
    ready.Set(1);
    bool released = release.WaitSignalled(30000);
    EndChild(window.hwnd && released && window.activations == 1);
}

TEST(ActivatePreviousInstance, SkipsAHungWindowWithinItsTimeOut)
{
    ModalWatchdog watchdog(20000);
    InstanceOptions answering;
    answering.id = 0x51;
    InstanceWindow live(answering);
    InstanceOptions stuck;
    stuck.id = 0x52;
    stuck.alsoId = 0x51;
    stuck.sleepAfterCreateMs = 4000;
    InstanceWindow hung(stuck);

    Stopwatch clock;
    EXPECT_EQ(ActivatePreviousInstance(0x52), nullptr);
    EXPECT_LT(clock.Ms(), 2500u);
    Stopwatch again;
    EXPECT_EQ(ActivatePreviousInstance(0x51), live.hwnd);
    EXPECT_LT(again.Ms(), 2500u);
    EXPECT_EQ(live.activations, 1);
}

TEST(ActivatePrevWnd, TakesOnlyAWindowThatClaimsTheId)
{
    ModalWatchdog watchdog;
    InstanceOptions options;
    options.id = 7;
    InstanceWindow window(options);
    EXPECT_EQ(ActivatePrevWnd(windowClass, windowTitle, 8), 0);
    EXPECT_EQ(window.activations, 0);
    EXPECT_EQ(ActivatePrevWnd(windowClass, windowTitle, 7), 1);
    EXPECT_EQ(window.activations, 1);
    // Without an id the first window of that class and title will do.
    EXPECT_EQ(ActivatePrevWnd(windowClass, nullptr, 0), 1);
    EXPECT_EQ(ActivatePrevWnd(L"PVDLLNoSuchClass", nullptr, 0), 0);
}

TEST(ActivatePrevWnd, RestoresAMinimisedWindowThatDoesNotActivateItself)
{
    ModalWatchdog watchdog;
    InstanceOptions options;
    options.id = 11;
    options.activatesItself = false;
    InstanceWindow window(options);
    ShowWindow(window.hwnd, SW_MINIMIZE);
    if (!IsIconic(window.hwnd))
        GTEST_SKIP() << "this display driver does not minimise windows";
    EXPECT_EQ(ActivatePrevWnd(windowClass, windowTitle, 11), 1);
    EXPECT_TRUE(WaitUntil([](HWND hwnd) { return !IsIconic(hwnd); }, window.hwnd, 3000));
}

TEST(ActivatePrevDlg, FindsADialogByItsId)
{
    ModalWatchdog watchdog;
    InstanceOptions options;
    options.className = L"#32770";
    options.id = 12;
    InstanceWindow dialog(options);
    ASSERT_NE(dialog.hwnd, nullptr);
    EXPECT_EQ(ActivatePrevDlg(13), 0);
    EXPECT_EQ(ActivatePrevDlg(12), 1);
    EXPECT_EQ(dialog.activations, 1);
}

TEST(ClosePrevWnd, ClosesTheClaimingWindow)
{
    ModalWatchdog watchdog;
    InstanceOptions options;
    options.id = 21;
    InstanceWindow window(options);
    EXPECT_EQ(ClosePrevWnd(windowClass, windowTitle, 22), 0);
    EXPECT_EQ(ClosePrevWnd(windowClass, windowTitle, 21), 1);
    EXPECT_EQ(window.closes, 1);
    EXPECT_FALSE(IsWindow(window.hwnd));
}

TEST(DoAttachThreadInputActivateWindow, BringsAnotherThreadsWindowToTheForeground)
{
    ModalWatchdog watchdog;
    InstanceOptions options;
    options.id = 31;
    InstanceWindow first(options);
    InstanceWindow second(options);
    ShowWindow(first.hwnd, SW_SHOWNA);
    ShowWindow(second.hwnd, SW_SHOWNA);
    DoAttachThreadInputActivateWindow(first.hwnd);
    if (GetForegroundWindow() != first.hwnd)
        GTEST_SKIP() << "this display driver keeps no foreground window";
    DoAttachThreadInputActivateWindow(second.hwnd);
    EXPECT_EQ(GetForegroundWindow(), second.hwnd);
}
