#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"
#include "common/RawFile.h"
#include "common/ShortcutSupport.h"
#include "common/TestSupport.h"

namespace {

// COM for the test thread, and a folder of its own for every test.
class Shortcuts : public testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }

    std::wstring Marker() const { return ModuleFolder() + L"\\pvmarker.exe"; }

    // A shortcut to the marker program that runs in the test's folder.
    std::wstring MarkerLink(const wchar_t* name, const wchar_t* args)
    {
        std::wstring link = folder / name;
        iShellLink shellLink;
        EXPECT_TRUE(shellLink.SetPath(Marker().c_str()));
        if (args) {
            EXPECT_TRUE(shellLink.SetArgs(args));
        }
        EXPECT_TRUE(shellLink.SetDir(folder.Path().c_str()));
        EXPECT_TRUE(shellLink.Save(link.c_str()));
        return link;
    }

    // The marker's command line, once it has run (empty after 10 s).
    std::wstring WaitForMarker()
    {
        std::wstring file = folder / L"pvmarker.txt";
        for (int i = 0; i < 200; ++i) {
            HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                wchar_t text[1024] = {};
                DWORD read = 0;
                ReadFile(h, text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
                CloseHandle(h);
                return text;
            }
            Sleep(50);
        }
        return L"";
    }

    TempFolder folder;
};

} // namespace

TEST_F(Shortcuts, TargetArgumentsAndIconRoundTrip)
{
    std::wstring link = folder / L"app.lnk";
    ASSERT_TRUE(CreateLink(Marker().c_str(), link.c_str(), L"/quiet x"));
    iShellLink shellLink;
    ASSERT_TRUE(shellLink.Load(link.c_str()));
    wchar_t text[MAX_PATH];
    EXPECT_TRUE(shellLink.GetPath(text, nullptr, 0));
    EXPECT_EQ(lstrcmpiW(text, Marker().c_str()), 0);
    EXPECT_TRUE(shellLink.GetArgs(text, MAX_PATH));
    EXPECT_STREQ(text, L"/quiet x");

    EXPECT_TRUE(SetShortcutIcon(link.c_str(), L"C:\\windows\\system32\\shell32.dll", 12));
    int index = -1;
    EXPECT_TRUE(GetShortcutIcon(link.c_str(), text, &index));
    EXPECT_EQ(lstrcmpiW(text, L"C:\\windows\\system32\\shell32.dll"), 0);
    EXPECT_EQ(index, 12);

    std::wstring other = folder / L"other.exe";
    EXPECT_TRUE(UpdateLink(other.c_str(), link.c_str(), nullptr));
    wchar_t target[MAX_PATH];
    GetShortcutTargetPath(target, link.c_str(), 0);
    EXPECT_EQ(lstrcmpiW(target, other.c_str()), 0);  // stored target, although it does not exist
    iShellLink again;
    ASSERT_TRUE(again.Load(link.c_str()));
    again.GetArgs(text, MAX_PATH);
    EXPECT_STREQ(text, L"/quiet x");  // null arguments leave the old ones
}

TEST_F(Shortcuts, NullArgumentsCreateALinkWithoutArguments)
{
    std::wstring link = folder / L"bare.lnk";
    ASSERT_TRUE(CreateLink(Marker().c_str(), link.c_str(), nullptr));
    iShellLink shellLink;
    ASSERT_TRUE(shellLink.Load(link.c_str()));
    wchar_t args[64] = L"junk";
    shellLink.GetArgs(args, 64);
    EXPECT_STREQ(args, L"");
}

TEST_F(Shortcuts, RunAsAdministratorFlagRoundTrips)
{
    std::wstring plain = MarkerLink(L"plain.lnk", nullptr);
    EXPECT_FALSE(IsShortcutAsAdmin(plain.c_str()));

    std::wstring admin = folder / L"admin.lnk";
    {
        iShellLink shellLink;
        ASSERT_TRUE(shellLink.SetPath(Marker().c_str()));
        if (!MarkRunAsAdmin(shellLink))
            GTEST_SKIP() << "the platform's IShellLinkDataList does not keep SLDF_RUNAS_USER (Wine 8)";
        ASSERT_TRUE(shellLink.Save(admin.c_str()));
    }
    EXPECT_TRUE(IsShortcutAsAdmin(admin.c_str()));
    iShellLink loaded;
    ASSERT_TRUE(loaded.Load(admin.c_str()));
    iShellLinkDataList data;
    ASSERT_TRUE(loaded.GetShellLinkDataList(data));
    EXPECT_TRUE(data.GetFlags() & shortcutRunAsAdmin);
}

TEST_F(Shortcuts, NonShortcutsAndMissingFilesGiveZero)
{
    std::wstring plain = folder / L"plain.txt";
    PutBytes(plain, "not a link");
    std::wstring missing = folder / L"missing.lnk";
    EXPECT_FALSE(IsShortcutAsAdmin(plain.c_str()));
    EXPECT_FALSE(IsShortcutAsAdmin(missing.c_str()));
    EXPECT_FALSE(ExecuteShortcut(nullptr, plain.c_str()));
    EXPECT_FALSE(ExecuteShortcut(nullptr, missing.c_str()));
    EXPECT_FALSE(IsShortcut(plain.c_str()));
    wchar_t icon[MAX_PATH];
    int index = 0;
    EXPECT_FALSE(GetShortcutIcon(missing.c_str(), icon, &index));
    EXPECT_FALSE(UpdateLink(Marker().c_str(), missing.c_str(), nullptr));
    EXPECT_FALSE(IsShortcutAsAdmin(nullptr));
}

TEST_F(Shortcuts, ExecuteRunsTheTargetWithItsArguments)
{
    std::wstring link = MarkerLink(L"run.lnk", L"alpha beta");
    ASSERT_TRUE(ExecuteShortcut(nullptr, link.c_str()));
    std::wstring commandLine = WaitForMarker();
    ASSERT_FALSE(commandLine.empty()) << "the target never ran";
    EXPECT_NE(commandLine.find(L"alpha beta"), std::wstring::npos);
}

TEST_F(Shortcuts, ExecuteWithoutArgumentsPassesNoParameters)
{
    std::wstring link = MarkerLink(L"bare.lnk", nullptr);
    ASSERT_TRUE(ExecuteShortcut(nullptr, link.c_str()));
    std::wstring commandLine = WaitForMarker();
    ASSERT_FALSE(commandLine.empty()) << "the target never ran";
    // Null parameters: nothing at all follows the program's name.
    EXPECT_NE(commandLine.back(), L' ');
    EXPECT_NE(commandLine.find(L"pvmarker.exe"), std::wstring::npos);
}

TEST_F(Shortcuts, ResolvingGivesTheShellFormOfTheTarget)
{
    std::wstring file = folder / L"Target File.txt";
    PutBytes(file, "");
    std::wstring link = folder / L"to target.lnk";
    ASSERT_TRUE(CreateLink(file.c_str(), link.c_str(), nullptr));

    wchar_t path[MAX_PATH];
    lstrcpyW(path, link.c_str());
    ResolveShortcut(nullptr, path, 1);
    EXPECT_EQ(lstrcmpiW(path, file.c_str()), 0);

    // An ordinary file becomes its shell name: here its exact case.
    std::wstring lower = file;
    CharLowerW(lower.data());
    lstrcpyW(path, lower.c_str());
    ResolveShortcut(nullptr, path, 1);
    EXPECT_EQ(lstrcmpiW(path, file.c_str()), 0);

    // Neither a shortcut nor an existing path: left as it was.
    lstrcpyW(path, L"C:\\no\\such\\thing.txt");
    ResolveShortcut(nullptr, path, 1);
    EXPECT_STREQ(path, L"C:\\no\\such\\thing.txt");

    wchar_t target[MAX_PATH];
    iShellLink shellLink;
    iPersistFile persist(shellLink);
    EXPECT_TRUE(ResolveLink(nullptr, shellLink, persist, link.c_str(), target, 0x79, 0));
    EXPECT_EQ(lstrcmpiW(target, file.c_str()), 0);
    EXPECT_TRUE(ResolveLink(nullptr, shellLink, persist, file.c_str(), target, 0, 0));
    EXPECT_EQ(lstrcmpiW(target, file.c_str()), 0);
    GetShortcutTargetPath(target, link.c_str(), 1);
    EXPECT_EQ(lstrcmpiW(target, file.c_str()), 0);
}
