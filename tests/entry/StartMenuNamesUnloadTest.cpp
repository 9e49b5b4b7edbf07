// The system modules StartMenuNames maps as data only for their strings are
// given back at once, and a translation file that cannot be read for want
// of memory is not kept. Answers are cached for the life of the process, so
// the first test sees modules being loaded only when it runs before the
// other StartMenuNames tests (as it does in a full run of this executable);
// otherwise it is skipped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/ImportHook.h"
#include "common/FailingHeap.h"

namespace {

typedef BOOL(WINAPI* DllMainFn)(HINSTANCE, DWORD, LPVOID);

DllMainFn LibraryEntry()
{
    return reinterpret_cast<DllMainFn>(reinterpret_cast<void*>(GetProcAddress(hiDLL, "DllMain")));
}

// Records the modules the library loads and frees while alive.
class ModuleCalls {
public:
    ModuleCalls()
        : loads("kernel32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&Load)),
          frees("kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(&Free))
    {
        loaded.clear();
        freed.clear();
        self = this;
    }
    ~ModuleCalls() { self = nullptr; }
    bool Hooked() const { return loads.Hooked() && frees.Hooked(); }

    static inline std::vector<HMODULE> loaded;
    static inline std::vector<HMODULE> freed;

private:
    typedef HMODULE(WINAPI* LoadFn)(LPCWSTR, HANDLE, DWORD);
    typedef BOOL(WINAPI* FreeFn)(HMODULE);
    static HMODULE WINAPI Load(LPCWSTR name, HANDLE file, DWORD flags)
    {
        HMODULE module = self->loads.Original<LoadFn>()(name, file, flags);
        if (module)
            loaded.push_back(module);
        return module;
    }
    static BOOL WINAPI Free(HMODULE module)
    {
        freed.push_back(module);
        return self->frees.Original<FreeFn>()(module);
    }
    ImportHook loads;
    ImportHook frees;
    static inline ModuleCalls* self = nullptr;
};

const wchar_t* const moduleKeys[] = {
    L"Menu.DevicesAndPrinters", L"Menu.ControlPanel", L"Menu.Help",    L"Menu.Internet", L"Menu.Logoff",
    L"Menu.LogoffShort",        L"Menu.Restart",      L"Menu.Lock",    L"Menu.Run",      L"Menu.Settings",
};

} // namespace

TEST(DataModules, EveryModuleMappedForItsStringsIsFreedAtOnce)
{
    ModuleCalls calls;
    ASSERT_TRUE(calls.Hooked());
    for (const wchar_t* key : moduleKeys) {
        size_t loadsBefore = ModuleCalls::loaded.size();
        size_t freesBefore = ModuleCalls::freed.size();
        const wchar_t* name = TranslateDll(key, L"fallback");
        ASSERT_NE(name, nullptr) << key;
        EXPECT_NE(name[0], L'\0') << key;
        // Each one loaded for this key is freed once before the answer.
        const std::vector<HMODULE> loads(ModuleCalls::loaded.begin() + loadsBefore, ModuleCalls::loaded.end());
        const std::vector<HMODULE> frees(ModuleCalls::freed.begin() + freesBefore, ModuleCalls::freed.end());
        EXPECT_EQ(loads, frees) << key;
    }
    EXPECT_EQ(ModuleCalls::loaded.size(), ModuleCalls::freed.size());
    if (ModuleCalls::loaded.empty())
        GTEST_SKIP() << "every module was loaded already or is missing, or the answers were cached";
}

TEST(DataModules, TranslationLookupWithoutMemoryAnswersTheFallbackAndTriesAgainLater)
{
    DllMainFn dllMain = LibraryEntry();
    ASSERT_NE(dllMain, nullptr);
    SetFindTranslationCallback(nullptr);
    // Drop whatever was read, so that the next lookup reads the file.
    dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr);
    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr));
    {
        FailingHeap noHeap;
        ASSERT_TRUE(noHeap.Hooked());
        EXPECT_STREQ(TranslateDll(L"DataModules.NoSuchKey", L"fallback"), L"fallback");
    }
    EXPECT_STREQ(TranslateDll(L"DataModules.NoSuchKey", L"fallback"), L"fallback");
}
