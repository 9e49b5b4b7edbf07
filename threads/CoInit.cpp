#include "threads/CoInit.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

thread_local long threadRefs = 0;
thread_local bool threadInitialized = false;

// The common controls of the process (version 6 where the host's manifest
// asks for it). The library does not import COMCTL32 itself, so it never
// pulls a second, older copy into the shell's process.
void InitCommonControlsOfTheProcess()
{
    typedef BOOL(WINAPI * InitFn)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = GetModuleHandleW(L"COMCTL32");
    if (!comctl)
        comctl = LoadLibraryW(L"comctl32.dll");
    auto init = comctl ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
                       : nullptr;
    if (init) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        init(&icc);
    }
}

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
    InitCommonControlsOfTheProcess();
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
