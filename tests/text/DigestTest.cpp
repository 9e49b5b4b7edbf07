#include <gtest/gtest.h>

#include "PVDLL.h"
#include "TextProbes.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Hex(const unsigned char* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::string Sha1Hex(const std::string& m)
{
    unsigned char d[20];
    SHA1_Calc(d, m.data(), static_cast<unsigned>(m.size()));
    return Hex(d, 20);
}

// Fed through SHA1_Update in pieces of 1, 2, 3, ... bytes, so that the
// buffered path meets every offset within a block.
std::string Sha1HexChunked(const std::string& m, size_t firstChunk = 1)
{
    SHA1_CTX ctx;
    SHA1_Init(&ctx);
    size_t pos = 0;
    for (size_t chunk = firstChunk; pos < m.size(); chunk = chunk % 97 + 1) {
        size_t take = std::min(chunk, m.size() - pos);
        SHA1_Update(&ctx, m.data() + pos, static_cast<unsigned>(take));
        pos += take;
    }
    unsigned char d[20];
    SHA1_Final(&ctx, d);
    return Hex(d, 20);
}

std::string Md5Hex(const std::string& m)
{
    unsigned char d[16];
    CalcMD5(d, m.data(), static_cast<unsigned>(m.size()));
    return Hex(d, 16);
}

// Messages around the padding boundaries: 55 bytes still fit the length in
// the same block, 56 need a second one, 64 and 65 cross a block.
std::string Alphabet(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

struct Vector {
    std::string message;
    const char* sha1;
    const char* md5;
};

// The published FIPS 180 and RFC 1321 vectors where they exist; the
// boundary lengths were checked against an independent implementation.
std::vector<Vector> Vectors()
{
    return {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "86f7e437faa5a7fce15d1ddcb9eaeaea377667b8", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "c12252ceda8be8994d5fa0290a47231c1d16aae3", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1", "8215ef0796a20bcaaae116d3876c664a"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "a49b2446a02c645bf419f995b67091253a04a259", "03dd8807a93175fb062dfb55dc7d359c"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "50abf5706a150990a08b2c5ea40fa0e585554732", "57edf4a22be3c955ac49da2e2107b67a"},
        {Alphabet(55), "a617d006d1ca12671785098a19a87fe58443bde9", "0d7ae056b2f015cd7dc67494efd658f1"},
        {Alphabet(56), "4ad5bb7ae3c4024768d364b77c52128ea3cffebe", "31fcfb5165169eb55898e7e4cf34d19a"},
        {Alphabet(63), "fc8a5ab77259625085ead3ec96515b3b8d933fad", "1b30c0670c15e7da3c2ba7bce77ebe99"},
        {Alphabet(64), "93249d4c2f8903ebf41ac358473148ae6ddd7042", "a2eaf6295c32adc403865fd96a2f182b"},
        {Alphabet(65), "cf2a63cc308225cf07b498d2309a01dd0df52f67", "eba2cce0ca8df47e62414a736b3105a2"},
    };
}

const std::string& MillionA()
{
    static const std::string s(1000000, 'a');
    return s;
}

uint32_t BitwiseCrc32(const unsigned char* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

} // namespace

TEST(Sha1, MatchesPublishedVectors)
{
    for (const auto& v : Vectors())
        EXPECT_EQ(Sha1Hex(v.message), v.sha1) << v.message.size() << " bytes";
}

TEST(Sha1, ChunkedUpdatesMatchOneShot)
{
    for (const auto& v : Vectors())
        for (size_t first : {1, 3, 17, 63, 64})
            EXPECT_EQ(Sha1HexChunked(v.message, first), v.sha1) << v.message.size() << " bytes from " << first;
}

TEST(Sha1, MillionA)
{
    const char* expected = "34aa973cd4c4daa4f61eeb2bdbad27316534016f";
    EXPECT_EQ(Sha1Hex(MillionA()), expected);
    EXPECT_EQ(Sha1HexChunked(MillionA(), 5), expected);
}

TEST(Sha1, FinalWipesContext)
{
    SHA1_CTX ctx;
    SHA1_Init(&ctx);
    SHA1_Update(&ctx, "secret", 6);
    unsigned char d[20];
    SHA1_Final(&ctx, d);
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&ctx);
    for (size_t i = 0; i < sizeof ctx; ++i)
        ASSERT_EQ(raw[i], 0) << "byte " << i;
    EXPECT_EQ(Hex(d, 20), Sha1Hex("secret"));
}

TEST(Sha1, ContextLayoutIsShared)
{
    EXPECT_EQ(sizeof(SHA1_CTX), 92u);
    SHA1_CTX ctx;
    SHA1_Init(&ctx);
    SHA1_Update(&ctx, "abc", 3);
    EXPECT_EQ(ctx.state[0], 0x67452301u);
    EXPECT_EQ(ctx.count[0], 24u);
    EXPECT_EQ(ctx.count[1], 0u);
    EXPECT_EQ(memcmp(ctx.buffer, "abc", 3), 0);
}

TEST(Sha1, EmptyDigestMarker)
{
    unsigned char d[20];
    SHA1_Calc(d, "", 0);
    EXPECT_FALSE(IsSHA1_Empty(d));
    DoSHA1_Empty(d);
    EXPECT_TRUE(IsSHA1_Empty(d));
    d[19] = 1;
    EXPECT_FALSE(IsSHA1_Empty(d));
}

TEST(Sha1, ToDwordFoldsLittleEndianWords)
{
    unsigned char d[20];
    SHA1_Calc(d, "abc", 3);
    EXPECT_EQ(SHA1_to_DWORD(d), 0xDC8021B0u);
    unsigned char one[20] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80};
    EXPECT_EQ(SHA1_to_DWORD(one), 0x80000001u);
}

TEST(Sha1, NullArgumentsAreHarmless)
{
    SHA1_Init(nullptr);
    SHA1_Update(nullptr, "x", 1);
    SHA1_Final(nullptr, nullptr);
    SHA1_CTX ctx;
    SHA1_Init(&ctx);
    SHA1_Update(&ctx, nullptr, 10);
    unsigned char d[20];
    SHA1_Final(&ctx, d);
    EXPECT_EQ(Hex(d, 20), Sha1Hex(""));
    DoSHA1_Empty(nullptr);
    EXPECT_EQ(SHA1_to_DWORD(nullptr), 0u);
}

TEST(Md5, MatchesPublishedVectors)
{
    for (const auto& v : Vectors())
        EXPECT_EQ(Md5Hex(v.message), v.md5) << v.message.size() << " bytes";
    EXPECT_EQ(Md5Hex(MillionA()), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Crc32, CheckValue)
{
    EXPECT_EQ(CRC32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(CRC32("", 0), 0u);
    EXPECT_EQ(CRC32(nullptr, 5), 0u);
}

TEST(Crc32, AgreesWithBitwiseReferenceAtAllLengthsAndAlignments)
{
    auto data = RandomBytes(4096 + 64, 1);
    for (size_t offset = 0; offset < 16; ++offset)
        for (size_t n = 0; n < 300; ++n)
            ASSERT_EQ(CRC32(data.data() + offset, static_cast<unsigned>(n)), BitwiseCrc32(data.data() + offset, n))
                << "offset " << offset << " length " << n;
    for (size_t n : {1000, 1023, 4095, 4096})
        EXPECT_EQ(CRC32(data.data() + 3, static_cast<unsigned>(n)), BitwiseCrc32(data.data() + 3, n));
}

TEST(PlainCrc, KnownCheckValues)
{
    EXPECT_EQ(_cc_("123456789", 9, 0x1021), 0x31C3u);      // CRC-16/XMODEM
    EXPECT_EQ(_cc_("123456789", 9, 0x8005), 0xFEE8u);      // CRC-16/UMTS
    EXPECT_EQ(_cc_("123456789", 9, 0x04C11DB7), 0x89A1897Fu); // CRC-32/CKSUM before its complement
    EXPECT_EQ(_cc_("", 0, 0x1021), 0u);
}

TEST(PlainCrc, AppendStoresBigEndian)
{
    unsigned char buf[8] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(_ca_(buf, 1, 0x1234, 0x1021), 2);
    EXPECT_EQ(buf[1], 0x12);
    EXPECT_EQ(buf[2], 0x34);
    EXPECT_EQ(buf[3], 0xAA);
    EXPECT_EQ(_ca_(buf, 2, 0x89ABCDEF, 0x04C11DB7), 4);
    EXPECT_EQ(buf[2], 0x89);
    EXPECT_EQ(buf[5], 0xEF);
    EXPECT_EQ(buf[6], 0xAA);
}

TEST(PlainCrc, SealedRecordChecksOut)
{
    for (unsigned poly : {0x1021u, 0x8005u, 0x04C11DB7u, 0x1EDC6F41u}) {
        const unsigned width = poly <= 0xFFFF ? 2 : 4;
        for (unsigned body : {0u, 1u, 9u, 33u}) {
            auto rec = RandomBytes(body + width, body * 31 + poly);
            ASSERT_TRUE(_cm_(rec.data(), body + width, poly)) << std::hex << poly << " " << body;
            EXPECT_EQ(_cc_(rec.data(), body + width, poly), 0u);
            unsigned stored = 0;
            for (unsigned i = 0; i < width; ++i)
                stored = stored << 8 | rec[body + i];
            EXPECT_EQ(stored, _cc_(rec.data(), body, poly));
            rec[0] ^= 0x40; // a damaged record no longer checks
            EXPECT_NE(_cc_(rec.data(), body + width, poly), 0u);
        }
    }
    unsigned char rec[11] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_TRUE(_cm_(rec, 11, 0x1021));
    EXPECT_EQ(rec[9], 0x31);
    EXPECT_EQ(rec[10], 0xC3);
}

TEST(PlainCrc, RecordTooShortForItsCheckIsLeftAlone)
{
    unsigned char guard[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_FALSE(_cm_(guard + 4, 1, 0x1021));
    EXPECT_FALSE(_cm_(guard + 4, 3, 0x04C11DB7));
    EXPECT_FALSE(_cm_(nullptr, 4, 0x1021));
    for (unsigned char b : guard)
        EXPECT_EQ(b, 0xEE);
}
