// ZnDlgPageMan: the page list, activation and navigation, the buttons, the
// keyboard, and the apply and close passes.
#include "ui/dialogs/ZnDlgPageMan.h"

#include <windowsx.h>

#include <cstdarg>

#include "base/StrFormat.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/window/ZnTimer.h"
#include "ui/window/ZnWaitCursor.h"

namespace {

constexpr unsigned headerTextSize = 257;

// The child of parent that holds wnd (wnd itself when it is one).
HWND DirectChild(HWND parent, HWND wnd)
{
    while (wnd && ::GetParent(wnd) != parent)
        wnd = ::GetParent(wnd);
    return wnd;
}

bool IsLiveStop(HWND wnd)
{
    return IsWindowVisible(wnd) && IsWindowEnabled(wnd) && (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_TABSTOP) != 0;
}

// The next (or previous) tab stop among parent's own children after from
// (null: from the edge). The page window counts as one stop when it holds
// any. With wrap the search goes round once; without it ends at the edge.
HWND NextStop(HWND parent, HWND from, bool backward, HWND pageWnd, bool wrap)
{
    HWND first = GetWindow(parent, GW_CHILD);
    if (!first)
        return nullptr;
    HWND last = GetWindow(first, GW_HWNDLAST);
    HWND at = from;
    bool wrapped = false;
    // The number of children bounds the walk, whatever the z-order does.
    for (int steps = 0; steps < 4096; ++steps) {
        if (!at)
            at = backward ? last : first;
        else
            at = GetWindow(at, backward ? GW_HWNDPREV : GW_HWNDNEXT);
        if (!at) {
            if (!wrap || wrapped || !from)
                return nullptr;
            wrapped = true;
            at = backward ? last : first;
        }
        if (at == from)
            return nullptr;
        if (pageWnd && at == pageWnd) {
            if (IsWindowVisible(at) && IsWindowEnabled(at) && NextStop(at, nullptr, false, nullptr, false))
                return at;
            continue;
        }
        if (IsLiveStop(at))
            return at;
    }
    return nullptr;
}

// The index of a button id among the five the manager keeps tops of.
int ButtonSlot(unsigned int id, unsigned int backId, unsigned int nextId)
{
    if (!id)
        return -1;
    if (id == backId)
        return 0;
    if (id == nextId)
        return 1;
    switch (id) {
    case IDOK:
        return 2;
    case IDCANCEL:
        return 3;
    case IDHELP:
        return 4;
    default:
        return -1;
    }
}

} // namespace

ZnDlgPageMan::ZnDlgPageMan(unsigned int spare, unsigned int header, unsigned int placeholder, unsigned int back,
    unsigned int next, ZnDlgSkin* dialogSkin)
    : ZnDlg(dialogSkin),
      wizard(0),
      spareId(spare),
      headerId(header),
      placeholderId(placeholder),
      backId(back),
      nextId(next),
      focusItemId(0),
      startIndex(-1),
      lastActiveIndex(-1),
      imageList(nullptr),
      activePage(nullptr),
      activePageWnd(nullptr),
      lastActivePage(nullptr),
      lastRefusalTick(0),
      refusedOnce(0),
      applying(0),
      parkedTop{},
      parked{}
{
}

ZnDlgPageMan::~ZnDlgPageMan()
{
    activePage = nullptr;
    activePageWnd = nullptr;
    lastActivePage = nullptr;
    // The callback may delete the pages: none is touched afterwards.
    pages.RemoveAll();
    if (imageList)
        ImageList_Destroy(imageList);
}

int ZnDlgPageMan::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnDlgPageMan") == 0 || ZnDlg::IsKindOf(className));
}

// --- the page list -------------------------------------------------------------------------------

void ZnDlgPageMan::SetPageCallback(unsigned __int64 context, ZnList::Callback callback)
{
    pages.SetCallback(context, callback);
}

int ZnDlgPageMan::AddPage(ZnDlgPage* page)
{
    if (!page || pages.Find(page))
        return 0;
    return pages.AddTail(page) != nullptr;
}

int ZnDlgPageMan::InsertPage(ZnDlgPage* page)
{
    if (!page || pages.Find(page))
        return 0;
    POS at = activePage ? pages.Find(activePage) : nullptr;
    return (at ? pages.InsertAfter(at, page) : pages.AddHead(page)) != nullptr;
}

int ZnDlgPageMan::RemovePage(ZnDlgPage* page)
{
    if (!page && !pages.IsEmpty())
        page = static_cast<ZnDlgPage*>(pages.GetTail());
    POS pos = page ? pages.Find(page) : nullptr;
    if (!pos)
        return 0;
    if (page == activePage) {
        // The list may delete the page: another one takes over first, or
        // none is active.
        ZnDlgPage* neighbour = GetNextPage(page, 1);
        if (!neighbour)
            neighbour = GetNextPage(page, 0);
        const int hadFocus = activePageWnd && IsChild(activePageWnd, GetFocus());
        if (!neighbour || closed || !hWnd || !Activate(neighbour, hadFocus, 0)) {
            if (activePageWnd && IsWindow(activePageWnd))
                ShowWindow(activePageWnd, SW_HIDE);
            activePage = nullptr;
            activePageWnd = nullptr;
            lastActiveIndex = -1;
            OnUpdateHeaderText(0);
        }
    }
    if (lastActivePage == page)
        lastActivePage = nullptr;
    // Its window has no place here any more; a page listed again is made
    // again when it is next shown.
    if (HWND own = page->GetHwnd(); own && IsWindow(own) && ::GetParent(own) == hWnd)
        DestroyWindow(own);
    pages.RemoveAt(pos);
    pos = activePage ? pages.Find(activePage) : nullptr;
    lastActiveIndex = pos ? pages.GetIndex(pos) : -1;
    if (hWnd && nextId && !closed)
        UpdateNavButtons();
    return 1;
}

int ZnDlgPageMan::PushPage(ZnDlgPage* page, int autoPop)
{
    if (!page)
        return 0;
    if (!pages.Find(page) && !InsertPage(page))
        return 0;
    page->SetAutoPop(autoPop);
    if (hWnd && nextId && !closed)
        UpdateNavButtons();
    return 1;
}

int ZnDlgPageMan::PopPage(ZnDlgPage* page)
{
    if (!page)
        return 0;
    OnUpdateHeaderText(0);
    page->SetAutoPop(0);
    int removed = RemovePage(page);
    if (activePage)
        OnUpdateHeaderText(1);
    return removed;
}

ZnDlgPage* ZnDlgPageMan::GetPage(int index) const
{
    POS pos = index >= 0 ? pages.FindIndex(index) : nullptr;
    return pos ? static_cast<ZnDlgPage*>(pages.GetAt(pos)) : nullptr;
}

int ZnDlgPageMan::GetPageIndex(const ZnDlgPage* page) const
{
    POS pos = page ? pages.Find(const_cast<ZnDlgPage*>(page)) : nullptr;
    return pos ? pages.GetIndex(pos) : -1;
}

int ZnDlgPageMan::GetActiveIndex() const
{
    return activePage ? GetPageIndex(activePage) : -1;
}

ZnDlgPage* ZnDlgPageMan::GetLastActivePage() const
{
    return lastActivePage;
}

int ZnDlgPageMan::IsActivePageFirst() const
{
    return activePage && GetActiveIndex() == 0;
}

int ZnDlgPageMan::IsActivePageLast() const
{
    return activePage && GetActiveIndex() == GetPageCount() - 1;
}

ZnDlgPage* ZnDlgPageMan::GetNextPage(ZnDlgPage* page, int forward) const
{
    if (!page)
        page = activePage;
    POS pos = page ? pages.Find(page) : nullptr;
    if (!pos)
        return nullptr;
    if (forward)
        pages.GetNext(pos);
    else
        pages.GetPrev(pos);
    return pos ? static_cast<ZnDlgPage*>(pages.GetAt(pos)) : nullptr;
}

int ZnDlgPageMan::IsPageOpen(const ZnDlgPage* page)
{
    return page && page->GetHwnd() && IsWindow(page->GetHwnd()) && page->IsInitialized() && !page->IsClosed();
}

// --- activation ------------------------------------------------------------------------------------

int ZnDlgPageMan::SetActivePage(int index, int setFocus)
{
    ZnDlgPage* page = GetPage(index);
    return page ? SetActivePage(page, setFocus) : 0;
}

int ZnDlgPageMan::SetActivePage(ZnDlgPage* page, int setFocus)
{
    return Activate(page, setFocus, 1);
}

int ZnDlgPageMan::CanKillActivePage(int code)
{
    if (refusedOnce && GetTickCount() - lastRefusalTick < refusalGuardMs)
        return 0;
    if (!activePage || activePage->OnKillActive(code))
        return 1;
    lastRefusalTick = GetTickCount();
    refusedOnce = 1;
    return 0;
}

int ZnDlgPageMan::Activate(ZnDlgPage* page, int setFocus, int askOld)
{
    const int index = GetPageIndex(page);
    if (index < 0 || !hWnd)
        return 0;
    if (page == activePage) {
        if (setFocus && activePageWnd && IsChild(activePageWnd, GetFocus()))
            activePage->EnsureDlgItemVisible(GetFocus());
        return 1;
    }

    // The buttons wait while the pages change; every way out gives them
    // back, unless the manager closed meanwhile.
    const unsigned int enabled = EnableButton(btnAll, 0);
    auto giveButtonsBack = [&] {
        if (!closed && hWnd && IsWindow(hWnd))
            EnableButton(enabled, 1);
    };

    if (askOld) {
        if (refusedOnce && GetTickCount() - lastRefusalTick < refusalGuardMs) {
            giveButtonsBack();
            return 0;
        }
        if (activePage && activePage->WereControlsUpdated() && !CanKillActivePage(0)) {
            giveButtonsBack();
            return 0;
        }
    }

    const bool made = !page->GetHwnd() || !IsWindow(page->GetHwnd());
    if (made) {
        ZnWaitCursor wait;
        if (ZnDlgSkin* shown = GetDisplaySkin(); shown && shown->IsSkinSet()) {
            const SKIN_METRICS* metrics = shown->GetMetrics();
            if (metrics && metrics->pageColors)
                page->SetDlgColors(metrics->pageBkgColor, metrics->pageTextColor, metrics->pageThirdColor);
        }
        if (!page->Init(
                this, static_cast<unsigned int>(page->GetPageTemplateID()), placeholderId, page->GetPageModule(), 0)) {
            giveButtonsBack();
            return 0;
        }
        // The pages follow one another in the z-order (and the tab order),
        // the first right after the placeholder.
        HWND after = nullptr;
        for (ZnDlgPage* before = GetNextPage(page, 0); before && !after; before = GetNextPage(before, 0)) {
            if (before->GetHwnd() && IsWindow(before->GetHwnd()))
                after = before->GetHwnd();
        }
        if (!after && placeholderId)
            after = GetDlgItem(static_cast<int>(placeholderId));
        if (after)
            SetWindowPos(page->GetHwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    if (!page->OnSetActive()) {
        giveButtonsBack();
        return 0;
    }

    ZnDlgPage* old = activePage;
    if (old && old->GetHwnd() && IsWindow(old->GetHwnd())) {
        ShowWindow(old->GetHwnd(), SW_HIDE);
        EnableWindow(old->GetHwnd(), FALSE);
    }
    OnUpdateHeaderText(0);
    if (old)
        lastActivePage = old;
    activePage = page;
    activePageWnd = page->GetHwnd();
    lastActiveIndex = index;
    if (headerId && page->GetHeaderText())
        SetDlgItemTextW(static_cast<int>(headerId), page->GetHeaderText());
    OnUpdateHeaderText(1);
    // The first show runs the page's UpdateControls (ZnDlg::OnShowWindow).
    EnableWindow(activePageWnd, TRUE);
    ShowWindow(activePageWnd, SW_SHOW);
    giveButtonsBack();
    if (nextId)
        UpdateNavButtons();
    if (setFocus) {
        if (HWND first = NextStop(activePageWnd, nullptr, false, nullptr, false))
            FocusPageItem(first);
    }

    if (backId) {
        if (index == 0)
            ChangeNavButtons_EnableBack(0, ShouldKeepBackBtnVisible());
        else
            ChangeNavButtons_EnableBack(1, 1);
    }

    page->OnReady();
    OnReady();
    return 1;
}

int ZnDlgPageMan::SetNextPage(int forward)
{
    const int count = GetPageCount();
    if (!count)
        return 0;
    const int index = GetActiveIndex();
    int target = forward ? index + 1 : index - 1;
    if (forward && target >= count) {
        // Past the last step a manager with Next finishes.
        if (nextId)
            return static_cast<int>(OnOK());
        target = 0;
    } else if (!forward && target < 0) {
        if (backId) {
            OnCancel();
            return 0;
        }
        target = count - 1;
    }
    if (target == index)
        return 1;
    return SetActivePage(target, 1);
}

void ZnDlgPageMan::FocusPageItem(HWND control)
{
    if (!control || !activePageWnd)
        return;
    ::SetFocus(control);
    // As the dialog manager does for a control reached by the keyboard.
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(control, EM_SETSEL, 0, -1);
    if (activePage)
        activePage->EnsureDlgItemVisible(control);
}

// --- buttons -----------------------------------------------------------------------------------------

unsigned int ZnDlgPageMan::ButtonId(unsigned int button) const
{
    switch (button) {
    case btnBack:
        return backId;
    case btnNext:
        return nextId;
    case btnCancel:
        return IDCANCEL;
    case btnHelp:
        return IDHELP;
    case btnOK:
        return IDOK;
    default:
        return 0;
    }
}

unsigned int ZnDlgPageMan::EnableButton(unsigned int mask, int enable)
{
    unsigned int wasEnabled = 0;
    for (unsigned int bit = 1; bit <= btnOK; bit <<= 1) {
        if (!(mask & bit))
            continue;
        const unsigned int id = ButtonId(bit);
        HWND button = id ? GetDlgItem(static_cast<int>(id)) : nullptr;
        ZnDlgSkinArea* area = id && IsSkinSet() ? skin->FindArea(static_cast<int>(id)) : nullptr;
        if (!button && !area)
            continue;
        if (button ? IsWindowEnabled(button) : area->IsEnabled())
            wasEnabled |= bit;
        if (button)
            EnableWindow(button, enable ? TRUE : FALSE);
        if (area && area->IsEnabled() != (enable != 0)) {
            skin->EnableArea(static_cast<int>(id), enable);
            skin->DrawArea(static_cast<int>(id));
        }
    }
    return wasEnabled;
}

void ZnDlgPageMan::ParkButton(unsigned int id, int park)
{
    const int slot = ButtonSlot(id, backId, nextId);
    HWND button = id ? GetDlgItem(static_cast<int>(id)) : nullptr;
    if (slot < 0 || !button || parked[slot] == (park != 0))
        return;
    RECT rect;
    GetDlgItemRect(static_cast<int>(id), &rect);
    if (park) {
        parkedTop[slot] = rect.top;
        // Above the dialog: out of sight and out of reach of the mouse.
        SetWindowPos(button, nullptr, rect.left, -rect.bottom, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(button, nullptr, rect.left, parkedTop[slot], 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    parked[slot] = park != 0;
}

void ZnDlgPageMan::ShowButton(unsigned int id, int show)
{
    if (!id)
        return;
    if (IsSkinSet()) {
        // On a skin the areas are the buttons.
        ShowDlgItem(static_cast<int>(id), 0);
        ParkButton(id, 1);
        if (skin->FindArea(static_cast<int>(id))) {
            skin->ShowArea(static_cast<int>(id), show);
            skin->DrawArea(static_cast<int>(id));
        }
        return;
    }
    if (show) {
        ParkButton(id, 0);
        ShowDlgItem(static_cast<int>(id), 1);
    } else {
        ShowDlgItem(static_cast<int>(id), 0);
        ParkButton(id, 1);
    }
}

int ZnDlgPageMan::IsButtonLive(unsigned int id) const
{
    if (!id)
        return 0;
    if (IsSkinSet()) {
        if (ZnDlgSkinArea* area = skin->FindArea(static_cast<int>(id)))
            return area->IsEnabled() && !area->IsHidden();
    }
    return IsDlgItemEnabled(static_cast<int>(id)) && IsDlgItemVisible(static_cast<int>(id));
}

void ZnDlgPageMan::PressButton(unsigned int button)
{
    const unsigned int id = ButtonId(button);
    if (!id || !hWnd)
        return;
    EnableButton(button, 1);
    // What was asked for before the press is done first.
    MSG msg;
    for (int handled = 0; handled < 256 && PeekMessageW(&msg, hWnd, 0, 0, PM_REMOVE); ++handled) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (!hWnd || !IsWindow(hWnd))
        return;
    switch (button) {
    case btnBack:
        QueueAction(actionPressBack, pressDelayMs);
        break;
    case btnNext:
        QueueAction(actionPressNext, pressDelayMs);
        break;
    case btnOK:
        QueueAction(actionPressOK, pressDelayMs);
        break;
    default:
        PostMessageW(
            hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(static_cast<int>(id))));
        break;
    }
}

void ZnDlgPageMan::ChangeNavButtons_OKToNext()
{
    if (!nextId || !GetDlgItem(static_cast<int>(nextId)))
        return;
    if (GetDlgItem(IDOK)) {
        EnableDlgItem(IDOK, 0);
        ShowButton(IDOK, 0);
    }
    ShowButton(nextId, 1);
    EnableButton(btnNext, 1);
    SetDlgDefaulButton(static_cast<int>(nextId));
}

void ZnDlgPageMan::ChangeNavButtons_NextToOK()
{
    if (!GetDlgItem(IDOK))
        return;
    if (nextId && GetDlgItem(static_cast<int>(nextId))) {
        EnableDlgItem(static_cast<int>(nextId), 0);
        ShowButton(nextId, 0);
    }
    ShowButton(IDOK, 1);
    EnableButton(btnOK, 1);
    SetDlgDefaulButton(IDOK);
}

void ZnDlgPageMan::ChangeNavButtons_EnableBack(int enable, int keepVisible)
{
    if (!backId
        || (!GetDlgItem(static_cast<int>(backId)) && !(IsSkinSet() && skin->FindArea(static_cast<int>(backId)))))
        return;
    ShowButton(backId, enable || keepVisible);
    EnableButton(btnBack, enable);
}

void ZnDlgPageMan::UpdateNavButtons()
{
    const int count = GetPageCount();
    if ((count == 1 && ShouldChangeNextToOkIfOnePage()) || (wizard && activePage && IsActivePageLast()))
        ChangeNavButtons_NextToOK();
    else
        ChangeNavButtons_OKToNext();
}

void ZnDlgPageMan::SetHeaderText(const wchar_t* format, ...)
{
    if (!headerId || !format)
        return;
    wchar_t text[headerTextSize];
    va_list args;
    va_start(args, format);
    StrFormatV(text, headerTextSize, format, args);
    va_end(args);
    SetDlgItemTextW(static_cast<int>(headerId), text);
}

int ZnDlgPageMan::DoBtnNext()
{
    if (!activePage)
        return 1;
    if (!activePage->PreBtnNext())
        return 0;
    // Nothing else of the manager may be pressed while the page decides.
    ZnWndEnabler off(hWnd);
    return activePage->OnBtnNext();
}

void ZnDlgPageMan::BroadcastMsgToPages(UINT msg, WPARAM wParam, LPARAM lParam)
{
    for (POS pos = pages.GetHeadPos(); pos;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (page->GetHwnd() && IsWindow(page->GetHwnd()))
            SendMessageW(page->GetHwnd(), msg, wParam, lParam);
    }
}

int ZnDlgPageMan::Do(int disableOwner, int id, HINSTANCE instance, HWND parent)
{
    return ModelessWithLoop(disableOwner, id, instance, parent) == IDOK;
}

int ZnDlgPageMan::Do(HWND)
{
    return 0;
}

// --- virtual operations ----------------------------------------------------------------------------

void ZnDlgPageMan::OnReady()
{
}

int ZnDlgPageMan::ShouldChangeNextToOkIfOnePage()
{
    return 1;
}

int ZnDlgPageMan::ShouldKeepBackBtnVisible()
{
    return 0;
}

void ZnDlgPageMan::UpdatePagesFromData()
{
    for (POS pos = pages.GetHeadPos(); pos;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (IsPageOpen(page) && page->WereControlsUpdated())
            page->UpdateControls();
    }
}

void ZnDlgPageMan::UpdateDataFromPages()
{
    for (POS pos = pages.GetHeadPos(); pos;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (IsPageOpen(page) && page->WereControlsUpdated())
            page->UpdateData();
    }
}

void ZnDlgPageMan::OnPageUpdateData()
{
}

void ZnDlgPageMan::OnUpdateHeaderText(int show)
{
    if (headerId)
        ShowDlgItem(static_cast<int>(headerId), show);
}

int ZnDlgPageMan::OnApply(int code)
{
    if (applying)
        return 0;
    applying = 1;
    int agreed = 1;
    if (ZnDlgPage* page = activePage) {
        if (!page->OnKillActive(code) || !page->OnApply()) {
            page->OnSetActive();
            agreed = 0;
        }
    }
    for (POS pos = pages.GetHeadPos(); pos && agreed;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (page == activePage || !IsPageOpen(page))
            continue;
        if (!page->OnApply()) {
            agreed = 0;
            Activate(page, 1, 0);
        }
    }
    applying = 0;
    return agreed;
}

// --- overrides -------------------------------------------------------------------------------------

LRESULT ZnDlgPageMan::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = ZnDlg::OnInitDialog(wParam, lParam);
    for (int& one : parked)
        one = 0;
    if (placeholderId)
        ShowDlgItem(static_cast<int>(placeholderId), 0);
    if (headerId && startIndex >= 0)
        OnUpdateHeaderText(0);

    if (tips.Create(hWnd)) {
        const unsigned int ids[] = {IDOK, IDCANCEL, IDHELP, backId, nextId};
        for (unsigned int id : ids) {
            if (HWND button = id ? GetDlgItem(static_cast<int>(id)) : nullptr)
                tips.AddToolWnd(hWnd, button, 1);
        }
    }

    activePage = nullptr;
    activePageWnd = nullptr;
    refusedOnce = 0;
    const int count = GetPageCount();
    if (count) {
        int start = startIndex < 0 ? 0 : startIndex;
        if (start >= count)
            start = count - 1;
        // The page has the focus: the dialog manager must not move it.
        if (SetActivePage(start, 1) && activePageWnd && IsChild(activePageWnd, GetFocus()))
            answer = 0;
    }
    if (nextId)
        UpdateNavButtons();
    return answer;
}

LRESULT ZnDlgPageMan::OnNotify(int id, NMHDR* header)
{
    return ZnDlg::OnNotify(id, header);
}

LRESULT ZnDlgPageMan::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_MOUSEWHEEL:
        if (activePage && activePageWnd && IsWindowVisible(activePageWnd)) {
            activePage->OnWmMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 1;
        }
        break;
    case WM_UPDATEUISTATE: {
        LRESULT answer = ZnDlg::OnDlgMessage(msg, wParam, lParam);
        if (activePageWnd && IsWindow(activePageWnd))
            RedrawWindow(activePageWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        return answer;
    }
    default:
        break;
    }
    return ZnDlg::OnDlgMessage(msg, wParam, lParam);
}

LRESULT ZnDlgPageMan::OnOK()
{
    if (closing || closed || applying)
        return 0;
    if (!OnApply(1))
        return 0;
    return ZnDlg::OnOK();
}

int ZnDlgPageMan::OnNavButton(unsigned int id)
{
    ZnDlgPage* page = activePage;
    if (!page)
        return id == IDOK;
    if (!page->IsUpdateOnCommand() && !page->UpdateData())
        return 0;
    const int wasAutoPop = page->IsAutoPop();
    if (id == backId ? !page->OnBtnBack() : !DoBtnNext())
        return 0;
    // Finishing: the apply and close passes run once, through OnOK.
    if (id == IDOK)
        return 1;
    SetNextPage(id != backId);
    if (closed || !hWnd || !IsWindow(hWnd))
        return 0;
    if (wasAutoPop && page != activePage && GetPageIndex(page) >= 0)
        PopPage(page);
    return 1;
}

LRESULT ZnDlgPageMan::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    const bool button = code == BN_CLICKED || (code == 1 && !control);
    if (button && id && (id == backId || id == nextId || (wizard && id == IDOK))) {
        // A press of a button that is not there, or not enabled (an
        // accelerator, a late delayed press), does nothing.
        if (!IsButtonLive(id))
            return 1;
        if (!OnNavButton(id))
            return 1;
        if (id != IDOK) {
            OnButtonClicked(id);
            return 1;
        }
    }
    return ZnDlg::OnCommand(id, code, control);
}

int ZnDlgPageMan::GetTootTip(unsigned int id, wchar_t* buffer, unsigned int size)
{
    const wchar_t* text = nullptr;
    if (id == IDOK)
        text = L"OK";
    else if (id == IDCANCEL)
        text = L"Cancel";
    else if (id == IDHELP)
        text = L"Help";
    else if (id && id == backId)
        text = L"Back [Alt+B]";
    else if (id && id == nextId)
        text = L"Next [Alt+N]";
    if (!text || !buffer || !size)
        return ZnDlg::GetTootTip(id, buffer, size);
    lstrcpynW(buffer, text, static_cast<int>(size));
    return 1;
}

int ZnDlgPageMan::CanClose(int code)
{
    if (activePage && IsPageOpen(activePage)) {
        if (!activePage->OnKillActive(code) || !activePage->CanClose(code))
            return 0;
    }
    if (wizard)
        return 1;
    for (POS pos = pages.GetHeadPos(); pos;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (page == activePage || !IsPageOpen(page))
            continue;
        if (!page->CanClose(code)) {
            Activate(page, 1, 0);
            return 0;
        }
    }
    return 1;
}

void ZnDlgPageMan::DoClose(int code)
{
    ZnDlg::DoClose(code);
    if (activePage && activePage->GetHwnd())
        activePage->DoClose(code);
    for (POS pos = pages.GetHeadPos(); pos;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (page != activePage && page->GetHwnd() && IsWindow(page->GetHwnd()))
            page->DoClose(code);
    }
}

void ZnDlgPageMan::OnResize(int dx, int dy)
{
    ZnDlg::OnResize(dx, dy);
    if (placeholderId)
        ResizeCtrl(static_cast<int>(placeholderId), dx, dy);
    if (headerId)
        ResizeCtrl(static_cast<int>(headerId), dx, 0);
    const unsigned int buttons[] = {backId, nextId, IDOK, IDCANCEL, IDHELP};
    for (unsigned int id : buttons) {
        const int slot = ButtonSlot(id, backId, nextId);
        if (slot < 0 || !GetDlgItem(static_cast<int>(id)))
            continue;
        if (parked[slot]) {
            MoveCtrl(static_cast<int>(id), dx, 0);
            parkedTop[slot] += dy;
        } else {
            MoveCtrl(static_cast<int>(id), dx, dy);
        }
    }
    FitPagesToPlaceholder();
}

void ZnDlgPageMan::FitPagesToPlaceholder()
{
    RECT place;
    if (!placeholderId || !GetDlgItemRect(static_cast<int>(placeholderId), &place))
        return;
    for (POS pos = pages.GetHeadPos(); pos;) {
        auto* page = static_cast<ZnDlgPage*>(pages.GetNext(pos));
        if (page->GetHwnd() && IsWindow(page->GetHwnd()))
            SetWindowPos(page->GetHwnd(), nullptr, place.left, place.top, place.right - place.left,
                place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ZnDlgPageMan::OnActivate(int active)
{
    ZnDlg::OnActivate(active);
    if (activePage && activePageWnd)
        activePage->OnWmActivate(active);
    if (active && focusItemId && hWnd)
        QueueAction(actionRestoreFocus, refocusDelayMs);
}

void ZnDlgPageMan::OnDelayedAction(unsigned long action)
{
    unsigned int pressed = 0;
    switch (action) {
    case actionRestoreFocus:
        if (activePage && activePageWnd && focusItemId) {
            HWND control = ::GetDlgItem(activePageWnd, focusItemId);
            focusItemId = 0;
            if (control) {
                if (!IsWindowVisible(activePageWnd))
                    ShowWindow(activePageWnd, SW_SHOW);
                FocusPageItem(control);
            }
        }
        return;
    case actionPressBack:
        pressed = backId;
        break;
    case actionPressNext:
        pressed = nextId;
        break;
    case actionPressOK:
        pressed = IDOK;
        break;
    default:
        ZnDlg::OnDelayedAction(action);
        return;
    }
    if (pressed && hWnd)
        PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(pressed, BN_CLICKED),
            reinterpret_cast<LPARAM>(GetDlgItem(static_cast<int>(pressed))));
}

// --- the keyboard ----------------------------------------------------------------------------------

int ZnDlgPageMan::PreTranslateMessage(MSG* msg)
{
    if (!msg || !hWnd || msg->message != WM_KEYDOWN || (msg->hwnd != hWnd && !IsChild(hWnd, msg->hwnd)))
        return ZnDlg::PreTranslateMessage(msg);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (ctrl) {
        // With Back or Next buttons the order of the pages is theirs alone.
        if (backId || nextId || alt)
            return 0;
        switch (msg->wParam) {
        case VK_TAB:
            SetNextPage(!shift);
            return 1;
        case VK_PRIOR:
            SetNextPage(0);
            return 1;
        case VK_NEXT:
            SetNextPage(1);
            return 1;
        default:
            return 0;
        }
    }
    if (msg->wParam == VK_TAB && !alt)
        return OnTabKey(GetFocus(), shift);
    return 0;
}

int ZnDlgPageMan::OnTabKey(HWND focus, int backward)
{
    if (!activePageWnd || !IsWindowVisible(activePageWnd) || !focus)
        return 0;
    if (IsChild(activePageWnd, focus)) {
        HWND inside = NextStop(activePageWnd, DirectChild(activePageWnd, focus), backward, nullptr, false);
        if (inside) {
            FocusPageItem(inside);
            return 1;
        }
        HWND out = NextStop(hWnd, activePageWnd, backward, activePageWnd, true);
        if (!out || out == activePageWnd) {
            // Nothing of the manager takes the focus: round the page again.
            FocusPageItem(NextStop(activePageWnd, nullptr, backward, nullptr, false));
            return 1;
        }
        SendMessageW(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(out), TRUE);
        return 1;
    }
    if (focus != hWnd && !IsChild(hWnd, focus))
        return 0;
    HWND next = NextStop(hWnd, focus == hWnd ? nullptr : DirectChild(hWnd, focus), backward, activePageWnd, true);
    if (next != activePageWnd)
        return 0;
    FocusPageItem(NextStop(activePageWnd, nullptr, backward, nullptr, false));
    return 1;
}
