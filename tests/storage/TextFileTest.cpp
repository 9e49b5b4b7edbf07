#include <gtest/gtest.h>

#include "FileBytes.h"
#include "PVDLL.h"
#include "common/TestSupport.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned long tooSmall = 0xFFFFFFFF;
constexpr wchar_t guard = 0xBEEF;

struct Detected {
    ZnFileTextFmt fmt;
    unsigned long chars;
};

Detected Detect(const std::wstring& path)
{
    unsigned long size = ZnFile::GetFileSizeForText(path.c_str());
    Detected d{fmtNone, 0};
    d.chars = ZnFile::GetTextSize(path.c_str(), &size, &d.fmt);
    return d;
}

// The whole text, or "<null>".
std::wstring Read(const std::wstring& path, ZnFileTextFmt force = fmtNone, wchar_t replacement = L'?')
{
    ZnFileTextFmt fmt = force;
    unsigned count = 0;
    wchar_t* text = ZnFile::ReadText(path.c_str(), &count, &fmt, replacement);
    if (!text)
        return L"<null>";
    std::wstring result(text);
    EXPECT_EQ(count, result.size() + 1);
    FreeDllBuf(text);
    return result;
}

// GetText into a buffer of cch characters followed by guard units; checks
// that nothing past cch was touched.
unsigned long GuardedGetText(const std::wstring& path, unsigned long size, ZnFileTextFmt fmt, unsigned cch,
                             std::wstring* text = nullptr)
{
    std::vector<wchar_t> buf(cch + 8, guard);
    unsigned long got = ZnFile::GetText(path.c_str(), size, fmt, buf.data(), cch, L'?');
    for (size_t i = cch; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], guard) << "written past the capacity at " << i;
    if (got && got != tooSmall) {
        EXPECT_LE(got, cch);
        EXPECT_EQ(buf[got - 1], L'\0');
    }
    if (text)
        *text = got && got != tooSmall ? std::wstring(buf.data()) : L"";
    return got;
}

class TextFile : public testing::Test {
protected:
    std::wstring File(const std::string& bytes, const wchar_t* name = L"t.txt")
    {
        std::wstring path = temp / name;
        EXPECT_TRUE(PutBytes(path, bytes));
        return path;
    }

    TempFolder temp;
};

} // namespace

// --- detection and conversion ---------------------------------------------------------

struct Sample {
    const char* name;
    std::string bytes;
    ZnFileTextFmt fmt;
    unsigned long chars;
    std::wstring text;
};

TEST_F(TextFile, DetectsAndConvertsEveryFormat)
{
    const Sample samples[] = {
        {"ansi crlf", "ab\r\ncd", fmtAnsi, 7, L"ab\r\ncd"},
        {"ansi without line ends", "abc", fmtAnsi, 4, L"abc"},
        {"ansi lf", "ab\ncd\n", fmtAnsiUnix, 13, L"ab\r\ncd\r\n"},
        {"first crlf, last lf", "ab\r\ncd\nef", fmtAnsiUnix, 19, L"ab\r\ncd\r\nef"},
        {"first lf, last crlf", "ab\ncd\r\nef", fmtAnsi, 10, L"ab\ncd\r\nef"},
        {"a leading lf alone decides nothing", "\nab", fmtAnsi, 4, L"\nab"},
        {"utf-16le", std::string("\xFF\xFE" "a\0\r\0\n\0b\0", 10), fmtUnicode, 5, L"a\r\nb"},
        {"utf-16be", std::string("\xFE\xFF\0a\0\r\0\n\0b", 10), fmtUnicodeBE, 5, L"a\r\nb"},
        {"utf-16 zero unit", std::string("\xFF\xFE" "a\0\0\0", 6), fmtUnicode, 3, L"a "},
        {"odd-length utf-16", std::string("\xFF\xFE" "a\0b", 5), fmtUnicode, 2, L"a"},
        {"utf-16 mark alone", "\xFF\xFE", fmtUnicode, 1, L""},
        {"utf-8 crlf", "\xEF\xBB\xBF" "\xE2\x82\xAC\r\nx", fmtUTF8, 5, L"\u20AC\r\nx"},
        {"utf-8 lf", "\xEF\xBB\xBF" "a\nb\n", fmtUTF8Unix, 7, L"a\r\nb\r\n"},
        {"utf-8 lf right after the mark", "\xEF\xBB\xBF\nb", fmtUTF8Unix, 4, L"\r\nb"},
        {"utf-8 mark alone", "\xEF\xBB\xBF", fmtUTF8, 1, L""},
        {"invalid utf-8", "\xEF\xBB\xBF" "a\xFF" "b", fmtUTF8, 4, L"a\uFFFDb"},
        {"binary", "a\x01" "b\r\n", fmtBinary, 6, L"a?b\r\n"},
        {"binary zero", std::string("a\0b", 3), fmtBinary, 4, L"a?b"},
        {"tab, form feed and 26 are text", "a\tb\fc\x1A", fmtAnsi, 7, L"a\tb\fc\x1A"},
        {"one byte", "x", fmtAnsi, 2, L"x"},
        {"one control byte", "\x01", fmtAnsi, 2, L"?"},
        {"two bytes that start a utf-8 mark", "\xEF\xBB", fmtAnsi, 3, L"\u00EF\u00BB"},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        std::wstring path = File(s.bytes);
        Detected d = Detect(path);
        EXPECT_EQ(d.fmt, s.fmt);
        EXPECT_EQ(d.chars, s.chars);
        std::wstring text;
        EXPECT_EQ(GuardedGetText(path, static_cast<unsigned long>(s.bytes.size()), d.fmt, d.chars, &text),
                  s.text.size() + 1);
        EXPECT_EQ(text, s.text);
        EXPECT_EQ(Read(path), s.text);
    }
}

TEST_F(TextFile, AnEmptyOrMissingFileHoldsNoText)
{
    std::wstring empty = File("");
    EXPECT_EQ(ZnFile::GetFileSizeForText(empty.c_str()), 0u);
    Detected d = Detect(empty);
    EXPECT_EQ(d.chars, 0u);
    EXPECT_EQ(d.fmt, fmtNone);
    EXPECT_EQ(Read(empty), L"<null>");

    std::wstring missing = temp / L"missing.txt";
    EXPECT_EQ(Detect(missing).chars, 0u);
    EXPECT_EQ(Read(missing), L"<null>");
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

TEST_F(TextFile, TheLastLineFeedOfTheSampleDecidesAFileLargerThanTheSample)
{
    std::string lfLines(8000, 'a');
    for (size_t i = 99; i < lfLines.size(); i += 100)
        lfLines[i] = '\n';
    // The sample ends at 8192: the CR LF below lies inside it, the bare
    // line feeds after it do not count.
    std::string crlfLast = lfLines + std::string(150, 'b') + "\r\n" + std::string(40, 'c');
    crlfLast += std::string(2000, 'd') + "\n" + std::string(500, 'e') + "\n";
    ASSERT_GT(crlfLast.size(), 8192u);
    std::wstring path = File(crlfLast);
    Detected d = Detect(path);
    EXPECT_EQ(d.fmt, fmtAnsi);
    EXPECT_EQ(d.chars, crlfLast.size() + 1);
    std::wstring text = Read(path);
    EXPECT_EQ(text.size(), crlfLast.size());

    std::string lfLast = std::string(4000, 'a') + "\r\n" + std::string(3000, 'b') + "\n" + std::string(5000, 'c');
    path = File(lfLast);
    d = Detect(path);
    EXPECT_EQ(d.fmt, fmtAnsiUnix);
    EXPECT_EQ(d.chars, 2 * lfLast.size() + 1);
    EXPECT_EQ(Read(path), std::wstring(4000, L'a') + L"\r\n" + std::wstring(3000, L'b') + L"\r\n" +
                              std::wstring(5000, L'c'));
}

TEST_F(TextFile, ALargeUtf8FileGetsABoundThatHoldsItsText)
{
    std::string bytes = "\xEF\xBB\xBF";
    for (int i = 0; i < 4000; ++i)
        bytes += "\xC3\xA9\n";  // é and a bare line feed
    std::wstring path = File(bytes);
    Detected d = Detect(path);
    EXPECT_EQ(d.fmt, fmtUTF8Unix);
    EXPECT_EQ(d.chars, 2 * (bytes.size() - 3) + 1);
    std::wstring expected;
    for (int i = 0; i < 4000; ++i)
        expected += L"\u00E9\r\n";
    EXPECT_EQ(Read(path), expected);
}

TEST_F(TextFile, ANullFormatAsksForNoDetection)
{
    std::wstring path = File(std::string("\xFF\xFE" "a\0", 4), L"n.txt");
    unsigned long size = ZnFile::GetFileSizeForText(path.c_str());
    EXPECT_EQ(ZnFile::GetTextSize(path.c_str(), &size, nullptr), 2 * 4 + 1u);
    unsigned count = 0;
    wchar_t* text = ZnFile::ReadText(path.c_str(), &count, nullptr, L'?');
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"a");
    FreeDllBuf(text);
}

TEST_F(TextFile, UnknownSizeIsTakenFromTheFileOrTheSample)
{
    std::wstring path = File("ab\ncd");
    unsigned long size = 0;
    ZnFileTextFmt fmt = fmtNone;
    EXPECT_EQ(ZnFile::GetTextSize(path.c_str(), &size, &fmt), 11u);
    EXPECT_EQ(size, 5u);
    std::wstring text;
    EXPECT_EQ(GuardedGetText(path, 0, fmtAnsiUnix, 7, &text), 7u);
    EXPECT_EQ(text, L"ab\r\ncd");
    EXPECT_EQ(GuardedGetText(path, 0xFFFFFFFF, fmtAnsiUnix, 7), 7u);
    // Unknown size reads up to twice the capacity; a full read is a text
    // that goes on past the buffer.
    EXPECT_EQ(GuardedGetText(path, 0, fmtAnsiUnix, 2), tooSmall);
}

TEST_F(TextFile, TheUniPathFormsReadAndWriteTheSameFile)
{
    UniPath path((temp / L"u.txt").c_str());
    ASSERT_TRUE(ZnFile::WriteText(path, L"one\r\ntwo", fmtUTF8Unix, 0));
    unsigned long size = ZnFile::GetFileSizeForText(path);
    EXPECT_EQ(size, 3 + 7u);
    ZnFileTextFmt fmt = fmtNone;
    unsigned long chars = ZnFile::GetTextSize(path, &size, &fmt);
    EXPECT_EQ(fmt, fmtUTF8Unix);
    std::vector<wchar_t> buf(chars);
    EXPECT_EQ(ZnFile::GetText(path, size, fmt, buf.data(), chars, L'?'), 9u);
    EXPECT_STREQ(buf.data(), L"one\r\ntwo");
    ASSERT_TRUE(ZnFile::AppendText(path, L"\r\nx", 0));
    wchar_t* text = ZnFile::ReadText(path, nullptr, &fmt, L'?');
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"one\r\ntwo\r\nx");
    FreeDllBuf(text);
}

// --- writing ---------------------------------------------------------------------

TEST_F(TextFile, WrittenTextReadsBackInEveryWritableFormat)
{
    const std::wstring wide = L"Gr\u00FC\u00DFe \u20AC \U0001D11E\r\nline two\r\n";
    const std::wstring ascii = L"plain\r\nline two\r\n";
    struct Case {
        ZnFileTextFmt fmt;
        std::wstring text;
        std::string start;
    };
    const Case cases[] = {
        {fmtAnsi, ascii, "plain\r\n"},
        {fmtUnicode, wide, std::string("\xFF\xFE" "G\0", 4)},
        {fmtUnicodeBE, wide, std::string("\xFE\xFF\0G", 4)},
        {fmtUTF8, wide, "\xEF\xBB\xBF" "Gr\xC3\xBC"},
        {fmtUTF8Unix, wide, "\xEF\xBB\xBF" "Gr\xC3\xBC"},
        {fmtAnsiUnix, ascii, "plain\nline two\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fmt);
        std::wstring path = temp / L"w.txt";
        ASSERT_TRUE(ZnFile::WriteText(path.c_str(), c.text.c_str(), c.fmt, 1));
        std::string bytes = GetBytes(path);
        EXPECT_EQ(bytes.substr(0, c.start.size()), c.start);
        bool lfOnly = c.fmt == fmtUTF8Unix || c.fmt == fmtAnsiUnix;
        EXPECT_EQ(bytes.find('\r') == std::string::npos, lfOnly);
        EXPECT_EQ(Detect(path).fmt, c.fmt);
        EXPECT_EQ(Read(path), c.text);
    }
}

TEST_F(TextFile, AUnixUtf8FileWrittenBackKeepsItsLineFeeds)
{
    const std::string original = "\xEF\xBB\xBF" "first\nsecond\nthird";
    std::wstring path = File(original);
    ZnFileTextFmt fmt = fmtNone;
    wchar_t* text = ZnFile::ReadText(path.c_str(), nullptr, &fmt, L'?');
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(fmt, fmtUTF8Unix);
    EXPECT_STREQ(text, L"first\r\nsecond\r\nthird");
    EXPECT_TRUE(ZnFile::WriteText(path.c_str(), text, fmt, 0));
    FreeDllBuf(text);
    EXPECT_EQ(GetBytes(path), original);
}

TEST_F(TextFile, FormatsWithoutTextAreRefusedBeforeTheFileIsTouched)
{
    std::wstring path = File("keep me");
    EXPECT_FALSE(ZnFile::WriteText(path.c_str(), L"new", fmtNone, 0));
    EXPECT_FALSE(ZnFile::WriteText(path.c_str(), L"new", fmtBinary, 0));
    EXPECT_FALSE(ZnFile::WriteText(path.c_str(), L"new", static_cast<ZnFileTextFmt>(9), 0));
    EXPECT_EQ(GetBytes(path), "keep me");
    EXPECT_FALSE(ZnFile::WriteText((temp / L"new.txt").c_str(), L"x", fmtBinary, 0));
    EXPECT_FALSE(Exists(temp / L"new.txt"));
}

TEST_F(TextFile, AReadOnlyFileIsNotRewrittenAndStaysReadOnly)
{
    std::wstring path = File("old");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ZnFile::WriteText(path.c_str(), L"new", fmtAnsi, 0));
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetBytes(path), "old");
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FolderNames(temp.Path()).size(), 1u);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TextFile, WritingLeavesNoWorkFileBehind)
{
    std::wstring path = File("old");
    ASSERT_TRUE(ZnFile::WriteText(path.c_str(), L"new text", fmtUnicode, 0));
    ASSERT_TRUE(ZnFile::WriteText(path.c_str(), L"", fmtUnicode, 0));
    EXPECT_EQ(GetBytes(path), "");
    std::vector<std::wstring> names = FolderNames(temp.Path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], L"t.txt");
}

TEST_F(TextFile, AFileHeldByAnotherProgramKeepsItsContent)
{
    std::wstring path = File("old");
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ZnFile::WriteText(path.c_str(), L"new", fmtAnsi, 0));
    CloseHandle(held);
    EXPECT_EQ(GetBytes(path), "old");
    EXPECT_EQ(FolderNames(temp.Path()).size(), 1u);
}

TEST_F(TextFile, AppendingKeepsTheFileFormatWithoutAMark)
{
    std::wstring path = File("\xEF\xBB\xBF" "a\nb");
    ASSERT_TRUE(ZnFile::AppendText(path.c_str(), L"\r\nc\r\n", 0));
    EXPECT_EQ(GetBytes(path), "\xEF\xBB\xBF" "a\nb\nc\n");

    path = File(std::string("\xFE\xFF\0a", 4), L"be.txt");
    ASSERT_TRUE(ZnFile::AppendText(path.c_str(), L"b", 0));
    EXPECT_EQ(GetBytes(path), std::string("\xFE\xFF\0a\0b", 6));
}

TEST_F(TextFile, AppendingNeedsAnExistingTextFile)
{
    std::wstring missing = temp / L"missing.txt";
    EXPECT_FALSE(ZnFile::AppendText(missing.c_str(), L"x", 0));
    EXPECT_FALSE(Exists(missing));

    std::wstring empty = File("", L"empty.txt");
    EXPECT_FALSE(ZnFile::AppendText(empty.c_str(), L"x", 0));
    EXPECT_EQ(GetBytes(empty), "");

    std::wstring binary = File("a\x01z", L"bin.dat");
    EXPECT_FALSE(ZnFile::AppendText(binary.c_str(), L"x", 0));
    EXPECT_EQ(GetBytes(binary), "a\x01z");
}

// --- reads within the caller's capacity -------------------------------------------------

TEST_F(TextFile, ABufferOneTooSmallAnswersDoesNotFitInEveryFormat)
{
    const std::string files[] = {
        "ab\r\ncd",
        "ab\ncd\n",
        std::string("\xFF\xFE" "a\0b\0", 6),
        std::string("\xFE\xFF\0a\0b", 6),
        "\xEF\xBB\xBF" "ab\r\n",
        "\xEF\xBB\xBF" "a\nb\n",
        "a\x01" "b",
    };
    for (const std::string& bytes : files) {
        std::wstring path = File(bytes);
        Detected d = Detect(path);
        SCOPED_TRACE(d.fmt);
        std::wstring text;
        unsigned long size = static_cast<unsigned long>(bytes.size());
        unsigned long needed = GuardedGetText(path, size, d.fmt, d.chars, &text);
        ASSERT_NE(needed, tooSmall);
        ASSERT_NE(needed, 0u);
        EXPECT_EQ(GuardedGetText(path, size, d.fmt, needed), needed);
        for (unsigned cch = 0; cch < needed; ++cch) {
            EXPECT_EQ(GuardedGetText(path, size, d.fmt, cch, &text), tooSmall) << cch;
            EXPECT_EQ(GuardedGetText(path, 0, d.fmt, cch), tooSmall) << cch;
        }
    }
}

TEST_F(TextFile, AForcedUtf16FormatWithoutMarkStaysInTheBuffer)
{
    // The first unit is no mark and becomes a character of its own.
    std::wstring path = File(Utf16Bytes(L"abcd"));
    std::wstring text;
    EXPECT_EQ(GuardedGetText(path, 8, fmtUnicode, 4), tooSmall);
    EXPECT_EQ(GuardedGetText(path, 8, fmtUnicode, 5, &text), 5u);
    EXPECT_EQ(text, L"abcd");
    EXPECT_EQ(Read(path, fmtUnicode), L"abcd");
    EXPECT_EQ(Read(path, fmtUnicodeBE), L"\u6100\u6200\u6300\u6400");
}

TEST_F(TextFile, AForcedFormatOnAOneByteFileReadsNothingPastTheFile)
{
    std::wstring path = File("x");
    for (int fmt = fmtNone; fmt <= fmtBinary; ++fmt) {
        SCOPED_TRACE(fmt);
        std::wstring text;
        unsigned long got = GuardedGetText(path, 1, static_cast<ZnFileTextFmt>(fmt), 1, &text);
        bool utf16 = fmt == fmtUnicode || fmt == fmtUnicodeBE;
        EXPECT_EQ(got, utf16 ? 1u : tooSmall);
        EXPECT_EQ(GuardedGetText(path, 1, static_cast<ZnFileTextFmt>(fmt), 2, &text), utf16 ? 1u : 2u);
        EXPECT_EQ(Read(path, static_cast<ZnFileTextFmt>(fmt)), utf16 ? L"" : L"x");
    }
}

TEST_F(TextFile, AFileThatChangesAfterMeasuringIsReadAsMeasured)
{
    std::wstring path = File("ab\ncd\n");
    Detected d = Detect(path);
    ASSERT_EQ(d.fmt, fmtAnsiUnix);
    ASSERT_TRUE(AddBytes(path, std::string(5000, '\n')));
    std::wstring text;
    EXPECT_EQ(GuardedGetText(path, 6, d.fmt, d.chars, &text), 9u);
    EXPECT_EQ(text, L"ab\r\ncd\r\n");

    // A file that shrank is read as far as it goes.
    ASSERT_TRUE(PutBytes(path, "ab"));
    EXPECT_EQ(GuardedGetText(path, 6, d.fmt, d.chars, &text), 3u);
    EXPECT_EQ(text, L"ab");

    path = File(std::string("\xFF\xFE" "a\0", 4), L"w.txt");
    d = Detect(path);
    ASSERT_TRUE(AddBytes(path, Utf16Bytes(std::wstring(3000, L'z'))));
    EXPECT_EQ(GuardedGetText(path, 4, d.fmt, d.chars, &text), 2u);
    EXPECT_EQ(text, L"a");
}

TEST_F(TextFile, SizesPastTwoGigabytesAreNotWrapped)
{
    std::wstring path = temp / L"sparse.txt";
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(h, "ab\ncd\n", 6, &written, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = 0xA0000000ll;  // 2.5 GB, sparse: nothing is written
    bool grown = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    if (!grown)
        GTEST_SKIP() << "this file system cannot make a 2.5 GB sparse file";

    unsigned long size = ZnFile::GetFileSizeForText(path.c_str());
    EXPECT_EQ(size, 0xA0000000ul);
    // Twice the size is past 32 bits: too large, not a small wrapped count.
    EXPECT_EQ(ZnFile::GetTextSize(path.c_str(), &size, nullptr), tooSmall);
    ZnFileTextFmt fmt = fmtNone;
    EXPECT_EQ(ZnFile::GetTextSize(path.c_str(), &size, &fmt), 0xA0000001ul);
    EXPECT_EQ(fmt, fmtBinary);
    // A small buffer is refused without reading 2.5 GB.
    EXPECT_EQ(GuardedGetText(path, size, fmtAnsiUnix, 100), tooSmall);
    EXPECT_EQ(GuardedGetText(path, size, fmtUnicode, 100), tooSmall);
}

TEST_F(TextFile, HostileBytesNeverReachPastTheBuffer)
{
    std::mt19937 random(20240611);
    const size_t sizes[] = {1, 2, 3, 4, 5, 7, 8, 9, 64, 255, 8191, 8192, 8193, 20001};
    const std::string marks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    for (size_t size : sizes) {
        for (const std::string& mark : marks) {
            std::string bytes = mark;
            while (bytes.size() < size + mark.size())
                bytes += static_cast<char>(random() & 0xFF);
            // Line feeds and carriage returns in numbers, to exercise the
            // line-end fixing.
            for (size_t i = mark.size(); i < bytes.size(); i += 3)
                bytes[i] = (random() & 1) ? '\n' : '\r';
            std::wstring path = File(bytes);
            SCOPED_TRACE(testing::Message() << "size " << bytes.size() << " mark " << mark.size());
            Detected d = Detect(path);
            ASSERT_NE(d.chars, 0u);
            unsigned long exact = GuardedGetText(path, static_cast<unsigned long>(bytes.size()), d.fmt, d.chars);
            EXPECT_NE(exact, tooSmall);
            for (int fmt = fmtNone; fmt <= fmtBinary; ++fmt) {
                ZnFileTextFmt f = static_cast<ZnFileTextFmt>(fmt);
                for (unsigned cch : {1u, 2u, 3u, 17u, 4096u})
                    GuardedGetText(path, static_cast<unsigned long>(bytes.size()), f, cch);
                GuardedGetText(path, 0, f, 5);
                wchar_t* text = ZnFile::ReadText(path.c_str(), nullptr, &f, L'?');
                EXPECT_NE(text, nullptr);
                FreeDllBuf(text);
            }
        }
    }
}
