// Probes for the text tests: a hook on the library's HeapFree import, to see
// a block in the instant before it is released, the guarded buffers of
// common/GuardedBuffer.h, and repeatable random data.
#pragma once

#include <windows.h>

#include <random>
#include <vector>

#include "common/ImportHook.h"
#include "common/GuardedBuffer.h"

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

// The same n bytes for the same seed, on every run.
inline std::vector<unsigned char> RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<unsigned char> v(n);
    for (auto& b : v)
        b = static_cast<unsigned char>(rng());
    return v;
}
