#include "ui/window/WndFunctions.h"

#include "base/ProductInfo.h"
#include "storage/RegKey.h"
#include "base/StrFormat.h"
#include "ui/window/ZnDC.h"

// --- styles ------------------------------------------------------------------------

DWORD GetWndStyle(HWND h, int extended)
{
    return static_cast<DWORD>(GetWindowLongPtrW(h, extended ? GWL_EXSTYLE : GWL_STYLE));
}

DWORD SetWndStyle(HWND h, DWORD style, int extended)
{
    return static_cast<DWORD>(SetWindowLongPtrW(h, extended ? GWL_EXSTYLE : GWL_STYLE, style));
}

DWORD ModifyWndStyle(HWND h, DWORD remove, DWORD add, int extended)
{
    return SetWndStyle(h, (GetWndStyle(h, extended) & ~remove) | add, extended);
}

void ModifyStyle(HWND h, DWORD remove, DWORD add, DWORD removeEx, DWORD addEx)
{
    if (remove || add)
        ModifyWndStyle(h, remove, add, 0);
    if (removeEx || addEx)
        ModifyWndStyle(h, removeEx, addEx, 1);
}

// --- positions ---------------------------------------------------------------------

BOOL SetWndZOrder(HWND h, HWND insertAfter, UINT flags)
{
    flags = (flags & ~SWP_NOZORDER) | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    return SetWindowPos(h, insertAfter, 0, 0, 0, 0, flags);
}

BOOL SetWndSize(HWND h, int cx, int cy, UINT flags)
{
    flags = (flags & ~SWP_NOSIZE) | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    return SetWindowPos(h, nullptr, 0, 0, cx, cy, flags);
}

BOOL SetWndOrigin(HWND h, int x, int y, UINT flags)
{
    flags = (flags & ~SWP_NOMOVE) | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    return SetWindowPos(h, nullptr, x, y, 0, 0, flags);
}

BOOL SetWndPos(HWND h, int x, int y, int cx, int cy, UINT flags)
{
    flags = (flags & ~(SWP_NOSIZE | SWP_NOMOVE)) | SWP_NOZORDER | SWP_NOACTIVATE;
    return SetWindowPos(h, nullptr, x, y, cx, cy, flags);
}

BOOL SetWndPos(HWND h, const RECT* rect, UINT flags)
{
    return SetWndPos(h, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, flags);
}

BOOL SetWndShow(HWND h, BOOL show, UINT flags)
{
    flags |= (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    return SetWindowPos(h, nullptr, 0, 0, 0, 0, flags);
}

BOOL OffsetWnd(HWND h, int dx, int dy)
{
    RECT rect;
    if (!GetWindowRect(h, &rect))
        return FALSE;
    POINT origin = {rect.left + dx, rect.top + dy};
    if (HWND parent = GetParent(h); parent && (GetWndStyle(h, 0) & WS_CHILD))
        ScreenToClient(parent, &origin);
    return SetWndOrigin(h, origin.x, origin.y, 0);
}

BOOL ResizeWnd(HWND h, int dcx, int dcy)
{
    RECT rect;
    if (!GetWindowRect(h, &rect))
        return FALSE;
    return SetWndSize(h, rect.right - rect.left + dcx, rect.bottom - rect.top + dcy, 0);
}

BOOL SimulateButton(HWND dlg, int id)
{
    return PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

// The window's font is chosen into a memory DC of our own, so the window's
// DC is left as it was.
BOOL GetTextSizeForWindow(HWND h, const wchar_t* text, SIZE* size)
{
    ClientDC windowDC(h);
    CompatibleDC dc(windowDC);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    return GetTextExtentPoint32W(dc, text, lstrlenW(text), size);
}

// --- input -------------------------------------------------------------------------

int IsKeyPressed(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

int IsKeyToggled(int vk)
{
    return (GetKeyState(vk) & 1) != 0;
}

int IsMouseButtonPressed(int vk)
{
    if (GetSystemMetrics(SM_SWAPBUTTON)) {
        if (vk == VK_LBUTTON)
            vk = VK_RBUTTON;
        else if (vk == VK_RBUTTON)
            vk = VK_LBUTTON;
    }
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

// --- lookups -----------------------------------------------------------------------

namespace {

bool NameMatches(int length, const wchar_t* actual, const wchar_t* wanted)
{
    return !wanted || (length > 0 && lstrcmpiW(actual, wanted) == 0);
}

bool WindowMatches(HWND h, const wchar_t* className, const wchar_t* windowName)
{
    wchar_t text[256];
    if (className && !NameMatches(GetClassNameW(h, text, 256), text, className))
        return false;
    if (windowName && !NameMatches(GetWindowTextW(h, text, 256), text, windowName))
        return false;
    return true;
}

struct ChildSearch {
    const wchar_t* className;
    const wchar_t* windowName;
    int remaining;
    HWND found;
};

BOOL CALLBACK VisitChild(HWND h, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (!WindowMatches(h, search->className, search->windowName))
        return TRUE;
    if (search->remaining-- > 0)
        return TRUE;
    search->found = h;
    return FALSE;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className)
{
    return FindWindowExW(parent, nullptr, className, nullptr);
}

} // namespace

HWND FindChildWnd(HWND parent, const wchar_t* className, const wchar_t* windowName, int index)
{
    if (index < 0)
        return nullptr;
    ChildSearch search = {className, windowName, index, nullptr};
    EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int IsWndClass(HWND h, const wchar_t* name)
{
    wchar_t text[256];
    return h && IsWindow(h) && name && NameMatches(GetClassNameW(h, text, 256), text, name);
}

int IsWndName(HWND h, const wchar_t* name)
{
    wchar_t text[256];
    return h && IsWindow(h) && name && NameMatches(GetWindowTextW(h, text, 256), text, name);
}

int FindDesktopShellWnd(HWND* defView, HWND* listView)
{
    HWND start = FindWindowW(L"Progman", nullptr);
    if (!start)
        start = GetWindow(GetWindow(GetDesktopWindow(), GW_CHILD), GW_HWNDLAST);
    for (HWND h = start; h; h = GetWindow(h, GW_HWNDPREV)) {
        HWND view = FindChildOfClass(h, L"SHELLDLL_DefView");
        if (defView)
            *defView = view;
        HWND list = view ? FindChildOfClass(view, L"SysListView32") : nullptr;
        if (view && list) {
            if (listView)
                *listView = list;
            return 1;
        }
    }
    return 0;
}

BOOL CatchMouseOut(HWND h)
{
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, h, 100};
    return TrackMouseEvent(&tme);
}

// --- monitors ----------------------------------------------------------------------

namespace {

RECT MonitorRect(HMONITOR monitor)
{
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    GetMonitorInfoW(monitor, &info);
    return info.rcMonitor;
}

// Moves rect, without resizing it, to lie inside bound; a rectangle larger
// than the bound ends at its right (bottom) edge.
void Clamp(RECT& rect, const RECT& bound)
{
    int dx = 0;
    int dy = 0;
    if (rect.left < bound.left)
        dx = bound.left - rect.left;
    else if (rect.right > bound.right)
        dx = bound.right - rect.right;
    if (rect.top < bound.top)
        dy = bound.top - rect.top;
    else if (rect.bottom > bound.bottom)
        dy = bound.bottom - rect.bottom;
    OffsetRect(&rect, dx, dy);
}

void MoveWindowTo(HWND h, const RECT& rect)
{
    SetWindowPos(h, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's rectangle moved to (x, y) and clamped to the nearest monitor.
void PlaceAt(HWND h, int x, int y, HMONITOR monitor)
{
    RECT rect;
    GetWindowRect(h, &rect);
    OffsetRect(&rect, x - rect.left, y - rect.top);
    if (!monitor)
        monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    Clamp(rect, MonitorRect(monitor));
    MoveWindowTo(h, rect);
}

HMONITOR ReferenceMonitor(HWND h, HWND reference)
{
    return MonitorFromWindow(reference ? reference : h, MONITOR_DEFAULTTONEAREST);
}

// The rectangle to centre or cascade on: the reference window's, or the
// monitor's when there is none or it is (nearly) empty, as when minimised.
RECT ReferenceRect(HWND reference, HMONITOR monitor)
{
    RECT rect = {};
    if (reference)
        GetWindowRect(reference, &rect);
    if (!reference || IsRectEmpty(&rect) || (rect.right - rect.left <= 1 && rect.bottom - rect.top <= 1))
        rect = MonitorRect(monitor);
    return rect;
}

} // namespace

void EnsureRectIsVisible(HMONITOR monitor, RECT* rect)
{
    Clamp(*rect, MonitorRect(monitor));
}

void FitRectToNearestMonitor(RECT* rect)
{
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    GetMonitorInfoW(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST), &info);
    const RECT& work = info.rcWork;
    if (rect->right > work.right)
        OffsetRect(rect, work.right - rect->right, 0);
    if (rect->bottom > work.bottom)
        OffsetRect(rect, 0, work.bottom - rect->bottom);
    if (rect->left < work.left)
        rect->left = work.left;
    if (rect->top < work.top)
        rect->top = work.top;
}

void MoveWindowToPoint(HWND h, const POINT* pt)
{
    POINT cursor;
    if (!pt) {
        GetCursorPos(&cursor);
        pt = &cursor;
    }
    PlaceAt(h, pt->x, pt->y, nullptr);
}

int MoveWindowToMouse(HWND h)
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return 0;
    MoveWindowToPoint(h, &cursor);
    return 1;
}

void CenterWindow(HWND h, HWND reference)
{
    HMONITOR monitor = ReferenceMonitor(h, reference);
    RECT around = ReferenceRect(reference, monitor);
    RECT rect;
    GetWindowRect(h, &rect);
    int x = around.left + ((around.right - around.left) - (rect.right - rect.left)) / 2;
    int y = around.top + ((around.bottom - around.top) - (rect.bottom - rect.top)) / 2;
    PlaceAt(h, x, y, monitor);
}

void CascadeWindow(HWND h, HWND reference)
{
    HMONITOR monitor = ReferenceMonitor(h, reference);
    RECT around = ReferenceRect(reference, monitor);
    PlaceAt(h, around.left + GetSystemMetrics(SM_CXVSCROLL), around.top + GetSystemMetrics(SM_CYCAPTION), monitor);
}

void EnsureWindowVisible(HWND h, HWND reference)
{
    if (!MonitorFromWindow(h, MONITOR_DEFAULTTONULL))
        CenterWindow(h, reference);
}

// --- positions in the registry -------------------------------------------------

namespace {

// The names of the two values that keep a window's position.
struct PositionNames {
    explicit PositionNames(const wchar_t* prefix)
    {
        StrFormat(left, 256, L"%s%s", prefix ? prefix : L"", L"posLeft");
        StrFormat(top, 256, L"%s%s", prefix ? prefix : L"", L"posTop");
    }
    wchar_t left[256];
    wchar_t top[256];
};

// Hands use the window's rectangle and the stored position's key and
// names. A window whose rectangle cannot be had is left alone, and its key
// is not even opened (opening it to write would create it).
template <typename Use>
void WithStoredPosition(HWND h, const wchar_t* prefix, int write, Use use)
{
    RECT rect;
    if (!GetWindowRect(h, &rect))
        return;
    RegKey key(GetMyProductInfo()->GetAppRootKey(), write);
    PositionNames names(prefix);
    use(rect, key, names);
}

} // namespace

void WndStorePosition(HWND h, const wchar_t* prefix)
{
    WithStoredPosition(h, prefix, 1, [](const RECT& rect, RegKey& key, const PositionNames& names) {
        // While recording, every value is written, so the text has them all.
        int onlyIfChanged = !RegKey::IsLogging();
        key.PutDword(names.left, static_cast<DWORD>(rect.left), onlyIfChanged);
        key.PutDword(names.top, static_cast<DWORD>(rect.top), onlyIfChanged);
    });
}

void WndRestorePosition(HWND h, const wchar_t* prefix)
{
    WithStoredPosition(h, prefix, 0, [h](const RECT& rect, RegKey& key, const PositionNames& names) {
        int left = key.GetInt(names.left, rect.left);
        int top = key.GetInt(names.top, rect.top);

        // The window's centre stays on the primary screen, its top never above.
        int halfWidth = (rect.right - rect.left) / 2;
        int halfHeight = (rect.bottom - rect.top) / 2;
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        if (left + halfWidth > screenWidth)
            left = screenWidth - halfWidth;
        if (left + halfWidth < 0)
            left = -halfWidth;
        if (top + halfHeight > screenHeight)
            top = screenHeight - halfHeight;
        if (top < 0)
            top = 0;
        SetWindowPos(h, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}
