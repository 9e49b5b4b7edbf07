#include "text/internal/Crc32Fold.h"

#include <cpuid.h>
#include <immintrin.h>

namespace Crc32Fold {

namespace {

bool Detect()
{
    unsigned a, b, c, d;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (c & bit_SSE4_1);
}

const bool hasPclmul = Detect();

// The folding constants for the reflected polynomial: x^(k) mod P for the
// distances folded over (4 x 128 bits, then 128 bits, then 64 and 32), and
// the Barrett pair (P and floor(x^64 / P)), all bit-reflected.
alignas(16) const uint64_t fold512[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) const uint64_t fold128[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) const uint64_t fold64[2] = {0x0163cd6124, 0};
alignas(16) const uint64_t barrett[2] = {0x01db710641, 0x01f7011641};

// acc * k (low halves and high halves multiplied apart) + next.
__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i acc, __m128i k, __m128i next)
{
    __m128i low = _mm_clmulepi64_si128(acc, k, 0x00);
    __m128i high = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

inline __m128i Load(const unsigned char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

} // namespace

bool Available()
{
    return hasPclmul;
}

__attribute__((target("pclmul,sse4.1"))) uint32_t Update(uint32_t crc, const unsigned char* p, size_t n)
{
    // Four lanes of 16 bytes each, folded forward 64 bytes at a time.
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(p + 16);
    __m128i x3 = Load(p + 32);
    __m128i x4 = Load(p + 48);
    p += 64;
    n -= 64;
    const __m128i k512 = _mm_load_si128(reinterpret_cast<const __m128i*>(fold512));
    while (n >= 64) {
        x1 = Fold(x1, k512, Load(p));
        x2 = Fold(x2, k512, Load(p + 16));
        x3 = Fold(x3, k512, Load(p + 32));
        x4 = Fold(x4, k512, Load(p + 48));
        p += 64;
        n -= 64;
    }

    // The four lanes into one, then the remaining whole 16-byte blocks.
    const __m128i k128 = _mm_load_si128(reinterpret_cast<const __m128i*>(fold128));
    x1 = Fold(x1, k128, x2);
    x1 = Fold(x1, k128, x3);
    x1 = Fold(x1, k128, x4);
    while (n >= 16) {
        x1 = Fold(x1, k128, Load(p));
        p += 16;
        n -= 16;
    }

    // 128 bits to 64, then to 32 + 64.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k128, 0x10));
    const __m128i k64 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(fold64));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k64, 0x00), _mm_srli_si128(x1, 4));

    // Barrett reduction to the 32-bit remainder.
    const __m128i poly = _mm_load_si128(reinterpret_cast<const __m128i*>(barrett));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

} // namespace Crc32Fold
