// Window subclassing, the shell's own windows included. Where COMCTL32 is
// loaded in the process, windows are subclassed with SetWindowSubclass;
// otherwise a window property ("SMNU" for this library) carries the object
// and the window procedure is replaced.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "base/PVDLLApi.h"

namespace ShellSubclass {

// -1 not initialised, 0 COMCTL32's subclass functions are unavailable,
// 1 ready.
PVDLL_API extern int subclassState;
PVDLL_API extern unsigned __int64 subclassId;
PVDLL_API extern wchar_t propName[5];

// Names the subclass id and fallback property without looking anything up
// yet: the library's entry calls this, and the lookup waits for the first
// subclass (IsReady), so that loading the library costs no module search.
PVDLL_API void Prepare(unsigned __int64 id, const wchar_t* prop);
// Looks up the subclass functions in the already loaded COMCTL32 (it is
// never loaded here); only the first call does anything.
PVDLL_API void Initialize(unsigned __int64 id, const wchar_t* prop);
PVDLL_API void ReInitialize();
PVDLL_API int IsReady();
PVDLL_API BOOL Set(HWND hwnd, SUBCLASSPROC proc, unsigned __int64 refData);
PVDLL_API BOOL Remove(HWND hwnd, SUBCLASSPROC proc);
PVDLL_API LRESULT Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Serialises every subclass installation and removal in the process.
PVDLL_API void Lock();
PVDLL_API void Unlock();

} // namespace ShellSubclass

// Subclasses one window at a time; override OnWndMsg to see its messages.
// The window is released automatically when it is destroyed.
class PVDLL_API ShellSubclasser {
public:
    explicit ShellSubclasser(WNDPROC initialPrevProc = nullptr);
    virtual ~ShellSubclasser() = default;
    ShellSubclasser(const ShellSubclasser&) = delete;
    ShellSubclasser& operator=(const ShellSubclasser&) = delete;

    int Subclass(HWND hwnd);
    int Unsubclass();
    HWND GetHwnd() const { return hwnd; }

    // The default passes the message on to the window's previous handler.
    virtual LRESULT OnWndMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    WNDPROC prevProc;
    HWND hwnd;

private:
    int Subclass_Win2K(HWND window);
    int Unsubclass_Win2K();
    static LRESULT CALLBACK ShellSubclasserProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK ShellSubclasserWndProc_Win2K(HWND, UINT, WPARAM, LPARAM);
};
