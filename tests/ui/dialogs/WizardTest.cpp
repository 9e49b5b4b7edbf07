// The wizard: Next becomes OK on the last step, finishing runs the apply
// and close passes once, Cancel from a middle step asks first (and only
// there), the title's large font and colours, the caption and icons, the
// image button, Back on the first step, the DPI enlargement, the skin
// layout, pictures of three steps, and 200 skinned wizards that leave no
// window or GDI object behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "MsgProbe.h"
#include "PageProbe.h"
#include "SkinSupport.h"
#include "common/CreationLog.h"
#include "common/TestSupport.h"

namespace {

// The library's "Continue" strip: four 48-pixel cells, magenta transparent.
constexpr int continueBitmap = 21530;
constexpr int productIcon = 101;

ImageBtnDescriptor ContinueStrip()
{
    return {-continueBitmap, nullptr, 48, 48, RGB(255, 0, 255), 6, 0};
}

class WizardTest : public testing::Test {
protected:
    void SetUp() override
    {
        wiz.AddPage(&one);
        wiz.AddPage(&two);
        wiz.AddPage(&three);
    }
    void TearDown() override
    {
        if (wnd && IsWindow(wnd))
            DestroyWindow(wnd);
        PumpFor(10);
    }
    void Open()
    {
        wnd = wiz.Modeless(IDD_WIZARD, TestModule(), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
    }
    bool Shows(int id) const { return IsWindowVisible(GetDlgItem(wnd, id)) && IsWindowEnabled(GetDlgItem(wnd, id)); }

    AppInstance app{TestModule(), L"WizardTest"};
    ImageBtnDescriptor strip = ContinueStrip();
    ZnDlgWizard wiz{IDC_PM_HEADER, IDC_PM_PLACE, IDC_PM_BACK, IDC_PM_NEXT, static_cast<unsigned int>(-productIcon),
        IDS_WIZ_CAPTION, IDS_WIZ_CANCEL, 0, &strip, IDC_PM_IMAGE};
    std::vector<std::wstring> log;
    ProbePage one{&wiz, IDD_PG_GENERAL, L"Welcome", &log, L"one"};
    ProbePage two{&wiz, IDD_PG_VIEW, L"Choose a view", &log, L"two"};
    ProbePage three{&wiz, IDD_PG_ADVANCED, L"Ready to go", &log, L"three"};
    HWND wnd = nullptr;
};

} // namespace

TEST_F(WizardTest, NextBecomesOKOnTheLastStepAndBackShowsAfterTheFirst)
{
    Open();
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_BACK)));
    EXPECT_TRUE(Shows(IDC_PM_NEXT));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDOK)));
    EXPECT_TRUE(Shows(IDCANCEL));
    EXPECT_TRUE(Shows(IDHELP));
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(wiz.GetActiveIndex(), 1);
    EXPECT_TRUE(Shows(IDC_PM_BACK));
    EXPECT_TRUE(Shows(IDC_PM_NEXT));
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(wiz.GetActiveIndex(), 2);
    EXPECT_TRUE(Shows(IDOK));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_NEXT)));
    EXPECT_EQ(LOWORD(SendMessageW(wnd, DM_GETDEFID, 0, 0)), IDOK);
    // A click on the hidden Next (an accelerator, a late press) does nothing.
    Click(wnd, IDC_PM_NEXT);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(wiz.GetActiveIndex(), 2);
    Click(wnd, IDC_PM_BACK);
    EXPECT_EQ(wiz.GetActiveIndex(), 1);
    EXPECT_TRUE(Shows(IDC_PM_NEXT));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDOK)));
    EXPECT_EQ(LOWORD(SendMessageW(wnd, DM_GETDEFID, 0, 0)), IDC_PM_NEXT);
}

TEST_F(WizardTest, FinishingRunsTheApplyAndClosePassesOnce)
{
    ModalWatchdog watchdog(10000);
    int finished = 0;
    {
        BoxTicker steps([&] {
            HWND w = wiz.GetHwnd();
            if (!w || !IsWindow(w) || wiz.IsClosed())
                return;
            // Next twice, then the OK that took its place.
            Click(w, wiz.IsActivePageLast() ? IDOK : IDC_PM_NEXT);
        });
        finished = wiz.Do(0, IDD_WIZARD, TestModule(), nullptr);
    }
    EXPECT_TRUE(finished);
    EXPECT_FALSE(watchdog.Fired());
    for (ProbePage* page : {&one, &two, &three}) {
        EXPECT_EQ(page->applyCalls, 1) << page->name;
        EXPECT_EQ(page->closeCalls, 1) << page->name;
    }
    EXPECT_EQ(wiz.GetResult(), IDOK);
}

TEST_F(WizardTest, OKThatThePageRefusesKeepsTheWizardOpen)
{
    Open();
    wiz.SetActivePage(2, 1);
    three.allowNext = 0;
    Click(wnd, IDOK);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(three.applyCalls, 0);
    three.allowNext = 1;
    Click(wnd, IDOK);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(three.applyCalls, 1);
}

TEST_F(WizardTest, CancelFromAMiddleStepAsksAndStaysUnlessTheAnswerIsYes)
{
    ModalWatchdog watchdog(20000);
    Open();
    Click(wnd, IDC_PM_NEXT);
    ASSERT_EQ(wiz.GetActiveIndex(), 1);
    std::wstring question;
    int boxes = 0;
    WithBox(
        [&] {
            Click(wnd, IDCANCEL);
            return 0;
        },
        [&](HWND box) {
            ++boxes;
            question = ItemText(box, IDC_MSGEX_TEXT);
            ClickItem(box, IDC_MSGEX_BUTTON2); // No
        });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(question, L"Leave the set-up before it is done?");
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_EQ(two.closeCalls, 0);
    WithBox(
        [&] {
            Click(wnd, IDCANCEL);
            return 0;
        },
        [&](HWND box) {
            ++boxes;
            ClickItem(box, IDC_MSGEX_BUTTON1); // Yes
        });
    EXPECT_EQ(boxes, 2);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(wiz.GetResult(), IDCANCEL);
    EXPECT_EQ(two.applyCalls, 0);
}

TEST_F(WizardTest, CancelOnTheFirstOrLastStepClosesWithoutAQuestion)
{
    ModalWatchdog watchdog(20000);
    for (int step : {0, 2}) {
        ZnDlgWizard other(IDC_PM_HEADER, IDC_PM_PLACE, IDC_PM_BACK, IDC_PM_NEXT, 0, 0, IDS_WIZ_CANCEL, 0, nullptr, 0);
        ProbePage a(&other, IDD_PG_GENERAL, L"A", nullptr, L"a");
        ProbePage b(&other, IDD_PG_VIEW, L"B", nullptr, L"b");
        ProbePage c(&other, IDD_PG_ADVANCED, L"C", nullptr, L"c");
        other.AddPage(&a);
        other.AddPage(&b);
        other.AddPage(&c);
        other.SetStartPage(step);
        HWND w = other.Modeless(IDD_WIZARD, TestModule(), nullptr, 1);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(other.GetActiveIndex(), step);
        int boxes = 0;
        WithBox(
            [&] {
                Click(w, IDCANCEL);
                return 0;
            },
            [&](HWND box) {
                ++boxes;
                ClickItem(box, IDC_MSGEX_BUTTON2);
            });
        EXPECT_EQ(boxes, 0) << "step " << step;
        EXPECT_FALSE(IsWindow(w)) << "step " << step;
        if (IsWindow(w))
            DestroyWindow(w);
    }
}

TEST_F(WizardTest, TitleCaptionIconsAndImageButtonAreSetUp)
{
    Open();
    wchar_t caption[64] = {};
    GetWindowTextW(wnd, caption, 64);
    EXPECT_STREQ(caption, L"Set up Launchora");
    EXPECT_NE(SendMessageW(wnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(wnd, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(ItemText(wnd, IDC_PM_HEADER), L"Welcome");

    // The title: its own bold font, larger than the dialog's.
    HFONT titleFont = reinterpret_cast<HFONT>(SendDlgItemMessageW(wnd, IDC_PM_HEADER, WM_GETFONT, 0, 0));
    EXPECT_EQ(titleFont, wiz.GetLargeTitle().GetLargeFont());
    LOGFONTW title = {};
    LOGFONTW dialog = {};
    ASSERT_TRUE(GetObjectW(titleFont, sizeof(title), &title));
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)), sizeof(dialog), &dialog));
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_STREQ(title.lfFaceName, L"Segoe");
    EXPECT_GT(abs(title.lfHeight), abs(dialog.lfHeight));

    // Its colours where no skin answers.
    Canvas canvas(8, 8);
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(wnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.dc),
        reinterpret_cast<LPARAM>(GetDlgItem(wnd, IDC_PM_HEADER))));
    EXPECT_EQ(brush, GetSysColorBrush(COLOR_3DHILIGHT));
    EXPECT_EQ(GetTextColor(canvas.dc), static_cast<COLORREF>(0x800000));

    ASSERT_NE(wiz.GetImageButton(), nullptr);
    EXPECT_TRUE(wiz.GetImageButton()->IsLoaded());
    EXPECT_EQ(wiz.GetImageButton()->GetHwnd(), GetDlgItem(wnd, IDC_PM_IMAGE));
    // Not resizable: the frame keeps its size.
    EXPECT_FALSE(wiz.IsFlag(ZnDlg::flagResizable));
}

TEST_F(WizardTest, BackOnTheFirstStepBringsTheWizardCancelWithoutAQuestion)
{
    Open();
    // Back is not there on the first step, so only code can go back.
    Click(wnd, IDC_PM_BACK);
    EXPECT_TRUE(IsWindow(wnd));
    wiz.SetNextPage(0);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(wiz.GetResult(), IDCANCEL);
}

TEST(WizardDpi, OnlyASlightlyLargerDpiEnlargesAndTheSizeNeverOverflows)
{
    SIZE same = ZnDlgWizard::EnlargeForDpi(500, 400, 96, 96);
    EXPECT_EQ(same.cx, 500);
    EXPECT_EQ(same.cy, 400);
    SIZE larger = ZnDlgWizard::EnlargeForDpi(480, 384, 108, 108);
    EXPECT_EQ(larger.cx, 540);
    EXPECT_EQ(larger.cy, 432);
    SIZE beyond = ZnDlgWizard::EnlargeForDpi(500, 400, 120, 120);
    EXPECT_EQ(beyond.cx, 500);
    // 30 million times 112 does not fit in 32 bits; the answer does.
    SIZE huge = ZnDlgWizard::EnlargeForDpi(30000000, 2000000000, 112, 100);
    EXPECT_EQ(huge.cx, 35000000);
    EXPECT_EQ(huge.cy, 2083333333);
    // An answer that itself does not fit keeps the size.
    SIZE kept = ZnDlgWizard::EnlargeForDpi(2100000000, 10, 112, 112);
    EXPECT_EQ(kept.cx, 2100000000);
    EXPECT_EQ(kept.cy, 12);
}

namespace {

class RememberingWizard : public ZnDlgWizard {
public:
    using ZnDlgWizard::ZnDlgWizard;
    MyWindowPlacement* GetResizingInfo() override { return &placement; }
    MyWindowPlacement placement;
};

} // namespace

TEST(ResizableWizard, PagesGrowButtonsFollowAndTheSizeIsRemembered)
{
    RememberingWizard wiz(IDC_PM_HEADER, IDC_PM_PLACE, IDC_PM_BACK, IDC_PM_NEXT, 0, 0, 0, 1, nullptr, 0);
    ThreePages<ZnDlgWizard> pages(wiz);
    HWND wnd = wiz.Modeless(IDD_WIZARD, TestModule(), nullptr, 1);
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(wiz.IsFlag(ZnDlg::flagResizable));
    RECT frame;
    GetWindowRect(wnd, &frame);
    const RECT cancel = RectInParent(GetDlgItem(wnd, IDCANCEL));
    const RECT page = RectInParent(pages.one.GetHwnd());
    SetWindowPos(wnd, nullptr, 0, 0, frame.right - frame.left + 60, frame.bottom - frame.top + 40,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT movedCancel = RectInParent(GetDlgItem(wnd, IDCANCEL));
    EXPECT_EQ(movedCancel.left, cancel.left + 60);
    EXPECT_EQ(movedCancel.top, cancel.top + 40);
    const RECT grownPage = RectInParent(pages.one.GetHwnd());
    EXPECT_EQ(grownPage.right - grownPage.left, page.right - page.left + 60);
    EXPECT_EQ(grownPage.bottom - grownPage.top, page.bottom - page.top + 40);
    // A page made after the change takes the grown place too.
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(RectInParent(pages.two.GetHwnd()).bottom, grownPage.bottom);
    Click(wnd, IDC_PM_BACK);
    Click(wnd, IDCANCEL);
    EXPECT_FALSE(IsWindow(wnd));
    ASSERT_TRUE(wiz.placement.IsInitialized());
    EXPECT_EQ(
        wiz.placement.rcNormalPosition.right - wiz.placement.rcNormalPosition.left, frame.right - frame.left + 60);
}

// --- pictures -------------------------------------------------------------------------------------------

TEST_F(WizardTest, PicturesOfThreeSteps)
{
    Open();
    const wchar_t* names[] = {L"wizard_step1", L"wizard_step2", L"wizard_step3"};
    SetDlgItemTextW(one.GetHwnd(), IDC_PG_EDIT, L"Anna");
    for (int step = 0; step < 3; ++step) {
        if (step)
            Click(wnd, IDC_PM_NEXT);
        ASSERT_EQ(wiz.GetActiveIndex(), step);
        if (step == 1)
            CheckRadioButton(two.GetHwnd(), IDC_PG_RADIO1, IDC_PG_RADIO2, IDC_PG_RADIO2);
        RECT client;
        GetClientRect(wnd, &client);
        Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
        ComposeManager(wiz, canvas);
        EXPECT_FALSE(SavePng(names[step], canvas.Pixels().data(), client.right, client.bottom).empty());
        // The title band is painted in its own colour.
        RECT title = RectInParent(GetDlgItem(wnd, IDC_PM_HEADER));
        EXPECT_EQ(canvas.At(title.left + 2, title.bottom - 2), GetSysColor(COLOR_3DHILIGHT)) << step;
    }
}

// --- a skin, and nothing left behind --------------------------------------------------------------------

namespace {

// The wizard skin: the test skin's window picture, its bands, and areas
// for the wizard's buttons.
class WizardSkin : public ZnDlgWizSkin {
public:
    WizardSkin() : ZnDlgWizSkin(GetSkinWizMetrics(), GetSkinMetrics(TestSkin::kindWindow))
    {
        using namespace TestSkin;
        const int ids[] = {IDC_PM_BACK, IDC_PM_NEXT, IDOK, IDCANCEL};
        const int xs[] = {4, 36, 36, 68};
        for (int i = 0; i < 4; ++i) {
            if (auto* area = new (std::nothrow) ZnDlgSkinArea(
                    ids[i], xs[i], 56, 24, 12, buttonNormal, buttonHot, buttonPressed, buttonDisabled, 0, 0))
                AddArea(area);
        }
    }
    using ZnDlgSkin::stretchedSize;
};

} // namespace

TEST(SkinnedWizard, TheSkinPlacesTitleButtonsAndPagesInItsBands)
{
    TestSkinMode mode;
    ModalWatchdog watchdog(20000);
    WizardSkin skin;
    ZnDlgWizard wiz(IDC_PM_HEADER, IDC_PM_PLACE, IDC_PM_BACK, IDC_PM_NEXT, 0, 0, 0, 0, nullptr, 0, &skin);
    ThreePages<ZnDlgWizard> pages(wiz);
    HWND wnd = wiz.Modeless(IDD_WIZARD_SKIN, TestModule(), nullptr, 1);
    ASSERT_NE(wnd, nullptr);
    ASSERT_TRUE(skin.IsSkinSet());
    RECT client;
    GetClientRect(wnd, &client);
    Canvas canvas(client.right, client.bottom);
    SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
    const SKIN_WIZ_METRICS& bands = skin.GetWizMetrics();
    // The page lies in the page rectangle of the stretched picture.
    RECT page = RectInParent(pages.one.GetHwnd());
    EXPECT_EQ(page.left, bands.pageRect.left);
    EXPECT_EQ(page.top, bands.pageRect.top);
    EXPECT_EQ(page.right, bands.pageRect.right);
    EXPECT_EQ(page.bottom, bands.pageRect.bottom);
    // The title is centred in the header band.
    RECT title = RectInParent(GetDlgItem(wnd, IDC_PM_HEADER));
    EXPECT_LE(abs((title.top + title.bottom) - (bands.headerTop + bands.headerBottom)), 1);
    // The buttons are the skin's areas: the controls stay out of sight.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wnd, IDC_PM_NEXT)));
    ZnDlgSkinArea* next = skin.FindArea(IDC_PM_NEXT);
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->IsHidden());
    EXPECT_TRUE(next->IsEnabled());
    EXPECT_TRUE(skin.FindArea(IDOK)->IsHidden());
    EXPECT_TRUE(skin.FindArea(IDC_PM_BACK)->IsHidden());
    // A click on the Next area moves on; the last step shows the OK area.
    Click(wnd, IDC_PM_NEXT);
    Click(wnd, IDC_PM_NEXT);
    EXPECT_EQ(wiz.GetActiveIndex(), 2);
    EXPECT_FALSE(skin.FindArea(IDOK)->IsHidden());
    EXPECT_TRUE(skin.FindArea(IDC_PM_NEXT)->IsHidden());
    EXPECT_FALSE(skin.FindArea(IDC_PM_BACK)->IsHidden());
    // Pages take the skin's page colours.
    EXPECT_EQ(pages.three.GetBkgColor(), GetSkinMetrics(TestSkin::kindWindow)->pageBkgColor);
    Click(wnd, IDOK);
    EXPECT_FALSE(IsWindow(wnd));
}

TEST(SkinnedWizard, TwoHundredSkinnedWizardsLeaveNoWindowOrGdiObjectBehind)
{
    TestSkinMode mode;
    AppInstance app(TestModule(), L"WizardTest");
    ModalWatchdog watchdog(240000);
    const int windowsBefore = CountThreadWindows();
    CreationLog made(CreationLog::gdiObjects | CreationLog::fonts | CreationLog::images | CreationLog::windows);
    ASSERT_TRUE(made.Hooked());
    int finished = 0;
    for (int cycle = 0; cycle < 200; ++cycle) {
        WizardSkin skin;
        ImageBtnDescriptor strip = ContinueStrip();
        ZnDlgWizard wiz(IDC_PM_HEADER, IDC_PM_PLACE, IDC_PM_BACK, IDC_PM_NEXT, static_cast<unsigned int>(-productIcon),
            IDS_WIZ_CAPTION, IDS_WIZ_CANCEL, 0, &strip, IDC_PM_IMAGE, &skin);
        ThreePages<ZnDlgWizard> pages(wiz);
        HWND wnd = wiz.Modeless(IDD_WIZARD, TestModule(), nullptr, 1);
        ASSERT_NE(wnd, nullptr);
        RECT client;
        GetClientRect(wnd, &client);
        Canvas canvas(client.right, client.bottom);
        SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
        Click(wnd, IDC_PM_NEXT);
        Click(wnd, IDC_PM_NEXT);
        // Every control painted now and then, as the screen would.
        if (cycle % 50 == 0)
            ComposeClientArea(wnd, canvas);
        Click(wnd, IDOK);
        finished += !IsWindow(wnd) && wiz.GetResult() == IDOK;
        if (IsWindow(wnd))
            DestroyWindow(wnd);
        PumpFor(0);
    }
    EXPECT_EQ(finished, 200);
    EXPECT_GE(made.fontsMade, 200u);
    EXPECT_GE(made.icons.size(), 200u);
    EXPECT_GT(made.gdi.size(), 600u);
    EXPECT_EQ(made.GdiAlive(), 0u);
    EXPECT_EQ(made.IconsAlive(), 0u);
    EXPECT_GE(made.made.size(), 200u); // the tooltips, at least
    EXPECT_EQ(made.WindowsAlive(), 0u);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
}
