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

wchar_t* CopyText(const wchar_t* text, size_t length)
{
    wchar_t* copy = AllocArray<wchar_t>(length + 1);
    if (copy) {
        CopyMemory(copy, text, length * sizeof(wchar_t));
        copy[length] = L'\0';
    }
    return copy;
}

void Free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

} // namespace DllHeap
