// The path, command-line and file-name functions and UniPath on long and
// malformed text. Inputs end with their terminator right before a
// no-access page; every output and every path edited in place gets exactly
// the capacity it is documented to need (260 characters unless a count is
// passed), ending at a no-access page too.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"

namespace {

constexpr unsigned cchPath = 260;

std::vector<std::wstring> PathSeeds()
{
    return {
        L"C:\\Windows\\System32\\notepad.exe",
        L"c:",
        L"C:\\",
        L"\\\\server\\share\\folder\\file.txt",
        L"\\\\server",
        L"//server/share/",
        L"\\",
        L"relative\\path.with.dots\\name.ext",
        L"\"C:\\Program Files\\Launchora\\pvhost.exe\" /x:1 -name=\"a b\" rest",
        L"  \"  quoted with blanks  \"  ",
        L"%SystemRoot%\\system32",
        L"%S\\kernel32.dll",
        L"%_\\PVDLL.dll",
        L"%W",
        L"a&#58;b&#92;c&#46;d&#999999999999;e&#65;",
        L"name:with*bad?chars<>|\"/",
        L"\\\\?\\C:\\very\\long",
        L"/silent /es -x",
        std::wstring(L"C:\\") + std::wstring(300, L'a') + L"\\file.ext",
        std::wstring(259, L'n'),
        L"",
    };
}

class Buffers {
public:
    // The text with its terminator as the last readable character.
    const wchar_t* In(const std::wstring& text)
    {
        std::wstring z = text + L'\0';
        return input.PlaceChars(z.c_str(), z.size());
    }
    const wchar_t* In2(const std::wstring& text)
    {
        std::wstring z = text + L'\0';
        return second.PlaceChars(z.c_str(), z.size());
    }
    const wchar_t* In3(const std::wstring& text)
    {
        std::wstring z = text + L'\0';
        return third.PlaceChars(z.c_str(), z.size());
    }
    // A path buffer of 260 characters holding the text (cut to 259).
    wchar_t* PathBuf(const std::wstring& text)
    {
        wchar_t* p = edit.Chars(cchPath);
        size_t n = text.size() < cchPath - 1 ? text.size() : cchPath - 1;
        std::wmemcpy(p, text.data(), n);
        p[n] = L'\0';
        return p;
    }
    wchar_t* Out(unsigned cch = cchPath) { return output.Chars(cch); }
    wchar_t* OutBase() { return output.As<wchar_t>(); }

private:
    PageEndBlock input, second, third, edit, output;
};

// The text in a buffer of cch characters ends inside it.
#define EXPECT_ENDS_WITHIN(buf, cch, what) EXPECT_LT(wcsnlen((buf), (cch)), static_cast<size_t>(cch)) << (what)

} // namespace

TEST(Robustness, PathFunctions)
{
    Trial trial("Paths");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = PathSeeds();
    Mutator<wchar_t> mutator(rng, WideTokens(), 1200);
    Buffers b;

    trial.Run(2500, mutator, seeds, [&](const std::wstring& text, size_t i) {
        std::wstring other = rng.OneIn(2) ? mutator.Mutate(rng.Pick(seeds), seeds) : rng.Pick(seeds);
        std::wstring both = text + L'\0' + other;
        trial.Begin(i, both);
        const wchar_t* in = b.In(text);
        const wchar_t* in2 = b.In2(other);

        // Queries read the text as it is, however long.
        FUZZ_CALL(trial, LocateFileName(in));
        FUZZ_CALL(trial, LocateFileExt(in));
        FUZZ_CALL(trial, IsDrivePath(in));
        FUZZ_CALL(trial, IsDosFolder(in));
        FUZZ_CALL(trial, IsRootDrive(in));
        FUZZ_CALL(trial, IsRootShare(in));
        FUZZ_CALL(trial, IsRootPath(in));
        FUZZ_CALL(trial, IsRootFolder(in, 0));
        FUZZ_CALL(trial, IsRootFolder(in, 1));
        FUZZ_CALL(trial, IsNetworkPath(in));
        FUZZ_CALL(trial, IsNetworkComputer(in));
        FUZZ_CALL(trial, IsNetworkShare(in));
        FUZZ_CALL(trial, IsFullPathName(in));
        FUZZ_CALL(trial, IsMask(in));
        FUZZ_CALL(trial, IsSamePath(in, in2));
        FUZZ_CALL(trial, IsSubFolderOf(in, in2, 0));
        FUZZ_CALL(trial, IsSubFolderOf(in2, in, 1));

        // Editors in place, on a full-size buffer.
        typedef int (*Editor)(wchar_t*);
        static const Editor editors[] = {StripFileName, StripFileNameAndBackslash, StripFileExt, AppendBackSlash,
                                         RemoveBackSlash, StripBackSlash,          AddQuotesIfSpace};
        for (Editor edit : editors) {
            wchar_t* p = b.PathBuf(text);
            FUZZ_CALL(trial, edit(p));
            EXPECT_ENDS_WITHIN(p, cchPath, "editor");
        }
        {
            wchar_t* p = b.PathBuf(text);
            FUZZ_CALL(trial, AppendFileName(p, in2));
            EXPECT_ENDS_WITHIN(p, cchPath, "AppendFileName");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, UnQuote(p, nullptr));
            EXPECT_ENDS_WITHIN(p, cchPath, "UnQuote in place");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, RemoveWhiteSpacesAndQuotes(p, nullptr));
            EXPECT_ENDS_WITHIN(p, cchPath, "RemoveWhiteSpacesAndQuotes in place");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, DirFromPath(p, p));
            EXPECT_ENDS_WITHIN(p, cchPath, "DirFromPath in place");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, MakeFolderPath(p, p));
            EXPECT_ENDS_WITHIN(p, cchPath, "MakeFolderPath in place");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, MakePath(p, p, in2, rng.OneIn(2) ? L"ext" : nullptr, static_cast<int>(rng.Below(2))));
            EXPECT_ENDS_WITHIN(p, cchPath, "MakePath on its folder");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, ExpandEnvStrings(p, p, cchPath));
            EXPECT_ENDS_WITHIN(p, cchPath, "ExpandEnvStrings in place");
            p = b.PathBuf(text);
            FUZZ_CALL(trial, UnExpandEnvStrings(p, p, cchPath));
            EXPECT_ENDS_WITHIN(p, cchPath, "UnExpandEnvStrings in place");
        }

        // Writers from any input into 260 characters.
        wchar_t* out = b.Out();
        FUZZ_CALL(trial, DirFromPath(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "DirFromPath");
        FUZZ_CALL(trial, UnQuote(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "UnQuote");
        FUZZ_CALL(trial, RemoveWhiteSpacesAndQuotes(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "RemoveWhiteSpacesAndQuotes");
        FUZZ_CALL(trial, MakeRootPath(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "MakeRootPath");
        FUZZ_CALL(trial, MakeFolderPath(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "MakeFolderPath");
        std::wstring third = mutator.Mutate(L"txt", seeds).substr(0, 400);
        const wchar_t* ext = rng.OneIn(4) ? nullptr : b.In3(third);
        FUZZ_CALL(trial, MakePath(out, in, in2, ext, static_cast<int>(rng.Below(2))));
        EXPECT_ENDS_WITHIN(out, cchPath, "MakePath");
        FUZZ_CALL(trial, MakeCanonicalPath(in, out));
        EXPECT_ENDS_WITHIN(out, cchPath, "MakeCanonicalPath");
        FUZZ_CALL(trial, GetPathFromCanonical(in, out));
        EXPECT_ENDS_WITHIN(out, cchPath, "GetPathFromCanonical");
        FUZZ_CALL(trial, GetHomeDir(out));
        EXPECT_ENDS_WITHIN(out, cchPath, "GetHomeDir");
        unsigned cch = 1 + static_cast<unsigned>(rng.Below(cchPath));
        out = b.Out(cch);
        FUZZ_CALL(trial, ExpandEnvStrings(in, out, cch));
        EXPECT_ENDS_WITHIN(out, cch, "ExpandEnvStrings");
        FUZZ_CALL(trial, UnExpandEnvStrings(in, out, cch));
        EXPECT_ENDS_WITHIN(out, cch, "UnExpandEnvStrings");

        // The file system, now and then: it is slow under any emulation.
        // Wine 8's path parser reads the first four characters of any
        // path, past the terminator of a shorter one, so those get room.
        if (rng.OneIn(8)) {
            std::wstring padded = text;
            if (padded.size() < 4)
                padded.resize(4, L'\0');
            const wchar_t* fs = b.In3(padded);
            FUZZ_CALL(trial, FileExists(fs));
            FUZZ_CALL(trial, FolderExists(fs));
            FUZZ_CALL(trial, FileOrFolderExists(fs));
            FUZZ_CALL(trial, DriveExists(fs));
        }
    });
}

TEST(Robustness, CommandLineFunctions)
{
    Trial trial("CmdLine");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = PathSeeds();
    for (const wchar_t* s : {L"pvhost.exe /choose:3 winx", L"\"a b\\c.exe\"\t-x=\"1 2\" /y:", L"/only /args",
                             L"\" /quoted-switch", L"prog name:value=other", L"x:\"unterminated"})
        seeds.emplace_back(s);
    const std::vector<std::wstring> names = {L"x", L"/x", L"-name", L"choose", L"name", L"", L"es"};
    Mutator<wchar_t> mutator(rng, WideTokens(), 1200);
    Buffers b;

    trial.Run(3000, mutator, seeds, [&](const std::wstring& text, size_t) {
        const wchar_t* in = b.In(text);
        std::wstring nameText = rng.OneIn(4) ? mutator.Mutate(rng.Pick(names), names).substr(0, 40) : rng.Pick(names);
        const wchar_t* name = b.In2(nameText);

        const wchar_t* p = in;
        FUZZ_CALL(trial, SkipLeadingWhiteSpaces(p));
        unsigned cch = static_cast<unsigned>(rng.Below(cchPath + 40));
        wchar_t* out = b.Out(cch);
        FUZZ_CALL(trial, GetCmdLnPath(in, cch ? out : nullptr, cch));
        if (cch) {
            EXPECT_ENDS_WITHIN(out, cch, "GetCmdLnPath");
        }
        cch = static_cast<unsigned>(rng.Below(cchPath + 40));
        out = b.Out(cch);
        wchar_t* argsOut = rng.OneIn(5) || !cch ? nullptr : out;
        const wchar_t* args = FUZZ_CALL(trial, GetCmdLnArg(in, argsOut, cch));
        if (argsOut) {
            EXPECT_ENDS_WITHIN(out, cch, "GetCmdLnArg");
        }
        if (args) {
            EXPECT_TRUE(args >= in && args <= in + text.size());
        }

        FUZZ_CALL(trial, IsCmdLineOption(in, name));
        FUZZ_CALL(trial, IsCmdLineSwitchPrefix(in, name));
        FUZZ_CALL(trial, IsCmdLinePrefix(in, name));
        // Every switch in turn, as a caller walking the arguments would.
        const wchar_t* arg = args ? args : in;
        for (int k = 0; arg && k < 1300; ++k) {
            cch = 1 + static_cast<unsigned>(rng.Below(cchPath));
            out = b.Out(cch);
            const wchar_t* next = nullptr;
            FUZZ_CALL(trial, GetCmdLineSwitchData(arg, out, cch, &next));
            EXPECT_ENDS_WITHIN(out, cch, "GetCmdLineSwitchData");
            if (next) {
                EXPECT_TRUE(next > arg && next <= in + text.size());
            }
            FUZZ_CALL(trial, IsCmdLineOption(arg, name));
            FUZZ_CALL(trial, IsCmdLineSwitchPrefix(arg, name));
            FUZZ_CALL(trial, IsCmdLinePrefix(arg, name));
            arg = next;
        }
    });
}

TEST(Robustness, FileNameFunctions)
{
    Trial trial("FileNames");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = PathSeeds();
    Mutator<wchar_t> mutator(rng, WideTokens(), 1200);
    Buffers b;
    PageEndBlock z;

    trial.Run(3000, mutator, seeds, [&](const std::wstring& text, size_t) {
        const wchar_t* in = b.In(text);
        FUZZ_CALL(trial, IsValidFileName(in));
        FUZZ_CALL(trial, IsValidFolderName(in));
        FUZZ_CALL(trial, IsValidAltFileName(in));

        wchar_t* out = b.Out();
        FUZZ_CALL(trial, FixFileName(out, in, static_cast<int>(rng.Below(4))));
        EXPECT_ENDS_WITHIN(out, cchPath, "FixFileName");
        FUZZ_CALL(trial, EncodeFileName(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "EncodeFileName");
        FUZZ_CALL(trial, DecodeFileName(out, in));
        EXPECT_ENDS_WITHIN(out, cchPath, "DecodeFileName");
        wchar_t* p = b.PathBuf(text);
        FUZZ_CALL(trial, FixFileName(p, p, static_cast<int>(rng.Below(4))));
        EXPECT_ENDS_WITHIN(p, cchPath, "FixFileName in place");
        p = b.PathBuf(text);
        FUZZ_CALL(trial, DecodeFileName(p, p));
        EXPECT_ENDS_WITHIN(p, cchPath, "DecodeFileName in place");
        p = b.PathBuf(text);
        EXPECT_EQ(FUZZ_CALL(trial, EncodeFileName(p, p)), 0);

        // The second terminator within cch characters, wherever the first
        // one lies (or none at all).
        unsigned cch = 1 + static_cast<unsigned>(rng.Below(text.size() + 3));
        wchar_t* buf = z.Chars(cch);
        std::wmemcpy(buf, text.data(), text.size() < cch ? text.size() : cch);
        if (rng.OneIn(2))
            buf[rng.Below(cch)] = L'\0';
        FUZZ_CALL(trial, AppendSecondTermZero(buf, cch));
    });
}

TEST(Robustness, UniPathFunctions)
{
    Trial trial("UniPath");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = PathSeeds();
    Mutator<wchar_t> mutator(rng, WideTokens(), 1200);
    Buffers b;

    trial.Run(2500, mutator, seeds, [&](const std::wstring& text, size_t i) {
        std::wstring other = mutator.Mutate(rng.Pick(seeds), seeds);
        std::wstring both = text + L'\0' + other;
        trial.Begin(i, both);
        const wchar_t* in = b.In(text);
        const wchar_t* in2 = b.In2(other);

        UniPath path(in);
        EXPECT_ENDS_WITHIN(path.Path(), cchPath, "UniPath");
        UniPath folder(in2);
        typedef int (UniPath::*Getter)(wchar_t*, unsigned) const;
        static const Getter getters[] = {&UniPath::GetPath, &UniPath::GetDisplayPath, &UniPath::GetFileName,
                                         &UniPath::GetDisplayFileName, &UniPath::GetDisplayName};
        for (Getter get : getters) {
            unsigned cch = static_cast<unsigned>(rng.Below(cchPath + 20));
            wchar_t* out = b.Out(cch);
            FUZZ_CALL(trial, (path.*get)(cch ? out : nullptr, cch));
            if (cch) {
                EXPECT_ENDS_WITHIN(out, cch, "UniPath getter");
            }
        }
        FUZZ_CALL(trial, path.IsSameAs(&folder));
        if (rng.OneIn(8)) {
            FUZZ_CALL(trial, path.IsContainer());
            FUZZ_CALL(trial, path.FileExists());
            FUZZ_CALL(trial, path.IsReadOnly());
        }
        UniPath copy(path);
        FUZZ_CALL(trial, copy.MakeParentFolder());
        EXPECT_ENDS_WITHIN(copy.Path(), cchPath, "MakeParentFolder");
        FUZZ_CALL(trial, copy.Make(&folder, rng.OneIn(4) ? nullptr : in));
        if (copy.Path()) {
            EXPECT_ENDS_WITHIN(copy.Path(), cchPath, "Make");
        }
        FUZZ_CALL(trial, copy.Make(&copy, in2));
        if (copy.Path()) {
            EXPECT_ENDS_WITHIN(copy.Path(), cchPath, "Make on itself");
        }
        FUZZ_CALL(trial, path.Set(copy.Path()));
        path = std::move(copy);
    });
}
