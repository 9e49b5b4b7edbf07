// CRC-32 (the reflected 0xEDB88320 polynomial) by carry-less multiplication:
// the data is folded 64 bytes a step with PCLMULQDQ and reduced at the end,
// several times faster than any table. Only for processors that have the
// instruction; the table code handles the rest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Crc32Fold {

// True when the processor has PCLMULQDQ and SSE4.1 (decided once, while
// the library loads).
bool Available();

// The smallest input Update takes.
constexpr size_t minimumBytes = 64;

// Advances the running (inverted) register crc over the first
// n - n % 16 bytes of p, n >= minimumBytes; returns the new register.
// The caller processes the remaining n % 16 bytes.
uint32_t Update(uint32_t crc, const unsigned char* p, size_t n);

} // namespace Crc32Fold
