#include "base/internal/NodePool.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "base/Owners.h"

namespace NodePool {

namespace {

// Every slab starts on a multiple of its size, so a block finds its slab
// by masking its address. Slabs are this large because each one is a
// mapping of its own, and unmapping thousands of small ones costs more
// than all the work on their blocks.
constexpr size_t slabSize = 256 * 1024;

struct Slab {
    void* reservation;  // what VirtualFree releases: the slab lies inside
    Slab* next;  // among the slabs that have a free block
    Slab* prev;
    void* released;   // blocks given back, linked through their first word
    char* untouched;  // the first block never handed out
    unsigned used;    // blocks handed out
    bool listed;      // in the list of slabs that have a free block
};

constexpr size_t firstBlock = (sizeof(Slab) + 15) & ~size_t(15);
constexpr unsigned blocksPerSlab = static_cast<unsigned>((slabSize - firstBlock) / blockSize);
static_assert(blockSize % 8 == 0 && blockSize >= sizeof(void*));

// The lock is held for a dozen instructions, never across a system call,
// so a waiter spins instead of sleeping at once; a platform lock costs
// more than the work it would guard.
std::atomic<bool> busy{false};

void Lock()
{
    while (busy.exchange(true, std::memory_order_acquire)) {
        for (unsigned spin = 0; busy.load(std::memory_order_relaxed); ++spin) {
            if (spin < 128)
                YieldProcessor();
            else if (spin < 256)
                SwitchToThread();
            else
                Sleep(1);  // the holder was preempted: let it run, whatever its priority
        }
    }
}

void Unlock()
{
    busy.store(false, std::memory_order_release);
}

Slab* withRoom = nullptr;
Slab* spare = nullptr;

void Link(Slab* slab)
{
    slab->prev = nullptr;
    slab->next = withRoom;
    if (withRoom)
        withRoom->prev = slab;
    withRoom = slab;
    slab->listed = true;
}

void Unlink(Slab* slab)
{
    if (slab->prev)
        slab->prev->next = slab->next;
    else
        withRoom = slab->next;
    if (slab->next)
        slab->next->prev = slab->prev;
    slab->listed = false;
}

// The system aligns a mapping to 64 KB only, so an aligned slab is
// committed inside a reservation of twice its size; the rest stays mere
// address space.
Slab* NewSlab()
{
    VirtualRegion reservation(VirtualAlloc(nullptr, 2 * slabSize, MEM_RESERVE, PAGE_NOACCESS));
    if (!reservation)
        return nullptr;
    uintptr_t start = (reinterpret_cast<uintptr_t>(reservation.Get()) + slabSize - 1) & ~uintptr_t(slabSize - 1);
    auto* slab = static_cast<Slab*>(VirtualAlloc(reinterpret_cast<void*>(start), slabSize, MEM_COMMIT, PAGE_READWRITE));
    if (!slab)
        return nullptr;
    slab->reservation = reservation.Release();
    slab->released = nullptr;
    slab->untouched = reinterpret_cast<char*>(slab) + firstBlock;
    slab->used = 0;
    return slab;
}

void FreeSlab(Slab* slab)
{
    VirtualRegion(slab->reservation).Reset();
}

// Returns the spare slab to the system when the library is unloaded;
// lists that outlive it still release their nodes correctly afterwards.
struct SpareRelease {
    ~SpareRelease()
    {
        Lock();
        Slab* slab = spare;
        spare = nullptr;
        Unlock();
        if (slab)
            FreeSlab(slab);
    }
} spareRelease;

} // namespace

void* Alloc()
{
    Lock();
    Slab* slab = withRoom;
    if (!slab && spare) {
        slab = spare;
        spare = nullptr;
        Link(slab);
    }
    while (!slab) {
        // Mapped outside the lock; meanwhile another thread may have
        // linked a slab too, and both serve.
        Unlock();
        Slab* fresh = NewSlab();
        if (!fresh)
            return nullptr;
        Lock();
        Link(fresh);
        slab = withRoom;
    }
    void* block = slab->released;
    if (block) {
        slab->released = *static_cast<void**>(block);
    } else {
        block = slab->untouched;
        slab->untouched += blockSize;
    }
    if (++slab->used == blocksPerSlab)
        Unlink(slab);
    Unlock();
    return block;
}

void Free(void* block)
{
    if (!block)
        return;
    auto* slab = reinterpret_cast<Slab*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t(slabSize - 1));
    Slab* unused = nullptr;
    Lock();
    *static_cast<void**>(block) = slab->released;
    slab->released = block;
    if (--slab->used == 0) {
        if (slab->listed)
            Unlink(slab);
        // Emptied: it starts over as the spare, or goes back to the system.
        slab->released = nullptr;
        slab->untouched = reinterpret_cast<char*>(slab) + firstBlock;
        if (spare)
            unused = slab;
        else
            spare = slab;
    } else if (!slab->listed) {
        Link(slab);
    }
    Unlock();
    if (unused)
        FreeSlab(unused);
}

} // namespace NodePool
