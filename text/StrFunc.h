// Character and string functions on UTF-16 text: character classes, drive
// letters, case, one-pass cursor and measure-or-write primitives, string
// copies on the library's heap, searching, Z-lists and separator lists,
// trimming and tokens.
//
// A Z-list is strings laid end to end and closed by an empty string; a
// separator list is one string whose items are split by a given character.
// Case-insensitive compares upper-case both characters with CharUpperW.
#pragma once

#include <cstddef>

#include "base/PVDLLApi.h"

// --- character classes (non-zero for members) -------------------------------
PVDLL_API int IsSep(wchar_t c);               // \ and /
PVDLL_API int IsWhiteChar(wchar_t c);         // tab, LF, CR, space
PVDLL_API int IsAlphaChar(wchar_t c);         // ASCII letters only
PVDLL_API int IsCapitalChar(wchar_t c);       // A-Z
PVDLL_API int IsNumChar(wchar_t c);           // 0-9
PVDLL_API int IsHexChar(wchar_t c);           // 0-9, A-F, a-f
PVDLL_API int IsAlphaNumChar(wchar_t c);      // A-Z, a-z, 0-9
// ! " ' ( ) * + , - . / : ; = ? [ \ ] ^ ` { | } ~  (not # $ % & < > @ _)
PVDLL_API int IsPunctuationChar(wchar_t c);
// Space and the ASCII symbols 33-126 except letters, digits and ".
PVDLL_API int IsMiscChar(wchar_t c);
PVDLL_API int IsCodeChar(wchar_t c);          // 0-31 and 127
// 32 and above except 127, plus tab, LF, form feed, CR and 26.
PVDLL_API int IsPrintableChar(wchar_t c);
// The same on a byte taken as unsigned, so 128-255 are printable.
PVDLL_API int IsPrintableChar(char c);
// Numeric keypad operators and the OEM punctuation keys.
PVDLL_API int IsMiscVK(unsigned vk);

// --- drive letters --------------------------------------------------------
// 0-25 for A-Z or a-z, -1 for anything else.
PVDLL_API int GetDrive(wchar_t c);
PVDLL_API int IsValidDrive(int d);
PVDLL_API int IsFloppyDrive(int d);
PVDLL_API wchar_t GetDriveLetter(int d);

// --- case (through CharLowerW / CharUpperW) --------------------------------
PVDLL_API wchar_t CharToLower(wchar_t c);
PVDLL_API wchar_t CharToUpper(wchar_t c);
// Convert the one character at p in place.
PVDLL_API void CharToLower(wchar_t* p);
PVDLL_API void CharToUpper(wchar_t* p);
// Whole strings in place; return s.
PVDLL_API wchar_t* StrToLower(wchar_t* s);
PVDLL_API wchar_t* StrToUpper(wchar_t* s);
// Upper-cases the first ASCII letter of every whitespace-separated word.
PVDLL_API void StrCapitalizeAll(wchar_t* s);
PVDLL_API void StrRot13(wchar_t* s);

// --- cursor primitives, for writing text in one pass -------------------------
// Copies one character and advances both; non-zero unless it was the
// terminator.
PVDLL_API int CharCopy(wchar_t*& dst, const wchar_t*& src);
// Copies the string with its terminator; both end just past the terminator.
PVDLL_API void StrCopy(wchar_t*& dst, const wchar_t*& src);
// Stores ch and advances, unless dst is null.
PVDLL_API void CharAdd(wchar_t*& dst, wchar_t ch);
// Advance by one character and return the new (IncPsz) or the old (PszInc)
// position.
PVDLL_API wchar_t* IncPsz(wchar_t*& p);
PVDLL_API const wchar_t* IncPsz(const wchar_t*& p);
PVDLL_API wchar_t* PszInc(wchar_t*& p);
PVDLL_API const wchar_t* PszInc(const wchar_t*& p);
// Steps back by one character unless p is already at start.
PVDLL_API wchar_t* DecPsz(const wchar_t* start, wchar_t*& p);
PVDLL_API const wchar_t* DecPsz(const wchar_t* start, const wchar_t*& p);
PVDLL_API wchar_t CharAt(const wchar_t* p);
// Length of an 8-bit string, counting at most 32767 bytes. An overload
// beside the C library's wcslen(const wchar_t*), which it leaves alone.
PVDLL_API size_t wcslen(const char* s);

// --- measure or write: a null dst writes nothing, count still grows ----------
// Copies src without its terminator; src ends at its terminator, dst past
// what was written.
PVDLL_API void StrCopy(wchar_t*& dst, const wchar_t*& src, unsigned& count);
PVDLL_API void CopyStr(wchar_t*& dst, const wchar_t* src, unsigned& count);
// As CopyStr, then a terminator, counted too.
PVDLL_API void CopyStrZ(wchar_t*& dst, const wchar_t* src, unsigned& count);
PVDLL_API void CharAdd(wchar_t*& dst, wchar_t ch, unsigned& count);

// --- copies on the library's heap -------------------------------------------
// Releases s (zero-filling its len + 1 characters first when wipe is
// non-zero), then makes s a copy of src and len its length; a null src
// leaves s null and len 0. src may point into s. Without memory for the
// copy, s and len stay as they were and the last error is
// ERROR_NOT_ENOUGH_MEMORY.
PVDLL_API void StrAllocCopy(wchar_t*& s, unsigned& len, const wchar_t* src, int wipe);
// Releases s and makes it a copy of src; a null or empty src leaves s null.
// src may point into s. Without memory for the copy, s stays as it was.
PVDLL_API void StrRealloc(wchar_t*& s, const wchar_t* src);
// Zero-fills n characters (a fill the optimiser cannot drop).
PVDLL_API void StrErase(wchar_t* s, unsigned n);
// Releases any block this library handed out; the caller's own allocator
// must never see one.
PVDLL_API void FreeDllBuf(void* block);

// --- searching and comparing --------------------------------------------------
// Index of the first ch, or -1 (also for a null str or ch 0).
PVDLL_API int FindChar(const wchar_t* str, wchar_t ch);
PVDLL_API int strPos(const wchar_t* str, wchar_t ch);
PVDLL_API int StrCharCount(const wchar_t* str, wchar_t ch);
// How many characters of str occur in set.
PVDLL_API int StrCountChars(const wchar_t* str, const wchar_t* set);
// Non-empty and all ASCII digits.
PVDLL_API int IsNumStr(const wchar_t* str);
// The first n characters are equal; does not stop at terminators, so both
// must hold n characters. n 0 gives non-zero.
PVDLL_API int StrAreEquN(const wchar_t* a, const wchar_t* b, unsigned n);
// A null prefix: 1. An empty prefix: non-zero when str is non-empty.
PVDLL_API int StrStartsWith(const wchar_t* str, const wchar_t* prefix, int ignoreCase);
// Exact: the prefix's length when str begins with a non-empty prefix, else 0.
PVDLL_API int StrStartsWith(const wchar_t* str, const wchar_t* prefix);
// Index of the Z-list item equal to str, or -1.
PVDLL_API int StrFindInList(const wchar_t* zlist, const wchar_t* str, int ignoreCase);
// str equals a whole item of the Z-list; an empty str is never found.
PVDLL_API int IsStrInListZ(const wchar_t* str, const wchar_t* zlist, int ignoreCase);
PVDLL_API int GetStrCountInListZ(const wchar_t* zlist);
// str equals a whole item of the separator list. Empty items count ("a;;b",
// "a;"), and the empty string matches them; an empty list holds nothing.
PVDLL_API int IsStrInList(const wchar_t* str, const wchar_t* list, wchar_t sep, int ignoreCase);
// All n bytes equal b; null or n 0 gives 0.
PVDLL_API int IsMemSetTo(const void* buf, unsigned char b, unsigned n);

// --- trimming and cleaning, in place ----------------------------------------
// Remove leading and trailing tab, LF, CR and space; return s. Nothing
// before the first character is ever read or written. Null gives null.
PVDLL_API wchar_t* StrTrimW(wchar_t* s);
PVDLL_API wchar_t* TrimStr(wchar_t* s);
// Deletes every & and every "..." (menu mnemonics and ellipses).
PVDLL_API void StrRemoveAmpAndDots(wchar_t* s);
// Replaces each of the first n characters that is not printable, the
// terminator included, with a dot.
PVDLL_API void MakeStrPrintable(wchar_t* s, unsigned n);

// --- tokens -------------------------------------------------------------------
// Delimiters are a set of characters; a run of them counts as one and a
// leading run is skipped.

// State of StrTokCtx.
struct STR_TOK_CTX {
    wchar_t* pNext;         // where the next scan starts; null when exhausted
    unsigned int chDelim;   // the delimiter the last call cut, 0 when none
};

// With a non-null str starts there, else continues at next. Returns the
// next token, cut at the delimiter that ends it; next then points past that
// delimiter, or is null at the end. Null when no token is left.
PVDLL_API wchar_t* StrTokEx(wchar_t* str, const wchar_t* delims, wchar_t*& next);
// As StrTokEx, but each call first puts back the delimiter the previous call
// cut, so the string is whole again once null is returned. A non-null str
// starts afresh and ignores whatever ctx held.
PVDLL_API wchar_t* StrTokCtx(wchar_t* str, const wchar_t* delims, STR_TOK_CTX* ctx);
PVDLL_API int GetTokenCount(const wchar_t* str, const wchar_t* delims);
// Token number index (from 0) of the first 255 characters of str, cut to
// 255 characters, in one process-wide buffer that the next call overwrites.
// Null when index is negative or there is no such token.
PVDLL_API wchar_t* GetToken(const wchar_t* str, const wchar_t* delims, int index);
