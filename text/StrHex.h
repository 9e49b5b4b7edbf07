// Hex and file-system-safe Base64 forms of binary data. The decoders take
// text from outside (registry values, file names, command lines), so they
// never read past the terminator nor write past the given capacity,
// whatever the text holds.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// Two upper-case hex digits ("%02lX"), terminated and cut to fit cch.
// Returns the number of digits written.
PVDLL_API int ByteToHex(wchar_t* out, unsigned cch, unsigned char b);
PVDLL_API int ByteToHex(char* out, unsigned cch, unsigned char b);

// Two upper-case digits per byte in memory order, terminated. Only whole
// bytes are written: the text stops before a pair that would not leave
// room for the terminator. Returns the number of digits written; a null
// out or a capacity of 0 writes nothing and returns 0.
PVDLL_API int BinToHex(wchar_t* out, unsigned cch, const void* data, unsigned n);
PVDLL_API int BinToHex(char* out, unsigned cch, const void* data, unsigned n);

// 0-15 for a hex digit of either case; any other character counts as 0.
PVDLL_API int HexToCode(wchar_t c);
// One byte from the two digits at p, the first one high. A single digit
// before the terminator gives its own value; an empty or null text gives 0.
PVDLL_API unsigned char HexToChar(const wchar_t* p);

// Decodes digit pairs (first digit high) into out, writing at most cb
// bytes and nothing when out is null. A final lone digit is a byte of its
// own value; non-hex characters count as 0. Returns the number of bytes the
// whole text encodes, so a call with a null out measures.
PVDLL_API unsigned HexToBin(void* out, unsigned cb, const wchar_t* hex);
// As HexToBin, then reverses the bytes that were written.
PVDLL_API unsigned HexToBinLE(void* out, unsigned cb, const wchar_t* hex);

// The text read in memory order into a little-endian integer:
// "78563412" gives 0x12345678.
PVDLL_API unsigned HexToUINT32(const wchar_t* hex);
PVDLL_API unsigned __int64 HexToUINT64(const wchar_t* hex);
// The inverse of "%X": at most 8 (16) digits, most significant first.
PVDLL_API unsigned unPrintfUINT32(const wchar_t* hex);
PVDLL_API unsigned __int64 unPrintfUINT64(const wchar_t* hex);

// The text in the system 8-bit code page (at most 260 bytes of it), as
// hex digits within cch. An empty or null text writes "00" and returns 0;
// otherwise returns 1.
PVDLL_API int StrToHex(wchar_t* out, unsigned cch, const wchar_t* str);
// The reverse: the decoded bytes, up to the first zero byte, read as
// system-code-page text into out (cut to fit cch). Returns 1, or 0 when
// out is null or cch is 0, and 0 with out empty when there is no memory
// to decode in.
PVDLL_API int HexToStr(wchar_t* out, unsigned cch, const wchar_t* hex);

// Base64 with the alphabet A-Z a-z 0-9 - _ and "=" padding, safe in file
// names. Unlike RFC 4648 the groups are packed little-endian: the first
// character carries the low six bits of the first byte.
//
// Returns the length of the whole text plus its terminator (4 per group of
// up to three bytes, plus 1; 0 for no data) whether or not out is null, so
// a first call with a null out sizes the buffer. Only whole groups that fit
// in cch are written; a result above cch means the text was cut.
PVDLL_API unsigned BinToBase64FS(wchar_t* out, unsigned cch, const void* data, unsigned n);
// Decodes whole groups of four characters into out, at most cb bytes
// (nothing when out is null). Each group writes three bytes while room
// remains, even a padded one; a character outside the alphabet ends its
// group's value. Returns the number of bytes the text stands for: per
// group 1 plus one for each of the third and fourth characters that is not
// "="; a trailing fragment of two or three characters counts but is not
// decoded.
PVDLL_API unsigned Base64FSToBin(void* out, unsigned cb, const wchar_t* text);
