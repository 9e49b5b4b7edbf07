#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "PVDLL.h"
#include "common/TestWindow.h"

namespace {

constexpr UINT probeMessage = WM_APP + 7;

LRESULT CALLBACK PlainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == probeMessage)
        return 1;  // the window's own answer
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const TestWindowKind plainWindow = {.className = L"PVDLLSubclassProbe", .proc = PlainWndProc, .title = L"probe"};

// Records what reaches it and adds 10 to the window's answer to the probe.
class RecordingSubclasser : public ShellSubclasser {
public:
    LRESULT OnWndMsg(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(msg);
        LRESULT result = ShellSubclasser::OnWndMsg(window, msg, wParam, lParam);
        return msg == probeMessage ? result + 10 : result;
    }
    bool Saw(UINT msg) const
    {
        for (UINT m : seen)
            if (m == msg)
                return true;
        return false;
    }
    std::vector<UINT> seen;
};

// Runs a test body with the subclass facility in the given state and puts
// the process back in its ready state afterwards.
class ShellSubclassPath : public testing::Test {
protected:
    void UseComctl()
    {
        LoadLibraryW(L"comctl32.dll");
        ShellSubclass::ReInitialize();
        ASSERT_EQ(ShellSubclass::IsReady(), 1);
    }
    void UseFallback() { ShellSubclass::subclassState = 0; }
    void TearDown() override { ShellSubclass::ReInitialize(); }

    // A window of the plain procedure, destroyed by the test or else after it.
    HWND PlainWindow() { return window.emplace(plainWindow); }

private:
    std::optional<TestWindow> window;
};

} // namespace

TEST_F(ShellSubclassPath, InitializedAtAttachWithTheLibrarysIdAndProperty)
{
    EXPECT_EQ(ShellSubclass::subclassId, 16u);
    EXPECT_STREQ(ShellSubclass::propName, L"SMNU");
}

// Looking for COMCTL32 is a module search, which costs every process that
// loads the library: the attach only names the id and the property, and
// the first subclass looks.
TEST_F(ShellSubclassPath, AttachLeavesTheLookupToTheFirstSubclass)
{
    typedef BOOL(WINAPI * DllMainFn)(HINSTANCE, DWORD, LPVOID);
    auto dllMain = reinterpret_cast<DllMainFn>(reinterpret_cast<void*>(GetProcAddress(hiDLL, "DllMain")));
    ASSERT_NE(dllMain, nullptr);
    LoadLibraryW(L"comctl32.dll");
    ShellSubclass::subclassState = -1;
    ShellSubclass::subclassId = 0;
    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(ShellSubclass::subclassState, -1);
    EXPECT_EQ(ShellSubclass::subclassId, 16u);
    EXPECT_STREQ(ShellSubclass::propName, L"SMNU");
    dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr);

    RecordingSubclasser sub;
    ASSERT_EQ(sub.Subclass(PlainWindow()), 1);
    EXPECT_EQ(ShellSubclass::subclassState, 1);
}

TEST_F(ShellSubclassPath, ComctlPathRoutesMessagesAndUnhooksOnDestroy)
{
    UseComctl();
    HWND hwnd = PlainWindow();
    RecordingSubclasser sub;
    ASSERT_EQ(sub.Subclass(hwnd), 1);
    EXPECT_EQ(sub.GetHwnd(), hwnd);
    EXPECT_EQ(GetPropW(hwnd, L"SMNU"), nullptr);
    EXPECT_EQ(SendMessageW(hwnd, probeMessage, 0, 0), 11);

    DestroyWindow(hwnd);
    EXPECT_TRUE(sub.Saw(WM_NCDESTROY));
    EXPECT_EQ(sub.GetHwnd(), nullptr);
}

TEST_F(ShellSubclassPath, ComctlPathUnsubclassRestoresTheWindow)
{
    UseComctl();
    HWND hwnd = PlainWindow();
    RecordingSubclasser sub;
    ASSERT_EQ(sub.Subclass(hwnd), 1);
    EXPECT_EQ(sub.Unsubclass(), 1);
    EXPECT_EQ(SendMessageW(hwnd, probeMessage, 0, 0), 1);
    EXPECT_FALSE(sub.Saw(probeMessage));
    DestroyWindow(hwnd);
}

TEST_F(ShellSubclassPath, FallbackPathUsesThePropertyAndWindowProcedure)
{
    UseFallback();
    HWND hwnd = PlainWindow();
    LONG_PTR original = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    RecordingSubclasser sub;
    ASSERT_EQ(sub.Subclass(hwnd), 1);
    EXPECT_EQ(GetPropW(hwnd, L"SMNU"), &sub);
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), original);
    EXPECT_EQ(SendMessageW(hwnd, probeMessage, 0, 0), 11);

    EXPECT_EQ(sub.Unsubclass(), 1);
    EXPECT_EQ(GetPropW(hwnd, L"SMNU"), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), original);
    EXPECT_EQ(sub.Unsubclass(), 0);  // nothing left to undo
    DestroyWindow(hwnd);
}

TEST_F(ShellSubclassPath, FallbackRefusesAWindowThatAlreadyCarriesTheProperty)
{
    UseFallback();
    HWND hwnd = PlainWindow();
    RecordingSubclasser first;
    RecordingSubclasser second;
    ASSERT_EQ(first.Subclass(hwnd), 1);
    LONG_PTR hooked = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    EXPECT_EQ(second.Subclass(hwnd), 0);
    EXPECT_EQ(GetPropW(hwnd, L"SMNU"), &first);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), hooked);
    EXPECT_EQ(second.GetHwnd(), nullptr);
    DestroyWindow(hwnd);
}

TEST_F(ShellSubclassPath, FallbackUnhooksOnDestroy)
{
    UseFallback();
    HWND hwnd = PlainWindow();
    RecordingSubclasser sub;
    ASSERT_EQ(sub.Subclass(hwnd), 1);
    DestroyWindow(hwnd);
    EXPECT_TRUE(sub.Saw(WM_NCDESTROY));
    EXPECT_EQ(sub.GetHwnd(), nullptr);
}
