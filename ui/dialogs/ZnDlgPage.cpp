// ZnDlgScrollable and ZnDlgPage: pages of a page manager, scrolling when
// they are taller than their place.
#include "ui/dialogs/ZnDlgPage.h"

#include <windowsx.h>

#include <cstdarg>

#include "text/ResStr.h"
#include "ui/dialogs/MsgBox.h"
#include "ui/dialogs/ZnDlgPageMan.h"
#include "ui/dialogs/ZnDlgSkin.h"

namespace {

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

} // namespace

// --- ZnDlgScrollable ---------------------------------------------------------------------------

ZnDlgScrollable::ZnDlgScrollable(ZnDlgSkin* dialogSkin)
    : ZnDlgChild(dialogSkin), totalHeight(0), visibleHeight(0), scrollPos(0), barShown(0)
{
}

int ZnDlgScrollable::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnDlgScrollable") == 0 || ZnDlgChild::IsKindOf(className));
}

LRESULT ZnDlgScrollable::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    RECT client;
    GetClientRect(hWnd, &client);
    totalHeight = client.bottom;
    visibleHeight = client.bottom;
    scrollPos = 0;
    barShown = (GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_VSCROLL) != 0;
    return ZnDlgChild::OnInitDialog(wParam, lParam);
}

int ZnDlgScrollable::GetScrollRange() const
{
    return totalHeight > visibleHeight ? totalHeight - visibleHeight : 0;
}

int ZnDlgScrollable::GetLineStep() const
{
    int step = GetScrollRange() / 20;
    return step > 5 ? step : 5;
}

int ZnDlgScrollable::GetPageStep() const
{
    int step = GetScrollRange() / 10;
    return step > 5 ? step : 5;
}

LRESULT ZnDlgScrollable::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_VSCROLL:
        // Only the page's own bar; a scroll-bar control reports itself.
        if (!lParam) {
            int position = HIWORD(wParam);
            if (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION) {
                // The 16 bits of the message would cut a tall page's position.
                SCROLLINFO info = {sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
                if (GetScrollInfo(hWnd, SB_VERT, &info))
                    position = info.nTrackPos;
            }
            OnWmScroll(LOWORD(wParam), position);
            return 1;
        }
        break;
    case WM_MOUSEWHEEL:
        // Handled: the system would pass it on to the manager, which
        // hands it back to the active page.
        OnWmMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 1;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        RefocusAfterClick();
        break;
    default:
        break;
    }
    return ZnDlgChild::OnDlgMessage(msg, wParam, lParam);
}

void ZnDlgScrollable::OnWmScroll(int code, int position)
{
    const int range = GetScrollRange();
    int target = scrollPos;
    switch (code) {
    case SB_LINEUP:
        target -= GetLineStep();
        break;
    case SB_LINEDOWN:
        target += GetLineStep();
        break;
    case SB_PAGEUP:
        target -= GetPageStep();
        break;
    case SB_PAGEDOWN:
        target += GetPageStep();
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        target = position;
        break;
    case SB_TOP:
        target = 0;
        break;
    case SB_BOTTOM:
        target = range;
        break;
    default:
        return;
    }
    DoScroll(Clamp(target, 0, range) - scrollPos);
}

void ZnDlgScrollable::OnWmMouseWheel(int delta)
{
    OnWmScroll(delta >= 0 ? SB_LINEUP : SB_LINEDOWN, 0);
}

int ZnDlgScrollable::DoScroll(int dy)
{
    const int target = Clamp(scrollPos + dy, 0, GetScrollRange());
    const int moved = target - scrollPos;
    if (!moved || !hWnd)
        return 0;
    scrollPos = target;
    SCROLLINFO info = {sizeof(info), SIF_POS, 0, 0, 0, scrollPos, 0};
    SetScrollInfo(hWnd, SB_VERT, &info, TRUE);
    ScrollWindowEx(hWnd, 0, -moved, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    // On a skin the page shows the part of the skin behind it, which does
    // not move with the contents.
    if (ZnDlgSkin* shown = GetDisplaySkin(); shown && shown->IsSkinSet())
        RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return moved;
}

void ZnDlgScrollable::OnWindowPosChanging(WINDOWPOS* pos)
{
    ZnDlgChild::OnWindowPosChanging(pos);
}

void ZnDlgScrollable::OnWindowPosChanged(WINDOWPOS* pos)
{
    ZnDlgChild::OnWindowPosChanged(pos);
    if (!pos || (pos->flags & SWP_NOSIZE) || !totalHeight)
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    if (client.bottom == visibleHeight && (barShown || client.bottom >= totalHeight))
        return;
    visibleHeight = client.bottom;
    UpdateScrollBar();
}

void ZnDlgScrollable::UpdateScrollBar()
{
    if (!hWnd)
        return;
    const int range = GetScrollRange();
    if (!range && !barShown)
        return;
    barShown = 1;
    // Scrolled past the new end: back to it first, with the children.
    if (scrollPos > range)
        DoScroll(range - scrollPos);
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0,
        totalHeight > 0 ? totalHeight - 1 : 0, static_cast<UINT>(visibleHeight), scrollPos, 0};
    SetScrollInfo(hWnd, SB_VERT, &info, TRUE);
}

void ZnDlgScrollable::OnChangeTotalHeight(int dTotal, int visible)
{
    totalHeight += dTotal;
    if (totalHeight < 0)
        totalHeight = 0;
    if (visible > 0)
        visibleHeight = visible;
    UpdateScrollBar();
}

void ZnDlgScrollable::EnsureDlgItemVisible(HWND control)
{
    if (!hWnd || !control || !IsChild(hWnd, control))
        return;
    // A control inside a group or a combo box: its child of the page counts.
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&rect), 2);
    const int top = visibleMargin;
    const int bottom = visibleHeight - visibleMargin;
    if (rect.top < top)
        DoScroll(rect.top - top);
    else if (rect.bottom > bottom)
        DoScroll(rect.bottom - rect.top > bottom - top ? rect.top - top : rect.bottom - bottom);
}

void ZnDlgScrollable::EnsureDlgItemVisible(int id)
{
    EnsureDlgItemVisible(GetDlgItem(id));
}

void ZnDlgScrollable::RefocusAfterClick()
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(hWnd, focus))
        focus = ::GetNextDlgTabItem(hWnd, nullptr, FALSE);
    if (!focus)
        return;
    ::SetFocus(focus);
    EnsureDlgItemVisible(focus);
}

// --- ZnDlgPage ---------------------------------------------------------------------------------

ZnDlgPage::ZnDlgPage(ZnDlgPageMan* pageManager, unsigned int id, const wchar_t* headerText, HINSTANCE module)
    : manager(pageManager),
      header(headerText),
      pageModule(module),
      pageTemplateId(static_cast<int>(id)),
      keepActive(0),
      updateOnCommand(0),
      autoPop(0)
{
    templateId = static_cast<int>(id);
}

int ZnDlgPage::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnDlgPage") == 0 || ZnDlgScrollable::IsKindOf(className));
}

int ZnDlgPage::Init(ZnDlg* parent, unsigned int id, unsigned int placeholderId, HINSTANCE module, int show)
{
    if (parent && parent->IsKindOf(L"ZnDlgPageMan"))
        manager = static_cast<ZnDlgPageMan*>(parent);
    return ZnDlgScrollable::Init(parent, id, placeholderId, module, show);
}

int ZnDlgPage::UpdateData()
{
    if (manager)
        manager->OnPageUpdateData();
    return ZnDlgScrollable::UpdateData();
}

LRESULT ZnDlgPage::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    return ZnDlgScrollable::OnInitDialog(wParam, lParam);
}

LRESULT ZnDlgPage::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = ZnDlgScrollable::OnDlgMessage(msg, wParam, lParam);
    // The controls that say so gained the focus: whatever moved it there
    // (a mnemonic, a click on a label, code), it must be seen.
    if (msg == WM_COMMAND && lParam) {
        const WORD code = HIWORD(wParam);
        if (code == EN_SETFOCUS || code == BN_SETFOCUS || code == CBN_SETFOCUS || code == LBN_SETFOCUS)
            EnsureDlgItemVisible(reinterpret_cast<HWND>(lParam));
    }
    return answer;
}

LRESULT ZnDlgPage::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    if (updateOnCommand && initialized && !updatingControls && !closed && !(manager && manager->IsClosed()))
        UpdateData();
    return ZnDlgScrollable::OnCommand(id, code, control);
}

int ZnDlgPage::OnKillActive(int)
{
    return 1;
}

int ZnDlgPage::OnSetActive()
{
    return 1;
}

void ZnDlgPage::OnReady()
{
}

int ZnDlgPage::OnBtnNext()
{
    // An auto-pop page is taken off by the manager once it has moved on.
    if (autoPop)
        return 1;
    if (manager) {
        manager->SetPageItemFocus(0);
        if (manager->IsWizard() && IsFirstPage())
            manager->ChangeNavButtons_EnableBack(1, 1);
    }
    return 1;
}

int ZnDlgPage::OnBtnBack()
{
    return 1;
}

int ZnDlgPage::OnApply()
{
    if (!UpdateData())
        return 0;
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ZnCtrl* control = GetDlgCtrl(child); control && control->GetDlg() == this)
            control->OnOK();
    }
    return 1;
}

void ZnDlgPage::OnWmActivate(int)
{
}

int ZnDlgPage::IsFirstPage() const
{
    return manager && manager->GetPageIndex(this) == 0;
}

void ZnDlgPage::SetPageItemFocus(int id)
{
    if (manager)
        manager->SetPageItemFocus(id);
}

int ZnDlgPage::PushPage(ZnDlgPage* page, int pop)
{
    return manager ? manager->PushPage(page, pop) : 0;
}

int ZnDlgPage::PopPage()
{
    return manager ? manager->PopPage(this) : 0;
}

int ZnDlgPage::PreBtnNext()
{
    return 1;
}

HWND ZnDlgPage::BoxOwner() const
{
    if (manager && manager->GetHwnd() && IsWindow(manager->GetHwnd()))
        return manager->GetHwnd();
    return hWnd;
}

int ZnDlgPage::MsgFmt(unsigned int type, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int result = MsgFmtV(BoxOwner(), type, format, args);
    va_end(args);
    return result;
}

int ZnDlgPage::MsgFmt(unsigned int type, int formatId, ...)
{
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = MsgFmtV(BoxOwner(), type, format, args);
    va_end(args);
    return result;
}

// The box reads the last error when it starts: finding the owner must not
// change it.
HWND ZnDlgPage::BoxOwnerKeepingLastError()
{
    const DWORD lastError = GetLastError();
    HWND owner = BoxOwner();
    SetLastError(lastError);
    return owner;
}

int ZnDlgPage::MsgExFmt(unsigned int type, const wchar_t* format, ...)
{
    HWND owner = BoxOwnerKeepingLastError();
    va_list args;
    va_start(args, format);
    int result = MsgExFmtV(owner, type, format, args);
    va_end(args);
    return result;
}

int ZnDlgPage::MsgExFmt(unsigned int type, int formatId, ...)
{
    HWND owner = BoxOwnerKeepingLastError();
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = MsgExFmtV(owner, type, format, args);
    va_end(args);
    return result;
}
