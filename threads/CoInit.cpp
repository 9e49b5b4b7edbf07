#include "threads/CoInit.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

thread_local long threadRefs = 0;
thread_local bool threadInitialized = false;

} // namespace

CoInit::CoInit() : initialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

CoInit::~CoInit()
{
    if (initialized)
        CoUninitialize();
}

CoInitEx::CoInitEx()
{
    if (++threadRefs != 1)
        return;
    threadInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

CoInitEx::~CoInitEx()
{
    if (--threadRefs != 0)
        return;
    if (threadInitialized)
        CoUninitialize();
    threadInitialized = false;
}

long CoInitEx::GetRef()
{
    return threadRefs;
}
