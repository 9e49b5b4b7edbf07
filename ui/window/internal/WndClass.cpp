#include "ui/window/internal/WndClass.h"

#include "base/LibraryEntry.h"

ATOM RegisterLibraryClass(const wchar_t* className, WNDPROC proc, UINT style, HICON icon, HICON iconSmall,
                          HBRUSH background, HCURSOR cursor, const wchar_t* menuName, int classExtra,
                          int windowExtra)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.cbClsExtra = classExtra;
    wc.cbWndExtra = windowExtra;
    wc.hInstance = hiDLL;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszMenuName = menuName;
    wc.lpszClassName = className;
    wc.hIconSm = iconSmall;
    return ::RegisterClassExW(&wc);
}
