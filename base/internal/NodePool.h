// Small fixed-size blocks for the list's nodes, faster than the general
// heap: nodes come from 256 KB slabs, handed out and taken back under one
// short lock, and a slab goes back to the system as soon as its last node
// does (one empty slab is kept back, so a list that empties and fills
// again does not map and unmap a slab each time). Safe for any thread; a
// block may be released on another thread than the one that took it.
// Internal to the library.
#pragma once

#include <cstddef>

namespace NodePool {

// Blocks of blockSize bytes (aligned to 8); null when no memory is left,
// as the library's heap answers.
constexpr size_t blockSize = 24;
void* Alloc();
// Only a block from Alloc; null is ignored.
void Free(void* block);

} // namespace NodePool
