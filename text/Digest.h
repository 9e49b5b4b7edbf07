// Checksums and the MD5 digest. The SHA-1 functions are in text/SHA1.h.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// The standard CRC-32 of zip and PNG: reflected polynomial 0xEDB88320,
// all-ones start, final complement. No data gives 0.
PVDLL_API unsigned CRC32(const void* data, unsigned n);

// A plain CRC, most significant bit first: not reflected, starting at 0,
// no final complement (so poly 0x1021 gives CRC-16/XMODEM). 16 bits wide
// when poly is at most 0xFFFF, else 32 bits wide.
PVDLL_API unsigned _cc_(const void* data, unsigned n, unsigned poly);
// Stores crc big-endian at data[n], in 2 or 4 bytes as the width of poly
// says; the caller provides the room. Returns the number of bytes stored.
PVDLL_API int _ca_(void* data, unsigned n, unsigned crc, unsigned poly);
// Seals a record of n bytes whose last 2 or 4 bytes hold its check: stores
// there the _cc_ of the bytes before them and returns non-zero when _cc_
// over the whole record is then 0. A record too short to hold the check is
// left alone and gives 0.
PVDLL_API int _cm_(void* data, unsigned n, unsigned poly);

// The MD5 digest (RFC 1321) of n bytes.
PVDLL_API void CalcMD5(unsigned char out[16], const void* data, unsigned n);
