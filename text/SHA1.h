/* SHA-1 (FIPS 180) as plain C functions, for callers outside the class
   framework; they are exported by name through entry/PVDLL.def. A digest
   is 20 bytes; all zero bytes stand for "no digest". */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SHA1_CTX {
    unsigned int state[5];    /* chaining words */
    unsigned int count[2];    /* message length in bits, low word first */
    unsigned char buffer[64]; /* the block being filled */
} SHA1_CTX;

void SHA1_Init(SHA1_CTX* ctx);
void SHA1_Update(SHA1_CTX* ctx, const void* data, unsigned int n);
/* Writes the digest, then zero-fills the whole context so that nothing of
   the message stays behind in it. */
void SHA1_Final(SHA1_CTX* ctx, unsigned char digest[20]);
void SHA1_Calc(unsigned char digest[20], const void* data, unsigned int n);

void DoSHA1_Empty(unsigned char digest[20]);
/* Non-zero when all 20 bytes are zero (or digest is null). */
int IsSHA1_Empty(const unsigned char digest[20]);
/* The exclusive-or of the digest's five 32-bit words, each read
   little-endian. */
DWORD SHA1_to_DWORD(const unsigned char digest[20]);

#ifdef __cplusplus
}
#endif
