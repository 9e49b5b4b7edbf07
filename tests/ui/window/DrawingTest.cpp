#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"

namespace {

// --- colours -------------------------------------------------------------------------

TEST(DrawingColors, LuminosityIsHlsLightnessOn240)
{
    const struct {
        COLORREF c;
        int expected;
    } cases[] = {
        {RGB(255, 255, 255), 240}, {RGB(0, 0, 0), 0},       {RGB(255, 0, 0), 120},
        {RGB(128, 128, 128), 120}, {RGB(0, 64, 255), 120},  {RGB(10, 20, 30), 19},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetLuminosity(c.c), c.expected) << std::hex << c.c;
}

TEST(DrawingColors, MakeColorBrightStretchesTheStrongestChannelTo255)
{
    EXPECT_EQ(MakeColorBright(RGB(64, 32, 0)), RGB(255, 127, 0));
    EXPECT_EQ(MakeColorBright(RGB(10, 20, 40)), RGB(63, 127, 255));
    EXPECT_EQ(MakeColorBright(RGB(0, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(MakeColorBright(RGB(255, 1, 255)), RGB(255, 1, 255));
}

TEST(DrawingColors, MakeBrightSaturatesInsteadOfWrapping)
{
    COLORRGB c(100, 128, 200);
    c.MakeBright();
    EXPECT_EQ(c.ToCOLORREF(), RGB(200, 255, 255));
    COLORRGB black;
    black.MakeBright();
    EXPECT_EQ(black.ToCOLORREF(), RGB(0, 0, 0));
}

TEST(DrawingColors, MakeDarkHalvesEveryChannel)
{
    COLORRGB c(RGB(201, 1, 255));
    c.MakeDark();
    EXPECT_EQ(c.ToCOLORREF(), RGB(100, 0, 127));
}

// --- rectangles ----------------------------------------------------------------------

bool Same(const RECT& a, const RECT& b)
{
    return !IsRectDifferent(a, b);
}

TEST(DrawingRects, MovesAndResizes)
{
    const RECT start = {10, 20, 30, 60};
    struct Case {
        const char* what;
        void (*apply)(RECT&);
        RECT expected;
    } cases[] = {
        {"shift", [](RECT& r) { RectShift(r, -5, 7); }, {5, 27, 25, 67}},
        {"inflate", [](RECT& r) { RectInflate(r, 2, 3); }, {8, 17, 32, 63}},
        {"deflate", [](RECT& r) { DeflateRect(r, 2, 3); }, {12, 23, 28, 57}},
        {"set", [](RECT& r) { RectSet(r, 1, 2, 3, 4); }, {1, 2, 3, 4}},
        {"twist", [](RECT& r) { TwistRect(r); }, {30, 60, 10, 20}},
        {"flip", [](RECT& r) { FlipRect(r); }, {20, 10, 60, 30}},
        {"center", [](RECT& r) { RectCenter(r, RECT{100, 100, 131, 109}); }, {105, 85, 125, 125}},
        {"center in smaller", [](RECT& r) { RectCenter(r, RECT{0, 0, 5, 5}); }, {-7, -17, 13, 23}},
    };
    for (const auto& c : cases) {
        RECT r = start;
        c.apply(r);
        EXPECT_TRUE(Same(r, c.expected)) << c.what << ": " << r.left << "," << r.top << "," << r.right << ","
                                         << r.bottom;
    }
    RECT copy;
    RectCopy(copy, start);
    EXPECT_TRUE(Same(copy, start));
    SIZE size = {3, 8};
    FlipSize(size);
    EXPECT_EQ(size.cx, 8);
    EXPECT_EQ(size.cy, 3);
}

TEST(DrawingRects, EmptyOnlyWhenCollapsedToAPointWhilePlatformFunctionStillWorks)
{
    const RECT line = {0, 0, 0, 10};
    const RECT point = {5, 5, 5, 5};
    const RECT box = {0, 0, 2, 2};
    EXPECT_FALSE(IsRectEmpty(line));
    EXPECT_TRUE(IsRectEmpty(point));
    EXPECT_FALSE(IsRectEmpty(box));
    // The platform's own, through a pointer, keeps its meaning.
    EXPECT_TRUE(::IsRectEmpty(&line));
    EXPECT_TRUE(IsRectEmpty(&line));
    EXPECT_FALSE(IsRectEmpty(&box));
}

TEST(DrawingRects, UnionTakesEmptyRectanglesIn)
{
    RECT out;
    RectUnion(out, RECT{0, 0, 0, 0}, RECT{5, 5, 10, 10});
    EXPECT_TRUE(Same(out, RECT{0, 0, 10, 10}));
    RectUnion(out, RECT{-3, 4, 1, 8}, RECT{2, -1, 3, 5});
    EXPECT_TRUE(Same(out, RECT{-3, -1, 3, 8}));
}

TEST(DrawingRects, HitTestsAreHalfOpen)
{
    const RECT r = {10, 10, 20, 20};
    const struct {
        POINT pt;
        int in;
    } points[] = {{{10, 10}, 1}, {{19, 19}, 1}, {{20, 15}, 0}, {{15, 20}, 0}, {{9, 15}, 0}};
    for (const auto& p : points)
        EXPECT_EQ(RectHasPoint(r, p.pt) != 0, p.in != 0) << p.pt.x << "," << p.pt.y;

    EXPECT_TRUE(RectHasRect(r, RECT{10, 10, 19, 19}));
    EXPECT_FALSE(RectHasRect(r, RECT{10, 10, 20, 19}));
    EXPECT_FALSE(RectHasRect(r, RECT{10, 10, 19, 20}));
    EXPECT_FALSE(RectHasRect(r, RECT{9, 10, 15, 15}));
}

TEST(DrawingRects, ClientToScreenMovesBothCornersAndLeavesThePointFormAlone)
{
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 50, 80, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    POINT origin = {0, 0};
    ASSERT_TRUE(ClientToScreen(wnd, &origin));
    RECT r = {1, 2, 30, 40};
    EXPECT_TRUE(ClientToScreen(wnd, &r));
    EXPECT_TRUE(Same(r, RECT{origin.x + 1, origin.y + 2, origin.x + 30, origin.y + 40}));
    POINT pt = {3, 4};
    EXPECT_TRUE(::ClientToScreen(wnd, &pt));
    EXPECT_EQ(pt.x, origin.x + 3);
    EXPECT_EQ(pt.y, origin.y + 4);
    DestroyWindow(wnd);
}

// --- painting and pens ---------------------------------------------------------------

TEST(DrawingPaint, PaintRectFillsExactlyTheBox)
{
    Canvas canvas(8, 6);
    EXPECT_TRUE(PaintRect(canvas.dc, 2, 1, 3, 4, RGB(10, 200, 30)));
    for (int y = 0; y < canvas.cy; ++y)
        for (int x = 0; x < canvas.cx; ++x) {
            bool inside = x >= 2 && x < 5 && y >= 1 && y < 5;
            EXPECT_EQ(canvas.At(x, y), inside ? RGB(10, 200, 30) : RGB(0, 0, 0)) << x << "," << y;
        }
}

TEST(DrawingPaint, DrawRectOutlinesTheBoxInclusively)
{
    Canvas canvas(8, 7);
    HGDIOBJ penBefore = GetCurrentObject(canvas.dc, OBJ_PEN);
    EXPECT_TRUE(DrawRect(canvas.dc, 1, 1, 5, 4, RGB(255, 0, 0), PS_SOLID));
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), penBefore);
    for (int y = 0; y < canvas.cy; ++y)
        for (int x = 0; x < canvas.cx; ++x) {
            bool inBox = x >= 1 && x <= 5 && y >= 1 && y <= 4;
            bool edge = inBox && (x == 1 || x == 5 || y == 1 || y == 4);
            EXPECT_EQ(canvas.At(x, y), edge ? RGB(255, 0, 0) : RGB(0, 0, 0)) << x << "," << y;
        }
}

TEST(DrawingPaint, DottedPenSetsEveryOtherPixel)
{
    Canvas canvas(12, 1);
    HPEN pen = CreateDottedPen(RGB(0, 255, 0));
    ASSERT_NE(pen, nullptr);
    HGDIOBJ old = SelectObject(canvas.dc, pen);
    MoveToEx(canvas.dc, 0, 0, nullptr);
    LineTo(canvas.dc, 12, 0);
    SelectObject(canvas.dc, old);
    DeleteObject(pen);
    int lit = 0;
    for (int x = 0; x < canvas.cx; ++x) {
        bool on = canvas.At(x, 0) == RGB(0, 255, 0);
        lit += on;
        if (x > 0) {
            EXPECT_NE(on, canvas.At(x - 1, 0) == RGB(0, 255, 0)) << x;
        }
    }
    EXPECT_EQ(lit, 6);
}

// --- shaded fill ---------------------------------------------------------------------

// The fill as described, band by band from the bottom, into one colour per
// row (RGB(1, 2, 3) for rows left alone).
std::vector<COLORREF> ExpectedShade(RECT rect, COLORREF c, int fromBottom, int steps)
{
    const COLORREF untouched = RGB(1, 2, 3);
    std::vector<COLORREF> rows(rect.bottom > 0 ? rect.bottom : 0, untouched);
    if (steps <= 0)
        return rows;
    long long h = rect.bottom;
    long long band = h / steps < 2 ? 1 : h / steps;
    if (h <= band)
        return rows;
    for (long long cur = h;; ) {
        long long top = cur - band;
        long long d = fromBottom ? h + band - cur : top - rect.top;
        auto darken = [&](long long v) { return static_cast<int>(v - v * d * d / (h * h)); };
        for (long long y = top; y < cur; ++y)
            rows[y] = RGB(darken(GetRValue(c)), darken(GetGValue(c)), darken(GetBValue(c)));
        cur = top;
        if (top <= band)
            break;
    }
    return rows;
}

void CheckShade(Canvas& canvas, RECT rect, COLORREF c, int fromBottom, int steps)
{
    canvas.Fill(RGB(1, 2, 3));
    PaintShadedRect(canvas.dc, rect, c, fromBottom, steps);
    std::vector<COLORREF> rows = ExpectedShade(rect, c, fromBottom, steps);
    int wrong = 0;
    for (int y = 0; y < canvas.cy && wrong < 5; ++y)
        for (int x = 0; x < canvas.cx && wrong < 5; ++x) {
            COLORREF expected = x < rect.right && y < static_cast<int>(rows.size()) ? rows[y] : RGB(1, 2, 3);
            if (canvas.At(x, y) != expected) {
                ++wrong;
                ADD_FAILURE() << "steps " << steps << (fromBottom ? " from bottom" : " from top") << ", pixel " << x
                              << "," << y << ": " << std::hex << canvas.At(x, y) << " instead of " << expected;
            }
        }
}

TEST(DrawingShade, MatchesTheBandFormulaPixelByPixel)
{
    Canvas canvas(6, 40);
    const COLORREF c = RGB(250, 128, 7);
    for (int fromBottom = 0; fromBottom < 2; ++fromBottom) {
        CheckShade(canvas, RECT{0, 0, 5, 37}, c, fromBottom, 4);
        CheckShade(canvas, RECT{0, 0, 6, 40}, c, fromBottom, 7);
        CheckShade(canvas, RECT{0, 3, 4, 40}, c, fromBottom, 10);
        // More steps than rows: bands of one row.
        CheckShade(canvas, RECT{0, 0, 6, 40}, c, fromBottom, 1000);
    }
}

TEST(DrawingShade, ZeroOrOneStepPaintsNothing)
{
    Canvas canvas(4, 10);
    for (int steps : {0, -3, 1}) {
        canvas.Fill(RGB(1, 2, 3));
        RECT rect = {0, 0, 4, 10};
        PaintShadedRect(canvas.dc, rect, RGB(255, 255, 255), 0, steps);
        for (int y = 0; y < canvas.cy; ++y)
            EXPECT_EQ(canvas.At(0, y), RGB(1, 2, 3)) << "steps " << steps << ", row " << y;
    }
}

TEST(DrawingShade, TallRectanglesDoNotOverflowTheSquares)
{
    // v * d^2 passes 2^31 at about 2900 rows.
    Canvas canvas(2, 5000);
    CheckShade(canvas, RECT{0, 0, 2, 5000}, RGB(255, 200, 100), 0, 50);
    CheckShade(canvas, RECT{0, 0, 2, 5000}, RGB(255, 200, 100), 1, 50);
}

TEST(DrawingShade, HugeRectangleInThinBandsPaintsOnlyWhatIsVisible)
{
    // INT_MAX rows in bands of one row: v * d^2 passes even 2^63, and a
    // band-by-band walk would take minutes.
    Canvas canvas(3, 16);
    RECT rect = {0, 0, 3, INT_MAX};
    DWORD start = GetTickCount();
    canvas.Fill(RGB(1, 2, 3));
    PaintShadedRect(canvas.dc, rect, RGB(200, 100, 0), 0, INT_MAX);
    EXPECT_EQ(canvas.At(0, 0), RGB(1, 2, 3));
    for (int y = 1; y < canvas.cy; ++y)
        EXPECT_EQ(canvas.At(1, y), RGB(200, 100, 0)) << y;

    canvas.Fill(RGB(1, 2, 3));
    PaintShadedRect(canvas.dc, rect, RGB(200, 100, 0), 1, INT_MAX);
    // Near the top the distance from the bottom is almost the whole
    // height: all but one unit of every channel is taken away.
    EXPECT_EQ(canvas.At(0, 0), RGB(1, 2, 3));
    for (int y = 1; y < canvas.cy; ++y)
        EXPECT_EQ(canvas.At(1, y), RGB(1, 1, 0)) << y;
    EXPECT_LT(GetTickCount() - start, 5000u);
}

TEST(DrawingShade, ShadedBitmapIsTheFillOnANewBitmap)
{
    HBITMAP bmp = MakeShadedBitmap(32, 96, RGB(90, 160, 255), 1, 12);
    ASSERT_NE(bmp, nullptr);
    int cx = 0, cy = 0;
    std::vector<DWORD> pixels = BitmapPixels(bmp, &cx, &cy);
    ASSERT_EQ(cx, 32);
    ASSERT_EQ(cy, 96);
    std::vector<COLORREF> rows = ExpectedShade(RECT{0, 0, 32, 96}, RGB(90, 160, 255), 1, 12);
    for (int y = 8; y < cy; ++y)
        EXPECT_EQ(pixels[y * cx + 5], Canvas::ToPixel(rows[y])) << y;
    EXPECT_FALSE(SavePng(L"shaded-from-bottom", bmp).empty());
    DeleteObject(bmp);
}

// --- bitmaps -------------------------------------------------------------------------

// An asymmetric picture: every pixel tells where it came from.
COLORREF Marked(int x, int y)
{
    return RGB(x * 4, y * 5, (x * 7 + y * 3) & 0xFF);
}

void DrawMarked(Canvas& canvas)
{
    for (int y = 0; y < canvas.cy; ++y)
        for (int x = 0; x < canvas.cx; ++x)
            canvas.Set(x, y, Marked(x, y));
    // An "F" in the top-left corner, for the eye.
    PaintRect(canvas.dc, 4, 4, 3, 20, RGB(255, 255, 255));
    PaintRect(canvas.dc, 4, 4, 14, 3, RGB(255, 255, 255));
    PaintRect(canvas.dc, 4, 12, 9, 3, RGB(255, 255, 255));
}

TEST(DrawingBitmaps, GetDibBitsReadsTheCurrentBitmapTopDown)
{
    Canvas canvas(5, 3);
    DrawMarked(canvas);
    DWORD* pixels = GetDibBits(canvas.dc, 4, 2);
    ASSERT_NE(pixels, nullptr);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixels[y * 4 + x], Canvas::ToPixel(canvas.At(x, y))) << x << "," << y;
    FreeDllBuf(pixels);
}

TEST(DrawingBitmaps, GetDibBitsRefusesSizesThatOverflow)
{
    Canvas canvas(4, 4);
    const int sizes[][2] = {{0, 4}, {4, 0}, {-1, 4}, {4, INT_MIN}, {INT_MAX, INT_MAX}, {65536, 65536}, {INT_MAX, 1}};
    for (const auto& s : sizes)
        EXPECT_EQ(GetDibBits(canvas.dc, s[0], s[1]), nullptr) << s[0] << " x " << s[1];
}

TEST(DrawingBitmaps, ReturnedBitmapsAreFreeToSelect)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HBITMAP made[] = {MakeShadedBitmap(8, 8, RGB(1, 2, 3), 0, 2), MakeTextBitmap(8, 8, L"x", font, 0, 0),
                      MakeScreenBitmap(0, 0, 8, 8)};
    for (HBITMAP bmp : made) {
        ASSERT_NE(bmp, nullptr);
        HGDIOBJ old = SelectObject(memory, bmp);
        EXPECT_NE(old, nullptr);
        SelectObject(memory, old);
        EXPECT_TRUE(DeleteObject(bmp));
    }
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    DeleteDC(memory);
}

TEST(DrawingBitmaps, CopyAndDrawBitmapKeepThePicture)
{
    Canvas source(10, 6);
    DrawMarked(source);
    HBITMAP copy = MakeBitmap(source.dc, 2, 1, 6, 4);
    ASSERT_NE(copy, nullptr);
    SIZE size = GetBitmapSize(copy);
    EXPECT_EQ(size.cx, 6);
    EXPECT_EQ(size.cy, 4);
    HBITMAP again = CopyBitmap(copy);
    ASSERT_NE(again, nullptr);

    Canvas target(10, 6);
    EXPECT_TRUE(DrawBitmap(target.dc, again, 1, 1, 0, 0, 0, 0));
    EXPECT_TRUE(DrawBitmap(target.dc, again, 8, 0, 4, 2, 2, 2));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(target.At(1 + x, 1 + y), source.At(2 + x, 1 + y)) << x << "," << y;
    EXPECT_EQ(target.At(8, 0), source.At(6, 3));
    EXPECT_EQ(target.At(9, 1), source.At(7, 4));
    EXPECT_EQ(target.At(0, 0), RGB(0, 0, 0));
    DeleteObject(copy);
    DeleteObject(again);
}

TEST(DrawingBitmaps, TextBitmapDrawsInTheTextColour)
{
    LOGFONTW lf = {};
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&lf);
    ASSERT_NE(font, nullptr);
    HBITMAP bmp = MakeTextBitmap(80, 26, L"Hello", font, RGB(200, 0, 0), RGB(0, 0, 120));
    ASSERT_NE(bmp, nullptr);
    std::vector<DWORD> pixels = BitmapPixels(bmp);
    ASSERT_EQ(pixels.size(), 80u * 26u);
    int text = 0, back = 0;
    for (DWORD p : pixels) {
        text += p == Canvas::ToPixel(RGB(200, 0, 0));
        back += p == Canvas::ToPixel(RGB(0, 0, 120));
    }
    EXPECT_GT(text, 20);
    EXPECT_GT(back, 80 * 26 / 2);
    EXPECT_EQ(pixels[80 * 26 - 1], Canvas::ToPixel(RGB(0, 0, 120)));
    SavePng(L"text-bitmap", bmp);
    DeleteObject(bmp);
    // The caller's font is the caller's.
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(font);
}

// --- quarter and half turns ----------------------------------------------------------

TEST(DrawingTurn, QuarterTurnsMovePixelsBothWays)
{
    // The source lies on its side: rect's height wide, its width high.
    const int w = 32, h = 48;
    Canvas source(h, w);
    DrawMarked(source);
    SavePng(L"turn-source", source.Pixels().data(), source.cx, source.cy);

    for (int ccw = 0; ccw < 2; ++ccw) {
        Canvas turned(w, h);
        RECT rect = {0, 0, w, h};
        ASSERT_TRUE(RotateMemoryDC(turned.dc, &rect, source.dc, ccw));
        int wrong = 0;
        for (int y = 0; y < h && wrong < 5; ++y)
            for (int x = 0; x < w && wrong < 5; ++x) {
                COLORREF expected = ccw ? source.At(h - 1 - y, x) : source.At(y, w - 1 - x);
                if (turned.At(x, y) != expected) {
                    ++wrong;
                    ADD_FAILURE() << (ccw ? "ccw " : "cw ") << x << "," << y;
                }
            }
        // Counter-clockwise brings the top-right corner to the top left;
        // clockwise brings the bottom-left one there.
        EXPECT_EQ(turned.At(0, 0), ccw ? source.At(h - 1, 0) : source.At(0, w - 1));
        SavePng(ccw ? L"turn-counterclockwise" : L"turn-clockwise", turned.Pixels().data(), w, h);
    }
}

TEST(DrawingTurn, QuarterTurnThereAndBackIsTheSamePicture)
{
    Canvas source(7, 5);
    DrawMarked(source);
    Canvas turned(5, 7);
    RECT there = {0, 0, 5, 7};
    ASSERT_TRUE(RotateMemoryDC(turned.dc, &there, source.dc, 0));
    Canvas back(7, 5);
    RECT home = {0, 0, 7, 5};
    ASSERT_TRUE(RotateMemoryDC(back.dc, &home, turned.dc, 1));
    EXPECT_EQ(back.Pixels(), source.Pixels());
}

TEST(DrawingTurn, HalfTurnMirrorsBothAxesAtTheRectangle)
{
    Canvas source(5, 3);
    DrawMarked(source);
    Canvas turned(8, 6, RGB(9, 9, 9));
    RECT rect = {2, 1, 7, 4};
    ASSERT_TRUE(TwistMemoryDC(turned.dc, &rect, source.dc));
    for (int y = 0; y < turned.cy; ++y)
        for (int x = 0; x < turned.cx; ++x) {
            bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
            COLORREF expected = inside ? source.At(4 - (x - 2), 2 - (y - 1)) : RGB(9, 9, 9);
            EXPECT_EQ(turned.At(x, y), expected) << x << "," << y;
        }

    Canvas big(48, 32);
    DrawMarked(big);
    Canvas twisted(48, 32);
    RECT all = {0, 0, 48, 32};
    ASSERT_TRUE(TwistMemoryDC(twisted.dc, &all, big.dc));
    SavePng(L"turn-half", twisted.Pixels().data(), 48, 32);
}

TEST(DrawingTurn, UntrustedRectanglesAreRefused)
{
    Canvas source(4, 4);
    Canvas dest(4, 4);
    RECT bad[] = {{0, 0, 0, 4},
                  {0, 0, 4, 0},
                  {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                  {0, 0, INT_MAX, INT_MAX},
                  {0, 0, 70000, 70000},
                  {INT_MAX, 0, INT_MIN, 2}};
    for (RECT& r : bad) {
        EXPECT_FALSE(RotateMemoryDC(dest.dc, &r, source.dc, 0)) << r.left << "," << r.right;
        EXPECT_FALSE(RotateMemoryDC(dest.dc, &r, source.dc, 1));
        EXPECT_FALSE(TwistMemoryDC(dest.dc, &r, source.dc));
    }
    // A rectangle given right to left is the same box.
    source.Set(0, 0, RGB(5, 6, 7));
    RECT reversed = {4, 4, 0, 0};
    EXPECT_TRUE(TwistMemoryDC(dest.dc, &reversed, source.dc));
    EXPECT_EQ(dest.At(3, 3), RGB(5, 6, 7));
}

} // namespace
