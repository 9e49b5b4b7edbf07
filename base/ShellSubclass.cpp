#include "base/ShellSubclass.h"

#include "base/CritSec.h"

namespace ShellSubclass {

int subclassState = -1;
unsigned __int64 subclassId = 0;
wchar_t propName[5] = {};

namespace {

typedef BOOL(WINAPI* SetWindowSubclassFn)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
typedef BOOL(WINAPI* RemoveWindowSubclassFn)(HWND, SUBCLASSPROC, UINT_PTR);
typedef LRESULT(WINAPI* DefSubclassProcFn)(HWND, UINT, WPARAM, LPARAM);

SetWindowSubclassFn pSetWindowSubclass = nullptr;
RemoveWindowSubclassFn pRemoveWindowSubclass = nullptr;
DefSubclassProcFn pDefSubclassProc = nullptr;
// A second copy of the DefSubclassProc pointer: when the two disagree the
// first was overwritten, and the functions are looked up again.
DefSubclassProcFn pDefSubclassProcCheck = nullptr;

CritSec shellLock;

} // namespace

namespace {

// Under shellLock.
void Name(unsigned __int64 id, const wchar_t* prop)
{
    subclassId = id;
    lstrcpynW(propName, prop ? prop : L"", 5);
}

} // namespace

void Prepare(unsigned __int64 id, const wchar_t* prop)
{
    if (subclassState != -1)
        return;
    CritSecLock lock(shellLock);
    Name(id, prop);
}

void Initialize(unsigned __int64 id, const wchar_t* prop)
{
    if (subclassState != -1)
        return;
    CritSecLock lock(shellLock);
    Name(id, prop);
    HMODULE comctl = GetModuleHandleW(L"COMCTL32");
    if (comctl) {
        pSetWindowSubclass = reinterpret_cast<SetWindowSubclassFn>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "SetWindowSubclass")));
        pRemoveWindowSubclass = reinterpret_cast<RemoveWindowSubclassFn>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "RemoveWindowSubclass")));
        pDefSubclassProc = reinterpret_cast<DefSubclassProcFn>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "DefSubclassProc")));
    } else {
        pSetWindowSubclass = nullptr;
        pRemoveWindowSubclass = nullptr;
        pDefSubclassProc = nullptr;
    }
    pDefSubclassProcCheck = pDefSubclassProc;
    subclassState = pSetWindowSubclass && pRemoveWindowSubclass && pDefSubclassProc ? 1 : 0;
}

void ReInitialize()
{
    subclassState = -1;
    wchar_t prop[5];
    lstrcpynW(prop, propName, 5);
    Initialize(subclassId, prop);
}

int IsReady()
{
    if (subclassState == -1)
        ReInitialize();
    return subclassState;
}

BOOL Set(HWND hwnd, SUBCLASSPROC proc, unsigned __int64 refData)
{
    CritSecLock lock(shellLock);
    return pSetWindowSubclass ? pSetWindowSubclass(hwnd, proc, subclassId, refData) : FALSE;
}

BOOL Remove(HWND hwnd, SUBCLASSPROC proc)
{
    CritSecLock lock(shellLock);
    return pRemoveWindowSubclass ? pRemoveWindowSubclass(hwnd, proc, subclassId) : FALSE;
}

LRESULT Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!pDefSubclassProc || pDefSubclassProc != pDefSubclassProcCheck)
        ReInitialize();
    return pDefSubclassProc ? pDefSubclassProc(hwnd, msg, wParam, lParam)
                            : DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Lock()
{
    shellLock.Enter();
}

void Unlock()
{
    shellLock.Leave();
}

} // namespace ShellSubclass

// --- ShellSubclasser ---------------------------------------------------------

ShellSubclasser::ShellSubclasser(WNDPROC initialPrevProc) : prevProc(initialPrevProc), hwnd(nullptr)
{
}

int ShellSubclasser::Subclass(HWND window)
{
    if (!ShellSubclass::IsReady())
        return Subclass_Win2K(window);
    if (!ShellSubclass::Set(window, ShellSubclasserProc, reinterpret_cast<DWORD_PTR>(this)))
        return 0;
    hwnd = window;
    return 1;
}

int ShellSubclasser::Subclass_Win2K(HWND window)
{
    ShellSubclass::Lock();
    int done = 0;
    if (!GetPropW(window, ShellSubclass::propName)) {
        prevProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        SetPropW(window, ShellSubclass::propName, this);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ShellSubclasserWndProc_Win2K));
        hwnd = window;
        done = 1;
    }
    ShellSubclass::Unlock();
    return done;
}

int ShellSubclasser::Unsubclass()
{
    if (ShellSubclass::IsReady()) {
        if (!ShellSubclass::Remove(hwnd, ShellSubclasserProc))
            return 0;
    } else if (!Unsubclass_Win2K()) {
        return 0;
    }
    hwnd = nullptr;
    return 1;
}

int ShellSubclasser::Unsubclass_Win2K()
{
    ShellSubclass::Lock();
    int done = 0;
    if (GetPropW(hwnd, ShellSubclass::propName)) {
        RemovePropW(hwnd, ShellSubclass::propName);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevProc));
        prevProc = nullptr;
        done = 1;
    }
    ShellSubclass::Unlock();
    return done;
}

LRESULT ShellSubclasser::OnWndMsg(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (ShellSubclass::IsReady())
        return ShellSubclass::Default(window, msg, wParam, lParam);
    return CallWindowProcW(prevProc, window, msg, wParam, lParam);
}

LRESULT CALLBACK ShellSubclasser::ShellSubclasserProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                                      UINT_PTR, DWORD_PTR refData)
{
    auto* self = reinterpret_cast<ShellSubclasser*>(refData);
    LRESULT result = self->OnWndMsg(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        self->Unsubclass();
    return result;
}

LRESULT CALLBACK ShellSubclasser::ShellSubclasserWndProc_Win2K(HWND window, UINT msg, WPARAM wParam,
                                                               LPARAM lParam)
{
    auto* self = static_cast<ShellSubclasser*>(GetPropW(window, ShellSubclass::propName));
    if (!self)
        return DefWindowProcW(window, msg, wParam, lParam);
    LRESULT result = self->OnWndMsg(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY && GetPropW(window, ShellSubclass::propName)) {
        RemovePropW(window, ShellSubclass::propName);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->prevProc));
        self->prevProc = nullptr;
        self->hwnd = nullptr;
    }
    return result;
}
