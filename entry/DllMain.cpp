// The library's entry routine: records the module handle, prepares window
// subclassing and registers the library's own module record.
#include <windows.h>

#include <memory>
#include <new>
#include <utility>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "base/ShellSubclass.h"
#include "entry/StartMenuNames.h"

namespace {

// Attaches not yet balanced by a detach.
int attachCount = 0;
AppInstance* libraryApp = nullptr;

// The library's own module record, under the product's root key. Without
// memory for it the attach fails: running on without the record would
// read and write the settings under the wrong key.
bool RegisterLibrary()
{
    std::unique_ptr<AppInstance> app(new (std::nothrow) AppInstance(hiDLL, nullptr));
    if (!app)
        return false;
    app->SetAppRootKey(PVDLL_PRODUCT_ROOT_KEY);
    if (!app->GetAppRootKey() || ProductInfo::pCurrentApp != app.get())
        return false;
    libraryApp = app.release();
    return true;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        hiDLL = module;
        DisableThreadLibraryCalls(module);
        ShellSubclass::Prepare(16, L"SMNU");
        if (attachCount == 0 && !RegisterLibrary())
            return FALSE;
        ++attachCount;
        break;
    case DLL_PROCESS_DETACH:
        // The system also detaches after an attach that failed; that one
        // has nothing to undo.
        if (attachCount > 0 && --attachCount == 0) {
            ReleaseStartMenuTranslations();
            std::unique_ptr<AppInstance> released(std::exchange(libraryApp, nullptr));
        }
        break;
    default:
        break;
    }
    return TRUE;
}
