// Opening a help page: the page (a file, a URL) goes to the shell's "open"
// verb. Internal.
#pragma once

#include <windows.h>

// Non-zero when the shell took the page. Never shows an error box of its
// own: the caller reports a failure.
int ZnHtmlHelp(HWND window, const wchar_t* page);
