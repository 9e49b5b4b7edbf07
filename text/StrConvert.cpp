#include "text/StrConvert.h"

#include <windows.h>

#include <utility>

#include "base/internal/DllHeap.h"

namespace {

int ToWide(UINT codePage, const char* src, wchar_t* out, int count)
{
    if (count < 0 || (!out && count > 0))
        return 0;
    if (!src) {
        if (out && count > 0)
            out[0] = L'\0';
        return 0;
    }
    int n = MultiByteToWideChar(codePage, 0, src, -1, out, count);
    if (n == 0 && count > 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        // Cut, and never leave half of a surrogate pair at the end.
        int last = count - 1;
        if (last > 0 && IS_HIGH_SURROGATE(out[last - 1]))
            --last;
        out[last] = L'\0';
    }
    return n;
}

int FromWide(UINT codePage, const wchar_t* src, char* out, int count)
{
    if (count < 0 || (!out && count > 0))
        return 0;
    if (!src) {
        if (out && count > 0)
            out[0] = '\0';
        return 0;
    }
    int n = WideCharToMultiByte(codePage, 0, src, -1, out, count, nullptr, nullptr);
    if (n == 0 && count > 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER)
        out[count - 1] = '\0';
    return n;
}

// Counts above INT_MAX would turn negative in the platform converters.
int ClampCount(unsigned long long n)
{
    return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

} // namespace

int mb2wc(const char* src, wchar_t* out, int count)
{
    return ToWide(CP_ACP, src, out, count);
}

int wc2mb(const wchar_t* src, char* out, int count)
{
    return FromWide(CP_ACP, src, out, count);
}

int mb2wcOEM(const char* src, wchar_t* out, int count)
{
    return ToWide(CP_OEMCP, src, out, count);
}

int wc2mbOEM(const wchar_t* src, char* out, int count)
{
    return FromWide(CP_OEMCP, src, out, count);
}

int utf82wc(const char* src, wchar_t* out, int count)
{
    return ToWide(CP_UTF8, src, out, count);
}

int wc2utf8(const wchar_t* src, char* out, int count)
{
    return FromWide(CP_UTF8, src, out, count);
}

CVT::CVT()
    : CVT(260)
{
}

CVT::CVT(unsigned n)
    : pBlock(nullptr), nSize(n)
{
}

CVT::~CVT()
{
    DllBlock<wchar_t>(std::exchange(pBlock, nullptr));
}

// Null when the memory is not there; every use then answers empty or 0.
wchar_t* CVT::Block()
{
    if (!pBlock) {
        pBlock = DllHeap::AllocArrayZero<wchar_t>(static_cast<size_t>(nSize) + 1);
        if (!pBlock)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return pBlock;
}

char* CVT::T_A(wchar_t* s)
{
    // n bytes of text and one more for the terminator.
    char* block = reinterpret_cast<char*>(Block());
    wc2mb(s, block, ClampCount(nSize + 1ULL));
    return block;
}

wchar_t* CVT::A_T()
{
    return Block();
}

int CVT::A_T(wchar_t* out)
{
    if (!out || !nSize)
        return 0;
    if (!pBlock) {
        out[0] = L'\0';
        return 0;
    }
    // Whatever the 8-bit call left there, the text ends inside the block.
    pBlock[nSize] = L'\0';
    return mb2wc(reinterpret_cast<const char*>(pBlock), out, ClampCount(nSize));
}

int CVT::T_A(char* out)
{
    if (!out || !nSize)
        return 0;
    if (!pBlock) {
        out[0] = '\0';
        return 0;
    }
    pBlock[nSize] = L'\0';
    return wc2mb(pBlock, out, ClampCount(nSize));
}
