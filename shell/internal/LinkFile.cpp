#include "shell/internal/LinkFile.h"

#include <windows.h>

#include <cstring>

#include "base/Owners.h"
#include "base/internal/DllHeap.h"

namespace LinkFile {

namespace {

constexpr size_t headerSize = 0x4C;
constexpr size_t largestFile = 1024 * 1024;
constexpr unsigned hasTargetIdList = 0x1;
// 00021401-0000-0000-C000-000000000046, as stored (little-endian fields).
constexpr unsigned char shellLinkClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

unsigned Read16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

unsigned Read32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24);
}

// items: the id list's bytes (its size field excluded), count of them.
bool IdListIsFramed(const unsigned char* items, size_t count)
{
    size_t at = 0;
    while (at + 2 <= count) {
        unsigned cb = Read16(items + at);
        if (cb == 0)
            return true;  // the terminator
        if (cb < 2 || cb > count - at - 2)
            return false;  // an item that overlaps the terminator's place or runs out
        at += cb;
    }
    return false;
}

} // namespace

bool IsSound(const unsigned char* bytes, size_t size)
{
    if (!bytes || size < headerSize || Read32(bytes) != headerSize ||
        std::memcmp(bytes + 4, shellLinkClass, sizeof shellLinkClass) != 0)
        return false;
    if (!(Read32(bytes + 20) & hasTargetIdList))
        return true;
    if (size < headerSize + 2)
        return false;
    size_t listSize = Read16(bytes + headerSize);
    if (listSize > size - headerSize - 2)
        return false;
    return IdListIsFramed(bytes + headerSize + 2, listSize);
}

bool IsSoundFile(const wchar_t* path)
{
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return false;
    if (size.QuadPart > static_cast<LONGLONG>(largestFile)) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    DllBlock<unsigned char> bytes(DllHeap::AllocArray<unsigned char>(static_cast<size_t>(size.QuadPart)));
    if (!bytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.Get(), static_cast<DWORD>(size.QuadPart), &got, nullptr))
        return false;
    if (!IsSound(bytes.Get(), got)) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    return true;
}

} // namespace LinkFile
