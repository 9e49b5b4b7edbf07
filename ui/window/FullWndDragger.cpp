#include "ui/window/FullWndDragger.h"

#include <windowsx.h>

int FullWndDragger::IsOverArea(ZnWnd*, POINT)
{
    return 0;
}

int FullWndDragger::ShowsArrowOverCaption(ZnWnd* wnd)
{
    return wnd->IsDlg();
}

HCURSOR FullWndDragger::Arrow()
{
    if (!arrowCursor)
        arrowCursor = LoadCursorW(nullptr, IDC_ARROW);
    return arrowCursor;
}

HCURSOR FullWndDragger::Hand()
{
    if (!handCursor)
        handCursor = LoadCursorW(nullptr, IDC_HAND);
    return handCursor;
}

int FullWndDragger::OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_NCHITTEST: {
        overArea = 0;
        hitTested = 1;
        *result = wnd->DoWndMessage(msg, wParam, lParam, this);
        if (*result == HTCLIENT) {
            POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(wnd->hWnd, &point);
            if (IsOverArea(wnd, point))
                overArea = 1;
            else if (!IsZoomed(wnd->hWnd))
                *result = HTCAPTION;
        }
        return 1;
    }
    case WM_SETCURSOR: {
        int tested = hitTested;
        hitTested = 0;
        if (IsZoomed(wnd->hWnd))
            return 0;
        UINT code = LOWORD(lParam);
        if (code == HTCAPTION && ShowsArrowOverCaption(wnd)) {
            SetCursor(Arrow());
            *result = 1;
            return 1;
        }
        if (!overArea || code != HTCLIENT)
            return 0;
        if (!tested) {
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(wnd->hWnd, &point);
            if (!IsOverArea(wnd, point))
                return 0;
        }
        SetCursor(Hand());
        *result = 1;
        return 1;
    }
    case WM_INITMENUPOPUP:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return 0;
    case WM_UNINITMENUPOPUP:
        overArea = 0;
        return 0;
    default:
        return 0;
    }
}
