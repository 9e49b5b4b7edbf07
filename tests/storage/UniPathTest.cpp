#include <gtest/gtest.h>

#include "PVDLL.h"
#include "PathProbe.h"
#include "common/TestSupport.h"

#include <string>
#include <utility>

namespace {

// What the shell layer's id-list paths look like to this class.
class IdListPath : public UniPath {
public:
    explicit IdListPath(const wchar_t* path) : UniPath(path) { bPidl = 1; }
};

std::wstring Text(const UniPath& p)
{
    PathBuf buf(L"stale");
    p.GetPath(buf, 260);
    return buf.Str();
}

} // namespace

TEST(UniPath, HoldsAtMost259Characters)
{
    UniPath none;
    EXPECT_FALSE(none.IsReady());
    EXPECT_EQ(Text(none), L"");

    std::wstring longPath = L"C:\\" + Repeat(300);
    UniPath p(longPath.c_str());
    ASSERT_TRUE(p.IsReady());
    EXPECT_EQ(Text(p), longPath.substr(0, 259));

    EXPECT_TRUE(p.Set(L""));
    EXPECT_TRUE(p.IsReady());
    EXPECT_FALSE(p.Set(static_cast<const wchar_t*>(nullptr)));
    EXPECT_FALSE(p.IsReady());
}

TEST(UniPath, CopiesOwnTheirText)
{
    UniPath a(L"C:\\a.txt");
    UniPath b(a);
    UniPath c;
    c = a;
    UniPath d(&a);
    EXPECT_NE(b.Path(), a.Path());
    EXPECT_NE(c.Path(), a.Path());
    EXPECT_NE(d.Path(), a.Path());
    a.Set(L"C:\\changed");
    EXPECT_EQ(Text(b), L"C:\\a.txt");
    EXPECT_EQ(Text(c), L"C:\\a.txt");
    EXPECT_EQ(Text(d), L"C:\\a.txt");

    c = c;
    EXPECT_EQ(Text(c), L"C:\\a.txt");
    UniPath moved(std::move(c));
    EXPECT_FALSE(c.IsReady());
    EXPECT_EQ(Text(moved), L"C:\\a.txt");
    UniPath empty;
    b = empty;
    EXPECT_FALSE(b.IsReady());
}

TEST(UniPath, AnIdListPathAnswersNothingAndCannotBeCopied)
{
    IdListPath pidl(L"C:\\x\\y.txt");
    EXPECT_TRUE(pidl.IsPidl());
    EXPECT_EQ(Text(pidl), L"");
    PathBuf name(L"stale");
    EXPECT_FALSE(pidl.GetFileName(name, 260));
    EXPECT_EQ(name.Str(), L"");
    EXPECT_FALSE(pidl.FileExists());
    EXPECT_FALSE(pidl.IsContainer());
    EXPECT_FALSE(pidl.MakeParentFolder());

    UniPath copy(static_cast<UniPath*>(&pidl));
    EXPECT_FALSE(copy.IsReady());
    UniPath kept(L"C:\\kept");
    EXPECT_FALSE(kept.Set(&pidl));
    EXPECT_EQ(Text(kept), L"C:\\kept");
    EXPECT_FALSE(kept.IsSameAs(&pidl));
    EXPECT_FALSE(kept.Make(&pidl, L"x"));
}

TEST(UniPath, OutputsStayWithinTheCallersCapacity)
{
    UniPath p(L"C:\\folder\\name.ext");
    GuardedBuffer<wchar_t> small(5, PathBuf::guard);
    p.GetPath(small.data(), 5);
    EXPECT_STREQ(small.data(), L"C:\\f");
    EXPECT_TRUE(small.GuardIntact());
    p.GetDisplayFileName(small.data(), 5);
    EXPECT_STREQ(small.data(), L"name");
    PathBuf display(L"stale");
    p.GetDisplayName(display, 260);
    EXPECT_EQ(display.Str(), L"");
}

TEST(UniPath, FileSystemQueries)
{
    TempFolder temp;
    std::wstring file = temp / L"f.txt";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    UniPath folder(temp.Path().c_str()), f(file.c_str());
    EXPECT_TRUE(folder.IsContainer());
    EXPECT_FALSE(folder.FileExists());
    EXPECT_TRUE(f.FileExists());
    EXPECT_FALSE(f.IsContainer());
    EXPECT_FALSE(f.IsReadOnly());
    EXPECT_FALSE(f.IsFileInUse());
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(f.IsReadOnly());
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    UniPath upper(file.c_str());
    CharUpperW(upper.Path());
    EXPECT_TRUE(f.IsSameAs(&upper));
    UniPath other((temp / L"g.txt").c_str());
    EXPECT_FALSE(f.IsSameAs(&other));
}

TEST(UniPath, ParentFolderKeepsTheDriveRoot)
{
    struct {
        const wchar_t* path;
        const wchar_t* parent;
    } cases[] = {{L"C:\\A\\b.txt", L"C:\\A"}, {L"C:\\b.txt", L"C:\\"}, {L"\\\\srv\\share\\x", L"\\\\srv\\share"}};
    for (const auto& c : cases) {
        UniPath p(c.path);
        p.MakeParentFolder();
        EXPECT_EQ(Text(p), c.parent) << c.path;
    }
}

TEST(UniPath, MakeJoinsAnExpandedFolderAndAName)
{
    wchar_t temp[MAX_PATH];
    ExpandEnvironmentStringsW(L"%TEMP%", temp, MAX_PATH);
    UniPath folder(L"%TEMP%"), made;
    EXPECT_TRUE(made.Make(&folder, L"\\x.txt"));
    EXPECT_EQ(Text(made), std::wstring(temp) + L"\\x.txt");

    UniPath self(L"C:\\A\\");
    EXPECT_TRUE(self.Make(&self, L"b"));
    EXPECT_EQ(Text(self), L"C:\\A\\b");

    UniPath longFolder((L"C:\\" + Repeat(250)).c_str());
    EXPECT_TRUE(made.Make(&longFolder, Repeat(20).c_str()));
    EXPECT_TRUE(made.IsReady());
    EXPECT_EQ(Text(made), L"");
    EXPECT_FALSE(made.Make(nullptr, L"x"));
}
