// Icons of dialogs: a negative id names an icon of this library, a positive
// one an icon of the given module or, without one, of the current
// application module (the library itself when none is registered).
// Internal.
#pragma once

#include <windows.h>

// The icon at cx by cy pixels; null when there is none. The caller owns it.
HICON LoadDlgIcon(HINSTANCE module, int iconId, int cx, int cy);
