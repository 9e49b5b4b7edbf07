// The heap behind every block the library allocates and may hand out
// (nodes, string copies, buffers). One heap for all of them is what lets
// FreeDllBuf release any such block, whichever module holds it.
//
// The library's error policy, for every exported function:
// - Nothing is thrown across the library's boundary: no C++ exception and
//   no structured one raised for the caller.
// - Running out of memory is a failure like any other: Alloc answers null
//   and the caller fails with its documented failure result (0, null,
//   false), after giving back whatever it had taken and without having
//   written half a result. The library never uses a throwing `new`;
//   objects are made with `new (std::nothrow)` and checked.
// - The platform's error code of a failure is left as the thread's last
//   error (see LastErrorPreserver for clean-up that must not disturb it).
#pragma once

#include <cstddef>

#include "base/Owners.h"

namespace DllHeap {

// Null when the memory is not there. A size of 0 gives a block of 1 byte.
void* Alloc(size_t bytes);
void* AllocZero(size_t bytes);
void Free(void* block);

// Typed forms for the common case of an array of count items: null when
// the memory is not there or count * sizeof(T) does not fit a size_t.
template <typename T>
T* AllocArray(size_t count)
{
    return count > SIZE_MAX / sizeof(T) ? nullptr : static_cast<T*>(Alloc(count * sizeof(T)));
}
template <typename T>
T* AllocArrayZero(size_t count)
{
    return count > SIZE_MAX / sizeof(T) ? nullptr : static_cast<T*>(AllocZero(count * sizeof(T)));
}

// A terminated copy of the first length characters of text; null when the
// memory is not there.
wchar_t* CopyText(const wchar_t* text, size_t length);

template <typename T>
void FreeBlock(T* block) noexcept
{
    Free(block);
}

} // namespace DllHeap

// Owner of one block of the library's heap.
template <typename T>
using DllBlock = Owner<HandleKind<T*, &DllHeap::FreeBlock<T>>>;
