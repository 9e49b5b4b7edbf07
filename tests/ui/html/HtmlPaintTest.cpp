// The caller's DC comes back as it went in, the fonts the renderer makes
// are gone when it returns, and OnPaint paints a window's whole client area.
#include <gtest/gtest.h>

#include "HtmlProbe.h"
#include "common/ImportHook.h"
#include "common/TestWindow.h"

using namespace html;

namespace {

struct DCState {
    explicit DCState(HDC dc)
        : font(GetCurrentObject(dc, OBJ_FONT)), pen(GetCurrentObject(dc, OBJ_PEN)), text(GetTextColor(dc)),
          back(GetBkColor(dc)), mode(GetBkMode(dc))
    {
        GetCurrentPositionEx(dc, &position);
    }
    void ExpectSame(const DCState& o, const std::string& what) const
    {
        EXPECT_EQ(font, o.font) << what;
        EXPECT_EQ(pen, o.pen) << what;
        EXPECT_EQ(text, o.text) << what;
        EXPECT_EQ(back, o.back) << what;
        EXPECT_EQ(mode, o.mode) << what;
        EXPECT_TRUE(position.x == o.position.x && position.y == o.position.y) << what;
    }
    HGDIOBJ font, pen;
    COLORREF text, back;
    int mode;
    POINT position;
};

const wchar_t* const everything[] = {
    L"Plain words that wrap over more than one line of the rectangle",
    L"<B>b <I>i <U>u <H>h <BIG>big <SMALL>small <A>a <A5>a5 <AA>aa <CT>ct <D>d <RED>red <LTBLUE>blue "
    L"<NOBR>nobr <CENTER>centre",
    L"</B></I></CENTER></NOBR></A> closings of nothing",
    L"<CENTER>A <A>centred</A> link</CENTER><BRHALF>&amp;&lt;&gt;&nbsp;&bogus;",
    L"1<BR>2<BR>3<BR>4<BR>5<BR>6<BR>7<BR>8<BR>9<BR>10 (more than fit)",
};

TEST(HtmlDC, DrawLeavesFontColoursModeAndPositionAsTheyWere)
{
    Scene scene(200, 100);
    Font callers;
    SelectObject(scene.page.dc, callers);
    SetTextColor(scene.page.dc, RGB(1, 2, 3));
    SetBkColor(scene.page.dc, RGB(4, 5, 6));
    SetBkMode(scene.page.dc, OPAQUE);
    MoveToEx(scene.page.dc, 7, 9, nullptr);
    const DCState before(scene.page.dc);
    for (const wchar_t* text : everything) {
        std::string what(text, text + wcslen(text));
        RECT r = {3, 4, 150, 90};
        scene.Measure(text, r);
        DCState(scene.page.dc).ExpectSame(before, "measuring " + what);
        scene.Render(text, r);
        DCState(scene.page.dc).ExpectSame(before, "drawing " + what);
    }
    SelectObject(scene.page.dc, GetStockObject(SYSTEM_FONT));
}

// The fonts the library makes while alive, through its imports.
class MadeFonts {
public:
    MadeFonts()
        : indirect("gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&Indirect)),
          direct("gdi32.dll", "CreateFontW", reinterpret_cast<void*>(&Direct))
    {
        made.clear();
        self = this;
    }
    ~MadeFonts() { self = nullptr; }

    bool Hooked() const { return indirect.Hooked() || direct.Hooked(); }
    size_t Made() const { return made.size(); }
    size_t Alive() const
    {
        size_t alive = 0;
        for (HGDIOBJ font : made)
            alive += GetObjectType(font) == OBJ_FONT;
        return alive;
    }

private:
    static HFONT Keep(HFONT font)
    {
        if (font)
            made.push_back(font);
        return font;
    }
    static HFONT WINAPI Indirect(const LOGFONTW* lf)
    {
        return Keep(self->indirect.Original<HFONT(WINAPI*)(const LOGFONTW*)>()(lf));
    }
    static HFONT WINAPI Direct(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s, DWORD cs, DWORD op,
                               DWORD cp, DWORD q, DWORD pf, LPCWSTR face)
    {
        typedef HFONT(WINAPI * Fn)(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                   LPCWSTR);
        return Keep(self->direct.Original<Fn>()(h, w, e, o, weight, i, u, s, cs, op, cp, q, pf, face));
    }

    ImportHook indirect;
    ImportHook direct;
    static inline std::vector<HGDIOBJ> made;
    static inline MadeFonts* self = nullptr;
};

TEST(HtmlDC, UnclosedTagsLeaveNoFontBehind)
{
    Scene scene(200, 100);
    const HGDIOBJ original = GetCurrentObject(scene.page.dc, OBJ_FONT);
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    MadeFonts fonts;
    ASSERT_TRUE(fonts.Hooked()) << "the library makes its fonts with neither CreateFontIndirectW nor CreateFontW";
    for (int i = 0; i < 2000; ++i)
        scene.Render(L"<B><I><U><H><BIG><SMALL><A1><AA><CT><D><RED>Word <NOBR><CENTER>never closed", 200);
    EXPECT_GT(fonts.Made(), 0u);
    EXPECT_EQ(fonts.Alive(), 0u);
    EXPECT_EQ(GetCurrentObject(scene.page.dc, OBJ_FONT), original);
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdiBefore == 0)
        RecordProperty("gdi_handle_count", "GetGuiResources is a stub here; counted through the imports instead");
    else
        EXPECT_LE(gdiAfter, gdiBefore + 4);
}

LRESULT CALLBACK Plain(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(wnd, msg, wp, lp);
}

// A borderless window, so its client area is its whole size, and a page
// larger than it: what lies outside the client area must stay untouched.
class PaintScene : public Scene {
public:
    PaintScene() : Scene(200, 120), window(TestWindowKind{L"PvdllHtmlPaint", Plain, 0, L"", WS_POPUP, 160, 90})
    {
        tools.SetBkgColor(RGB(0xF0, 0xE0, 0x10));
    }
    // The DC's own background colour, which nothing painted should show.
    static constexpr COLORREF dcBackground = RGB(1, 99, 7);

    void Paint(const std::wstring& text, int fill, int frame)
    {
        SetBkColor(page.dc, dcBackground);
        ZnDC holder(page.dc, 1);
        html.OnPaint(window, holder, text.c_str(), Len(text), fill, &links, &tools, frame);
    }
    RECT Client() const
    {
        RECT r;
        GetClientRect(window, &r);
        return r;
    }
    TestWindow window;
};

TEST(HtmlPaint, FillsTheClientAreaFramesItAndDrawsTheText)
{
    PaintScene scene;
    ASSERT_NE(scene.window.Handle(), nullptr);
    const RECT client = scene.Client();
    ASSERT_EQ(client.right, 160);
    scene.Paint(L"Hello <B>world</B>, and a <A>link</A>.", 1, 1);
    const COLORREF bkg = scene.tools.GetBkgColor();
    // Outside the client area nothing was touched.
    EXPECT_EQ(Ink(scene.page, paper, RECT{160, 0, 200, 120}).right, 0);
    EXPECT_EQ(Ink(scene.page, paper, RECT{0, 90, 200, 120}).right, 0);
    // The frame is dotted: both the text colour and the background on its
    // edges, nothing else.
    for (RECT edge : {RECT{0, 0, 160, 1}, RECT{0, 89, 160, 90}, RECT{0, 0, 1, 90}, RECT{159, 0, 160, 90}}) {
        const int length = (edge.right - edge.left) * (edge.bottom - edge.top);
        const int dots = CountColor(scene.page, ink, edge);
        EXPECT_GT(dots, length / 5);
        EXPECT_EQ(dots + CountColor(scene.page, bkg, edge), length);
    }
    EXPECT_EQ(CountColor(scene.page, PaintScene::dcBackground), 0) << "the frame's gaps show the DC's colour";
    // Inside, the background and the text in its colours.
    const RECT inside = {1, 1, 159, 89};
    EXPECT_GT(CountColor(scene.page, bkg, inside), 100 * 60);
    EXPECT_GT(CountColor(scene.page, ink, inside), 20);
    EXPECT_GT(CountColor(scene.page, linkInk, inside), 5);
    EXPECT_EQ(CountColor(scene.page, paper, inside), 0);
    // Link rectangles are in client coordinates and hold the link's ink.
    ASSERT_EQ(scene.links.GetCount(), 1);
    RECT link = Rects(Areas(scene.links)[0])[0];
    EXPECT_TRUE(link.left >= 0 && link.right <= 160 && link.top >= 0 && link.bottom <= 90);
    EXPECT_EQ(CountColor(scene.page, linkInk, link), CountColor(scene.page, linkInk));
}

TEST(HtmlPaint, LeavesBackgroundAndFrameAloneWhenNotAsked)
{
    PaintScene scene;
    scene.Paint(L"Hello world", 0, 0);
    EXPECT_EQ(CountColor(scene.page, scene.tools.GetBkgColor()), 0);
    EXPECT_GT(CountColor(scene.page, ink), 20);
    const RECT edges[] = {{0, 0, 160, 1}, {0, 89, 160, 90}, {159, 0, 160, 90}};
    for (const RECT& edge : edges)
        EXPECT_EQ(CountColor(scene.page, ink, edge), 0);
    // Painting twice paints the same.
    PaintScene again;
    again.Paint(L"Hello world", 0, 0);
    again.Paint(L"Hello world", 0, 0);
    EXPECT_EQ(Differences(scene.page, again.page), 0);
}

} // namespace
