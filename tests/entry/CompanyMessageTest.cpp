#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "PVDLL.h"
#include "common/TestWindow.h"

namespace {

std::vector<std::pair<WPARAM, LPARAM>> received;

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == GetCompanyMessage()) {
        received.emplace_back(wParam, lParam);
        return 42;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A top-level window of the product that listens for the company message.
class Listener : public TestWindow {
public:
    Listener()
        : TestWindow({.className = L"PVDLLCompanyListener", .proc = ListenerProc, .title = L"listener", .cx = 10,
                      .cy = 10}),
          hwnd(Handle())
    {
        received.clear();
    }
    HWND hwnd;
};

void PumpPosted()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

class CountingProgress : public ProgressEx {
public:
    void DoStepIt() override { ++steps; }
    void DoSetPos(int) override {}
    void DoSetRange(int, int) override {}
    void ProcessAllMessages() override {}
    int steps = 0;
};

} // namespace

TEST(CompanyMessage, IsTheRegisteredCorvennaMessage)
{
    EXPECT_EQ(GetCompanyMessage(), RegisterWindowMessageW(L"CorvennaMessage"));
    EXPECT_GE(GetCompanyMessage(), 0xC000u);
}

TEST(CompanyMessage, SendAndPostReachTheWindow)
{
    Listener listener;
    EXPECT_EQ(GetMyProductInfo()->SendMyMessage(listener.hwnd, 3, 4), 42);
    EXPECT_EQ(SendMyCompanyMsg(listener.hwnd, 5, 6), 42);
    EXPECT_TRUE(GetMyProductInfo()->PostMyMessage(listener.hwnd, 7, 8));
    EXPECT_TRUE(PostMyCompanyMsg(listener.hwnd, 9, 10));
    PumpPosted();
    std::vector<std::pair<WPARAM, LPARAM>> expected = {{3, 4}, {5, 6}, {7, 8}, {9, 10}};
    EXPECT_EQ(received, expected);
}

TEST(CompanyMessage, FreeFunctionsIgnoreANullWindow)
{
    Listener listener;
    EXPECT_EQ(SendMyCompanyMsg(nullptr, 1, 2), 0);
    EXPECT_FALSE(PostMyCompanyMsg(nullptr, 1, 2));
    PumpPosted();
    EXPECT_TRUE(received.empty());
}

TEST(CompanyMessage, ShutDownBroadcastsBothCodesThenStepsEachSecond)
{
    Listener listener;
    CountingProgress progress;
    GetMyProductInfo()->ShutDownMyModules(nullptr, &progress, 1);
    PumpPosted();
    // Other programs (other test processes among them) broadcast too: keep
    // what carries this product's id.
    std::vector<std::pair<WPARAM, LPARAM>> ours;
    for (const auto& message : received)
        if (message.second == 21301)
            ours.push_back(message);
    std::vector<std::pair<WPARAM, LPARAM>> expected = {{1, 21301}, {16, 21301}};
    EXPECT_EQ(ours, expected);
    EXPECT_EQ(progress.steps, 1);
}
