// Finding and bringing forward an earlier instance of an application. The
// instances talk through the company message ("CorvennaMessage"); its wParam
// says what is asked:
//   3   activate yourself if your id equals lParam (reply activationReply)
//   4   activate yourself (lParam 0)
//   121 tell whether your id equals lParam (reply non-zero for yes)
// Messages to other windows are sent with a one-second time-out and abort
// when the receiver is hung, so a stuck instance cannot stop the search.
// Call these on a thread that owns windows.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

constexpr LRESULT activationReply = 0x8374B3;

// The first top-level window that activates itself for id, or null.
PVDLL_API HWND ActivatePreviousInstance(unsigned long id);
// For a window procedure: answers 3 (for id) and 4 by bringing window
// forward and returning activationReply; 0 for anything else.
PVDLL_API LRESULT OnActivatePreviousInstance(unsigned long id, HWND window, unsigned int message, WPARAM wParam,
                                             LPARAM lParam);
// Finds a window by class and title (either may be null); with a non-zero
// id, only one that claims the id. Brings it forward; 1 when one was found.
PVDLL_API int ActivatePrevWnd(const wchar_t* className, const wchar_t* title, unsigned short id);
// Finds a window as ActivatePrevWnd does and asks it to close; 1 when one
// was found and took the request.
PVDLL_API int ClosePrevWnd(const wchar_t* className, const wchar_t* title, unsigned short id);
// ActivatePrevWnd for any dialog box.
PVDLL_API int ActivatePrevDlg(unsigned short id);
// Brings window to the foreground, borrowing the input of the thread that
// has the foreground now when that is another thread.
PVDLL_API void DoAttachThreadInputActivateWindow(HWND window);
