#include "progress/internal/ProgressClock.h"

#include <atomic>

namespace {

std::atomic<ProgressTickSource> tickSource{nullptr};

} // namespace

void SetProgressTickSource(ProgressTickSource source)
{
    tickSource.store(source);
}

DWORD ProgressTickNow()
{
    ProgressTickSource source = tickSource.load();
    return source ? source() : GetTickCount();
}
