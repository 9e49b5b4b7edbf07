// Item id lists: the shell's addresses of its items. An absolute list is a
// run of items below the desktop, each a 16-bit little-endian byte count
// (the count includes its own two bytes) and opaque data, ended by an item
// whose count is 0; the terminator alone is the desktop itself.
//
// PIDL owns one such list, allocated with the shell allocator, and gives
// what the framework does with lists: sizes and counts, copy and append,
// comparison in the shell's own order, the part below a parent, the drive
// or server root, display names, a flat serialised form and storage in the
// registry.
//
// Lists that come from outside (registry values, serialised buffers, the
// clipboard) are taken only after a walk bounded by their buffer's size has
// found them whole. The forms without a size trust that the list at hand is
// one the process made itself; they still refuse an item count of 1 (too
// short to hold its own count), which ends a walk as the terminator does.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"

class RegKey;
class ZnList;

// The process's shell allocator, obtained on first use (never while the
// library is being loaded) and released when the library goes.
class PVDLL_API iMalloc {
public:
    constexpr iMalloc() noexcept = default;
    ~iMalloc() = default;
    iMalloc(const iMalloc&) = delete;
    iMalloc& operator=(const iMalloc&) = delete;

    // Null when the memory (or the allocator) is not there.
    void* Alloc(SIZE_T bytes);
    // Null, with block left as it was, when the memory is not there.
    void* Realloc(void* block, SIZE_T bytes);
    void Free(void* block);
    // The block's size; (SIZE_T)-1 when it cannot be told.
    SIZE_T GetSize(void* block);

    // The allocator itself, null when the shell gives none.
    IMalloc* Get();

private:
    INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    ComPtr<IMalloc> allocator;
};

class PVDLL_API PIDL {
public:
    // The smallest list: the terminator alone. An enumerator rather than a
    // static member, so that a module using it imports no data.
    enum : unsigned { iMinSize = 2 };
    // Every list of the class is allocated and freed through it.
    static iMalloc csiMem;

    PIDL() noexcept : pidl(nullptr) {}
    // A copy of list (null stays null).
    explicit PIDL(LPCITEMIDLIST list);
    // A deep copy: two objects never own one list.
    PIDL(const PIDL& other);
    PIDL& operator=(const PIDL& other);
    PIDL(PIDL&& other) noexcept;
    PIDL& operator=(PIDL&& other) noexcept;
    ~PIDL();

    LPITEMIDLIST GetPointer() const { return pidl; }
    operator LPCITEMIDLIST() const { return pidl; }
    // Gives the list up: the caller frees it (PIDL::Free).
    LPITEMIDLIST Detach();

    // Takes list over without copying (the object then frees it).
    void Attach(LPITEMIDLIST list);
    // The special folder's list; 1 when the shell gave one, else the
    // object is null and the result 0.
    int Attach(int csidl);
    // An empty list (the desktop); 0 when the memory is not there.
    int Make();
    int Reset();
    void Free();

    unsigned GetSizeOne() const { return GetSizeOne(pidl); }
    unsigned GetSizeAll() const { return GetSizeAll(pidl); }
    unsigned GetSizeTotal() const { return GetSizeTotal(pidl); }
    unsigned GetCount() const { return GetCount(pidl); }
    int IsEmpty() const { return IsEmpty(pidl); }
    LPITEMIDLIST GetLast() const { return GetLast(pidl); }
    LPITEMIDLIST GetEnd() const { return GetEnd(pidl); }

    // Each replaces the list by a copy (an empty list for a null source);
    // the source may lie inside this object's own list. 0, with the object
    // unchanged, when the memory is not there.
    int CopyOne(LPCITEMIDLIST list);
    int CopyAll(LPCITEMIDLIST list);
    // Append the first item / every item of list, keeping one terminator.
    int AppendOne(LPCITEMIDLIST item);
    int AppendAll(LPCITEMIDLIST list);
    // The item before the last becomes the last; the block keeps its size.
    void RemoveLast();
    void MakeRoot() { MakeRoot(pidl); }

    int IsIE(HWND owner) const;
    int IsSpecialFolder(HWND owner, int csidl) const;
    int CompareAbs(LPCITEMIDLIST other) const { return CompareAbs(pidl, other); }
    // The part of this list below parent (a pointer into it), or null.
    LPITEMIDLIST GetChildOf(LPCITEMIDLIST parent) const;

    // Each returns the first character of the name written (0: none).
    int GetDisplayName(wchar_t* buffer, unsigned size) const { return GetDisplayName(pidl, buffer, size); }
    int GetDisplayFileName(wchar_t* buffer, unsigned size) const { return GetDisplayFileName(pidl, buffer, size); }
    int GetDisplayPath(wchar_t* buffer, unsigned size) const { return GetDisplayPath(pidl, buffer, size); }

    // store != 0: writes the serialised list into buffer (when given) and
    // returns its length, 0 for a null object. store == 0: takes the list
    // serialised at buffer and returns its length; this form trusts the
    // buffer to hold a whole list (see the bounded form for outside data).
    unsigned GetPut(int store, BYTE* buffer);
    // The same bounded by bufferSize: a store that does not fit writes
    // nothing and returns 0 (a null buffer measures); a read takes only a
    // list that ends inside the buffer and returns 0, leaving the object
    // as it was, for anything else.
    unsigned GetPut(int store, BYTE* buffer, unsigned bufferSize);
    // store != 0: the list as a REG_BINARY value (an empty list deletes
    // the value). store == 0: a REG_BINARY value of at most 4096 bytes that
    // holds exactly one whole list replaces the list; anything else leaves
    // the object as it was. Returns 1.
    int Persist(int store, RegKey& key, const wchar_t* valueName);

    // --- on any list (a null list counts as empty unless said otherwise) ---
    static LPITEMIDLIST Alloc(unsigned bytes);
    static void Free(LPITEMIDLIST list);
    // A plain byte copy (the ranges may overlap).
    static void Copy(void* destination, const void* source, unsigned bytes);
    // A new copy of list; null for null or when the memory is not there.
    static LPITEMIDLIST CloneFull(LPCITEMIDLIST list);
    // The first item, or null when there is none.
    static LPITEMIDLIST GetFirst(LPCITEMIDLIST list);
    // The item after the first, or null when there is none.
    static LPITEMIDLIST GetNext(LPCITEMIDLIST list);
    static unsigned GetSizeOne(LPCITEMIDLIST list);
    static unsigned GetSizeAll(LPCITEMIDLIST list);
    static unsigned GetSizeTotal(LPCITEMIDLIST list);
    // The serialised length of the whole list that starts the bufferSize
    // bytes at list, or 0 when no whole list ends inside them.
    static unsigned GetSizeTotal(LPCITEMIDLIST list, unsigned bufferSize);
    static unsigned GetCount(LPCITEMIDLIST list);
    static int IsEmpty(LPCITEMIDLIST list);
    static LPITEMIDLIST GetLast(LPCITEMIDLIST list);
    // The terminator, or null for a null or empty list.
    static LPITEMIDLIST GetEnd(LPCITEMIDLIST list);
    // Cuts list, in place, back to the root of its file-system path: a
    // drive or a server; a list without such a path becomes the desktop.
    static void MakeRoot(LPITEMIDLIST list);
    // 1 when the size bytes at list are exactly one whole list (null: only
    // for size 0). The walk never reads past size.
    static int IsValid(LPCITEMIDLIST list, unsigned size);

    // 0: the same item; -2: a is an ancestor of b (or null while b is
    // not); 2: the other way round; -1/1: the first items that differ, in
    // their folder's order. Items their folder cannot compare count as
    // different.
    static int CompareAbs(LPCITEMIDLIST a, LPCITEMIDLIST b);
    // The same walk starting in root instead of the desktop.
    static int CompareAbs(IShellFolder* root, LPCITEMIDLIST a, LPCITEMIDLIST b);
    static int IsEquial(LPCITEMIDLIST a, LPCITEMIDLIST b) { return CompareAbs(a, b) == 0; }
    // 1 when b is a or lies below it.
    static int IsEquialOrChildOf(LPCITEMIDLIST a, LPCITEMIDLIST b);

    // The names of all items joined by " » ", every one cut to the buffer.
    static int GetDisplayPath(LPCITEMIDLIST list, wchar_t* buffer, unsigned size);
    // The same with the names asked of root and the folders below it.
    static int GetDisplayPath(IShellFolder* root, LPCITEMIDLIST list, wchar_t* buffer, unsigned size);
    static int GetDisplayFileName(LPCITEMIDLIST list, wchar_t* buffer, unsigned size);
    static int GetDisplayName(LPCITEMIDLIST list, wchar_t* buffer, unsigned size);

    // Every PIDL* of list in turn, from its head, as GetPut does with one
    // (count is not consulted). A read stops at a list of length 0;
    // returns the bytes written or read.
    static unsigned GetPutPIDLList(ZnList& list, unsigned count, int store, BYTE* buffer);
    // Bounded by bufferSize: a store that does not fit whole writes
    // nothing and returns 0; a read stops at the first list that does not
    // end inside the buffer.
    static unsigned GetPutPIDLList(ZnList& list, unsigned count, int store, BYTE* buffer, unsigned bufferSize);

private:
    // Whether address lies in this object's block.
    bool Holds(const void* address) const;
    int ReplaceBy(LPCITEMIDLIST source, unsigned bytes);
    int AppendBytes(LPCITEMIDLIST source, unsigned bytes);

    LPITEMIDLIST pidl;
};
