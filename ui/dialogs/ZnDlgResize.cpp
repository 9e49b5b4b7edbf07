// ZnDlg: initial placement, resizing and its limits, alignment on the owner.
#include "ui/dialogs/ZnDlg.h"

#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/internal/DlgState.h"
#include "ui/window/WndFunctions.h"

namespace {

SIZE SizeOf(const RECT& rect)
{
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool IsHiddenShow(UINT show)
{
    return show == SW_HIDE || show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE;
}

bool IsMaximizedShow(UINT show)
{
    return show == SW_SHOWMAXIMIZED;
}

} // namespace

LRESULT ZnDlg::OnInitDialog(WPARAM, LPARAM)
{
    if (!childDlg)
        DlgState::SetLastInitialised(hWnd);
    if (skin && skin->metrics)
        skin->SetSkin(skin->metrics);

    if (!placement && !IsFlag(flagResizable)) {
        StoreResizingInfo();
        initialized = 1;
        OnInitDone();
        AlignDlg();
        return 1;
    }

    RECT rect;
    GetWindowRect(hWnd, &rect);
    OnInitRect(rect);
    sizes.minimum = SizeOf(rect);
    sizes.size = sizes.minimum;
    sizes.previous = sizes.minimum;
    sizes.rect = rect;
    const bool keepShown = IsFlag(flagNoHideOnInit);
    if (!keepShown)
        ShowWindow(hWnd, SW_HIDE);

    UINT show = SW_SHOW;
    if (!placement || !placement->IsInitialized()) {
        SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
            SWP_NOZORDER | SWP_NOACTIVATE);
        AlignDlg();
        FillPlacement();
    } else {
        WINDOWPLACEMENT wp = *placement;
        wp.length = sizeof(wp);
        if (IsHiddenShow(wp.showCmd))
            wp.showCmd = SW_SHOWNORMAL;
        wp.flags = 0;
        // A position remembered on a monitor that is no longer there.
        DlgState::BringOntoMonitor(wp.rcNormalPosition);
        show = wp.showCmd;
        // Shown below, once the dialog is ready; with keepShown it shows
        // as remembered right away.
        if (!keepShown)
            wp.showCmd = SW_HIDE;
        SetWindowPlacement(hWnd, &wp);
    }

    GetWindowRect(hWnd, &rect);
    SIZE current = SizeOf(rect);
    if (IsMaximizedShow(show) || IsZoomed(hWnd)) {
        MONITORINFO info = {sizeof(info), {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
        current = SizeOf(info.rcWork);
        current.cx += 2 * DlgState::FrameX();
        current.cy += 2 * DlgState::FrameY();
    }
    sizes.rect = rect;
    sizes.previous = sizes.minimum;
    sizes.size = current;
    if (IsFlag(flagResizable) && (current.cx != sizes.minimum.cx || current.cy != sizes.minimum.cy))
        OnResize(current.cx - sizes.minimum.cx, current.cy - sizes.minimum.cy);

    initialized = 1;
    OnInitDone();
    if (!keepShown && !IsFlag(flagCreateHidden))
        ShowWindow(hWnd, static_cast<int>(show));
    return 1;
}

void ZnDlg::OnInitRect(RECT&)
{
}

void ZnDlg::OnResize(int, int)
{
}

void ZnDlg::OnWindowPosChanging(WINDOWPOS* pos)
{
    if (!pos || (pos->flags & SWP_NOSIZE) || !(flags & flagResizable) || sizes.minimum.cx <= 0)
        return;
    if (pos->cx < sizes.minimum.cx || IsFlag(flagFixWidth) || !(flags & flagResizeX))
        pos->cx = sizes.minimum.cx;
    if (pos->cy < sizes.minimum.cy || IsFlag(flagFixHeight) || !(flags & flagResizeY))
        pos->cy = sizes.minimum.cy;
}

void ZnDlg::OnWindowPosChanged(WINDOWPOS* pos)
{
    if (!initialized || !pos)
        return;
    if (pos->flags & SWP_NOSIZE) {
        GetWindowRect(hWnd, &sizes.rect);
        return;
    }
    Resize();
}

void ZnDlg::EnableResizing(unsigned long resizeFlags, MyWindowPlacement* record)
{
    SetFlags(resizeFlags, 1);
    placement = record;
    // Asked for after the dialog is up: its size now is the minimum.
    if (initialized && hWnd && sizes.minimum.cx <= 0) {
        StoreResizingInfo();
        sizes.minimum = sizes.size;
    }
    if (hWnd)
        InvalidateRect(hWnd, nullptr, TRUE);
}

void ZnDlg::DisableResizing()
{
    SetFlags(flagResizable | flagResizeAllBorders, 0);
    if (hWnd)
        InvalidateRect(hWnd, nullptr, TRUE);
}

void ZnDlg::StoreResizingInfo()
{
    if (!hWnd)
        return;
    GetWindowRect(hWnd, &sizes.rect);
    sizes.size = SizeOf(sizes.rect);
    sizes.previous = sizes.size;
}

void ZnDlg::Resize()
{
    if (!hWnd)
        return;
    RECT rect;
    GetWindowRect(hWnd, &rect);
    SIZE now = SizeOf(rect);
    sizes.rect = rect;
    int dx = now.cx - sizes.size.cx;
    int dy = now.cy - sizes.size.cy;
    if (!dx && !dy)
        return;
    sizes.previous = sizes.size;
    sizes.size = now;
    OnResize(dx, dy);
    // The grip moved with the corner; the whole body is repainted, since
    // OnResize may have moved any control.
    if (IsFlag(flagResizable) && !IsFlag(flagNoGrip))
        InvalidateRect(hWnd, nullptr, TRUE);
}

void ZnDlg::AlignDlg()
{
    if (!hWnd || alignment == alignNone || (GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
        return;
    HWND owner = GetWindow(hWnd, GW_OWNER);
    if (owner && IsIconic(owner))
        owner = nullptr;
    switch (alignment) {
    case alignCenter:
        CenterWindow(owner);
        break;
    case alignCascade:
        CascadeWindow(owner);
        break;
    case alignMouse:
        if (!MoveWindowToMouse(hWnd))
            CenterWindow(owner);
        break;
    default:
        break;
    }
}

void ZnDlg::CenterWindow(HWND reference)
{
    ::CenterWindow(hWnd, reference);
}

void ZnDlg::CascadeWindow(HWND reference)
{
    ::CascadeWindow(hWnd, reference);
}
