// Every GDI object a drawing helper makes for itself is deleted before it
// returns; what it hands out is alive and the caller's. The library's own
// calls are watched through its import table.
#include <gtest/gtest.h>

#include <vector>

#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/ImportHook.h"

namespace {

// Records the objects the library creates while alive.
class CreatedObjects {
public:
    CreatedObjects()
        : brushes("gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&Brush)),
          pens("gdi32.dll", "CreatePen", reinterpret_cast<void*>(&Pen)),
          dibs("gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(&Dib)),
          bitmaps("gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&Bitmap)),
          memoryDCs("gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&MemoryDC))
    {
        made.clear();
        self = this;
    }
    ~CreatedObjects() { self = nullptr; }

    // How many were made, and how many of them still exist.
    size_t Made() const { return made.size(); }
    size_t Alive() const
    {
        size_t alive = 0;
        for (HGDIOBJ object : made)
            alive += GetObjectType(object) != 0;
        return alive;
    }
    bool Made(HGDIOBJ object) const
    {
        for (HGDIOBJ m : made)
            if (m == object)
                return true;
        return false;
    }

    ImportHook brushes;
    ImportHook pens;
    ImportHook dibs;
    ImportHook bitmaps;
    ImportHook memoryDCs;

private:
    template <typename H>
    static H Keep(H made)
    {
        if (made)
            CreatedObjects::made.push_back(made);
        return made;
    }
    static HBRUSH WINAPI Brush(COLORREF c)
    {
        return Keep(self->brushes.Original<HBRUSH(WINAPI*)(COLORREF)>()(c));
    }
    static HPEN WINAPI Pen(int style, int width, COLORREF c)
    {
        return Keep(self->pens.Original<HPEN(WINAPI*)(int, int, COLORREF)>()(style, width, c));
    }
    static HBITMAP WINAPI Dib(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
    {
        typedef HBITMAP(WINAPI * Fn)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
        return Keep(self->dibs.Original<Fn>()(dc, info, usage, bits, section, offset));
    }
    static HBITMAP WINAPI Bitmap(HDC dc, int cx, int cy)
    {
        return Keep(self->bitmaps.Original<HBITMAP(WINAPI*)(HDC, int, int)>()(dc, cx, cy));
    }
    static HDC WINAPI MemoryDC(HDC dc)
    {
        return Keep(self->memoryDCs.Original<HDC(WINAPI*)(HDC)>()(dc));
    }

    static inline std::vector<HGDIOBJ> made;
    static inline CreatedObjects* self = nullptr;
};

} // namespace

TEST(GdiOwnership, PaintRectDeletesItsBrush)
{
    Canvas canvas(8, 8);
    CreatedObjects objects;
    ASSERT_TRUE(objects.brushes.Hooked());
    EXPECT_TRUE(PaintRect(canvas.dc, 1, 1, 3, 3, RGB(1, 2, 3)));
    EXPECT_EQ(objects.Made(), 1u);
    EXPECT_EQ(objects.Alive(), 0u);
}

TEST(GdiOwnership, DrawRectDeletesItsPenAndGivesTheDCItsOwnBack)
{
    Canvas canvas(8, 8);
    HGDIOBJ before = GetCurrentObject(canvas.dc, OBJ_PEN);
    CreatedObjects objects;
    ASSERT_TRUE(objects.pens.Hooked());
    EXPECT_TRUE(DrawRect(canvas.dc, 1, 1, 5, 5, RGB(255, 0, 0), PS_SOLID));
    EXPECT_EQ(objects.Made(), 1u);
    EXPECT_EQ(objects.Alive(), 0u);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), before);
}

TEST(GdiOwnership, TurningHelpersDeleteTheirSectionsAndDCs)
{
    Canvas source(6, 4, RGB(0, 0, 255));
    Canvas target(6, 6);
    CreatedObjects objects;
    ASSERT_TRUE(objects.dibs.Hooked() && objects.memoryDCs.Hooked());
    RECT quarter = {0, 0, 4, 6};
    EXPECT_TRUE(RotateMemoryDC(target.dc, &quarter, source.dc, 1));
    RECT half = {0, 0, 6, 4};
    EXPECT_TRUE(TwistMemoryDC(target.dc, &half, source.dc));
    EXPECT_GE(objects.Made(), 4u);
    EXPECT_EQ(objects.Alive(), 0u);
}

TEST(GdiOwnership, RefusedTurnsLeaveNothingBehind)
{
    Canvas source(4, 4);
    Canvas target(4, 4);
    CreatedObjects objects;
    RECT empty = {0, 0, 0, 0};
    EXPECT_FALSE(RotateMemoryDC(target.dc, &empty, source.dc, 0));
    EXPECT_FALSE(TwistMemoryDC(target.dc, &empty, source.dc));
    EXPECT_EQ(objects.Alive(), 0u);
}

TEST(GdiOwnership, GetDibBitsKeepsOnlyThePixelArray)
{
    Canvas source(3, 2, RGB(9, 8, 7));
    CreatedObjects objects;
    DWORD* pixels = GetDibBits(source.dc, 3, 2);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[5], Canvas::ToPixel(RGB(9, 8, 7)));
    FreeDllBuf(pixels);
    EXPECT_GE(objects.Made(), 2u);
    EXPECT_EQ(objects.Alive(), 0u);
}

TEST(GdiOwnership, MadeBitmapsAreHandedOutAliveAndTheirDCsAreDeleted)
{
    CreatedObjects objects;
    ASSERT_TRUE(objects.bitmaps.Hooked());
    HBITMAP text = MakeTextBitmap(20, 10, L"Ab", nullptr, RGB(0, 0, 0), RGB(255, 255, 255));
    HBITMAP shaded = MakeShadedBitmap(10, 10, RGB(200, 100, 50), 0, 4);
    HBITMAP screen = MakeScreenBitmap(0, 0, 4, 4);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(shaded, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(objects.Made(text) && objects.Made(shaded) && objects.Made(screen));
    // The three bitmaps, and no memory DC, outlive the calls.
    EXPECT_EQ(objects.Alive(), 3u);
    HBITMAP copy = CopyBitmap(text);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(objects.Alive(), 4u);
    for (HBITMAP bmp : {text, shaded, screen, copy}) {
        // Not selected into any DC the helpers kept: deleting works.
        EXPECT_TRUE(DeleteObject(bmp));
    }
    EXPECT_EQ(objects.Alive(), 0u);
}

TEST(GdiOwnership, GetTextSizeForWindowDeletesItsMemoryDC)
{
    HWND edit = CreateWindowExW(0, L"STATIC", L"x", 0, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    CreatedObjects objects;
    ASSERT_TRUE(objects.memoryDCs.Hooked());
    SIZE size = {};
    EXPECT_TRUE(GetTextSizeForWindow(edit, L"Hello", &size));
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    EXPECT_EQ(objects.Made(), 1u);
    EXPECT_EQ(objects.Alive(), 0u);
    DestroyWindow(edit);
}
