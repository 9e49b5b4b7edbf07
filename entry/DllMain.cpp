// The library's entry routine: records the module handle, prepares window
// subclassing and registers the library's own module record.
#include <windows.h>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "base/ShellSubclass.h"
#include "entry/StartMenuNames.h"

namespace {

// Attaches not yet balanced by a detach.
int attachCount = 0;
AppInstance* libraryApp = nullptr;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        hiDLL = module;
        DisableThreadLibraryCalls(module);
        ShellSubclass::Initialize(16, L"SMNU");
        if (attachCount == 0) {
            libraryApp = new AppInstance(hiDLL, nullptr);
            libraryApp->SetAppRootKey(PVDLL_PRODUCT_ROOT_KEY);
        }
        ++attachCount;
        break;
    case DLL_PROCESS_DETACH:
        if (--attachCount == 0) {
            ReleaseStartMenuTranslations();
            delete libraryApp;
            libraryApp = nullptr;
        }
        break;
    default:
        break;
    }
    return TRUE;
}
