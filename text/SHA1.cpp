#include "text/SHA1.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include <cpuid.h>
#include <immintrin.h>

static_assert(sizeof(SHA1_CTX) == 92, "SHA1_CTX is shared with callers in other modules");

namespace {

inline uint32_t LoadBE32(const unsigned char* p)
{
    uint32_t v;
    memcpy(&v, p, sizeof v);
    return __builtin_bswap32(v);
}

inline void StoreBE32(unsigned char* p, uint32_t v)
{
    v = __builtin_bswap32(v);
    memcpy(p, &v, sizeof v);
}

// Fully unrolled, with the message schedule kept as a rolling window of
// sixteen words; the five working variables change roles instead of being
// shifted along.
void Sha1Blocks(uint32_t state[5], const unsigned char* p, size_t blocks)
{
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    uint32_t w[16];
    while (blocks--) {
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d, e0 = e;

#define SHA1_LOAD(i) (w[i] = LoadBE32(p + 4 * (i)))
#define SHA1_NEXT(i) \
    (w[(i) & 15] = std::rotl(w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i) & 15], 1))
#define SHA1_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define SHA1_PARITY(x, y, z) ((x) ^ (y) ^ (z))
#define SHA1_MAJ(x, y, z) (((x) & (y)) | ((z) & ((x) | (y))))
#define R0(v, w_, x, y, z, i) \
    z += SHA1_CH(w_, x, y) + SHA1_LOAD(i) + 0x5A827999u + std::rotl(v, 5); w_ = std::rotl(w_, 30);
#define R1(v, w_, x, y, z, i) \
    z += SHA1_CH(w_, x, y) + SHA1_NEXT(i) + 0x5A827999u + std::rotl(v, 5); w_ = std::rotl(w_, 30);
#define R2(v, w_, x, y, z, i) \
    z += SHA1_PARITY(w_, x, y) + SHA1_NEXT(i) + 0x6ED9EBA1u + std::rotl(v, 5); w_ = std::rotl(w_, 30);
#define R3(v, w_, x, y, z, i) \
    z += SHA1_MAJ(w_, x, y) + SHA1_NEXT(i) + 0x8F1BBCDCu + std::rotl(v, 5); w_ = std::rotl(w_, 30);
#define R4(v, w_, x, y, z, i) \
    z += SHA1_PARITY(w_, x, y) + SHA1_NEXT(i) + 0xCA62C1D6u + std::rotl(v, 5); w_ = std::rotl(w_, 30);

        R0(a, b, c, d, e, 0) R0(e, a, b, c, d, 1) R0(d, e, a, b, c, 2) R0(c, d, e, a, b, 3)
        R0(b, c, d, e, a, 4) R0(a, b, c, d, e, 5) R0(e, a, b, c, d, 6) R0(d, e, a, b, c, 7)
        R0(c, d, e, a, b, 8) R0(b, c, d, e, a, 9) R0(a, b, c, d, e, 10) R0(e, a, b, c, d, 11)
        R0(d, e, a, b, c, 12) R0(c, d, e, a, b, 13) R0(b, c, d, e, a, 14) R0(a, b, c, d, e, 15)
        R1(e, a, b, c, d, 16) R1(d, e, a, b, c, 17) R1(c, d, e, a, b, 18) R1(b, c, d, e, a, 19)

        R2(a, b, c, d, e, 20) R2(e, a, b, c, d, 21) R2(d, e, a, b, c, 22) R2(c, d, e, a, b, 23)
        R2(b, c, d, e, a, 24) R2(a, b, c, d, e, 25) R2(e, a, b, c, d, 26) R2(d, e, a, b, c, 27)
        R2(c, d, e, a, b, 28) R2(b, c, d, e, a, 29) R2(a, b, c, d, e, 30) R2(e, a, b, c, d, 31)
        R2(d, e, a, b, c, 32) R2(c, d, e, a, b, 33) R2(b, c, d, e, a, 34) R2(a, b, c, d, e, 35)
        R2(e, a, b, c, d, 36) R2(d, e, a, b, c, 37) R2(c, d, e, a, b, 38) R2(b, c, d, e, a, 39)

        R3(a, b, c, d, e, 40) R3(e, a, b, c, d, 41) R3(d, e, a, b, c, 42) R3(c, d, e, a, b, 43)
        R3(b, c, d, e, a, 44) R3(a, b, c, d, e, 45) R3(e, a, b, c, d, 46) R3(d, e, a, b, c, 47)
        R3(c, d, e, a, b, 48) R3(b, c, d, e, a, 49) R3(a, b, c, d, e, 50) R3(e, a, b, c, d, 51)
        R3(d, e, a, b, c, 52) R3(c, d, e, a, b, 53) R3(b, c, d, e, a, 54) R3(a, b, c, d, e, 55)
        R3(e, a, b, c, d, 56) R3(d, e, a, b, c, 57) R3(c, d, e, a, b, 58) R3(b, c, d, e, a, 59)

        R4(a, b, c, d, e, 60) R4(e, a, b, c, d, 61) R4(d, e, a, b, c, 62) R4(c, d, e, a, b, 63)
        R4(b, c, d, e, a, 64) R4(a, b, c, d, e, 65) R4(e, a, b, c, d, 66) R4(d, e, a, b, c, 67)
        R4(c, d, e, a, b, 68) R4(b, c, d, e, a, 69) R4(a, b, c, d, e, 70) R4(e, a, b, c, d, 71)
        R4(d, e, a, b, c, 72) R4(c, d, e, a, b, 73) R4(b, c, d, e, a, 74) R4(a, b, c, d, e, 75)
        R4(e, a, b, c, d, 76) R4(d, e, a, b, c, 77) R4(c, d, e, a, b, 78) R4(b, c, d, e, a, 79)

#undef R4
#undef R3
#undef R2
#undef R1
#undef R0
#undef SHA1_MAJ
#undef SHA1_PARITY
#undef SHA1_CH
#undef SHA1_NEXT
#undef SHA1_LOAD

        a += a0;
        b += b0;
        c += c0;
        d += d0;
        e += e0;
        p += 64;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
    state[4] = e;
}

// The same with the processor's SHA extensions, after Intel's published
// sequence: each sha1rnds4 does four rounds, and msg1/msg2 with one xor
// extend the schedule four words at a time.
__attribute__((target("sha,sse4.1")))
void Sha1BlocksShaExt(uint32_t state[5], const unsigned char* p, size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    __m128i e1;
    while (blocks--) {
        const __m128i abcdSave = abcd;
        const __m128i eSave = e0;
        __m128i m0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), byteSwap);
        __m128i m1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), byteSwap);
        __m128i m2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)), byteSwap);
        __m128i m3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), byteSwap);

        // Rounds 0-3
        e0 = _mm_add_epi32(e0, m0);
        e1 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);
        // Rounds 4-7
        e1 = _mm_sha1nexte_epu32(e1, m1);
        e0 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e1, 0);
        m0 = _mm_sha1msg1_epu32(m0, m1);
        // Rounds 8-11
        e0 = _mm_sha1nexte_epu32(e0, m2);
        e1 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);
        m1 = _mm_sha1msg1_epu32(m1, m2);
        m0 = _mm_xor_si128(m0, m2);

#define SHA1NI_QUAD(eIn, eOut, mA, mB, mC, mD, f)    \
    eIn = _mm_sha1nexte_epu32(eIn, mA);               \
    eOut = abcd;                                      \
    mB = _mm_sha1msg2_epu32(mB, mA);                  \
    abcd = _mm_sha1rnds4_epu32(abcd, eIn, f);         \
    mC = _mm_sha1msg1_epu32(mC, mA);                  \
    mD = _mm_xor_si128(mD, mA);

        SHA1NI_QUAD(e1, e0, m3, m0, m2, m1, 0) // 12-15
        SHA1NI_QUAD(e0, e1, m0, m1, m3, m2, 0) // 16-19
        SHA1NI_QUAD(e1, e0, m1, m2, m0, m3, 1) // 20-23
        SHA1NI_QUAD(e0, e1, m2, m3, m1, m0, 1) // 24-27
        SHA1NI_QUAD(e1, e0, m3, m0, m2, m1, 1) // 28-31
        SHA1NI_QUAD(e0, e1, m0, m1, m3, m2, 1) // 32-35
        SHA1NI_QUAD(e1, e0, m1, m2, m0, m3, 1) // 36-39
        SHA1NI_QUAD(e0, e1, m2, m3, m1, m0, 2) // 40-43
        SHA1NI_QUAD(e1, e0, m3, m0, m2, m1, 2) // 44-47
        SHA1NI_QUAD(e0, e1, m0, m1, m3, m2, 2) // 48-51
        SHA1NI_QUAD(e1, e0, m1, m2, m0, m3, 2) // 52-55
        SHA1NI_QUAD(e0, e1, m2, m3, m1, m0, 2) // 56-59
        SHA1NI_QUAD(e1, e0, m3, m0, m2, m1, 3) // 60-63
        SHA1NI_QUAD(e0, e1, m0, m1, m3, m2, 3) // 64-67
#undef SHA1NI_QUAD
        // Rounds 68-71
        e1 = _mm_sha1nexte_epu32(e1, m1);
        e0 = abcd;
        m2 = _mm_sha1msg2_epu32(m2, m1);
        abcd = _mm_sha1rnds4_epu32(abcd, e1, 3);
        m3 = _mm_xor_si128(m3, m1);
        // Rounds 72-75
        e0 = _mm_sha1nexte_epu32(e0, m2);
        e1 = abcd;
        m3 = _mm_sha1msg2_epu32(m3, m2);
        abcd = _mm_sha1rnds4_epu32(abcd, e0, 3);
        // Rounds 76-79
        e1 = _mm_sha1nexte_epu32(e1, m3);
        e0 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e1, 3);

        e0 = _mm_sha1nexte_epu32(e0, eSave);
        abcd = _mm_add_epi32(abcd, abcdSave);
        p += 64;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

bool DetectShaExt()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3) || !(c & bit_SSE4_1))
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_SHA);
}

// Decided while the library loads, before any thread can ask.
const bool cpuHasShaExt = DetectShaExt();

} // namespace

extern "C" {

void SHA1_Init(SHA1_CTX* ctx)
{
    if (!ctx)
        return;
    ctx->state[0] = 0x67452301;
    ctx->state[1] = 0xEFCDAB89;
    ctx->state[2] = 0x98BADCFE;
    ctx->state[3] = 0x10325476;
    ctx->state[4] = 0xC3D2E1F0;
    ctx->count[0] = ctx->count[1] = 0;
}

void SHA1_Update(SHA1_CTX* ctx, const void* data, unsigned int n)
{
    if (!ctx || !data || n == 0)
        return;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    unsigned used = (ctx->count[0] >> 3) & 63;

    uint64_t bits = (static_cast<uint64_t>(ctx->count[1]) << 32 | ctx->count[0]) + static_cast<uint64_t>(n) * 8;
    ctx->count[0] = static_cast<unsigned int>(bits);
    ctx->count[1] = static_cast<unsigned int>(bits >> 32);

    if (used) {
        unsigned take = 64 - used;
        if (n < take) {
            memcpy(ctx->buffer + used, p, n);
            return;
        }
        memcpy(ctx->buffer + used, p, take);
        Sha1Blocks(ctx->state, ctx->buffer, 1);
        p += take;
        n -= take;
    }
    // Whole blocks are hashed where they lie, without a copy, and with the
    // SHA extensions when the processor has them. Buffered blocks and the
    // padding always take the portable code, so every message of a block or
    // more runs through both and the test vectors check both.
    if (cpuHasShaExt)
        Sha1BlocksShaExt(ctx->state, p, n / 64);
    else
        Sha1Blocks(ctx->state, p, n / 64);
    p += n & ~63u;
    n &= 63;
    if (n)
        memcpy(ctx->buffer, p, n);
}

void SHA1_Final(SHA1_CTX* ctx, unsigned char digest[20])
{
    if (!ctx)
        return;
    unsigned used = (ctx->count[0] >> 3) & 63;
    ctx->buffer[used++] = 0x80;
    if (used > 56) {
        memset(ctx->buffer + used, 0, 64 - used);
        Sha1Blocks(ctx->state, ctx->buffer, 1);
        used = 0;
    }
    memset(ctx->buffer + used, 0, 56 - used);
    StoreBE32(ctx->buffer + 56, ctx->count[1]);
    StoreBE32(ctx->buffer + 60, ctx->count[0]);
    Sha1Blocks(ctx->state, ctx->buffer, 1);

    if (digest)
        for (int i = 0; i < 5; ++i)
            StoreBE32(digest + 4 * i, ctx->state[i]);
    SecureZeroMemory(ctx, sizeof *ctx);
}

void SHA1_Calc(unsigned char digest[20], const void* data, unsigned int n)
{
    SHA1_CTX ctx;
    SHA1_Init(&ctx);
    SHA1_Update(&ctx, data, n);
    SHA1_Final(&ctx, digest);
}

void DoSHA1_Empty(unsigned char digest[20])
{
    if (digest)
        memset(digest, 0, 20);
}

int IsSHA1_Empty(const unsigned char digest[20])
{
    if (!digest)
        return 1;
    for (int i = 0; i < 20; ++i)
        if (digest[i])
            return 0;
    return 1;
}

DWORD SHA1_to_DWORD(const unsigned char digest[20])
{
    if (!digest)
        return 0;
    uint32_t folded = 0;
    for (int i = 0; i < 5; ++i) {
        uint32_t word;
        memcpy(&word, digest + 4 * i, sizeof word); // little-endian, as the platform
        folded ^= word;
    }
    return folded;
}

} // extern "C"
