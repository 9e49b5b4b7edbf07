#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PVDLL.h"
#include "common/GuardedBuffer.h"
#include "common/RawFile.h"
#include "common/TestSupport.h"

namespace {

// Records every item the reader hands over, as "kind|section|key|value".
class RecordingIni : public IniFile {
public:
    int CallBack(CallBackFlag kind, const wchar_t* section, const wchar_t* key, const wchar_t* value) override
    {
        static const wchar_t* const names[] = {L"begin", L"comment", L"entry", L"end"};
        std::wstring item = names[kind];
        for (const wchar_t* part : {section, key, value})
            item += std::wstring(L"|") + (part ? part : L"~");
        items.push_back(item);
        if (kind == cbEntry && abortOnEntry)
            return 0;
        return 1;
    }
    std::vector<std::wstring> Read(const std::wstring& text)
    {
        items.clear();
        result = ReadAll(text.c_str(), static_cast<unsigned>(text.size()));
        return items;
    }
    std::vector<std::wstring> items;
    int result = -1;
    bool abortOnEntry = false;
};

using Items = std::vector<std::wstring>;

} // namespace

TEST(IniGrammar, ByteOrderMarkAloneIsNoFile)
{
    RecordingIni ini;
    EXPECT_EQ(ini.Read(L"\xFEFF"), Items{L"begin|~|~|~"});
    EXPECT_EQ(ini.result, 0);
    EXPECT_EQ(ini.Read(L""), Items{L"begin|~|~|~"});
    EXPECT_EQ(ini.result, 0);
}

TEST(IniGrammar, ValueKeepsEverythingAfterTheBlanksThatFollowTheEquals)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|Sec|Key|some value ; not a comment  ", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[Sec]\r\nKey   =  \tsome value ; not a comment  \r\n"), expected);
    EXPECT_EQ(ini.result, 1);
}

TEST(IniGrammar, EntriesBeforeTheFirstSectionEndTheRead)
{
    RecordingIni ini;
    EXPECT_EQ(ini.Read(L"x=1\r\n[S]\r\na=2\r\n"), (Items{L"begin|~|~|~", L"end|~|~|~"}));
    EXPECT_EQ(ini.result, 1);
}

TEST(IniGrammar, DuplicatesAreReportedInOrder)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|S|k|1", L"entry|S|k|2", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[S]\nk=1\nk=2\n"), expected);
}

TEST(IniGrammar, CommentsAndBlankLinesAreReportedWithTheirSection)
{
    RecordingIni ini;
    Items expected = {
        L"begin|~|~|~",   L"comment||; top|~", L"comment|||~",  L"comment|S|; after header|~",
        L"entry|S|a|1",   L"comment|S|;note|~", L"comment|S||~", L"entry|S|b|2",
        L"end|~|~|~",
    };
    EXPECT_EQ(ini.Read(L"; top\r\n\r\n[S]\r\n; after header\r\na=1\r\n  ;note\r\n \t\r\nb=2"), expected);
}

TEST(IniGrammar, SectionNamesAreTakenUnchangedAndTheRestOfTheLineIgnored)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~",        L"comment|||~",  L"comment|||~",
                      L"entry| My Sec |k|v", L"entry|S2|k|v", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"  \r\n\r\n[ My Sec ] other words\r\nk=v\r\n[S2]x\r\nk=v"), expected);
}

TEST(IniGrammar, SectionNameMayRunAcrossLines)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|a\r\nb|k|v", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[a\r\nb]\r\nk=v\r\n"), expected);
}

TEST(IniGrammar, OpenBracketWithoutCloseEndsTheParse)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|S|k|v", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[S]\r\nk=v\r\n[broken\r\nx=y\r\n"), expected);
    EXPECT_EQ(ini.result, 1);
}

TEST(IniGrammar, LineWithoutEqualsRunsIntoTheNextKey)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|S|stray line\r\nkey|v", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[S]\r\nstray line\r\nkey = v\r\n"), expected);
    EXPECT_EQ(ini.Read(L"[S]\r\nno equals at all"), (Items{L"begin|~|~|~", L"end|~|~|~"}));
}

TEST(IniGrammar, KeysLoseTrailingSpacesButNotTabs)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|S|k\t|v", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[S]\r\n   k\t  =v"), expected);
}

TEST(IniGrammar, LoneCarriageReturnIsAnOrdinaryCharacter)
{
    RecordingIni ini;
    Items expected = {L"begin|~|~|~", L"entry|S|k|a\rb", L"entry|S|n|1", L"end|~|~|~"};
    EXPECT_EQ(ini.Read(L"[S]\nk=a\rb\nn=1"), expected);
}

TEST(IniLimits, LongValuesAreCutAndTheNextLineParsedNormally)
{
    RecordingIni ini;
    std::wstring value(2000, L'v');
    std::wstring key(300, L'k');
    Items items = ini.Read(L"[S]\r\nlong=" + value + L"\r\n" + key + L"=1\r\nnext=2\r\n");
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[1], L"entry|S|long|" + value.substr(0, 1024));
    EXPECT_EQ(items[2], L"entry|S|" + key.substr(0, 255) + L"|1");
    EXPECT_EQ(items[3], L"entry|S|next|2");
}

TEST(IniLimits, LongSectionNamesAndCommentsAreCut)
{
    RecordingIni ini;
    std::wstring name(400, L's');
    std::wstring comment = L";" + std::wstring(400, L'c');
    Items items = ini.Read(L"[" + name + L"]\r\n" + comment + L"\r\nk=v");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[1], L"comment|" + name.substr(0, 255) + L"|" + comment.substr(0, 255) + L"|~");
}

TEST(IniCallback, AbortOnTheFirstEntryFailsWithoutEnd)
{
    RecordingIni ini;
    ini.abortOnEntry = true;
    EXPECT_EQ(ini.Read(L"[S]\r\na=1\r\nb=2\r\n"), (Items{L"begin|~|~|~", L"entry|S|a|1"}));
    EXPECT_EQ(ini.result, 0);
}

TEST(IniCallback, TextEndsAtTheGivenLengthOrTheTerminator)
{
    RecordingIni ini;
    std::wstring text = L"[S]\r\na=1\r\nb=2\r\n";
    ini.items.clear();
    EXPECT_EQ(ini.ReadAll(text.c_str(), 9), 1);  // "[S]\r\na=1\r" ends inside the value
    EXPECT_EQ(ini.items, (Items{L"begin|~|~|~", L"entry|S|a|1\r", L"end|~|~|~"}));
    ini.items.clear();
    EXPECT_EQ(ini.ReadAll(text.c_str(), 0), 1);
    EXPECT_EQ(ini.items.size(), 4u);
}

TEST(IniWriting, MeasureThenWriteGivesTheSameText)
{
    unsigned measured = 0;
    wchar_t* none = nullptr;
    IniFile::WriteSec(none, L"S", measured);
    IniFile::WriteVar(none, L"a", L"1", measured);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(measured, 10u);

    GuardedBuffer<wchar_t> buf(measured, L'#');
    wchar_t* p = buf.data();
    unsigned written = 0;
    IniFile::WriteSec(p, L"S", written);
    IniFile::WriteVar(p, L"a", L"1", written);
    EXPECT_EQ(written, measured);
    EXPECT_EQ(std::wstring(buf.data(), measured), L"[S]\r\na=1\r\n");
    EXPECT_TRUE(buf.GuardIntact());
}

TEST(IniParser, CursorStepsNeverPassTheEnd)
{
    Parser parser(L"ab\r\ncd", 4);
    EXPECT_EQ(parser.GetPrevChar(), L'\0');
    EXPECT_EQ(parser.GetCurrentChar(), L'a');
    EXPECT_EQ(parser.GetNextChar(), L'b');
    EXPECT_TRUE(parser.SkipLine() == 0);  // the end is right after the line feed
    EXPECT_EQ(parser.GetCurrentChar(), L'\0');
    EXPECT_EQ(parser.GetPrevChar(), L'\n');
    EXPECT_FALSE(parser.SkipChar());
    EXPECT_FALSE(parser.MustBe(L'c'));

    Parser tokens(L"  word\tnext", 0);
    tokens.SkipWhite();
    wchar_t token[3];
    tokens.TokenCopy(token, 3);
    EXPECT_STREQ(token, L"wo");
    EXPECT_TRUE(tokens.IsOneOf(L"xr"));
    tokens.SkipToken();
    EXPECT_TRUE(tokens.IsTab());
    EXPECT_TRUE(tokens.IsWhite());
}

namespace {

// Writes one section S holding a=1, or nothing at all.
class ProducingIni : public RecordingIni {
public:
    unsigned MakeData(wchar_t* buf) override
    {
        if (empty)
            return 0;
        unsigned count = 0;
        IniFile::WriteSec(buf, L"S", count);
        IniFile::WriteVar(buf, L"a", value.c_str(), count);
        return count;
    }
    bool empty = false;
    std::wstring value = L"1";
};

} // namespace

TEST(IniFiles, WriteGivesAMarkAndTheTextAndReadGivesItBack)
{
    TempFolder folder;
    std::wstring path = folder / L"test.ini";
    ProducingIni ini;
    ini.SetPath(path.c_str());
    EXPECT_STREQ(ini.GetPath(), path.c_str());
    ASSERT_TRUE(ini.WriteData());
    std::string expected("\xFF\xFE", 2);
    for (char c : std::string("[S]\r\na=1\r\n"))
        expected += std::string{c, '\0'};
    EXPECT_EQ(ReadBytes(path), expected);

    ini.items.clear();
    EXPECT_TRUE(ini.ReadData());
    EXPECT_EQ(ini.items, (Items{L"begin|~|~|~", L"entry|S|a|1", L"end|~|~|~"}));
}

TEST(IniFiles, ReadOnlyFileIsRewrittenAndStaysReadOnly)
{
    TempFolder folder;
    std::wstring path = folder / L"locked.ini";
    ProducingIni ini;
    ini.SetPath(path.c_str());
    ASSERT_TRUE(ini.WriteData());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    ini.value = L"2";
    ASSERT_TRUE(ini.WriteData());
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    ini.items.clear();
    ini.ReadData();
    EXPECT_EQ(ini.items[1], L"entry|S|a|2");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(IniFiles, NothingToWriteDeletesTheFile)
{
    TempFolder folder;
    std::wstring path = folder / L"gone.ini";
    ProducingIni ini;
    ini.SetPath(path.c_str());
    ini.WriteData();
    ini.empty = true;
    EXPECT_TRUE(ini.WriteData());
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(IniFiles, MissingEmptyAndOddFiles)
{
    TempFolder folder;
    RecordingIni ini;
    EXPECT_FALSE(ini.ReadData());  // no path
    std::wstring missing = folder / L"missing.ini";
    ini.SetPath(missing.c_str());
    EXPECT_FALSE(ini.ReadData());
    EXPECT_EQ(ZnFile::GetLastHRESULT(), static_cast<long>(0x80070002));

    std::wstring empty = folder / L"empty.ini";
    PutBytes(empty, "");
    ini.SetPath(empty.c_str());
    EXPECT_FALSE(ini.ReadData());

    // An odd final byte is ignored; a file without a mark still reads.
    std::wstring odd = folder / L"odd.ini";
    std::string text;
    for (char c : std::string("[S]\nk=v"))
        text += std::string{c, '\0'};
    PutBytes(odd, text + "\x41");
    ini.SetPath(odd.c_str());
    ini.items.clear();
    EXPECT_TRUE(ini.ReadData());
    EXPECT_EQ(ini.items, (Items{L"begin|~|~|~", L"entry|S|k|v", L"end|~|~|~"}));

    std::wstring longPath(400, L'x');
    ini.SetPath(longPath.c_str());
    EXPECT_EQ(lstrlenW(ini.GetPath()), 259);
}

TEST(IniFiles, BootFileIsLookedUpInTheRecordedBootFolder)
{
    RegKey setup(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup", 0);
    wchar_t bootDir[64];
    if (!setup.GetStr(L"BootDir", bootDir, 64, L""))
        GTEST_SKIP() << "no BootDir recorded in this system's setup key";
    wchar_t out[MAX_PATH] = L"";
    EXPECT_FALSE(IniFile::FindBootFile(L"no-such-boot-file.ini", out));
    EXPECT_STREQ(out, L"");
}
