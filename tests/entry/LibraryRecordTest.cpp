// The library's own module record and the product's root keys when memory
// runs out: nothing half-made is left, and an attach that cannot register
// the library fails.
#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"
#include "common/FailingHeap.h"

namespace {

typedef BOOL(WINAPI* DllMainFn)(HINSTANCE, DWORD, LPVOID);

DllMainFn LibraryEntry()
{
    return reinterpret_cast<DllMainFn>(reinterpret_cast<void*>(GetProcAddress(hiDLL, "DllMain")));
}

} // namespace

TEST(LibraryRecord, PushedRootKeyStaysWhenItsReplacementFindsNoMemory)
{
    ProductInfo& product = *GetMyProductInfo();
    product.PushAppRootKey(L"HKCU\\Software\\PVDLLTest\\Pushed");
    {
        FailingHeap noHeap;
        ASSERT_TRUE(noHeap.Hooked());
        product.PushAppRootKey(L"HKCU\\Software\\PVDLLTest\\Lost");
    }
    EXPECT_STREQ(product.GetAppRootKey(), L"HKCU\\Software\\PVDLLTest\\Pushed");
    product.PopAppRootKey();
    EXPECT_STRNE(product.GetAppRootKey(), L"HKCU\\Software\\PVDLLTest\\Pushed");
}

TEST(LibraryRecord, ModuleRootKeyStaysWhenItsReplacementFindsNoMemory)
{
    AppInstance app(GetModuleHandleW(nullptr), L"PVDLLTestComponent");
    ASSERT_NE(app.rootKey, nullptr);
    std::wstring before = app.rootKey;
    unsigned length = app.rootKeyLength;
    {
        FailingHeap noHeap;
        app.SetAppRootKey(L"HKCU\\Software\\PVDLLTest\\Lost");
    }
    EXPECT_EQ(before, app.rootKey);
    EXPECT_EQ(app.rootKeyLength, length);
    EXPECT_EQ(ProductInfo::pCurrentApp, &app);
    app.SetAppRootKey(nullptr);
    EXPECT_EQ(app.rootKey, nullptr);
    EXPECT_EQ(app.rootKeyLength, 0u);
}

TEST(LibraryRecord, AttachWithoutMemoryForTheRecordFailsAndLeavesNothing)
{
    DllMainFn dllMain = LibraryEntry();
    ASSERT_NE(dllMain, nullptr);
    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr));
    ASSERT_TRUE(ProductInfo::listApp.IsEmpty());
    {
        FailingHeap noHeap;
        ASSERT_TRUE(noHeap.Hooked());
        EXPECT_FALSE(dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr));
    }
    EXPECT_TRUE(ProductInfo::listApp.IsEmpty());
    EXPECT_EQ(ProductInfo::pCurrentApp, nullptr);
    // The system detaches after a failed attach; that has nothing to undo.
    EXPECT_TRUE(dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr));
    EXPECT_TRUE(ProductInfo::listApp.IsEmpty());

    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr));
    ASSERT_NE(ProductInfo::pCurrentApp, nullptr);
    EXPECT_EQ(ProductInfo::pCurrentApp->hInstance, hiDLL);
    EXPECT_EQ(ProductInfo::listApp.GetCount(), 1);
    EXPECT_STREQ(GetMyProductInfo()->GetAppRootKey(), PVDLL_PRODUCT_ROOT_KEY);
}
