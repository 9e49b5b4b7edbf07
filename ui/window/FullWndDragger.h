// FullWndDragger: a hook that lets the user drag a window by any point of
// its client area, except over the clickable areas of a skinned dialog,
// where it shows the hand cursor instead.
#pragma once

#include <windows.h>

#include "ui/window/ZnWnd.h"

class PVDLL_API FullWndDragger : public WMHook {
public:
    FullWndDragger() = default;
    FullWndDragger(const FullWndDragger&) = delete;
    FullWndDragger& operator=(const FullWndDragger&) = delete;

    int OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    // Whether a clickable area of the window's skin lies under the client
    // point; windows without a skin have none. The dialog layer answers
    // for skinned dialogs.
    virtual int IsOverArea(ZnWnd* wnd, POINT client);
    // Whether the arrow is shown over the caption of this dialog.
    virtual int ShowsArrowOverCaption(ZnWnd* wnd);

private:
    HCURSOR Arrow();
    HCURSOR Hand();

    HCURSOR arrowCursor = nullptr;
    HCURSOR handCursor = nullptr;
    int overArea = 0;
    int hitTested = 0;
};
