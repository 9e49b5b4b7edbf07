#include <gtest/gtest.h>

#include "PVDLL.h"
#include "PathProbe.h"
#include "common/PageEnd.h"
#include "common/TestSupport.h"

#include <string>

namespace {

typedef int (*Editor)(wchar_t*);

struct EditCase {
    const wchar_t* in;
    const wchar_t* out;
    int result;
};

void ExpectEdits(Editor edit, const char* name, std::initializer_list<EditCase> cases)
{
    for (const EditCase& c : cases) {
        PathBuf buf(c.in);
        EXPECT_EQ(edit(buf) != 0, c.result != 0) << name << "(" << testing::PrintToString(c.in) << ")";
        EXPECT_EQ(buf.Str(), c.out) << name << "(" << testing::PrintToString(c.in) << ")";
    }
}

std::wstring Expanded(const wchar_t* text)
{
    wchar_t out[1024];
    ExpandEnvironmentStringsW(text, out, 1024);
    return out;
}

std::wstring SystemDir()
{
    wchar_t dir[MAX_PATH];
    GetSystemDirectoryW(dir, MAX_PATH);
    return dir;
}

std::wstring WindowsDir()
{
    wchar_t dir[MAX_PATH];
    GetWindowsDirectoryW(dir, MAX_PATH);
    return dir;
}

} // namespace

TEST(PathsParts, FileNameFollowsTheLastSeparatorOrColon)
{
    struct {
        const wchar_t* path;
        const wchar_t* name;
        const wchar_t* ext;  // null: none
    } cases[] = {
        {L"C:\\A\\b.txt", L"b.txt", L".txt"}, {L"C:b.txt", L"b.txt", L".txt"},
        {L"\\\\srv\\share\\f.x", L"f.x", L".x"}, {L"rel/dir\\f", L"f", nullptr},
        {L"C:\\A.B\\c", L"c", nullptr}, {L"x.tar.gz", L"x.tar.gz", L".gz"},
        {L"C:x.y:z", L"z", nullptr}, {L"dir.d/", L"", nullptr},
        {L".hidden", L".hidden", L".hidden"}, {L"\\", L"", nullptr},
        {L":", L"", nullptr}, {L"", L"", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(LocateFileName(c.path), c.name) << c.path;
        const wchar_t* ext = LocateFileExt(c.path);
        if (c.ext)
            EXPECT_STREQ(ext, c.ext) << c.path;
        else
            EXPECT_EQ(ext, nullptr) << c.path;
    }
    EXPECT_EQ(LocateFileName(static_cast<const wchar_t*>(nullptr)), nullptr);
    EXPECT_EQ(LocateFileExt(static_cast<const wchar_t*>(nullptr)), nullptr);

    std::wstring longPath = L"C:\\" + Repeat(300) + L"\\tail.bin";
    EXPECT_STREQ(LocateFileName(longPath.c_str()), L"tail.bin");
}

TEST(PathsParts, ScanningStopsAtTheTerminator)
{
    AtPageEnd path(L"C:\\d\\x", 7);
    EXPECT_STREQ(LocateFileName(path.Get()), L"x");
    EXPECT_EQ(LocateFileExt(path.Get()), nullptr);
    AtPageEnd drive(L"C", 2);
    EXPECT_FALSE(IsDrivePath(drive.Get()));
    EXPECT_FALSE(IsRootShare(drive.Get()));
    AtPageEnd unc(L"\\\\s", 4);
    EXPECT_TRUE(IsNetworkComputer(unc.Get()));
    EXPECT_FALSE(IsRootShare(unc.Get()));
}

TEST(PathsEdit, StripCutsTheNameTheSeparatorOrTheExtension)
{
    ExpectEdits(StripFileName, "StripFileName",
                {{L"C:\\A\\b.txt", L"C:\\A\\", 1}, {L"C:b", L"C:", 1}, {L"b", L"", 1}, {L"C:\\", L"C:\\", 0}});
    ExpectEdits(StripFileNameAndBackslash, "StripFileNameAndBackslash",
                {{L"C:\\A\\b.txt", L"C:\\A", 1},
                 {L"C:\\b.txt", L"C:\\", 1},
                 {L"C:/A/b", L"C:/A", 1},
                 {L"\\\\srv\\share\\f", L"\\\\srv\\share", 1},
                 {L"C:\\A\\", L"C:\\A", 1},
                 {L"C:\\", L"C:\\", 0},
                 {L"b", L"", 1}});
    ExpectEdits(StripFileExt, "StripFileExt",
                {{L"C:\\A.B\\c", L"C:\\A.B\\c", 0}, {L"a.b.c", L"a.b", 1}, {L"C:\\x\\.y", L"C:\\x\\", 1}});
    EXPECT_FALSE(StripFileName(nullptr));
    EXPECT_FALSE(StripFileNameAndBackslash(nullptr));
    EXPECT_FALSE(StripFileExt(nullptr));
}

TEST(PathsEdit, TrailingSeparatorsOfRootsStay)
{
    ExpectEdits(RemoveBackSlash, "RemoveBackSlash",
                {{L"C:\\", L"C:\\", 0},
                 {L"\\\\", L"\\\\", 0},
                 {L"\\", L"\\", 0},
                 {L"C:\\A\\", L"C:\\A", 1},
                 {L"C:/A/", L"C:/A", 1},
                 {L"C:\\A\\\\", L"C:\\A\\\\", 0},
                 {L"C:\\A", L"C:\\A", 0},
                 {L"", L"", 0}});
    ExpectEdits(StripBackSlash, "StripBackSlash",
                {{L"C:\\", L"C:", 1}, {L"\\\\", L"\\", 1}, {L"a/", L"a", 1}, {L"a", L"a", 0}, {L"", L"", 0}});
    ExpectEdits(AppendBackSlash, "AppendBackSlash",
                {{L"C:\\A", L"C:\\A\\", 1}, {L"C:/A/", L"C:/A/", 1}, {L"", L"\\", 1}});
}

TEST(PathsEdit, AppendingNeverPassesTheBuffer)
{
    struct {
        std::wstring path, name, out;
        int result;
    } cases[] = {
        {L"C:\\A", L"b", L"C:\\A\\b", 1},
        {L"C:\\A\\", L"b", L"C:\\A\\b", 1},
        {L"C:/A/", L"b", L"C:/A/b", 1},
        {L"", L"b", L"\\b", 1},
        {Repeat(250), Repeat(20, L'n'), Repeat(250) + L"\\" + Repeat(8, L'n'), 0},
        {Repeat(258), L"b", Repeat(258) + L"\\", 0},
        {Repeat(259), L"b", Repeat(259), 0},
    };
    for (const auto& c : cases) {
        PathBuf buf(c.path);
        EXPECT_EQ(AppendFileName(buf, c.name.c_str()), c.result) << c.path.size();
        EXPECT_EQ(buf.Str(), c.out) << c.path.size();
    }
    PathBuf full(Repeat(259));
    EXPECT_FALSE(AppendBackSlash(full));
    EXPECT_EQ(full.Str(), Repeat(259));
}

TEST(PathsEdit, DirFromPathGivesTheFolderWithoutItsSeparator)
{
    struct {
        std::wstring path, dir;
    } cases[] = {
        {L"C:\\A\\b.txt", L"C:\\A"},
        {L"C:\\b.txt", L"C:\\"},
        {L"b.txt", L""},
        {L"\\\\srv\\share\\f", L"\\\\srv\\share"},
    };
    for (const auto& c : cases) {
        PathBuf out;
        DirFromPath(out, c.path.c_str());
        EXPECT_EQ(out.Str(), c.dir) << c.path.size();
    }
    PathBuf inPlace(L"C:\\A\\b");
    EXPECT_TRUE(DirFromPath(inPlace, inPlace));
    EXPECT_EQ(inPlace.Str(), L"C:\\A");
}

TEST(PathsQuotes, QuotesAndBlanksComeOff)
{
    struct {
        std::wstring in, unquoted, trimmed;
    } cases[] = {
        {L"\"C:\\a b\\x.exe\" /y", L"C:\\a b\\x.exe", L"C:\\a b\\x.exe\" /y"},
        {L"  \" C:\\x \"\t", L"  ", L"C:\\x"},
        {L"plain", L"plain", L"plain"},
        {L"\"a", L"a", L"a"},
        {L"a\"", L"a", L"a"},
        {L"\"\"", L"", L""},
        {L"\t \t", L"\t \t", L""},
    };
    for (const auto& c : cases) {
        PathBuf out;
        UnQuote(out, c.in.c_str());
        EXPECT_EQ(out.Str(), c.unquoted) << testing::PrintToString(c.in);
        PathBuf trimmed;
        RemoveWhiteSpacesAndQuotes(trimmed, c.in.c_str());
        EXPECT_EQ(trimmed.Str(), c.trimmed) << testing::PrintToString(c.in);
    }
    PathBuf inPlace(L"\"C:\\x y\"");
    UnQuote(inPlace, nullptr);
    EXPECT_EQ(inPlace.Str(), L"C:\\x y");
    PathBuf trimInPlace(L" \"C:\\x y\" ");
    RemoveWhiteSpacesAndQuotes(trimInPlace, nullptr);
    EXPECT_EQ(trimInPlace.Str(), L"C:\\x y");
}

TEST(PathsQuotes, QuotesAreAddedOnceAndOnlyWithRoom)
{
    ExpectEdits(AddQuotesIfSpace, "AddQuotesIfSpace",
                {{L"C:\\a b", L"\"C:\\a b\"", 1}, {L"C:\\ab", L"C:\\ab", 1}, {L"\"C:\\a b\"", L"\"C:\\a b\"", 1}});
    std::wstring fits = L" " + Repeat(256);
    PathBuf buf(fits);
    EXPECT_TRUE(AddQuotesIfSpace(buf));
    EXPECT_EQ(buf.Str(), L"\"" + fits + L"\"");
    PathBuf tooLong(L" " + Repeat(257));
    EXPECT_FALSE(AddQuotesIfSpace(tooLong));
    EXPECT_EQ(tooLong.Str(), L" " + Repeat(257));
}

TEST(PathsKinds, DrivesSharesAndServersAreToldApart)
{
    // Drive, DosFolder, RootDrive, RootShare, RootPath, RootFolder(0),
    // RootFolder(1), NetworkPath, NetworkComputer, NetworkShare,
    // FullPathName, Mask.
    struct {
        std::wstring path;
        const char* expect;
    } cases[] = {
        {L"C:", "100000000000"},
        {L"C:\\", "111011100010"},
        {L"c:/", "111011100010"},
        {L"C:\\x", "010000000010"},
        {L"c:x", "000000000000"},
        {L"1:\\", "000000000000"},
        {L"\\\\srv", "000000111010"},
        {L"\\\\srv\\", "000000010010"},
        {L"\\\\srv\\share", "000110010110"},
        {L"\\\\srv\\share\\", "000110010010"},
        {L"\\\\srv\\share\\dir", "000000010010"},
        {L"//srv/share", "000110000010"},
        {L"//srv", "000000100010"},
        {L"\\\\a\\b", "000000010110"},
        {L"\\\\", "000000000010"},
        {L"\\x", "000000000010"},
        {L"rel\\x", "000000000000"},
        {L"", "000000000000"},
        {L"C:\\*.txt", "010000000011"},
        {L"a?", "000000000001"},
        {L"C:\\" + Repeat(300), "010000000010"},
    };
    for (const auto& c : cases) {
        const wchar_t* p = c.path.c_str();
        int got[] = {IsDrivePath(p),     IsDosFolder(p),     IsRootDrive(p),    IsRootShare(p),
                     IsRootPath(p),      IsRootFolder(p, 0), IsRootFolder(p, 1), IsNetworkPath(p),
                     IsNetworkComputer(p), IsNetworkShare(p), IsFullPathName(p), IsMask(p)};
        std::string bits;
        for (int g : got)
            bits += g ? '1' : '0';
        EXPECT_EQ(bits, c.expect) << testing::PrintToString(c.path);
    }
    EXPECT_EQ(IsDrivePath(nullptr) + IsDosFolder(nullptr) + IsRootShare(nullptr) + IsRootFolder(nullptr, 1) +
                  IsNetworkPath(nullptr) + IsNetworkShare(nullptr) + IsFullPathName(nullptr) + IsMask(nullptr),
              0);
}

TEST(PathsMake, RootOfDrivesAndShares)
{
    struct {
        std::wstring path, root;
        int result;
    } cases[] = {
        {L"c:\\x\\y", L"C:\\", 1},
        {L"\\\\srv\\share\\dir", L"\\\\srv\\share\\", 1},
        {L"//srv/share", L"\\\\srv\\share\\", 1},
        {L"\\\\srv", L"\\\\srv\\", 1},
        {L".\\x", L"", 0},
        {L"\\x", L"", 0},
        {L"", L"", 0},
        {L"\\\\", L"", 0},
        // Only the first letter is looked at.
        {L"relative.txt", L"R:\\", 1},
        {L"\\\\srv\\" + Repeat(300), L"", 0},
    };
    for (const auto& c : cases) {
        PathBuf out(L"stale");
        EXPECT_EQ(MakeRootPath(out, c.path.c_str()), c.result) << testing::PrintToString(c.path);
        EXPECT_EQ(out.Str(), c.root) << testing::PrintToString(c.path);
    }
}

TEST(PathsMake, FolderPathKeepsRoots)
{
    struct {
        const wchar_t* path;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\A\\b.txt", L"C:\\A\\"}, {L"C:\\", L"C:\\"}, {L"\\\\srv", L"\\\\srv"},
        {L"\\\\srv\\share", L"\\\\srv\\share"}, {L"b.txt", L""},
    };
    for (const auto& c : cases) {
        PathBuf out;
        MakeFolderPath(out, c.path);
        EXPECT_EQ(out.Str(), c.folder) << c.path;
        PathBuf inPlace(c.path);
        MakeFolderPath(inPlace, inPlace);
        EXPECT_EQ(inPlace.Str(), c.folder) << c.path;
    }
}

TEST(PathsMake, MakePathJoinsExpandsAndRefusesOverflow)
{
    std::wstring temp = Expanded(L"%TEMP%");
    std::wstring folder256 = L"C:\\" + Repeat(253);
    struct {
        std::wstring folder;
        const wchar_t* name;
        const wchar_t* ext;
        int allowCut;
        std::wstring out;
        int result;
    } cases[] = {
        {L"C:\\A", L"b", nullptr, 0, L"C:\\A\\b", 1},
        {L"C:\\A\\", L"\\b", L"txt", 0, L"C:\\A\\b.txt", 1},
        {L"C:/A/", L"b", L".txt", 0, L"C:/A/b.txt", 1},
        {L"C:\\A", L"", L"txt", 0, L"C:\\A", 1},
        {L"%TEMP%", L"x.txt", nullptr, 0, temp + L"\\x.txt", 1},
        {folder256, L"12", nullptr, 0, folder256 + L"\\12", 1},
        {folder256, L"123", nullptr, 0, L"", 0},
        {folder256, L"123", nullptr, 1, folder256 + L"\\12", 0},
        {folder256, L"1", L"txt", 1, folder256 + L"\\1", 0},
        {L"C:\\" + Repeat(300), L"x", nullptr, 0, L"", 0},
        {L"C:\\" + Repeat(300), L"x", nullptr, 1, L"C:\\" + Repeat(256), 0},
        {L"C:\\" + Repeat(300), L"", nullptr, 0, L"", 0},
    };
    for (const auto& c : cases) {
        PathBuf out(L"stale");
        EXPECT_EQ(MakePath(out, c.folder.c_str(), c.name, c.ext, c.allowCut), c.result) << c.folder.size();
        EXPECT_EQ(out.Str(), c.out) << c.folder.size() << " " << c.name;
    }
    // A short folder text that expands beyond a path is no short folder.
    std::wstring longDir = L"C:\\" + Repeat(297);
    SetEnvironmentVariableW(L"PVDLL_TEST_LONG_DIR", longDir.c_str());
    PathBuf expanded(L"stale");
    EXPECT_FALSE(MakePath(expanded, L"%PVDLL_TEST_LONG_DIR%", L"x", nullptr, 0));
    EXPECT_EQ(expanded.Str(), L"");
    PathBuf cut(L"stale");
    EXPECT_FALSE(MakePath(cut, L"%PVDLL_TEST_LONG_DIR%", L"x", nullptr, 1));
    EXPECT_EQ(cut.Str(), longDir.substr(0, 259));
    SetEnvironmentVariableW(L"PVDLL_TEST_LONG_DIR", nullptr);

    // Editing the folder's own buffer joins without expanding.
    PathBuf self(L"%TEMP%");
    EXPECT_TRUE(MakePath(self, self, L"x", nullptr, 0));
    EXPECT_EQ(self.Str(), L"%TEMP%\\x");
}

TEST(PathsCompare, SamePathIgnoresCaseSeparatorKindAndOneTrailingSeparator)
{
    EXPECT_TRUE(IsSamePath(L"C:\\A\\", L"c:/a"));
    EXPECT_TRUE(IsSamePath(L"\\\\srv\\share", L"\\\\SRV\\SHARE\\"));
    EXPECT_FALSE(IsSamePath(L"C:\\", L"C:"));
    EXPECT_FALSE(IsSamePath(L"C:\\A", L"C:\\AB"));
    EXPECT_FALSE(IsSamePath(L"C:\\A", nullptr));
    // Two long paths that differ only beyond the 260th character are
    // different paths.
    std::wstring a = L"C:\\" + Repeat(300);
    std::wstring b = a;
    b[280] = L'b';
    EXPECT_TRUE(IsSamePath(a.c_str(), a.c_str()));
    EXPECT_FALSE(IsSamePath(a.c_str(), b.c_str()));
}

TEST(PathsCompare, SubFolderNeedsASeparatorAfterTheParent)
{
    struct {
        const wchar_t* child;
        const wchar_t* parent;
        int below, belowOrSame;
    } cases[] = {
        {L"C:\\A\\B", L"c:/a", 1, 1},      {L"C:\\AB", L"C:\\A", 0, 0},
        {L"C:\\A", L"C:\\A", 0, 1},        {L"C:\\A\\", L"C:\\A", 0, 1},
        {L"C:\\A\\B", L"C:\\A\\", 1, 1},   {L"C:\\A", L"C:\\", 1, 1},
        {L"C:\\", L"C:\\", 0, 1},          {L"C:\\A", L"C:\\A\\B", 0, 0},
        {L"D:\\A\\B", L"C:\\A", 0, 0},     {L"\\\\srv\\share\\x", L"\\\\SRV\\share", 1, 1},
        {L"\\A", L"\\", 1, 1},             {L"C:\\A", L"", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSubFolderOf(c.child, c.parent, 0), c.below) << c.child << " in " << c.parent;
        EXPECT_EQ(IsSubFolderOf(c.child, c.parent, 1), c.belowOrSame) << c.child << " in " << c.parent;
    }
    std::wstring deep = L"C:\\" + Repeat(300) + L"\\x";
    EXPECT_TRUE(IsSubFolderOf(deep.c_str(), (L"C:\\" + Repeat(300)).c_str(), 0));
    EXPECT_FALSE(IsSubFolderOf(L"C:\\A", nullptr, 1));
}

TEST(PathsEnvironment, ExpansionFallsBackToTheInput)
{
    PathBuf out;
    EXPECT_TRUE(ExpandEnvStrings(L"%TEMP%\\x", out, 260));
    EXPECT_EQ(out.Str(), Expanded(L"%TEMP%\\x"));

    PathBuf empty(L"stale");
    EXPECT_FALSE(ExpandEnvStrings(L"", empty, 260));
    EXPECT_EQ(empty.Str(), L"");

    // Too little room for the expansion: the input, cut to fit.
    GuardedBuffer<wchar_t> small(8, PathBuf::guard);
    EXPECT_FALSE(ExpandEnvStrings(L"%TEMP%\\abc", small.data(), 8));
    EXPECT_STREQ(small.data(), L"%TEMP%\\");
    EXPECT_TRUE(small.GuardIntact());

    PathBuf inPlace(L"%TEMP%");
    EXPECT_TRUE(ExpandEnvStrings(inPlace, inPlace, 260));
    EXPECT_EQ(inPlace.Str(), Expanded(L"%TEMP%"));

    // Whether or not a folder can be replaced, the round trip gives the path.
    std::wstring path = WindowsDir() + L"\\x.ini";
    PathBuf unexpanded;
    UnExpandEnvStrings(path.c_str(), unexpanded, 260);
    PathBuf back;
    ExpandEnvStrings(unexpanded, back, 260);
    EXPECT_TRUE(IsSamePath(back, path.c_str())) << unexpanded.Str();
}

TEST(PathsFileSystem, ExistenceByAttributes)
{
    TempFolder temp;
    std::wstring file = temp / L"f.txt";
    std::wstring dir = temp / L"sub";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CreateDirectoryW(dir.c_str(), nullptr);
    std::wstring missing = temp / L"none";
    std::wstring mask = temp / L"*.txt";

    struct {
        std::wstring path;
        int file, folder;
    } cases[] = {{file, 1, 0}, {dir, 0, 1}, {temp.Path(), 0, 1}, {missing, 0, 0}, {mask, 0, 0},
                 {L"", 0, 0},  {L"C:\\" + Repeat(300), 0, 0}};
    for (const auto& c : cases) {
        const wchar_t* p = c.path.c_str();
        EXPECT_EQ(FileExists(p), c.file) << p;
        EXPECT_EQ(FolderExists(p), c.folder) << p;
        EXPECT_EQ(FileOrFolderExists(p), c.file || c.folder) << p;
        EXPECT_EQ(IsFileExists(p), c.file) << p;
        EXPECT_EQ(IsFolderExists(p), c.folder) << p;
        EXPECT_EQ(IsFileOrFolderExists(p), c.file || c.folder) << p;
    }
    EXPECT_EQ(GetFileAttributes2(mask.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileOrFolderExists(nullptr));
    EXPECT_FALSE(IsFileOrFolderExists(nullptr));
}

TEST(PathsFileSystem, DriveExistsForMountedLettersOnly)
{
    wchar_t windowsDrive = WindowsDir()[0];
    EXPECT_TRUE(DriveExists(std::wstring(1, windowsDrive).c_str()));
    EXPECT_TRUE(DriveExists(L"c:\\anything"));
    DWORD mounted = GetLogicalDrives();
    for (int d = 25; d >= 0; --d) {
        if (!(mounted & (1u << d))) {
            wchar_t path[] = {static_cast<wchar_t>(L'A' + d), L':', L'\\', 0};
            EXPECT_FALSE(DriveExists(path)) << path;
            break;
        }
    }
    EXPECT_FALSE(DriveExists(L"1:\\"));
    EXPECT_FALSE(DriveExists(L"\\\\srv\\share"));
    EXPECT_FALSE(DriveExists(L""));
    EXPECT_FALSE(DriveExists(nullptr));
}

namespace {

const wchar_t homeKey[] = L"Software\\Corvenna\\Launchora\\Setup";

bool HomeValueSet()
{
    return RegGetValueW(HKEY_LOCAL_MACHINE, homeKey, L"Home", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

} // namespace

TEST(PathsHome, WithoutAHomeValueTheLibraryFolderServes)
{
    ASSERT_STREQ(GetMyProductInfo()->GetName(), L"Launchora");
    if (HomeValueSet())
        GTEST_SKIP() << "the prefix has a Home value";
    PathBuf home;
    EXPECT_TRUE(GetHomeDir(home));
    EXPECT_TRUE(IsSamePath(home, ModuleFolder().c_str())) << home.Str();
    EXPECT_FALSE(IsSep(home.Str().back()));
    EXPECT_FALSE(GetHomeDir(nullptr));
}

TEST(PathsHome, TheHomeValueWins)
{
    // The maker's machine key is made here and removed again afterwards.
    HKEY maker = nullptr;
    bool existed = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna", 0, KEY_READ, &maker) == ERROR_SUCCESS;
    if (existed) {
        RegCloseKey(maker);
        GTEST_SKIP() << "the prefix has the maker's machine key";
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, homeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr))
        GTEST_SKIP() << "HKLM is not writable";
    const wchar_t value[] = L"D:\\Apps\\Launchora";
    RegSetValueExW(key, L"Home", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    PathBuf home;
    GetHomeDir(home);
    PathBuf canon;
    MakeCanonicalPath(L"d:\\apps\\launchora\\Launchora.exe", canon);
    PathBuf back;
    GetPathFromCanonical(L"%_\\x.ini", back);
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");

    EXPECT_EQ(home.Str(), value);
    EXPECT_EQ(canon.Str(), L"%_\\Launchora.exe");
    EXPECT_EQ(back.Str(), L"D:\\Apps\\Launchora\\x.ini");
}

TEST(PathsCanonical, FilesDirectlyInKnownFoldersAreShortened)
{
    wchar_t home[MAX_PATH];
    GetHomeDir(home);
    std::wstring sys = SystemDir(), win = WindowsDir();
    struct {
        std::wstring path, canon;
        int result;
    } cases[] = {
        {sys + L"\\kernel32.dll", L"%S\\kernel32.dll", 1},
        {win + L"\\notepad.exe", L"%W\\notepad.exe", 1},
        {std::wstring(home) + L"\\Launchora.ini", L"%_\\Launchora.ini", 1},
        {L"c:/WINDOWS/System32/X.dll", L"%S\\X.dll", 1},
        {sys + L"\\drivers\\etc", sys + L"\\drivers\\etc", 0},
        {L"D:\\elsewhere\\x", L"D:\\elsewhere\\x", 0},
        {L"x.dll", L"x.dll", 0},
    };
    for (const auto& c : cases) {
        PathBuf canon;
        EXPECT_EQ(MakeCanonicalPath(c.path.c_str(), canon), c.result) << c.path;
        EXPECT_EQ(canon.Str(), c.canon) << c.path;
        if (c.result) {
            PathBuf back;
            EXPECT_TRUE(GetPathFromCanonical(canon, back));
            EXPECT_TRUE(IsSamePath(back, c.path.c_str())) << back.Str();
        }
    }
    std::wstring tooLong = win + L"\\" + Repeat(300);
    PathBuf canon;
    EXPECT_FALSE(MakeCanonicalPath(tooLong.c_str(), canon));
    EXPECT_EQ(canon.Str(), tooLong.substr(0, 259));
}

TEST(PathsCanonical, OnlyACodeBeforeASeparatorIsReplaced)
{
    std::wstring sys = SystemDir();
    struct {
        std::wstring canon, path;
        int result;
    } cases[] = {
        {L"%S\\a\\b.dll", sys + L"\\a\\b.dll", 1},
        {L"%S/x", sys + L"\\x", 1},
        {L"%S", sys + L"\\", 1},
        {L"%W\\", WindowsDir() + L"\\", 1},
        // Environment-style text is not a code.
        {L"%SystemRoot%\\x", L"%SystemRoot%\\x", 0},
        {L"%WINDIR%\\x", L"%WINDIR%\\x", 0},
        {L"%s\\x", L"%s\\x", 0},
        {L"C:\\plain", L"C:\\plain", 0},
        {L"%", L"%", 0},
        {L"", L"", 0},
        {L"%W\\" + Repeat(300), L"", 0},
    };
    for (const auto& c : cases) {
        PathBuf out(L"stale");
        EXPECT_EQ(GetPathFromCanonical(c.canon.c_str(), out), c.result) << c.canon;
        EXPECT_EQ(out.Str(), c.path) << c.canon;
    }
    PathBuf out(L"stale");
    EXPECT_FALSE(GetPathFromCanonical(nullptr, out));
    EXPECT_EQ(out.Str(), L"");
}
