// What the skin tests share: the test skin library, skin mode for a scope,
// the expected pixels of its pictures and a skin that lets a test see
// inside.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"
#include "ui/dialogs/skin/TestSkin.h"

// The full path of a library beside the test executable.
inline std::wstring BesideTests(const wchar_t* name)
{
    return ModuleFolder() + L"\\" + name;
}

inline std::wstring TestSkinPath()
{
    return BesideTests(L"pvtestskin.dll");
}

// Skin mode with the test skin library, for one scope.
class TestSkinMode {
public:
    TestSkinMode() { EnableSkinMode(TestSkinPath().c_str()); }
    ~TestSkinMode() { EnableSkinMode(nullptr); }
    TestSkinMode(const TestSkinMode&) = delete;
    TestSkinMode& operator=(const TestSkinMode&) = delete;
};

// The colour of pictureNine at (x, y).
inline COLORREF NineAt(int x, int y)
{
    if (x < 4 && y < 4)
        return TestSkin::colorKey;
    int column = x < 20 ? 0 : (x < 40 ? 1 : 2);
    int row = y < 10 ? 0 : (y < 30 ? 1 : 2);
    return TestSkin::nineColors[row][column];
}

// The colour at (x, y) of pictureNine stretched to cx x cy by nine-slice
// scaling with the stretch rectangle {20, 10, 40, 30} (any cx >= 60, cy
// >= 40): every region is one colour, so only its edges matter.
inline COLORREF NineStretchedAt(int x, int y, int cx, int cy)
{
    int px = x < 20 ? x : (x < cx - 20 ? 20 + (x - 20) * 20 / (cx - 40) : x - (cx - 60));
    int py = y < 10 ? y : (y < cy - 10 ? 10 + (y - 10) * 20 / (cy - 20) : y - (cy - 40));
    return NineAt(px, py);
}

// How many pixels of canvas differ from expected(x, y); the first one is
// described in where.
template <typename Expected>
int CountDifferences(const Canvas& canvas, Expected expected, std::string* where = nullptr)
{
    int wrong = 0;
    for (int y = 0; y < canvas.cy; ++y) {
        for (int x = 0; x < canvas.cx; ++x) {
            COLORREF want = expected(x, y);
            COLORREF got = canvas.At(x, y);
            if (want == got)
                continue;
            if (!wrong++ && where) {
                char text[96];
                wsprintfA(text, "(%d, %d): %06lX instead of %06lX", x, y, got, want);
                *where = text;
            }
        }
    }
    return wrong;
}

inline int ChannelDistance(COLORREF a, COLORREF b)
{
    int d = 0;
    d = std::max(d, abs(GetRValue(a) - GetRValue(b)));
    d = std::max(d, abs(GetGValue(a) - GetGValue(b)));
    d = std::max(d, abs(GetBValue(a) - GetBValue(b)));
    return d;
}

// A skin whose inside a test may look at and steer: the window its
// commands go to, and how often it was told of a new size.
class ProbeSkin : public ZnDlgSkin {
public:
    explicit ProbeSkin(SKIN_METRICS* metrics = nullptr) : ZnDlgSkin(metrics) { }

    // Commands and captures go to wnd, as they would to a dialog's window.
    void SendCommandsTo(HWND wnd) { dlgWnd = wnd; }
    void OnResize(int dx, int dy) override
    {
        ++resizes;
        lastResize = {dx, dy};
    }
    void OnSetSkin(HDC dc, int cx, int cy) override
    {
        setSkinSize = {cx, cy};
        setSkinDC = dc;
    }
    SIZE StretchedSize() const { return stretchedSize; }
    HBITMAP Picture() const { return picture.Get(); }
    ZnDlgSkinArea* MouseArea() const { return mouseArea; }

    int resizes = 0;
    SIZE lastResize = {};
    SIZE setSkinSize = {};
    HDC setSkinDC = nullptr;
};

// A bitmap of one colour.
inline HBITMAP SolidBitmap(int cx, int cy, COLORREF c)
{
    BITMAPINFO info = TopDown32(cx, cy);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; bmp && i < cx * cy; ++i)
        static_cast<DWORD*>(bits)[i] = Canvas::ToPixel(c);
    return bmp;
}
