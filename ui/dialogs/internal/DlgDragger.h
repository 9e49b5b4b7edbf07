// The drag hook of the framework's dialogs: the body drags the dialog,
// except over the skin's visible areas, which stay clickable. Internal.
#pragma once

#include "ui/window/FullWndDragger.h"

class DlgDragger : public FullWndDragger {
protected:
    int IsOverArea(ZnWnd* wnd, POINT client) override;
    // Unless the dialog asks for no arrow over its draggable body.
    int ShowsArrowOverCaption(ZnWnd* wnd) override;
};
