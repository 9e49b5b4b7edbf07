// ZnWaitCursor: shows the wait cursor for a scope and puts back the cursor
// that was there before.
#pragma once

#include <windows.h>

class ZnWaitCursor {
public:
    ZnWaitCursor() : previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~ZnWaitCursor() { SetCursor(previous); }
    ZnWaitCursor(const ZnWaitCursor&) = delete;
    ZnWaitCursor& operator=(const ZnWaitCursor&) = delete;

private:
    HCURSOR previous;
};
