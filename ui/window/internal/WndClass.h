// Window classes registered by the library's window objects: always in the
// library's own module, with the object's binding procedure. Internal.
#pragma once

#include <windows.h>

ATOM RegisterLibraryClass(const wchar_t* className, WNDPROC proc, UINT style, HICON icon, HICON iconSmall,
                          HBRUSH background, HCURSOR cursor, const wchar_t* menuName, int classExtra,
                          int windowExtra);
