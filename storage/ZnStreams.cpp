#include "storage/ZnStreams.h"

#include <climits>
#include <cstring>

#include "storage/ZnFile.h"

namespace {

bool FitsInt32(LONGLONG v)
{
    return v >= INT_MIN && v <= INT_MAX;
}

// A failure that left no platform code is still a failure.
HRESULT FailureOr(HRESULT fallback)
{
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : fallback;
}

// One read or write through the file: move does it and reports the count.
// A transfer that falls short without a platform code answers quiet (a
// read that met the end of the file is no error). The file object may be
// a caller's subclass, so whatever it throws stays here.
template <typename Move>
HRESULT Transfer(ZnFile* file, bool missingBuffer, ULONG* done, HRESULT quiet, Move move)
{
    if (done)
        *done = 0;
    if (!file)
        return E_UNEXPECTED;
    if (missingBuffer)
        return STG_E_INVALIDPOINTER;
    try {
        unsigned long count = 0;
        SetLastError(ERROR_SUCCESS);
        int ok = move(count);
        if (done)
            *done = count;
        return ok ? S_OK : FailureOr(quiet);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace

// --- what both answer alike ---------------------------------------------------------

HRESULT ZnStreamBase::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IStream)) {
        *ppv = static_cast<IStream*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ZnStreamBase::AddRef()
{
    return 1;
}

ULONG ZnStreamBase::Release()
{
    return 0;
}

HRESULT ZnStreamBase::SetSize(ULARGE_INTEGER)
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*)
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::Commit(DWORD)
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::Revert()
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::Stat(STATSTG*, DWORD)
{
    return E_NOTIMPL;
}

HRESULT ZnStreamBase::Clone(IStream**)
{
    return E_NOTIMPL;
}

// --- ZnFileStream ----------------------------------------------------------------

ZnFileStream::ZnFileStream(ZnFile* file) : pFile(file)
{
}

ZnFileStream::~ZnFileStream() = default;

HRESULT ZnFileStream::Read(void* buf, ULONG n, ULONG* done)
{
    // The platform read succeeds at the end of the file, only shorter.
    return Transfer(pFile, n && !buf, done, S_FALSE,
                    [&](unsigned long& count) { return pFile->ReadBin(buf, n, &count); });
}

HRESULT ZnFileStream::Write(const void* buf, ULONG n, ULONG* done)
{
    return Transfer(pFile, n && !buf, done, STG_E_WRITEFAULT,
                    [&](unsigned long& count) { return pFile->WriteBin(buf, n, &count); });
}

HRESULT ZnFileStream::Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* newPos)
{
    if (!FitsInt32(offset.QuadPart))
        return E_NOTIMPL;
    if (!pFile)
        return E_UNEXPECTED;
    if (origin > STREAM_SEEK_END)
        return STG_E_INVALIDFUNCTION;
    __int64 position = pFile->MoveTo64(offset.QuadPart, origin);
    if (position < 0)
        return FailureOr(STG_E_SEEKERROR);
    if (newPos)
        newPos->QuadPart = static_cast<unsigned long>(position);
    return S_OK;
}

// --- ZnMemStream -------------------------------------------------------------------

ZnMemStream::ZnMemStream(unsigned char* block, unsigned size)
    : pBlock(block), nSize(block ? size : 0), nPos(0)
{
}

ZnMemStream::~ZnMemStream() = default;

HRESULT ZnMemStream::Read(void* buf, ULONG n, ULONG* done)
{
    if (done)
        *done = 0;
    if (n && !buf)
        return STG_E_INVALIDPOINTER;
    unsigned left = nPos < nSize ? nSize - nPos : 0;
    unsigned count = n < left ? n : left;
    if (count)
        std::memcpy(buf, pBlock + nPos, count);
    nPos += count;
    if (done)
        *done = count;
    return S_OK;
}

HRESULT ZnMemStream::Write(const void* buf, ULONG n, ULONG* done)
{
    if (done)
        *done = 0;
    if (n && !buf)
        return STG_E_INVALIDPOINTER;
    // Compared as what is left, so a large n cannot wrap around the end.
    unsigned left = nPos < nSize ? nSize - nPos : 0;
    if (n > left)
        return E_INVALIDARG;
    if (n)
        std::memcpy(pBlock + nPos, buf, n);
    nPos += n;
    if (done)
        *done = n;
    return S_OK;
}

HRESULT ZnMemStream::Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* newPos)
{
    HRESULT hr = S_OK;
    LONGLONG to = -1;
    LONGLONG size = nSize;
    if (!FitsInt32(offset.QuadPart))
        hr = E_NOTIMPL;
    else if (origin == STREAM_SEEK_SET && offset.QuadPart >= 0 && offset.QuadPart < size)
        to = offset.QuadPart;
    else if (origin == STREAM_SEEK_END && offset.QuadPart >= -size && offset.QuadPart <= 0)
        to = size + offset.QuadPart;
    else if (origin == STREAM_SEEK_CUR && nPos + offset.QuadPart >= 0 && nPos + offset.QuadPart < size)
        to = nPos + offset.QuadPart;
    else
        hr = E_INVALIDARG;
    if (to >= 0)
        nPos = static_cast<unsigned>(to);
    if (newPos)
        newPos->QuadPart = nPos;
    return hr;
}

