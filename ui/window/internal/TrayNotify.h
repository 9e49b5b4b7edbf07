// Where the tray icon sends its notify records: the shell's
// Shell_NotifyIconW, unless the library's tests hand it one of their own
// (a headless Wine has no notification area to look at).
//
// Exported for the library's tests; not part of the installed interface.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/PVDLLApi.h"

using ShellNotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

// null: the shell's own function again.
PVDLL_API void SetShellNotifyFunction(ShellNotifyFunction fn);
BOOL ShellNotify(DWORD message, PNOTIFYICONDATAW data);
