#include "ui/window/CoreWnd.h"

#include "base/LibraryEntry.h"
#include "ui/window/internal/WindowBinding.h"
#include "ui/window/internal/WndClass.h"

namespace {

const wchar_t propName[] = L"COREWND";

using Binding = WindowBinding<CoreWnd>;

} // namespace

CoreWnd* CoreWnd::GetWndInit()
{
    return Binding::Pending();
}

CoreWnd::CoreWnd() : hWnd(nullptr), prevWndProc(nullptr), autoDelete(keepObject)
{
}

CoreWnd::~CoreWnd()
{
    Binding::Forget(this);
    if (hWnd && IsWindow(hWnd) && GetPropW(hWnd, propName) == this)
        RemovePropW(hWnd, propName);
}

LRESULT CoreWnd::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(prevWndProc ? prevWndProc : DefWindowProcW, hWnd, msg, wParam, lParam);
}

ATOM CoreWnd::RegisterClassExW(const wchar_t* className, UINT style, HICON icon, HICON iconSmall, HBRUSH background,
                               HCURSOR cursor, const wchar_t* menuName, int classExtra, int windowExtra)
{
    return RegisterLibraryClass(className, WndProc, style, icon, iconSmall, background, cursor, menuName, classExtra,
                                windowExtra);
}

int CoreWnd::UnregisterClassW(const wchar_t* className)
{
    return ::UnregisterClassW(className, hiDLL);
}

int CoreWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y, int cx, int cy,
                    HWND parent, HMENU menu, void* param)
{
    return CreateEx(0, className, windowName, style, x, y, cx, cy, parent, menu, param);
}

int CoreWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x,
                      int y, int cx, int cy, HWND parent, HMENU menu, void* param)
{
    prevWndProc = DefWindowProcW;
    HWND made = Binding::Create(this, exStyle, className, windowName, style, x, y, cx, cy, parent, menu, param);
    hWnd = made;
    return made != nullptr;
}

void CoreWnd::Destroy()
{
    if (hWnd && IsWindow(hWnd))
        DestroyWindow(hWnd);
}

// The object stays alive until the outermost message of its window returns,
// so a handler that destroys its own window is never left in a deleted
// object.
LRESULT CALLBACK CoreWnd::WndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* target = static_cast<CoreWnd*>(GetPropW(h, propName));
    if (!target || target->hWnd != h) {
        target = Binding::Bind(h, propName);
        if (!target)
            return 0;
    }
    ++target->messageDepth;
    LRESULT result = target->OnWndMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        target->ncDestroyed = true;
    if (--target->messageDepth == 0 && target->ncDestroyed) {
        target->ncDestroyed = false;
        RemovePropW(h, propName);
        target->hWnd = nullptr;
        if (target->autoDelete == deleteObject)
            delete target;
    }
    return result;
}
