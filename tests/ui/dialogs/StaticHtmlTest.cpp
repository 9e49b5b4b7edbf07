// The static HTML control in a dialog: links clicked with the mouse at
// points taken from the laid-out link areas and with the keyboard, the
// WM_COMMAND ids they give (and the ids they must not give), the hit test
// and cursor, markup kept beside the window text, the measured height
// against the drawn pixels, the focus frame, colours, and the markup
// builders at their buffer edges.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DlgProbe.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"
#include "ui/html/ZnStaticHTML.h"

namespace {

// The control laid out the way a paint lays it out, into a picture.
void PaintInto(HWND control, Canvas& canvas)
{
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
}

Canvas* LayOut(ZnStaticHTML& control)
{
    RECT client;
    GetClientRect(control.GetHwnd(), &client);
    auto* canvas = new Canvas(client.right, client.bottom, RGB(255, 0, 255));
    PaintInto(control.GetHwnd(), *canvas);
    return canvas;
}

// The centre of the first rectangle of the link with id; false without one.
bool LinkCentre(ZnStaticHTML& control, unsigned int id, POINT* at)
{
    POS pos = control.GetLinks().GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = control.GetLinks().GetArea(pos);
        if (area->id != id || !area->rects.GetHeadPos())
            continue;
        const RECT* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        at->x = (r->left + r->right) / 2;
        at->y = (r->top + r->bottom) / 2;
        return true;
    }
    return false;
}

LRESULT Click(HWND control, POINT at)
{
    return SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

class StaticHtmlTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = dlg.Modeless(IDD_STATIC_HTML, TestModule(), nullptr, 0);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(html.Init(&dlg, IDC_HTML));
        hook.watched = WM_COMMAND;
        hook.onWatched = [this](ZnDlg*, WPARAM wParam, LPARAM lParam) {
            commands.push_back(wParam);
            senders.push_back(reinterpret_cast<HWND>(lParam));
        };
        hook.AddToDlg(&dlg);
    }
    void TearDown() override
    {
        hook.RemoveFromDlg(&dlg);
        if (IsWindow(window))
            DestroyWindow(window);
    }
    // The commands that arrive within a short while.
    void Settle() { PumpFor(60); }

    ProbeDlg dlg;
    HWND window = nullptr;
    ZnStaticHTML html;
    RecordingHook hook{L"command"};
    std::vector<WPARAM> commands;
    std::vector<HWND> senders;
};

} // namespace

TEST_F(StaticHtmlTest, ClickOnNumberedLinkPostsItsIdAndPlainWordsDoNothing)
{
    SetWindowTextW(html.GetHwnd(), L"First <A1>Second</A1>");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    POINT link;
    ASSERT_TRUE(LinkCentre(html, IDC_HTML + 1, &link));
    EXPECT_EQ(Click(html.GetHwnd(), {1, link.y}), 0);
    Settle();
    EXPECT_TRUE(commands.empty()) << "a click on the plain word";

    EXPECT_EQ(Click(html.GetHwnd(), link), 0);
    ASSERT_TRUE(PumpUntil([&] { return !commands.empty(); }, 2000));
    EXPECT_EQ(commands[0], MAKEWPARAM(IDC_HTML + 1, BN_CLICKED));
    EXPECT_EQ(senders[0], GetDlgItem(window, IDC_HTML_LINK1)) << "the dialog's child with the link's id";
    EXPECT_EQ(dlg.clicked, std::vector<unsigned short>{IDC_HTML + 1});

    // A double click is a click too.
    commands.clear();
    SendMessageW(html.GetHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(link.x, link.y));
    ASSERT_TRUE(PumpUntil([&] { return !commands.empty(); }, 2000));
    EXPECT_EQ(LOWORD(commands[0]), IDC_HTML + 1);
}

TEST_F(StaticHtmlTest, OwnLinkAnswersSpaceAndEnterOnlyWithTheFocus)
{
    SetWindowTextW(html.GetHwnd(), L"<A>Own link</A>");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    EXPECT_EQ(SendMessageW(html.GetHwnd(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessageW(html.GetHwnd(), WM_GETDLGCODE, VK_SPACE, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);

    SendMessageW(html.GetHwnd(), WM_KEYUP, VK_SPACE, 0);
    Settle();
    EXPECT_TRUE(commands.empty()) << "without the focus";

    SendMessageW(html.GetHwnd(), WM_SETFOCUS, 0, 0);
    SendMessageW(html.GetHwnd(), WM_KEYUP, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([&] { return commands.size() == 1; }, 2000));
    SendMessageW(html.GetHwnd(), WM_KEYUP, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return commands.size() == 2; }, 2000));
    SendMessageW(html.GetHwnd(), WM_KEYUP, 'A', 0);
    Settle();
    ASSERT_EQ(commands.size(), 2u) << "other keys";
    EXPECT_EQ(commands[0], MAKEWPARAM(IDC_HTML, BN_CLICKED));
    EXPECT_EQ(commands[1], MAKEWPARAM(IDC_HTML, BN_CLICKED));
    EXPECT_EQ(senders[0], html.GetHwnd());

    SendMessageW(html.GetHwnd(), WM_KILLFOCUS, 0, 0);
    SendMessageW(html.GetHwnd(), WM_KEYUP, VK_RETURN, 0);
    Settle();
    EXPECT_EQ(commands.size(), 2u) << "after the focus left";
}

TEST_F(StaticHtmlTest, TextWithoutLinksLeavesTheKeysToTheDialog)
{
    SetWindowTextW(html.GetHwnd(), L"<B>No</B> links");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    EXPECT_EQ(SendMessageW(html.GetHwnd(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS, 0);
    SendMessageW(html.GetHwnd(), WM_SETFOCUS, 0, 0);
    SendMessageW(html.GetHwnd(), WM_KEYUP, VK_SPACE, 0);
    Settle();
    EXPECT_TRUE(commands.empty());
}

TEST_F(StaticHtmlTest, HitTestShowsTheHandAndAnswersByTheNotifyStyle)
{
    ZnStaticHTML plain;
    ASSERT_TRUE(plain.Init(&dlg, IDC_HTML_PLAIN));
    for (ZnStaticHTML* control : {&html, &plain}) {
        SetWindowTextW(control->GetHwnd(), L"Go <A1>there</A1>");
        std::unique_ptr<Canvas> canvas(LayOut(*control));
        POINT link;
        ASSERT_TRUE(LinkCentre(*control, control->GetID() + 1, &link));
        ClientToScreen(control->GetHwnd(), &link);
        LRESULT hit = SendMessageW(control->GetHwnd(), WM_NCHITTEST, 0, MAKELPARAM(link.x, link.y));
        EXPECT_EQ(hit, control == &html ? HTCLIENT : HTTRANSPARENT);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
        EXPECT_TRUE(SendMessageW(control->GetHwnd(), WM_SETCURSOR, 0, 0)) << "the hand stays over a link";
    }
    // Off the link the hover ends: the control answers as a static again.
    POINT corner{1, 1};
    ClientToScreen(html.GetHwnd(), &corner);
    EXPECT_EQ(SendMessageW(html.GetHwnd(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCLIENT);
}

TEST_F(StaticHtmlTest, MarkupIsKeptBesideTheWindowText)
{
    SetWindowTextW(html.GetHwnd(), L"<B>Bold</B> &amp; plain");
    wchar_t text[64];
    GetWindowTextW(html.GetHwnd(), text, 64);
    EXPECT_STREQ(text, L"Plain label");
    EXPECT_EQ(html.GetHTMLText(text, 64), 23u);
    EXPECT_STREQ(text, L"<B>Bold</B> &amp; plain");
    EXPECT_EQ(html.GetHTMLTextLength(), 23u);
    EXPECT_EQ(html.GetHTMLText(text, 5), 23u);
    EXPECT_STREQ(text, L"<B>B") << "cut to the buffer";
    html.GetHTMLTextStripTags(text, 64);
    EXPECT_STREQ(text, L"Bold &amp; plain");
    EXPECT_TRUE(html.IsKindOf(L"ZnStaticHTML") && html.IsKindOf(L"ZnCtrl") && html.IsKindOf(L"ZnWnd"));

    EXPECT_TRUE(html.SetHTMLText(IDS_TIP, TestModule()));
    html.GetHTMLText(text, 64);
    EXPECT_STREQ(text, L"A tip from the string table");
    EXPECT_FALSE(html.SetHTMLText(3999, TestModule())) << "a missing string";
    EXPECT_EQ(html.GetHTMLTextLength(), 0u);
}

TEST_F(StaticHtmlTest, LinkIdsNeverLeaveTheCommandWord)
{
    ZnStaticHTML high;
    ASSERT_TRUE(high.Init(&dlg, IDC_HTML_HIGH));
    SetWindowTextW(high.GetHwnd(), L"<A4>last</A4><BR><A5>wraps</A5>");
    std::unique_ptr<Canvas> canvas(LayOut(high));
    POINT last;
    POINT wraps;
    ASSERT_TRUE(LinkCentre(high, IDC_HTML_HIGH + 4, &last));
    ASSERT_TRUE(LinkCentre(high, IDC_HTML_HIGH + 5, &wraps)) << "laid out, yet no command";
    EXPECT_EQ(high.GetLinkIdAt(wraps.x, wraps.y), 0u);
    EXPECT_EQ(Click(high.GetHwnd(), wraps), 0);
    Settle();
    EXPECT_TRUE(commands.empty()) << "id 0xFFFF is IDC_STATIC";
    Click(high.GetHwnd(), last);
    ASSERT_TRUE(PumpUntil([&] { return !commands.empty(); }, 2000));
    EXPECT_EQ(commands[0], MAKEWPARAM(0xFFFE, BN_CLICKED));

    // A control of IDC_STATIC has no links at all, whichever the number.
    commands.clear();
    ZnStaticHTML unnamed;
    ASSERT_TRUE(unnamed.Init(&dlg, static_cast<UINT>(-1)));
    SetWindowTextW(unnamed.GetHwnd(), L"<A>own</A> <A1>one</A1> <A2>two</A2>");
    std::unique_ptr<Canvas> other(LayOut(unnamed));
    EXPECT_FALSE(unnamed.HasLinks());
    EXPECT_EQ(SendMessageW(unnamed.GetHwnd(), WM_GETDLGCODE, VK_SPACE, 0) & DLGC_WANTALLKEYS, 0);
    POS pos = unnamed.GetLinks().GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = unnamed.GetLinks().GetArea(pos);
        const RECT* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        Click(unnamed.GetHwnd(), {(r->left + r->right) / 2, (r->top + r->bottom) / 2});
    }
    Settle();
    EXPECT_TRUE(commands.empty());
}

TEST_F(StaticHtmlTest, CalcHeightMatchesTheDrawnText)
{
    html.SetBkgColor(RGB(255, 255, 255));
    html.SetTextColor(RGB(0, 0, 0));
    html.SetLinkColor(RGB(0, 0, 255));
    for (const wchar_t* markup : {L"One line", L"First<BR>second <A1>link</A1>", L"<BIG>Big</BIG><BR>small<BR>third"}) {
        SetWindowTextW(html.GetHwnd(), markup);
        RECT client;
        GetClientRect(html.GetHwnd(), &client);
        Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
        RECT rect = client;
        const int height = html.CalcHeight(canvas.dc, &rect);
        ASSERT_GT(height, 0) << markup;
        ASSERT_LT(height, client.bottom) << "the control is tall enough for " << markup;
        PaintInto(html.GetHwnd(), canvas);
        int lowest = -1;
        for (int y = 0; y < canvas.cy; ++y)
            for (int x = 0; x < canvas.cx; ++x)
                if (canvas.At(x, y) != RGB(255, 255, 255))
                    lowest = y;
        EXPECT_GE(lowest, 0) << "nothing drawn of " << markup;
        EXPECT_LT(lowest, height) << markup;
        EXPECT_GT(lowest, height - 8) << "the last line ends near the measured height: " << markup;
    }
}

TEST_F(StaticHtmlTest, FocusDrawsADottedFrameInTheTextColour)
{
    html.SetBkgColor(RGB(255, 255, 255));
    html.SetTextColor(RGB(200, 0, 0));
    SetWindowTextW(html.GetHwnd(), L"");
    auto frameDots = [&] {
        std::unique_ptr<Canvas> canvas(LayOut(html));
        int dots = 0;
        for (int x = 0; x < canvas->cx; ++x)
            dots += canvas->At(x, 0) == RGB(200, 0, 0);
        return std::make_pair(dots, canvas->cx);
    };
    EXPECT_EQ(frameDots().first, 0);
    SendMessageW(html.GetHwnd(), WM_SETFOCUS, 0, 0);
    auto [dots, width] = frameDots();
    EXPECT_GT(dots, width / 4);
    EXPECT_LT(dots, width) << "dotted, not solid";
}

TEST_F(StaticHtmlTest, SystemSettingChangeResetsTheColours)
{
    html.SetTextColor(RGB(1, 2, 3));
    html.SetLinkColor(RGB(4, 5, 6));
    html.SetBkgColor(RGB(7, 8, 9));
    EXPECT_EQ(html.GetTextColor(), RGB(1, 2, 3));
    html.OnSystemSettingChange(0, 0);
    EXPECT_EQ(html.GetTextColor(), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(html.GetLinkColor(), GetSysColor(COLOR_HOTLIGHT));
    EXPECT_EQ(html.GetBkgColor(), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StaticHtmlTest, MakeLinkAndMakeHtmlKeepToTheirBuffer)
{
    wchar_t out[16];
    wmemset(out, L'#', 16);
    EXPECT_EQ(ZnStaticHTML::MakeLink(out, 7, L"abc"), 0u) << "the tags do not fit";
    EXPECT_STREQ(out, L"");
    EXPECT_EQ(out[1], L'#');
    EXPECT_EQ(ZnStaticHTML::MakeLink(out, 8, L"abc"), 7u);
    EXPECT_STREQ(out, L"<A></a>");
    EXPECT_EQ(ZnStaticHTML::MakeLink(out, 9, L"abc"), 8u);
    EXPECT_STREQ(out, L"<A>a</a>");
    EXPECT_EQ(out[9], L'#');
    EXPECT_EQ(ZnStaticHTML::MakeLink(out, 10, L"a\xD83D\xDE00"), 8u) << "a pair is never cut";
    EXPECT_STREQ(out, L"<A>a</a>");
    EXPECT_EQ(ZnStaticHTML::MakeLink(out, 0, L"abc"), 0u);

    EXPECT_EQ(ZnStaticHTML::MakeHtml(out, 16, L"<B>%s</B>", L"abc"), 10u);
    EXPECT_STREQ(out, L"<B>abc</B>");
    EXPECT_EQ(ZnStaticHTML::MakeHtml(out, 6, L"<B>%s</B>", L"abc"), 5u);
    EXPECT_STREQ(out, L"<B>ab");
    EXPECT_EQ(ZnStaticHTML::MakeHtml(out, 16, L"%s %d", L"abc"), 0u) << "a conversion with no argument";
    EXPECT_EQ(ZnStaticHTML::MakeHtml(out, 16, L"%s%s", L"abc"), 0u);
    EXPECT_EQ(ZnStaticHTML::MakeHtml(out, 16, L"100%% %s", L"x"), 6u);
    EXPECT_STREQ(out, L"100% x");

    // On the control: a long text still leaves room for the closing tag.
    const std::wstring longText(300, L'w');
    SetWindowTextW(html.GetHwnd(), longText.c_str());
    ASSERT_TRUE(html.MakeLink());
    wchar_t markup[400];
    EXPECT_EQ(html.GetHTMLText(markup, 400), ZnStaticHTML::makeBufferSize - 1);
    EXPECT_EQ(std::wstring(markup).substr(ZnStaticHTML::makeBufferSize - 5), L"</a>");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    EXPECT_TRUE(html.HasLinks());

    SetWindowTextW(html.GetHwnd(), L"Warning");
    EXPECT_FALSE(html.MakeHtml(L"<RED>%d</RED>"));
    html.GetHTMLText(markup, 400);
    EXPECT_STREQ(markup, L"Warning") << "a refused format leaves the text";
    ASSERT_TRUE(html.MakeHtml(L"<RED>%s</RED>"));
    html.GetHTMLText(markup, 400);
    EXPECT_STREQ(markup, L"<RED>Warning</RED>");
}

TEST_F(StaticHtmlTest, PictureOfADialogWithLinks)
{
    SetWindowTextW(
        html.GetHwnd(), L"Read the <A1>notes</A1> or open <A2>the folder</A2>.<BR><B>Bold</B> <RED>red</RED>");
    SendMessageW(html.GetHwnd(), WM_SETFOCUS, 0, 0);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    RECT client;
    GetClientRect(window, &client);
    Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
    ComposeClientArea(window, canvas);
    SavePng(L"dlg-static-html", canvas.Pixels().data(), canvas.cx, canvas.cy);
    // The link colour shows inside the control.
    RECT r;
    GetWindowRect(html.GetHwnd(), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    int linkPixels = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            linkPixels += canvas.At(x, y) == html.GetLinkColor();
    EXPECT_GT(linkPixels, 10);
}

TEST_F(StaticHtmlTest, ClickOnOwnLinkIsTheStaticsOwnClick)
{
    SetWindowTextW(html.GetHwnd(), L"<A>Own link</A>");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    POINT link;
    ASSERT_TRUE(LinkCentre(html, IDC_HTML, &link));
    Click(html.GetHwnd(), link);
    SendMessageW(html.GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(link.x, link.y));
    Settle();
    // SS_NOTIFY: the static reports the click itself, as STN_CLICKED from its own window.
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], MAKEWPARAM(IDC_HTML, STN_CLICKED));
    EXPECT_EQ(senders[0], html.GetHwnd());
}

namespace {

// Sets or clears the Shift key in the thread's key state, as a Shift+Tab
// leaves it while the focus moves.
void HoldShift(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

bool WantsTab(HWND control)
{
    return (SendMessageW(control, WM_GETDLGCODE, VK_TAB, 0) & DLGC_WANTTAB) != 0;
}

} // namespace

TEST_F(StaticHtmlTest, KeyboardWalksTheLinksAndClicksTheCurrentOne)
{
    SetWindowTextW(html.GetHwnd(), L"Read <A1>one</A1>, <A2>two</A2> and <A>own</A>");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    HWND control = html.GetHwnd();
    EXPECT_EQ(html.GetKeyLinkId(), 0u) << "no current link without the focus";

    SendMessageW(control, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(html.GetKeyLinkId(), IDC_HTML + 1u) << "coming forward lands on the first link";
    EXPECT_TRUE(SendMessageW(control, WM_GETDLGCODE, VK_RIGHT, 0) & DLGC_WANTARROWS);
    EXPECT_TRUE(WantsTab(control));
    SendMessageW(control, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(html.GetKeyLinkId(), IDC_HTML + 2u);
    SendMessageW(control, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(html.GetKeyLinkId(), static_cast<unsigned int>(IDC_HTML));
    EXPECT_FALSE(WantsTab(control)) << "after the last link Tab belongs to the dialog";
    SendMessageW(control, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(html.GetKeyLinkId(), static_cast<unsigned int>(IDC_HTML)) << "no wrapping";

    SendMessageW(control, WM_KEYUP, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([&] { return commands.size() == 1; }, 2000));
    EXPECT_EQ(commands[0], MAKEWPARAM(IDC_HTML, BN_CLICKED)) << "the own link clicks the control";
    SendMessageW(control, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(control, WM_KEYUP, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return commands.size() == 2; }, 2000));
    EXPECT_EQ(commands[1], MAKEWPARAM(IDC_HTML + 2, BN_CLICKED));
    EXPECT_EQ(senders[1], nullptr) << "the dialog has no child of that id";

    // Back with Shift+Tab: the last link first, and Shift+Tab leaves before the first.
    SendMessageW(control, WM_KILLFOCUS, 0, 0);
    HoldShift(true);
    SendMessageW(control, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(html.GetKeyLinkId(), static_cast<unsigned int>(IDC_HTML));
    SendMessageW(control, WM_KEYDOWN, VK_TAB, 0);
    SendMessageW(control, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(html.GetKeyLinkId(), IDC_HTML + 1u);
    EXPECT_FALSE(WantsTab(control));
    HoldShift(false);
    EXPECT_TRUE(WantsTab(control));
}

TEST_F(StaticHtmlTest, SingleLinkKeepsTheKeysOfAButton)
{
    SetWindowTextW(html.GetHwnd(), L"Only <A1>one</A1> link");
    std::unique_ptr<Canvas> canvas(LayOut(html));
    SendMessageW(html.GetHwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(WantsTab(html.GetHwnd()));
    EXPECT_FALSE(SendMessageW(html.GetHwnd(), WM_GETDLGCODE, VK_RIGHT, 0) & DLGC_WANTARROWS);
    SendMessageW(html.GetHwnd(), WM_KEYUP, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !commands.empty(); }, 2000));
    EXPECT_EQ(commands[0], MAKEWPARAM(IDC_HTML, BN_CLICKED));
}

TEST_F(StaticHtmlTest, FocusFrameMarksTheCurrentLinkAmongSeveral)
{
    html.SetBkgColor(RGB(255, 255, 255));
    html.SetTextColor(RGB(200, 0, 0));
    SetWindowTextW(html.GetHwnd(), L"<A1>one</A1> and <A2>two</A2>");
    std::unique_ptr<Canvas> first(LayOut(html));
    SendMessageW(html.GetHwnd(), WM_SETFOCUS, 0, 0);
    SendMessageW(html.GetHwnd(), WM_KEYDOWN, VK_RIGHT, 0);
    std::unique_ptr<Canvas> canvas(LayOut(html));
    auto framed = [&](const RECT& r) {
        int dots = 0;
        for (int x = r.left; x < r.right; ++x)
            dots += canvas->At(x, r.top) == RGB(200, 0, 0);
        return dots;
    };
    RECT one{}, two{};
    POS pos = html.GetLinks().GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = html.GetLinks().GetArea(pos);
        const RECT* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        (area->id == IDC_HTML + 1u ? one : two) = *r;
    }
    EXPECT_GT(framed(two), (two.right - two.left) / 4) << "the current link is framed";
    EXPECT_EQ(framed(one), 0);
    // The links lie on the first row; the control's own frame would show at its bottom.
    EXPECT_EQ(framed({0, canvas->cy - 1, canvas->cx, canvas->cy}), 0) << "the control itself is not";
}

TEST_F(StaticHtmlTest, TakesTheColoursTheDialogWasGiven)
{
    dlg.SetDlgColors(RGB(10, 20, 30), RGB(240, 240, 200), RGB(90, 200, 250));
    ZnStaticHTML coloured;
    ASSERT_TRUE(coloured.Init(&dlg, IDC_HTML_PLAIN));
    EXPECT_EQ(coloured.GetBkgColor(), RGB(10, 20, 30));
    EXPECT_EQ(coloured.GetTextColor(), RGB(240, 240, 200));
    EXPECT_EQ(coloured.GetLinkColor(), RGB(90, 200, 250));
    EXPECT_EQ(html.GetTextColor(), GetSysColor(COLOR_BTNTEXT)) << "set up before the dialog had colours";
}
