#include "ui/window/internal/TrayNotify.h"

#include <atomic>

namespace {

std::atomic<ShellNotifyFunction> notifyFunction{nullptr};

} // namespace

void SetShellNotifyFunction(ShellNotifyFunction fn)
{
    notifyFunction.store(fn);
}

BOOL ShellNotify(DWORD message, PNOTIFYICONDATAW data)
{
    if (ShellNotifyFunction fn = notifyFunction.load())
        return fn(message, data);
    return Shell_NotifyIconW(message, data);
}
