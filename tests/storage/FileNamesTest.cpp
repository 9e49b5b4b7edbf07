#include <gtest/gtest.h>

#include "PVDLL.h"
#include "PathProbe.h"

#include <string>

namespace {

const wchar_t tenChars[] = L"\"*./:<>?\\|";

std::wstring Encoded(const std::wstring& in)
{
    PathBuf out;
    EncodeFileName(out, in.c_str());
    return out.Str();
}

std::wstring Decoded(const std::wstring& in)
{
    PathBuf out;
    DecodeFileName(out, in.c_str());
    return out.Str();
}

} // namespace

TEST(FileNames, InvalidCharacterListsForMessages)
{
    EXPECT_STREQ(GetInvalidFileNameChars(), L"\\ / : * ? \" < > |");
    EXPECT_STREQ(GetInvalidFolderNameChars(), L": * ? \" < > |");
}

TEST(FileNames, ValidNamesHoldNoneOfTheNineCharacters)
{
    EXPECT_TRUE(IsValidFileName(L"report 2024.txt"));
    EXPECT_TRUE(IsValidFileName(L".profile"));
    for (const wchar_t* c = L"\\/:*?\"<>|"; *c; ++c) {
        std::wstring name = std::wstring(L"a") + *c + L"b";
        EXPECT_FALSE(IsValidFileName(name.c_str())) << name;
    }
    EXPECT_FALSE(IsValidFileName(L""));
    EXPECT_FALSE(IsValidFileName(nullptr));

    struct {
        const wchar_t* name;
        int valid;
    } alt[] = {{L"ABCDEFGH.TXT", 1}, {L"ABCDEFGHI.TXT", 0}, {L"A.TEXT", 0}, {L"A", 1},
               {L"ABCDEFGHI", 0},    {L"A.B.C", 1},         {L"A:B", 0},    {L"", 0}};
    for (const auto& c : alt)
        EXPECT_EQ(IsValidAltFileName(c.name), c.valid) << c.name;
}

TEST(FileNames, FolderNamesNeedARootAndNoDoubledSeparators)
{
    struct {
        const wchar_t* path;
        int valid;
    } cases[] = {
        {L"C:\\a\\b", 1},   {L"\\\\srv\\share", 1}, {L"C:", 1},        {L"c:/a/b", 1},
        {L"C:\\a\\\\b", 0}, {L"C:\\a\\/b", 0},      {L"C:\\a/\\b", 0}, {L"C:/a//b", 0},
        {L"a\\b", 0},       {L"//srv/share", 0},    {L"C:\\a:b", 0},   {L"C:\\a*", 0},
        {L"C:\\a?", 0},     {L"C:\\\"a\"", 0},      {L"C:\\<a>", 0},   {L"C:\\a|b", 0},
        {L"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidFolderName(c.path), c.valid) << c.path;
    EXPECT_FALSE(IsValidFolderName(nullptr));
}

TEST(FileNames, FixReplacesOrDropsTheTenCharactersAndSpaces)
{
    struct {
        int flags;
        const wchar_t* out;
    } cases[] = {
        {0, L"a - b----------c"},
        {1, L"a - bc"},
        {2, L"a-b----------c"},
        {3, L"a-bc"},
    };
    std::wstring in = std::wstring(L"a - b") + tenChars + L"c";
    for (const auto& c : cases) {
        PathBuf out;
        EXPECT_TRUE(FixFileName(out, in.c_str(), c.flags));
        EXPECT_EQ(out.Str(), c.out) << c.flags;
    }
    PathBuf inPlace(L"x:y.z");
    EXPECT_TRUE(FixFileName(inPlace, inPlace, 1));
    EXPECT_EQ(inPlace.Str(), L"xyz");

    PathBuf cut;
    EXPECT_FALSE(FixFileName(cut, Repeat(300, L':').c_str(), 0));
    EXPECT_EQ(cut.Str(), Repeat(259, L'-'));
}

TEST(FileNames, EncodingRoundTripsEachOfTheTenCharacters)
{
    for (const wchar_t* c = tenChars; *c; ++c) {
        std::wstring name = std::wstring(L"x") + *c + L"y";
        std::wstring encoded = Encoded(name);
        EXPECT_EQ(encoded, L"x&#" + std::to_wstring(static_cast<int>(*c)) + L";y");
        EXPECT_TRUE(IsValidFileName(encoded.c_str())) << encoded;
        EXPECT_EQ(Decoded(encoded), name);
    }
    EXPECT_EQ(Encoded(tenChars).size(), 51u);
    EXPECT_EQ(Decoded(Encoded(tenChars)), tenChars);
    EXPECT_EQ(Encoded(L"a:b.c"), L"a&#58;b&#46;c");
    EXPECT_EQ(Decoded(L"a&#58;b&#46;c"), L"a:b.c");
}

TEST(FileNames, DecodingDropsOtherNumbersAndKeepsMalformedText)
{
    struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"A&#65;B", L"AB"},
        {L"&#99999999999999999999;x", L"x"},
        {L"&#58", L"&#58"},
        {L"&#;", L"&#;"},
        {L"&58;", L"&58;"},
        {L"&#x3A;", L"&#x3A;"},
        {L"&&#124;", L"&|"},
        {L"plain", L"plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decoded(c.in), c.out) << c.in;
    PathBuf inPlace(L"a&#92;b&#47;c");
    EXPECT_TRUE(DecodeFileName(inPlace, inPlace));
    EXPECT_EQ(inPlace.Str(), L"a\\b/c");
}

TEST(FileNames, EncodingCutsOnlyBetweenWholeSequences)
{
    std::wstring in = Repeat(255) + L":";
    PathBuf out;
    EXPECT_FALSE(EncodeFileName(out, in.c_str()));
    EXPECT_EQ(out.Str(), Repeat(255));
    std::wstring fits = Repeat(254) + L":";
    PathBuf whole;
    EXPECT_TRUE(EncodeFileName(whole, fits.c_str()));
    EXPECT_EQ(whole.Str(), Repeat(254) + L"&#58;");

    PathBuf same(L"a:b");
    EXPECT_FALSE(EncodeFileName(same, same));
    EXPECT_EQ(same.Str(), L"a:b");
}

TEST(FileNames, SecondTerminatorOnlyWithRoom)
{
    wchar_t buf[4] = {L'a', L'b', L'\0', L'#'};
    EXPECT_TRUE(AppendSecondTermZero(buf, 4));
    EXPECT_EQ(buf[3], L'\0');
    wchar_t tight[3] = {L'a', L'b', L'\0'};
    EXPECT_FALSE(AppendSecondTermZero(tight, 3));
    wchar_t unterminated[3] = {L'a', L'b', L'c'};
    EXPECT_FALSE(AppendSecondTermZero(unterminated, 3));
    EXPECT_EQ(unterminated[2], L'c');
}
