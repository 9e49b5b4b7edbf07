// Two IStream adapters for interfaces that want a stream: one over an open
// ZnFile and one over a caller's memory block. Their owner, not the
// reference count, decides how long they live: AddRef answers 1, Release
// 0, and neither deletes anything. Neither owns what it reads from.
#pragma once

#include <objidl.h>

#include "base/PVDLLApi.h"

class ZnFile;

// What both adapters answer alike: the interfaces, the counts that never
// delete, and E_NOTIMPL for everything but reading, writing and seeking.
class PVDLL_API ZnStreamBase : public IStream {
public:
    ZnStreamBase() = default;
    virtual ~ZnStreamBase() = default;
    ZnStreamBase(const ZnStreamBase&) = delete;
    ZnStreamBase& operator=(const ZnStreamBase&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER n, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER n, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER n, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override;
};

class PVDLL_API ZnFileStream : public ZnStreamBase {
public:
    // Reads and writes at the file's own position.
    explicit ZnFileStream(ZnFile* file);
    virtual ~ZnFileStream();

    // S_OK when all n bytes moved; a read that meets the end of the file
    // answers S_FALSE, a failed read or write the platform's error
    // (STG_E_WRITEFAULT for a short write). done, when given, gets the
    // count either way.
    HRESULT STDMETHODCALLTYPE Read(void* buf, ULONG n, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buf, ULONG n, ULONG* done) override;
    // Offsets must fit a signed 32-bit value (E_NOTIMPL otherwise); newPos
    // gets the low 32 bits of the new position.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* newPos) override;

protected:
    ZnFile* pFile;
};

class PVDLL_API ZnMemStream : public ZnStreamBase {
public:
    // Starts at position 0.
    ZnMemStream(unsigned char* block, unsigned size);
    virtual ~ZnMemStream();

    // Up to n bytes from the position (fewer at the end); S_OK.
    HRESULT STDMETHODCALLTYPE Read(void* buf, ULONG n, ULONG* done) override;
    // All n bytes or none: E_INVALIDARG when they would not fit the block.
    HRESULT STDMETHODCALLTYPE Write(const void* buf, ULONG n, ULONG* done) override;
    // From the start: 0 <= offset < size; from the end: -size <= offset
    // <= 0; from the current position: a result inside the block. Anything
    // else is E_INVALIDARG and leaves the position; newPos always gets it.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* newPos) override;

protected:
    unsigned char* pBlock;
    unsigned nSize;
    unsigned nPos;
};
