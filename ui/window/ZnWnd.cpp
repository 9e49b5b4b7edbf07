#include "ui/window/ZnWnd.h"

#include <atomic>
#include <cstdint>

#include "base/LibraryEntry.h"
#include "ui/window/internal/WindowBinding.h"
#include "ui/window/internal/WndClass.h"
#include "base/ShellSubclass.h"
#include "text/ResStr.h"
#include "base/StrFormat.h"

namespace {

const wchar_t propName[] = L"ZNWND";

using Binding = WindowBinding<ZnWnd>;

// The window procedure needs the object of every message, and reading the
// window property costs a trip to the window server on some platforms
// (about 60 µs under Wine). So each thread remembers the objects of the
// last windows it looked up. An entry is only as good as the binding it
// saw: every unbinding, anywhere, advances the generation and so empties
// every thread's memory before an object can go or a handle be reused.
std::atomic<unsigned> bindingGeneration{1};

struct LookupCache {
    static constexpr size_t slots = 16;
    unsigned generation;
    HWND window[slots];
    ZnWnd* object[slots];
};
thread_local LookupCache lookupCache;

void ForgetLookups()
{
    bindingGeneration.fetch_add(1, std::memory_order_acq_rel);
}

ZnWnd* LookUp(HWND h)
{
    LookupCache& cache = lookupCache;
    unsigned generation = bindingGeneration.load(std::memory_order_acquire);
    if (cache.generation != generation) {
        cache = {};
        cache.generation = generation;
    }
    auto value = reinterpret_cast<uintptr_t>(h);
    size_t slot = ((value >> 2) ^ (value >> 7)) % LookupCache::slots;
    if (cache.window[slot] == h && cache.object[slot]->hWnd == h)
        return cache.object[slot];
    ZnWnd* object = ZnWnd::FromHandle(h);
    if (object) {
        cache.window[slot] = h;
        cache.object[slot] = object;
    }
    return object;
}

} // namespace

ZnWnd* ZnWnd::GetWndInit()
{
    return Binding::Pending();
}

// --- WMHook ------------------------------------------------------------------------

int WMHook::OnWndMessage(ZnWnd*, UINT, WPARAM, LPARAM, LRESULT*)
{
    return 0;
}

int WMHook::OnDlgMessage(ZnDlg*, UINT, WPARAM, LPARAM, LRESULT*)
{
    return 0;
}

void WMHook::AddToWnd(ZnWnd* wnd)
{
    wnd->AddWndHook(this);
}

void WMHook::RemoveFromWnd(ZnWnd* wnd)
{
    wnd->RemoveWndHook(this);
}

// --- lifetime ----------------------------------------------------------------------

ZnWnd::ZnWnd()
    : hWnd(nullptr), autoDelete(0), ncDestroyed(0), prevWndProc(nullptr), isDialog(0), isControl(0),
      shellSubclassed(0), messageDepth(0), removeHooksPending(0), delayedActionId(0), timerWnd(nullptr),
      timerId(0), timerEventId(0)
{
}

ZnWnd::~ZnWnd()
{
    ForgetLookups();
    StopDelayTimer();
    Binding::Forget(this);
    if (hWnd && IsWindow(hWnd) && GetPropW(hWnd, propName) == this)
        CommonUnsubclass();
}

int ZnWnd::IsKindOf(const wchar_t* className)
{
    return className && lstrcmpW(className, L"ZnWnd") == 0;
}

void ZnWnd::PreInit()
{
}

int ZnWnd::PreTranslateMessage(MSG*)
{
    return 0;
}

void ZnWnd::OnDelayedActionWnd(unsigned long)
{
    StopDelayTimer();
    delayedActionId = 0;
}

void ZnWnd::OnPostNcDestroy()
{
    RemoveAllWndHooks();
}

void ZnWnd::OnClickActivate()
{
}

void ZnWnd::OnActivate(int)
{
}

void ZnWnd::OnEnable(int)
{
}

void ZnWnd::OnSystemSettingChange(WPARAM wParam, LPARAM lParam)
{
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ZnWnd* wnd = FromHandle(child))
            wnd->OnSystemSettingChange(wParam, lParam);
}

ZnWnd* ZnWnd::FromHandle(HWND h)
{
    if (!h)
        return nullptr;
    auto* wnd = static_cast<ZnWnd*>(GetPropW(h, propName));
    return wnd && wnd->hWnd == h ? wnd : nullptr;
}

// --- classes and creation -------------------------------------------------------

ATOM ZnWnd::RegisterClassExW(const wchar_t* className, UINT style, HICON icon, HICON iconSmall, HBRUSH background,
                             HCURSOR cursor, const wchar_t* menuName, int classExtra, int windowExtra)
{
    return RegisterLibraryClass(className, WndProc, style, icon, iconSmall, background, cursor, menuName, classExtra,
                                windowExtra);
}

ATOM ZnWnd::RegisterClassExWithWndExtra(const wchar_t* className, int windowExtra)
{
    return RegisterClassExW(className, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, windowExtra);
}

int ZnWnd::UnregisterClassW(const wchar_t* className)
{
    return ::UnregisterClassW(className, hiDLL);
}

int ZnWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y, int cx, int cy,
                  HWND parent, HMENU menu, void* param)
{
    return CreateEx(0, className, windowName, style, x, y, cx, cy, parent, menu, param);
}

int ZnWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                    int cx, int cy, HWND parent, HMENU menu, void* param)
{
    prevWndProc = DefWindowProcW;
    HWND made = Binding::Create(this, exStyle, className, windowName, style, x, y, cx, cy, parent, menu, param);
    hWnd = made;
    return made != nullptr;
}

// --- binding -------------------------------------------------------------------------

LRESULT CALLBACK ZnWnd::WndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ZnWnd* target = LookUp(h);
    if (!target) {
        target = Binding::Bind(h, propName);
        if (!target)
            return 0;
        target->PreInit();
    }
    return target->Dispatch(msg, wParam, lParam);
}

LRESULT CALLBACK ZnWnd::ShellSubclassProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refData)
{
    return reinterpret_cast<ZnWnd*>(refData)->Dispatch(msg, wParam, lParam);
}

LRESULT ZnWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++messageDepth;
    LRESULT result = hWnd ? OnWndMessage(msg, wParam, lParam) : 0;
    if (--messageDepth == 0) {
        PurgeRemovedHooks();
        if (ncDestroyed)
            FinishDestroy();  // may delete this object: nothing may follow
    }
    return result;
}

void ZnWnd::FinishDestroy()
{
    ForgetLookups();
    ncDestroyed = 0;
    OnPostNcDestroy();
    CommonUnsubclass();
    int deleteSelf = autoDelete;
    hWnd = nullptr;
    if (deleteSelf)
        delete this;
}

int ZnWnd::Subclass(HWND h)
{
    if (!h)
        h = hWnd;
    if (!h || !IsWindow(h))
        return 0;
    return CommonSubclass(h);
}

int ZnWnd::CommonSubclass(HWND h)
{
    if (ShellSubclass::IsReady()) {
        if (!ShellSubclass::Set(h, ShellSubclassProc, reinterpret_cast<DWORD_PTR>(this)))
            return 0;
        hWnd = h;
        shellSubclassed = 1;
        SetPropW(h, propName, this);
        return 1;
    }
    if (prevWndProc)
        return 0;  // already chained to a procedure
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC));
    if (!previous)
        return 0;
    hWnd = h;
    prevWndProc = previous;
    SetPropW(h, propName, this);
    SetLastError(0);
    if (!SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProc)) && GetLastError()) {
        RemovePropW(h, propName);
        prevWndProc = nullptr;
        hWnd = nullptr;
        return 0;
    }
    return 1;
}

int ZnWnd::Unsubclass()
{
    return CommonUnsubclass();
}

int ZnWnd::CommonUnsubclass()
{
    if (!hWnd)
        return 0;
    ForgetLookups();
    if (shellSubclassed) {
        if (ShellSubclass::IsReady())
            ShellSubclass::Remove(hWnd, ShellSubclassProc);
        shellSubclassed = 0;
    } else if (prevWndProc) {
        // Windows of our own classes keep the class procedure.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == WndProc &&
            prevWndProc != DefWindowProcW)
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevWndProc));
        prevWndProc = nullptr;
    }
    RemovePropW(hWnd, propName);
    return 1;
}

int ZnWnd::Attach(HWND h)
{
    ForgetLookups();
    hWnd = h;
    return h != nullptr;
}

HWND ZnWnd::Detach()
{
    ForgetLookups();
    HWND h = hWnd;
    hWnd = nullptr;
    return h;
}

void ZnWnd::Destroy()
{
    if (hWnd && IsWindow(hWnd))
        DestroyWindow(hWnd);
}

int ZnWnd::IsReady() const
{
    return hWnd && IsWindow(hWnd);
}

// --- dispatch and hooks ------------------------------------------------------------

LRESULT ZnWnd::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DoWndMessage(msg, wParam, lParam, nullptr);
    switch (msg) {
    case WM_NCDESTROY:
        ncDestroyed = 1;
        break;
    case WM_TIMER:
        if (timerId && wParam == timerEventId)
            OnDelayedActionWnd(delayedActionId);
        break;
    case WM_SETTINGCHANGE:
        OnSystemSettingChange(wParam, lParam);
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        if (LOWORD(wParam) == WA_CLICKACTIVE)
            OnClickActivate();
        break;
    case WM_ENABLE:
        OnEnable(static_cast<int>(wParam));
        break;
    default:
        break;
    }
    return result;
}

LRESULT ZnWnd::DoWndMessage(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after)
{
    ++messageDepth;
    LRESULT answer = 0;
    bool handled = false;
    POS pos = hooks.GetHeadPos();
    if (after) {
        while (pos && hooks.GetNext(pos) != after) {
        }
    }
    while (pos && !handled) {
        // Removed hooks stay in the list as null until the dispatch ends.
        auto* hook = static_cast<WMHook*>(hooks.GetNext(pos));
        if (!hook)
            continue;
        LRESULT result = 0;
        if (hook->OnWndMessage(this, msg, wParam, lParam, &result)) {
            answer = result;
            handled = true;
        }
    }
    if (!handled) {
        if (shellSubclassed)
            answer = ShellSubclass::Default(hWnd, msg, wParam, lParam);
        else
            answer = CallWindowProcW(prevWndProc ? prevWndProc : DefWindowProcW, hWnd, msg, wParam, lParam);
    }
    if (--messageDepth == 0)
        PurgeRemovedHooks();
    return answer;
}

void ZnWnd::AddWndHook(WMHook* hook)
{
    if (hook)
        hooks.AddHead(hook);
}

void ZnWnd::RemoveWndHook(WMHook* hook)
{
    POS pos = hooks.Find(hook);
    if (!pos)
        return;
    if (messageDepth)
        hooks.SetAt(pos, nullptr);
    else
        hooks.RemoveAt(pos);
}

void ZnWnd::RemoveAllWndHooks()
{
    if (messageDepth)
        removeHooksPending = 1;
    else
        hooks.RemoveAll();
}

void ZnWnd::PurgeRemovedHooks()
{
    if (removeHooksPending) {
        removeHooksPending = 0;
        hooks.RemoveAll();
        return;
    }
    for (POS pos = hooks.GetHeadPos(); pos;) {
        if (hooks.GetAt(pos))
            hooks.GetNext(pos);
        else
            hooks.RemoveAt(pos);
    }
}

// --- delayed action -------------------------------------------------------------

void ZnWnd::StopDelayTimer()
{
    if (timerId)
        KillTimer(timerWnd, timerWnd ? timerEventId : timerId);
    timerId = 0;
}

int ZnWnd::DelayActionWnd(unsigned long action, unsigned long delayMs)
{
    StopDelayTimer();
    if (delayMs == 0) {
        delayedActionId = 0;
        return 1;
    }
    delayedActionId = action;
    timerWnd = hWnd;
    if (!timerEventId)
        timerEventId = 1;
    timerId = SetTimer(hWnd, timerEventId, delayMs, nullptr);
    if (!timerId)
        delayedActionId = 0;
    return timerId != 0;
}

// --- wrappers ------------------------------------------------------------------------

void ZnWnd::InvalidateUpdate(const RECT* rect, BOOL erase)
{
    InvalidateRect(hWnd, rect, erase);
    UpdateWindow(hWnd);
}

BOOL ZnWnd::PostCmd(UINT id, HWND from, UINT code)
{
    return PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
}

namespace {

BOOL SetFormattedText(HWND hwnd, const wchar_t* format, va_list args)
{
    wchar_t text[1024];
    StrFormatV(text, 1024, format ? format : L"", args);
    return SetWindowTextW(hwnd, text);
}

BOOL SetResourceFormattedText(HWND hwnd, HINSTANCE module, int stringId, va_list args)
{
    ResStr format;
    format.Load(stringId, module);
    return SetFormattedText(hwnd, format, args);
}

} // namespace

BOOL ZnWnd::SetText(int stringId, ...)
{
    va_list args;
    va_start(args, stringId);
    BOOL done = SetResourceFormattedText(hWnd, hiDLL, stringId, args);
    va_end(args);
    return done;
}

BOOL ZnWnd::SetTextFmt(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    BOOL done = SetFormattedText(hWnd, format, args);
    va_end(args);
    return done;
}

BOOL ZnWnd::SetTextFmt(HINSTANCE module, int stringId, ...)
{
    va_list args;
    va_start(args, stringId);
    BOOL done = SetResourceFormattedText(hWnd, module, stringId, args);
    va_end(args);
    return done;
}

DWORD ZnWnd::GetStyle(int extended) const
{
    return static_cast<DWORD>(GetWindowLongPtrW(hWnd, extended ? GWL_EXSTYLE : GWL_STYLE));
}

DWORD ZnWnd::SetStyle(DWORD style, int extended)
{
    return static_cast<DWORD>(SetWindowLongPtrW(hWnd, extended ? GWL_EXSTYLE : GWL_STYLE, style));
}

DWORD ZnWnd::SetStyleBits(DWORD bits, int set)
{
    DWORD style = GetStyle(0);
    return SetStyle(set ? style | bits : style & ~bits, 0);
}

DWORD ZnWnd::ModifyStyle(DWORD remove, DWORD add, int extended)
{
    return SetStyle((GetStyle(extended) & ~remove) | add, extended);
}

void ZnWnd::SetIcon(HICON icon, int which)
{
    if (which & 1)
        SendMessageW(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (which & 2)
        SendMessageW(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}
