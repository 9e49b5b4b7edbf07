#include <gtest/gtest.h>

#include "PVDLL.h"
#include "PathProbe.h"

#include <string>

TEST(CmdLine, ProgramPathQuotedOrPlain)
{
    struct {
        std::wstring cmd, path;
    } cases[] = {
        {L"\"C:\\Program Files\\x.exe\" /x", L"C:\\Program Files\\x.exe"},
        {L"  C:\\x.exe  arg", L"C:\\x.exe"},
        {L"C:\\x.exe\targ", L"C:\\x.exe"},
        {L"\"C:\\a b", L"C:\\a b"},
        {L"/s /q", L"/s"},
        {L"", L""},
        {L" \t ", L""},
        {L"\"", L""},
    };
    for (const auto& c : cases) {
        PathBuf out(L"stale");
        EXPECT_EQ(GetCmdLnPath(c.cmd.c_str(), out, 260), static_cast<int>(c.path.size())) << c.cmd;
        EXPECT_EQ(out.Str(), c.path) << c.cmd;
    }
    GuardedBuffer<wchar_t> small(4, PathBuf::guard);
    EXPECT_EQ(GetCmdLnPath(L"C:\\x.exe", small.data(), 4), 3);
    EXPECT_STREQ(small.data(), L"C:\\");
    EXPECT_TRUE(small.GuardIntact());
    EXPECT_EQ(GetCmdLnPath(nullptr, small.data(), 4), 0);
}

TEST(CmdLine, ArgumentsFollowTheProgramPathAndKeepTheirQuotes)
{
    struct {
        const wchar_t* cmd;
        const wchar_t* args;  // null: none
    } cases[] = {
        {L"\"C:\\Program Files\\x.exe\" /x", L"/x"},
        {L"x.exe a b", L"a b"},
        {L"x.exe \"arg one\" two", L"\"arg one\" two"},
        {L"\"C:\\a b\\x.exe\"   \"q\"", L"\"q\""},
        {L"/s /q", L"/s /q"},
        {L"  \"/s\" x", L"\"/s\" x"},
        {L"x.exe", nullptr},
        {L"\"C:\\a b\\x.exe\"", nullptr},
        {L"x.exe  \t ", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        PathBuf out(L"stale");
        const wchar_t* args = GetCmdLnArg(c.cmd, out, 260);
        if (!c.args) {
            EXPECT_EQ(args, nullptr) << c.cmd;
            EXPECT_EQ(out.Str(), L"") << c.cmd;
            continue;
        }
        ASSERT_NE(args, nullptr) << c.cmd;
        EXPECT_STREQ(args, c.args);
        EXPECT_GE(args, c.cmd);
        EXPECT_EQ(out.Str(), c.args);
    }
    EXPECT_EQ(GetCmdLnArg(nullptr, nullptr, 0), nullptr);
}

TEST(CmdLine, OptionsAndSwitchPrefixesIgnoreCase)
{
    struct {
        const wchar_t* arg;
        const wchar_t* name;
        int option, switchPrefix, prefix;
    } cases[] = {
        {L"/Silent", L"silent", 1, 1, 0},
        {L"-SILENT", L"silent", 1, 1, 0},
        {L"silent", L"silent", 1, 0, 0},
        {L"--silent", L"silent", 0, 0, 0},
        {L"/silentx", L"silent", 0, 1, 0},
        {L"/sil", L"silent", 0, 0, 0},
        {L"/install:x", L"install", 0, 1, 0},
        {L"/x", L"/x", 1, 1, 0},
        {L"-x", L"/x", 0, 1, 0},
        // Dropping any first letter would make these match.
        {L"/silent", L"es", 0, 0, 0},
        {L"/nstall", L"install", 0, 0, 0},
        {L"lang:de", L"LANG", 0, 0, 1},
        {L"Lang=de", L"lang", 0, 0, 1},
        {L"lang", L"lang", 1, 0, 0},
        {L"language:x", L"lang", 0, 0, 0},
        {L"/x", L"", 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCmdLineOption(c.arg, c.name), c.option) << c.arg << " " << c.name;
        EXPECT_EQ(IsCmdLineSwitchPrefix(c.arg, c.name), c.switchPrefix) << c.arg << " " << c.name;
        EXPECT_EQ(IsCmdLinePrefix(c.arg, c.name), c.prefix) << c.arg << " " << c.name;
    }
    EXPECT_FALSE(IsCmdLineOption(nullptr, L"x") || IsCmdLineSwitchPrefix(L"/x", nullptr) ||
                 IsCmdLinePrefix(nullptr, nullptr));
}

TEST(CmdLine, SwitchDataAndTheNextArgument)
{
    struct {
        const wchar_t* arg;
        int result;
        const wchar_t* value;
        const wchar_t* next;  // null: none
    } cases[] = {
        {L"/path:\"C:\\a b\\c\" /next", 1, L"\"C:\\a b\\c\"", L"/next"},
        {L"/n=5", 1, L"5", nullptr},
        {L"/n:5\t\t/m", 1, L"5", L"/m"},
        {L"/x:", 1, L"", nullptr},
        {L"/x:\"open", 1, L"\"open", nullptr},
        // The colon of another argument's drive is not this switch's.
        {L"/flag C:\\x", 0, L"", nullptr},
        {L"/flag", 0, L"", nullptr},
    };
    for (const auto& c : cases) {
        PathBuf out(L"stale");
        const wchar_t* next = L"stale";
        EXPECT_EQ(GetCmdLineSwitchData(c.arg, out, 260, &next), c.result) << c.arg;
        EXPECT_EQ(out.Str(), c.value) << c.arg;
        if (c.next)
            EXPECT_STREQ(next, c.next) << c.arg;
        else
            EXPECT_EQ(next, nullptr) << c.arg;
    }
    wchar_t small[4];
    small[3] = PathBuf::guard;
    EXPECT_TRUE(GetCmdLineSwitchData(L"/v:abcdef", small, 3, nullptr));
    EXPECT_STREQ(small, L"ab");
    EXPECT_EQ(small[3], PathBuf::guard);
}
