// Probes for the text tests: a hook on the library's HeapFree import, to see
// a block in the instant before it is released, and memory that ends where
// an inaccessible page begins, so any read past the end faults.
#pragma once

#include <windows.h>

#include <cstring>

#include "common/ImportHook.h"

// While alive, HeapFree calls made by the library on the watched block
// record whether the block was all zero bytes at that moment.
class HeapFreeSpy {
public:
    HeapFreeSpy(const void* block, size_t bytes) : hook("kernel32.dll", "HeapFree", reinterpret_cast<void*>(&Spy))
    {
        watched = block;
        watchedBytes = bytes;
        seen = false;
        wasZero = false;
        active = &hook;
    }
    ~HeapFreeSpy() { active = nullptr; }
    HeapFreeSpy(const HeapFreeSpy&) = delete;
    HeapFreeSpy& operator=(const HeapFreeSpy&) = delete;

    bool Hooked() const { return hook.Hooked(); }
    bool Seen() const { return seen; }
    bool WasZero() const { return wasZero; }

private:
    typedef BOOL(WINAPI* HeapFreeFn)(HANDLE, DWORD, LPVOID);

    static BOOL WINAPI Spy(HANDLE heap, DWORD flags, LPVOID block)
    {
        if (block && block == watched) {
            seen = true;
            auto* p = static_cast<const unsigned char*>(block);
            wasZero = true;
            for (size_t i = 0; i < watchedBytes; ++i)
                wasZero = wasZero && p[i] == 0;
        }
        HeapFreeFn original = active ? active->Original<HeapFreeFn>() : &HeapFree;
        return original(heap, flags, block);
    }

    ImportHook hook;
    static inline const void* watched;
    static inline size_t watchedBytes;
    static inline bool seen;
    static inline bool wasZero;
    static inline ImportHook* active;
};

// A copy of count characters placed so that the last one is the last
// readable character before a no-access page.
class AtPageEnd {
public:
    AtPageEnd(const wchar_t* data, size_t count)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        page = si.dwPageSize;
        base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base + page, page, PAGE_NOACCESS, &old);
        ptr = reinterpret_cast<wchar_t*>(base + page) - count;
        std::memcpy(ptr, data, count * sizeof(wchar_t));
    }
    ~AtPageEnd() { VirtualFree(base, 0, MEM_RELEASE); }
    AtPageEnd(const AtPageEnd&) = delete;
    AtPageEnd& operator=(const AtPageEnd&) = delete;

    wchar_t* Get() const { return ptr; }

private:
    BYTE* base;
    size_t page;
    wchar_t* ptr;
};
