#include "progress/internal/TaskbarProgress.h"

#include <atomic>

#include "base/internal/SystemVersion.h"

namespace {

std::atomic<TaskbarListFactory> taskbarFactory{nullptr};

} // namespace

void SetTaskbarListFactory(TaskbarListFactory factory)
{
    taskbarFactory.store(factory);
}

int HasTaskbarProgress()
{
    return IsSystemAtLeast(6, 1);
}

HRESULT CreateTaskbarList(ComPtr<ITaskbarList3>& out)
{
    out.Reset();
    if (TaskbarListFactory factory = taskbarFactory.load())
        return factory(out);
    HRESULT hr = CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, out.PutVoid());
    if (SUCCEEDED(hr)) {
        hr = out->HrInit();
        if (FAILED(hr))
            out.Reset();
    }
    return hr;
}
