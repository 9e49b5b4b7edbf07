// CoreWnd: the minimal window object, for modules that want one message
// handler and nothing more. Bound through the window property "COREWND".
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API CoreWnd {
public:
    enum AutoDelete { keepObject = 0, deleteObject = 1 };

    CoreWnd();
    // Unbinds a still-bound window, so it never calls into a deleted object.
    virtual ~CoreWnd();
    CoreWnd(const CoreWnd&) = delete;
    CoreWnd& operator=(const CoreWnd&) = delete;

    // The default passes the message on to prevWndProc.
    virtual LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    static ATOM RegisterClassExW(const wchar_t* className, UINT style, HICON icon, HICON iconSmall,
                                 HBRUSH background, HCURSOR cursor, const wchar_t* menuName, int classExtra,
                                 int windowExtra);
    static int UnregisterClassW(const wchar_t* className);
    int Create(const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y, int cx, int cy,
               HWND parent, HMENU menu, void* param);
    int CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                 int cx, int cy, HWND parent, HMENU menu, void* param);
    void Destroy();
    int IsReady() const { return hWnd && IsWindow(hWnd); }

    static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    // The object whose window is being created on this thread, until the
    // window procedure binds it (null otherwise).
    static CoreWnd* GetWndInit();

    HWND hWnd;
    WNDPROC prevWndProc;
    AutoDelete autoDelete;

private:
    int messageDepth = 0;
    bool ncDestroyed = false;
};
