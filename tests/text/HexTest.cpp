#include <gtest/gtest.h>

#include "PVDLL.h"
#include "TextProbes.h"
#include "common/GuardedBuffer.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

TEST(Hex, ByteToHexIsTwoUpperCaseDigitsCutToCapacity)
{
    wchar_t w[3];
    EXPECT_EQ(ByteToHex(w, 3, 0xAB), 2);
    EXPECT_STREQ(w, L"AB");
    char a[3];
    EXPECT_EQ(ByteToHex(a, 3, 0x05), 2);
    EXPECT_STREQ(a, "05");
    for (unsigned cap : {0u, 1u, 2u}) {
        GuardedBuffer<wchar_t> out(cap);
        ByteToHex(out.data(), cap, 0x3C);
        EXPECT_TRUE(out.GuardIntact()) << cap;
    }
    EXPECT_EQ(ByteToHex(static_cast<wchar_t*>(nullptr), 3, 1), 0);
}

TEST(Hex, BinToHexWritesMemoryOrder)
{
    const unsigned char data[] = {0x01, 0xAB, 0xFF, 0x00};
    wchar_t w[16];
    EXPECT_EQ(BinToHex(w, 16, data, 4), 8);
    EXPECT_STREQ(w, L"01ABFF00");
    char a[16];
    EXPECT_EQ(BinToHex(a, 16, data, 2), 4);
    EXPECT_STREQ(a, "01AB");
    EXPECT_EQ(BinToHex(w, 16, data, 0), 0);
    EXPECT_STREQ(w, L"");
}

TEST(Hex, BinToHexStopsAtWholeBytesWithinCapacity)
{
    const unsigned char data[] = {0x12, 0x34, 0x56};
    for (unsigned cap = 0; cap <= 7; ++cap) {
        GuardedBuffer<wchar_t> out(cap);
        int n = BinToHex(out.data(), cap, data, 3);
        EXPECT_TRUE(out.GuardIntact()) << cap;
        EXPECT_EQ(n, cap ? static_cast<int>((cap - 1) / 2 * 2) : 0);
        if (cap) {
            EXPECT_EQ(out.data()[n], L'\0');
        }
    }
    EXPECT_EQ(BinToHex(static_cast<char*>(nullptr), 10, data, 3), 0);
}

TEST(Hex, HexToCodeTreatsNonHexAsZero)
{
    EXPECT_EQ(HexToCode(L'0'), 0);
    EXPECT_EQ(HexToCode(L'9'), 9);
    EXPECT_EQ(HexToCode(L'a'), 10);
    EXPECT_EQ(HexToCode(L'F'), 15);
    EXPECT_EQ(HexToCode(L'g'), 0);
    EXPECT_EQ(HexToCode(L' '), 0);
    // A character whose low byte is a digit is still not one.
    EXPECT_EQ(HexToCode(static_cast<wchar_t>(0x0141)), 0);
    EXPECT_EQ(HexToCode(static_cast<wchar_t>(0xFF21)), 0); // full-width A
}

TEST(Hex, HexToCharNeverReadsPastTheTerminator)
{
    EXPECT_EQ(HexToChar(L"AB"), 0xAB);
    EXPECT_EQ(HexToChar(L"7f"), 0x7F);
    const wchar_t single[] = {L'C', L'\0', L'F'};
    EXPECT_EQ(HexToChar(single), 0x0C);
    const wchar_t empty[] = {L'\0', L'F'};
    EXPECT_EQ(HexToChar(empty), 0);
    EXPECT_EQ(HexToChar(nullptr), 0);
}

TEST(Hex, HexToBinPairsAndLoneDigit)
{
    unsigned char out[4] = {};
    EXPECT_EQ(HexToBin(out, 4, L"ABC"), 2u);
    EXPECT_EQ(out[0], 0xAB);
    EXPECT_EQ(out[1], 0x0C);
    EXPECT_EQ(HexToBin(out, 4, L"zz1x"), 2u);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x10);
    EXPECT_EQ(HexToBin(out, 4, L""), 0u);
    EXPECT_EQ(HexToBin(out, 4, nullptr), 0u);
}

TEST(Hex, HexToBinMeasuresAndRespectsCapacity)
{
    EXPECT_EQ(HexToBin(nullptr, 100, L"0102030405"), 5u);
    EXPECT_EQ(HexToBin(nullptr, 0, L"01020"), 3u);
    for (unsigned cap : {0u, 1u, 2u}) {
        GuardedBuffer<unsigned char> out(cap);
        EXPECT_EQ(HexToBin(out.data(), cap, L"A1B2C3D"), 4u);
        EXPECT_TRUE(out.GuardIntact()) << cap;
        if (cap >= 1) {
            EXPECT_EQ(out.data()[0], 0xA1);
        }
        if (cap >= 2) {
            EXPECT_EQ(out.data()[1], 0xB2);
        }
    }
}

TEST(Hex, HexToBinLEReversesOnlyWhatWasWritten)
{
    GuardedBuffer<unsigned char> out(3);
    EXPECT_EQ(HexToBinLE(out.data(), 3, L"0102030405"), 5u);
    EXPECT_EQ(out.data()[0], 0x03);
    EXPECT_EQ(out.data()[1], 0x02);
    EXPECT_EQ(out.data()[2], 0x01);
    EXPECT_TRUE(out.GuardIntact());
    EXPECT_EQ(HexToBinLE(nullptr, 3, L"0102"), 2u);
}

TEST(Hex, IntegersReadInMemoryOrder)
{
    EXPECT_EQ(HexToUINT32(L"78563412"), 0x12345678u);
    EXPECT_EQ(HexToUINT32(L"7856341299"), 0x12345678u);
    EXPECT_EQ(HexToUINT32(L"1"), 1u);
    EXPECT_EQ(HexToUINT32(nullptr), 0u);
    EXPECT_EQ(HexToUINT64(L"efcdab8967452301"), 0x0123456789ABCDEFull);
}

TEST(Hex, UnPrintfReadsMostSignificantFirst)
{
    EXPECT_EQ(unPrintfUINT32(L"12345678"), 0x12345678u);
    EXPECT_EQ(unPrintfUINT32(L"123456789"), 0x12345678u);
    EXPECT_EQ(unPrintfUINT32(L"ff"), 0xFFu);
    EXPECT_EQ(unPrintfUINT32(L"1g"), 0x10u);
    EXPECT_EQ(unPrintfUINT32(nullptr), 0u);
    EXPECT_EQ(unPrintfUINT64(L"0123456789ABCDEF0"), 0x0123456789ABCDEFull);
}

TEST(Hex, StrToHexAndBack)
{
    wchar_t hex[64];
    EXPECT_EQ(StrToHex(hex, 64, L""), 0);
    EXPECT_STREQ(hex, L"00");
    EXPECT_EQ(StrToHex(hex, 64, L"AB c"), 1);
    EXPECT_STREQ(hex, L"41422063");

    wchar_t text[64];
    EXPECT_EQ(HexToStr(text, 64, hex), 1);
    EXPECT_STREQ(text, L"AB c");
    EXPECT_EQ(HexToStr(text, 64, L"00"), 1);
    EXPECT_STREQ(text, L"");
    EXPECT_EQ(HexToStr(text, 64, L"4142004344"), 1);
    EXPECT_STREQ(text, L"AB");
}

TEST(Hex, StrToHexReadsAtMost260Bytes)
{
    std::wstring longText(1000, L'x');
    std::vector<wchar_t> hex(2048);
    EXPECT_EQ(StrToHex(hex.data(), 2048, longText.c_str()), 1);
    EXPECT_EQ(wcslen(hex.data()), 520u);
}

TEST(Hex, StrConversionsStayWithinCapacity)
{
    for (unsigned cap : {0u, 1u, 2u, 3u}) {
        GuardedBuffer<wchar_t> hex(cap);
        StrToHex(hex.data(), cap, L"hello");
        EXPECT_TRUE(hex.GuardIntact()) << cap;
        GuardedBuffer<wchar_t> text(cap);
        HexToStr(text.data(), cap, L"68656C6C6F");
        EXPECT_TRUE(text.GuardIntact()) << cap;
        if (cap) {
            EXPECT_EQ(text.data()[cap - 1], L'\0');
            EXPECT_EQ(std::wstring(text.data()), std::wstring(L"hello").substr(0, cap - 1));
        }
    }
}

TEST(Hex, RandomRoundTrip)
{
    for (size_t n = 0; n < 80; ++n) {
        auto data = RandomBytes(n, static_cast<unsigned>(n));
        std::vector<wchar_t> hex(2 * n + 1);
        ASSERT_EQ(BinToHex(hex.data(), static_cast<unsigned>(hex.size()), data.data(), static_cast<unsigned>(n)),
                  static_cast<int>(2 * n));
        GuardedBuffer<unsigned char> back(n);
        ASSERT_EQ(HexToBin(back.data(), back.capacity(), hex.data()), n);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), back.data()));
        EXPECT_TRUE(back.GuardIntact());
    }
}

TEST(Base64FS, EncodesLowBitsFirst)
{
    wchar_t out[16];
    const unsigned char abc[] = {0x01, 0x02, 0x03};
    EXPECT_EQ(BinToBase64FS(out, 16, abc, 3), 5u);
    EXPECT_STREQ(out, L"BIwA");
    const unsigned char ff[] = {0xFF};
    EXPECT_EQ(BinToBase64FS(out, 16, ff, 1), 5u);
    EXPECT_STREQ(out, L"_D==");
    EXPECT_EQ(BinToBase64FS(out, 16, abc, 2), 5u);
    EXPECT_STREQ(out, L"BIA=");
    EXPECT_EQ(BinToBase64FS(out, 16, abc, 0), 0u);
    EXPECT_STREQ(out, L"");
    EXPECT_EQ(BinToBase64FS(nullptr, 0, abc, 3), 5u);
}

TEST(Base64FS, EncodingWritesOnlyWholeGroupsWithinCapacity)
{
    const unsigned char data[] = {1, 2, 3, 4, 5, 6, 7};
    for (unsigned cap = 0; cap <= 13; ++cap) {
        GuardedBuffer<wchar_t> out(cap);
        EXPECT_EQ(BinToBase64FS(out.data(), cap, data, 7), 13u);
        EXPECT_TRUE(out.GuardIntact()) << cap;
        if (cap) {
            EXPECT_EQ(wcslen(out.data()), (cap - 1) / 4 * 4) << cap;
        }
    }
}

TEST(Base64FS, PaddedGroupFillsRoom)
{
    GuardedBuffer<unsigned char> out(3);
    EXPECT_EQ(Base64FSToBin(out.data(), 3, L"_D=="), 1u);
    EXPECT_EQ(out.data()[0], 0xFF);
    EXPECT_EQ(out.data()[1], 0x00);
    EXPECT_EQ(out.data()[2], 0x00);
    EXPECT_TRUE(out.GuardIntact());
}

TEST(Base64FS, DecoderRespectsCapacity)
{
    EXPECT_EQ(Base64FSToBin(nullptr, 50, L"BIwABIwA"), 6u);
    for (unsigned cap : {0u, 1u, 2u, 4u}) {
        GuardedBuffer<unsigned char> out(cap);
        EXPECT_EQ(Base64FSToBin(out.data(), cap, L"BIwA_D=="), 4u);
        EXPECT_TRUE(out.GuardIntact()) << cap;
        if (cap) {
            EXPECT_EQ(out.data()[0], 0x01);
        }
    }
    EXPECT_EQ(Base64FSToBin(nullptr, 0, nullptr), 0u);
    EXPECT_EQ(Base64FSToBin(nullptr, 0, L""), 0u);
}

TEST(Base64FS, TruncatedGroupCountsButIsNotWritten)
{
    const struct {
        const wchar_t* text;
        unsigned count;
    } cases[] = {{L"B", 0}, {L"BI", 1}, {L"BIw", 2}, {L"BI=", 1}, {L"BIwAB", 3}, {L"BIwABIw", 5}};
    for (const auto& c : cases) {
        GuardedBuffer<unsigned char> out(8, 0xEE);
        EXPECT_EQ(Base64FSToBin(out.data(), 8, c.text), c.count);
        size_t whole = wcslen(c.text) / 4 * 3;
        for (size_t i = whole; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0xEE) << i;
    }
}

TEST(Base64FS, InvalidCharacterEndsItsGroup)
{
    unsigned char out[6];
    EXPECT_EQ(Base64FSToBin(out, 6, L"B!wABIwA"), 6u);
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0x00);
    EXPECT_EQ(out[2], 0x00);
    EXPECT_EQ(out[3], 0x01);
    const wchar_t wide[] = {0x0142, L'I', L'w', L'A', 0}; // low byte is "B"
    EXPECT_EQ(Base64FSToBin(out, 6, wide), 3u);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x00);
}

TEST(Base64FS, RandomRoundTrip)
{
    for (size_t n = 1; n < 100; ++n) {
        auto data = RandomBytes(n, static_cast<unsigned>(1000 + n));
        unsigned cch = BinToBase64FS(nullptr, 0, data.data(), static_cast<unsigned>(n));
        std::vector<wchar_t> text(cch);
        ASSERT_EQ(BinToBase64FS(text.data(), cch, data.data(), static_cast<unsigned>(n)), cch);
        ASSERT_EQ(wcslen(text.data()) + 1, cch);
        for (wchar_t c : std::wstring(text.data()))
            ASSERT_TRUE(iswalnum(c) || c == L'-' || c == L'_' || c == L'=') << n;
        GuardedBuffer<unsigned char> back(n);
        ASSERT_EQ(Base64FSToBin(back.data(), back.capacity(), text.data()), n);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), back.data())) << n;
        EXPECT_TRUE(back.GuardIntact()) << n;
    }
}
