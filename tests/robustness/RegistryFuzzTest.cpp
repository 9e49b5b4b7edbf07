// Registry reads of values of the wrong type or size, written raw under a
// test-only key below HKCU: every reader with outputs that end at a
// no-access page, with capacities around the stored size.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"

namespace {

const DWORD valueTypes[] = {REG_SZ,   REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD,
                            REG_DWORD_BIG_ENDIAN, REG_QWORD, REG_NONE, REG_LINK, 0x1234};

// Options kept in the test's own key.
class TestOpts : public BoolOpts {
public:
    TestOpts(const wchar_t* valueName, const wchar_t* keyPath) : BoolOpts(valueName), keyPath(keyPath) {}
    const wchar_t* GetRegKeyName() override { return keyPath; }

private:
    const wchar_t* keyPath;
};

std::vector<std::string> DataSeeds()
{
    std::vector<std::string> seeds = {
        Utf16Bytes(std::wstring(L"text", 5)),
        Utf16Bytes(L"unterminated"),
        Utf16Bytes(std::wstring(259, L's') + L'\0'),
        Utf16Bytes(std::wstring(260, L's')),
        Utf16Bytes(std::wstring(260, L's') + L'\0'),
        Utf16Bytes(std::wstring(L"multi\0sz\0\0", 10)),
        Utf16Bytes(L"%SystemRoot%\\x"),
        std::string("\x01\x02\x03\x04", 4),
        std::string(8, '\xFF'),
        std::string(),
        std::string(1, 'a'),
        std::string(3, '\0'),
        std::string(5000, 'b'),
    };
    LOGFONTW font = {};
    font.lfHeight = -12;
    for (auto& c : font.lfFaceName)
        c = L'F';
    seeds.emplace_back(reinterpret_cast<const char*>(&font), sizeof font);
    return seeds;
}

} // namespace

TEST(Robustness, RegistryReads)
{
    Trial trial("Registry");
    Rng& rng = trial.rng;
    ScratchKey scratch(L"Registry");
    ASSERT_TRUE(scratch.IsOpen());
    HKEY raw = scratch.Raw();
    const wchar_t* full = scratch.Path();
    HKEY rawTemp = nullptr;
    RegCreateKeyExW(raw, BoolOpts::GetTempSubKey(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &rawTemp, nullptr);

    std::vector<std::string> seeds = DataSeeds();
    Mutator<char> mutator(rng, ByteTokens(), 70000);
    Mutator<wchar_t> names(rng, WideTokens(), 600);
    const std::vector<std::wstring> nameSeeds = {L"Value", L"", L"FontL", L"Opts", std::wstring(255, L'n'),
                                                 std::wstring(300, L'N')};
    PageEndBlock buf;
    PageEndBlock text;
    RegKey key(full, 0);
    ASSERT_TRUE(key.IsOpen());
    CoreReg core(CoreReg::branchUser, scratch.SubKey(), 0);
    EXPECT_TRUE(core.IsOpen());

    trial.Run(1500, mutator, seeds, [&](const std::string& data, size_t) {
        std::wstring nameText = rng.OneIn(5) ? names.Mutate(rng.Pick(nameSeeds), nameSeeds) : L"Value";
        const wchar_t* name = nameText.empty() && rng.OneIn(2) ? nullptr : nameText.c_str();
        DWORD type = valueTypes[rng.Below(sizeof valueTypes / sizeof valueTypes[0])];
        HKEY target = rng.OneIn(6) && rawTemp ? rawTemp : raw;
        if (rng.OneIn(10))
            RegDeleteValueW(target, name);
        else
            RegSetValueExW(target, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));

        // Strings, into capacities around the stored size.
        unsigned stored = static_cast<unsigned>(data.size() / 2);
        const unsigned choices[] = {1, 2, stored, stored + 1, stored > 0 ? stored - 1 : 1, 260,
                                    1 + static_cast<unsigned>(rng.Below(600))};
        unsigned cch = choices[rng.Below(sizeof choices / sizeof choices[0])];
        if (cch == 0)
            cch = 1;
        wchar_t* out = buf.Chars(cch);
        std::wstring def = rng.OneIn(3) ? std::wstring(rng.Below(700), L'd') : L"default";
        int len = 0;
        if (rng.OneIn(4)) {
            // The default is the buffer itself, holding a terminated text.
            out[cch - 1] = L'\0';
            trial.Step("GetStr(default is the buffer)");
            len = key.GetStr(name, out, cch, out);
        } else {
            trial.Step("GetStr");
            len = key.GetStr(name, out, cch, rng.OneIn(5) ? nullptr : def.c_str());
        }
        EXPECT_LT(static_cast<unsigned>(len), cch);
        EXPECT_EQ(wcsnlen(out, cch), static_cast<size_t>(len));
        trial.Step("GetStrSize");
        key.GetStrSize(name);
        key.GetValueType(name);
        trial.Step("GetInt");
        key.GetInt(name, 7);

        // Binary, the capacity guessed or taken from the measure.
        unsigned size = key.GetBinSize(name);
        unsigned cb = rng.OneIn(2) ? 0 : static_cast<unsigned>(rng.Below(size + 8));
        DWORD gotType = 0;
        trial.Step("GetBin");
        key.GetBin(name, buf.Resize(cb ? cb : size), cb, rng.OneIn(4) ? nullptr : &gotType);

        // Table entries.
        cch = 1 + static_cast<unsigned>(rng.Below(300));
        out = buf.Chars(cch);
        trial.Step("ProcessEntry(opRead, string)");
        key.ProcessEntry(RegKey::opRead, name, out, cch);
        EXPECT_LT(wcsnlen(out, cch), cch);
        std::wstring expected = names.Mutate(L"text", nameSeeds);
        std::wstring z = expected + L'\0';
        const wchar_t* str = text.PlaceChars(z.c_str(), z.size());
        trial.Step("ProcessEntry(opCheck, string)");
        key.ProcessEntry(RegKey::opCheck, name, str, static_cast<unsigned>(z.size()));
        key.ProcessEntry(RegKey::opCheckNoCase, name, str, static_cast<unsigned>(z.size()));
        key.ProcessEntry(RegKey::opCheckAbsent, name, str, 0);
        unsigned long number = static_cast<unsigned long>(rng.Next());
        trial.Step("ProcessEntry(opCheck, number)");
        key.ProcessEntry(RegKey::opCheck, name, number);
        key.ProcessEntry(RegKey::opRead, name, number);
        int signedNumber = 0;
        key.ProcessEntry(RegKey::opRead, name, signedNumber);
        if (rng.OneIn(10)) {
            RegKey writable(full, 1);
            trial.Step("ProcessEntry(opInstall, string)");
            writable.ProcessEntry(RegKey::opInstall, name, str, 0);
        }

        // The prefix family joins two names into one of 256 characters.
        std::wstring prefix = rng.OneIn(2) ? std::wstring(rng.Below(300), L'p') : L"";
        cch = 1 + static_cast<unsigned>(rng.Below(300));
        out = buf.Chars(cch);
        trial.Step("GetStrPrefix");
        key.GetStrPrefix(prefix.c_str(), name, out, cch, def.c_str());
        EXPECT_LT(wcsnlen(out, cch), cch);
        trial.Step("GetIntPrefix");
        key.GetIntPrefix(prefix.c_str(), name, 0);
        size = key.GetBinSizePrefix(prefix.c_str(), name);
        trial.Step("GetBinPrefix");
        key.GetBinPrefix(prefix.c_str(), name, buf.Resize(size), size, &gotType);

        // Settings.
        LOGFONTW* font = nullptr;
        if (rng.OneIn(2))
            RegNewLogFont(font);
        trial.Step("RegGetLogFont");
        RegGetLogFont(key, name, font);
        RegDelLogFont(font);
        RECT rect = {1, 2, 3, 4};
        trial.Step("RegGetRect");
        RegGetRect(key, &rect, name);
        TestOpts opts(name ? name : L"", full);
        trial.Step("BoolOpts::Load");
        opts.Load();
        opts.LoadTemp();

        // The shell's user-specific reads.
        cch = choices[rng.Below(sizeof choices / sizeof choices[0])];
        if (cch == 0)
            cch = 1;
        out = buf.Chars(cch);
        trial.Step("CoreReg::GetStr");
        core.GetStr(name, out, cch, rng.OneIn(3) ? nullptr : def.c_str());
        EXPECT_LT(wcsnlen(out, cch), cch);
        trial.Step("CoreReg::GetDWORD");
        core.GetDWORD(name, 9);

        // Names of every length, enumerated into small buffers.
        cch = 1 + static_cast<unsigned>(rng.Below(300));
        out = buf.Chars(cch);
        trial.Step("GetFirstValue/GetNextValue");
        for (int k = 0; k < 50 && (k ? key.GetNextValue(out, cch) : key.GetFirstValue(out, cch)); ++k)
            EXPECT_LT(wcsnlen(out, cch), cch);
        trial.Step("GetFirstSubKey");
        key.GetFirstSubKey(out, cch);
        if (rng.OneIn(20)) {
            // Everything goes, the temporary settings' key too.
            if (rawTemp)
                RegCloseKey(rawTemp);
            RegDeleteTreeW(raw, nullptr);
            rawTemp = nullptr;
            RegCreateKeyExW(raw, BoolOpts::GetTempSubKey(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &rawTemp,
                            nullptr);
        }
    });
    if (rawTemp)
        RegCloseKey(rawTemp);
    key.Close();
    core.Close();
}
