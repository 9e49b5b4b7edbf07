#include <gtest/gtest.h>

#include "PVDLL.h"

namespace {

const wchar_t productRoot[] = L"HKCU\\Software\\Corvenna\\Launchora";

ProductInfo& Product()
{
    return *GetMyProductInfo();
}

} // namespace

TEST(ProductIdentity, GettersAnswerLaunchora)
{
    ProductInfo& p = Product();
    EXPECT_EQ(p.GetID(), 21301);
    EXPECT_STREQ(p.GetStoreID(), L"launchora");
    EXPECT_STREQ(p.GetName(), L"Launchora");
    EXPECT_STREQ(p.GetTitleName(), L"Launchora");
    EXPECT_STREQ(p.GetVersionStr(), L"21.7");
    EXPECT_STREQ(p.GetVersionStrLong(1), L"Version <b>21.7</b>");
    EXPECT_STREQ(p.GetVersionStrLong(0), L"Version 21.7");
    EXPECT_EQ(p.GetVersionNum(), 0x15470BE0u);
    EXPECT_EQ(p.GetVersionQWORD(), 0x0015000700010BE0ULL);
    EXPECT_STREQ(p.GetLanguage(), L"en");
    EXPECT_STREQ(p.GetRevisionStr(), L"3040");
    EXPECT_EQ(p.GetRevisionNum(), 3040u);
    EXPECT_STREQ(p.GetCopyrightYear(), L"2021");
    EXPECT_EQ(p.GetIconID(), -101);
    EXPECT_EQ(static_cast<unsigned>(p.GetIconID()), 0xFFFFFF9Bu);
    EXPECT_EQ(p.GetIconInstance(), hiDLL);
    EXPECT_EQ(p.GetReleaseMonth(), 271u);
    EXPECT_STREQ(p.GetOEMStr(), L"");
    EXPECT_STREQ(p.GetMsgTitle(), L"Launchora");
}

TEST(ProductIdentity, ArchitectureStringsFollowTheBuildTarget)
{
    ProductInfo& p = Product();
#if defined(__aarch64__)
    EXPECT_STREQ(p.GetEditionShort(), L"arm64");
    EXPECT_STREQ(p.GetArch(), L" arm64");
    EXPECT_STREQ(p.GetForOS(), L"for Windows\u00AE ARM64");
#else
    EXPECT_STREQ(p.GetEditionShort(), L"x64");
    EXPECT_STREQ(p.GetArch(), L" x64");
    EXPECT_STREQ(p.GetForOS(), L"for Windows\u00AE x64");
#endif
}

TEST(ProductIdentity, VersionWithRevisionSharesOneBuffer)
{
    const wchar_t* first = Product().GetVersionStrRev(0);
    EXPECT_STREQ(first, L"Version 21.7 (rev. 3040)");
    const wchar_t* second = Product().GetVersionStrRev(1);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, L"Version <b>21.7</b> (rev. 3040)");
}

TEST(ProductIdentity, TitleLongJoinsTitleOemAndVersion)
{
    wchar_t title[64];
    EXPECT_STREQ(Product().MakeTitleLong(title, 64), L"Launchora  21.7");
    wchar_t tiny[5];
    Product().MakeTitleLong(tiny, 5);
    EXPECT_STREQ(tiny, L"Laun");
}

TEST(ProductIdentity, LanguageAndVersionChecks)
{
    EXPECT_TRUE(Product().IsLangEN());
    EXPECT_EQ(Product().IsSameVersion(L"21.7"), 1);
    EXPECT_EQ(Product().IsSameVersion(L"Version 21.7"), 1);
    EXPECT_EQ(Product().IsSameVersion(L"v21.8"), 0);
    EXPECT_EQ(Product().IsSameVersion(L"21.7.1"), 0);
    EXPECT_EQ(Product().IsSameVersion(L"no digits"), 0);
    EXPECT_EQ(Product().IsSameVersion(nullptr), 0);
}

TEST(ModuleRegistry, LibraryRegistersItselfUnderTheProductRoot)
{
    EXPECT_STREQ(Product().GetAppRootKey(), productRoot);
    EXPECT_EQ(Product().GetAppInstance(), hiDLL);
    EXPECT_STREQ(Product().GetComponent(), L"Launchora");
    ASSERT_NE(ProductInfo::pCurrentApp, nullptr);
    EXPECT_EQ(ProductInfo::pCurrentApp->hInstance, hiDLL);
}

TEST(ModuleRegistry, ComponentGetsItsOwnRootAndBecomesCurrent)
{
    HINSTANCE exe = GetModuleHandleW(nullptr);
    {
        AppInstance tools(exe, L"Tools");
        EXPECT_STREQ(tools.GetAppRootKey(), L"HKCU\\Software\\Corvenna\\Launchora\\Tools");
        EXPECT_EQ(tools.rootKeyLength, 38u);
        EXPECT_EQ(ProductInfo::pCurrentApp, &tools);
        EXPECT_EQ(Product().GetAppInstance(), exe);
        EXPECT_STREQ(Product().GetComponent(), L"Tools");
        EXPECT_STREQ(Product().GetAppRootKey(), L"HKCU\\Software\\Corvenna\\Launchora\\Tools");
        {
            AppInstance plain(exe, nullptr);
            EXPECT_EQ(plain.GetAppRootKey(), nullptr);
            EXPECT_STREQ(Product().GetComponent(), L"Launchora");
            EXPECT_EQ(ProductInfo::listApp.GetCount(), 3);
        }
        EXPECT_EQ(ProductInfo::pCurrentApp, &tools);
    }
    EXPECT_EQ(Product().GetAppInstance(), hiDLL);
    EXPECT_STREQ(Product().GetAppRootKey(), productRoot);
    EXPECT_EQ(ProductInfo::listApp.GetCount(), 1);
}

TEST(ModuleRegistry, PushedRootKeyWinsUntilPoppedOrAModuleLeaves)
{
    Product().PushAppRootKey(L"HKCU\\Software\\Pushed");
    EXPECT_STREQ(Product().GetAppRootKey(), L"HKCU\\Software\\Pushed");
    Product().PopAppRootKey();
    EXPECT_STREQ(Product().GetAppRootKey(), productRoot);

    {
        AppInstance module(GetModuleHandleW(nullptr), L"Module");
        Product().PushAppRootKey(L"HKCU\\Software\\Pushed");
    }
    EXPECT_STREQ(Product().GetAppRootKey(), productRoot);
    Product().PushAppRootKey(nullptr);
    EXPECT_STREQ(Product().GetAppRootKey(), productRoot);
}

TEST(ModuleRegistry, SetAppRootKeyReplacesTheCurrentRecordsKey)
{
    AppInstance module(GetModuleHandleW(nullptr), L"Module");
    Product().SetAppRootKey(L"HKCU\\Software\\Elsewhere");
    EXPECT_STREQ(module.GetAppRootKey(), L"HKCU\\Software\\Elsewhere");
    EXPECT_STREQ(Product().GetAppRootKey(), L"HKCU\\Software\\Elsewhere");
}

namespace {

// Reaches the registry's protected entry points.
class RegistryProbe : public MyProductInfo {
public:
    using ProductInfo::LeaveApp;
};

} // namespace

TEST(ModuleRegistry, LeavingAnUnknownRecordOnlyDropsThePushedKey)
{
    AppInstance* current = ProductInfo::pCurrentApp;
    int count = ProductInfo::listApp.GetCount();
    RegistryProbe probe;
    probe.PushAppRootKey(L"HKCU\\Software\\Pushed");
    probe.LeaveApp(reinterpret_cast<AppInstance*>(&probe));
    EXPECT_EQ(ProductInfo::pCurrentApp, current);
    EXPECT_EQ(ProductInfo::listApp.GetCount(), count);
    EXPECT_STREQ(probe.GetAppRootKey(), productRoot);
}

TEST(ResourceIds, SignChoosesTheModule)
{
    short id = -101;
    HINSTANCE instance = nullptr;
    Product().ConvertResourceId(id, instance);
    EXPECT_EQ(id, 101);
    EXPECT_EQ(instance, hiDLL);

    HINSTANCE exe = GetModuleHandleW(nullptr);
    AppInstance module(exe, nullptr);
    id = 5;
    instance = nullptr;
    Product().ConvertResourceId(id, instance);
    EXPECT_EQ(id, 5);
    EXPECT_EQ(instance, exe);

    id = -7;
    instance = exe;
    Product().ConvertResourceId(id, instance);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(instance, exe);

    id = 0;
    instance = nullptr;
    Product().ConvertResourceId(id, instance);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(instance, nullptr);
}

TEST(ResourceIds, ProductIconLoadsFromTheLibrary)
{
    short id = static_cast<short>(Product().GetIconID());
    HINSTANCE instance = nullptr;
    Product().ConvertResourceId(id, instance);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(id));
    EXPECT_NE(icon, nullptr);
}

// The entry routine is exported so that attach and detach can be driven
// in one process.
TEST(LibraryEntry, AttachDetachAttachRegistersAFreshRecord)
{
    auto dllMain = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(
        reinterpret_cast<void*>(GetProcAddress(hiDLL, "DllMain")));
    ASSERT_NE(dllMain, nullptr);
    AppInstance* before = ProductInfo::pCurrentApp;

    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr));  // a nested attach only counts
    EXPECT_EQ(ProductInfo::pCurrentApp, before);
    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(ProductInfo::pCurrentApp, before);

    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(ProductInfo::pCurrentApp, nullptr);
    EXPECT_TRUE(ProductInfo::listApp.IsEmpty());
    EXPECT_EQ(Product().GetAppInstance(), hiDLL);
    EXPECT_STREQ(Product().GetAppRootKey(), L"HKCU\\Software\\Corvenna\\Launchora\\Launchora");

    ASSERT_TRUE(dllMain(hiDLL, DLL_PROCESS_ATTACH, nullptr));
    ASSERT_NE(ProductInfo::pCurrentApp, nullptr);
    EXPECT_EQ(ProductInfo::pCurrentApp->hInstance, hiDLL);
    EXPECT_EQ(ProductInfo::listApp.GetCount(), 1);
    EXPECT_STREQ(Product().GetAppRootKey(), productRoot);
    EXPECT_TRUE(dllMain(hiDLL, DLL_THREAD_ATTACH, nullptr));
}
