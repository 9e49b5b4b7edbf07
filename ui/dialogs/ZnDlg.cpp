// ZnDlg: construction, binding to the window, creation, the hook chain,
// the dialog's own message loop and the delayed action.
#include "ui/dialogs/ZnDlg.h"

#include <new>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "base/internal/DllHeap.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/internal/DlgLink.h"
#include "ui/dialogs/internal/DlgState.h"

namespace {

// The delay timer's event id: apart from the window's own delayed action
// (ZnWnd, event 1) and from the small ids a dialog's code tends to use.
constexpr UINT delayTimerEvent = 0x7A44;

// A negative id, or no module, names a template of this library.
HINSTANCE TemplateModule(int& templateId, HINSTANCE module)
{
    if (templateId < 0) {
        templateId = -templateId;
        return hiDLL;
    }
    return module ? module : hiDLL;
}

// End messages of other dialogs' loops that reached a nested loop: they
// are handed back to the queue when the nested loop ends, so the loop they
// belong to still sees them.
class ForeignEnds {
public:
    void Keep(const MSG& msg)
    {
        if (count < capacity)
            kept[count++] = msg;
        else
            PostThreadMessageW(GetCurrentThreadId(), msg.message, msg.wParam, msg.lParam);
    }
    void Repost()
    {
        for (int i = 0; i < count; ++i)
            PostThreadMessageW(GetCurrentThreadId(), kept[i].message, kept[i].wParam, kept[i].lParam);
        count = 0;
    }

private:
    static constexpr int capacity = 16;
    MSG kept[capacity];
    int count = 0;
};

// The end message of the loop for window, taken out of the queue; -1 when
// there is none.
int TakeEndMessage(HWND window)
{
    int code = -1;
    ForeignEnds foreign;
    MSG msg;
    // (HWND)-1: thread messages only.
    while (PeekMessageW(&msg, reinterpret_cast<HWND>(-1), ZnDlg::msgEndOwnLoop, ZnDlg::msgEndOwnLoop, PM_REMOVE)) {
        if (reinterpret_cast<HWND>(msg.wParam) == window)
            code = static_cast<int>(msg.lParam);
        else
            foreign.Keep(msg);
    }
    foreign.Repost();
    return code;
}

} // namespace

// --- WMHook on a dialog's chain ---------------------------------------------------

void WMHook::AddToDlg(ZnDlg* dlg)
{
    if (dlg)
        dlg->AddDlgHook(this);
}

void WMHook::RemoveFromDlg(ZnDlg* dlg)
{
    if (dlg)
        dlg->RemoveDlgHook(this);
}

// --- life --------------------------------------------------------------------------------

ZnDlg::ZnDlg(ZnDlgSkin* dialogSkin)
    : modeless(0),
      runOwnLoop(0),
      alignment(alignCenter),
      result(-1),
      module(nullptr),
      templateId(0),
      helpId(0),
      singleInstanceId(0),
      controlsUpdated(0),
      childDlg(0),
      updatingControls(0),
      firstShowDone(0),
      initialized(0),
      closing(0),
      closed(0),
      dataUpdated(0),
      skin(dialogSkin),
      dragger(nullptr),
      spareDragger(nullptr),
      parentWnd(nullptr),
      placement(nullptr),
      sizes{},
      flags(0),
      dispatchDepth(0),
      removeDlgHooksPending(0),
      bkgColor(0xFFFFFFFF),
      textColor(0),
      thirdColor(0xFFFFFFFF),
      delayTimer(delayTimerEvent),
      pendingAction(0),
      queuedActions{}
{
    isDialog = 1;
    // Controls reach their dialog only through this table; it must be in
    // place before the first dialog has controls.
    RegisterCtrlDialogLink();
    DlgState::FrameX();
}

ZnDlg::~ZnDlg()
{
    DlgState::Forget(this);
    if (skin && skin->dlg == this)
        skin->UnInit();
    if (hWnd && IsWindow(hWnd)) {
        // The window may outlive the object: its dialog procedure must not
        // find it any more, and it must not keep hooks that go with it.
        if (DlgState::FromHandle(hWnd) == this)
            RemovePropW(hWnd, DlgState::propName);
        if (dragger)
            RemoveWndHook(dragger);
        RemoveWndHook(&handler);
        DlgState::ForgetLastInitialised(hWnd);
    }
    delete dragger;
    delete spareDragger;
    dlgHooks.RemoveAll();
    for (POS pos = ctrlGroups.GetHeadPos(); pos;)
        DllHeap::Free(ctrlGroups.GetNext(pos));
    ctrlGroups.RemoveAll();
    delayTimer.Stop();
    for (ZnTimer& timer : queuedTimers)
        timer.Stop();
}

int ZnDlg::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnDlg") == 0 || ZnWnd::IsKindOf(className));
}

void ZnDlg::PreInit()
{
}

void ZnDlg::OnEnable(int)
{
}

void ZnDlg::OnActivate(int active)
{
    // Topmost only until the user first turns to the dialog.
    if (active && IsFlag(flagTopmostUntilActive) && hWnd) {
        flags &= ~static_cast<unsigned long>(flagTopmostUntilActive);
        SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (skin && skin->dlg == this)
        skin->OnActivate(this, active);
}

void ZnDlg::OnSystemSettingChange(WPARAM wParam, LPARAM lParam)
{
    DlgState::RefreshFrameSizes();
    ZnWnd::OnSystemSettingChange(wParam, lParam);
}

void ZnDlg::OnPostNcDestroy()
{
    ZnWnd::OnPostNcDestroy();
    // The window hooks went with the window; the drag hook is kept for a
    // later window of this object, but is no longer installed.
    if (dragger) {
        delete spareDragger;
        spareDragger = dragger;
        dragger = nullptr;
    }
    RemovePropW(hWnd, DlgState::propName);
    DlgState::ForgetLastInitialised(hWnd);
    // Timers die with the window: a later window of this object starts
    // with an empty queue.
    for (int i = 0; i < queuedActionSlots; ++i) {
        queuedTimers[i].Stop();
        queuedActions[i] = 0;
    }
    if (runOwnLoop) {
        runOwnLoop = 0;
        // The loop learns the code from the message: this object may be
        // deleted (auto-delete) before the loop looks again.
        PostThreadMessageW(
            GetCurrentThreadId(), msgEndOwnLoop, reinterpret_cast<WPARAM>(hWnd), static_cast<LPARAM>(result));
    }
}

int ZnDlg::IsSkinSet() const
{
    return skin && skin->IsSkinSet();
}

ZnDlgSkin* ZnDlg::GetDisplaySkin() const
{
    if (skin)
        return skin;
    if (!childDlg || !hWnd)
        return nullptr;
    // A page shows on the dialog that holds it, however deep.
    for (HWND up = ::GetParent(hWnd); up; up = ::GetParent(up)) {
        if (ZnDlg* holder = DlgState::FromHandle(up))
            return holder->GetDisplaySkin();
    }
    return nullptr;
}

ZnDlg* ZnDlg::GetPendingDlg()
{
    return DlgState::Pending();
}

// --- binding -----------------------------------------------------------------------------

void ZnDlg::SubclassDlg(HWND window)
{
    int id = 0;
    ZnDlg* dlg = DlgState::Take(&id);
    if (!dlg || !window)
        return;
    SetPropW(window, DlgState::propName, dlg);
    // Bound already (the creation hook came first): not subclassed twice.
    if (dlg->hWnd != window)
        dlg->Subclass(window);
    dlg->hWnd = window;
    DlgState::NoteBound(window);
    dlg->templateId = id;
    dlg->closed = 0;
    dlg->closing = 0;
    dlg->initialized = 0;
    dlg->firstShowDone = 0;
    dlg->controlsUpdated = 0;
    dlg->dataUpdated = 0;
    dlg->result = -1;
    // The window side of the built-in handler: grip, borders, skin paint.
    dlg->AddWndHook(&dlg->handler);
    dlg->PreInit();
}

INT_PTR CALLBACK ZnDlg::ModalProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Inside the object's own dispatch the object is known; the property is
    // asked only for messages that come another way.
    ZnDlg* dlg = DlgState::Dispatching(window);
    if (!dlg)
        dlg = DlgState::FromHandle(window);
    if (!dlg) {
        // Only a dialog being made is bound here, at the first message its
        // procedure gets; a dialog window whose object is gone stays plain.
        if (!DlgState::Pending() || (msg != WM_SETFONT && msg != WM_INITDIALOG))
            return FALSE;
        SubclassDlg(window);
        dlg = DlgState::FromHandle(window);
        if (!dlg)
            return FALSE;
    }
    return dlg->OnDlgMessage(msg, wParam, lParam);
}

void ZnDlg::SetDlgHook(int on)
{
    DlgState::HookUser(on);
}

int ZnDlg::ActivateActiveDlg()
{
    HWND last = DlgState::LastInitialised();
    if (!last || !IsWindow(last))
        return 0;
    DWORD_PTR reply = 0;
    SendMessageTimeoutW(last, GetCompanyMessage(), codeActivate, 0, SMTO_ABORTIFHUNG, 1000, &reply);
    return 1;
}

// --- creation ----------------------------------------------------------------------------

LRESULT ZnDlg::Modal(int id, HINSTANCE instance, HWND parent)
{
    module = TemplateModule(id, instance);
    parentWnd = parent;
    modeless = 0;
    // Arming installs the creation hook: it binds the object before the
    // window's first message, which keeps every message of the dialog
    // inside the object's dispatch.
    DlgState::Arm(this, id);
    INT_PTR code = DialogBoxParamW(module, MAKEINTRESOURCEW(id), parent, ModalProc, 0);
    // This object may be gone (auto-delete): only the slot is touched.
    DlgState::Forget(this);
    return code;
}

HWND ZnDlg::Modeless(int id, HINSTANCE instance, HWND parent, int show)
{
    module = TemplateModule(id, instance);
    parentWnd = parent;
    modeless = 1;
    DlgState::Arm(this, id);
    HWND made = CreateDialogParamW(module, MAKEINTRESOURCEW(id), parent, ModalProc, 0);
    DlgState::Forget(this);
    // A dialog that closed itself while being made may have taken its
    // object with it.
    if (!made || !IsWindow(made))
        return nullptr;
    if (show) {
        ShowWindow(made, IsFlag(flagCreateHidden) ? SW_HIDE : SW_SHOW);
        UpdateWindow(made);
    }
    return made;
}

int ZnDlg::CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent)
{
    if (!dialogTemplate)
        return 0;
    module = hiDLL;
    parentWnd = parent;
    modeless = 1;
    DlgState::Arm(this, 0);
    HWND made = CreateDialogIndirectParamW(hiDLL, dialogTemplate, parent, ModalProc, 0);
    DlgState::Forget(this);
    return made != nullptr;
}

int ZnDlg::ModelessWithLoop(int disableOwner, int id, HINSTANCE instance, HWND parent, HWND* created)
{
    runOwnLoop = 1;
    HWND bound = nullptr;
    DlgState::NoteBinding(&bound);
    HWND made = Modeless(id, instance, parent, 1);
    DlgState::NoteBinding(nullptr);
    if (created)
        *created = made;
    if (!made) {
        // Never bound: the object is untouched. Bound and already gone: the
        // object may have gone with its window, and the code waits in the
        // end message.
        if (!bound) {
            runOwnLoop = 0;
            return -1;
        }
        return TakeEndMessage(bound);
    }
    // From here on this object is reached only through its window: it may
    // delete itself with the window while the loop runs.

    HWND owner = parent;
    while (owner && !(GetWindowLongPtrW(owner, GWL_STYLE) & WS_POPUP) && ::GetParent(owner))
        owner = ::GetParent(owner);
    bool disabled = disableOwner && owner && IsWindowEnabled(owner);
    if (disabled)
        EnableWindow(owner, FALSE);

    int code = -1;
    bool ended = false;
    bool quit = false;
    WPARAM quitCode = 0;
    ForeignEnds foreign;
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1)
            break;
        if (msg.message == msgEndOwnLoop && !msg.hwnd) {
            if (reinterpret_cast<HWND>(msg.wParam) == made) {
                code = static_cast<int>(msg.lParam);
                ended = true;
                break;
            }
            foreign.Keep(msg);
            continue;
        }
        ZnDlg* dlg = DlgState::FromHandle(made);
        if (dlg && dlg->PreTranslateMessage(&msg))
            continue;
        if (dlg && IsDialogMessageW(made, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    foreign.Repost();
    if (!ended) {
        // The loop ends before the dialog: it must not end a later loop
        // when it goes.
        if (ZnDlg* dlg = DlgState::FromHandle(made)) {
            dlg->runOwnLoop = 0;
            code = static_cast<int>(dlg->result);
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    if (disabled)
        EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner))
        SetForegroundWindow(owner);
    return code;
}

// --- the hook chain ------------------------------------------------------------------------

void ZnDlg::AddDlgHook(WMHook* hook)
{
    if (hook && hook != &handler)
        dlgHooks.AddHead(hook);
}

void ZnDlg::RemoveDlgHook(WMHook* hook)
{
    POS pos = hook ? dlgHooks.Find(hook) : nullptr;
    if (!pos)
        return;
    // A walk may stand on this node: it leaves the list when the walk ends.
    if (dispatchDepth)
        dlgHooks.SetAt(pos, nullptr);
    else
        dlgHooks.RemoveAt(pos);
}

void ZnDlg::RemoveAllDlgHooks()
{
    if (dispatchDepth)
        removeDlgHooksPending = 1;
    else
        dlgHooks.RemoveAll();
}

LRESULT ZnDlg::DoDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after)
{
    ++dispatchDepth;
    LRESULT answer = 0;
    bool handled = false;
    // The built-in handler is not a node of the list: it always comes last,
    // as a window's own procedure comes after its hooks.
    bool afterHandler = after == &handler;
    POS pos = afterHandler ? nullptr : dlgHooks.GetHeadPos();
    if (after && !afterHandler) {
        while (pos && dlgHooks.GetNext(pos) != after) { }
    }
    while (pos && !handled) {
        auto* hook = static_cast<WMHook*>(dlgHooks.GetNext(pos));
        if (!hook)
            continue;
        LRESULT hookResult = 0;
        if (hook->OnDlgMessage(this, msg, wParam, lParam, &hookResult)) {
            answer = hookResult;
            handled = true;
        }
    }
    if (!handled && !afterHandler) {
        LRESULT own = 0;
        if (handler.OnDlgMessage(this, msg, wParam, lParam, &own))
            answer = own;
    }
    if (--dispatchDepth == 0) {
        if (removeDlgHooksPending) {
            removeDlgHooksPending = 0;
            dlgHooks.RemoveAll();
        } else {
            for (POS at = dlgHooks.GetHeadPos(); at;) {
                if (dlgHooks.GetAt(at))
                    dlgHooks.GetNext(at);
                else
                    dlgHooks.RemoveAt(at);
            }
        }
    }
    return answer;
}

LRESULT ZnDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = DoDlgMessage(msg, wParam, lParam, nullptr);
    // Reading is cheap, writing may not be (it goes to the window server
    // under Wine): most answers are the 0 already there.
    if (hWnd && GetWindowLongPtrW(hWnd, DWLP_MSGRESULT) != answer)
        SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, answer);
    return answer;
}

// --- delayed action ------------------------------------------------------------------------

int ZnDlg::DelayAction(unsigned long action, unsigned long delayMs)
{
    delayTimer.Stop();
    if (delayMs == 0) {
        pendingAction = 0;
        return 1;
    }
    pendingAction = action;
    if (!delayTimer.Start(hWnd, static_cast<UINT>(delayMs), nullptr, delayTimerEvent)) {
        pendingAction = 0;
        return 0;
    }
    return 1;
}

int ZnDlg::QueueAction(unsigned long action, unsigned long delayMs)
{
    if (!action)
        return 0;
    int slot = -1;
    for (int i = 0; i < queuedActionSlots && slot < 0; ++i) {
        if (queuedActions[i] == action)
            slot = i;
    }
    if (slot >= 0) {
        queuedTimers[slot].Stop();
        queuedActions[slot] = 0;
    }
    if (delayMs == 0)
        return 1;
    for (int i = 0; i < queuedActionSlots && slot < 0; ++i) {
        if (!queuedActions[i])
            slot = i;
    }
    if (slot < 0 || !hWnd)
        return 0;
    // Each slot has an event id of its own, next to the single slot's.
    if (!queuedTimers[slot].Start(hWnd, static_cast<UINT>(delayMs), nullptr, delayTimerEvent + 1 + slot))
        return 0;
    queuedActions[slot] = action;
    return 1;
}

int ZnDlg::IsActionQueued(unsigned long action) const
{
    for (unsigned long queued : queuedActions) {
        if (action && queued == action)
            return 1;
    }
    return 0;
}

void ZnDlg::OnDelayedAction(unsigned long)
{
    // The handler stopped the timer and cleared the action before calling:
    // an override may arm the next action from here.
}
