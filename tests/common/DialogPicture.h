// Pictures of dialogs under the null graphics driver.
#pragma once

#include <windows.h>

#include "common/DrawProbe.h"

// The client area put together piece by piece: the dialog's background
// (with its grip), then every visible control, bottom of the z-order
// first. Under the null driver this is what gives the controls. Each
// control paints into a picture of its own at the origin: Wine's buttons
// clip their painting to their client rectangle mapped through the DC's
// origin, so a moved origin leaves them blank.
void ComposeClientArea(HWND dialog, Canvas& canvas);
