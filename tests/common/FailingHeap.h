// Out of memory on demand: the library's heap, or its address space,
// refuses while one of these is alive. Only the library's own calls are
// refused (through its import table); the test's allocations work.
#pragma once

#include <windows.h>

#include <set>

#include "common/ImportHook.h"

// While alive, the library's heap grants the first `allow` blocks and
// refuses every later one; it keeps account of the blocks granted and not
// yet given back.
class FailingHeap {
public:
    explicit FailingHeap(int allow = 0)
        : alloc("kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(&Alloc)),
          free("kernel32.dll", "HeapFree", reinterpret_cast<void*>(&Free))
    {
        left = allow;
        refused = 0;
        live.clear();
        self = this;
    }
    ~FailingHeap() { self = nullptr; }
    FailingHeap(const FailingHeap&) = delete;
    FailingHeap& operator=(const FailingHeap&) = delete;

    bool Hooked() const { return alloc.Hooked() && free.Hooked(); }
    int Refused() const { return refused; }
    // Blocks granted while the heap was failing that are still held.
    size_t Live() const { return live.size(); }
    // A block the function handed out on purpose; it is not a leak.
    void Forget(const void* block) { live.erase(const_cast<void*>(block)); }

private:
    typedef LPVOID(WINAPI* AllocFn)(HANDLE, DWORD, SIZE_T);
    typedef BOOL(WINAPI* FreeFn)(HANDLE, DWORD, LPVOID);

    static LPVOID WINAPI Alloc(HANDLE heap, DWORD flags, SIZE_T bytes)
    {
        if (self && left <= 0) {
            ++refused;
            return nullptr;
        }
        AllocFn original = self ? self->alloc.Original<AllocFn>() : &HeapAlloc;
        LPVOID block = original(heap, flags, bytes);
        if (self && block) {
            --left;
            live.insert(block);
        }
        return block;
    }

    static BOOL WINAPI Free(HANDLE heap, DWORD flags, LPVOID block)
    {
        if (self)
            live.erase(block);
        FreeFn original = self ? self->free.Original<FreeFn>() : &HeapFree;
        return original(heap, flags, block);
    }

    ImportHook alloc;
    ImportHook free;
    static inline FailingHeap* self = nullptr;
    static inline int left = 0;
    static inline int refused = 0;
    static inline std::set<void*> live;
};

// While alive, the library can reserve no new address space, so its node
// pool finds no slab once the ones it has are full.
class NoAddressSpace {
public:
    NoAddressSpace() : hook("kernel32.dll", "VirtualAlloc", reinterpret_cast<void*>(&Refuse)) {}
    bool Hooked() const { return hook.Hooked(); }

private:
    static LPVOID WINAPI Refuse(LPVOID, SIZE_T, DWORD, DWORD)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    ImportHook hook;
};
