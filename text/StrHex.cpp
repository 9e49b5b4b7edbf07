#include "text/StrHex.h"

#include <cwchar>

#include "base/internal/DllHeap.h"

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";
constexpr char base64FSAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// Digit values for the first 256 characters; every other character, hex or
// not, is 0, as the decoders want.
struct HexValues {
    unsigned char value[256];
};

constexpr HexValues MakeHexValues()
{
    HexValues t{};
    for (int c = 0; c < 10; ++c)
        t.value['0' + c] = static_cast<unsigned char>(c);
    for (int c = 0; c < 6; ++c) {
        t.value['A' + c] = static_cast<unsigned char>(10 + c);
        t.value['a' + c] = static_cast<unsigned char>(10 + c);
    }
    return t;
}

constexpr HexValues hexValues = MakeHexValues();

inline unsigned HexValue(wchar_t c)
{
    return c < 256 ? hexValues.value[c] : 0;
}

// Alphabet indexes for the first 256 characters, with two marks: the pad
// character and "not in the alphabet".
constexpr unsigned char base64Pad = 0xFE;
constexpr unsigned char base64Bad = 0xFF;

struct Base64Values {
    unsigned char value[256];
};

constexpr Base64Values MakeBase64Values()
{
    Base64Values t{};
    for (auto& v : t.value)
        v = base64Bad;
    for (int i = 0; i < 64; ++i)
        t.value[static_cast<unsigned char>(base64FSAlphabet[i])] = static_cast<unsigned char>(i);
    t.value['='] = base64Pad;
    return t;
}

constexpr Base64Values base64Values = MakeBase64Values();

inline unsigned Base64Value(wchar_t c)
{
    return c < 256 ? base64Values.value[c] : base64Bad;
}

template <typename Char>
int ByteToHexT(Char* out, unsigned cch, unsigned char b)
{
    if (!out || cch == 0)
        return 0;
    int n = 0;
    if (cch > 1)
        out[n++] = static_cast<Char>(hexDigits[b >> 4]);
    if (cch > 2)
        out[n++] = static_cast<Char>(hexDigits[b & 15]);
    out[n] = 0;
    return n;
}

template <typename Char>
int BinToHexT(Char* out, unsigned cch, const void* data, unsigned n)
{
    if (!out || cch == 0)
        return 0;
    if (!data)
        n = 0;
    unsigned fit = (cch - 1) / 2;
    if (n > fit)
        n = fit;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    Char* q = out;
    for (unsigned i = 0; i < n; ++i) {
        *q++ = static_cast<Char>(hexDigits[p[i] >> 4]);
        *q++ = static_cast<Char>(hexDigits[p[i] & 15]);
    }
    *q = 0;
    return static_cast<int>(q - out);
}

void ReverseBytes(unsigned char* p, unsigned n)
{
    for (unsigned i = 0, j = n; i + 1 < j; ++i) {
        --j;
        unsigned char t = p[i];
        p[i] = p[j];
        p[j] = t;
    }
}

// The decoders write into caller memory that may hold fewer bytes than the
// text encodes; this keeps the bound in one place.
unsigned HexToBinBounded(unsigned char* out, unsigned cb, const wchar_t* hex, unsigned* written)
{
    *written = 0;
    if (!hex)
        return 0;
    if (!out)
        cb = 0;
    const wchar_t* p = hex;
    unsigned count = 0;
    while (count < cb && p[0]) {
        unsigned high = HexValue(p[0]);
        if (!p[1]) {
            out[count++] = static_cast<unsigned char>(high);
            *written = count;
            return count;
        }
        out[count++] = static_cast<unsigned char>((high << 4) | HexValue(p[1]));
        p += 2;
    }
    *written = count;
    // The rest is only measured.
    size_t rest = wcslen(p);
    return count + static_cast<unsigned>((rest + 1) / 2);
}

// Converts at most maxBytes of text, without splitting a character, into
// bytes; returns the number of bytes.
int WideToAnsiPrefix(const wchar_t* str, char* bytes, int maxBytes)
{
    size_t len = wcslen(str);
    int units = len < static_cast<size_t>(maxBytes) ? static_cast<int>(len) : maxBytes;
    for (;;) {
        if (units > 0 && IS_HIGH_SURROGATE(str[units - 1]))
            --units;
        if (units <= 0)
            return 0;
        int needed = WideCharToMultiByte(CP_ACP, 0, str, units, nullptr, 0, nullptr, nullptr);
        if (needed <= 0)
            return 0;
        if (needed <= maxBytes)
            return WideCharToMultiByte(CP_ACP, 0, str, units, bytes, maxBytes, nullptr, nullptr);
        // No code unit takes more than three bytes, so dropping this many
        // never skips past the longest prefix that fits.
        units -= (needed - maxBytes + 2) / 3;
    }
}

} // namespace

int ByteToHex(wchar_t* out, unsigned cch, unsigned char b)
{
    return ByteToHexT(out, cch, b);
}

int ByteToHex(char* out, unsigned cch, unsigned char b)
{
    return ByteToHexT(out, cch, b);
}

int BinToHex(wchar_t* out, unsigned cch, const void* data, unsigned n)
{
    return BinToHexT(out, cch, data, n);
}

int BinToHex(char* out, unsigned cch, const void* data, unsigned n)
{
    return BinToHexT(out, cch, data, n);
}

int HexToCode(wchar_t c)
{
    return static_cast<int>(HexValue(c));
}

unsigned char HexToChar(const wchar_t* p)
{
    if (!p || !p[0])
        return 0;
    if (!p[1])
        return static_cast<unsigned char>(HexValue(p[0]));
    return static_cast<unsigned char>((HexValue(p[0]) << 4) | HexValue(p[1]));
}

unsigned HexToBin(void* out, unsigned cb, const wchar_t* hex)
{
    unsigned written;
    return HexToBinBounded(static_cast<unsigned char*>(out), cb, hex, &written);
}

unsigned HexToBinLE(void* out, unsigned cb, const wchar_t* hex)
{
    unsigned written;
    unsigned count = HexToBinBounded(static_cast<unsigned char*>(out), cb, hex, &written);
    if (written)
        ReverseBytes(static_cast<unsigned char*>(out), written);
    return count;
}

unsigned HexToUINT32(const wchar_t* hex)
{
    unsigned char bytes[4] = {};
    HexToBin(bytes, sizeof bytes, hex);
    unsigned value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

unsigned __int64 HexToUINT64(const wchar_t* hex)
{
    unsigned char bytes[8] = {};
    HexToBin(bytes, sizeof bytes, hex);
    unsigned __int64 value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

unsigned unPrintfUINT32(const wchar_t* hex)
{
    unsigned value = 0;
    for (int i = 0; hex && i < 8 && hex[i]; ++i)
        value = (value << 4) | HexValue(hex[i]);
    return value;
}

unsigned __int64 unPrintfUINT64(const wchar_t* hex)
{
    unsigned __int64 value = 0;
    for (int i = 0; hex && i < 16 && hex[i]; ++i)
        value = (value << 4) | HexValue(hex[i]);
    return value;
}

int StrToHex(wchar_t* out, unsigned cch, const wchar_t* str)
{
    char bytes[260];
    int n = str ? WideToAnsiPrefix(str, bytes, sizeof bytes) : 0;
    if (n <= 0) {
        const unsigned char zero = 0;
        BinToHex(out, cch, &zero, 1);
        return 0;
    }
    BinToHex(out, cch, bytes, static_cast<unsigned>(n));
    return 1;
}

int HexToStr(wchar_t* out, unsigned cch, const wchar_t* hex)
{
    if (!out || cch == 0)
        return 0;
    out[0] = L'\0';
    unsigned size = HexToBin(nullptr, 0, hex);
    if (size == 0)
        return 1;

    DllBlock<char> bytes(DllHeap::AllocArray<char>(size));
    if (!bytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    HexToBin(bytes.Get(), size, hex);
    int len = 0;
    while (static_cast<unsigned>(len) < size && bytes.Get()[len])
        ++len;

    if (len > 0) {
        int units = MultiByteToWideChar(CP_ACP, 0, bytes.Get(), len, nullptr, 0);
        if (units > 0 && static_cast<unsigned>(units) < cch) {
            MultiByteToWideChar(CP_ACP, 0, bytes.Get(), len, out, units);
            out[units] = L'\0';
        } else if (units > 0) {
            // Too long for out: convert it whole, then cut, keeping
            // surrogate pairs together.
            DllBlock<wchar_t> wide(DllHeap::AllocArray<wchar_t>(static_cast<size_t>(units)));
            if (!wide) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return 0;
            }
            MultiByteToWideChar(CP_ACP, 0, bytes.Get(), len, wide.Get(), units);
            unsigned keep = cch - 1;
            if (keep && IS_HIGH_SURROGATE(wide.Get()[keep - 1]))
                --keep;
            wmemcpy(out, wide.Get(), keep);
            out[keep] = L'\0';
        }
    }
    return 1;
}

unsigned BinToBase64FS(wchar_t* out, unsigned cch, const void* data, unsigned n)
{
    if (out && cch)
        out[0] = L'\0';
    if (n == 0 || !data)
        return 0;
    unsigned groups = n / 3 + (n % 3 != 0);
    unsigned count = groups * 4 + 1;
    if (!out || cch == 0)
        return count;

    const unsigned char* p = static_cast<const unsigned char*>(data);
    unsigned fit = (cch - 1) / 4;
    unsigned whole = n / 3;
    wchar_t* q = out;
    for (unsigned g = 0; g < whole && g < fit; ++g, p += 3) {
        unsigned v = p[0] | (p[1] << 8) | (p[2] << 16);
        q[0] = base64FSAlphabet[v & 63];
        q[1] = base64FSAlphabet[(v >> 6) & 63];
        q[2] = base64FSAlphabet[(v >> 12) & 63];
        q[3] = base64FSAlphabet[v >> 18];
        q += 4;
    }
    unsigned tail = n % 3;
    if (tail && whole < fit) {
        unsigned v = p[0] | (tail > 1 ? p[1] << 8 : 0);
        q[0] = base64FSAlphabet[v & 63];
        q[1] = base64FSAlphabet[(v >> 6) & 63];
        q[2] = tail > 1 ? base64FSAlphabet[(v >> 12) & 63] : L'=';
        q[3] = L'=';
        q += 4;
    }
    *q = L'\0';
    return count;
}

unsigned Base64FSToBin(void* out, unsigned cb, const wchar_t* text)
{
    if (!text)
        return 0;
    if (!out)
        cb = 0;
    size_t len = wcslen(text);
    size_t groups = len / 4;
    unsigned char* q = static_cast<unsigned char*>(out);
    unsigned written = 0;
    unsigned count = 0;

    for (size_t g = 0; g < groups; ++g, text += 4) {
        count += 1 + (text[2] != L'=') + (text[3] != L'=');
        if (written == cb)
            continue;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            unsigned code = Base64Value(text[k]);
            if (code == base64Pad)
                continue;
            if (code == base64Bad)
                break;
            v |= code << (6 * k);
        }
        for (int k = 0; k < 3 && written < cb; ++k)
            q[written++] = static_cast<unsigned char>(v >> (8 * k));
    }

    switch (len % 4) {
    case 2:
        count += 1;
        break;
    case 3:
        count += 1 + (text[2] != L'=');
        break;
    default:
        break;
    }
    return count;
}
