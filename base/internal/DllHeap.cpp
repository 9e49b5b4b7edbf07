#include "base/internal/DllHeap.h"

#include <windows.h>

namespace DllHeap {

void* Alloc(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1);
}

void* AllocZero(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
}

void Free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

} // namespace DllHeap
