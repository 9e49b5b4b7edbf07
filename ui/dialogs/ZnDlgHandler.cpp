// ZnDlg: the built-in handler (dialog messages to virtual operations), the
// window side (colours, mouse, grip, skin painting) and the defaults of the
// virtual operations that answer messages.
#include "ui/dialogs/ZnDlg.h"
#include "ui/window/ZnDC.h"

#include <windowsx.h>

#include <new>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "base/ShellSubclass.h"
#include "base/internal/GrowArray.h"
#include "text/ResStr.h"
#include "threads/InstanceActivation.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/internal/DlgDragger.h"
#include "ui/dialogs/internal/DlgState.h"
#include "ui/dialogs/internal/HtmlHelp.h"
#include "ui/window/WndFunctions.h"

namespace {

constexpr int gripSize = 16;

// The help request this thread is sending: only a request of our own is
// read through the pointer a company message carries, never one that came
// from another thread or process.
thread_local ZnDlg::HelpRequest* ownHelpRequest = nullptr;

ZnDlg* AsDlg(ZnWnd* wnd)
{
    return wnd && wnd->IsDlg() ? static_cast<ZnDlg*>(wnd) : nullptr;
}

RECT GripRect(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    int cx = GetSystemMetrics(SM_CXVSCROLL);
    int cy = GetSystemMetrics(SM_CYHSCROLL);
    return {client.right - cx, client.bottom - cy, client.right, client.bottom};
}

// The control object a notification comes from: the sender's own, or that
// of the nearest ancestor below the dialog (a list's header belongs to its
// list). A dialog on the way up ends the search: its controls are its own.
ZnCtrl* NotifyingCtrl(HWND dialog, HWND from)
{
    for (HWND h = from; h && h != dialog; h = GetParent(h)) {
        if (DlgState::FromHandle(h))
            return nullptr;
        if (ZnCtrl* control = ZnDlg::GetDlgCtrl(h))
            return control;
    }
    return nullptr;
}

// Whether child may carry a window object: a window bound the classic way
// runs ZnWnd's procedure, which is read locally; only the other way of
// binding (the shell's subclassing) needs the property asked.
bool MayBeBound(HWND child)
{
    return ShellSubclass::IsReady()
        || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC)) == ZnWnd::WndProc;
}

} // namespace

// --- the built-in handler: dialog side -----------------------------------------------------

int ZnDlgMsgHandler::OnDlgMessage(ZnDlg* dlg, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == GetCompanyMessage()) {
        if (dlg->OnMyCompanyMsg(wParam, lParam, result))
            return 1;
        switch (wParam) {
        case ZnDlg::codeActivate:
            OnActivatePreviousInstance(0, dlg->hWnd, msg, ZnDlg::codeActivate, 0);
            *result = 1;
            return 1;
        case ZnDlg::codeHelpRequest: {
            auto* request = reinterpret_cast<ZnDlg::HelpRequest*>(lParam);
            if (!request || request != ownHelpRequest)
                return 0;
            if (!request->page)
                request->page = dlg->GetHtmlPage(request->helpId);
            HWND up = dlg->parentWnd ? dlg->parentWnd : ::GetParent(dlg->hWnd);
            if (!request->page && up && IsWindow(up))
                SendMyCompanyMsg(GetAncestor(up, GA_ROOT), ZnDlg::codeHelpRequest, lParam);
            *result = request->page != nullptr;
            return 1;
        }
        case ZnDlg::codeActivateIfId:
            if (!dlg->singleInstanceId)
                return 0;
            *result = OnActivatePreviousInstance(dlg->singleInstanceId, dlg->hWnd, msg, wParam, lParam);
            return 1;
        case ZnDlg::codeIsTemplate: {
            // A dialog with an instance id is known by that id alone.
            const LPARAM own = dlg->singleInstanceId ? static_cast<LPARAM>(dlg->singleInstanceId) : dlg->templateId;
            *result = lParam != 0 && lParam == own;
            return 1;
        }
        default:
            return 0;
        }
    }

    switch (msg) {
    case WM_INITDIALOG:
        *result = dlg->OnInitDialog(wParam, lParam);
        dlg->PostInitDialog();
        return 1;
    case WM_COMMAND:
        *result = dlg->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 1;
    case WM_NOTIFY:
        *result = dlg->OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
        return 1;
    case WM_HELP:
        dlg->OnHelp(reinterpret_cast<HELPINFO*>(lParam));
        *result = 1;
        return 1;
    case WM_SHOWWINDOW:
        dlg->OnShowWindow(static_cast<int>(wParam), static_cast<unsigned long>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        dlg->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        dlg->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_SYSCOMMAND:
        if (dlg->OnSysCommand(static_cast<unsigned short>(wParam & 0xFFF0), static_cast<unsigned short>(LOWORD(lParam)),
                static_cast<unsigned short>(HIWORD(lParam)))) {
            *result = 1;
            return 1;
        }
        return 0;
    case WM_STYLECHANGING:
        if (dlg->OnStyleChanging(static_cast<int>(wParam), reinterpret_cast<STYLESTRUCT*>(lParam))) {
            *result = 1;
            return 1;
        }
        return 0;
    case WM_TIMER:
        if (dlg->delayTimer.IsTicking() && wParam == dlg->delayTimer.GetID()) {
            // One-shot whatever the override does; it may arm the next one.
            unsigned long action = dlg->pendingAction;
            dlg->delayTimer.Stop();
            dlg->pendingAction = 0;
            dlg->OnDelayedAction(action);
            return 1;
        }
        for (int i = 0; i < ZnDlg::queuedActionSlots; ++i) {
            if (dlg->queuedActions[i] && dlg->queuedTimers[i].IsTicking() && wParam == dlg->queuedTimers[i].GetID()) {
                unsigned long action = dlg->queuedActions[i];
                dlg->queuedTimers[i].Stop();
                dlg->queuedActions[i] = 0;
                dlg->OnDelayedAction(action);
                return 1;
            }
        }
        return 0;
    case WM_DRAWITEM:
        if (ZnCtrl* control = wParam ? dlg->GetDlgCtrl(static_cast<int>(wParam)) : nullptr) {
            control->OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            *result = 1;
            return 1;
        }
        return 0;
    case WM_MEASUREITEM:
        if (ZnCtrl* control = wParam ? dlg->GetDlgCtrl(static_cast<int>(wParam)) : nullptr) {
            control->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            *result = 1;
            return 1;
        }
        return 0;
    case WM_DELETEITEM: {
        auto* item = reinterpret_cast<DELETEITEMSTRUCT*>(lParam);
        if (ZnCtrl* control = dlg->GetDlgCtrl(static_cast<int>(wParam)))
            control->OnDeleteItem(item);
        dlg->OnDeleteItem(static_cast<unsigned int>(wParam), item ? reinterpret_cast<void*>(item->itemData) : nullptr);
        *result = 1;
        return 1;
    }
    case WM_MOUSEMOVE:
        if (static_cast<DWORD>(lParam) != 0xFFFFFFFF)
            CatchMouseOut(dlg->hWnd);
        return 0;
    case WM_MOUSELEAVE:
        // Everything that follows the mouse hears of it leaving as a move
        // to nowhere.
        PostMessageW(dlg->hWnd, WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFFFFFF));
        return 0;
    default:
        return 0;
    }
}

// --- the built-in handler: window side -----------------------------------------------------

int ZnDlgMsgHandler::OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    ZnDlg* dlg = AsDlg(wnd);
    if (!dlg || !dlg->hWnd)
        return 0;
    HWND window = dlg->hWnd;
    const bool resizable = dlg->IsFlag(ZnDlg::flagResizable) && !IsZoomed(window);
    const bool skinned = dlg->IsSkinSet() && dlg->skin->IsSkinShown();

    switch (msg) {
    case WM_NCHITTEST: {
        if (!resizable)
            return 0;
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        POINT client = point;
        ScreenToClient(window, &client);
        RECT area;
        GetClientRect(window, &area);
        if (PtInRect(&area, client) && (area.right - client.x) + (area.bottom - client.y) < gripSize) {
            *result = HTBOTTOMRIGHT;
            return 1;
        }
        if (dlg->IsFlag(ZnDlg::flagResizeAllBorders)) {
            RECT frame;
            GetWindowRect(window, &frame);
            int fx = DlgState::FrameX();
            int fy = DlgState::FrameY();
            bool left = point.x < frame.left + fx;
            bool right = point.x >= frame.right - fx;
            bool top = point.y < frame.top + fy;
            bool bottom = point.y >= frame.bottom - fy;
            LRESULT code = 0;
            if (top)
                code = left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
            else if (bottom)
                code = left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
            else if (left)
                code = HTLEFT;
            else if (right)
                code = HTRIGHT;
            if (code && PtInRect(&frame, point)) {
                *result = code;
                return 1;
            }
        }
        return 0;
    }
    case WM_SETCURSOR:
        if (resizable && LOWORD(lParam) == HTBOTTOMRIGHT) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
            *result = 1;
            return 1;
        }
        return 0;
    case WM_NCPAINT:
        if (skinned) {
            *result = 0;
            return 1;
        }
        return 0;
    case WM_ERASEBKGND: {
        const bool grip = resizable && !dlg->IsFlag(ZnDlg::flagNoGrip);
        if (!skinned && !grip)
            return 0;
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (skinned) {
            dlg->DrawSkin(dc);
            *result = 1;
        } else {
            *result = wnd->DoWndMessage(msg, wParam, lParam, this);
        }
        if (grip) {
            RECT corner = GripRect(window);
            DrawFrameControl(dc, &corner, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
        return 1;
    }
    case WM_PAINT:
        if (resizable && !dlg->IsFlag(ZnDlg::flagNoGrip)) {
            *result = wnd->DoWndMessage(msg, wParam, lParam, this);
            // Painting of the body may have covered the corner.
            ClientDC dc(window);
            if (dc.IsWindowDC()) {
                RECT grip = GripRect(window);
                DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            }
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

LRESULT ZnDlg::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HBRUSH brush = nullptr;
        if (OnCtlColor(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), &brush))
            return reinterpret_cast<LRESULT>(brush);
        break;
    }
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (skin && skin->dlg == this)
            skin->OnMouseMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // a quick second click on an area is a click too
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        if (skin && skin->dlg == this)
            skin->OnMouseClick(msg, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
        if (skin && IsFlag(flagSkinSizeLoops))
            skin->OnSizeMove(msg == WM_ENTERSIZEMOVE);
        break;
    case WM_ENABLE:
        if (skin && skin->dlg == this)
            skin->OnEnable(this, static_cast<int>(wParam));
        break;
    default:
        break;
    }
    LRESULT answer;
    {
        DlgState::Dispatch dispatch(this);
        answer = ZnWnd::OnWndMessage(msg, wParam, lParam);
    }
    if (msg == WM_UPDATEUISTATE && IsSkinSet() && hWnd)
        RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return answer;
}

// --- defaults of the virtual operations ----------------------------------------------------

void ZnDlg::OnPreCreate(CREATESTRUCTW* create)
{
    if (create && IsFlag(flagNeverMaximize))
        create->style &= ~static_cast<LONG>(WS_MAXIMIZE);
}

int ZnDlg::UpdateControls()
{
    return 1;
}

int ZnDlg::UpdateData()
{
    dataUpdated = 1;
    return 1;
}

void ZnDlg::OnShowWindow(int show, unsigned long)
{
    if (!show || firstShowDone)
        return;
    firstShowDone = 1;
    // Group heights are measured as the template lays them out, before
    // any group was hidden.
    for (POS pos = ctrlGroups.GetHeadPos(); pos;) {
        auto* group = static_cast<ZnCtrlGroup*>(ctrlGroups.GetNext(pos));
        RECT first, next;
        if (GetDlgItemRect(static_cast<int>(group->firstId), &first)
            && GetDlgItemRect(static_cast<int>(group->nextId), &next))
            group->height = next.top - first.top;
    }
    if (!controlsUpdated) {
        updatingControls = 1;
        UpdateControls();
        updatingControls = 0;
        controlsUpdated = 1;
    }
}

LRESULT ZnDlg::OnNotify(int, NMHDR* header)
{
    if (!header)
        return 0;
    if (ZnCtrl* control = NotifyingCtrl(hWnd, header->hwndFrom)) {
        LRESULT answer = 0;
        if (control->OnNotify(header, &answer))
            return answer;
    }
    if (header->code != TTN_GETDISPINFOW && header->code != TTN_GETDISPINFOA)
        return 0;

    // The two forms differ from the text field on: each is filled as itself.
    const bool wide = header->code == TTN_GETDISPINFOW;
    auto* infoW = reinterpret_cast<NMTTDISPINFOW*>(header);
    auto* infoA = reinterpret_cast<NMTTDISPINFOA*>(header);
    UINT id = static_cast<UINT>(header->idFrom);
    if ((wide ? infoW->uFlags : infoA->uFlags) & TTF_IDISHWND)
        id = static_cast<UINT>(GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)));

    HINSTANCE textModule = nullptr;
    unsigned short stringId = 0;
    if (GetTootTip(id, textModule, stringId) && stringId) {
        // The tooltip loads a resource text itself, at whatever length.
        if (!textModule)
            textModule = hiDLL;
        if (wide) {
            infoW->hinst = textModule;
            infoW->lpszText = MAKEINTRESOURCEW(stringId);
        } else {
            infoA->hinst = textModule;
            infoA->lpszText = MAKEINTRESOURCEA(stringId);
        }
        return 0;
    }
    wchar_t text[80] = {};
    if (!GetTootTip(id, text, 80))
        return 0;
    text[79] = L'\0';
    if (wide) {
        infoW->hinst = nullptr;
        lstrcpynW(infoW->szText, text, 80);
        infoW->lpszText = infoW->szText;
    } else {
        infoA->hinst = nullptr;
        if (!WideCharToMultiByte(CP_ACP, 0, text, -1, infoA->szText, 80, nullptr, nullptr))
            infoA->szText[79] = '\0';
        infoA->lpszText = infoA->szText;
    }
    return 0;
}

int ZnDlg::OnMyCompanyMsg(WPARAM, LPARAM, LRESULT*)
{
    return 0;
}

void ZnDlg::OnHelp(HELPINFO*)
{
    const wchar_t* page = GetHtmlPage(0);
    if (!page) {
        HelpRequest request = {helpId ? helpId : static_cast<unsigned int>(templateId), nullptr};
        HWND start = parentWnd ? parentWnd : hWnd;
        HWND top = start ? GetAncestor(start, GA_ROOT) : nullptr;
        HelpRequest* outer = ownHelpRequest;
        ownHelpRequest = &request;
        if (top)
            SendMyCompanyMsg(top, codeHelpRequest, reinterpret_cast<LPARAM>(&request));
        ownHelpRequest = outer;
        page = request.page;
    }
    if (!page)
        return;
    if (!ZnHtmlHelp(hWnd, page))
        OnHtmlHelpError(page);
}

LRESULT ZnDlg::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    if (ZnCtrl* attached = control ? GetDlgCtrl(control) : nullptr) {
        LRESULT answer = 0;
        if (attached->OnCommand(code, &answer))
            return answer;
    }
    if (code == BN_CLICKED) {
        OnButtonClicked(id);
        switch (id) {
        case IDOK:
            return OnOK();
        case IDCANCEL:
            return OnCancel();
        case IDHELP:
            OnHelp(nullptr);
            return 1;
        default:
            break;
        }
    } else if (code == CBN_SELCHANGE && control) {
        // Code 1 without a control is an accelerator, not a selection.
        OnComboSelChanged(id);
    }
    return 0;
}

int ZnDlg::OnSysCommand(unsigned short command, unsigned short, unsigned short)
{
    return command == SC_MAXIMIZE && IsFlag(flagNeverMaximize);
}

int ZnDlg::OnStyleChanging(int which, STYLESTRUCT* style)
{
    if (which == GWL_STYLE && style && IsFlag(flagNeverMaximize) && (style->styleNew & WS_MAXIMIZE)) {
        style->styleNew &= ~static_cast<DWORD>(WS_MAXIMIZE);
        return 1;
    }
    return 0;
}

void ZnDlg::OnButtonClicked(unsigned short)
{
}

void ZnDlg::OnComboSelChanged(unsigned short)
{
}

void ZnDlg::OnDeleteItem(unsigned int, void*)
{
}

int ZnDlg::OnCtlColor(unsigned int msg, HDC dc, HWND control, HBRUSH* brush)
{
    if (bkgBrush) {
        SetTextColor(dc, textColor);
        SetBkMode(dc, TRANSPARENT);
        *brush = bkgBrush.Get();
        return 1;
    }
    if (msg == WM_CTLCOLORSCROLLBAR)
        return 0;
    if (ZnCtrl* attached = control && control != hWnd ? GetDlgCtrl(control) : nullptr) {
        if (attached->OnCtlColor(msg, dc, brush))
            return 1;
    }
    if (ZnDlgSkin* shown = GetDisplaySkin(); shown && shown->IsSkinSet())
        return shown->OnCtlColor(msg, dc, brush);
    return 0;
}

int ZnDlg::GetTootTip(unsigned int, wchar_t*, unsigned int)
{
    return 0;
}

int ZnDlg::GetTootTip(unsigned int, HINSTANCE&, unsigned short&)
{
    return 0;
}

const wchar_t* ZnDlg::GetHtmlPage(unsigned int)
{
    return nullptr;
}

void ZnDlg::OnHtmlHelpError(const wchar_t*)
{
}

void ZnDlg::OnMouseMove(WPARAM, int, int)
{
}

void ZnDlg::EnsureDlgItemVisible(HWND)
{
}

void ZnDlg::DrawSkin(HDC dc)
{
    if (IsSkinSet())
        skin->DrawSkin(dc, 0, 0, -1, -1);
}

void ZnDlg::OnFirstSkinStretch(ZnDlgSkin*)
{
}

void ZnDlg::OnDrawSkin(ZnDlgSkin*, HDC)
{
}

// --- after WM_INITDIALOG ---------------------------------------------------------------------

void ZnDlg::PostInitDialog()
{
    // One walk over the children, with as few questions to the window
    // manager as it takes: each costs a trip to the window server under Wine.
    GrowArray<ZnCtrl*> controls;
    GrowArray<int> seenIds;
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgItemID(child);
        // Only the first child of an id is the control of that id.
        bool first = id != -1;
        for (size_t i = 0; first && i < seenIds.Size(); ++i)
            first = seenIds[i] != id;
        if (first)
            seenIds.Push(std::move(id));
        ZnCtrl* control = nullptr;
        if (ZnWnd* bound = MayBeBound(child) ? ZnWnd::FromHandle(child) : nullptr) {
            // Pages (and any other window with an object of its own) are
            // not controls of this dialog.
            if (bound->IsKindOf(L"ZnCtrl") && static_cast<ZnCtrl*>(bound)->GetDlg() == this)
                control = static_cast<ZnCtrl*>(bound);
        } else if (first) {
            control = ZnCtrl::AutoInit(this, static_cast<UINT>(id));
        }
        if (control)
            controls.Push(std::move(control));
    }
    for (size_t i = 0; i < controls.Size(); ++i)
        controls[i]->PostInitDialog();
    if (!childDlg && !(GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD))
        SetForegroundWindow(hWnd);
}

void ZnDlg::OnInitDone()
{
    if (skin) {
        skin->Init(this);
        if (skin->IsSkinSet())
            EnableFullDrag(1);
    }
    if (IsFlag(flagTopmostUntilActive))
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ZnDlg::EnableFullDrag(int on)
{
    if (on) {
        if (dragger)
            return;
        FullWndDragger* hook = spareDragger ? spareDragger : new (std::nothrow) DlgDragger;
        spareDragger = nullptr;
        if (!hook)
            return;
        dragger = hook;
        AddWndHook(dragger);
        return;
    }
    if (!dragger)
        return;
    RemoveWndHook(dragger);
    delete spareDragger;
    spareDragger = dragger;
    dragger = nullptr;
}

void ZnDlg::SetDlgColors(unsigned long background, unsigned long text, unsigned long third)
{
    bkgColor = background;
    textColor = text;
    thirdColor = third;
    bkgBrush.Reset(background != 0xFFFFFFFF ? CreateSolidBrush(background) : nullptr);
    if (hWnd)
        InvalidateRect(hWnd, nullptr, TRUE);
}

void ZnDlg::SetFlags(unsigned long mask, int on)
{
    if (on)
        flags |= mask;
    else
        flags &= ~mask;
}
