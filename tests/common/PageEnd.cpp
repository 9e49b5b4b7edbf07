#include "common/PageEnd.h"

namespace {

size_t PageSize()
{
    static size_t page = [] {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        return static_cast<size_t>(si.dwPageSize);
    }();
    return page;
}

// The guard pages of the live blocks, for the crash reports; a fixed table
// keeps the lookup safe inside an exception handler.
constexpr int maxGuards = 256;
const BYTE* volatile guards[maxGuards];

void AddGuard(const BYTE* page)
{
    for (auto& slot : guards)
        if (!slot) {
            slot = page;
            return;
        }
}

void RemoveGuard(const BYTE* page)
{
    for (auto& slot : guards)
        if (slot == page)
            slot = nullptr;
}

} // namespace

PageEndBlock::~PageEndBlock()
{
    Release();
}

void PageEndBlock::Release()
{
    if (!base)
        return;
    RemoveGuard(base + dataBytes);
    VirtualFree(base, 0, MEM_RELEASE);
    base = nullptr;
    dataBytes = 0;
    start = nullptr;
    size = 0;
}

void* PageEndBlock::Resize(size_t bytes)
{
    const size_t page = PageSize();
    if (!base || bytes > dataBytes) {
        Release();
        size_t pages = (bytes + page - 1) / page;
        if (pages == 0)
            pages = 1;
        base = static_cast<BYTE*>(VirtualAlloc(nullptr, (pages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base)
            return nullptr;
        dataBytes = pages * page;
        DWORD old;
        VirtualProtect(base + dataBytes, page, PAGE_NOACCESS, &old);
        AddGuard(base + dataBytes);
    }
    start = base + dataBytes - bytes;
    size = bytes;
    std::memset(start, 0xCD, bytes);
    return start;
}

void* PageEndBlock::Place(const void* data, size_t bytes)
{
    void* p = Resize(bytes);
    if (p && bytes)
        std::memcpy(p, data, bytes);
    return p;
}

bool PageEndBlock::IsGuardAddress(const void* addr)
{
    const BYTE* a = static_cast<const BYTE*>(addr);
    const size_t page = PageSize();
    for (const BYTE* g : guards)
        if (g && a >= g && a < g + page)
            return true;
    return false;
}
