#include "text/Digest.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "text/internal/Crc32Fold.h"

namespace {

// Slicing-by-16: table k advances a byte's contribution by k further
// bytes, so sixteen bytes are folded with sixteen independent lookups.
// The tables are computed by the compiler, which leaves nothing to build
// (or race over) at run time.
struct Crc32Tables {
    uint32_t t[16][256];
};

constexpr Crc32Tables MakeCrc32Tables()
{
    Crc32Tables r{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        r.t[0][i] = c;
    }
    for (int k = 1; k < 16; ++k)
        for (uint32_t i = 0; i < 256; ++i)
            r.t[k][i] = (r.t[k - 1][i] >> 8) ^ r.t[0][r.t[k - 1][i] & 0xFF];
    return r;
}

constexpr Crc32Tables crc32Tables = MakeCrc32Tables();

inline uint32_t LoadLE32(const unsigned char* p)
{
    uint32_t v;
    memcpy(&v, p, sizeof v); // the platform is little-endian
    return v;
}

uint32_t Crc32Update(uint32_t crc, const unsigned char* p, size_t n)
{
    const auto& t = crc32Tables.t;
    while (n >= 16) {
        uint32_t a = LoadLE32(p) ^ crc;
        uint32_t b = LoadLE32(p + 4);
        uint32_t c = LoadLE32(p + 8);
        uint32_t d = LoadLE32(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24]
            ^ t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24]
            ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24]
            ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        n -= 16;
    }
    while (n--)
        crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFF];
    return crc;
}

inline unsigned CrcWidth(unsigned poly)
{
    return poly <= 0xFFFF ? 16 : 32;
}

void Md5Blocks(uint32_t h[4], const unsigned char* p, size_t blocks)
{
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
    while (blocks--) {
        uint32_t x[16];
        memcpy(x, p, sizeof x); // MD5 words are little-endian, as is the platform
        p += 64;
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

        // Each step's chain runs through b, the previous step's result, so
        // everything that does not need b is added first: the message word,
        // the constant and, in round 2, the half of G without b. F is in a
        // form with one operation less than RFC 1321's; the values are the
        // same.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_H(x, y, z) ((x) ^ ((y) ^ (z)))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, k, s, t) \
    a += x[k] + (t);                     \
    a += f(b, c, d);                     \
    a = std::rotl(a, s) + b;
#define MD5_STEP_G(a, b, c, d, k, s, t) \
    a += x[k] + (t) + ((c) & ~(d));      \
    a += (b) & (d);                      \
    a = std::rotl(a, s) + b;

        MD5_STEP(MD5_F, a, b, c, d, 0, 7, 0xd76aa478)
        MD5_STEP(MD5_F, d, a, b, c, 1, 12, 0xe8c7b756)
        MD5_STEP(MD5_F, c, d, a, b, 2, 17, 0x242070db)
        MD5_STEP(MD5_F, b, c, d, a, 3, 22, 0xc1bdceee)
        MD5_STEP(MD5_F, a, b, c, d, 4, 7, 0xf57c0faf)
        MD5_STEP(MD5_F, d, a, b, c, 5, 12, 0x4787c62a)
        MD5_STEP(MD5_F, c, d, a, b, 6, 17, 0xa8304613)
        MD5_STEP(MD5_F, b, c, d, a, 7, 22, 0xfd469501)
        MD5_STEP(MD5_F, a, b, c, d, 8, 7, 0x698098d8)
        MD5_STEP(MD5_F, d, a, b, c, 9, 12, 0x8b44f7af)
        MD5_STEP(MD5_F, c, d, a, b, 10, 17, 0xffff5bb1)
        MD5_STEP(MD5_F, b, c, d, a, 11, 22, 0x895cd7be)
        MD5_STEP(MD5_F, a, b, c, d, 12, 7, 0x6b901122)
        MD5_STEP(MD5_F, d, a, b, c, 13, 12, 0xfd987193)
        MD5_STEP(MD5_F, c, d, a, b, 14, 17, 0xa679438e)
        MD5_STEP(MD5_F, b, c, d, a, 15, 22, 0x49b40821)

        MD5_STEP_G(a, b, c, d, 1, 5, 0xf61e2562)
        MD5_STEP_G(d, a, b, c, 6, 9, 0xc040b340)
        MD5_STEP_G(c, d, a, b, 11, 14, 0x265e5a51)
        MD5_STEP_G(b, c, d, a, 0, 20, 0xe9b6c7aa)
        MD5_STEP_G(a, b, c, d, 5, 5, 0xd62f105d)
        MD5_STEP_G(d, a, b, c, 10, 9, 0x02441453)
        MD5_STEP_G(c, d, a, b, 15, 14, 0xd8a1e681)
        MD5_STEP_G(b, c, d, a, 4, 20, 0xe7d3fbc8)
        MD5_STEP_G(a, b, c, d, 9, 5, 0x21e1cde6)
        MD5_STEP_G(d, a, b, c, 14, 9, 0xc33707d6)
        MD5_STEP_G(c, d, a, b, 3, 14, 0xf4d50d87)
        MD5_STEP_G(b, c, d, a, 8, 20, 0x455a14ed)
        MD5_STEP_G(a, b, c, d, 13, 5, 0xa9e3e905)
        MD5_STEP_G(d, a, b, c, 2, 9, 0xfcefa3f8)
        MD5_STEP_G(c, d, a, b, 7, 14, 0x676f02d9)
        MD5_STEP_G(b, c, d, a, 12, 20, 0x8d2a4c8a)

        MD5_STEP(MD5_H, a, b, c, d, 5, 4, 0xfffa3942)
        MD5_STEP(MD5_H, d, a, b, c, 8, 11, 0x8771f681)
        MD5_STEP(MD5_H, c, d, a, b, 11, 16, 0x6d9d6122)
        MD5_STEP(MD5_H, b, c, d, a, 14, 23, 0xfde5380c)
        MD5_STEP(MD5_H, a, b, c, d, 1, 4, 0xa4beea44)
        MD5_STEP(MD5_H, d, a, b, c, 4, 11, 0x4bdecfa9)
        MD5_STEP(MD5_H, c, d, a, b, 7, 16, 0xf6bb4b60)
        MD5_STEP(MD5_H, b, c, d, a, 10, 23, 0xbebfbc70)
        MD5_STEP(MD5_H, a, b, c, d, 13, 4, 0x289b7ec6)
        MD5_STEP(MD5_H, d, a, b, c, 0, 11, 0xeaa127fa)
        MD5_STEP(MD5_H, c, d, a, b, 3, 16, 0xd4ef3085)
        MD5_STEP(MD5_H, b, c, d, a, 6, 23, 0x04881d05)
        MD5_STEP(MD5_H, a, b, c, d, 9, 4, 0xd9d4d039)
        MD5_STEP(MD5_H, d, a, b, c, 12, 11, 0xe6db99e5)
        MD5_STEP(MD5_H, c, d, a, b, 15, 16, 0x1fa27cf8)
        MD5_STEP(MD5_H, b, c, d, a, 2, 23, 0xc4ac5665)

        MD5_STEP(MD5_I, a, b, c, d, 0, 6, 0xf4292244)
        MD5_STEP(MD5_I, d, a, b, c, 7, 10, 0x432aff97)
        MD5_STEP(MD5_I, c, d, a, b, 14, 15, 0xab9423a7)
        MD5_STEP(MD5_I, b, c, d, a, 5, 21, 0xfc93a039)
        MD5_STEP(MD5_I, a, b, c, d, 12, 6, 0x655b59c3)
        MD5_STEP(MD5_I, d, a, b, c, 3, 10, 0x8f0ccc92)
        MD5_STEP(MD5_I, c, d, a, b, 10, 15, 0xffeff47d)
        MD5_STEP(MD5_I, b, c, d, a, 1, 21, 0x85845dd1)
        MD5_STEP(MD5_I, a, b, c, d, 8, 6, 0x6fa87e4f)
        MD5_STEP(MD5_I, d, a, b, c, 15, 10, 0xfe2ce6e0)
        MD5_STEP(MD5_I, c, d, a, b, 6, 15, 0xa3014314)
        MD5_STEP(MD5_I, b, c, d, a, 13, 21, 0x4e0811a1)
        MD5_STEP(MD5_I, a, b, c, d, 4, 6, 0xf7537e82)
        MD5_STEP(MD5_I, d, a, b, c, 11, 10, 0xbd3af235)
        MD5_STEP(MD5_I, c, d, a, b, 2, 15, 0x2ad7d2bb)
        MD5_STEP(MD5_I, b, c, d, a, 9, 21, 0xeb86d391)

#undef MD5_STEP
#undef MD5_I
#undef MD5_H
#undef MD5_STEP_G
#undef MD5_F

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    h[0] = a;
    h[1] = b;
    h[2] = c;
    h[3] = d;
}

} // namespace

unsigned CRC32(const void* data, unsigned n)
{
    if (!data || n == 0)
        return 0;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    uint32_t crc = 0xFFFFFFFFu;
    if (n >= Crc32Fold::minimumBytes && Crc32Fold::Available()) {
        crc = Crc32Fold::Update(crc, p, n);
        p += n & ~15u;
        n &= 15;
    }
    return ~Crc32Update(crc, p, n);
}

unsigned _cc_(const void* data, unsigned n, unsigned poly)
{
    if (!data)
        return 0;
    // Worked in the top bits of a 32-bit register, so both widths share
    // one loop; the result is shifted down at the end.
    const unsigned shift = 32 - CrcWidth(poly);
    const uint32_t top = poly << shift;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    uint32_t crc = 0;
    for (unsigned i = 0; i < n; ++i) {
        crc ^= static_cast<uint32_t>(p[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ top : crc << 1;
    }
    return crc >> shift;
}

int _ca_(void* data, unsigned n, unsigned crc, unsigned poly)
{
    if (!data)
        return 0;
    const int bytes = static_cast<int>(CrcWidth(poly) / 8);
    unsigned char* p = static_cast<unsigned char*>(data) + n;
    for (int i = bytes - 1; i >= 0; --i) {
        p[i] = static_cast<unsigned char>(crc);
        crc >>= 8;
    }
    return bytes;
}

int _cm_(void* data, unsigned n, unsigned poly)
{
    const unsigned bytes = CrcWidth(poly) / 8;
    if (!data || n < bytes)
        return 0;
    const unsigned body = n - bytes;
    _ca_(data, body, _cc_(data, body, poly), poly);
    return _cc_(data, n, poly) == 0;
}

void CalcMD5(unsigned char out[16], const void* data, unsigned n)
{
    if (!out)
        return;
    if (!data)
        n = 0;
    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const unsigned char* p = static_cast<const unsigned char*>(data);
    Md5Blocks(h, p, n / 64);

    // The tail, the 0x80 marker and the bit length fill one or two blocks.
    unsigned char last[128] = {};
    unsigned tail = n % 64;
    if (tail)
        memcpy(last, p + (n - tail), tail);
    last[tail] = 0x80;
    unsigned size = tail < 56 ? 64 : 128;
    uint64_t bits = static_cast<uint64_t>(n) * 8;
    for (int i = 0; i < 8; ++i)
        last[size - 8 + i] = static_cast<unsigned char>(bits >> (8 * i));
    Md5Blocks(h, last, size / 64);

    memcpy(out, h, 16);
}
