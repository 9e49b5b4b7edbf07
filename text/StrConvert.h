// Conversions between UTF-16 and the 8-bit worlds: the system (ANSI) code
// page, the OEM code page and UTF-8, plus CVT, a scratch block for calling
// 8-bit interfaces from wide code.
#pragma once

#include "base/PVDLLApi.h"

// Each converts a zero-terminated source, terminator included, into at most
// count output units and returns what the platform converter returns: the
// units written (terminator included), 0 on failure. A count of 0 measures
// instead: nothing is written and the units needed are returned. When the
// output does not fit, the result is 0 but the output still holds as much
// as fits, terminated; a null source gives an empty output and 0.
PVDLL_API int mb2wc(const char* src, wchar_t* out, int count);
PVDLL_API int wc2mb(const wchar_t* src, char* out, int count);
PVDLL_API int mb2wcOEM(const char* src, wchar_t* out, int count);
PVDLL_API int wc2mbOEM(const wchar_t* src, char* out, int count);
PVDLL_API int utf82wc(const char* src, wchar_t* out, int count);
PVDLL_API int wc2utf8(const wchar_t* src, char* out, int count);

// One block, allocated on first use and sized for n + 1 wide characters
// (which also holds n + 1 bytes), so the 8-bit and the wide uses may share
// it in any order.
class PVDLL_API CVT {
public:
    CVT();
    explicit CVT(unsigned n);
    ~CVT();

    // The block belongs to this object alone.
    CVT(const CVT&) = delete;
    CVT& operator=(const CVT&) = delete;

    unsigned GetSize() const { return nSize; }

    wchar_t* T_W(wchar_t* s) { return s; }
    // s in the system code page, at most n bytes, in the block.
    char* T_A(wchar_t* s);
    // The block as a wide buffer, for an 8-bit call to fill (capacity n).
    wchar_t* A_T();
    // The block, read as system-code-page text, into out (n characters).
    int A_T(wchar_t* out);
    // The block, read as wide text, into out (n bytes).
    int T_A(char* out);

private:
    wchar_t* Block();

    wchar_t* pBlock;
    unsigned nSize;
};
