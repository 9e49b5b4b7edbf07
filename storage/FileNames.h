// File names: checking them, making a valid name out of any text, and a
// reversible encoding that keeps the characters a file name cannot hold as
// "&#58;"-style sequences. Outputs hold 260 characters; what does not fit
// is cut at a whole character or sequence, and always terminated.
#pragma once

#include "base/PVDLLApi.h"

// For messages: the characters a name cannot hold, separated by blanks.
PVDLL_API const wchar_t* GetInvalidFileNameChars();
PVDLL_API const wchar_t* GetInvalidFolderNameChars();

// Non-empty and free of \ / : * ? " < > |.
PVDLL_API int IsValidFileName(const wchar_t* name);
// Begins with a drive letter and ":" or with two backslashes; after those
// two characters has no doubled separator and none of : * ? " < > |.
PVDLL_API int IsValidFolderName(const wchar_t* path);
// A valid file name in 8.3 form: at most 8 characters before the last "."
// and at most 4 from it.
PVDLL_API int IsValidAltFileName(const wchar_t* name);

// The ten characters " * . / : < > ? \ | become "-" (flags & 1: are
// dropped); spaces are kept (flags & 2: dropped). 1 when all of in fitted.
// out may be in.
PVDLL_API int FixFileName(wchar_t* out, const wchar_t* in, int flags);
// Each of the same ten characters becomes "&#" its decimal code ";". 1 when
// all of in fitted. out must not be in.
PVDLL_API int EncodeFileName(wchar_t* out, const wchar_t* in);
// Turns "&#" number ";" back into its character when the number is one of
// the ten; a sequence for any other number is dropped. 1 when all of in
// fitted. out may be in.
//
// Text that already held such a sequence before encoding decodes to the
// character, as names stored by earlier versions expect.
PVDLL_API int DecodeFileName(wchar_t* out, const wchar_t* in);

// Writes a second terminator after the string when the buffer of cch
// characters has room, making it a one-item Z-list. 0 when there is no
// room or no terminator within cch.
PVDLL_API int AppendSecondTermZero(wchar_t* buf, unsigned cch);
