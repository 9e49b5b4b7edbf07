// Shortcut files as the shell functions meet them in folders anyone of the
// user's programs can write: damaged headers, id lists and string data.
#include <string>
#include <vector>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/RawFile.h"
#include "common/ShortcutSupport.h"
#include "common/TestSupport.h"

TEST(Robustness, ShortcutFiles)
{
    Trial trial("ShortcutFiles");
    CoInitialize(nullptr);
    TempFolder temp;
    std::wstring seedLink = temp / L"seed.lnk";
    ASSERT_TRUE(CreateLink(L"C:\\windows\\system32\\notepad.exe", seedLink.c_str(), L"/x \"y z\""));
    const std::string link = ReadBytes(seedLink);
    ASSERT_FALSE(link.empty());
    // The header and the id list are where a parser trusts sizes: most
    // mutations land there when the seed is cut to them.
    const std::vector<std::string> seeds = {link, link.substr(0, 0x4C + 2 + 40), link.substr(0, 0x4C)};
    Mutator<char> mutator(trial.rng, ByteTokens(), 4096);
    const std::wstring path = temp / L"case.lnk";
    size_t loaded = 0;

    // Half the inputs keep the seed's length and change a few bytes in
    // place, so that many stay well framed and reach the shell's parser
    // with odd contents; the rest are cut, spliced and grown.
    trial.Run(150, [&](size_t i) {
        std::string input = link;
        if (trial.rng.OneIn(2)) {
            for (size_t n = 1 + trial.rng.Below(4); n > 0; --n)
                input[trial.rng.Below(input.size())] = static_cast<char>(trial.rng.Below(256));
        } else {
            input = mutator.Mutate(trial.rng.Pick(seeds), seeds);
        }
        trial.Begin(i, input);
        ASSERT_TRUE(PutBytes(path, input));
        iShellLink shellLink;
        if (FUZZ_CALL(trial, shellLink.Load(path.c_str()))) {
            ++loaded;
            wchar_t text[MAX_PATH];
            FUZZ_CALL(trial, shellLink.GetPath(text, nullptr, 0));
            FUZZ_CALL(trial, shellLink.GetArgs(text, MAX_PATH));
        }
        FUZZ_CALL(trial, IsShortcutAsAdmin(path.c_str()));
    });
    printf("[ robustness ] ShortcutFiles: %zu loaded as shortcuts\n", loaded);
    CoUninitialize();
}
