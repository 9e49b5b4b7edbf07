// Item id lists of real files and folders (parsed by the shell), lists
// built by hand, their serialised and registry forms, the shell's list
// array, and the shell item exports.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/IdListSupport.h"
#include "common/RawFile.h"
#include "common/TestSupport.h"

namespace {

PIDL Parse(const std::wstring& path)
{
    PIDL list;
    LPITEMIDLIST raw = nullptr;
    if (SUCCEEDED(SHParseDisplayName(path.c_str(), nullptr, &raw, 0, nullptr)))
        list.Attach(raw);
    return list;
}

LPCITEMIDLIST AsList(const std::string& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

std::wstring Name(const PIDL& list)
{
    wchar_t name[MAX_PATH];
    list.GetDisplayFileName(name, MAX_PATH);
    return name;
}

// A folder with two subfolders and a file in the first, parsed by the shell.
class Pidls : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        alphaPath = folder / L"alpha";
        betaPath = folder / L"beta";
        filePath = alphaPath + L"\\inner";
        CreateDirectoryW(alphaPath.c_str(), nullptr);
        CreateDirectoryW(betaPath.c_str(), nullptr);
        CreateDirectoryW(filePath.c_str(), nullptr);
        base = Parse(folder.Path());
        alpha = Parse(alphaPath);
        beta = Parse(betaPath);
        inner = Parse(filePath);
        ASSERT_TRUE(base.GetPointer() && alpha.GetPointer() && beta.GetPointer() && inner.GetPointer())
            << "the shell parses no path of the temp folder";
    }
    void TearDown() override
    {
        base.Free();
        alpha.Free();
        beta.Free();
        inner.Free();
        CoUninitialize();
    }

    TempFolder folder;
    std::wstring alphaPath, betaPath, filePath;
    PIDL base, alpha, beta, inner;
};

// Names items by their first data byte; what it does not know it fails,
// so that a walk in it shows what the library does with a failing folder.
class StandInFolder : public IShellFolder {
public:
    explicit StandInFolder(std::vector<std::wstring> names) : names(std::move(names)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IShellFolder) {
            *out = static_cast<IShellFolder*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*, ULONG*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** out) override
    {
        ++binds;
        *out = nullptr;
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override
    {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*, void**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF, STRRET* name) override
    {
        const BYTE* data = reinterpret_cast<const BYTE*>(item) + 2;
        if (PIDL::GetSizeOne(item) < 3 || data[0] >= names.size())
            return E_FAIL;
        const std::wstring& text = names[data[0]];
        size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        name->uType = STRRET_WSTR;
        name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        memcpy(name->pOleStr, text.c_str(), bytes);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override
    {
        return E_NOTIMPL;
    }

    int binds = 0;

private:
    std::vector<std::wstring> names;
    ULONG refs = 1;
};

// A key below HKCU for one test, removed with everything in it.
class TestKey {
public:
    TestKey()
    {
        wchar_t name[96];
        StrFormat(name, 96, L"Software\\PVDLL-tests\\Pidl-%lu", GetCurrentProcessId());
        sub = name;
        path = L"HKCU\\" + sub;
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
        key.Open(path.c_str(), 1);
    }
    ~TestKey()
    {
        key.Close();
        RegDeleteTreeW(HKEY_CURRENT_USER, sub.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\PVDLL-tests");
    }
    void PutRaw(const wchar_t* name, DWORD type, const std::string& bytes)
    {
        RegSetValueExW(key.GetHandle(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    }

    std::wstring sub, path;
    RegKey key;
};

} // namespace

// --- sizes, counts and the walk ---------------------------------------------------

TEST(PidlSizes, NullAndEmptyListsHaveTheirOwnSizes)
{
    PIDL none;
    EXPECT_EQ(none.GetSizeTotal(), 0u);
    EXPECT_EQ(none.GetSizeAll(), 0u);
    EXPECT_EQ(none.GetCount(), 0u);
    EXPECT_TRUE(none.IsEmpty());

    PIDL empty;
    ASSERT_TRUE(empty.Make());
    EXPECT_EQ(empty.GetSizeTotal(), PIDL::iMinSize);
    EXPECT_EQ(empty.GetSizeAll(), 0u);
    EXPECT_EQ(empty.GetCount(), 0u);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetLast(), nullptr);
    EXPECT_EQ(empty.GetEnd(), nullptr);
}

TEST(PidlSizes, HandBuiltListIsWalkedItemByItem)
{
    const std::string bytes = IdList({"one", "two!", "x"});
    PIDL list(AsList(bytes));
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.GetSizeOne(), 5u);
    EXPECT_EQ(list.GetSizeAll(), 5u + 6u + 3u);
    EXPECT_EQ(list.GetSizeTotal(), bytes.size());
    const BYTE* start = reinterpret_cast<const BYTE*>(list.GetPointer());
    EXPECT_EQ(reinterpret_cast<const BYTE*>(list.GetLast()), start + 11);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(list.GetEnd()), start + 14);
    EXPECT_EQ(PIDL::GetFirst(list), list.GetPointer());
    LPITEMIDLIST second = PIDL::GetNext(list);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(second), start + 5);
    EXPECT_EQ(PIDL::GetNext(PIDL::GetNext(second)), nullptr);
}

TEST(PidlSizes, ItemShorterThanItsCountEndsAnInMemoryWalk)
{
    // A count of 1 cannot hold the count itself; walking on would read the
    // next byte as part of a count.
    std::string bytes = IdItem("ab") + std::string("\x01\x00\x05\x00", 4) + std::string(6, '\0');
    EXPECT_EQ(PIDL::GetCount(AsList(bytes)), 1u);
    EXPECT_EQ(PIDL::GetSizeAll(AsList(bytes)), 4u);
    PIDL copy(AsList(bytes));
    EXPECT_EQ(ListBytes(copy), IdItem("ab") + std::string(2, '\0'));
}

TEST(PidlSizes, RemoveLastShortensAndLeavesTheDesktopAtLast)
{
    const std::string bytes = IdList({"a", "b"});
    PIDL list(AsList(bytes));
    list.RemoveLast();
    EXPECT_EQ(ListBytes(list), IdList({"a"}));
    list.RemoveLast();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_NE(list.GetPointer(), nullptr);
    list.RemoveLast();
    EXPECT_TRUE(list.IsEmpty());
}

// --- copies, appends, and copies onto themselves -------------------------------------

TEST(PidlCopies, CopiesAndAppendsKeepOneTerminator)
{
    const std::string ab = IdList({"a", "bb"});
    const std::string c = IdList({"ccc", "dd"});
    PIDL list;
    ASSERT_TRUE(list.CopyOne(AsList(ab)));
    EXPECT_EQ(ListBytes(list), IdList({"a"}));
    ASSERT_TRUE(list.CopyAll(AsList(ab)));
    EXPECT_EQ(ListBytes(list), ab);
    ASSERT_TRUE(list.AppendOne(AsList(c)));
    EXPECT_EQ(ListBytes(list), IdList({"a", "bb", "ccc"}));
    ASSERT_TRUE(list.AppendAll(AsList(c)));
    EXPECT_EQ(ListBytes(list), IdList({"a", "bb", "ccc", "ccc", "dd"}));

    PIDL fresh;
    ASSERT_TRUE(fresh.AppendAll(AsList(c)));  // appending to a null object allocates
    EXPECT_EQ(ListBytes(fresh), c);
    ASSERT_TRUE(fresh.CopyAll(nullptr));
    EXPECT_EQ(ListBytes(fresh), IdList({}));
}

TEST(PidlCopies, ListCopiedOrAppendedOntoItselfStaysWhole)
{
    const std::string ab = IdList({"alpha", "beta"});
    PIDL list(AsList(ab));
    ASSERT_TRUE(list.CopyAll(list.GetPointer()));
    EXPECT_EQ(ListBytes(list), ab);
    ASSERT_TRUE(list.AppendAll(list.GetPointer()));
    EXPECT_EQ(ListBytes(list), IdList({"alpha", "beta", "alpha", "beta"}));
    ASSERT_TRUE(list.AppendOne(list.GetLast()));
    EXPECT_EQ(ListBytes(list), IdList({"alpha", "beta", "alpha", "beta", "beta"}));
    // After RemoveLast the block is larger than the list it holds.
    list.RemoveLast();
    ASSERT_TRUE(list.AppendOne(PIDL::GetNext(PIDL::GetNext(PIDL::GetNext(list)))));
    EXPECT_EQ(ListBytes(list), IdList({"alpha", "beta", "alpha", "beta", "beta"}));
    ASSERT_TRUE(list.CopyOne(PIDL::GetNext(list)));
    EXPECT_EQ(ListBytes(list), IdList({"beta"}));

    PIDL& same = list;
    list = same;
    EXPECT_EQ(ListBytes(list), IdList({"beta"}));
    PIDL copy(list);
    EXPECT_NE(copy.GetPointer(), list.GetPointer());
    EXPECT_EQ(ListBytes(copy), ListBytes(list));
}

// --- real lists: comparison, ancestry, roots and names --------------------------------

TEST_F(Pidls, ParsedListsGrowByOneItemPerLevel)
{
    EXPECT_EQ(alpha.GetCount(), base.GetCount() + 1);
    EXPECT_EQ(inner.GetCount(), base.GetCount() + 2);
    PIDL built(base);
    ASSERT_TRUE(built.AppendOne(alpha.GetLast()));
    ASSERT_TRUE(built.AppendOne(inner.GetLast()));
    EXPECT_TRUE(PIDL::IsEquial(built, inner));
    built.RemoveLast();
    EXPECT_TRUE(PIDL::IsEquial(built, alpha));
}

TEST_F(Pidls, CompareAbsTellsAncestorsDescendantsAndSiblings)
{
    EXPECT_EQ(PIDL::CompareAbs(alpha, inner), -2);
    EXPECT_EQ(PIDL::CompareAbs(inner, alpha), 2);
    EXPECT_EQ(PIDL::CompareAbs(base, inner), -2);
    PIDL again = Parse(filePath);
    EXPECT_EQ(inner.CompareAbs(again), 0);
    int ab = PIDL::CompareAbs(alpha, beta);
    EXPECT_EQ(ab, -1);  // the folder sorts by name
    EXPECT_EQ(PIDL::CompareAbs(beta, alpha), -ab);
    EXPECT_EQ(PIDL::CompareAbs(inner, beta), -1);
    EXPECT_EQ(PIDL::CompareAbs(nullptr, nullptr), 0);
    EXPECT_EQ(PIDL::CompareAbs(nullptr, alpha), -2);
    EXPECT_EQ(PIDL::CompareAbs(alpha, nullptr), 2);

    EXPECT_TRUE(PIDL::IsEquialOrChildOf(alpha, inner));
    EXPECT_TRUE(PIDL::IsEquialOrChildOf(alpha, alpha));
    EXPECT_FALSE(PIDL::IsEquialOrChildOf(inner, alpha));
    EXPECT_FALSE(PIDL::IsEquialOrChildOf(beta, inner));
}

TEST_F(Pidls, GetChildOfPointsBelowTheParent)
{
    LPITEMIDLIST below = inner.GetChildOf(base);
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(PIDL::GetCount(below), 2u);
    EXPECT_EQ(reinterpret_cast<BYTE*>(below), reinterpret_cast<BYTE*>(inner.GetPointer()) + base.GetSizeAll());
    LPITEMIDLIST self = inner.GetChildOf(inner);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self, inner.GetEnd());
    EXPECT_EQ(alpha.GetChildOf(inner), nullptr);
    EXPECT_EQ(inner.GetChildOf(beta), nullptr);
    EXPECT_EQ(PIDL().GetChildOf(base), nullptr);
}

TEST(PidlCompare, FolderThatCannotCompareGivesDifferentLists)
{
    StandInFolder folder({L"a"});
    const std::string one = IdList({"same"});
    const std::string other = IdList({"other"});
    int ab = PIDL::CompareAbs(&folder, AsList(one), AsList(other));
    EXPECT_TRUE(ab == 1 || ab == -1);
    EXPECT_EQ(PIDL::CompareAbs(&folder, AsList(other), AsList(one)), -ab);
    // Even the same bytes are not called the same item by a folder that
    // could not say so.
    EXPECT_NE(PIDL::CompareAbs(&folder, AsList(one), AsList(one)), 0);
}

TEST_F(Pidls, MakeRootCutsBackToTheDrive)
{
    PIDL drive = Parse(L"C:\\");
    ASSERT_TRUE(drive.GetPointer());
    PIDL list(inner);
    list.MakeRoot();
    EXPECT_TRUE(PIDL::IsEquial(list, drive));
    drive.MakeRoot();
    EXPECT_TRUE(PIDL::IsEquial(drive, Parse(L"C:\\")));
}

TEST(PidlSpecial, ControlPanelHasNoRootButTheDesktop)
{
    CoInitialize(nullptr);
    {
        PIDL panel;
        if (!panel.Attach(CSIDL_CONTROLS)) {
            CoUninitialize();
            GTEST_SKIP() << "the shell gives no list for the Control Panel";
        }
        EXPECT_GT(panel.GetCount(), 0u);
        panel.MakeRoot();
        EXPECT_TRUE(panel.IsEmpty());
        EXPECT_NE(panel.GetPointer(), nullptr);
    }
    CoUninitialize();
}

TEST(PidlSpecial, SpecialFoldersAreRecognised)
{
    CoInitialize(nullptr);
    {
        PIDL desktop;
        ASSERT_TRUE(desktop.Attach(CSIDL_DESKTOP));
        EXPECT_TRUE(desktop.IsEmpty());
        PIDL drives;
        ASSERT_TRUE(drives.Attach(CSIDL_DRIVES));
        EXPECT_EQ(drives.GetCount(), 1u);
        EXPECT_TRUE(drives.IsSpecialFolder(nullptr, CSIDL_DRIVES));
        EXPECT_FALSE(drives.IsSpecialFolder(nullptr, CSIDL_DESKTOP));
        EXPECT_FALSE(drives.IsIE(nullptr));
        PIDL none;
        EXPECT_FALSE(none.Attach(-12345));
        EXPECT_EQ(none.GetPointer(), nullptr);
        EXPECT_FALSE(none.IsSpecialFolder(nullptr, CSIDL_DESKTOP));
    }
    CoUninitialize();
}

TEST_F(Pidls, DisplayPathJoinsTheNamesOfAllItems)
{
    wchar_t path[1024];
    ASSERT_NE(inner.GetDisplayPath(path, 1024), 0);
    std::wstring text = path;
    const std::wstring tail = L"alpha \u00BB inner";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    size_t separators = 0;
    for (size_t at = text.find(L" \u00BB "); at != std::wstring::npos; at = text.find(L" \u00BB ", at + 1))
        ++separators;
    EXPECT_EQ(separators, inner.GetCount() - 1);

    EXPECT_EQ(Name(inner), L"inner");
    wchar_t name[MAX_PATH];
    EXPECT_NE(inner.GetDisplayName(name, MAX_PATH), 0);

    wchar_t cut[8];
    inner.GetDisplayPath(cut, 8);
    EXPECT_EQ(lstrlenW(cut), 7);
    EXPECT_EQ(PIDL().GetDisplayPath(path, 1024), 0);
    EXPECT_STREQ(path, L"");
}

TEST_F(Pidls, DesktopIsNamedByItsOwnName)
{
    PIDL desktop;
    ASSERT_TRUE(desktop.Make());
    wchar_t path[MAX_PATH];
    wchar_t name[MAX_PATH];
    EXPECT_NE(desktop.GetDisplayPath(path, MAX_PATH), 0);
    EXPECT_NE(desktop.GetDisplayFileName(name, MAX_PATH), 0);
    EXPECT_STREQ(path, name);
}

TEST(PidlNames, SortPrefixCharactersAreSkippedAndAnEmptyNameAddsNothing)
{
    StandInFolder folder({L"Alpha", L"\x5555\xAAAA\x5555", L"\xAAAA\x5555Gamma", L"Delta"});
    const std::string list = IdList({std::string(1, '\0'), std::string(1, '\1'), std::string(1, '\2')});
    wchar_t path[64];
    EXPECT_EQ(PIDL::GetDisplayPath(&folder, AsList(list), path, 64), L'A');
    EXPECT_STREQ(path, L"Alpha \u00BB Gamma");
    EXPECT_EQ(folder.binds, 3);  // a failed bind asks the same folder again

    // A name the folder cannot give ends the path there.
    const std::string broken = IdList({std::string(1, '\3'), std::string(1, '\x7F'), std::string(1, '\0')});
    PIDL::GetDisplayPath(&folder, AsList(broken), path, 64);
    EXPECT_STREQ(path, L"Delta");
}

// --- serialised lists and the registry -------------------------------------------------

TEST(PidlSerialised, IsValidTakesExactlyOneWholeList)
{
    const std::string bytes = IdList({"abc", "de"});
    const unsigned size = static_cast<unsigned>(bytes.size());
    std::string longer = bytes + '\0';
    EXPECT_TRUE(PIDL::IsValid(AsList(bytes), size));
    EXPECT_FALSE(PIDL::IsValid(AsList(longer), size + 1));
    EXPECT_FALSE(PIDL::IsValid(AsList(bytes), size - 1));
    EXPECT_FALSE(PIDL::IsValid(AsList(bytes), 0));
    EXPECT_TRUE(PIDL::IsValid(nullptr, 0));
    EXPECT_FALSE(PIDL::IsValid(nullptr, 2));
    const std::string shortItem = IdItem("a") + std::string("\x01\x00\x00\x00", 4);
    EXPECT_FALSE(PIDL::IsValid(AsList(shortItem), static_cast<unsigned>(shortItem.size())));
}

TEST(PidlSerialised, GetPutRoundTripsAndTheBoundedFormRefusesWhatRunsPastTheBuffer)
{
    const std::string bytes = IdList({"abc", "de"});
    PIDL list(AsList(bytes));
    EXPECT_EQ(list.GetPut(1, nullptr), bytes.size());
    std::string out(bytes.size(), 'x');
    EXPECT_EQ(list.GetPut(1, reinterpret_cast<BYTE*>(&out[0])), bytes.size());
    EXPECT_EQ(out, bytes);
    EXPECT_EQ(list.GetPut(1, reinterpret_cast<BYTE*>(&out[0]), static_cast<unsigned>(bytes.size() - 1)), 0u);
    EXPECT_EQ(PIDL().GetPut(1, nullptr), 0u);

    std::string stored = bytes + "trailing";
    PIDL read;
    EXPECT_EQ(read.GetPut(0, reinterpret_cast<BYTE*>(&stored[0])), bytes.size());
    EXPECT_EQ(ListBytes(read), bytes);
    PIDL bounded;
    EXPECT_EQ(bounded.GetPut(0, reinterpret_cast<BYTE*>(&stored[0]), static_cast<unsigned>(stored.size())),
              bytes.size());
    EXPECT_EQ(ListBytes(bounded), bytes);
    // The terminator lies one byte beyond the buffer.
    PIDL cut(AsList(IdList({"keep"})));
    EXPECT_EQ(cut.GetPut(0, reinterpret_cast<BYTE*>(&stored[0]), static_cast<unsigned>(bytes.size() - 1)), 0u);
    EXPECT_EQ(ListBytes(cut), IdList({"keep"}));
}

TEST(PidlSerialised, ThreeListsRoundTripThroughOneBuffer)
{
    const std::vector<std::string> sources = {IdList({"a", "bb"}), IdList({}), IdList({"ccc"})};
    PIDL one(AsList(sources[0])), two(AsList(sources[1])), three(AsList(sources[2]));
    ZnList lists;
    lists.AddTail(&one);
    lists.AddTail(&two);
    lists.AddTail(&three);
    unsigned size = PIDL::GetPutPIDLList(lists, 3, 1, nullptr);
    EXPECT_EQ(size, sources[0].size() + sources[1].size() + sources[2].size());
    std::string buffer(size, '\0');
    BYTE* at = reinterpret_cast<BYTE*>(&buffer[0]);
    EXPECT_EQ(PIDL::GetPutPIDLList(lists, 3, 1, at, size - 1), 0u);
    EXPECT_EQ(PIDL::GetPutPIDLList(lists, 3, 1, at, size), size);
    EXPECT_EQ(buffer, sources[0] + sources[1] + sources[2]);

    PIDL r1, r2, r3;
    ZnList read;
    read.AddTail(&r1);
    read.AddTail(&r2);
    read.AddTail(&r3);
    EXPECT_EQ(PIDL::GetPutPIDLList(read, 0, 0, at, size), size);
    EXPECT_EQ(ListBytes(r1), sources[0]);
    EXPECT_EQ(ListBytes(r2), sources[1]);
    EXPECT_EQ(ListBytes(r3), sources[2]);

    // A buffer cut inside the third list gives the first two only.
    PIDL s1, s2, s3;
    ZnList partial;
    partial.AddTail(&s1);
    partial.AddTail(&s2);
    partial.AddTail(&s3);
    EXPECT_EQ(PIDL::GetPutPIDLList(partial, 3, 0, at, size - 1), sources[0].size() + sources[1].size());
    EXPECT_EQ(s3.GetPointer(), nullptr);
    EXPECT_EQ(PIDL::GetPutPIDLList(partial, 3, 0, at), size);
}

TEST(PidlRegistry, StoredListIsReadBackAndBadValuesAreIgnored)
{
    TestKey test;
    ASSERT_TRUE(test.key.IsOpen());
    const std::string bytes = IdList({"folder", "item"});
    PIDL list(AsList(bytes));
    EXPECT_EQ(list.Persist(1, test.key, L"Place"), 1);
    PIDL back;
    EXPECT_EQ(back.Persist(0, test.key, L"Place"), 1);
    EXPECT_EQ(ListBytes(back), bytes);

    const std::string kept = IdList({"kept"});
    PIDL reader(AsList(kept));
    // A whole list of 2499 empty items: 5000 bytes.
    test.PutRaw(L"Large", REG_BINARY, IdList(std::vector<std::string>(2499)));
    reader.Persist(0, test.key, L"Large");
    EXPECT_EQ(ListBytes(reader), kept);
    test.PutRaw(L"Text", REG_SZ, bytes);
    reader.Persist(0, test.key, L"Text");
    EXPECT_EQ(ListBytes(reader), kept);
    test.PutRaw(L"Longer", REG_BINARY, bytes + '\0');
    reader.Persist(0, test.key, L"Longer");
    EXPECT_EQ(ListBytes(reader), kept);
    test.PutRaw(L"Empty", REG_BINARY, "");
    reader.Persist(0, test.key, L"Empty");
    EXPECT_EQ(ListBytes(reader), kept);
    reader.Persist(0, test.key, L"Missing");
    EXPECT_EQ(ListBytes(reader), kept);

    PIDL empty;
    ASSERT_TRUE(empty.Make());
    empty.Persist(1, test.key, L"Place");  // an empty list removes the value
    EXPECT_EQ(test.key.GetValueType(L"Place"), 0u);
}

// --- the shell's list array ------------------------------------------------------

TEST(IdListArray, ArrayInAMemoryBlockIsHandedOutInOrder)
{
    const std::vector<std::string> lists = {IdList({"drive", "folder"}), IdList({"one"}), IdList({"two", "x"})};
    const std::string bytes = ArrayBytes(lists);
    GlobalBlock block(bytes);
    ID_List array(static_cast<void*>(block.Get()));
    ASSERT_TRUE(array.IsReady());
    EXPECT_EQ(array.GetCount(), 2u);
    EXPECT_EQ(ListBytes(array.GetFolderPidl()), lists[0]);
    EXPECT_EQ(ListBytes(array.GetFirstPidl()), lists[1]);
    EXPECT_EQ(ListBytes(array.GetNextPidl()), lists[2]);
    EXPECT_EQ(array.GetNextPidl(), nullptr);
    EXPECT_EQ(ListBytes(array.GetFirstPidl()), lists[1]);
    EXPECT_EQ(array.GetSizeLPIDA(), bytes.size());

    ID_List none;
    EXPECT_FALSE(none.IsReady());
    EXPECT_EQ(none.GetCount(), 0u);
    EXPECT_EQ(none.GetFolderPidl(), nullptr);
    EXPECT_EQ(none.GetFirstPidl(), nullptr);
}

TEST(IdListArray, ArrayRunningPastItsBlockIsRefused)
{
    const std::vector<std::string> lists = {IdList({"folder"}), IdList({"one"})};
    std::string countTooLarge = ArrayBytes(lists);
    PutField(countTooLarge, 0, 0xFFFFFFFFu);
    std::string offsetOutside = ArrayBytes(lists);
    PutField(offsetOutside, 8, 0x1000);
    std::string unterminated = ArrayBytes(lists);
    unterminated.resize(unterminated.size() - 2);
    for (const std::string* bytes : {&countTooLarge, &offsetOutside, &unterminated}) {
        GlobalBlock block(*bytes);
        ASSERT_EQ(block.Size(), bytes->size()) << "the block is larger than asked: its end is not the array's";
        ID_List array(static_cast<void*>(block.Get()));
        EXPECT_TRUE(array.IsReady());
        EXPECT_EQ(array.GetCount(), 0u);
        EXPECT_EQ(array.GetFolderPidl(), nullptr);
        EXPECT_EQ(array.GetFirstPidl(), nullptr);
        EXPECT_EQ(array.GetNextPidl(), nullptr);
        EXPECT_EQ(array.GetSizeLPIDA(), 0u);
    }
}

TEST_F(Pidls, ShellDataObjectOfTwoItemsGivesTheirFolderAndLists)
{
    ComPtr<IShellFolder> desktop;
    ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(desktop.Put()));
    ComPtr<IShellFolder> parent;
    ASSERT_HRESULT_SUCCEEDED(desktop->BindToObject(base, nullptr, IID_IShellFolder, parent.PutVoid()));
    LPCITEMIDLIST items[2] = {alpha.GetLast(), beta.GetLast()};
    ComPtr<IDataObject> data;
    HRESULT hr = parent->GetUIObjectOf(nullptr, 2, items, IID_IDataObject, nullptr, data.PutVoid());
    if (FAILED(hr) || !data)
        GTEST_SKIP() << "the shell folder gives no data object (hr 0x" << std::hex << hr << ")";
    ID_List array(data.Get());
    ASSERT_TRUE(array.IsReady());
    if (!array.GetCount())
        GTEST_SKIP() << "the data object holds no \"Shell IDList Array\"";
    EXPECT_EQ(ID_List::cfIDLIST, RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
    EXPECT_EQ(array.GetCount(), 2u);
    EXPECT_TRUE(PIDL::IsEquial(array.GetFolderPidl(), base));
    PIDL first(array.GetFolderPidl());
    first.AppendAll(array.GetFirstPidl());
    EXPECT_TRUE(PIDL::IsEquial(first, alpha));
    PIDL second(array.GetFolderPidl());
    second.AppendAll(array.GetNextPidl());
    EXPECT_TRUE(PIDL::IsEquial(second, beta));
    EXPECT_GT(array.GetSizeLPIDA(), 12u);
}

// --- shortcuts and the shell item exports ------------------------------------------

TEST_F(Pidls, ShortcutHandsItsListToAPidl)
{
    std::wstring link = folder / L"to-inner.lnk";
    {
        iShellLink shellLink;
        ASSERT_TRUE(shellLink.SetIDList(inner));
        ASSERT_TRUE(shellLink.Save(link.c_str()));
    }
    iShellLink loaded;
    ASSERT_TRUE(loaded.Load(link.c_str()));
    PIDL list(AsList(IdList({"old"})));
    ASSERT_TRUE(loaded.GetIDList(list));
    ASSERT_NE(list.GetPointer(), nullptr);
    EXPECT_TRUE(PIDL::IsEquial(list, inner));
}

TEST_F(Pidls, ShellItemExportsWrapTheSystemFunctions)
{
    using CreateFn = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, IShellFolder*, PCUITEMID_CHILD, IShellItem**);
    using GetFn = HRESULT(WINAPI*)(IUnknown*, PIDLIST_ABSOLUTE*);
    HMODULE library = GetModuleHandleW(L"PVDLL.dll");
    ASSERT_NE(library, nullptr);
    auto create = reinterpret_cast<CreateFn>(reinterpret_cast<void*>(GetProcAddress(library, "MySHCreateShellItem")));
    auto get = reinterpret_cast<GetFn>(reinterpret_cast<void*>(GetProcAddress(library, "MySHGetIDListFromObject")));
    ASSERT_NE(create, nullptr);
    ASSERT_NE(get, nullptr);

    ComPtr<IShellItem> item;
    HRESULT hr = create(alpha, nullptr, inner.GetLast(), item.Put());
    if (hr == E_NOTIMPL)
        GTEST_SKIP() << "shell32 has no SHCreateShellItem";
    ASSERT_HRESULT_SUCCEEDED(hr);
    ASSERT_TRUE(item);
    wchar_t* path = nullptr;
    ASSERT_HRESULT_SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path));
    TaskMemBlock pathBlock(path);
    EXPECT_EQ(lstrcmpiW(path, filePath.c_str()), 0) << path;

    LPITEMIDLIST raw = reinterpret_cast<LPITEMIDLIST>(1);
    hr = get(item.Get(), &raw);
    if (hr != E_NOTIMPL) {
        ASSERT_HRESULT_SUCCEEDED(hr);
        PIDL back;
        back.Attach(raw);
        EXPECT_TRUE(PIDL::IsEquial(back, inner));
    }

    IShellItem* none = reinterpret_cast<IShellItem*>(1);
    EXPECT_TRUE(FAILED(create(alpha, nullptr, nullptr, &none)));
    EXPECT_EQ(none, nullptr);
    EXPECT_TRUE(FAILED(create(alpha, nullptr, inner.GetLast(), nullptr)));
    raw = reinterpret_cast<LPITEMIDLIST>(1);
    EXPECT_TRUE(FAILED(get(nullptr, &raw)));
    EXPECT_EQ(raw, nullptr);
    EXPECT_TRUE(FAILED(get(item.Get(), nullptr)));
}
