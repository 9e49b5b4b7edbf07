#include "ui/window/internal/CtrlDialogLink.h"

#include <atomic>

namespace {

std::atomic<const CtrlDialogLink*> dialogLink{nullptr};

} // namespace

void SetCtrlDialogLink(const CtrlDialogLink* link)
{
    dialogLink.store(link, std::memory_order_release);
}

const CtrlDialogLink* GetCtrlDialogLink()
{
    return dialogLink.load(std::memory_order_acquire);
}
