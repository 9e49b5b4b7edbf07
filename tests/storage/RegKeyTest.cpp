#include "RegistryFixture.h"

#include <cstring>

#include "common/PageEnd.h"

namespace {

std::wstring Str(RegKey& key, const wchar_t* name, const wchar_t* def = L"<def>", unsigned cch = 64)
{
    std::vector<wchar_t> buf(cch + 1, L'#');
    key.GetStr(name, buf.data(), cch, def);
    EXPECT_EQ(buf[cch], L'#') << "GetStr wrote past its capacity";
    return buf.data();
}

} // namespace

using RegKeyPaths = RegistryTest;
using RegKeyValues = RegistryTest;
using RegKeyEntries = RegistryTest;
using RegKeyTrees = RegistryTest;
using RegKeyRecording = RegistryTest;
using RegKeyHostileValues = RegistryTest;

TEST_F(RegKeyPaths, BothRootSpellingsAndDoubledSeparatorsOpenTheSameKey)
{
    RawPutStr(nullptr, L"Marker", L"here");
    std::wstring longForm = L"HKEY_CURRENT_USER\\\\" + subPath + L"\\";
    std::wstring shortForm = L"hkcu\\" + subPath;
    RegKey a(longForm.c_str(), 0);
    RegKey b(shortForm.c_str(), 0);
    ASSERT_TRUE(a.IsOpen());
    ASSERT_TRUE(b.IsOpen());
    EXPECT_EQ(Str(a, L"Marker"), L"here");
    EXPECT_EQ(Str(b, L"Marker"), L"here");

    std::wstring leading = L"Computer\\HKCU\\" + subPath;
    EXPECT_TRUE(RegKey(leading.c_str(), 0).IsOpen());
}

TEST_F(RegKeyPaths, PathWithoutARootOpensNothing)
{
    EXPECT_FALSE(RegKey(subPath.c_str(), 0).IsOpen());
    EXPECT_FALSE(RegKey(subPath.c_str(), 1).IsOpen());
    EXPECT_FALSE(RegKey(L"", 0).IsOpen());
    EXPECT_FALSE(RegKey(static_cast<const wchar_t*>(nullptr), 0).IsOpen());
    EXPECT_TRUE(RegKey(L"HKCU", 0).IsOpen());
}

TEST_F(RegKeyPaths, ReadingDoesNotCreateWritingDoes)
{
    EXPECT_FALSE(RegKey(Path(L"A\\B").c_str(), 0).IsOpen());
    EXPECT_FALSE(RawExists(L"A"));
    EXPECT_FALSE(RegKey(Path(L"A\\B").c_str(), RegKey::opCheck).IsOpen());
    EXPECT_TRUE(RegKey(Path(L"A\\B").c_str(), RegKey::opInstall).IsOpen());
    EXPECT_TRUE(RawExists(L"A\\B"));
    EXPECT_TRUE(RegKey(root.c_str(), L"A\\B", 0).IsOpen());

    RegKey parent(root.c_str(), 0);
    RegKey child(parent, L"A", 0);
    EXPECT_TRUE(child.IsOpen());
    EXPECT_FALSE(RegKey(parent, L"Missing", 0).IsOpen());
    EXPECT_TRUE(RegKey(parent, L"Made", RegKey::opRemove).IsOpen());
    EXPECT_TRUE(RawExists(L"Made"));
}

TEST_F(RegKeyPaths, OpenParentClimbsLevels)
{
    RegKey(Path(L"A\\B\\C").c_str(), 1);
    RawPutStr(L"A\\B", L"Level", L"B");
    RawPutStr(L"A", L"Level", L"A");
    RegKey key;
    ASSERT_TRUE(key.OpenParent(Path(L"A\\B\\C").c_str(), 0, 1));
    EXPECT_EQ(Str(key, L"Level"), L"B");
    ASSERT_TRUE(key.OpenParent(Path(L"A\\B\\C\\").c_str(), 0, 2));
    EXPECT_EQ(Str(key, L"Level"), L"A");
}

TEST_F(RegKeyPaths, PathHelpers)
{
    wchar_t out[16];
    EXPECT_TRUE(RegKey::GetParentSubkeyName(L"HKCU\\A\\B", out, 16));
    EXPECT_STREQ(out, L"HKCU\\A");
    EXPECT_FALSE(RegKey::GetParentSubkeyName(L"HKCU", out, 16));
    EXPECT_FALSE(RegKey::GetParentSubkeyName(L"", out, 16));
    EXPECT_TRUE(RegKey::GetParentSubkeyName(L"HKCU\\Software\\Long\\X", out, 8));
    EXPECT_STREQ(out, L"HKCU\\So");
    EXPECT_STREQ(RegKey::FindLastSubkeyName(L"HKCU\\A\\Last"), L"Last");
    EXPECT_STREQ(RegKey::FindLastSubkeyName(L"Alone"), L"Alone");
}

TEST_F(RegKeyValues, NumbersAndStringsRoundTrip)
{
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.PutInt(L"Count", -5));
    EXPECT_EQ(key.GetInt(L"Count", 0), -5);
    EXPECT_EQ(key.GetInt(L"Missing", 77), 77);
    EXPECT_TRUE(key.PutStr(L"Name", L"Launchora", 1));
    EXPECT_EQ(Str(key, L"Name"), L"Launchora");
    EXPECT_EQ(key.GetStrSize(L"Name"), 11u);
    EXPECT_EQ(key.GetStrSize(L"Missing"), 0u);
    EXPECT_EQ(key.GetValueType(L"Name"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(key.GetValueType(L"Missing"), 0u);
    EXPECT_TRUE(key.PutStr(nullptr, L"default", 1));
    EXPECT_EQ(Str(key, nullptr), L"default");
    EXPECT_TRUE(key.DelValue(L"Name"));
    EXPECT_TRUE(key.DelValue(L"Name"));
    EXPECT_FALSE(key.FindValue(L"Name"));
    EXPECT_TRUE(key.PutStrOrDelEmpty(L"Gone", L"x", 1));
    EXPECT_TRUE(key.PutStrOrDelEmpty(L"Gone", L"", 1));
    EXPECT_FALSE(key.FindValue(L"Gone"));
}

// The platform itself may drop a write of identical data, so a write is
// observed through a read-only handle: a write that is attempted fails,
// one that is skipped reports success.
TEST_F(RegKeyValues, UnchangedValuesAreNotRewritten)
{
    {
        RegKey writer(root.c_str(), 1);
        const BYTE bytes[] = {1, 2, 3};
        writer.PutStr(L"Empty", L"", 1);
        writer.PutDword(L"Number", 7, 1);
        writer.PutBin(L"Bin", bytes, 3, REG_BINARY);
        writer.PutStr(L"Text", L"same", 1);
    }
    EXPECT_EQ(RawGet(nullptr, L"Empty").second.size(), 2u);

    RegKey key(root.c_str(), 0);
    const BYTE bytes[] = {1, 2, 3};
    EXPECT_TRUE(key.PutStr(L"Empty", L"", 1));
    EXPECT_TRUE(key.PutDword(L"Number", 7, 1));
    EXPECT_TRUE(key.PutInt(L"Number", 7));
    EXPECT_TRUE(key.PutBin(L"Bin", bytes, 3, REG_BINARY));
    EXPECT_TRUE(key.PutStr(L"Text", L"same", 1));
    unsigned long seven = 7;
    EXPECT_TRUE(key.ProcessEntry(RegKey::opInstall, L"Number", seven));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opInstall, L"Text", L"same", 0));

    EXPECT_FALSE(key.PutDword(L"Number", 7, 0));
    EXPECT_FALSE(key.PutStr(L"Text", L"same", 0));
    EXPECT_FALSE(key.ProcessEntry(RegKey::opForceWrite, L"Text", L"same", 0));
    EXPECT_FALSE(key.PutStr(L"Text", L"Same", 1));
    EXPECT_FALSE(key.PutStr(L"Missing", L"", 1));
    EXPECT_FALSE(key.PutDword(L"Number", 8, 1));
    // Same bytes under another type is a change.
    EXPECT_FALSE(key.PutBin(L"Bin", bytes, 3, REG_NONE));
}

TEST_F(RegKeyValues, BinaryReadsNeedRoomUnlessTheCallerVouches)
{
    RegKey key(root.c_str(), 1);
    const BYTE bytes[] = {9, 8, 7, 6, 5};
    key.PutBin(L"Bin", bytes, 5, REG_BINARY);
    EXPECT_EQ(key.GetBinSize(L"Bin"), 5u);
    BYTE out[8] = {};
    DWORD type = 0;
    EXPECT_FALSE(key.GetBin(L"Bin", out, 4, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(key.GetBin(L"Bin", out, 8, nullptr));
    EXPECT_EQ(memcmp(out, bytes, 5), 0);
    BYTE trusted[5] = {};
    EXPECT_TRUE(key.GetBin(L"Bin", trusted, 0, nullptr));
    EXPECT_EQ(memcmp(trusted, bytes, 5), 0);
    EXPECT_FALSE(key.GetBin(L"Missing", out, 8, &type));
}

TEST_F(RegKeyValues, PrefixFamilyJoinsTheNames)
{
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.PutIntPrefix(L"Win", L"X", 12));
    EXPECT_EQ(key.GetInt(L"WinX", 0), 12);
    EXPECT_EQ(key.GetIntPrefix(L"Win", L"X", 0), 12);
    EXPECT_TRUE(key.PutStrPrefix(L"Last", L"File", L"a.txt"));
    wchar_t text[16];
    key.GetStrPrefix(L"Last", L"File", text, 16, L"");
    EXPECT_STREQ(text, L"a.txt");
    BYTE data[2] = {4, 2};
    EXPECT_TRUE(key.PutBinPrefix(L"Raw", L"Data", data, 2));
    EXPECT_EQ(key.GetValueType(L"RawData"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(key.GetBinSizePrefix(L"Raw", L"Data"), 2u);
    BYTE back[2] = {};
    EXPECT_TRUE(key.GetBinPrefix(L"Raw", L"Data", back, 2, nullptr));
    EXPECT_EQ(back[1], 2);
    EXPECT_TRUE(key.DelValuePrefix(L"Win", L"X"));
    EXPECT_FALSE(key.FindValue(L"WinX"));
}

TEST_F(RegKeyValues, EnumerationVisitsEveryName)
{
    RegKey(Path(L"One").c_str(), 1);
    RegKey(Path(L"Two").c_str(), 1);
    RawPutDword(nullptr, L"V1", 1);
    RawPutDword(nullptr, L"V2", 2);
    RegKey key(root.c_str(), 0);
    std::vector<std::wstring> keys, values;
    wchar_t name[32];
    for (int more = key.GetFirstSubKey(name, 32); more; more = key.GetNextSubKey(name, 32))
        keys.push_back(name);
    for (int more = key.GetFirstValue(name, 32); more; more = key.GetNextValue(name, 32))
        values.push_back(name);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"One", L"Two"}));
    EXPECT_EQ(values.size(), 2u);
    EXPECT_TRUE(key.GetSubKeyByIndex(1, name, 32));
    EXPECT_STREQ(name, L"Two");
    EXPECT_FALSE(key.GetSubKeyByIndex(2, name, 32));
    EXPECT_FALSE(key.GetSubKeyByIndex(0, name, 2));  // a name that does not fit
    EXPECT_FALSE(key.IsKeyEmpty());
    EXPECT_TRUE(RegKey(Path(L"One").c_str(), 0).IsKeyEmpty());
}

TEST_F(RegKeyEntries, StringEntriesFollowTheirOperation)
{
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheck, L"S", L"", 0));
    EXPECT_FALSE(key.ProcessEntry(RegKey::opCheck, L"S", L"value", 0));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheckAbsent, L"S", L"", 0));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opInstall, L"S", L"Value", 0));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheck, L"S", L"Value", 0));
    EXPECT_FALSE(key.ProcessEntry(RegKey::opCheck, L"S", L"value", 0));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheckNoCase, L"S", L"value", 0));
    EXPECT_FALSE(key.ProcessEntry(RegKey::opCheckAbsent, L"S", L"", 0));

    wchar_t out[4] = L"xyz";
    EXPECT_FALSE(key.ProcessEntry(RegKey::opRead, L"S", out, 4));  // "Value" does not fit
    EXPECT_STREQ(out, L"");
    wchar_t room[16];
    EXPECT_TRUE(key.ProcessEntry(RegKey::opRead, L"S", room, 16));
    EXPECT_STREQ(room, L"Value");

    EXPECT_TRUE(key.ProcessEntry(RegKey::opForceWrite, L"S", L"Forced", 0));
    EXPECT_EQ(Str(key, L"S"), L"Forced");
    EXPECT_TRUE(key.ProcessEntry(RegKey::opRemove, L"S", L"", 0));
    EXPECT_FALSE(key.FindValue(L"S"));
}

TEST_F(RegKeyEntries, NumberEntriesFollowTheirOperation)
{
    RegKey key(root.c_str(), 1);
    unsigned long value = 0;
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheck, L"N", value));
    value = 5;
    EXPECT_FALSE(key.ProcessEntry(RegKey::opCheck, L"N", value));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opInstall, L"N", value));
    EXPECT_EQ(key.GetInt(L"N", 0), 5);
    unsigned long read = 0;
    EXPECT_TRUE(key.ProcessEntry(RegKey::opRead, L"N", read));
    EXPECT_EQ(read, 5u);
    int zero = 0;
    EXPECT_TRUE(key.ProcessEntry(RegKey::opInstall, L"N", zero));
    EXPECT_FALSE(key.FindValue(L"N"));
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheckAbsent, L"N", zero));
    int forced = 0;
    EXPECT_TRUE(key.ProcessEntry(RegKey::opForceWrite, L"N", forced));
    EXPECT_EQ(key.GetValueType(L"N"), static_cast<DWORD>(REG_DWORD));
}

TEST_F(RegKeyTrees, DelSubKeyRemovesADeepTree)
{
    RegKey(Path(L"T\\A\\B\\C").c_str(), 1);
    RegKey(Path(L"T\\A\\B2").c_str(), 1);
    RawPutDword(L"T\\A\\B\\C", L"Deep", 1);
    RawPutStr(L"T\\A", nullptr, L"default");
    RawPutStr(L"T", L"V", L"v");
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.DelSubKey(L"T"));
    EXPECT_FALSE(RawExists(L"T"));
    EXPECT_TRUE(key.DelSubKey(L"NeverThere"));
}

TEST_F(RegKeyTrees, DelSubKeyIfEmptyKeepsKeysWithContent)
{
    RegKey(Path(L"Full\\Child").c_str(), 1);
    RegKey(Path(L"Empty").c_str(), 1);
    RawPutStr(L"Empty", nullptr, L"only a default");
    RegKey key(root.c_str(), 1);
    EXPECT_FALSE(key.DelSubKeyIfEmpty(L"Full"));
    EXPECT_TRUE(RawExists(L"Full"));
    EXPECT_TRUE(key.DelSubKeyIfEmpty(L"Empty"));
    EXPECT_FALSE(RawExists(L"Empty"));
    EXPECT_TRUE(key.DelSubKeyIfEmpty(L"Missing"));
}

TEST_F(RegKeyTrees, DelAllEmptiesTheKeyButKeepsIt)
{
    RegKey(Path(L"X\\Y").c_str(), 1);
    RawPutDword(nullptr, L"V", 1);
    RawPutStr(nullptr, nullptr, L"default");
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.DelAll());
    EXPECT_TRUE(key.IsKeyEmpty());
    EXPECT_TRUE(RegKey(root.c_str(), 0).IsOpen());
}

TEST_F(RegKeyTrees, DelValuesStartingWithAPrefix)
{
    for (const wchar_t* name : {L"WinL", L"winT", L"WindowX", L"Other", L""})
        RawPutDword(nullptr, name, 1);
    RegKey key(root.c_str(), 1);
    key.DelValuesStartingWith(L"Win", 0);
    EXPECT_FALSE(key.FindValue(L"WinL"));
    EXPECT_TRUE(key.FindValue(L"winT"));
    EXPECT_FALSE(key.FindValue(L"WindowX"));
    key.DelValuesStartingWith(L"WIN", 1);
    EXPECT_FALSE(key.FindValue(L"winT"));
    key.DelValuesStartingWith(L"", 0);
    EXPECT_FALSE(key.FindValue(L"Other"));
    EXPECT_TRUE(key.FindValue(L""));
    key.DelValuesStartingWith(nullptr, 0);
    EXPECT_FALSE(key.FindValue(L""));
}

TEST_F(RegKeyTrees, CopyToPreservesTypesAndSubkeys)
{
    const BYTE bin[] = {0, 1, 2, 255};
    const wchar_t multi[] = L"a\0b\0";
    RawPutStr(L"Src", L"Sz", L"text");
    RawPut(L"Src", L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
    RawPutDword(L"Src", L"Dword", 42);
    RawPut(L"Src", L"Bin", REG_BINARY, bin, 4);
    RawPut(L"Src", L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
    RawPutStr(L"Src", nullptr, L"default");
    RawPutStr(L"Src\\Sub\\Deeper", L"Leaf", L"leaf");

    RegKey src(Path(L"Src").c_str(), 0);
    RegKey dst(Path(L"Dst").c_str(), 1);
    EXPECT_TRUE(src.CopyTo(dst));
    for (const wchar_t* name : {L"Sz", L"Expand", L"Dword", L"Bin", L"Multi"})
        EXPECT_EQ(RawGet(L"Dst", name), RawGet(L"Src", name)) << name;
    EXPECT_EQ(RawGet(L"Dst", nullptr), RawGet(L"Src", nullptr));
    EXPECT_EQ(RawGet(L"Dst\\Sub\\Deeper", L"Leaf"), RawGet(L"Src\\Sub\\Deeper", L"Leaf"));
}

TEST_F(RegKeyTrees, RenameSubkeyMovesTheTree)
{
    RawPutStr(L"Old\\Inner", L"V", L"kept");
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.RenameSubkey(L"Old", L"New"));
    EXPECT_FALSE(RawExists(L"Old"));
    EXPECT_EQ(RawGet(L"New\\Inner", L"V").first, static_cast<DWORD>(REG_SZ));
    EXPECT_FALSE(key.RenameSubkey(L"Missing", L"Other"));
    EXPECT_FALSE(RawExists(L"Other"));
}

TEST_F(RegKeyTrees, ProcessSubKeyRecreatesOrRemoves)
{
    RawPutStr(L"Sub\\Deep", L"V", L"x");
    RegKey key(root.c_str(), 1);
    EXPECT_TRUE(key.ProcessSubKey(RegKey::opCheck, L"Sub"));
    EXPECT_TRUE(RawExists(L"Sub\\Deep"));
    EXPECT_TRUE(key.ProcessSubKey(RegKey::opInstall, L"Sub"));
    EXPECT_TRUE(RawExists(L"Sub"));
    EXPECT_FALSE(RawExists(L"Sub\\Deep"));
    EXPECT_TRUE(key.ProcessSubKey(RegKey::opRemove, L"Sub"));
    EXPECT_FALSE(RawExists(L"Sub"));
}

TEST_F(RegKeyRecording, WritesBecomeExactLinesAndTheRegistryStaysUntouched)
{
    std::wstring path = Path(L"Recorded");
    auto record = [&](wchar_t* buf) {
        RegKey::StartLog(buf);
        RegKey key(path.c_str(), 1);
        EXPECT_TRUE(key.IsOpen());
        EXPECT_TRUE(key.PutDword(L"Count", 10, 1));
        EXPECT_TRUE(key.PutStr(L"Name", L"Launchora", 1));
        EXPECT_TRUE(key.DelValue(L"Old"));
        EXPECT_TRUE(key.Flush());
        return RegKey::EndLog();
    };
    unsigned measured = record(nullptr);
    std::vector<wchar_t> text(measured + 1, L'#');
    unsigned written = record(text.data());
    EXPECT_EQ(measured, written);
    std::wstring expected = L"[" + path + L"]\r\nCount=dword:0000000A\r\nName=Launchora\r\nOld=@\r\n";
    EXPECT_EQ(std::wstring(text.data()), expected);
    EXPECT_EQ(written, expected.size() + 1);
    EXPECT_EQ(text[measured], L'#');
    EXPECT_FALSE(RawExists(L"Recorded"));
    EXPECT_FALSE(RegKey::IsLogging());
}

TEST_F(RegKeyRecording, NothingRecordedIsZeroAndLongLinesAreCut)
{
    RegKey::StartLog(nullptr);
    EXPECT_EQ(RegKey::EndLog(), 0u);

    std::wstring longText(400, L'x');
    wchar_t text[1024];
    RegKey::StartLog(text);
    RegKey key(Path(L"Long").c_str(), 1);
    key.PutStr(L"Long", longText.c_str(), 0);
    RegKey::EndLog();
    std::wstring recorded = text;
    size_t lineStart = recorded.find(L"Long=");
    ASSERT_NE(lineStart, std::wstring::npos);
    EXPECT_EQ(recorded.size() - lineStart, 254u);
    EXPECT_EQ(recorded.substr(recorded.size() - 2), L"\r\n");
}

TEST_F(RegKeyRecording, BoundedLogNeverWritesPastItsCapacity)
{
    wchar_t text[12];
    wmemset(text, L'#', 12);
    RegKey::StartLog(text, 10);
    RegKey key(Path(L"Bounded").c_str(), 1);
    key.PutDword(L"Value", 1, 0);
    unsigned length = RegKey::EndLog();
    EXPECT_GT(length, 10u);
    EXPECT_EQ(text[9], L'\0');
    EXPECT_EQ(text[10], L'#');
}

TEST_F(RegKeyHostileValues, WrongTypesAndSizesFallBackToTheDefault)
{
    const BYTE bytes[] = {'a', 0, 'b', 0};
    RawPut(nullptr, L"BinNotText", REG_BINARY, bytes, 4);
    RawPutStr(nullptr, L"TextNotNumber", L"12");
    RawPut(nullptr, L"ShortNumber", REG_BINARY, bytes, 2);
    RawPutStr(nullptr, L"TooLong", std::wstring(100, L'z'));
    RegKey key(root.c_str(), 0);
    EXPECT_EQ(Str(key, L"BinNotText"), L"<def>");
    EXPECT_EQ(key.GetInt(L"TextNotNumber", -1), -1);
    EXPECT_EQ(key.GetInt(L"ShortNumber", -1), -1);
    EXPECT_EQ(Str(key, L"TooLong", L"<def>", 64), L"<def>");
    EXPECT_EQ(Str(key, L"TooLong", nullptr, 64), L"");
    EXPECT_EQ(Str(key, L"TooLong", L"a default longer than the buffer", 8), L"a defau");
    std::vector<wchar_t> exact(101);
    EXPECT_EQ(key.GetStr(L"TooLong", exact.data(), 101, L""), 100);
}

TEST_F(RegKeyHostileValues, UnterminatedStringsAreTerminatedWithinTheCapacity)
{
    const wchar_t letters[] = {L'a', L'b', L'c', L'd'};
    RawPut(nullptr, L"NoEnd", REG_SZ, letters, sizeof(letters));
    RawPut(nullptr, L"OddBytes", REG_SZ, letters, 5);
    RegKey key(root.c_str(), 0);
    EXPECT_EQ(Str(key, L"NoEnd", L"<def>", 5), L"abcd");
    EXPECT_EQ(Str(key, L"NoEnd", L"<def>", 4), L"<de");  // no room for a terminator
    EXPECT_EQ(Str(key, L"OddBytes", L"<def>", 8), L"ab");
}

// A one-byte text value read into one byte that ends at a no-access page:
// the registry's habit of terminating a text it returns must not reach
// past the buffer, whether the value is read, compared or copied.
TEST_F(RegKeyHostileValues, OneByteTextValuesStayInsideOneByteBuffers)
{
    const char one = 'x';
    for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ}) {
        RawPut(nullptr, L"OneByte", type, &one, 1);
        RegKey key(root.c_str(), 1);
        PageEndBlock block;
        auto* out = static_cast<char*>(block.Resize(1));
        DWORD read = 0;
        EXPECT_TRUE(key.GetBin(L"OneByte", out, 1, &read));
        EXPECT_EQ(read, type);
        EXPECT_EQ(*out, 'x');
        out = static_cast<char*>(block.Resize(1));
        EXPECT_TRUE(key.GetBin(L"OneByte", out, 0, nullptr));
        EXPECT_EQ(*out, 'x');
        EXPECT_TRUE(key.PutBin(L"OneByte", &one, 1, type));
        RegKey copy(Path(L"Copy").c_str(), 1);
        EXPECT_TRUE(key.CopyValueTo(copy, L"OneByte"));
        EXPECT_EQ(copy.GetBinSize(L"OneByte"), 1u);
    }
}

TEST_F(RegKeyHostileValues, DefaultInTheBufferSurvivesAFailedRead)
{
    RawPutStr(nullptr, L"TooLong", std::wstring(100, L'z'));
    RegKey key(root.c_str(), 0);
    wchar_t buf[8] = L"keep";
    EXPECT_EQ(key.GetStr(L"TooLong", buf, 8, buf), 4);
    EXPECT_STREQ(buf, L"keep");
}

TEST_F(RegKeyHostileValues, OversizedStringsCountAsAbsentForChecks)
{
    RawPutStr(nullptr, L"Huge", std::wstring(300, L'q'));
    RegKey key(root.c_str(), 0);
    EXPECT_TRUE(key.ProcessEntry(RegKey::opCheck, L"Huge", L"", 0));
    EXPECT_FALSE(key.ProcessEntry(RegKey::opCheck, L"Huge", std::wstring(300, L'q').c_str(), 0));
}

TEST_F(RegKeyHostileValues, ClosedKeysFailQuietly)
{
    RegKey key;
    EXPECT_EQ(key.GetInt(L"x", 3), 3);
    EXPECT_EQ(Str(key, L"x"), L"<def>");
    EXPECT_FALSE(key.PutStr(L"x", L"y", 1));
    EXPECT_FALSE(key.IsKeyEmpty());
    EXPECT_FALSE(key.Flush());
    wchar_t name[8];
    EXPECT_FALSE(key.GetFirstSubKey(name, 8));
}

TEST_F(RegKeyTrees, HiveSaveLoadAndUnload)
{
    RawPutStr(L"HiveSrc", L"V", L"in the hive");
    TempFolder folder;
    std::wstring file = folder / L"test.hive";
    RegKey src(Path(L"HiveSrc").c_str(), 0);
    if (!src.Save(file.c_str()))
        GTEST_SKIP() << "RegSaveKeyW failed here (error " << RegKey::lastSaveError << ")";
    EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_ARCHIVE, 0u);
    std::wstring mount = L"PVDLLTestHive" + std::to_wstring(GetCurrentProcessId());
    if (!RegKey::LoadKey(HKEY_USERS, mount.c_str(), file.c_str()))
        GTEST_SKIP() << "RegLoadKeyW is not available here";
    {
        RegKey loaded((L"HKU\\" + mount).c_str(), 0);
        EXPECT_EQ(Str(loaded, L"V"), L"in the hive");
    }
    EXPECT_TRUE(RegKey::UnLoadKey(HKEY_USERS, mount.c_str()));
}
