// The Win+X power-user menu, rebuilt on every call from the shortcut
// groups Windows keeps in "%LOCALAPPDATA%\Microsoft\Windows\WinX", with up
// to two submenus of the host. The chosen shortcut is run here; a command
// of the host's submenus is handed back.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

extern "C" {

// -1: there is no WinX folder; 0: nothing shown, dismissed, or a shortcut
// was chosen and run; 1..2047: the host's command. Exported by name. The
// submenus handed in are destroyed with the menu before it returns.
int ShowRightClickMenuWinX(HWND owner, HMENU extraMenu, const wchar_t* extraMenuText, HMENU productMenu);

} // extern "C"

// The first command id of the shortcut items; lower ids belong to the host.
constexpr UINT winXFirstShortcutId = 2048;

// Removes a numbering prefix such as "01 - " from a shortcut's name.
PVDLL_API void StripWinXNumbering(wchar_t* name);
