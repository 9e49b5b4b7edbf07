// Skin areas without a dialog: the list, where areas go when the skin
// stretches, which picture each look shows, the bitmaps an area takes, and
// what the mouse does to them (a command only for a click that began and
// ended on the same enabled, visible area).
#include <gtest/gtest.h>

#include "SkinSupport.h"
#include "common/TestWindow.h"

using namespace TestSkin;

namespace {

// The nine-colour skin with its two areas, drawn at 100 x 60: 40 wider and
// 20 higher than the picture. The centre area lies at (26, 14)-(50, 26)
// after the stretch, the corner area at (84, 52)-(92, 58).
class SkinAreas : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(skin.SetSkin(GetSkinMetrics(kindNine)));
        skin.AddAreas(GetSkinAreas(kindNine));
        Draw();
    }
    void Draw() { skin.DrawSkin(canvas.dc, 0, 0, canvas.cx, canvas.cy); }
    COLORREF CentreLook()
    {
        Draw();
        return canvas.At(27, 15);
    }

    TestSkinMode mode;
    ProbeSkin skin;
    Canvas canvas{100, 60};
};

} // namespace

TEST_F(SkinAreas, FollowTheFirstStretchOnly)
{
    RECT r;
    ASSERT_TRUE(skin.GetAreaRect(areaCentre, &r));
    EXPECT_EQ(r.left, 26);
    EXPECT_EQ(r.top, 14);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 26);
    ASSERT_TRUE(skin.GetAreaRect(areaCorner, &r));
    EXPECT_EQ(r.left, 84);
    EXPECT_EQ(r.top, 52);
    EXPECT_EQ(r.right, 92);
    EXPECT_EQ(r.bottom, 58);
    Canvas larger(160, 90);
    skin.DrawSkin(larger.dc, 0, 0, 160, 90);
    ASSERT_TRUE(skin.GetAreaRect(areaCorner, &r));
    EXPECT_EQ(r.left, 84);
    // The area's picture (8 x 6) is drawn at the area's corner.
    EXPECT_EQ(canvas.At(84, 52), areaColors[0]);
    EXPECT_EQ(canvas.At(91, 57), areaColors[0]);
    EXPECT_EQ(canvas.At(92, 57), NineStretchedAt(92, 57, 100, 60));
}

TEST_F(SkinAreas, ShowTheLookOfTheirState)
{
    EXPECT_EQ(CentreLook(), areaColors[0]);
    skin.SetAreaState(areaCentre, areaHot);
    EXPECT_EQ(CentreLook(), areaColors[1]);
    skin.SetAreaState(areaCentre, areaPressed);
    EXPECT_EQ(CentreLook(), areaColors[2]);
    // Disabled wins over any state but hidden.
    skin.EnableArea(areaCentre, 0);
    EXPECT_FALSE(skin.IsAreaEnabled(areaCentre));
    EXPECT_EQ(CentreLook(), areaColors[3]);
    skin.ShowArea(areaCentre, 0);
    EXPECT_EQ(CentreLook(), NineStretchedAt(27, 15, 100, 60));
    EXPECT_EQ(skin.FindArea(27, 15), nullptr);
    skin.EnableArea(areaCentre, 1);
    skin.ShowArea(areaCentre, 1);
    EXPECT_EQ(skin.FindArea(areaCentre)->GetState(), areaNormal);
    EXPECT_EQ(CentreLook(), areaColors[0]);
}

TEST_F(SkinAreas, TheFocusShowsTheHotLookInADottedFrame)
{
    skin.FocusArea(areaCentre);
    ASSERT_EQ(skin.GetFocusArea(), skin.FindArea(areaCentre));
    Draw();
    EXPECT_EQ(canvas.At(27, 15), areaColors[1]);
    // The frame runs round the area's rectangle: white, with black dots.
    int black = 0, other = 0;
    for (int x = 26; x < 50; ++x) {
        for (int y : {14, 25}) {
            COLORREF c = canvas.At(x, y);
            black += c == RGB(0, 0, 0);
            other += c != RGB(0, 0, 0) && c != RGB(255, 255, 255);
        }
    }
    EXPECT_GT(black, 0);
    EXPECT_EQ(other, 0);
    skin.FocusArea(0);
    EXPECT_EQ(skin.GetFocusArea(), nullptr);
    EXPECT_EQ(CentreLook(), areaColors[0]);
}

TEST_F(SkinAreas, ALookWithoutAPictureShowsTheSkin)
{
    auto* bare = new ZnDlgSkinArea(7, 2, 20, 10, 10, 0, 0, 0, 0, 0, 0);
    ASSERT_TRUE(bare->SetBitmap(ZnDlgSkinArea::lookNormal, SolidBitmap(10, 10, RGB(1, 2, 3))));
    skin.AddArea(bare);
    Draw();
    EXPECT_EQ(canvas.At(3, 21), RGB(1, 2, 3));
    skin.SetAreaState(7, areaHot);
    Draw();
    EXPECT_EQ(canvas.At(3, 21), NineStretchedAt(3, 21, 100, 60));
}

TEST_F(SkinAreas, AHiddenAreaShowsItsHiddenLookIfItHasOne)
{
    ZnDlgSkinArea* centre = skin.FindArea(areaCentre);
    ASSERT_TRUE(centre->SetBitmap(ZnDlgSkinArea::lookHidden, SolidBitmap(8, 6, RGB(5, 6, 7))));
    skin.ShowArea(areaCentre, 0);
    EXPECT_EQ(CentreLook(), RGB(5, 6, 7));
    EXPECT_EQ(skin.FindArea(27, 15), nullptr);
}

TEST_F(SkinAreas, TheFirstAreaInTheListThatHoldsThePointIsFound)
{
    skin.AddArea(new ZnDlgSkinArea(8, 20, 10, 40, 20, 0, 0, 0, 0, 0, 0)); // over the centre area
    EXPECT_EQ(skin.FindArea(30, 20)->GetID(), areaCentre);
    EXPECT_EQ(skin.FindArea(21, 11)->GetID(), 8);
    skin.ShowArea(areaCentre, 0);
    EXPECT_EQ(skin.FindArea(30, 20)->GetID(), 8);
    skin.RemoveArea(8);
    EXPECT_EQ(skin.FindArea(8), nullptr);
    EXPECT_EQ(skin.FindArea(30, 20), nullptr);
    // The right and bottom edges are outside.
    EXPECT_EQ(skin.FindArea(92, 55), nullptr);
    EXPECT_EQ(skin.FindArea(91, 57)->GetID(), areaCorner);
}

TEST_F(SkinAreas, MoveWithTheirCalls)
{
    skin.MoveArea(areaCorner, -4, 2);
    RECT r;
    ASSERT_TRUE(skin.GetAreaRect(areaCorner, &r));
    EXPECT_EQ(r.left, 80);
    EXPECT_EQ(r.bottom, 60);
    skin.MoveAreas(1, 1);
    ASSERT_TRUE(skin.GetAreaRect(areaCentre, &r));
    EXPECT_EQ(r.left, 27);
    EXPECT_EQ(r.top, 15);
    skin.MoveAreas(GetSkinAreas(kindNine), -1, -1);
    ASSERT_TRUE(skin.GetAreaRect(areaCorner, &r));
    EXPECT_EQ(r.left, 80);
    EXPECT_EQ(r.top, 54);
    skin.RemoveAreas(GetSkinAreas(kindNine));
    EXPECT_EQ(skin.FindArea(areaCentre), nullptr);
    EXPECT_EQ(skin.FindArea(areaCorner), nullptr);
    EXPECT_FALSE(skin.GetAreaRect(areaCorner, &r));
}

TEST(SkinAreaTable, AFirstRecordWithIdZeroAddsNothing)
{
    TestSkinMode mode;
    ZnDlgSkin skin;
    skin.AddAreas(GetSkinAreas(kindNineWhole)); // {0, ...}, then an area 1001
    EXPECT_EQ(skin.FindArea(areaCentre), nullptr);
    EXPECT_EQ(skin.FindArea(2, 2), nullptr);
    EXPECT_EQ(skin.FindArea(25, 14), nullptr);
    skin.AddAreas(nullptr);
    EXPECT_EQ(skin.FindArea(areaCentre), nullptr);
}

TEST(SkinAreaPictures, ComeFromTheSkinLibrary)
{
    TestSkinMode mode;
    ZnDlgSkinArea area(&GetSkinAreas(kindNine)[0]);
    EXPECT_EQ(area.GetID(), areaCentre);
    EXPECT_EQ(area.extra[0], 11);
    EXPECT_EQ(area.extra[1], 12);
    EXPECT_EQ(area.rect.right, 30);
    for (int look = ZnDlgSkinArea::lookNormal; look <= ZnDlgSkinArea::lookDisabled; ++look) {
        HBITMAP bmp = area.GetBitmap(static_cast<ZnDlgSkinArea::Look>(look));
        ASSERT_NE(bmp, nullptr) << look;
        std::vector<DWORD> pixels = BitmapPixels(bmp);
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(pixels[0], Canvas::ToPixel(areaColors[look]));
    }
    EXPECT_EQ(area.GetBitmap(ZnDlgSkinArea::lookHidden), nullptr);
    HBITMAP hot = area.GetBitmap(ZnDlgSkinArea::lookHot);
    EXPECT_FALSE(area.SetJPG(ZnDlgSkinArea::lookHot, pictureMissing));
    EXPECT_EQ(area.GetBitmap(ZnDlgSkinArea::lookHot), hot);
    EXPECT_TRUE(area.SetJPG(ZnDlgSkinArea::lookHot, areaPicPressed));
    EXPECT_EQ(GetObjectType(hot), 0u);
}

TEST(SkinAreaPictures, ANewBitmapFreesTheOldOneAndNullIsRefused)
{
    ZnDlgSkinArea area;
    HBITMAP first = SolidBitmap(4, 4, RGB(1, 1, 1));
    HBITMAP second = SolidBitmap(4, 4, RGB(2, 2, 2));
    ASSERT_TRUE(area.SetBitmap(ZnDlgSkinArea::lookPressed, first));
    EXPECT_TRUE(area.SetBitmap(ZnDlgSkinArea::lookPressed, first));
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
    ASSERT_TRUE(area.SetBitmap(ZnDlgSkinArea::lookPressed, second));
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_FALSE(area.SetBitmap(ZnDlgSkinArea::lookPressed, nullptr));
    EXPECT_EQ(area.GetBitmap(ZnDlgSkinArea::lookPressed), second);
    EXPECT_FALSE(area.SetBitmap(ZnDlgSkinArea::lookCount, second));
    area.SetState(areaPressed);
    EXPECT_EQ(area.GetBitmapToDraw(), second);
}

// --- the mouse -----------------------------------------------------------------------------

namespace {

// The nine-colour skin's two areas at their picture places (centre (22, 12)
// to (30, 18), corner (44, 32) to (52, 38)); commands go to a window of
// the test.
class SkinMouse : public testing::Test {
protected:
    void SetUp() override
    {
        skin.AddAreas(GetSkinAreas(kindNine));
        skin.SendCommandsTo(sink);
        centre = skin.FindArea(areaCentre);
        corner = skin.FindArea(areaCorner);
        ASSERT_TRUE(centre && corner);
    }
    void TearDown() override
    {
        skin.SendCommandsTo(nullptr);
        if (GetCapture() == sink.Handle())
            ReleaseCapture();
        MSG msg;
        while (PeekMessageW(&msg, sink, 0, 0, PM_REMOVE)) { }
    }
    void Move(int x, int y, bool button = false) { skin.OnMouseMove(button ? MK_LBUTTON : 0, x, y); }
    void Down(int x, int y) { skin.OnMouseClick(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Up(int x, int y) { skin.OnMouseClick(WM_LBUTTONUP, 0, x, y); }
    // The commands posted so far.
    std::vector<WPARAM> Commands()
    {
        std::vector<WPARAM> ids;
        MSG msg;
        while (PeekMessageW(&msg, sink, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            EXPECT_EQ(msg.lParam, 0);
            ids.push_back(msg.wParam);
        }
        return ids;
    }

    TestSkinMode mode;
    TestWindow sink{TestWindowKind{L"SkinCommandSink"}};
    ProbeSkin skin;
    ZnDlgSkinArea* centre = nullptr;
    ZnDlgSkinArea* corner = nullptr;
};

} // namespace

TEST_F(SkinMouse, TheAreaUnderTheMouseIsHotUntilItLeaves)
{
    Move(25, 14);
    EXPECT_EQ(centre->GetState(), areaHot);
    EXPECT_EQ(skin.MouseArea(), centre);
    Move(26, 15);
    EXPECT_EQ(centre->GetState(), areaHot);
    Move(45, 33);
    EXPECT_EQ(centre->GetState(), areaNormal);
    EXPECT_EQ(corner->GetState(), areaHot);
    Move(-1, -1); // the dialog's word that the mouse left it
    EXPECT_EQ(corner->GetState(), areaNormal);
    EXPECT_EQ(skin.MouseArea(), nullptr);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(SkinMouse, ADisabledOrHiddenAreaKeepsItsState)
{
    skin.EnableArea(areaCentre, 0);
    Move(25, 14);
    EXPECT_EQ(centre->GetState(), areaNormal);
    Move(0, 0);
    skin.ShowArea(areaCorner, 0);
    Move(45, 33);
    EXPECT_EQ(corner->GetState(), areaHidden);
    EXPECT_EQ(skin.MouseArea(), nullptr);
}

TEST_F(SkinMouse, AClickOnAnAreaPostsItsCommand)
{
    Move(25, 14);
    Down(25, 14);
    EXPECT_EQ(centre->GetState(), areaPressed);
    EXPECT_EQ(GetCapture(), sink.Handle());
    Up(25, 14);
    EXPECT_EQ(centre->GetState(), areaHot);
    EXPECT_NE(GetCapture(), sink.Handle());
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(areaCentre, BN_CLICKED)});
    // Without a move first, the button finds the area itself.
    Down(46, 34);
    Up(46, 34);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(areaCorner, BN_CLICKED)});
}

TEST_F(SkinMouse, ReleasingWithoutAPressOnTheAreaSendsNothing)
{
    Move(25, 14);
    Up(25, 14);
    EXPECT_TRUE(Commands().empty());
    // Pressed on one area, released on another.
    Down(25, 14);
    Move(45, 33, true);
    EXPECT_EQ(centre->GetState(), areaNormal);
    EXPECT_EQ(corner->GetState(), areaHot); // not pressed: letting go here does nothing
    Up(45, 33);
    EXPECT_TRUE(Commands().empty());
    // Pressed outside every area, released on one.
    Down(2, 2);
    Move(25, 14, true);
    Up(25, 14);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(SkinMouse, LeavingAndComingBackWithTheButtonDownStillClicks)
{
    Down(25, 14);
    Move(5, 5, true);
    EXPECT_EQ(centre->GetState(), areaNormal);
    Move(24, 13, true);
    EXPECT_EQ(centre->GetState(), areaPressed);
    Up(24, 13);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(areaCentre, BN_CLICKED)});
}

TEST_F(SkinMouse, ReleasingOverADisabledAreaSendsNothing)
{
    Down(25, 14);
    skin.EnableArea(areaCentre, 0);
    Up(25, 14);
    EXPECT_TRUE(Commands().empty());
    EXPECT_NE(GetCapture(), sink.Handle());
    // Disabled before the press: the press does nothing either.
    Down(25, 14);
    EXPECT_EQ(centre->GetState(), areaNormal);
    Up(25, 14);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(SkinMouse, AnAreaHiddenWhilePressedSendsNothing)
{
    Down(25, 14);
    skin.ShowArea(areaCentre, 0);
    Up(25, 14);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(centre->GetState(), areaHidden);
}

TEST_F(SkinMouse, RemovingTheAreaUnderTheMouseForgetsIt)
{
    Move(25, 14);
    Down(25, 14);
    skin.RemoveArea(areaCentre);
    EXPECT_EQ(skin.MouseArea(), nullptr);
    Up(25, 14);
    EXPECT_TRUE(Commands().empty());
}
