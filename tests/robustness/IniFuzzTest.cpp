// IniFile's reader on mutated texts: whole reads from memory (terminated,
// counted, counted short), reads of mutated files, and the line readers
// driven directly with buffers of exactly their documented size.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"
#include "common/TestSupport.h"

namespace {

// Copies, so that no check takes the address of the library's constants.
constexpr unsigned nameCap = IniFile::nameSize;
constexpr unsigned valueCap = IniFile::valueSize;

// Writes a few sections through the library's own writer.
class SampleWriter : public IniFile {
public:
    explicit SampleWriter(const wchar_t* path) : IniFile(path) {}
    unsigned MakeData(wchar_t* buf) override
    {
        unsigned count = 0;
        wchar_t* p = buf;
        const std::wstring longName(255, L'k');
        const std::wstring longValue(1024, L'v');
        WriteSec(p, L"General", count);
        WriteVar(p, L"Name", L"Launchora", count);
        WriteVar(p, L"Empty", L"", count);
        WriteVar(p, longName.c_str(), longValue.c_str(), count);
        WriteSec(p, L"en-US", count);
        WriteVar(p, L"Menu.Custom", L"Custom \x00C4 \xD83D\xDE00", count);
        WriteSec(p, L"", count);
        WriteVar(p, L"", L"=", count);
        return count;
    }
};

// Checks every item it is handed against the documented sizes, aborts
// now and then, and can take over the parse with the line readers.
class CheckingReader : public IniFile {
public:
    CheckingReader(Rng& rng, PageEndBlock& buf) : rng(rng), buf(buf) {}

    bool driveReaders = false;
    size_t abortAt = static_cast<size_t>(-1);
    size_t items = 0;
    size_t entries = 0;

    int CallBack(CallBackFlag kind, const wchar_t* section, const wchar_t* key, const wchar_t* value) override
    {
        if (kind == cbBegin && driveReaders)
            return DriveReaders();
        if (section) {
            EXPECT_LT(wcsnlen(section, nameCap), nameCap);
        }
        if (kind == cbComment && key) {
            EXPECT_LT(wcsnlen(key, nameCap), nameCap);
        }
        if (kind == cbEntry) {
            ++entries;
            EXPECT_TRUE(key && value);
            if (key) {
                EXPECT_LT(wcsnlen(key, nameCap), nameCap);
            }
            if (value) {
                EXPECT_LT(wcsnlen(value, valueCap), valueCap);
            }
        }
        return items++ != abortAt;
    }

private:
    // Random line readers, each into a buffer of exactly the size it is
    // documented to need, until the text is used up.
    int DriveReaders()
    {
        for (int step = 0; step < 4000 && pParser && pParser->NotEnd(); ++step) {
            int which = static_cast<int>(rng.Below(4));
            unsigned size = which == 2 ? valueCap : nameCap;
            wchar_t* out = buf.Chars(size);
            int ok = which == 0 ? GetSec(out) : which == 1 ? GetVar(out) : which == 2 ? GetVal(out) : GetComment(out);
            if (ok) {
                EXPECT_LT(wcsnlen(out, size), size);
            }
            else if (rng.OneIn(8))
                pParser->SkipChar();
        }
        return rng.OneIn(2);
    }

    Rng& rng;
    PageEndBlock& buf;
};

std::vector<std::wstring> IniSeeds(const TempFolder& temp)
{
    std::vector<std::wstring> seeds;
    std::wstring path = temp / L"written.ini";
    SampleWriter writer(path.c_str());
    EXPECT_TRUE(writer.WriteData());
    seeds.push_back(Utf16Text(ReadBytes(path)));
    EXPECT_GT(seeds.back().size(), 10u);
    seeds.push_back(L"; comment\r\n\r\n[Section]\r\nkey = value\r\n; after\r\nnoequals\r\nnext=1\r\n[Other]\nk=v\n");
    seeds.push_back(L"before=first\r\n[late]\r\nx=y");
    seeds.push_back(L"[unterminated\r\nkey=value\r\n");
    seeds.push_back(L"[" + std::wstring(300, L's') + L"]\r\n" + std::wstring(300, L'k') + L"=" +
                    std::wstring(2000, L'v') + L"\r\n;" + std::wstring(400, L'c'));
    seeds.push_back(L"\xFEFF[a]\rb=c\r\r\n=\n[\n]\n;");
    seeds.push_back(L"");
    return seeds;
}

} // namespace

TEST(Robustness, IniFileReadAll)
{
    Trial trial("IniFile_ReadAll");
    Rng& rng = trial.rng;
    TempFolder temp;
    std::vector<std::wstring> seeds = IniSeeds(temp);
    Mutator<wchar_t> mutator(rng, WideTokens(), 20000);
    PageEndBlock input;
    PageEndBlock lines;
    const std::wstring file = temp / L"fuzz.ini";

    size_t entries = 0;
    trial.Run(3000, mutator, seeds, [&](std::wstring& text, size_t) {
        CheckingReader reader(rng, lines);
        reader.driveReaders = rng.OneIn(4);
        if (rng.OneIn(6))
            reader.abortAt = rng.Below(20);
        switch (rng.Below(4)) {
        case 0: {  // up to the terminator, which is the last character
            std::wstring z = text + L'\0';
            reader.ReadAll(input.PlaceChars(z.c_str(), z.size()), 0);
            break;
        }
        case 1: {  // counted, with nothing after the count
            if (text.empty())
                text = L";";
            reader.ReadAll(input.PlaceChars(text.c_str(), text.size()), static_cast<unsigned>(text.size()));
            break;
        }
        case 2: {  // counted short of a longer text
            std::wstring z = text + L'\0';
            unsigned len = static_cast<unsigned>(1 + rng.Below(z.size()));
            reader.ReadAll(input.PlaceChars(z.c_str(), z.size()), len);
            break;
        }
        default: {  // the same through a file, odd sizes included
            std::string bytes = Utf16Bytes(text);
            if (rng.OneIn(3))
                bytes.push_back(static_cast<char>(rng.Next()));
            ASSERT_TRUE(PutBytes(file, bytes));
            reader.SetPath(file.c_str());
            reader.ReadData();
            break;
        }
        }
        reader.DeleteParser();
        entries += reader.entries;
    });
    std::printf("[ robustness ] IniFile_ReadAll: %zu entries reported\n", entries);
}
