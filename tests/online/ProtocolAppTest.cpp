// The program registered for a protocol and the command line that hands it
// one URL: the registry's command is outside data, so every output is cut
// at its capacity, always terminated, and a cut line is reported as such.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "PVDLL.h"
#include "common/OnlineSupport.h"
#include "common/PageEnd.h"
#include "online/internal/ProtocolApp.h"

TEST(ProtocolApp, ReadsTheCommandOfTheCurrentUsersRegistration)
{
    TestClasses classes;
    classes.Protocol(L"pvtestproto", L"\"C:\\browsers\\test.exe\" --url \"%1\"");
    wchar_t command[protocolCommandSize];
    const wchar_t* expected = L"\"C:\\browsers\\test.exe\" --url \"%1\"";
    EXPECT_EQ(GetProtocolApp(L"pvtestproto", command, protocolCommandSize), static_cast<int>(wcslen(expected)));
    EXPECT_STREQ(command, expected);
}

TEST(ProtocolApp, ReadsTheMachinesHttpHandlerWhenTheUserHasNone)
{
    wchar_t command[protocolCommandSize];
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", 0, KEY_READ, &key) != ERROR_SUCCESS)
        GTEST_SKIP() << "this system has no http handler";
    RegCloseKey(key);
    EXPECT_GT(GetProtocolApp(L"http", command, protocolCommandSize), 0);
    EXPECT_NE(wcsstr(command, L"%1"), nullptr) << testing::PrintToString(std::wstring(command));
}

TEST(ProtocolApp, AnUnknownProtocolHasNoProgram)
{
    wchar_t command[16] = L"stale";
    EXPECT_EQ(GetProtocolApp(L"pvtestnone", command, 16), 0);
    EXPECT_STREQ(command, L"");
    EXPECT_EQ(GetProtocolApp(L"pvtestproto\\..\\http", command, 16), 0) << "no reaching into another key";
    EXPECT_EQ(GetProtocolApp(L"", command, 16), 0);
    EXPECT_EQ(GetProtocolApp(nullptr, command, 16), 0);
}

TEST(ProtocolApp, ACommandTooLongForTheBufferIsRefusedWhole)
{
    // Half a command would run another program than the one registered.
    TestClasses classes;
    classes.Protocol(L"pvtestproto", L"\"C:\\" + std::wstring(900, L'b') + L".exe\" \"%1\"");
    PageEndBlock block;
    wchar_t* command = block.Chars(protocolCommandSize);
    EXPECT_EQ(GetProtocolApp(L"pvtestproto", command, protocolCommandSize), 0);
    EXPECT_STREQ(command, L"");
}

TEST(ProtocolApp, AnExpandableCommandHasItsEnvironmentStringsExpanded)
{
    TestClasses classes;
    classes.Protocol(L"pvtestproto");
    HKEY key;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\pvtestproto\\shell\\open\\command", 0, KEY_WRITE, &key),
        ERROR_SUCCESS);
    const wchar_t value[] = L"\"%SystemRoot%\\browser.exe\" \"%1\"";
    RegSetValueExW(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
    RegCloseKey(key);
    wchar_t expected[MAX_PATH];
    ExpandEnvironmentStringsW(L"\"%SystemRoot%\\browser.exe\" \"%1\"", expected, MAX_PATH);
    wchar_t command[protocolCommandSize];
    GetProtocolApp(L"pvtestproto", command, protocolCommandSize);
    EXPECT_STREQ(command, expected);
    EXPECT_EQ(wcsstr(command, L"%SystemRoot%"), nullptr);
}

TEST(PreparePathArg, ReplacesEachPlaceholderWithTheUrl)
{
    wchar_t line[protocolCommandSize];
    EXPECT_EQ(PreparePathArg(L"\"b.exe\" -osint -url \"%1\"", L"https://x.test/", line, protocolCommandSize), 1);
    EXPECT_STREQ(line, L"\"b.exe\" -osint -url \"https://x.test/\"");
    EXPECT_EQ(PreparePathArg(L"b.exe %1 --again=%1", L"u", line, protocolCommandSize), 1);
    EXPECT_STREQ(line, L"b.exe u --again=u");
}

TEST(PreparePathArg, AppendsTheQuotedUrlWhenTheCommandHasNoPlaceholder)
{
    wchar_t line[protocolCommandSize];
    EXPECT_EQ(PreparePathArg(L"\"b.exe\" -new", L"https://x.test/", line, protocolCommandSize), 1);
    EXPECT_STREQ(line, L"\"b.exe\" -new \"https://x.test/\"");
}

TEST(PreparePathArg, NeverOverrunsItsBufferAndReportsTheCut)
{
    const std::wstring command = L"\"C:\\b.exe\" -url \"%1\" -tail";
    const std::wstring url = L"https://x.test/" + std::wstring(600, L'p');
    const std::wstring whole = L"\"C:\\b.exe\" -url \"" + url + L"\" -tail";
    PageEndBlock block;
    for (unsigned cch = 1; cch <= whole.size() + 2; ++cch) {
        wchar_t* line = block.Chars(cch);
        int fits = PreparePathArg(command.c_str(), url.c_str(), line, cch);
        ASSERT_LT(wcsnlen(line, cch), cch) << "capacity " << cch;
        EXPECT_EQ(std::wstring(line), whole.substr(0, cch - 1)) << "capacity " << cch;
        EXPECT_EQ(fits, cch > whole.size() ? 1 : 0) << "capacity " << cch;
    }
    // The appended form is cut the same way.
    for (unsigned cch = 1; cch < 12; ++cch) {
        wchar_t* line = block.Chars(cch);
        EXPECT_EQ(PreparePathArg(L"b.exe", L"uuuu", line, cch), 0);
        EXPECT_EQ(std::wstring(line), std::wstring(L"b.exe \"uuuu\"").substr(0, cch - 1));
    }
}

TEST(PreparePathArg, AnEmptyCommandGivesNothing)
{
    wchar_t line[8] = L"stale";
    EXPECT_EQ(PreparePathArg(L"", L"u", line, 8), 0);
    EXPECT_STREQ(line, L"");
    EXPECT_EQ(PreparePathArg(nullptr, L"u", line, 8), 0);
    EXPECT_EQ(PreparePathArg(L"b.exe", L"u", line, 0), 0);
}

TEST(SplitCommandLine, ProgramWithoutQuotesAndTheArgumentsAsTheyAre)
{
    wchar_t program[MAX_PATH], args[MAX_PATH];
    EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\b.exe\" -url \"u v\"", program, MAX_PATH, args, MAX_PATH), 1);
    EXPECT_STREQ(program, L"C:\\Program Files\\b.exe");
    EXPECT_STREQ(args, L"-url \"u v\"");
    EXPECT_EQ(SplitCommandLine(L"b.exe", program, MAX_PATH, args, MAX_PATH), 1);
    EXPECT_STREQ(program, L"b.exe");
    EXPECT_STREQ(args, L"");
    EXPECT_EQ(SplitCommandLine(L"   ", program, MAX_PATH, args, MAX_PATH), 0);
}

TEST(SplitCommandLine, PartsThatDoNotFitAreCutAndReported)
{
    PageEndBlock programBlock, argsBlock;
    wchar_t* program = programBlock.Chars(8);
    wchar_t* args = argsBlock.Chars(8);
    EXPECT_EQ(SplitCommandLine(L"\"C:\\long\\browser.exe\" a", program, 8, args, 8), 0);
    EXPECT_STREQ(program, L"C:\\long");
    EXPECT_EQ(SplitCommandLine(L"b.exe a-long-argument", program, 8, args, 8), 0);
    EXPECT_STREQ(args, L"a-long-");
}
