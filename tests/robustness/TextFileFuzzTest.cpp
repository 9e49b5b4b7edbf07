// The text-file functions on mutated files: detection, every decoder with
// exact, small and generous capacities ending at a no-access page, forced
// formats, unknown sizes, and files that change between the library's
// measuring and its reading.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/ImportHook.h"
#include "common/PageEnd.h"
#include "common/TestSupport.h"

namespace {

constexpr unsigned long tooSmall = 0xFFFFFFFF;

// While alive, every time the library opens the watched file, the file may
// first be replaced by one of the variants (or deleted, for an empty one
// marked so), as another program might do between two calls.
class ChangingFile {
public:
    ChangingFile(const std::wstring& path, Rng& rng, std::vector<std::string> variants)
        : hook("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&Open))
    {
        self = this;
        this->path = path;
        this->rng = &rng;
        this->variants = std::move(variants);
    }
    ~ChangingFile() { self = nullptr; }
    ChangingFile(const ChangingFile&) = delete;
    ChangingFile& operator=(const ChangingFile&) = delete;

    bool Hooked() const { return hook.Hooked(); }

private:
    typedef HANDLE(WINAPI* CreateFileFn)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

    static HANDLE WINAPI Open(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE tmpl)
    {
        if (self && name && self->path == name && self->rng->OneIn(2)) {
            const std::string& v = self->rng->Pick(self->variants);
            if (v == "<delete>")
                DeleteFileW(name);
            else
                PutBytes(name, v);
        }
        CreateFileFn original = self ? self->hook.Original<CreateFileFn>() : &CreateFileW;
        return original(name, access, share, security, disposition, flags, tmpl);
    }

    ImportHook hook;
    std::wstring path;
    Rng* rng = nullptr;
    std::vector<std::string> variants;
    static inline ChangingFile* self = nullptr;
};

// An answer of GetText into cch characters must leave a terminated text
// inside them.
void CheckText(const wchar_t* out, unsigned cch, unsigned long result, const char* what)
{
    if (result == tooSmall) {
        EXPECT_EQ(out[0], L'\0') << what << ": a text that does not fit leaves the buffer empty";
    } else if (result) {
        EXPECT_LE(result, cch) << what;
        if (result <= cch) {
            EXPECT_EQ(out[result - 1], L'\0') << what;
        }
    }
}

std::vector<std::string> TextSeeds(const TempFolder& temp)
{
    const std::wstring sample =
        L"[Menu]\r\nName=Launchora \x00C4\x00D6\x00DC \x20AC\r\n\tTab\x65E5\x672C \xD83D\xDE00\r\nlast line\nbare";
    std::vector<std::string> seeds;
    for (int f = fmtAnsi; f <= fmtAnsiUnix; ++f) {
        std::wstring path = temp / (L"seed" + std::to_wstring(f) + L".txt");
        EXPECT_TRUE(ZnFile::WriteText(path.c_str(), sample.c_str(), static_cast<ZnFileTextFmt>(f), 0)) << f;
        seeds.push_back(ReadBytes(path));
    }
    std::string binary;
    for (int b = 0; b < 300; ++b)
        binary.push_back(static_cast<char>(b * 7));
    seeds.push_back(binary);
    seeds.push_back("");
    seeds.push_back("x");
    seeds.push_back("\xFF\xFE");
    seeds.push_back("\xFE\xFF\x00");
    seeds.push_back("\xEF\xBB\xBF");
    seeds.push_back("\xEF\xBB\xBF\n\n\r\n\xC3");
    std::wstring lnk = temp / L"seed.lnk";
    CoInitialize(nullptr);
    if (CreateLink((ModuleFolder() + L"\\PVDLL.dll").c_str(), lnk.c_str(), L"/x"))
        seeds.push_back(ReadBytes(lnk));
    CoUninitialize();
    return seeds;
}

ZnFileTextFmt AnyFormat(Rng& rng)
{
    return static_cast<ZnFileTextFmt>(rng.Below(8));
}

} // namespace

TEST(Robustness, TextFileFormats)
{
    Trial trial("ZnFile_text");
    Rng& rng = trial.rng;
    TempFolder temp;
    std::vector<std::string> seeds = TextSeeds(temp);
    Mutator<char> mutator(rng, ByteTokens(), 100000);
    PageEndBlock out;
    const std::wstring path = temp / L"fuzz.txt";
    const UniPath uniPath(path.c_str());
    size_t detected[8] = {};
    size_t totalBytes = 0;

    trial.Run(1200, mutator, seeds, [&](const std::string& bytes, size_t) {
        ASSERT_TRUE(PutBytes(path, bytes));

        unsigned long size = ZnFile::GetFileSizeForText(path.c_str());
        EXPECT_EQ(size, bytes.size());
        ZnFileTextFmt fmt = fmtNone;
        unsigned long sized = size;
        unsigned long chars = ZnFile::GetTextSize(path.c_str(), &sized, &fmt);
        EXPECT_EQ(chars == 0, bytes.empty());
        ZnFileTextFmt fmt2 = fmtNone;
        EXPECT_EQ(ZnFile::GetTextSize(uniPath, nullptr, &fmt2), chars);
        EXPECT_EQ(fmt2, fmt);
        ++detected[fmt & 7];
        totalBytes += bytes.size();

        // The measured count is enough, and exactly that much is given.
        if (chars && chars != tooSmall) {
            wchar_t* buf = out.Chars(chars);
            unsigned long got = ZnFile::GetText(path.c_str(), sized, fmt, buf, chars, L'.');
            EXPECT_TRUE(got && got != tooSmall) << "the measured count " << chars << " did not hold the text";
            CheckText(buf, chars, got, "exact capacity");
        }
        // Small capacities.
        for (int k = 0; k < 3; ++k) {
            unsigned cch = k == 0 ? 1 + static_cast<unsigned>(rng.Below(3))
                           : k == 1 && chars > 1 && chars != tooSmall ? static_cast<unsigned>(chars - 1)
                                                                      : 1 + static_cast<unsigned>(rng.Below(300));
            wchar_t* buf = out.Chars(cch);
            unsigned long given = rng.OneIn(3) ? 0 : rng.OneIn(4) ? 0xFFFFFFFF : sized;
            unsigned long got = ZnFile::GetText(path.c_str(), given, fmt, buf, cch, L'?');
            CheckText(buf, cch, got, "small capacity");
        }
        // A forced format with what a format-blind measure gives.
        {
            ZnFileTextFmt forced = AnyFormat(rng);
            unsigned long blind = size;
            unsigned long cap = ZnFile::GetTextSize(path.c_str(), &blind, nullptr);
            if (cap && cap != tooSmall) {
                wchar_t* buf = out.Chars(cap);
                unsigned long given = rng.OneIn(3) ? 0 : blind;
                unsigned long got = ZnFile::GetText(uniPath, given, forced, buf, static_cast<unsigned>(cap), L' ');
                EXPECT_NE(got, tooSmall) << "format " << forced << " in " << cap << " characters";
                CheckText(buf, static_cast<unsigned>(cap), got, "forced format");
            }
        }
        // The whole text in one block, detected or forced.
        {
            unsigned n = 0;
            ZnFileTextFmt use = rng.OneIn(2) ? fmtNone : AnyFormat(rng);
            wchar_t* text = rng.OneIn(5) ? ZnFile::ReadText(path.c_str(), nullptr, nullptr, L'.')
                                         : ZnFile::ReadText(path.c_str(), &n, &use, L'.');
            EXPECT_EQ(text == nullptr, bytes.empty());
            if (text && n) {
                EXPECT_EQ(std::wcslen(text), n - 1u);
            }
            FreeDllBuf(text);
        }
    });
    std::printf("[ robustness ] ZnFile_text: %zu bytes on average; detected none %zu, ANSI %zu, UTF-16 %zu, "
                "UTF-16 BE %zu, UTF-8 %zu, UTF-8 LF %zu, ANSI LF %zu, binary %zu\n",
                totalBytes / (trial.Tried() ? trial.Tried() : 1), detected[0], detected[1], detected[2], detected[3], detected[4],
                detected[5], detected[6], detected[7]);
}

TEST(Robustness, TextFileChangingUnderTheReader)
{
    Trial trial("ZnFile_text_changing");
    Rng& rng = trial.rng;
    TempFolder temp;
    std::vector<std::string> seeds = TextSeeds(temp);
    Mutator<char> mutator(rng, ByteTokens(), 100000);
    PageEndBlock out;
    const std::wstring path = temp / L"changing.txt";

    trial.Run(500, mutator, seeds, [&](const std::string& bytes, size_t) {
        ASSERT_TRUE(PutBytes(path, bytes));
        std::vector<std::string> variants = {
            bytes.substr(0, rng.Below(bytes.size() + 1)),
            bytes + std::string(1 + rng.Below(20000), rng.OneIn(2) ? 'a' : '\n'),
            mutator.Mutate(rng.Pick(seeds), seeds),
            "<delete>",
            "",
        };
        // Measured before the change, read after it.
        unsigned long size = ZnFile::GetFileSizeForText(path.c_str());
        ZnFileTextFmt fmt = fmtNone;
        unsigned long chars = ZnFile::GetTextSize(path.c_str(), &size, &fmt);
        PutBytes(path, rng.Pick(variants));
        if (chars && chars != tooSmall) {
            wchar_t* buf = out.Chars(chars);
            CheckText(buf, chars, ZnFile::GetText(path.c_str(), size, fmt, buf, chars, L'.'), "stale size");
        }
        PutBytes(path, bytes);

        // Changed between the opens inside one call.
        ChangingFile changing(path, rng, variants);
        ASSERT_TRUE(changing.Hooked());
        unsigned n = 0;
        ZnFileTextFmt use = rng.OneIn(2) ? fmtNone : AnyFormat(rng);
        wchar_t* text = ZnFile::ReadText(path.c_str(), &n, &use, L'.');
        if (text && n) {
            EXPECT_EQ(wcsnlen(text, n), n - 1u);
        }
        FreeDllBuf(text);
        size = 0;
        chars = ZnFile::GetTextSize(path.c_str(), &size, &fmt);
        if (chars && chars != tooSmall && chars < 1000000) {
            wchar_t* buf = out.Chars(chars);
            CheckText(buf, chars, ZnFile::GetText(path.c_str(), size, fmt, buf, chars, L'.'), "changing file");
        }
    });
}
