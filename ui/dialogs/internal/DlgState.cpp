#include "ui/dialogs/internal/DlgState.h"

#include "base/Owners.h"

#include <atomic>
#include <utility>

#include "ui/dialogs/ZnDlg.h"

namespace DlgState {

const wchar_t propName[] = L"ZNDLG";

namespace {

// Per thread: dialogs are made on several user-interface threads at once,
// and a hook installed by one thread sees only that thread's windows.
thread_local ZnDlg* pendingDlg = nullptr;
thread_local int pendingTemplateId = 0;
thread_local HWND* bindingNote = nullptr;
thread_local ZnDlg* dispatching = nullptr;
// A plain handle, not an owner: with mingw's emulated thread-local storage
// the destructor of a thread_local ran at thread exit on storage already
// given back, corrupting the process heap (a dialog thread's end then left
// the heap locked for good). The system takes a thread's hooks away when
// the thread ends; UpdateHook removes it as soon as nobody wants it.
thread_local HHOOK creationHook = nullptr;
thread_local int hookUsers = 0;

std::atomic<HWND> lastInitialised{nullptr};
std::atomic<int> frameX{-1};
std::atomic<int> frameY{-1};

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

// The hook is there while a dialog waits for its window, or while a caller
// holds it. Every window made under it costs a call into the hook, so it
// goes as soon as the dialog is bound: the dialog's controls are made
// without it.
void UpdateHook()
{
    bool wanted = hookUsers > 0 || pendingDlg != nullptr;
    if (wanted && !creationHook)
        creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    else if (!wanted && creationHook)
        HookHandle(std::exchange(creationHook, nullptr));
}

bool IsDialogClass(HWND window)
{
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) && lstrcmpiW(name, L"#32770") == 0;
}

// Binds the pending dialog to its window before the window's first
// message, so that everything from WM_NCCREATE on runs inside the object's
// own dispatch.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && pendingDlg) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogClass(window)) {
            ZnDlg* dlg = pendingDlg;
            ZnDlg::SubclassDlg(window);
            if (FromHandle(window) == dlg) {
                auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
                dlg->OnPreCreate(create->lpcs);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

ZnDlg* FromHandle(HWND window)
{
    return window ? static_cast<ZnDlg*>(GetPropW(window, propName)) : nullptr;
}

Dispatch::Dispatch(ZnDlg* dlg) : outer(dispatching)
{
    dispatching = dlg;
}

Dispatch::~Dispatch()
{
    dispatching = outer;
}

ZnDlg* Dispatching(HWND window)
{
    ZnDlg* dlg = dispatching;
    return dlg && window && dlg->hWnd == window ? dlg : nullptr;
}

void Arm(ZnDlg* dlg, int templateId)
{
    pendingDlg = dlg;
    pendingTemplateId = templateId;
    UpdateHook();
}

ZnDlg* Pending()
{
    return pendingDlg;
}

ZnDlg* Take(int* templateId)
{
    ZnDlg* dlg = pendingDlg;
    if (templateId)
        *templateId = pendingTemplateId;
    pendingDlg = nullptr;
    pendingTemplateId = 0;
    UpdateHook();
    return dlg;
}

void Forget(ZnDlg* dlg)
{
    if (pendingDlg == dlg) {
        pendingDlg = nullptr;
        pendingTemplateId = 0;
        UpdateHook();
    }
}

void NoteBinding(HWND* note)
{
    bindingNote = note;
}

void NoteBound(HWND window)
{
    if (bindingNote && !*bindingNote)
        *bindingNote = window;
}

void HookUser(int on)
{
    if (on)
        ++hookUsers;
    else if (hookUsers > 0)
        --hookUsers;
    UpdateHook();
}

void SetLastInitialised(HWND window)
{
    lastInitialised.store(window);
}

HWND LastInitialised()
{
    return lastInitialised.load();
}

void ForgetLastInitialised(HWND window)
{
    HWND expected = window;
    lastInitialised.compare_exchange_strong(expected, nullptr);
}

void RefreshFrameSizes()
{
    frameX.store(GetSystemMetrics(SM_CXFRAME));
    frameY.store(GetSystemMetrics(SM_CYFRAME));
}

int FrameX()
{
    if (frameX.load() < 0)
        RefreshFrameSizes();
    return frameX.load();
}

int FrameY()
{
    if (frameY.load() < 0)
        RefreshFrameSizes();
    return frameY.load();
}

bool BringOntoMonitor(RECT& rect)
{
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
        return false;
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        return false;
    const RECT& work = info.rcWork;
    int dx = 0;
    int dy = 0;
    // A rectangle larger than the work area keeps its top-left corner in it.
    if (rect.right > work.right)
        dx = work.right - rect.right;
    if (rect.left + dx < work.left)
        dx = work.left - rect.left;
    if (rect.bottom > work.bottom)
        dy = work.bottom - rect.bottom;
    if (rect.top + dy < work.top)
        dy = work.top - rect.top;
    OffsetRect(&rect, dx, dy);
    return true;
}

} // namespace DlgState
