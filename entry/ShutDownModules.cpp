// ProductInfo::ShutDownMyModules lives here, above the product object's own
// file: it waits with the wait cursor and steps a progress object, and both
// belong to layers that the product object must not depend on.
#include "base/ProductInfo.h"
#include "progress/ProgressEx.h"
#include "ui/window/ZnWaitCursor.h"

void ProductInfo::ShutDownMyModules(HWND, ProgressEx* progress, unsigned seconds)
{
    ZnWaitCursor wait;
    BroadcastMyMessage(1, GetID());
    BroadcastMyMessage(16, GetID());
    for (unsigned i = 0; i < seconds; ++i) {
        if (progress)
            progress->StepIt();
        Sleep(1000);
    }
}
