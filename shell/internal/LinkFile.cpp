#include "shell/internal/LinkFile.h"

#include <windows.h>

#include <cstring>

#include "base/Owners.h"
#include "base/internal/DllHeap.h"

namespace LinkFile {

namespace {

constexpr size_t headerSize = 0x4C;
constexpr size_t largestFile = 1024 * 1024;

// Header flags: which parts follow the header.
constexpr unsigned hasTargetIdList = 0x1;
constexpr unsigned hasLinkInfo = 0x2;
constexpr unsigned stringFlags[] = {0x4, 0x8, 0x10, 0x20, 0x40};  // name, relative path, dir, args, icon
constexpr unsigned isUnicode = 0x80;

// 00021401-0000-0000-C000-000000000046, as stored (little-endian fields).
constexpr unsigned char shellLinkClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Bounded reads over one region of the file: every field that the shell's
// parser would trust is checked against the region it must lie in.
class Region {
public:
    Region(const unsigned char* bytes, size_t size) : p(bytes), n(size) {}

    size_t Size() const { return n; }
    bool Has(size_t at, size_t count) const { return at <= n && count <= n - at; }
    unsigned U16(size_t at) const { return Has(at, 2) ? p[at] | (p[at + 1] << 8) : 0; }
    unsigned U32(size_t at) const
    {
        return Has(at, 4) ? p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | (static_cast<unsigned>(p[at + 3]) << 24)
                          : 0;
    }
    Region Sub(size_t at, size_t count) const { return Has(at, count) ? Region(p + at, count) : Region(p, 0); }
    const unsigned char* At(size_t at) const { return p + at; }

    // A text of units of width bytes that starts at at and ends with its
    // terminator inside the region.
    bool TerminatedAt(size_t at, size_t width) const
    {
        for (; Has(at, width); at += width)
            if (p[at] == 0 && (width == 1 || p[at + 1] == 0))
                return true;
        return false;
    }
    // The same where 0 means "none".
    bool OptionalTextAt(size_t at, size_t width) const { return at == 0 || TerminatedAt(at, width); }

private:
    const unsigned char* p;
    size_t n;
};

// items: the id list's bytes (its size field excluded).
bool IdListIsFramed(const Region& items)
{
    size_t at = 0;
    while (items.Has(at, 2)) {
        unsigned cb = items.U16(at);
        if (cb == 0)
            return true;  // the terminator
        if (cb < 2 || !items.Has(at + cb, 2))
            return false;  // too short, or it runs over the terminator's place
        at += cb;
    }
    return false;
}

// A part that begins with its own 32-bit size: true, with part set, when
// that size is at least minimum and the part lies inside region.
bool SizedPart(const Region& region, size_t at, unsigned minimum, Region& part)
{
    unsigned size = region.U32(at);
    if (size < minimum || !region.Has(at, size))
        return false;
    part = region.Sub(at, size);
    return true;
}

bool VolumeIdIsSound(const Region& info, size_t at)
{
    Region volume(nullptr, 0);
    if (!SizedPart(info, at, 0x10, volume))
        return false;
    unsigned labelAt = volume.U32(12);
    if (labelAt == 0x14)  // the label is in the wide form, at the offset that follows
        return volume.Has(16, 4) && volume.TerminatedAt(volume.U32(16), 2);
    return volume.TerminatedAt(labelAt, 1);
}

bool NetworkLinkIsSound(const Region& info, size_t at)
{
    Region link(nullptr, 0);
    if (!SizedPart(info, at, 0x14, link))
        return false;
    unsigned flags = link.U32(4);
    unsigned netNameAt = link.U32(8);
    unsigned deviceNameAt = link.U32(12);
    if (!link.TerminatedAt(netNameAt, 1) || ((flags & 1) && !link.TerminatedAt(deviceNameAt, 1)))
        return false;
    if (netNameAt > 0x14 && link.Size() >= 0x1C)  // the wide forms follow
        return link.OptionalTextAt(link.U32(0x14), 2) && ((flags & 1) == 0 || link.OptionalTextAt(link.U32(0x18), 2));
    return true;
}

// The location part; at is where it starts, past returns where it ends.
bool LinkInfoIsSound(const Region& file, size_t at, size_t& past)
{
    Region info(nullptr, 0);
    if (!SizedPart(file, at, 0x1C, info))
        return false;
    const size_t size = info.Size();
    past = at + size;
    unsigned header = info.U32(4);
    unsigned flags = info.U32(8);
    if (header != 0x1C && (header < 0x24 || header > size))
        return false;
    if ((flags & 1) &&
        (!VolumeIdIsSound(info, info.U32(12)) || !info.TerminatedAt(info.U32(16), 1)))
        return false;
    if ((flags & 2) && !NetworkLinkIsSound(info, info.U32(20)))
        return false;
    if (!info.OptionalTextAt(info.U32(24), 1))
        return false;
    if (header >= 0x24)
        return info.OptionalTextAt(info.U32(28), 2) && info.OptionalTextAt(info.U32(32), 2);
    return true;
}

// The fixed sizes of the extra blocks whose readers take a whole structure.
unsigned FixedBlockSize(unsigned signature)
{
    switch (signature) {
    case 0xA0000001:  // environment variables
    case 0xA0000006:  // installer
    case 0xA0000007:  // icon environment
        return 0x314;
    case 0xA0000002:  // console
        return 0xCC;
    case 0xA0000003:  // tracker
        return 0x60;
    case 0xA0000004:  // console code page
        return 0x0C;
    case 0xA0000005:  // special folder
        return 0x10;
    case 0xA000000B:  // known folder
        return 0x1C;
    default:
        return 0;
    }
}

bool ExtraDataIsSound(const Region& file, size_t at)
{
    for (;;) {
        if (!file.Has(at, 4))
            return file.Size() == at;  // the terminal block may be missing at the very end
        unsigned size = file.U32(at);
        if (size < 4)
            return true;  // the terminal block
        if (size < 8 || !file.Has(at, size))
            return false;
        unsigned fixed = FixedBlockSize(file.U32(at + 4));
        if (fixed && size != fixed)
            return false;
        if (file.U32(at + 4) == 0xA000000C && !IdListIsFramed(file.Sub(at + 8, size - 8)))
            return false;  // an id list of its own
        at += size;
    }
}

} // namespace

bool IsSound(const unsigned char* bytes, size_t size)
{
    Region file(bytes, bytes ? size : 0);
    if (!file.Has(0, headerSize) || file.U32(0) != headerSize ||
        std::memcmp(file.At(4), shellLinkClass, sizeof shellLinkClass) != 0)
        return false;
    const unsigned flags = file.U32(20);
    size_t at = headerSize;
    if (flags & hasTargetIdList) {
        size_t listSize = file.U16(at);
        if (!file.Has(at + 2, listSize) || !IdListIsFramed(file.Sub(at + 2, listSize)))
            return false;
        at += 2 + listSize;
    }
    if ((flags & hasLinkInfo) && !LinkInfoIsSound(file, at, at))
        return false;
    const size_t unit = (flags & isUnicode) ? 2 : 1;
    for (unsigned flag : stringFlags) {
        if (!(flags & flag))
            continue;
        size_t count = file.U16(at);
        if (!file.Has(at + 2, count * unit))
            return false;
        at += 2 + count * unit;
    }
    return ExtraDataIsSound(file, at);
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
