#include "ui/dialogs/internal/HtmlHelp.h"

#include <shellapi.h>

int ZnHtmlHelp(HWND window, const wchar_t* page)
{
    if (!page || !*page)
        return 0;
    // The no-UI flag: a failure must reach the dialog's OnHtmlHelpError, not
    // a message box of the shell's that nobody may be there to close.
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = window;
    info.lpVerb = L"open";
    info.lpFile = page;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) ? 1 : 0;
}
