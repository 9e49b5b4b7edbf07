// ZnWnd: the framework's window object. It binds itself to a Win32 window
// (through the window property "ZNWND"), routes every message of that
// window to virtual handlers, lets WMHook objects see the messages first,
// and gives the window a one-shot delayed-action timer.
//
// A window is bound either by creating it from a class registered with
// RegisterClassExW (the class procedure binds on the first message) or by
// subclassing an existing window. Everything belongs to the window's thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "base/PVDLLApi.h"
#include "base/ZnList.h"

class ZnDlg;
class ZnWnd;

// A message hook, asked before the window's own handler. Hooks are not
// owned by the windows they are added to.
class PVDLL_API WMHook {
public:
    virtual ~WMHook() = default;
    // Non-zero: handled, and *result is the answer.
    virtual int OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual int OnDlgMessage(ZnDlg* dlg, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    void AddToWnd(ZnWnd* wnd);
    void RemoveFromWnd(ZnWnd* wnd);
    // The same on a dialog's own hook chain (see ZnDlg).
    void AddToDlg(ZnDlg* dlg);
    void RemoveFromDlg(ZnDlg* dlg);
};

class PVDLL_API ZnWnd {
public:
    ZnWnd();
    // Stops the delayed-action timer and, when the object is still bound
    // to a live window, unbinds it (property and window procedure) so the
    // window never calls into a deleted object. It does not destroy the
    // window.
    virtual ~ZnWnd();
    // An object stands for one window and owns its hook list.
    ZnWnd(const ZnWnd&) = delete;
    ZnWnd& operator=(const ZnWnd&) = delete;

    // Exact, case-sensitive class names: "ZnWnd" here.
    virtual int IsKindOf(const wchar_t* className);
    // Called once, when the window procedure binds the object.
    virtual void PreInit();
    virtual int PreTranslateMessage(MSG* msg);
    // The default stops the timer: delayed actions are one-shot.
    virtual void OnDelayedActionWnd(unsigned long action);
    virtual LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void OnPostNcDestroy();
    virtual void OnClickActivate();
    virtual void OnActivate(int active);
    virtual void OnEnable(int enabled);
    // Forwards to every direct child that carries a bound ZnWnd.
    virtual void OnSystemSettingChange(WPARAM wParam, LPARAM lParam);

    // --- classes, creation, binding ---
    static ATOM RegisterClassExW(const wchar_t* className, UINT style, HICON icon, HICON iconSmall,
                                 HBRUSH background, HCURSOR cursor, const wchar_t* menuName, int classExtra,
                                 int windowExtra);
    static ATOM RegisterClassExWithWndExtra(const wchar_t* className, int windowExtra);
    static int UnregisterClassW(const wchar_t* className);
    int Create(const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y, int cx, int cy,
               HWND parent, HMENU menu, void* param);
    int CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                 int cx, int cy, HWND parent, HMENU menu, void* param);
    // Binds to an existing window (null: the current hWnd); fails when the
    // platform refuses or the window has no procedure to chain to.
    int Subclass(HWND h = nullptr);
    int Unsubclass();
    int Attach(HWND h);
    HWND Detach();
    void Destroy();
    int IsReady() const;
    int IsDlg() { return IsKindOf(L"ZnDlg"); }
    HWND GetHwnd() const { return hWnd; }
    operator HWND() const { return hWnd; }

    // The object bound to a window, or null.
    static ZnWnd* FromHandle(HWND h);

    // --- hooks (the hook added last is asked first) ---
    void AddWndHook(WMHook* hook);
    // Removal while the window is dispatching a message takes effect when
    // the outermost dispatch returns.
    void RemoveWndHook(WMHook* hook);
    void RemoveAllWndHooks();
    // Dispatches to the hooks behind `after` (all when null), then to the
    // previous window procedure.
    LRESULT DoWndMessage(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after);

    // --- delayed action ---
    int DelayActionWnd(unsigned long action, unsigned long delayMs);
    int IsDelayActionPending() const { return timerId != 0; }

    // --- thin wrappers over the bound handle ---
    BOOL Redraw(UINT flags) { return RedrawWindow(hWnd, nullptr, nullptr, flags); }
    BOOL Invalidate(const RECT* rect = nullptr, BOOL erase = FALSE) { return InvalidateRect(hWnd, rect, erase); }
    BOOL InvalidateErase(const RECT* rect = nullptr) { return InvalidateRect(hWnd, rect, TRUE); }
    BOOL v(const RECT* rect = nullptr) { return ValidateRect(hWnd, rect); }
    void InvalidateUpdate(const RECT* rect = nullptr, BOOL erase = FALSE);
    LRESULT SendMsg(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(hWnd, msg, wParam, lParam); }
    BOOL PostMsg(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return PostMessageW(hWnd, msg, wParam, lParam); }
    BOOL PostCmd(UINT id, HWND from = nullptr, UINT code = 0);
    BOOL ClickButton(UINT id) { return PostMessageW(hWnd, WM_COMMAND, id, 0); }
    int HasFocus() const { return hWnd && GetFocus() == hWnd; }
    int IsActive() const { return hWnd && GetActiveWindow() == hWnd; }
    int IsForeground() const { return hWnd && GetForegroundWindow() == hWnd; }
    HWND SetFocus() { return ::SetFocus(hWnd); }
    BOOL Enable(bool enable) { return EnableWindow(hWnd, enable); }
    BOOL Show(bool show) { return ShowWindow(hWnd, show ? SW_SHOW : SW_HIDE); }
    int GetTextLength() const { return GetWindowTextLengthW(hWnd); }
    int GetText(wchar_t* buffer, int count) const { return GetWindowTextW(hWnd, buffer, count); }
    BOOL SetText(const wchar_t* text) { return SetWindowTextW(hWnd, text); }
    // The string resource (see ResStr) used as a format.
    BOOL SetText(int stringId, ...);
    BOOL SetTextFmt(const wchar_t* format, ...);
    BOOL SetTextFmt(HINSTANCE module, int stringId, ...);
    DWORD GetStyle(int extended = 0) const;
    DWORD SetStyle(DWORD style, int extended = 0);
    DWORD SetStyleBits(DWORD bits, int set);
    DWORD ModifyStyle(DWORD remove, DWORD add, int extended = 0);
    // which: 1 sets the small icon, 2 the big one.
    void SetIcon(HICON icon, int which);
    HWND GetParent() const { return ::GetParent(hWnd); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)); }

    static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ShellSubclassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR refData);

    // The object whose window is being created on this thread, until the
    // window procedure binds it (null otherwise).
    static ZnWnd* GetWndInit();

    HWND hWnd;
    int autoDelete;

protected:
    int CommonSubclass(HWND h);
    int CommonUnsubclass();

    int ncDestroyed;
    WNDPROC prevWndProc;
    int isDialog;
    int isControl;
    int shellSubclassed;
    int messageDepth;
    ZnList hooks;
    int removeHooksPending;
    unsigned long delayedActionId;
    HWND timerWnd;
    UINT_PTR timerId;
    UINT_PTR timerEventId;

private:
    // Runs one message through OnWndMessage; the outermost dispatch of a
    // destroyed window finishes the unbinding (and may delete the object).
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void FinishDestroy();
    void StopDelayTimer();
    void PurgeRemovedHooks();
};
