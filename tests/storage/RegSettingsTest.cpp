#include "RegistryFixture.h"

namespace {

// A product name of the test's own, so the product roots it touches below
// Corvenna and Brellwick are the test's alone; removed afterwards.
class ProductRoots : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        product = L"PVDLLTestProduct" + std::to_wstring(GetCurrentProcessId());
    }
    void TearDown() override
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeW(root, (L"Software\\Corvenna\\" + product).c_str());
            RegDeleteTreeW(root, (L"Software\\Brellwick\\" + product).c_str());
            RegDeleteKeyW(root, L"Software\\Brellwick");  // only when empty
        }
        RegistryTest::TearDown();
    }
    bool Exists(HKEY root, const std::wstring& sub)
    {
        HKEY key;
        if (RegOpenKeyExW(root, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    bool MachineWritable()
    {
        HKEY key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    std::wstring product;
};

} // namespace

using RegSettings = RegistryTest;

TEST_F(RegSettings, RectanglesKeepMissingEdgesAndWriteOnlyChangedOnes)
{
    RawPutDword(nullptr, L"WinL", 15);
    RegKey key(root.c_str(), 1);
    RECT rect = {1, 2, 3, 4};
    EXPECT_FALSE(RegGetRect(key, &rect, L"Win"));
    EXPECT_EQ(rect.left, 15);
    EXPECT_EQ(rect.top, 2);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(rect.bottom, 4);

    EXPECT_TRUE(RegPutRect(key, &rect, L"Win"));
    RECT back = {};
    EXPECT_TRUE(RegGetRect(key, &back, L"Win"));
    EXPECT_TRUE(EqualRect(&rect, &back));
    RegKey readOnly(root.c_str(), 0);
    EXPECT_TRUE(RegPutRect(readOnly, &rect, L"Win"));  // nothing changed, nothing written
}

TEST_F(RegSettings, FontsMustBeExactly92Bytes)
{
    RegKey key(root.c_str(), 1);
    LOGFONTW* font = nullptr;
    RegNewLogFont(font);
    ASSERT_NE(font, nullptr);
    font->lfHeight = -12;
    lstrcpyW(font->lfFaceName, L"Tahoma");
    EXPECT_TRUE(RegPutLogFont(key, L"Font", font));
    RegDelLogFont(font);
    EXPECT_EQ(font, nullptr);

    EXPECT_TRUE(RegGetLogFont(key, L"Font", font));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->lfHeight, -12);
    EXPECT_STREQ(font->lfFaceName, L"Tahoma");

    BYTE sixty[60] = {};
    RawPut(nullptr, L"Font", REG_BINARY, sixty, 60);
    EXPECT_FALSE(RegGetLogFont(key, L"Font", font));
    EXPECT_EQ(font, nullptr);

    // A stored face name without its terminator is cut, not overrun.
    BYTE full[92];
    memset(full, 'A', 92);
    RawPut(nullptr, L"Font", REG_BINARY, full, 92);
    EXPECT_TRUE(RegGetLogFont(key, L"Font", font));
    EXPECT_EQ(lstrlenW(font->lfFaceName), LF_FACESIZE - 1);
    RegDelLogFont(font);

    EXPECT_TRUE(RegPutLogFont(key, L"Font", nullptr));
    EXPECT_FALSE(key.FindValue(L"Font"));
}

TEST_F(ProductRoots, RestrictionsAreReadFromTheSetupKey)
{
    EXPECT_EQ(Restricted(product.c_str(), L"NoUpdates"), 0u);
    RegKey key((L"HKCU\\Software\\Corvenna\\" + product + L"\\Setup\\Restrictions").c_str(), 1);
    key.PutInt(L"NoUpdates", 1);
    EXPECT_EQ(Restricted(product.c_str(), L"NoUpdates"), 1u);
}

TEST_F(ProductRoots, LegacySettingsMoveOnceAndTheEmptyLegacyRootGoes)
{
    std::wstring legacy = L"Software\\Brellwick\\" + product;
    std::wstring current = L"Software\\Corvenna\\" + product;
    bool otherBrellwickProducts = Exists(HKEY_CURRENT_USER, L"Software\\Brellwick");
    RegKey((L"HKCU\\" + legacy + L"\\Sub").c_str(), 1).PutStr(L"Deep", L"moved", 1);
    RegKey((L"HKCU\\" + legacy).c_str(), 1).PutInt(L"Options", 5);

    EXPECT_TRUE(MoveLegacySettings(1, product.c_str()));
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, legacy));
    if (!otherBrellwickProducts) {
        EXPECT_FALSE(Exists(HKEY_CURRENT_USER, L"Software\\Brellwick"));
    }
    RegKey moved((L"HKCU\\" + current).c_str(), 0);
    EXPECT_EQ(moved.GetInt(L"Options", 0), 5);
    wchar_t text[16];
    RegKey((L"HKCU\\" + current + L"\\Sub").c_str(), 0).GetStr(L"Deep", text, 16, L"");
    EXPECT_STREQ(text, L"moved");

    // Once the product has its own root, old settings stay where they are.
    RegKey((L"HKCU\\" + legacy).c_str(), 1).PutInt(L"Options", 9);
    EXPECT_TRUE(MoveLegacySettings(1, product.c_str()));
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, legacy));
    EXPECT_EQ(moved.GetInt(L"Options", 0), 5);
}

TEST_F(ProductRoots, HomeFolderIsWrittenMachineWideAndReadWithTheLegacyFallback)
{
    if (!MachineWritable())
        GTEST_SKIP() << "HKLM cannot be written here";
    wchar_t home[MAX_PATH] = L"junk";
    EXPECT_FALSE(GetHomeFolder(product.c_str(), home));
    EXPECT_STREQ(home, L"");

    RegKey((L"HKLM\\Software\\Brellwick\\" + product + L"\\Setup").c_str(), 1).PutStr(L"Home", L"C:\\Old", 1);
    EXPECT_TRUE(GetHomeFolder(product.c_str(), home));
    EXPECT_STREQ(home, L"C:\\Old");

    wchar_t newHome[] = L"C:\\Program Files\\Launchora";
    EXPECT_TRUE(ProcessHomeFolder(RegKey::opInstall, product.c_str(), newHome, MAX_PATH));
    EXPECT_TRUE(GetHomeFolder(product.c_str(), home));
    EXPECT_STREQ(home, newHome);
    EXPECT_TRUE(ProcessHomeFolder(RegKey::opCheck, product.c_str(), newHome, MAX_PATH));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, L"Software\\Brellwick\\" + product));  // moved on install
}

TEST_F(ProductRoots, UserValuesOverrideMachineValuesInCoreReg)
{
    if (!MachineWritable())
        GTEST_SKIP() << "HKLM cannot be written here";
    std::wstring sub = L"Software\\Corvenna\\" + product;
    RegKey((L"HKLM\\" + sub).c_str(), 1).PutStr(L"Where", L"machine", 1);
    RegKey((L"HKCU\\" + sub).c_str(), 1).PutStr(L"Where", L"user", 1);
    RegKey((L"HKLM\\" + sub).c_str(), 1).PutInt(L"Number", 7);

    wchar_t text[16];
    CoreReg user(CoreReg::branchUser, sub.c_str(), 0);
    ASSERT_TRUE(user.IsOpen());
    EXPECT_TRUE(user.GetStr(L"Where", text, 16, L"def"));
    EXPECT_STREQ(text, L"user");
    EXPECT_EQ(user.GetDWORD(L"Number", 0), 7u);
    EXPECT_EQ(user.GetDWORD(L"Where", 99), 99u);
    EXPECT_FALSE(user.GetStr(L"Missing", text, 16, nullptr));
    EXPECT_STREQ(text, L"");

    CoreReg machine(CoreReg::branchMachine, sub.c_str(), 0);
    EXPECT_TRUE(machine.GetStr(L"Where", text, 16, L"def"));
    EXPECT_STREQ(text, L"machine");

    CoreReg writer(CoreReg::branchUser, sub.c_str(), 1);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_TRUE(writer.PutDWORD(L"UserNumber", 3));
    EXPECT_EQ(RegKey((L"HKCU\\" + sub).c_str(), 0).GetInt(L"UserNumber", 0), 3);
    writer.Close();
    EXPECT_FALSE(writer.PutStr(L"Closed", L"x"));
}

TEST_F(ProductRoots, DeletingAUserValueUncoversTheMachineValue)
{
    if (!MachineWritable())
        GTEST_SKIP() << "HKLM cannot be written here";
    std::wstring sub = L"Software\\Corvenna\\" + product;
    RegKey((L"HKLM\\" + sub).c_str(), 1).PutStr(L"Where", L"machine", 1);
    RegKey((L"HKCU\\" + sub).c_str(), 1).PutStr(L"Where", L"user", 1);
    CoreReg writer(CoreReg::branchUser, sub.c_str(), 1);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_TRUE(writer.DeleteValue(L"Where"));
    if (RegKey((L"HKCU\\" + sub).c_str(), 0).FindValue(L"Where"))
        GTEST_SKIP() << "SHRegDeleteUSValueW reports success without deleting (a stub in Wine)";
    wchar_t text[16];
    CoreReg user(CoreReg::branchUser, sub.c_str(), 0);
    EXPECT_TRUE(user.GetStr(L"Where", text, 16, L"def"));
    EXPECT_STREQ(text, L"machine");
}

TEST_F(ProductRoots, ComServerEntriesInstallCheckAndRemove)
{
    if (!MachineWritable())
        GTEST_SKIP() << "HKLM cannot be written here";
    const wchar_t clsid[] = L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    const wchar_t* const types[] = {L".pvdlltest", nullptr};
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::opCheck, L"PVDLL Test", L"C:\\x\\ext.dll", clsid, types, 0));
    EXPECT_TRUE(SetupCtxMenuRegistry(RegKey::opInstall, L"PVDLL Test", L"C:\\x\\ext.dll", clsid, types, 0));
    EXPECT_TRUE(SetupCtxMenuRegistry(RegKey::opCheck, L"PVDLL Test", L"C:\\x\\ext.dll", clsid, types, 0));
    EXPECT_FALSE(SetupCtxMenuRegistry(RegKey::opCheck, L"PVDLL Test", L"C:\\y\\ext.dll", clsid, types, 0));

    wchar_t text[64];
    RegKey inProc((std::wstring(L"HKCLS\\CLSID\\") + clsid + L"\\InProcServer32").c_str(), 0);
    inProc.GetStr(L"ThreadingModel", text, 64, L"");
    EXPECT_STREQ(text, L"Apartment");
    RegKey handler(L"HKEY_CLASSES_ROOT\\.pvdlltest\\shellex\\ContextMenuHandlers\\PVDLL Test", 0);
    handler.GetStr(nullptr, text, 64, L"");
    EXPECT_STREQ(text, clsid);

    EXPECT_TRUE(SetupCtxMenuRegistry(RegKey::opRemove, L"PVDLL Test", L"C:\\x\\ext.dll", clsid, types, 0));
    EXPECT_FALSE(RegKey((std::wstring(L"HKCLS\\CLSID\\") + clsid).c_str(), 0).IsOpen());
    EXPECT_FALSE(RegKey(L"HKCR\\.pvdlltest\\shellex\\ContextMenuHandlers\\PVDLL Test", 0).IsOpen());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".pvdlltest");
    RegKey approved(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", 1);
    EXPECT_FALSE(approved.FindValue(clsid));
}

TEST_F(ProductRoots, SafeModeDriverKeysComeAndGo)
{
    if (!MachineWritable())
        GTEST_SKIP() << "HKLM cannot be written here";
    const wchar_t* const roots[] = {L"SYSTEM\\CurrentControlSet\\Control\\SafeBoot\\Minimal\\",
                                    L"SYSTEM\\CurrentControlSet\\Control\\SafeBoot\\Network\\"};
    EXPECT_TRUE(RegisterDriverForSafeMode(RegKey::opInstall, L"pvdlltestdrv"));
    EXPECT_TRUE(RegisterDriverForSafeMode(RegKey::opCheck, L"pvdlltestdrv"));
    for (const wchar_t* r : roots) {
        EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, std::wstring(r) + L"pvdlltestdrv"));
        EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, std::wstring(r) + L"pvdlltestdrv.sys"));
    }
    EXPECT_TRUE(RegisterDriverForSafeMode(RegKey::opRemove, L"pvdlltestdrv"));
    for (const wchar_t* r : roots) {
        EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, std::wstring(r) + L"pvdlltestdrv"));
        EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, std::wstring(r) + L"pvdlltestdrv.sys"));
    }
}

TEST_F(ProductRoots, EventSourceValuesAreWrittenAndRemoved)
{
    if (!MachineWritable())
        GTEST_SKIP() << "HKLM cannot be written here";
    std::wstring sub = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\PVDLLTestSource";
        EXPECT_TRUE(RegisterEventSourceFile(L"PVDLLTestSource", L"C:\\x\\msg.dll"));
    RegKey key((L"HKLM\\" + sub).c_str(), 0);
    wchar_t text[32];
    key.GetStr(L"EventMessageFile", text, 32, L"");
    EXPECT_STREQ(text, L"C:\\x\\msg.dll");
    EXPECT_EQ(key.GetInt(L"TypesSupported", 0), 7);
    EXPECT_TRUE(RegisterEventSourceFile(L"PVDLLTestSource", nullptr, RegKey::opRemove));
    if (key.FindValue(L"EventMessageFile")) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, sub.c_str());
        GTEST_SKIP() << "SHRegDeleteUSValueW reports success without deleting (a stub in Wine)";
    }
    EXPECT_FALSE(key.FindValue(L"EventMessageFile"));
    EXPECT_FALSE(key.FindValue(L"TypesSupported"));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, sub.c_str());
}
