#include "text/ZnBuf.h"

#include <windows.h>

#include <utility>

#include "base/internal/DllHeap.h"

ZnBuf::ZnBuf(unsigned size)
    : pBuf(size ? static_cast<unsigned char*>(DllHeap::AllocZero(size)) : nullptr), nSize(pBuf ? size : 0)
{
    if (size && !pBuf)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
}

ZnBuf::~ZnBuf()
{
    Release();
}

ZnBuf::ZnBuf(ZnBuf&& other) noexcept
    : pBuf(other.pBuf), nSize(other.nSize)
{
    other.pBuf = nullptr;
    other.nSize = 0;
}

ZnBuf& ZnBuf::operator=(ZnBuf&& other) noexcept
{
    if (this != &other) {
        Release();
        pBuf = other.pBuf;
        nSize = other.nSize;
        other.pBuf = nullptr;
        other.nSize = 0;
    }
    return *this;
}

void ZnBuf::Release()
{
    DllBlock<unsigned char>(std::exchange(pBuf, nullptr));
    nSize = 0;
}

ZnBufZ::ZnBufZ(unsigned size)
    : ZnBuf(size)
{
}

ZnBufZ::~ZnBufZ()
{
    Wipe();
}

ZnBufZ::ZnBufZ(ZnBufZ&& other) noexcept
    : ZnBuf(static_cast<ZnBuf&&>(other))
{
}

ZnBufZ& ZnBufZ::operator=(ZnBufZ&& other) noexcept
{
    if (this != &other) {
        Wipe();
        ZnBuf::operator=(static_cast<ZnBuf&&>(other));
    }
    return *this;
}

void ZnBufZ::Wipe()
{
    // SecureZeroMemory, because a plain fill right before a free is a dead
    // store the optimiser may drop.
    if (pBuf)
        SecureZeroMemory(pBuf, nSize);
}
