#include "storage/CoreFile.h"

#include <shlobj.h>
#include <winioctl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <utility>

#include "storage/FileQuery.h"
#include "storage/internal/LastError.h"
#include "storage/internal/PathText.h"
#include "storage/Paths.h"
#include "base/internal/DllHeap.h"
#include "base/StrFormat.h"

namespace {

long lLastHRESULT = S_OK;

constexpr unsigned long copyChunk = 0x2000000;  // 32 MB
constexpr unsigned cchPuts = 1024;

bool IsEmptyPath(const wchar_t* path)
{
    return !path || !*path;
}

void Notify(LONG event, const wchar_t* path, const wchar_t* path2 = nullptr)
{
    SHChangeNotify(event, SHCNF_PATHW, path, path2);
}

// A final lone line feed becomes CR LF; without room, the character
// before it gives way to the CR.
template <typename Ch>
size_t ExpandFinalLineFeed(Ch* text, size_t length, size_t capacity)
{
    if (!length || text[length - 1] != '\n' || (length > 1 && text[length - 2] == '\r'))
        return length;
    if (length + 1 < capacity) {
        text[length - 1] = '\r';
        text[length] = '\n';
        text[++length] = 0;
    } else if (length > 1) {
        text[length - 2] = '\r';
    }
    return length;
}

// The folder part of a full path, for a sibling of the file.
bool FolderOf(const wchar_t* full, wchar_t (&folder)[MAX_PATH])
{
    if (!PathText::Copy(folder, MAX_PATH, full))
        return false;
    wchar_t* name = LocateFileName(folder);
    if (!name || name == folder || !*name)
        return false;
    *name = L'\0';
    return true;
}

} // namespace

// --- CoreIOObj --------------------------------------------------------------------

CoreIOObj::~CoreIOObj() = default;

int CoreIOObj::ReadStr(char* s)
{
    return ReadStr(s, 256);
}

int CoreIOObj::ReadStr(char* s, unsigned cb)
{
    if (s && cb)
        s[0] = '\0';
    unsigned char length = 0;
    char record[256];
    if (!Read(length) || !ReadBin(record, length, nullptr))
        return 0;
    if (!s || !cb)
        return 0;
    unsigned kept = length < cb ? length : cb - 1;
    std::memcpy(s, record, kept);
    s[kept] = '\0';
    return kept == length;
}

int CoreIOObj::WriteStr(const char* s)
{
    if (!s)
        s = "";
    size_t length = strnlen(s, 256);
    if (length > 255)
        return 0;
    // One write for length and bytes, so a failure leaves no lone length.
    unsigned char record[256];
    record[0] = static_cast<unsigned char>(length);
    std::memcpy(record + 1, s, length);
    return WriteBin(record, static_cast<unsigned long>(length + 1), nullptr);
}

long CoreIOObj::GetLastHRESULT()
{
    return lLastHRESULT;
}

void CoreIOObj::SetLastHRESULT(long hr)
{
    lLastHRESULT = hr;
}

void CoreIOObj::SetLastWin32Error(unsigned long e)
{
    lLastHRESULT = static_cast<long>(e) <= 0 ? static_cast<long>(e)
                                              : static_cast<long>((e & 0xFFFF) | 0x80070000);
}

// --- CoreFile ---------------------------------------------------------------------

CoreFile::CoreFile() : hFile(INVALID_HANDLE_VALUE), bWrite(0)
{
    SetLastHRESULT(S_OK);
}

CoreFile::CoreFile(const wchar_t* path, int write) : CoreFile()
{
    Open(path, write);
}

CoreFile::CoreFile(const wchar_t* path, unsigned long access, unsigned long share,
                   unsigned long disposition, unsigned long flags)
    : CoreFile()
{
    Open(path, access, share, disposition, flags);
}

CoreFile::~CoreFile()
{
    CoreFile::Close();
}

int CoreFile::Open(const wchar_t* path, int write)
{
    if (write)
        return Open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

int CoreFile::Open(const wchar_t* path, unsigned long access, unsigned long share,
                   unsigned long disposition, unsigned long flags)
{
    Close();
    if (IsEmptyPath(path)) {
        SetLastWin32Error(ERROR_INVALID_PARAMETER);
        return 0;
    }
    hFile = CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        SetLastWin32Error(GetLastError());
        return 0;
    }
    bWrite = (access & GENERIC_WRITE) != 0;
    // The platform's own code is left alone for the caller: after an
    // open-or-create it tells whether the file was already there.
    SetLastHRESULT(S_OK);
    return 1;
}

void CoreFile::Close()
{
    FileHandle(std::exchange(hFile, INVALID_HANDLE_VALUE));
    bWrite = 0;
}

unsigned __int64 CoreFile::GetSize64()
{
    LARGE_INTEGER size;
    if (!IsReady() || !GetFileSizeEx(hFile, &size) || size.QuadPart < 0)
        return 0;
    return static_cast<unsigned __int64>(size.QuadPart);
}

int CoreFile::SetEndOfFile()
{
    return IsReady() && ::SetEndOfFile(hFile);
}

__int64 CoreFile::MoveTo64(__int64 offset, unsigned long method)
{
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!IsReady() || method > FILE_END || !SetFilePointerEx(hFile, distance, &position, method))
        return -1;
    return position.QuadPart;
}

int CoreFile::Flush()
{
    return IsReady() && FlushFileBuffers(hFile);
}

int CoreFile::ReadBin(void* buf, unsigned long n, unsigned long* done)
{
    DWORD count = 0;
    BOOL ok = n == 0 || (IsReady() && buf && ::ReadFile(hFile, buf, n, &count, nullptr));
    if (done)
        *done = count;
    return ok && count == n;
}

int CoreFile::WriteBin(const void* buf, unsigned long n, unsigned long* done)
{
    DWORD count = 0;
    BOOL ok = n == 0 || (IsReady() && buf && ::WriteFile(hFile, buf, n, &count, nullptr));
    if (done)
        *done = count;
    return ok && count == n;
}

unsigned long CoreFile::MoveTo(long low, unsigned long method, long high)
{
    __int64 offset = (static_cast<__int64>(high) << 32) | static_cast<unsigned long>(low);
    __int64 position = MoveTo64(offset, method);
    return position < 0 ? INVALID_SET_FILE_POINTER : static_cast<unsigned long>(position);
}

unsigned long CoreFile::GetSize(unsigned long* high)
{
    unsigned __int64 size = GetSize64();
    if (high)
        *high = static_cast<unsigned long>(size >> 32);
    return static_cast<unsigned long>(size);
}

int CoreFile::GetTime(FILETIME* created, FILETIME* accessed, FILETIME* written)
{
    return IsReady() && GetFileTime(hFile, created, accessed, written);
}

int CoreFile::SetTime(const FILETIME* created, const FILETIME* accessed, const FILETIME* written)
{
    return IsReady() && SetFileTime(hFile, created, accessed, written);
}

unsigned short CoreFile::GetCompression()
{
    USHORT state = COMPRESSION_FORMAT_NONE;
    DWORD bytes = 0;
    if (!IsReady() ||
        !DeviceIoControl(hFile, FSCTL_GET_COMPRESSION, nullptr, 0, &state, sizeof(state), &bytes, nullptr))
        return COMPRESSION_FORMAT_NONE;
    return state;
}

int CoreFile::SetCompression(unsigned short state)
{
    USHORT value = state;
    DWORD bytes = 0;
    return IsReady() &&
           DeviceIoControl(hFile, FSCTL_SET_COMPRESSION, &value, sizeof(value), nullptr, 0, &bytes, nullptr);
}

int CoreFile::WriteUnicodeMarker()
{
    static const unsigned char mark[] = {0xFF, 0xFE};
    return MoveTo64(0, FILE_BEGIN) == 0 && WriteBin(mark, sizeof(mark), nullptr);
}

int CoreFile::WriteUTF8Marker()
{
    static const unsigned char mark[] = {0xEF, 0xBB, 0xBF};
    return MoveTo64(0, FILE_BEGIN) == 0 && WriteBin(mark, sizeof(mark), nullptr);
}

int CoreFile::puts(const wchar_t* fmt, ...)
{
    if (!fmt)
        return 0;
    wchar_t text[cchPuts];
    va_list args;
    va_start(args, fmt);
    size_t length = StrFormatV(text, cchPuts, fmt, args);
    va_end(args);
    length = ExpandFinalLineFeed(text, length, cchPuts);
    return WriteBin(text, static_cast<unsigned long>(length * sizeof(wchar_t)), nullptr);
}

int CoreFile::puts(const char* fmt, ...)
{
    if (!fmt)
        return 0;
    char text[cchPuts];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, cchPuts, fmt, args);
    va_end(args);
    // Some runtimes leave a cut text unterminated.
    text[cchPuts - 1] = '\0';
    size_t length = strnlen(text, cchPuts);
    length = ExpandFinalLineFeed(text, length, cchPuts);
    return WriteBin(text, static_cast<unsigned long>(length), nullptr);
}

// --- whole files ----------------------------------------------------------------------

int CoreFile::ReadFile(const wchar_t* path, void* buf, unsigned long n)
{
    CoreFile file(path, 0);
    return file.IsReady() && file.ReadBin(buf, n, nullptr);
}

int CoreFile::WriteFile(const wchar_t* path, const void* buf, unsigned long n)
{
    return ReplaceFileContent(path, buf, n);
}

int CoreFile::ReplaceFileContent(const wchar_t* path, const void* data, unsigned long n)
{
    if (IsEmptyPath(path) || (n && !data)) {
        SetLastWin32Error(ERROR_INVALID_PARAMETER);
        return 0;
    }
    wchar_t full[MAX_PATH], folder[MAX_PATH], temp[MAX_PATH];
    DWORD length = GetFullPathNameW(path, MAX_PATH, full, nullptr);
    if (!length || length >= MAX_PATH || !FolderOf(full, folder)) {
        SetLastWin32Error(length >= MAX_PATH ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
        return 0;
    }

    // Whatever would have stopped an in-place write stops this one too,
    // before anything is written: the read-only attribute, another
    // program's handle, a folder of that name.
    FILETIME created = {};
    DWORD attributes = GetFileAttributesW(full);
    bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    // Checked by name as well: an administrator's open for writing may
    // succeed on a read-only file, but the attribute still means "keep".
    if (existed && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastWin32Error(ERROR_ACCESS_DENIED);
        return 0;
    }
    if (existed) {
        CoreFile target(full, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
        if (!target.IsReady())
            return 0;
        target.GetTime(&created, nullptr, nullptr);
    }

    if (!GetTempFileNameW(folder, L"~pv", 0, temp)) {
        SetLastWin32Error(GetLastError());
        return 0;
    }
    int ok;
    {
        CoreFile file(temp, GENERIC_READ | GENERIC_WRITE, 0, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL);
        ok = file.IsReady();
        SetLastError(ERROR_SUCCESS);
        if (ok && !(file.WriteBin(data, n, nullptr) && file.Flush())) {
            // A short write without an error code is a full disk.
            SetLastWin32Error(GetLastError() ? GetLastError() : ERROR_DISK_FULL);
            ok = 0;
        }
        if (ok && existed)
            file.SetTime(&created, nullptr, nullptr);
    }
    if (ok && existed)
        SetFileAttributesW(temp, attributes & ~FILE_ATTRIBUTE_NORMAL);
    if (ok && !MoveFileExW(temp, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetLastWin32Error(GetLastError());
        ok = 0;
    }
    if (!ok) {
        LastErrorPreserver keep;
        SetFileAttributesW(temp, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temp);
        return 0;
    }
    SetLastHRESULT(S_OK);
    return 1;
}

int CoreFile::GetInfo(const wchar_t* path, WIN32_FIND_DATAW* data)
{
    WIN32_FIND_DATAW found = {};
    if (data)
        *data = found;
    // A mask would answer for whatever file it happens to match first.
    if (IsEmptyPath(path) || IsMask(path))
        return 0;
    FindHandle search(FindFirstFileW(path, &found));
    if (!search)
        return 0;
    if (data)
        *data = found;
    return 1;
}

unsigned long CoreFile::GetSize(const wchar_t* path, unsigned long* high)
{
    WIN32_FIND_DATAW data;
    GetInfo(path, &data);
    if (high)
        *high = data.nFileSizeHigh;
    return data.nFileSizeLow;
}

unsigned __int64 CoreFile::FileSize(const wchar_t* path)
{
    WIN32_FIND_DATAW data;
    GetInfo(path, &data);
    return (static_cast<unsigned __int64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int CoreFile::GetTime(const wchar_t* path, FILETIME* created, FILETIME* accessed, FILETIME* written)
{
    WIN32_FIND_DATAW data;
    int found = GetInfo(path, &data);
    if (created)
        *created = data.ftCreationTime;
    if (accessed)
        *accessed = data.ftLastAccessTime;
    if (written)
        *written = data.ftLastWriteTime;
    return found;
}

unsigned long CoreFile::GetAttrib(const wchar_t* path)
{
    WIN32_FIND_DATAW data;
    return GetInfo(path, &data) ? data.dwFileAttributes : 0;
}

int CoreFile::SetTime(const wchar_t* path, const FILETIME* created, const FILETIME* accessed,
                      const FILETIME* written)
{
    // Writing the times needs no more than the right to write attributes,
    // which a read-only file still grants.
    CoreFile file(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL);
    return file.SetTime(created, accessed, written);
}

int CoreFile::CanFind(const wchar_t* path)
{
    if (IsEmptyPath(path))
        return 0;
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        return 1;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

int CoreFile::Delete(const wchar_t* path, int notify)
{
    if (IsEmptyPath(path) || !DeleteFileW(path)) {
        SetLastWin32Error(IsEmptyPath(path) ? ERROR_INVALID_PARAMETER : GetLastError());
        return 0;
    }
    SetLastHRESULT(S_OK);
    if (notify)
        Notify(SHCNE_DELETE, path);
    return 1;
}

int CoreFile::RenameFile(const wchar_t* oldPath, const wchar_t* newPath, int notify)
{
    if (IsEmptyPath(oldPath) || IsEmptyPath(newPath) || !MoveFileW(oldPath, newPath)) {
        SetLastWin32Error(IsEmptyPath(oldPath) || IsEmptyPath(newPath) ? ERROR_INVALID_PARAMETER
                                                                       : GetLastError());
        return 0;
    }
    SetLastHRESULT(S_OK);
    if (notify)
        Notify(SHCNE_RENAMEITEM, oldPath, newPath);
    return 1;
}

int CoreFile::CopyFileW(const wchar_t* src, const wchar_t* dst, int notify)
{
    return CopyFileW(src, dst, notify, nullptr, nullptr);
}

int CoreFile::CopyFileW(const wchar_t* src, const wchar_t* dst, int notify, CopyProgress progress,
                        void* context)
{
    CoreFile in(src, 0);
    if (!in.IsReady())
        return 0;
    unsigned short compression = in.GetCompression();
    unsigned __int64 size = in.GetSize64();

    CoreFile out(dst, 1);
    if (!out.IsReady())
        return 0;
    // Only a file the copy brought into being may go when it fails; the
    // open-or-create tells which it was.
    bool created = GetLastError() != ERROR_ALREADY_EXISTS;

    // Without memory for the buffer the copy fails like any other, and a
    // destination it created goes again.
    bool ok = true;
    DllBlock<void> buffer(DllHeap::Alloc(static_cast<size_t>(size < copyChunk ? size : copyChunk)));
    if (!buffer) {
        LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
        ok = false;
    }
    for (unsigned __int64 left = size; ok && left;) {
        unsigned long chunk = static_cast<unsigned long>(left < copyChunk ? left : copyChunk);
        SetLastError(ERROR_SUCCESS);
        if (!in.ReadBin(buffer.Get(), chunk, nullptr)) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_HANDLE_EOF);
            ok = false;
        } else if (!out.WriteBin(buffer.Get(), chunk, nullptr)) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL);
            ok = false;
        } else if (progress && !progress(context, chunk)) {
            SetLastError(ERROR_CANCELLED);
            ok = false;
        }
        left -= chunk;
    }
    ok = ok && out.SetEndOfFile();
    if (!ok) {
        LastErrorPreserver keep;
        SetLastWin32Error(keep.Error());
        out.Close();
        if (created)
            DeleteFileW(dst);
        return 0;
    }
    // File systems that know no compression (FAT, network shares) simply
    // keep the copy uncompressed.
    if (compression != out.GetCompression())
        out.SetCompression(compression);
    out.Close();
    SetLastHRESULT(S_OK);
    if (notify)
        Notify(SHCNE_CREATE, dst);
    return 1;
}

int CoreFile::CopyFileSafe(const wchar_t* src, const wchar_t* dst)
{
    wchar_t backup[MAX_PATH];
    // A cut name could be dst itself, and the backup step would then
    // destroy the very file it is meant to keep.
    if (IsEmptyPath(src) || IsEmptyPath(dst) || !PathText::Copy(backup, MAX_PATH - 1, dst)) {
        SetLastWin32Error(IsEmptyPath(src) || IsEmptyPath(dst) ? ERROR_INVALID_PARAMETER
                                                               : ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    PathText::Append(backup, MAX_PATH, L"~");

    if (IsFileOrFolderExists(backup) && !Delete(backup, 1))
        return 0;
    bool hadTarget = IsFileOrFolderExists(dst);
    if (hadTarget && !RenameFile(dst, backup, 0))
        return 0;

    if (CopyFileW(src, dst, 1)) {
        if (hadTarget)
            Delete(backup, 1);
        SetLastHRESULT(S_OK);
        return 1;
    }
    long copyError = GetLastHRESULT();
    if (hadTarget)
        RenameFile(backup, dst, 0);
    SetLastHRESULT(copyError);
    return 0;
}

// --- CoreIO -----------------------------------------------------------------------------

CoreIO::CoreIO(const wchar_t* path, int write) : pObj(CreateFileObject(path, write))
{
}

CoreIO::~CoreIO()
{
    std::unique_ptr<CoreIOObj>(std::exchange(pObj, nullptr));
}

CoreIOObj* CoreIO::CreateFileObject(const wchar_t* path, int write)
{
    std::unique_ptr<CoreFile> file(new (std::nothrow) CoreFile(path, write));
    if (!file) {
        LastError::FailFile(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (file->IsReady())
        return file.release();
    long error = GetLastHRESULT();
    LastErrorPreserver keep;
    file.reset();
    SetLastHRESULT(error);
    return nullptr;
}

void CoreIO::Close()
{
    if (pObj)
        pObj->Close();
}

int CoreIO::IsReady() const
{
    return pObj && pObj->IsReady();
}

int CoreIO::IsToWrite() const
{
    return pObj && pObj->IsToWrite();
}

unsigned __int64 CoreIO::GetSize64()
{
    return pObj ? pObj->GetSize64() : 0;
}

int CoreIO::SetEndOfFile()
{
    return pObj && pObj->SetEndOfFile();
}

__int64 CoreIO::MoveTo64(__int64 offset, unsigned long method)
{
    return pObj ? pObj->MoveTo64(offset, method) : -1;
}

int CoreIO::Flush()
{
    return pObj && pObj->Flush();
}

int CoreIO::ReadBin(void* buf, unsigned long n, unsigned long* done)
{
    if (pObj)
        return pObj->ReadBin(buf, n, done);
    if (done)
        *done = 0;
    return n == 0;
}

int CoreIO::WriteBin(const void* buf, unsigned long n, unsigned long* done)
{
    if (pObj)
        return pObj->WriteBin(buf, n, done);
    if (done)
        *done = 0;
    return n == 0;
}

// --- scope guards -------------------------------------------------------------------------

CoreFileAttrib::CoreFileAttrib(const wchar_t* path, unsigned long attrib)
    : pszPath(path), dwAttrib(IsEmptyPath(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path))
{
    if (IsValid())
        SetFileAttributesW(pszPath, attrib);
}

CoreFileAttrib::~CoreFileAttrib()
{
    if (IsValid())
        SetFileAttributesW(pszPath, dwAttrib);
}
