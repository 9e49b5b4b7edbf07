#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

class PageDlg : public ZnDlgChild {
public:
    void OnResize(int dx, int dy) override { resizes.push_back({dx, dy}); }
    std::vector<std::pair<int, int>> resizes;
};

class ChildTest : public testing::Test {
protected:
    void SetUp() override
    {
        host.atInit = [this](ProbeDlg& h) {
            // The size of the page's template before it is laid over the placeholder.
            made = page.Init(&h, IDD_PAGE, IDC_PLACEHOLDER, TestModule(), 1);
        };
        window = host.Modeless(IDD_HOST, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(made);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }

    ProbeDlg host;
    PageDlg page;
    HWND window = nullptr;
    int made = 0;
};

} // namespace

TEST_F(ChildTest, PageLiesOverItsPlaceholderAndHearsTheSizeChange)
{
    RECT place;
    host.GetDlgItemRect(IDC_PLACEHOLDER, &place);
    RECT own;
    GetWindowRect(page.hWnd, &own);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&own), 2);
    EXPECT_TRUE(EqualRect(&own, &place));
    EXPECT_TRUE(IsWindowVisible(page.hWnd));
    EXPECT_EQ(GetParent(page.hWnd), window);
    EXPECT_EQ(page.GetParentDlg(), &host);
    EXPECT_TRUE(page.IsChildDlg());

    // The template's own size, in pixels, against the placeholder's.
    RECT units = {0, 0, 100, 40};
    MapDialogRect(page.hWnd, &units);
    ASSERT_EQ(page.resizes.size(), 1u);
    EXPECT_EQ(page.resizes[0],
        std::make_pair(static_cast<int>(place.right - place.left - units.right),
            static_cast<int>(place.bottom - place.top - units.bottom)));
}

TEST_F(ChildTest, PageNeverClosesByItselfAndForwardsItsButtons)
{
    SendMessageW(page.hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageW(page.hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(page.hWnd));
    EXPECT_FALSE(page.IsClosed());
    HWND button = page.GetDlgItem(IDC_PAGE_BUTTON);
    SendMessageW(page.hWnd, WM_COMMAND, MAKEWPARAM(IDC_PAGE_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(host.clicked, (std::vector<unsigned short>{IDOK, IDCANCEL, IDC_PAGE_BUTTON}));
}

TEST_F(ChildTest, HostStaysTheDialogThatActivationReaches)
{
    EXPECT_EQ(ZnDlg::ActivateActiveDlg(), 1);
    EXPECT_EQ(host.companyCodes, (std::vector<int>{ZnDlg::codeActivate}));
}

TEST_F(ChildTest, PageGoesWithItsHost)
{
    DestroyWindow(window);
    EXPECT_EQ(page.hWnd, nullptr);
    EXPECT_EQ(host.hWnd, nullptr);
}

TEST(DlgChild, PageWithoutHostIsNotMade)
{
    ZnDlgChild page;
    ZnDlg unmade;
    EXPECT_EQ(page.Init(nullptr, IDD_PAGE, IDC_PLACEHOLDER, TestModule(), 1), 0);
    EXPECT_EQ(page.Init(&unmade, IDD_PAGE, IDC_PLACEHOLDER, TestModule(), 1), 0);
    EXPECT_EQ(page.hWnd, nullptr);
}
