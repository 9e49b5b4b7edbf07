#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "DlgProbe.h"
#include "common/DrawProbe.h"
#include "common/ImportHook.h"
#include "common/TestSupport.h"

namespace {

const int closeIcon = -20074;
const int closeHotIcon = -20075;
// The hot close icon's ground.
const COLORREF hotIconRed = RGB(196, 43, 28);

int Count(const Canvas& canvas, COLORREF color)
{
    int n = 0;
    for (int y = 0; y < canvas.cy; ++y)
        for (int x = 0; x < canvas.cx; ++x)
            n += canvas.At(x, y) == color;
    return n;
}

// The pixels of color in one row.
int CountRow(const Canvas& canvas, int y, COLORREF color)
{
    int n = 0;
    for (int x = 0; x < canvas.cx; ++x)
        n += canvas.At(x, y) == color;
    return n;
}

void Save(const wchar_t* name, const Canvas& canvas)
{
    SavePng(name, canvas.Pixels().data(), canvas.cx, canvas.cy);
}

// Buttons of a plain modeless dialog: IDCANCEL has a text, IDC_MIN_BTN none.
class IconBtnTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = dlg.Modeless(IDD_CAPTION_BTNS, TestModule(), nullptr, 1);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    IconBtn& Attach(UINT id, const wchar_t* text, int icon, int hotIcon, DWORD style, int dx = 0, int dy = 0)
    {
        buttons.push_back(std::make_unique<IconBtn>(icon, hotIcon, style, dx, dy));
        IconBtn& button = *buttons.back();
        EXPECT_TRUE(button.Init(&dlg, id));
        SetWindowTextW(button.hWnd, text);
        return button;
    }
    static void Draw(IconBtn& button, Canvas& canvas, UINT itemState)
    {
        DRAWITEMSTRUCT item = ButtonDrawItem(button.hWnd, canvas, itemState);
        button.OnDrawItem(&item);
    }

    ProbeDlg dlg;
    HWND window = nullptr;
    std::vector<std::unique_ptr<IconBtn>> buttons;
};

} // namespace

TEST_F(IconBtnTest, AttachingMakesTheButtonOwnerDrawn)
{
    IconBtn& button = Attach(IDCANCEL, L"Go", closeIcon, 0, IconBtn::centerVert | IconBtn::centerHorz);
    EXPECT_EQ(GetWindowLongPtrW(button.hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(button.IsKindOf(L"IconBtn"));
    EXPECT_TRUE(button.IsKindOf(L"ZnCtrl"));
}

TEST_F(IconBtnTest, ClassicButtonStatesLookApart)
{
    IconBtn& button = Attach(IDCANCEL, L"&Go", closeIcon, 0, IconBtn::centerVert | IconBtn::centerHorz);
    const int cx = 80, cy = 26;
    Canvas normal(cx, cy), pressed(cx, cy), disabled(cx, cy), focused(cx, cy), checked(cx, cy);
    Draw(button, normal, 0);
    Draw(button, pressed, ODS_SELECTED);
    Draw(button, disabled, ODS_DISABLED);
    Draw(button, focused, ODS_FOCUS);
    EXPECT_TRUE(button.GetState() & IconBtn::stateFocusFrame);
    SendMessageW(button.hWnd, BM_SETCHECK, BST_CHECKED, 0);
    Draw(button, checked, 0);
    Save(L"iconbtn-classic-normal", normal);
    Save(L"iconbtn-classic-pressed", pressed);
    Save(L"iconbtn-classic-disabled", disabled);
    Save(L"iconbtn-classic-focused", focused);
    Save(L"iconbtn-classic-checked", checked);

    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_GT(Count(normal, text), 0);
    // Gray text over a white copy, and no normal text colour inside.
    EXPECT_GT(Count(disabled, GetSysColor(COLOR_GRAYTEXT)), 0);
    EXPECT_GT(Count(disabled, RGB(255, 255, 255)), Count(normal, RGB(255, 255, 255)));
    // The dotted focus frame around the text.
    EXPECT_GT(Count(focused, text), Count(normal, text));
    EXPECT_NE(pressed.Pixels(), normal.Pixels());
    EXPECT_NE(checked.Pixels(), normal.Pixels());
}

TEST_F(IconBtnTest, LinkButtonUnderlinesInLinkColourAndTurnsHotUnderTheMouse)
{
    IconBtn::SetLinkColor(RGB(0, 0, 200));
    IconBtn& button = Attach(IDCANCEL, L"Link", closeIcon, closeHotIcon, 7);
    const int cx = 80, cy = 26;
    Canvas normal(cx, cy), hot(cx, cy), focused(cx, cy), disabled(cx, cy), left(cx, cy);
    Draw(button, normal, 0);
    Draw(button, focused, ODS_FOCUS);
    Draw(button, disabled, ODS_DISABLED);

    SendMessageW(button.hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(SendMessageW(button.hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(button.hWnd), HTCLIENT), TRUE);
    Draw(button, hot, 0);
    SendMessageW(button.hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.IsHover());
    Draw(button, left, 0);
    IconBtn::SetLinkColor(GetSysColor(COLOR_HOTLIGHT));

    Save(L"iconbtn-link-normal", normal);
    Save(L"iconbtn-link-hover", hot);
    Save(L"iconbtn-link-focused", focused);
    Save(L"iconbtn-link-disabled", disabled);

    const COLORREF hover = RGB(0x00, 0xCC, 0xFF);
    // The underline is a whole row of the link colour, the text's width
    // less the corners.
    int underlineRow = -1;
    for (int y = 0; y < cy; ++y)
        if (CountRow(normal, y, RGB(0, 0, 200)) > 10)
            underlineRow = y;
    ASSERT_GE(underlineRow, 0);
    EXPECT_GT(CountRow(hot, underlineRow, hover), 10);
    EXPECT_EQ(CountRow(hot, underlineRow, RGB(0, 0, 200)), 0);
    // The hover icon shows its red ground; the normal one does not.
    EXPECT_GT(Count(hot, hotIconRed), 0);
    EXPECT_EQ(Count(normal, hotIconRed), 0);
    // Focus replaces the underline by a dotted frame.
    EXPECT_LT(CountRow(focused, underlineRow, RGB(0, 0, 200)), CountRow(normal, underlineRow, RGB(0, 0, 200)));
    EXPECT_EQ(left.Pixels(), normal.Pixels());
    // No push-button frame: the corners keep the face colour.
    EXPECT_EQ(normal.At(0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(normal.At(cx - 1, cy - 1), GetSysColor(COLOR_BTNFACE));
}

TEST_F(IconBtnTest, ContentIsCentredOrPlacedAtItsOffset)
{
    const int cx = 40, cy = 30;
    const int small = GetSystemMetrics(SM_CXSMICON);
    IconBtn& placed = Attach(IDC_MIN_BTN, L"", closeIcon, 0, IconBtn::linkStyle, 3, 4);
    IconBtn& centred = Attach(IDC_CLOSE_BTN, L"", closeIcon, 0, 7);
    Canvas atOffset(cx, cy), inCentre(cx, cy);
    Draw(placed, atOffset, 0);
    Draw(centred, inCentre, 0);
    Save(L"iconbtn-icon-at-offset", atOffset);
    Save(L"iconbtn-icon-centred", inCentre);

    auto expected = [&](int x, int y) {
        auto c = std::make_unique<Canvas>(cx, cy, GetSysColor(COLOR_BTNFACE));
        HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        DrawIconEx(c->dc, x, y, static_cast<HICON>(placed), small, small, 0, face, DI_NORMAL);
        DeleteObject(face);
        return c;
    };
    EXPECT_EQ(atOffset.Pixels(), expected(3, 4)->Pixels());
    EXPECT_EQ(inCentre.Pixels(), expected((cx - small) / 2, (cy - small) / 2)->Pixels());
}

TEST_F(IconBtnTest, CheckStateIsKeptByTheButton)
{
    IconBtn& button = Attach(IDCANCEL, L"Go", 0, 0, 3);
    EXPECT_EQ(SendMessageW(button.hWnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(button.hWnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(button.hWnd, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(SendMessageW(button.hWnd, BM_GETSTATE, 0, 0) & BST_CHECKED);
    SendMessageW(button.hWnd, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(SendMessageW(button.hWnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

namespace {

// Counts every GDI object the library makes through the calls the icon
// buttons use, from any thread.
class GdiMade {
public:
    GdiMade()
        : brushes("gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&Brush)),
          pens("gdi32.dll", "CreatePen", reinterpret_cast<void*>(&Pen)),
          extPens("gdi32.dll", "ExtCreatePen", reinterpret_cast<void*>(&ExtPen)),
          fonts("gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&Font))
    {
        self = this;
    }
    ~GdiMade() { self = nullptr; }

    bool Hooked() const { return brushes.Hooked() && pens.Hooked() && extPens.Hooked() && fonts.Hooked(); }
    size_t Made()
    {
        std::lock_guard<std::mutex> hold(lock);
        return made.size();
    }
    size_t Alive()
    {
        std::lock_guard<std::mutex> hold(lock);
        size_t alive = 0;
        for (HGDIOBJ object : made)
            alive += GetObjectType(object) != 0;
        return alive;
    }
    size_t FontsMade()
    {
        std::lock_guard<std::mutex> hold(lock);
        return fontCount;
    }
    // Each brush takes this long to make: a slow build.
    std::atomic<DWORD> brushDelayMs{0};
    std::atomic<int> brushCalls{0};

private:
    template <typename H>
    static H Keep(H object)
    {
        if (object) {
            std::lock_guard<std::mutex> hold(self->lock);
            self->made.push_back(object);
        }
        return object;
    }
    static HBRUSH WINAPI Brush(COLORREF c)
    {
        ++self->brushCalls;
        Sleep(self->brushDelayMs);
        return Keep(self->brushes.Original<HBRUSH(WINAPI*)(COLORREF)>()(c));
    }
    static HPEN WINAPI Pen(int style, int width, COLORREF c)
    {
        return Keep(self->pens.Original<HPEN(WINAPI*)(int, int, COLORREF)>()(style, width, c));
    }
    static HPEN WINAPI ExtPen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD count, const DWORD* styles)
    {
        typedef HPEN(WINAPI * Fn)(DWORD, DWORD, const LOGBRUSH*, DWORD, const DWORD*);
        return Keep(self->extPens.Original<Fn>()(style, width, brush, count, styles));
    }
    static HFONT WINAPI Font(const LOGFONTW* lf)
    {
        HFONT font = self->fonts.Original<HFONT(WINAPI*)(const LOGFONTW*)>()(lf);
        if (font) {
            std::lock_guard<std::mutex> hold(self->lock);
            ++self->fontCount;
        }
        return Keep(font);
    }

    static GdiMade* self;
    ImportHook brushes;
    ImportHook pens;
    ImportHook extPens;
    ImportHook fonts;
    std::mutex lock;
    std::vector<HGDIOBJ> made;
    size_t fontCount = 0;
};

GdiMade* GdiMade::self;

// Brushes and pens of one shared set: face, highlight and icon-ground
// brushes; three pens for each of five colours.
const size_t sharedSetObjects = 3 + 5 * 3;

} // namespace

TEST(IconBtnShared, LastUninitializeFreesEverythingMadeFontsIncluded)
{
    ASSERT_EQ(IconBtn::GetUseCount(), 0);
    GdiMade gdi;
    ASSERT_TRUE(gdi.Hooked());
    ASSERT_TRUE(IconBtn::Initialize(3, 0, 0));
    ASSERT_TRUE(IconBtn::Initialize(3, 0, 0));
    EXPECT_EQ(IconBtn::GetUseCount(), 2);
    EXPECT_EQ(gdi.Made(), sharedSetObjects);
    EXPECT_TRUE(IconBtn::SetTextFontProperties(2, FW_BOLD, 1, 0, nullptr));
    EXPECT_TRUE(IconBtn::SetLinkFontProperties(0, 0, 0, 1, L"Tahoma"));
    EXPECT_TRUE(IconBtn::SetTextFontProperties(1, 0, 0, 0, nullptr));
    EXPECT_GE(gdi.FontsMade(), 3u);
    {
        IconBtn button(closeIcon, 0, 3, 0, 0);
        EXPECT_EQ(IconBtn::GetUseCount(), 3);
        EXPECT_TRUE(button.SetThisFontProperties(4, 0, 0, 0, nullptr));
    }
    IconBtn::Uninitialize();
    EXPECT_EQ(IconBtn::GetUseCount(), 1);
    // The set and the current shared fonts are still in use; the replaced
    // fonts and the button's own are gone.
    EXPECT_EQ(gdi.Alive(), sharedSetObjects + 2);
    IconBtn::Uninitialize();
    EXPECT_EQ(IconBtn::GetUseCount(), 0);
    EXPECT_EQ(gdi.Alive(), 0u);
    // One too many gives nothing back that is not there.
    IconBtn::Uninitialize();
    EXPECT_EQ(IconBtn::GetUseCount(), 0);
    // Before Initialize there is nothing to change.
    EXPECT_FALSE(IconBtn::SetTextFontProperties(1, 0, 0, 0, nullptr));
}

namespace {

class FontProbeBtn : public IconBtn {
public:
    FontProbeBtn() : IconBtn(0, 0, 3, 0, 0) { }
    LOGFONTW Font() const
    {
        LOGFONTW lf = {};
        GetObjectW(hFontThis.Get(), sizeof(lf), &lf);
        return lf;
    }
};

} // namespace

TEST(IconBtnShared, FontWithAFaceNoSystemHasKeepsThePreviousFace)
{
    // A face the system surely has: the one it picked for the stock GUI font.
    wchar_t installed[LF_FACESIZE] = {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextFaceW(dc, LF_FACESIZE, installed);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_NE(installed[0], 0);

    FontProbeBtn button;
    ASSERT_TRUE(IconBtn::SetTextFontProperties(0, 0, 0, 0, installed));
    ASSERT_TRUE(button.SetThisFontProperties(0, 0, 0, 0, nullptr));
    ASSERT_STREQ(button.Font().lfFaceName, installed);
    const LONG height = button.Font().lfHeight;
    ASSERT_TRUE(IconBtn::SetTextFontProperties(3, FW_BOLD, 0, 0, L"No Such Face Anywhere"));
    // A button's own font starts from the shared text font: read it there.
    ASSERT_TRUE(button.SetThisFontProperties(0, 0, 1, 0, nullptr));
    LOGFONTW lf = button.Font();
    EXPECT_STREQ(lf.lfFaceName, installed);
    EXPECT_EQ(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, (height < 0 ? -height : height) + 3);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    ASSERT_TRUE(button.SetThisFontProperties(0, 0, 0, 0, L"No Such Face Anywhere"));
    EXPECT_STREQ(button.Font().lfFaceName, installed);
}

TEST(IconBtnShared, TwoThreadsInitialisingAtOnceShareOneCompleteSet)
{
    ASSERT_EQ(IconBtn::GetUseCount(), 0);
    GdiMade gdi;
    ASSERT_TRUE(gdi.Hooked());
    gdi.brushDelayMs = 30;
    std::atomic<int> results[2] = {{-1}, {-1}};
    std::atomic<size_t> madeWhenSecondReturned{0};
    struct Start {
        std::atomic<int>* result;
        GdiMade* gdi;
        std::atomic<size_t>* seen;
    };
    Start first = {&results[0], &gdi, nullptr};
    Start second = {&results[1], &gdi, &madeWhenSecondReturned};
    struct Thunk {
        static DWORD WINAPI Run(void* param)
        {
            Start* start = static_cast<Start*>(param);
            if (start->seen) {
                while (start->gdi->brushCalls == 0)
                    Sleep(1);
            }
            *start->result = IconBtn::Initialize(3, 0, 0);
            if (start->seen)
                *start->seen = start->gdi->Made();
            return 0;
        }
    };
    HANDLE threads[2] = {CreateThread(nullptr, 0, &Thunk::Run, &first, 0, nullptr),
        CreateThread(nullptr, 0, &Thunk::Run, &second, 0, nullptr)};
    ASSERT_NE(threads[0], nullptr);
    ASSERT_NE(threads[1], nullptr);
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 10000), WAIT_OBJECT_0);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    EXPECT_EQ(results[0], 1);
    EXPECT_EQ(results[1], 1);
    EXPECT_EQ(IconBtn::GetUseCount(), 2);
    // One set only, and the second thread returned with it complete.
    EXPECT_EQ(gdi.Made(), sharedSetObjects);
    EXPECT_EQ(madeWhenSecondReturned, sharedSetObjects);
    IconBtn::Uninitialize();
    IconBtn::Uninitialize();
    EXPECT_EQ(gdi.Alive(), 0u);
}
