#include <gtest/gtest.h>

#include "PVDLL.h"

namespace {

// Every case leaves the platform's values in force again.
class DrawingDpi : public testing::Test {
protected:
    void TearDown() override
    {
        CDPI::SetTestDPI(0, 0);
        CDPI::SetTestScaleFactor(0);
    }
};

TEST_F(DrawingDpi, TableOfCommonSettings)
{
    const struct {
        int dpi;
        int custom, skin, sysIcon, bigIcon, scaled100, unscaled150;
    } cases[] = {
        {96, 0, 0, 16, 48, 100, 150},  {110, 1, 1, 16, 48, 115, 131}, {120, 1, 0, 24, 48, 125, 120},
        {144, 1, 0, 24, 64, 150, 100}, {192, 1, 0, 32, 64, 200, 75},
    };
    for (const auto& c : cases) {
        CDPI::SetTestDPI(c.dpi, c.dpi);
        for (CDPI* dpi : {PCDPI(), new CDPI}) {
            EXPECT_EQ(dpi->GetDPIX(), c.dpi);
            EXPECT_EQ(dpi->GetDPIY(), c.dpi);
            EXPECT_EQ(dpi->IsCustom() != 0, c.custom != 0) << c.dpi;
            EXPECT_EQ(dpi->ShouldAdjustForSkin() != 0, c.skin != 0) << c.dpi;
            EXPECT_EQ(dpi->GetAdjustedSysIconSize(), c.sysIcon) << c.dpi;
            EXPECT_EQ(dpi->GetAdjustedIconSize48_64(), c.bigIcon) << c.dpi;
            EXPECT_EQ(dpi->ScaleX(100), c.scaled100) << c.dpi;
            EXPECT_EQ(dpi->ScaleY(100), c.scaled100) << c.dpi;
            EXPECT_EQ(dpi->UnscaleX(150), c.unscaled150) << c.dpi;
            EXPECT_EQ(dpi->PointsToPixels(9), MulDiv(9, c.dpi, 72)) << c.dpi;
            if (dpi != PCDPI())
                delete dpi;
        }
    }
}

TEST_F(DrawingDpi, AxesScaleSeparately)
{
    CDPI::SetTestDPI(120, 144);
    CDPI dpi;
    RECT rect = {8, 8, 96, 96};
    dpi.ScaleRect(&rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 12);
    EXPECT_EQ(rect.right, 120);
    EXPECT_EQ(rect.bottom, 144);
    SIZE size = {40, 40};
    dpi.ScaleSize(&size);
    EXPECT_EQ(size.cx, 50);
    EXPECT_EQ(size.cy, 60);
    EXPECT_EQ(dpi.UnscaleY(144), 96);
}

TEST_F(DrawingDpi, ValuesStayUntilInvalidated)
{
    CDPI::SetTestDPI(120, 120);
    CDPI dpi;
    // The point conversions do not look anything up.
    EXPECT_EQ(dpi.PointsToPixels(72), 96);
    EXPECT_EQ(dpi.GetDPIX(), 120);
    EXPECT_EQ(dpi.PixelsToPoints(120), 72);
    CDPI::SetTestDPI(144, 144);
    EXPECT_EQ(dpi.GetDPIX(), 120);
    dpi.Invalidate();
    EXPECT_EQ(dpi.GetDPIX(), 144);
    // The process-wide instance follows every change.
    EXPECT_EQ(PCDPI()->GetDPIX(), 144);
    CDPI::SetTestDPI(192, 192);
    EXPECT_EQ(PCDPI()->GetDPIX(), 192);
}

TEST_F(DrawingDpi, WithoutOverrideThePlatformAnswers)
{
    HDC screen = GetDC(nullptr);
    int logPixels = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    CDPI dpi;
    EXPECT_EQ(dpi.GetDPIX(), logPixels);
    EXPECT_EQ(CDPI::GetTrueDPIForWindow(nullptr), 96u);
}

TEST_F(DrawingDpi, TrueDpiFollowsTheMonitorScaleFactor)
{
    const struct {
        int percent;
        UINT dpi;
    } cases[] = {{100, 96}, {125, 120}, {150, 144}, {200, 192}};
    for (const auto& c : cases) {
        CDPI::SetTestScaleFactor(c.percent);
        EXPECT_EQ(CDPI::GetTrueDPIForWindow(nullptr), c.dpi) << c.percent;
    }
}

TEST_F(DrawingDpi, TextSizeOnAScaledMonitorNeverGrows)
{
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW lf = {};
    lf.lfHeight = -24;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    const wchar_t text[] = L"Programs and Settings";
    SIZE plain = {}, measured = {};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, text, lstrlenW(text), &plain));

    ASSERT_TRUE(MyGetTextSize(nullptr, dc, text, lstrlenW(text), &measured));
    EXPECT_EQ(measured.cx, plain.cx);
    EXPECT_EQ(measured.cy, plain.cy);

    CDPI::SetTestScaleFactor(150);
    ASSERT_TRUE(MyGetTextSize(nullptr, dc, text, lstrlenW(text), &measured));
    EXPECT_GT(measured.cx, 0);
    EXPECT_LE(measured.cx, plain.cx);
    // The caller's font is still selected, and still the caller's.
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(font));
    DeleteDC(dc);
}

} // namespace
