#include "storage/ZnFile.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <utility>

#include "storage/internal/LastError.h"
#include "storage/internal/PathText.h"
#include "storage/Paths.h"
#include "base/internal/DllHeap.h"
#include "text/StrFunc.h"

namespace {

constexpr unsigned long wipeBufferMax = 0x20000;  // 128 KB
constexpr size_t wipedPathLength = 258;
constexpr wchar_t wipeChars[] = {0x5555, 0xAAAA};

const unsigned char* WipePattern(WipeMethod method)
{
    static const unsigned char once[] = {0x00};
    static const unsigned char thrice[] = {0x55, 0xAA, 0x00};
    switch (method) {
    case wipeZeros:
        return once;
    case wipeThreePass:
        return thrice;
    default:
        return nullptr;
    }
}

} // namespace

ZnFile::ZnFile() : hMap(nullptr), pView(nullptr)
{
}

ZnFile::ZnFile(const wchar_t* path, int write) : CoreFile(path, write), hMap(nullptr), pView(nullptr)
{
}

ZnFile::ZnFile(const wchar_t* path, unsigned long access, unsigned long share, unsigned long disposition,
               unsigned long flags)
    : CoreFile(path, access, share, disposition, flags), hMap(nullptr), pView(nullptr)
{
}

ZnFile::~ZnFile()
{
    ZnFile::Close();
}

void ZnFile::Close()
{
    CloseMap();
    CoreFile::Close();
}

void* ZnFile::OpenMap(unsigned __int64 offset, unsigned long sizeLow, unsigned long sizeHigh)
{
    CloseMap();
    if (!IsReady())
        return nullptr;
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    unsigned __int64 size = (static_cast<unsigned __int64>(sizeHigh) << 32) | sizeLow;
    unsigned __int64 base = offset - offset % info.dwAllocationGranularity;
    unsigned __int64 lead = offset - base;
    unsigned __int64 end = offset + size;
    if (end < offset) {
        SetLastWin32Error(ERROR_INVALID_PARAMETER);
        return nullptr;
    }

    // A read-only mapping cannot reach past the end of the file; a writable
    // one is made large enough, which grows the file.
    unsigned __int64 mapSize = IsToWrite() && size && end > GetSize64() ? end : 0;
    hMap = CreateFileMappingW(hFile, nullptr, IsToWrite() ? PAGE_READWRITE : PAGE_READONLY,
                              static_cast<DWORD>(mapSize >> 32), static_cast<DWORD>(mapSize), nullptr);
    if (hMap)
        pView = MapViewOfFile(hMap, IsToWrite() ? FILE_MAP_WRITE : FILE_MAP_READ, static_cast<DWORD>(base >> 32),
                              static_cast<DWORD>(base), size ? static_cast<SIZE_T>(lead + size) : 0);
    if (!pView) {
        SetLastWin32Error(GetLastError());
        LastErrorPreserver keep;
        CloseMap();
        return nullptr;
    }
    SetLastHRESULT(S_OK);
    return static_cast<unsigned char*>(pView) + lead;
}

// The view goes before the mapping it lies in.
void ZnFile::CloseMap()
{
    MappedView(std::exchange(pView, nullptr));
    KernelHandle(std::exchange(hMap, nullptr));
}

// --- secure deletion ---------------------------------------------------------------

int ZnFile::GetWipePasses(WipeMethod method)
{
    switch (method) {
    case wipeZeros:
        return 1;
    case wipeThreePass:
        return 3;
    default:
        return 0;
    }
}

int ZnFile::WipeDelete(const wchar_t* path, WipeMethod method, int notify, WipeProgress progress, void* context)
{
    wchar_t wiped[MAX_PATH];
    if (!path || !*path || !PathText::Copy(wiped, MAX_PATH, path)) {
        SetLastWin32Error(path && *path ? ERROR_FILENAME_EXCED_RANGE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    {
        ZnFile file(path, 1);
        if (!file.IsReady())
            return 0;
        unsigned __int64 size = file.GetSize64();
        unsigned long bufferSize = static_cast<unsigned long>(size < wipeBufferMax ? size : wipeBufferMax);
        // Without memory for the pattern nothing is overwritten and the
        // file stays, under its own name.
        DllBlock<unsigned char> buffer(static_cast<unsigned char*>(DllHeap::Alloc(bufferSize)));
        if (!buffer)
            return LastError::FailFile(ERROR_NOT_ENOUGH_MEMORY);
        const unsigned char* pattern = WipePattern(method);
        int ok = 1;
        for (int pass = 0; ok && pass < GetWipePasses(method); ++pass) {
            std::memset(buffer.Get(), pattern[pass], bufferSize);
            ok = file.MoveTo64(0, FILE_BEGIN) == 0;
            for (unsigned __int64 left = size; ok && left;) {
                unsigned long chunk = static_cast<unsigned long>(left < bufferSize ? left : bufferSize);
                ok = file.WriteBin(buffer.Get(), chunk, nullptr);
                if (!ok)
                    SetLastWin32Error(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
                else if (progress && !progress(context, pass, chunk)) {
                    SetLastWin32Error(ERROR_CANCELLED);
                    ok = 0;
                }
                left -= chunk;
            }
            // Each pattern must reach the disk before the next replaces it.
            ok = ok && file.Flush();
        }
        if (!ok)
            return 0;
    }

    if (!WipeRename(wiped)) {
        long error = GetLastHRESULT();
        if (std::wcscmp(wiped, path) != 0)
            MoveFileW(wiped, path);
        SetLastHRESULT(error);
        return 0;
    }
    if (!DeleteFileW(wiped)) {
        SetLastWin32Error(GetLastError());
        return 0;
    }
    SetLastHRESULT(S_OK);
    if (notify) {
        SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, path, nullptr);
        SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, wiped, nullptr);
    }
    return 1;
}

int ZnFile::WipeRename(wchar_t* path)
{
    if (!path || !*path) {
        SetLastWin32Error(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = wcsnlen(path, MAX_PATH);
    wchar_t* name = LocateFileName(path);
    size_t folder = static_cast<size_t>(name - path);
    if (length >= MAX_PATH || folder + 1 > wipedPathLength) {
        SetLastWin32Error(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    wchar_t next[MAX_PATH];
    for (wchar_t fill : wipeChars) {
        wmemcpy(next, path, folder);
        wmemset(next + folder, fill, wipedPathLength - folder);
        next[wipedPathLength] = L'\0';
        if (!MoveFileW(path, next)) {
            SetLastWin32Error(GetLastError());
            return 0;
        }
        wmemcpy(path, next, wipedPathLength + 1);
    }
    SetLastHRESULT(S_OK);
    return 1;
}

int ZnFile::IsWipedName(const wchar_t* name)
{
    if (!name)
        return 1;
    for (; *name; ++name)
        if (*name != wipeChars[0] && *name != wipeChars[1])
            return 0;
    return 1;
}

unsigned ZnFile::MakeDeleteList(const wchar_t* folder, const wchar_t* names, wchar_t* out, unsigned cch)
{
    if (!folder)
        folder = L"";
    size_t folderLength = std::wcslen(folder);
    bool addSep = !folderLength || !IsSep(folder[folderLength - 1]);

    size_t needed = 1;
    for (const wchar_t* name = names; name && *name; name += std::wcslen(name) + 1)
        needed += folderLength + addSep + std::wcslen(name) + 1;
    if (needed > 0xFFFFFFFFu)
        return 0;
    if (!out)
        return static_cast<unsigned>(needed);
    if (needed > cch) {
        if (cch)
            out[0] = L'\0';
        return 0;
    }

    wchar_t* p = out;
    for (const wchar_t* name = names; name && *name; name += std::wcslen(name) + 1) {
        wmemcpy(p, folder, folderLength);
        p += folderLength;
        if (addSep)
            *p++ = L'\\';
        size_t nameLength = std::wcslen(name);
        wmemcpy(p, name, nameLength + 1);
        p += nameLength + 1;
    }
    *p = L'\0';
    return static_cast<unsigned>(needed);
}
