#include "common/DrawProbe.h"

void ComposeClientArea(HWND dialog, Canvas& canvas)
{
    SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
    HWND last = GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDLAST);
    for (HWND child = last; child; child = GetWindow(child, GW_HWNDPREV)) {
        if (!IsWindowVisible(child))
            continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        Canvas piece(r.right - r.left, r.bottom - r.top, GetSysColor(COLOR_BTNFACE));
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(piece.dc),
            PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        BitBlt(canvas.dc, r.left, r.top, piece.cx, piece.cy, piece.dc, 0, 0, SRCCOPY);
    }
}
