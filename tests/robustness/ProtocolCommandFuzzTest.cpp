// The command registered for a URL protocol is outside data: mutated
// commands, raw in the registry and as text, through the reading, the
// URL's placement and the split into program and arguments. Inputs end at
// a no-access page, and so does every output, with capacities around the
// 520 characters a command line gets.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"
#include "online/internal/ProtocolApp.h"

namespace {

std::vector<std::wstring> CommandSeeds()
{
    return {
        L"\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -osint -url \"%1\"",
        L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"",
        L"rundll32.exe url.dll,FileProtocolHandler %1",
        L"\"%ProgramFiles%\\Browser\\browser.exe\" --single-argument %1",
        L"browser.exe",
        L"%1",
        L"\"%1\" %1%1 %%1 %",
        L"\"unterminated quote %1",
        L"\"\"",
        L"   ",
        L"/switch-first %1",
        std::wstring(L"\"C:\\") + std::wstring(515, L'p') + L".exe\" \"%1\"",
        std::wstring(519, L'x'),
        L"",
    };
}

std::vector<std::wstring> UrlSeeds()
{
    return {
        L"https://www.corvenna.com/go/?p=rate-launchora",
        L"https://www.corvenna.com/go/?p=translate&p=LN&v=21.7&r=3040&a=EN&c=de",
        L"http://x/%1/%1",
        L"\"quoted\" url with blanks",
        std::wstring(2047, L'u'),
        L"",
    };
}

// What PreparePathArg is documented to build, for comparison.
std::wstring Expected(const std::wstring& command, const std::wstring& url)
{
    if (command.empty())
        return L"";
    std::wstring out;
    size_t at = 0;
    bool placed = false;
    for (size_t mark; (mark = command.find(L"%1", at)) != std::wstring::npos; at = mark + 2) {
        out += command.substr(at, mark - at) + url;
        placed = true;
    }
    out += command.substr(at);
    if (!placed)
        out += L" \"" + url + L"\"";
    return out;
}

// Text up to its first terminator, as a wide-character function sees it.
std::wstring AsText(const std::wstring& s)
{
    return s.substr(0, s.find(L'\0'));
}

} // namespace

TEST(Robustness, ProtocolCommands)
{
    Trial trial("ProtocolCommands");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = CommandSeeds();
    std::vector<std::wstring> urls = UrlSeeds();
    Mutator<wchar_t> mutator(rng, WideTokens(), 1500);
    PageEndBlock commandIn, urlIn, line, program, args;

    trial.Run(2000, mutator, seeds, [&](const std::wstring& command, size_t i) {
        std::wstring url = rng.OneIn(3) ? mutator.Mutate(rng.Pick(urls), urls) : rng.Pick(urls);
        trial.Begin(i, command + L'\0' + url);
        std::wstring z = command + L'\0';
        const wchar_t* in = commandIn.PlaceChars(z.c_str(), z.size());
        std::wstring zu = url + L'\0';
        const wchar_t* u = urlIn.PlaceChars(zu.c_str(), zu.size());

        const unsigned capacities[]
            = {protocolCommandSize, protocolCommandSize, 1, 2, 1 + static_cast<unsigned>(rng.Below(700))};
        unsigned cch = capacities[rng.Below(sizeof capacities / sizeof capacities[0])];
        wchar_t* out = line.Chars(cch);
        int whole = FUZZ_CALL(trial, PreparePathArg(in, u, out, cch));
        ASSERT_LT(wcsnlen(out, cch), cch);
        std::wstring expected = Expected(AsText(command), AsText(url));
        EXPECT_EQ(std::wstring(out), expected.substr(0, cch - 1));
        EXPECT_EQ(whole, !AsText(command).empty() && expected.size() < cch ? 1 : 0);

        unsigned cchProgram = rng.OneIn(2) ? protocolCommandSize : 1 + static_cast<unsigned>(rng.Below(300));
        unsigned cchArgs = rng.OneIn(2) ? protocolCommandSize : 1 + static_cast<unsigned>(rng.Below(300));
        wchar_t* p = program.Chars(cchProgram);
        wchar_t* a = args.Chars(cchArgs);
        FUZZ_CALL(trial, SplitCommandLine(out, p, cchProgram, a, cchArgs));
        EXPECT_LT(wcsnlen(p, cchProgram), cchProgram);
        EXPECT_LT(wcsnlen(a, cchArgs), cchArgs);
        // The registry's command split as it is, however its quotes fall.
        FUZZ_CALL(trial, SplitCommandLine(in, p, cchProgram, a, cchArgs));
        EXPECT_LT(wcsnlen(p, cchProgram), cchProgram);
        EXPECT_LT(wcsnlen(a, cchArgs), cchArgs);
    });
}

TEST(Robustness, ProtocolRegistrations)
{
    // The command as the registry holds it: any type, any size, terminated
    // or not.
    Trial trial("ProtocolRegistrations");
    Rng& rng = trial.rng;
    wchar_t protocol[40];
    StrFormat(protocol, 40, L"pvfuzzproto%lu", GetCurrentProcessId());
    wchar_t sub[120];
    StrFormat(sub, 120, L"Software\\Classes\\%s\\shell\\open\\command", protocol);
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD types[] = {REG_SZ, REG_SZ, REG_EXPAND_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD};
    std::vector<std::wstring> seeds = CommandSeeds();
    Mutator<wchar_t> mutator(rng, WideTokens(), 1500);
    PageEndBlock read, line;

    trial.Run(800, mutator, seeds, [&](const std::wstring& command, size_t) {
        DWORD type = types[rng.Below(sizeof types / sizeof types[0])];
        // Without its terminator now and then, or cut to an odd size.
        size_t bytes = (command.size() + (rng.OneIn(3) ? 0 : 1)) * sizeof(wchar_t);
        if (rng.OneIn(8) && bytes)
            bytes -= 1;
        std::wstring data = command + L'\0';
        RegSetValueExW(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(bytes));

        unsigned cch = rng.OneIn(2) ? protocolCommandSize : 1 + static_cast<unsigned>(rng.Below(700));
        wchar_t* out = read.Chars(cch);
        int length = FUZZ_CALL(trial, GetProtocolApp(protocol, out, cch));
        ASSERT_LT(wcsnlen(out, cch), cch);
        EXPECT_EQ(static_cast<size_t>(length), wcsnlen(out, cch));
        wchar_t* built = line.Chars(protocolCommandSize);
        FUZZ_CALL(
            trial, PreparePathArg(out, L"https://www.corvenna.com/go/?p=rate-launchora", built, protocolCommandSize));
        ASSERT_LT(wcsnlen(built, protocolCommandSize), protocolCommandSize);
    });
    RegCloseKey(key);
    wchar_t top[80];
    StrFormat(top, 80, L"Software\\Classes\\%s", protocol);
    RegDeleteTreeW(HKEY_CURRENT_USER, top);
}
