// The measure of a text file without format detection must hold the text
// in whatever format the caller then reads it as.
#include <gtest/gtest.h>

#include <string>

#include "FileBytes.h"
#include "PVDLL.h"
#include "common/TestSupport.h"

namespace {

constexpr unsigned long tooSmall = 0xFFFFFFFF;

} // namespace

TEST(TextSize, AOneByteLineFeedFileMeasuredBlindHoldsItInEveryFormat)
{
    TempFolder temp;
    std::wstring path = temp / L"lf.txt";
    ASSERT_TRUE(PutBytes(path, "\n"));

    unsigned long size = 0;
    unsigned long chars = ZnFile::GetTextSize(path.c_str(), &size, nullptr);
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(chars, 3u);
    EXPECT_EQ(ZnFile::GetTextSize(UniPath(path.c_str()), &size, nullptr), 3u);

    // Read with LF line ends, the line feed becomes CR LF.
    wchar_t text[3];
    EXPECT_EQ(ZnFile::GetText(path.c_str(), size, fmtAnsiUnix, text, chars, L'.'), 3u);
    EXPECT_STREQ(text, L"\r\n");
    for (int fmt = fmtNone; fmt <= fmtBinary; ++fmt) {
        SCOPED_TRACE(fmt);
        unsigned long got = ZnFile::GetText(path.c_str(), size, static_cast<ZnFileTextFmt>(fmt), text, chars, L'.');
        EXPECT_TRUE(got && got != tooSmall);
    }

    // Detection still takes it for plain 8-bit text of one character.
    ZnFileTextFmt fmt = fmtNone;
    EXPECT_EQ(ZnFile::GetTextSize(path.c_str(), nullptr, &fmt), 2u);
    EXPECT_EQ(fmt, fmtAnsi);
}

TEST(TextSize, AOneByteLineFeedFileReadInAForcedFormat)
{
    TempFolder temp;
    std::wstring path = temp / L"lf.txt";
    ASSERT_TRUE(PutBytes(path, "\n"));

    ZnFileTextFmt fmt = fmtAnsiUnix;
    unsigned count = 0;
    wchar_t* text = ZnFile::ReadText(path.c_str(), &count, &fmt, L'.');
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"\r\n");
    EXPECT_EQ(count, 3u);
    FreeDllBuf(text);

    fmt = fmtNone;
    text = ZnFile::ReadText(path.c_str(), &count, &fmt, L'.');
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"\n");
    EXPECT_EQ(fmt, fmtAnsi);
    FreeDllBuf(text);
}
