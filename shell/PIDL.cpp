#include "shell/PIDL.h"

#include <shlwapi.h>

#include <climits>
#include <cstring>
#include <utility>

#include "base/ZnList.h"
#include "storage/RegKey.h"

iMalloc PIDL::csiMem;

namespace {

// Registry values larger than this are no list of ours.
constexpr DWORD maxStoredList = 4096;
// SHGDN_INCLUDE_NONFILESYS | SHGDN_INFOLDER.
constexpr SHGDNF displayNameFlags = 0x2001;
// Characters some namespaces put before a name to order it; they are not
// part of what a person reads.
constexpr wchar_t sortPrefixA = 0x5555;
constexpr wchar_t sortPrefixB = 0xAAAA;
// Names asked of a folder are cut to a path's length.
constexpr unsigned nameChars = MAX_PATH;

BYTE* Bytes(LPCITEMIDLIST list)
{
    return reinterpret_cast<BYTE*>(const_cast<ITEMIDLIST*>(list));
}

LPITEMIDLIST AsList(const BYTE* at)
{
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(at));
}

// Item counts are read byte-wise: a list in a serialised buffer or an
// array block need not be aligned.
unsigned ReadCount(const BYTE* at)
{
    USHORT count;
    memcpy(&count, at, sizeof count);
    return count;
}

void WriteTerminator(BYTE* at)
{
    memset(at, 0, PIDL::iMinSize);
}

// An item too short to hold its own count ends a walk as the terminator
// does: stepping over it would read its neighbour's bytes as counts.
unsigned ItemSize(const BYTE* at)
{
    unsigned count = ReadCount(at);
    return count < PIDL::iMinSize ? 0 : count;
}

ComPtr<IShellFolder> Desktop()
{
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.Put());
    return desktop;
}

ComPtr<IShellFolder> RootOrDesktop(IShellFolder* root)
{
    if (!root)
        return Desktop();
    root->AddRef();
    return ComPtr<IShellFolder>(root);
}

// The folder of item when it is one, else folder itself: the next item is
// then asked of the same folder.
void Descend(ComPtr<IShellFolder>& folder, LPCITEMIDLIST item)
{
    ComPtr<IShellFolder> child;
    if (SUCCEEDED(folder->BindToObject(item, nullptr, IID_IShellFolder, child.PutVoid())) && child)
        folder = std::move(child);
}

// A name the folder gave, into buffer; the STRRET's own memory is freed
// whatever its kind.
bool NameOf(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags, wchar_t* buffer, unsigned size)
{
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(item, flags, &name)))
        return false;
    return SUCCEEDED(StrRetToBufW(&name, item, buffer, size));
}

int FirstChar(const wchar_t* buffer, unsigned size)
{
    return buffer && size ? buffer[0] : 0;
}

void Append(wchar_t* buffer, unsigned size, const wchar_t* text)
{
    unsigned used = static_cast<unsigned>(lstrlenW(buffer));
    if (used + 1 < size)
        lstrcpynW(buffer + used, text, static_cast<int>(size - used));
}

// An order for two items their folder could not compare: by their bytes,
// never "equal", so that such lists are not taken for the same item.
int FallbackOrder(const BYTE* a, const BYTE* b)
{
    unsigned sizeA = ItemSize(a);
    unsigned sizeB = ItemSize(b);
    int order = memcmp(a, b, sizeA < sizeB ? sizeA : sizeB);
    if (order == 0)
        order = sizeA < sizeB ? -1 : 1;
    return order < 0 ? -1 : 1;
}

// CompareAbs's walk; rest is where a stands when the walk ends (on its
// terminator for equal lists, below b when b ended first).
int Walk(IShellFolder* root, LPCITEMIDLIST a, LPCITEMIDLIST b, const BYTE** rest)
{
    const BYTE* atA = Bytes(a);
    const BYTE* atB = Bytes(b);
    *rest = atA;
    if (!a || !b)
        return !a && !b ? 0 : !a ? -2 : 2;
    ComPtr<IShellFolder> folder = RootOrDesktop(root);
    for (;;) {
        *rest = atA;
        unsigned sizeA = ItemSize(atA);
        unsigned sizeB = ItemSize(atB);
        if (!sizeA || !sizeB)
            return !sizeA && !sizeB ? 0 : !sizeA ? -2 : 2;
        PIDL itemA;
        PIDL itemB;
        if (!folder || !itemA.CopyOne(AsList(atA)) || !itemB.CopyOne(AsList(atB)))
            return FallbackOrder(atA, atB);
        HRESULT hr = folder->CompareIDs(0, itemA, itemB);
        if (FAILED(hr))
            return FallbackOrder(atA, atB);
        short order = static_cast<short>(HRESULT_CODE(hr));
        if (order)
            return order < 0 ? -1 : 1;
        Descend(folder, itemA);
        atA += sizeA;
        atB += sizeB;
    }
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// "C:\" or "\\server": where MakeRoot stops.
bool IsRootPath(const wchar_t* path)
{
    wchar_t letter = path[0];
    bool isLetter = (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
    if (isLetter && path[1] == L':' && IsSeparator(path[2]) && !path[3])
        return true;
    if (!IsSeparator(path[0]) || !IsSeparator(path[1]) || !path[2])
        return false;
    for (const wchar_t* c = path + 2; *c; ++c)
        if (IsSeparator(*c))
            return false;
    return true;
}

BOOL CALLBACK ObtainAllocator(PINIT_ONCE, void* place, void**)
{
    SHGetMalloc(static_cast<ComPtr<IMalloc>*>(place)->Put());
    return TRUE;
}

} // namespace

// --- the allocator --------------------------------------------------------------

IMalloc* iMalloc::Get()
{
    InitOnceExecuteOnce(&once, ObtainAllocator, &allocator, nullptr);
    return allocator.Get();
}

void* iMalloc::Alloc(SIZE_T bytes)
{
    IMalloc* shell = Get();
    return shell ? shell->Alloc(bytes) : nullptr;
}

void* iMalloc::Realloc(void* block, SIZE_T bytes)
{
    IMalloc* shell = Get();
    return shell ? shell->Realloc(block, bytes) : nullptr;
}

void iMalloc::Free(void* block)
{
    IMalloc* shell = block ? Get() : nullptr;
    if (shell)
        shell->Free(block);
}

SIZE_T iMalloc::GetSize(void* block)
{
    IMalloc* shell = block ? Get() : nullptr;
    return shell ? shell->GetSize(block) : static_cast<SIZE_T>(-1);
}

// --- one owned list ----------------------------------------------------------------

PIDL::PIDL(LPCITEMIDLIST list) : pidl(CloneFull(list)) {}

PIDL::PIDL(const PIDL& other) : pidl(CloneFull(other.pidl)) {}

PIDL& PIDL::operator=(const PIDL& other)
{
    if (this == &other)
        return *this;
    if (other.pidl)
        CopyAll(other.pidl);
    else
        Free();
    return *this;
}

PIDL::PIDL(PIDL&& other) noexcept : pidl(std::exchange(other.pidl, nullptr)) {}

PIDL& PIDL::operator=(PIDL&& other) noexcept
{
    if (this != &other)
        Attach(std::exchange(other.pidl, nullptr));
    return *this;
}

PIDL::~PIDL()
{
    Free();
}

LPITEMIDLIST PIDL::Detach()
{
    return std::exchange(pidl, nullptr);
}

void PIDL::Attach(LPITEMIDLIST list)
{
    if (list != pidl)
        Free(std::exchange(pidl, list));
}

int PIDL::Attach(int csidl)
{
    Free();
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) {
        Free(list);
        return 0;
    }
    pidl = list;
    return 1;
}

int PIDL::Make()
{
    LPITEMIDLIST empty = Alloc(iMinSize);
    if (!empty)
        return 0;
    WriteTerminator(Bytes(empty));
    Attach(empty);
    return 1;
}

int PIDL::Reset()
{
    return Make();
}

void PIDL::Free()
{
    Free(std::exchange(pidl, nullptr));
}

bool PIDL::Holds(const void* address) const
{
    if (!pidl || !address)
        return false;
    SIZE_T extent = GetSizeTotal();
    SIZE_T block = csiMem.GetSize(pidl);
    if (block != static_cast<SIZE_T>(-1) && block > extent)
        extent = block;
    const BYTE* at = static_cast<const BYTE*>(address);
    return at >= Bytes(pidl) && at < Bytes(pidl) + extent;
}

int PIDL::CopyOne(LPCITEMIDLIST list)
{
    return ReplaceBy(list, GetSizeOne(list));
}

int PIDL::CopyAll(LPCITEMIDLIST list)
{
    return ReplaceBy(list, GetSizeAll(list));
}

// The new block is filled before the old one goes, so the source may lie
// inside the list being replaced.
int PIDL::ReplaceBy(LPCITEMIDLIST source, unsigned bytes)
{
    LPITEMIDLIST copy = Alloc(bytes + iMinSize);
    if (!copy)
        return 0;
    Copy(copy, source, bytes);
    WriteTerminator(Bytes(copy) + bytes);
    Attach(copy);
    return 1;
}

int PIDL::AppendOne(LPCITEMIDLIST item)
{
    return AppendBytes(item, GetSizeOne(item));
}

int PIDL::AppendAll(LPCITEMIDLIST list)
{
    return AppendBytes(list, GetSizeAll(list));
}

int PIDL::AppendBytes(LPCITEMIDLIST source, unsigned bytes)
{
    if (!pidl && !Make())
        return 0;
    if (!bytes)
        return 1;
    // Growing may move the block, and the source with it.
    if (Holds(source)) {
        PIDL copy(source);
        return copy.pidl && AppendBytes(copy.pidl, bytes);
    }
    unsigned own = GetSizeAll();
    void* grown = csiMem.Realloc(pidl, static_cast<SIZE_T>(own) + bytes + iMinSize);
    if (!grown)
        return 0;
    pidl = static_cast<LPITEMIDLIST>(grown);
    Copy(Bytes(pidl) + own, source, bytes);
    WriteTerminator(Bytes(pidl) + own + bytes);
    return 1;
}

void PIDL::RemoveLast()
{
    if (LPITEMIDLIST last = GetLast())
        WriteTerminator(Bytes(last));
}

int PIDL::IsIE(HWND owner) const
{
    return IsSpecialFolder(owner, CSIDL_INTERNET);
}

int PIDL::IsSpecialFolder(HWND owner, int csidl) const
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &list)) || !list) {
        Free(list);
        return 0;
    }
    PIDL special;
    special.Attach(list);
    return pidl && IsEquial(pidl, special) ? 1 : 0;
}

LPITEMIDLIST PIDL::GetChildOf(LPCITEMIDLIST parent) const
{
    if (!pidl)
        return nullptr;
    const BYTE* rest = nullptr;
    int order = Walk(nullptr, pidl, parent, &rest);
    return order == 0 || order == 2 ? AsList(rest) : nullptr;
}

unsigned PIDL::GetPut(int store, BYTE* buffer)
{
    return GetPut(store, buffer, UINT_MAX);
}

unsigned PIDL::GetPut(int store, BYTE* buffer, unsigned bufferSize)
{
    if (store) {
        if (!pidl)
            return 0;
        unsigned bytes = GetSizeAll();
        if (buffer) {
            if (bytes + iMinSize > bufferSize)
                return 0;
            Copy(buffer, pidl, bytes);
            WriteTerminator(buffer + bytes);
        }
        return bytes + iMinSize;
    }
    // A list that is not whole inside the buffer is not taken, and its
    // length of 0 ends a read of several lists.
    unsigned length = GetSizeTotal(AsList(buffer), bufferSize);
    if (!length || !CopyAll(AsList(buffer)))
        return 0;
    return length;
}

// The value is read in one call into a buffer of the largest size taken,
// so what is checked is what was read, whatever the value became since a
// size was asked.
int PIDL::Persist(int store, RegKey& key, const wchar_t* valueName)
{
    if (store) {
        if (GetCount())
            key.PutBin(valueName, pidl, GetSizeTotal(), REG_BINARY);
        else
            key.DelValue(valueName);
        return 1;
    }
    BYTE data[maxStoredList];
    DWORD type = REG_NONE;
    DWORD bytes = sizeof data;
    if (key.IsOpen() && RegQueryValueExW(key.GetHandle(), valueName, nullptr, &type, data, &bytes) == ERROR_SUCCESS
        && type == REG_BINARY && bytes >= 1 && bytes <= sizeof data && IsValid(AsList(data), bytes))
        CopyAll(AsList(data));
    return 1;
}

// --- any list ------------------------------------------------------------------------

LPITEMIDLIST PIDL::Alloc(unsigned bytes)
{
    return static_cast<LPITEMIDLIST>(csiMem.Alloc(bytes));
}

void PIDL::Free(LPITEMIDLIST list)
{
    csiMem.Free(list);
}

void PIDL::Copy(void* destination, const void* source, unsigned bytes)
{
    if (bytes)
        memmove(destination, source, bytes);
}

LPITEMIDLIST PIDL::CloneFull(LPCITEMIDLIST list)
{
    if (!list)
        return nullptr;
    PIDL copy;
    return copy.CopyAll(list) ? copy.Detach() : nullptr;
}

LPITEMIDLIST PIDL::GetFirst(LPCITEMIDLIST list)
{
    return IsEmpty(list) ? nullptr : const_cast<LPITEMIDLIST>(list);
}

LPITEMIDLIST PIDL::GetNext(LPCITEMIDLIST list)
{
    if (IsEmpty(list))
        return nullptr;
    const BYTE* next = Bytes(list) + ItemSize(Bytes(list));
    return ItemSize(next) ? AsList(next) : nullptr;
}

unsigned PIDL::GetSizeOne(LPCITEMIDLIST list)
{
    return list ? ItemSize(Bytes(list)) : 0;
}

unsigned PIDL::GetSizeAll(LPCITEMIDLIST list)
{
    if (!list)
        return 0;
    const BYTE* at = Bytes(list);
    while (unsigned size = ItemSize(at))
        at += size;
    return static_cast<unsigned>(at - Bytes(list));
}

unsigned PIDL::GetSizeTotal(LPCITEMIDLIST list)
{
    return list ? GetSizeAll(list) + iMinSize : 0;
}

// Every step checks that the count, the item and a terminator after it
// lie inside the buffer before anything there is read.
unsigned PIDL::GetSizeTotal(LPCITEMIDLIST list, unsigned bufferSize)
{
    if (!list)
        return 0;
    const BYTE* at = Bytes(list);
    unsigned pos = 0;
    for (;;) {
        if (bufferSize - pos < iMinSize)
            return 0;
        unsigned count = ReadCount(at + pos);
        if (count == 0)
            return pos + iMinSize;
        if (count < iMinSize || count > bufferSize - pos - iMinSize)
            return 0;
        pos += count;
    }
}

unsigned PIDL::GetCount(LPCITEMIDLIST list)
{
    unsigned count = 0;
    for (const BYTE* at = Bytes(list); at && ItemSize(at); at += ItemSize(at))
        ++count;
    return count;
}

int PIDL::IsEmpty(LPCITEMIDLIST list)
{
    return !list || !ItemSize(Bytes(list));
}

LPITEMIDLIST PIDL::GetLast(LPCITEMIDLIST list)
{
    if (IsEmpty(list))
        return nullptr;
    const BYTE* last = Bytes(list);
    for (const BYTE* next = last + ItemSize(last); ItemSize(next); next += ItemSize(next))
        last = next;
    return AsList(last);
}

LPITEMIDLIST PIDL::GetEnd(LPCITEMIDLIST list)
{
    return IsEmpty(list) ? nullptr : AsList(Bytes(list) + GetSizeAll(list));
}

void PIDL::MakeRoot(LPITEMIDLIST list)
{
    if (IsEmpty(list))
        return;
    wchar_t path[MAX_PATH];
    if (!SHGetPathFromIDListW(list, path)) {
        WriteTerminator(Bytes(list));
        return;
    }
    while (!IsRootPath(path)) {
        WriteTerminator(Bytes(GetLast(list)));
        if (IsEmpty(list))
            return;
        if (!SHGetPathFromIDListW(list, path))
            path[0] = L'\0';
    }
}

int PIDL::IsValid(LPCITEMIDLIST list, unsigned size)
{
    if (!list)
        return size == 0;
    return size && GetSizeTotal(list, size) == size;
}

int PIDL::CompareAbs(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    return CompareAbs(nullptr, a, b);
}

int PIDL::CompareAbs(IShellFolder* root, LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    const BYTE* rest = nullptr;
    return Walk(root, a, b, &rest);
}

int PIDL::IsEquialOrChildOf(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    int order = CompareAbs(a, b);
    return order == 0 || order == -2;
}

int PIDL::GetDisplayPath(LPCITEMIDLIST list, wchar_t* buffer, unsigned size)
{
    return GetDisplayPath(nullptr, list, buffer, size);
}

int PIDL::GetDisplayPath(IShellFolder* root, LPCITEMIDLIST list, wchar_t* buffer, unsigned size)
{
    if (!buffer || !size)
        return 0;
    buffer[0] = L'\0';
    if (!list)
        return 0;
    ComPtr<IShellFolder> folder = RootOrDesktop(root);
    if (!folder)
        return 0;
    if (IsEmpty(list)) {
        if (!NameOf(folder.Get(), list, SHGDN_NORMAL, buffer, size))
            buffer[0] = L'\0';
        return buffer[0];
    }
    for (const BYTE* at = Bytes(list); ItemSize(at); at += ItemSize(at)) {
        PIDL item;
        STRRET answer = {};
        if (!item.CopyOne(AsList(at)) || FAILED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER, &answer)))
            break;
        wchar_t name[nameChars];
        if (FAILED(StrRetToBufW(&answer, item, name, nameChars)))
            name[0] = L'\0';
        const wchar_t* shown = name;
        while (*shown == sortPrefixA || *shown == sortPrefixB)
            ++shown;
        if (*shown) {
            if (buffer[0])
                Append(buffer, size, L" \u00BB ");
            Append(buffer, size, shown);
        }
        Descend(folder, item);
    }
    return buffer[0];
}

int PIDL::GetDisplayFileName(LPCITEMIDLIST list, wchar_t* buffer, unsigned size)
{
    if (!buffer || !size)
        return 0;
    buffer[0] = L'\0';
    if (!list)
        return 0;
    if (IsEmpty(list)) {
        ComPtr<IShellFolder> desktop = Desktop();
        if (!desktop || !NameOf(desktop.Get(), list, SHGDN_NORMAL, buffer, size))
            buffer[0] = L'\0';
        return FirstChar(buffer, size);
    }
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD last = nullptr;
    if (FAILED(SHBindToParent(list, IID_IShellFolder, parent.PutVoid(), &last)) || !parent
        || !NameOf(parent.Get(), last, SHGDN_INFOLDER, buffer, size))
        buffer[0] = L'\0';
    return FirstChar(buffer, size);
}

int PIDL::GetDisplayName(LPCITEMIDLIST list, wchar_t* buffer, unsigned size)
{
    if (!buffer || !size)
        return 0;
    buffer[0] = L'\0';
    ComPtr<IShellFolder> desktop = list ? Desktop() : ComPtr<IShellFolder>();
    if (!desktop || !NameOf(desktop.Get(), list, displayNameFlags, buffer, size))
        buffer[0] = L'\0';
    return FirstChar(buffer, size);
}

// --- several lists in one buffer ------------------------------------------------------

unsigned PIDL::GetPutPIDLList(ZnList& list, unsigned count, int store, BYTE* buffer)
{
    return GetPutPIDLList(list, count, store, buffer, UINT_MAX);
}

unsigned PIDL::GetPutPIDLList(ZnList& list, unsigned, int store, BYTE* buffer, unsigned bufferSize)
{
    if (store && buffer) {
        // Measured first, so that a buffer too small gets nothing at all.
        unsigned needed = GetPutPIDLList(list, 0, 1, nullptr, 0);
        if (needed > bufferSize)
            return 0;
    }
    if (!store && !buffer)
        return 0;
    unsigned total = 0;
    for (POS pos = list.GetHeadPos(); pos;) {
        PIDL* one = static_cast<PIDL*>(list.GetNext(pos));
        if (!one)
            continue;
        if (store) {
            total += one->GetPut(1, buffer ? buffer + total : nullptr, buffer ? bufferSize - total : UINT_MAX);
            continue;
        }
        unsigned read = one->GetPut(0, buffer + total, bufferSize - total);
        if (!read)
            break;
        total += read;
    }
    return total;
}
