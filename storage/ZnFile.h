// ZnFile: a CoreFile with a memory-mapped view, secure deletion, and the
// text functions that read text files in any of eight formats into UTF-16
// with CR LF line ends and write them back.
//
// Text files are outside input: any byte sequence of any length, a file
// that changes between two calls. The text reads never write past the
// capacity they are given; a text that does not fit answers 0xFFFFFFFF.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "storage/CoreFile.h"

class UniPath;

// How a text file looks on disk. In memory, text is always UTF-16 with
// CR LF line ends.
enum ZnFileTextFmt {
    fmtNone = 0,       // not determined, or no text
    fmtAnsi = 1,       // system code page, CR LF (or no line ends), no mark
    fmtUnicode = 2,    // UTF-16 little-endian, FF FE
    fmtUnicodeBE = 3,  // UTF-16 big-endian, FE FF
    fmtUTF8 = 4,       // UTF-8 with EF BB BF
    fmtUTF8Unix = 5,   // UTF-8 with the mark, LF line ends
    fmtAnsiUnix = 6,   // system code page, LF line ends
    fmtBinary = 7,     // 8-bit data holding control characters
};

// How many times a file is overwritten before it is deleted; any other
// value deletes without overwriting.
enum WipeMethod {
    wipeNone = 0,
    wipeZeros = 1,     // once with 0x00
    wipeThreePass = 2, // 0x55, 0xAA, then 0x00
};

class PVDLL_API ZnFile : public CoreFile {
public:
    // Called after each chunk a wipe writes, with the pass index (from 0)
    // and the bytes just written; 0 cancels the wipe.
    typedef int (*WipeProgress)(void* context, int pass, unsigned long bytes);

    ZnFile();
    ZnFile(const wchar_t* path, int write);
    ZnFile(const wchar_t* path, unsigned long access, unsigned long share,
           unsigned long disposition, unsigned long flags);
    ~ZnFile() override;

    // Releases the view and the mapping, then the file.
    void Close() override;

    // Maps size bytes (0: up to the end of the file) from offset, read-write
    // when the file is open for writing; a writable mapping beyond the end
    // grows the file. The view starts at offset rounded down to the
    // allocation granularity and still covers all requested bytes. Returns
    // the address of offset inside the view, or null. Any earlier mapping
    // is released first.
    void* OpenMap(unsigned __int64 offset, unsigned long sizeLow, unsigned long sizeHigh);
    void CloseMap();

    // --- secure deletion ---
    static int GetWipePasses(WipeMethod method);
    // Overwrites the file as the method says, renames it with WipeRename
    // and deletes it. A cancel leaves the file partly overwritten under its
    // own name; a failed rename brings the file back to its own name.
    static int WipeDelete(const wchar_t* path, WipeMethod method, int notify, WipeProgress progress,
                          void* context);
    // Renames the file twice inside its folder, to names of U+5555 and then
    // U+AAAA that make the whole path 258 characters long. path is a
    // buffer of 260 characters; it holds the name the file carries
    // afterwards, also when the second rename failed. A folder that leaves
    // no room for a name fails without renaming.
    static int WipeRename(wchar_t* path);
    // Made only of the two wipe characters (an empty name too).
    static int IsWipedName(const wchar_t* name);
    // The Z-list of folder + "\" + name for each name of the Z-list names.
    // Measure-or-write: with a null out, the characters needed (final
    // terminator included); otherwise the characters written, or 0 (and
    // an empty list) when they do not fit in cch.
    static unsigned MakeDeleteList(const wchar_t* folder, const wchar_t* names, wchar_t* out, unsigned cch);

    // --- text files ---
    // The byte size for the text functions: 0 when the file does not open
    // or is empty, 0xFFFFFFFF when it does not fit 32 bits.
    static unsigned long GetFileSizeForText(const wchar_t* path);
    static unsigned long GetFileSizeForText(const UniPath& path);
    // Detects the format from the first 8192 bytes and returns the UTF-16
    // characters the whole text needs, terminator included (an upper bound
    // when the file is larger than the sample). size is the byte size from
    // GetFileSizeForText (0: take it from the file); when it cannot be
    // known the answer is 0xFFFFFFFF. A null fmt asks for no detection: a
    // known size then answers size * 2 + 1, enough for any format. 0 when
    // the file does not open or holds nothing.
    static unsigned long GetTextSize(const wchar_t* path, unsigned long* size, ZnFileTextFmt* fmt);
    static unsigned long GetTextSize(const UniPath& path, unsigned long* size, ZnFileTextFmt* fmt);
    // Reads size bytes (what the file holds, when size is 0 or 0xFFFFFFFF)
    // and converts them into out: the characters written plus 1, 0 when the
    // file does not open, 0xFFFFFFFF (with out empty) when the text does
    // not fit in cch. Characters that are not printable become replacement,
    // except in UTF-16, where only zero units do, as spaces.
    static unsigned long GetText(const wchar_t* path, unsigned long size, ZnFileTextFmt fmt, wchar_t* out,
                                 unsigned cch, wchar_t replacement);
    static unsigned long GetText(const UniPath& path, unsigned long size, ZnFileTextFmt fmt, wchar_t* out,
                                 unsigned cch, wchar_t replacement);
    // The whole text in a block to be released with FreeDllBuf; null on
    // failure (an empty file included). A non-zero *fmt is used as it is,
    // otherwise the detected format is stored there. count, when given,
    // receives what GetText answered: the characters plus 1.
    static wchar_t* ReadText(const wchar_t* path, unsigned* count, ZnFileTextFmt* fmt, wchar_t replacement);
    static wchar_t* ReadText(const UniPath& path, unsigned* count, ZnFileTextFmt* fmt, wchar_t replacement);
    // Replaces the file's content with the text in fmt (with the mark for
    // the UTF formats; an empty text leaves an empty file), never leaving
    // it half written. fmtNone and fmtBinary are refused before the file is
    // touched. With notify the shell hears of the created or updated file.
    static int WriteText(const wchar_t* path, const wchar_t* text, ZnFileTextFmt fmt, int notify);
    static int WriteText(const UniPath& path, const wchar_t* text, ZnFileTextFmt fmt, int notify);
    // Appends in the existing file's own format, without a mark. A missing,
    // empty, unreadable or binary file fails and is left as it was.
    static int AppendText(const wchar_t* path, const wchar_t* text, int notify);
    static int AppendText(const UniPath& path, const wchar_t* text, int notify);

    // Every character among the first n that is not printable (see
    // IsPrintableChar) becomes replacement.
    static void Sanitize(wchar_t* s, unsigned n, wchar_t replacement);
    static void Sanitize(char* s, unsigned n, char replacement);
    // Swaps the two bytes of every UTF-16 unit (an odd last byte stays).
    static void ReverseUnicodeBytes(unsigned char* p, unsigned long bytes);
    static void ReverseUnicodeBytes(wchar_t* p, unsigned chars);

protected:
    // The bytes of text in fmt, on the library's heap (DllHeap), and their
    // count in size (no terminator). Null, size 0, for an empty text and
    // for the formats that hold no text.
    static unsigned char* PrepareTextData(const wchar_t* text, ZnFileTextFmt fmt, unsigned long* size,
                                          int withMark);

    HANDLE hMap;
    void* pView;
};
