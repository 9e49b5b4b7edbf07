// The heap behind every block the library allocates and may hand out
// (nodes, string copies, buffers). One heap for all of them is what lets
// FreeDllBuf release any such block, whichever module holds it.
// Internal to the library.
#pragma once

#include <cstddef>

namespace DllHeap {

// Running out of memory raises the platform's out-of-memory exception
// (STATUS_NO_MEMORY) instead of returning null.
void* Alloc(size_t bytes);
void* AllocZero(size_t bytes);
// Null instead of the exception, for blocks whose size comes from outside
// (a file's length) and may simply be more than the process can have.
void* TryAlloc(size_t bytes);
void Free(void* block);

} // namespace DllHeap
