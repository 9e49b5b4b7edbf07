// ZnBuf: a fixed-size heap block of bytes owned by one object, and ZnBufZ,
// which wipes its block before releasing it (passwords, keys, anything that
// must not linger in freed memory). The size is fixed at construction; a
// caller that needs more builds a new buffer.
#pragma once

#include "base/PVDLLApi.h"

class ZnBufZ;

class PVDLL_API ZnBuf {
public:
    // The block starts zeroed; size 0 leaves the pointer null. Without the
    // memory the buffer is empty as well (IsReady 0, size 0).
    explicit ZnBuf(unsigned size);
    virtual ~ZnBuf();

    // Each block must be released exactly once, so buffers are not copied;
    // moving transfers the block and leaves the source empty (null, size 0).
    // A ZnBufZ moves only into another ZnBufZ, so a secret never ends up in
    // a buffer that would release it unwiped.
    ZnBuf(const ZnBuf&) = delete;
    ZnBuf& operator=(const ZnBuf&) = delete;
    ZnBuf(ZnBuf&& other) noexcept;
    ZnBuf& operator=(ZnBuf&& other) noexcept;
    ZnBuf(ZnBufZ&&) = delete;
    ZnBuf& operator=(ZnBufZ&&) = delete;

    int IsReady() const { return pBuf != nullptr; }
    // Empty also means "holds an empty zero-terminated text".
    int IsEmpty() const { return !pBuf || pBuf[0] == 0; }
    unsigned GetSize() const { return nSize; }

    // The caller keeps i below the size.
    unsigned char GetAt(unsigned i) const { return pBuf[i]; }
    void SetAt(unsigned i, unsigned char b) { pBuf[i] = b; }

    operator char*() const { return reinterpret_cast<char*>(pBuf); }
    operator unsigned char*() const { return pBuf; }
    operator void*() const { return pBuf; }
    operator wchar_t*() const { return reinterpret_cast<wchar_t*>(pBuf); }

protected:
    // Releases the block (without wiping) and leaves the buffer empty.
    void Release();

    unsigned char* pBuf;
    unsigned nSize;
};

class PVDLL_API ZnBufZ : public ZnBuf {
public:
    explicit ZnBufZ(unsigned size);
    // Zero-fills all size bytes, then the base releases the block.
    ~ZnBufZ() override;

    ZnBufZ(ZnBufZ&& other) noexcept;
    // The block given up is wiped before it is released.
    ZnBufZ& operator=(ZnBufZ&& other) noexcept;

protected:
    void Wipe();
};
