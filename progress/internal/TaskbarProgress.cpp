#include "progress/internal/TaskbarProgress.h"

#include <atomic>

namespace {

std::atomic<TaskbarListFactory> taskbarFactory{nullptr};

} // namespace

void SetTaskbarListFactory(TaskbarListFactory factory)
{
    taskbarFactory.store(factory);
}

int HasTaskbarProgress()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version))
        return 0;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT
        && (version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion > 0));
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
