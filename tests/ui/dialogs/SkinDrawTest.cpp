// Drawing a skin without a dialog: the picture stretched by nine-slice
// scaling (or whole), the colour key kept exact, the stretched picture
// kept until the size changes, picture coordinates mapped, the inactive
// look, and which bitmaps a skin takes and frees.
#include <gtest/gtest.h>

#include "SkinSupport.h"

using namespace TestSkin;

namespace {

// The skin of kind drawn whole at cx x cy.
void DrawKind(ZnDlgSkin& skin, int kind, Canvas& canvas)
{
    ASSERT_TRUE(skin.SetSkin(GetSkinMetrics(kind)));
    skin.DrawSkin(canvas.dc, 0, 0, canvas.cx, canvas.cy);
}

} // namespace

TEST(SkinStretch, CornersKeepTheirSizeEdgesAndCentreStretch)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas canvas(200, 100);
    DrawKind(skin, kindNine, canvas);
    // Right and bottom parts keep their widths: 20 columns, 10 rows.
    std::string where;
    EXPECT_EQ(CountDifferences(
                  canvas, [](int x, int y) { return NineStretchedAt(x, y, 200, 100); }, &where),
        0)
        << where;
}

TEST(SkinStretch, AnEmptyStretchRectangleScalesTheWholePicture)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas canvas(120, 80);
    DrawKind(skin, kindNineWhole, canvas);
    std::string where;
    EXPECT_EQ(CountDifferences(
                  canvas, [](int x, int y) { return NineAt(x / 2, y / 2); }, &where),
        0)
        << where;
}

// A stretch range of no width on one axis: the sides keep their size and
// the gap between them repeats the picture's line at that place; nothing
// divides by the empty range.
TEST(SkinStretch, AnAxisWithoutStretchableLinesRepeatsTheLineBetweenItsSides)
{
    TestSkinMode mode;
    {
        ZnDlgSkin skin;
        Canvas canvas(100, 40);
        DrawKind(skin, kindNineSeamX, canvas); // {20, 10, 20, 30}
        std::string where;
        EXPECT_EQ(CountDifferences(
                      canvas,
                      [](int x, int y) {
                          int px = x < 20 ? x : (x < 60 ? 20 : x - 40);
                          return NineAt(px, y);
                      },
                      &where),
            0)
            << where;
        long at = 20, after = 21, before = 19;
        skin.StretchX(at);
        skin.StretchX(after);
        skin.StretchX(before);
        EXPECT_EQ(at, 20);
        EXPECT_EQ(after, 61);
        EXPECT_EQ(before, 19);
    }
    {
        ZnDlgSkin skin;
        Canvas canvas(60, 70);
        DrawKind(skin, kindNineSeamY, canvas); // {20, 10, 40, 10}
        std::string where;
        EXPECT_EQ(CountDifferences(
                      canvas,
                      [](int x, int y) {
                          int py = y < 10 ? y : (y < 40 ? 10 : y - 30);
                          return NineAt(x, py);
                      },
                      &where),
            0)
            << where;
        long at = 10, after = 11;
        skin.StretchY(at);
        skin.StretchY(after);
        EXPECT_EQ(at, 10);
        EXPECT_EQ(after, 41);
    }
}

TEST(SkinStretch, SmallerThanThePictureTheFarSidesWin)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas canvas(30, 16);
    DrawKind(skin, kindNine, canvas);
    // The right part (20 columns) and bottom part (10 rows) are whole.
    std::string where;
    EXPECT_EQ(CountDifferences(
                  canvas,
                  [](int x, int y) {
                      int px = x < 10 ? x : x + 30;
                      int py = y < 6 ? y : y + 24;
                      return NineAt(px, py);
                  },
                  &where),
        0)
        << where;
}

TEST(SkinStretch, TheColourKeyStaysExact)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas canvas(150, 100);
    DrawKind(skin, kindNineWhole, canvas); // 2.5 times: no whole-number scale
    int keyPixels = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 150; ++x) {
            COLORREF c = canvas.At(x, y);
            keyPixels += c == colorKey;
            // Every pixel is one of the picture's colours: nothing mixed.
            bool known = c == colorKey;
            for (const auto& row : nineColors)
                for (COLORREF n : row)
                    known = known || c == n;
            ASSERT_TRUE(known) << x << "," << y;
        }
    }
    EXPECT_EQ(keyPixels, 100); // 4 x 4 picture pixels, 10 x 10 drawn
}

TEST(SkinStretch, ThePictureIsStretchedOncePerSize)
{
    TestSkinMode mode;
    ProbeSkin skin;
    ASSERT_TRUE(skin.SetSkin(GetSkinMetrics(kindNine)));
    Canvas canvas(100, 60);
    skin.DrawSkin(canvas.dc, 0, 0, 100, 60);
    EXPECT_EQ(skin.resizes, 1);
    EXPECT_EQ(skin.lastResize.cx, 40); // from the picture's 60 x 40
    EXPECT_EQ(skin.lastResize.cy, 20);
    skin.DrawSkin(canvas.dc, 0, 0, 100, 60);
    skin.DrawSkin(canvas.dc, 10, 10, 20, 20); // a part of the same client area
    EXPECT_EQ(skin.resizes, 1);
    skin.DrawSkin(canvas.dc, 0, 0, 90, 60);
    EXPECT_EQ(skin.resizes, 2);
    EXPECT_EQ(skin.lastResize.cx, -10);
    EXPECT_EQ(skin.lastResize.cy, 0);
    EXPECT_EQ(skin.StretchedSize().cx, 90);
}

TEST(SkinStretch, APartIsTakenFromTheStretchedPictureWithoutAreas)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    ASSERT_TRUE(skin.SetSkin(GetSkinMetrics(kindNine)));
    skin.AddAreas(GetSkinAreas(kindNine));
    Canvas whole(200, 100);
    skin.DrawSkin(whole.dc, 0, 0, 200, 100);
    RECT corner;
    ASSERT_TRUE(skin.GetAreaRect(areaCorner, &corner));
    ASSERT_EQ(whole.At(corner.left, corner.top), areaColors[0]);
    // The part over the corner area shows the skin alone.
    Canvas part(16, 8);
    const int left = corner.left - 8, top = corner.top - 2;
    skin.DrawSkin(part.dc, left, top, 16, 8);
    std::string where;
    EXPECT_EQ(CountDifferences(
                  part, [&](int x, int y) { return NineStretchedAt(left + x, top + y, 200, 100); }, &where),
        0)
        << where;
}

// --- coordinates --------------------------------------------------------------------------

TEST(SkinCoordinates, RightOfTheRangeMovesByTheWholeChangeAtItsStartNot)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas canvas(100, 60); // 40 wider, 20 higher than the picture
    DrawKind(skin, kindNine, canvas); // stretch {20, 10, 40, 30}
    auto x = [&](long v) {
        skin.StretchX(v);
        return v;
    };
    auto y = [&](long v) {
        skin.StretchY(v);
        return v;
    };
    EXPECT_EQ(x(41), 81);
    EXPECT_EQ(x(59), 99);
    EXPECT_EQ(x(20), 20);
    EXPECT_EQ(x(19), 19);
    EXPECT_EQ(x(30), 50); // half-way through the range: half the change
    EXPECT_EQ(x(40), 80);
    EXPECT_EQ(y(31), 51);
    EXPECT_EQ(y(10), 10);
    EXPECT_EQ(y(20), 30);
    RECT r = {30, 20, 41, 31};
    skin.StretchRect(r, 1, 0);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.right, 81);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.bottom, 31);
}

TEST(SkinCoordinates, NothingMovesBeforeAStretchOrWhenTheWholePictureStretches)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    ASSERT_TRUE(skin.SetSkin(GetSkinMetrics(kindNine)));
    long v = 50;
    skin.StretchX(v);
    EXPECT_EQ(v, 50);
    ZnDlgSkin whole;
    Canvas canvas(120, 80);
    DrawKind(whole, kindNineWhole, canvas);
    skin.StretchY(v);
    whole.StretchX(v);
    EXPECT_EQ(v, 50);
}

TEST(SkinCoordinates, TheWizardsBandsAndPageFollowTheStretch)
{
    TestSkinMode mode;
    ZnDlgWizSkin skin(GetSkinWizMetrics(), GetSkinMetrics(kindWindow));
    Canvas canvas(136, 102); // 40 wider, 30 higher than the 96 x 72 picture
    ASSERT_TRUE(skin.SetSkin(GetSkinMetrics(kindWindow))); // stretch {12, 20, 84, 52}
    skin.DrawSkin(canvas.dc, 0, 0, 136, 102);
    skin.StretchWizMetrics();
    const SKIN_WIZ_METRICS& wiz = skin.GetWizMetrics();
    EXPECT_EQ(wiz.headerTop, 2);
    EXPECT_EQ(wiz.headerBottom, 18);
    EXPECT_EQ(wiz.buttonsTop, 84);
    EXPECT_EQ(wiz.buttonsBottom, 100);
    EXPECT_EQ(wiz.pageRect.left, 12);
    EXPECT_EQ(wiz.pageRect.top, 20);
    EXPECT_EQ(wiz.pageRect.right, 124);
    EXPECT_EQ(wiz.pageRect.bottom, 82);
}

// --- the inactive look ----------------------------------------------------------------------

TEST(SkinInactive, HalfIntensityOverWhiteAndTheKeyUntouched)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas active(100, 60);
    DrawKind(skin, kindNine, active);
    Canvas inactive(100, 60);
    skin.OnActivate(nullptr, 0);
    skin.DrawSkin(inactive.dc, 0, 0, 100, 60);
    std::string where;
    EXPECT_EQ(CountDifferences(
                  inactive,
                  [&](int x, int y) {
                      COLORREF c = active.At(x, y);
                      if (c == colorKey)
                          return c;
                      return RGB((GetRValue(c) + 255) / 2, (GetGValue(c) + 255) / 2, (GetBValue(c) + 255) / 2);
                  },
                  &where),
        0)
        << where;
    // Bright channels do not wrap round to dark ones.
    COLORREF pale = inactive.At(50, 30); // the centre, RGB(0, 200, 200)
    EXPECT_EQ(pale, RGB(127, 227, 227));
    skin.OnActivate(nullptr, 1);
    skin.DrawSkin(inactive.dc, 0, 0, 100, 60);
    EXPECT_EQ(CountDifferences(inactive, [&](int x, int y) { return active.At(x, y); }), 0);
}

// --- pictures the skin takes ------------------------------------------------------------------

TEST(SkinBitmaps, ANewPictureFreesTheOldOne)
{
    ZnDlgSkin skin;
    HBITMAP first = SolidBitmap(10, 10, RGB(1, 2, 3));
    HBITMAP second = SolidBitmap(10, 10, RGB(4, 5, 6));
    RECT stretch = {2, 2, 8, 8};
    ASSERT_TRUE(skin.SetSkin(first, RGB(255, 0, 255), &stretch));
    EXPECT_TRUE(skin.IsSkinSet());
    ASSERT_TRUE(skin.SetSkin(second, RGB(255, 0, 255), &stretch));
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));
    // The same picture again is kept, not freed.
    ASSERT_TRUE(skin.SetSkin(second, RGB(255, 0, 255), nullptr));
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));
    // A null picture removes the skin.
    EXPECT_TRUE(skin.SetSkin(nullptr, 0, nullptr));
    EXPECT_FALSE(skin.IsSkinSet());
    EXPECT_EQ(GetObjectType(second), 0u);
}

TEST(SkinBitmaps, SomethingWithoutPixelsIsRefusedAndStaysTheCallers)
{
    ZnDlgSkin skin;
    HBITMAP kept = SolidBitmap(4, 4, RGB(9, 9, 9));
    ASSERT_TRUE(skin.SetSkin(kept, 0, nullptr));
    BrushHandle notABitmap(CreateSolidBrush(RGB(1, 1, 1)));
    EXPECT_FALSE(skin.SetSkin(reinterpret_cast<HBITMAP>(notABitmap.Get()), 0, nullptr));
    EXPECT_EQ(GetObjectType(notABitmap.Get()), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_TRUE(skin.IsSkinSet());
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(SkinBitmaps, AStretchRectangleOutsideThePictureIsKeptWithinIt)
{
    ZnDlgSkin skin;
    RECT wild = {50, -7, 3, 400}; // backwards, past every edge
    ASSERT_TRUE(skin.SetSkin(SolidBitmap(10, 10, RGB(10, 20, 30)), 0, &wild));
    Canvas canvas(40, 30);
    skin.DrawSkin(canvas.dc, 0, 0, 40, 30);
    EXPECT_EQ(CountDifferences(canvas, [](int, int) { return RGB(10, 20, 30); }), 0);
}

TEST(SkinBitmaps, MetricsNeedSkinModeAndAPicture)
{
    SKIN_METRICS metrics = {pictureNine, colorKey, textColor, 0, {20, 10, 40, 30}, 0, 0, 0, 0};
    ProbeSkin skin;
    EXPECT_FALSE(skin.SetSkin(&metrics));
    EXPECT_FALSE(skin.IsSkinSet());
    TestSkinMode mode;
    EXPECT_FALSE(skin.SetSkin(GetSkinMetrics(kindMissingPicture)));
    EXPECT_FALSE(skin.IsSkinSet());
    EXPECT_TRUE(skin.SetSkin(&metrics));
    EXPECT_TRUE(skin.IsSkinSet());
    EXPECT_EQ(skin.GetMetrics(), &metrics);
    // Told of the picture before it is taken, with a DC that holds it.
    EXPECT_EQ(skin.setSkinSize.cx, 60);
    EXPECT_EQ(skin.setSkinSize.cy, 40);
    EXPECT_NE(skin.setSkinDC, nullptr);
}

TEST(SkinBitmaps, AJpegSkinDraws)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    Canvas canvas(32, 24);
    DrawKind(skin, kindJpeg, canvas);
    for (POINT p : {POINT{0, 0}, POINT{31, 23}, POINT{15, 11}})
        EXPECT_LE(ChannelDistance(canvas.At(p.x, p.y), jpegColor), 4) << p.x << "," << p.y;
}

// --- colours ------------------------------------------------------------------------------------

TEST(SkinColours, StaticsAndButtonsGetTheTextColourOnNothing)
{
    TestSkinMode mode;
    ZnDlgSkin skin(GetSkinMetrics(kindNine));
    Canvas canvas(4, 4);
    HBRUSH brush = nullptr;
    EXPECT_TRUE(skin.OnCtlColor(WM_CTLCOLORSTATIC, canvas.dc, &brush));
    EXPECT_EQ(brush, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(canvas.dc), textColor);
    EXPECT_EQ(GetBkMode(canvas.dc), TRANSPARENT);
    EXPECT_TRUE(skin.OnCtlColor(WM_CTLCOLORBTN, canvas.dc, &brush));
    brush = nullptr;
    EXPECT_FALSE(skin.OnCtlColor(WM_CTLCOLOREDIT, canvas.dc, &brush));
    EXPECT_EQ(brush, nullptr);
    ZnDlgSkin bare;
    EXPECT_TRUE(bare.OnCtlColor(WM_CTLCOLORSTATIC, canvas.dc, &brush));
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(0, 0, 0x80));
}
