#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"

namespace {

// How many pixels of the rectangle differ from colour.
int CountOther(const Canvas& canvas, const RECT& rect, COLORREF colour)
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            count += canvas.At(x, y) != colour;
    return count;
}

// The dialog's client area as PrintWindow leaves it in a memory DC.
void PrintWhole(HWND dialog, Canvas& canvas)
{
    PrintWindow(dialog, canvas.dc, PW_CLIENTONLY);
}

struct Picture {
    int cx;
    int cy;
};

Picture ClientSize(HWND h)
{
    RECT c;
    GetClientRect(h, &c);
    return {c.right, c.bottom};
}

RECT ItemRect(HWND dialog, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Its controls follow the size: the edit grows, the buttons keep to the
// bottom right corner.
class FollowingDlg : public ZnDlg {
public:
    void OnResize(int dx, int dy) override
    {
        ResizeCtrl(IDC_EDIT, dx, dy);
        MoveCtrl(IDOK, dx, dy);
        MoveCtrl(IDCANCEL, dx, dy);
    }
};

} // namespace

TEST(DlgPictures, PlainDialog)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    SetDlgItemTextW(h, IDC_EDIT, L"Some text");
    Picture size = ClientSize(h);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    Canvas whole(size.cx, size.cy, RGB(255, 0, 255));
    PrintWhole(h, whole);
    SavePng(L"dlg-plain-printwindow", whole.Pixels().data(), size.cx, size.cy);

    Canvas composed(size.cx, size.cy, RGB(255, 0, 255));
    ComposeClientArea(h, composed);
    SavePng(L"dlg-plain", composed.Pixels().data(), size.cx, size.cy);

    // The body is the face colour; the OK button shows more than its face.
    EXPECT_EQ(composed.At(2, 2), face);
    RECT ok = ItemRect(h, IDOK);
    EXPECT_GT(CountOther(composed, ok, face), 20);
    // No grip on a dialog that is not resizable.
    RECT corner = {size.cx - 12, size.cy - 12, size.cx, size.cy};
    EXPECT_EQ(CountOther(composed, corner, face), 0);
    DestroyWindow(h);
}

TEST(DlgPictures, ResizableDialogAtTwoSizes)
{
    FollowingDlg dlg;
    dlg.EnableResizing(ZnDlg::flagResizable);
    HWND h = dlg.Modeless(IDD_RESIZABLE, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT okAtStart = ItemRect(h, IDOK);
    for (int step = 0; step < 2; ++step) {
        if (step == 1) {
            RECT w;
            GetWindowRect(h, &w);
            SetWindowPos(h, nullptr, 0, 0, w.right - w.left + 120, w.bottom - w.top + 80,
                SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Picture size = ClientSize(h);
        Canvas canvas(size.cx, size.cy, RGB(255, 0, 255));
        ComposeClientArea(h, canvas);
        SavePng(step ? L"dlg-resizable-larger" : L"dlg-resizable", canvas.Pixels().data(), size.cx, size.cy);
        // The grip stands in the corner of each size.
        RECT corner = {size.cx - 12, size.cy - 12, size.cx, size.cy};
        EXPECT_GT(CountOther(canvas, corner, face), 4) << "size " << step;
        RECT body = {2, size.cy - 14, 20, size.cy - 2};
        EXPECT_EQ(CountOther(canvas, body, face), 0) << "size " << step;
        RECT ok = ItemRect(h, IDOK);
        EXPECT_EQ(ok.left - okAtStart.left, step ? 120 : 0);
        EXPECT_GT(CountOther(canvas, ok, face), 20) << "size " << step;
    }
    // Without a grip the corner is plain.
    dlg.SetFlags(ZnDlg::flagNoGrip, 1);
    Picture size = ClientSize(h);
    Canvas plain(size.cx, size.cy, RGB(255, 0, 255));
    ComposeClientArea(h, plain);
    RECT corner = {size.cx - 12, size.cy - 12, size.cx, size.cy};
    EXPECT_EQ(CountOther(plain, corner, face), 0);
    DestroyWindow(h);
}
