#include <gtest/gtest.h>

#include <cwchar>

#include "PVDLL.h"
#include "common/GuardedBuffer.h"

namespace {

// The test executable registers itself as the current product module for
// the duration of each test, as a product module does for its lifetime.
class ResStrTest : public testing::Test {
protected:
    AppInstance module{GetModuleHandleW(nullptr), nullptr};
};

const wchar_t libraryText20102[] =
    L"No updates are available at this time. You are using the latest version available.";

} // namespace

TEST(ResStr, IdZeroIsTheEmptyString)
{
    ResStr text(0);
    EXPECT_STREQ(text, L"");
    EXPECT_TRUE(text.IsEmpty());
}

TEST(ResStr, WithoutAModulePositiveIdsReadTheLibrary)
{
    EXPECT_STREQ(ResStr(20102), libraryText20102);
}

TEST_F(ResStrTest, SignTellsTheModulesApart)
{
    EXPECT_STREQ(ResStr(20102), L"The test module's string 20102");
    EXPECT_STREQ(ResStr(-20102), libraryText20102);
    EXPECT_STREQ(ResStr(100), L"The test module's own string 100");
    EXPECT_STREQ(ResStr(-100), L"");
}

TEST_F(ResStrTest, ExplicitModuleTakesTheAbsoluteId)
{
    EXPECT_STREQ(ResStr(-20102, GetModuleHandleW(nullptr)), L"The test module's string 20102");
    EXPECT_STREQ(ResStr(-20102, hiDLL), libraryText20102);
}

TEST_F(ResStrTest, MissingStringIsEmptyNotAnError)
{
    ResStr text(4321);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ(text, L"");
}

TEST_F(ResStrTest, LongStringIsCutTo1023Characters)
{
    ResStr text(101);
    EXPECT_EQ(lstrlenW(text), 1023);
}

TEST_F(ResStrTest, LoadReplacesAndIntIdsUseTheirLow16Bits)
{
    ResStr text;
    EXPECT_STREQ(text.Load(100), L"The test module's own string 100");
    EXPECT_STREQ(text.Load(0x10000 + 100), L"The test module's own string 100");
    EXPECT_STREQ(text.Load(100u), L"The test module's own string 100");
    text.Empty();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ(text, L"");
}

TEST_F(ResStrTest, FormatHoldsTheFormattedText)
{
    EXPECT_STREQ(ResStrFmt(102, 3), L"3 files copied");
    EXPECT_STREQ(ResStrFmt(-20103, L"timeout"),
                 L"An error occurred when checking for updates.\n\ntimeout");
}

TEST_F(ResStrTest, FormatThatFormatsToNothingKeepsTheFormat)
{
    EXPECT_STREQ(ResStrFmt(103, L""), L"%s");
    EXPECT_TRUE(ResStrFmt(4321, 1).IsEmpty());
}

TEST_F(ResStrTest, AppendFormatFromATableString)
{
    wchar_t out[32] = L"Done: ";
    StrAppendTextFmt(out, 32, 102, 7);
    EXPECT_STREQ(out, L"Done: 7 files copied");
    StrAppendTextFmt(out, 32, 0);
    EXPECT_STREQ(out, L"");
    StrAppendTextFmt(out, 32, 4321);
    EXPECT_STREQ(out, L"");
}

TEST(StrFormat, FollowsWideRulesAndAlwaysTerminates)
{
    wchar_t out[8];
    EXPECT_EQ(StrFormat(out, 8, L"%s-%hs", L"ab", "cd"), 5);
    EXPECT_STREQ(out, L"ab-cd");
    GuardedBuffer<wchar_t> cut(4, L'#');
    EXPECT_EQ(StrFormat(cut.data(), 4, L"%s", L"abcdef"), 3);
    EXPECT_STREQ(cut.data(), L"abc");
    EXPECT_TRUE(cut.GuardIntact());
    EXPECT_EQ(StrFormat(cut.data(), 0, L"%s", L"x"), 0);
    EXPECT_EQ(cut[0], L'a');
    EXPECT_EQ(StrFormat(out, 8, L"%I64u", 12345678901ULL), 7);
    EXPECT_STREQ(out, L"1234567");
}

TEST(StrFormat, AppendStaysWithinTheCapacity)
{
    GuardedBuffer<wchar_t> out(9, L'#');
    std::wcscpy(out.data(), L"abc");
    StrAppendTextFmt(out.data(), 9, L"%d%s", 12345, L"6789");
    EXPECT_STREQ(out.data(), L"abc12345");
    EXPECT_TRUE(out.GuardIntact());
    StrAppendTextFmt(out.data(), 9, static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(out.data(), L"");

    wchar_t unterminated[4] = {L'x', L'x', L'x', L'x'};
    StrAppendTextFmt(unterminated, 4, L"%s", L"y");
    EXPECT_EQ(unterminated[3], L'x');
}
