#include <gtest/gtest.h>

#include "PVDLL.h"
#include "common/TestWindow.h"

namespace {

bool IsDeleted(HDC dc)
{
    return GetObjectType(dc) == 0;
}

// Selects a pen of its own into the holder's DC, as drawing code does,
// and returns it; the caller deletes it.
HPEN SelectPenInto(HDC dc)
{
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    SelectObject(dc, pen);
    return pen;
}

TEST(DrawingDC, SavingHolderRestoresButNeverDeletesTheCallersDC)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);
    HPEN pen;
    {
        ZnDC holder(dc, 1);
        EXPECT_EQ(holder.Handle(), dc);
        pen = SelectPenInto(holder);
        SetMapMode(holder, MM_LOMETRIC);
    }
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), penBefore);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), 0u);
    DeleteDC(dc);
}

TEST(DrawingDC, PlainHolderLeavesTheCallersDCAsItIs)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);
    HPEN pen;
    {
        ZnDC holder(dc, 0);
        pen = SelectPenInto(holder);
    }
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    SelectObject(dc, penBefore);
    DeleteObject(pen);
    DeleteDC(dc);
}

TEST(DrawingDC, DisplayStandInsAreDeleted)
{
    HDC seen[3] = {};
    {
        ZnDC display;
        ZnDC fromNull(nullptr, 1);
        CompatibleDC memory(nullptr);
        seen[0] = display;
        seen[1] = fromNull;
        seen[2] = memory;
        for (HDC dc : seen)
            EXPECT_NE(GetObjectType(dc), 0u);
        EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
        // A pen left selected must not keep the DC or the pen alive.
        HPEN pen = SelectPenInto(memory);
        DeleteObject(pen);
    }
    for (HDC dc : seen)
        EXPECT_TRUE(IsDeleted(dc));
}

TEST(DrawingDC, CompatibleDCGivesBackTheBitmapBeforeItGoes)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    HDC seen;
    {
        CompatibleDC memory(nullptr);
        seen = memory;
        SelectObject(memory, bmp);
    }
    EXPECT_TRUE(IsDeleted(seen));
    // Still selected anywhere, the bitmap could not go into another DC.
    HDC other = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(other, bmp);
    EXPECT_NE(old, nullptr);
    SelectObject(other, old);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_EQ(GetObjectType(bmp), 0u);
}

// A window with a DC of its own, so the state of its DC can be looked at
// after the holder has given it back.
class OwnDCWindow : public TestWindow {
public:
    OwnDCWindow()
        : TestWindow({.className = L"PVDLLDrawingOwnDC", .classStyle = CS_OWNDC, .style = WS_POPUP, .cx = 50, .cy = 40}),
          wnd(Handle())
    {
    }

    HWND wnd;
};

template <typename Holder>
void CheckWindowHolderRestores(HWND wnd)
{
    HDC own = GetDC(wnd);
    HGDIOBJ penBefore = GetCurrentObject(own, OBJ_PEN);
    ReleaseDC(wnd, own);
    HPEN pen;
    HDC seen;
    {
        Holder holder(wnd);
        seen = holder;
        ASSERT_NE(seen, nullptr);
        pen = SelectPenInto(holder);
        SetTextColor(holder, RGB(9, 8, 7));
    }
    HDC again = GetDC(wnd);
    EXPECT_EQ(GetCurrentObject(again, OBJ_PEN), penBefore);
    EXPECT_NE(GetTextColor(again), RGB(9, 8, 7));
    ReleaseDC(wnd, again);
    // The window's DC lives on; only the pen is gone.
    EXPECT_NE(GetObjectType(seen), 0u);
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(DrawingDC, ClientDCRestoresTheWindowsDC)
{
    OwnDCWindow window;
    ASSERT_NE(window.wnd, nullptr);
    CheckWindowHolderRestores<ClientDC>(window.wnd);
}

TEST(DrawingDC, DCWindowRestoresTheWindowsDC)
{
    OwnDCWindow window;
    ASSERT_NE(window.wnd, nullptr);
    CheckWindowHolderRestores<DCWindow>(window.wnd);
}

TEST(DrawingDC, WindowHoldersWithoutAWindowDeleteTheirStandIn)
{
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    HDC seen[2] = {};
    {
        ClientDC client(gone);
        DCWindow whole(gone);
        seen[0] = client;
        seen[1] = whole;
        EXPECT_NE(GetObjectType(seen[0]), 0u);
        EXPECT_NE(GetObjectType(seen[1]), 0u);
        SetPixel(client, 0, 0, RGB(1, 1, 1));
    }
    EXPECT_TRUE(IsDeleted(seen[0]));
    EXPECT_TRUE(IsDeleted(seen[1]));
}

} // namespace
