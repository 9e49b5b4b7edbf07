// The text functions of ZnFile: format detection, reading any of the eight
// formats into UTF-16 with CR LF line ends, and writing text back.
//
// A 32 MB file must read at the speed of the platform's own conversion, not
// at the speed of a character loop with allocations: UTF-16 is read straight
// into the caller's buffer, 8-bit text is mapped (or read in one piece) and
// converted with one platform call (several only past 256 MB, where a
// call's int counts end), and line ends are fixed in one linear pass.
#include "storage/ZnFile.h"

#include <shlobj.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "storage/FileQuery.h"
#include "storage/UniPath.h"
#include "storage/internal/LastError.h"
#include "base/internal/DllHeap.h"
#include "text/StrFunc.h"

namespace {

constexpr unsigned long tooSmall = 0xFFFFFFFF;
constexpr size_t sampleSize = 8192;
// The largest piece handed to one conversion call: well inside its int
// counts, whatever the expansion.
constexpr size_t convertChunk = 0x10000000;
constexpr size_t readChunk = 0x40000000;
// Growth of ReadText's buffer when the size cannot be known.
constexpr unsigned growFirst = 65536;
constexpr unsigned growLast = 268435456;

bool IsKnownSize(unsigned long size)
{
    return size != 0 && size != 0xFFFFFFFF;
}

bool IsUTF16(ZnFileTextFmt fmt)
{
    return fmt == fmtUnicode || fmt == fmtUnicodeBE;
}

bool IsUTF8(ZnFileTextFmt fmt)
{
    return fmt == fmtUTF8 || fmt == fmtUTF8Unix;
}

bool HasLineFeedEnds(ZnFileTextFmt fmt)
{
    return fmt == fmtUTF8Unix || fmt == fmtAnsiUnix;
}

bool HasUTF8Mark(const unsigned char* p, size_t n)
{
    return n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF;
}

// A character count as the text functions answer it: counts that do not
// fit 32 bits (or would read as the "does not fit" answer) are too large.
unsigned long Answer(unsigned long long chars)
{
    return chars >= tooSmall ? tooSmall : static_cast<unsigned long>(chars);
}

const wchar_t* PlainPath(const UniPath& path)
{
    return path.IsPidl() ? nullptr : path.Path();
}

unsigned long SizeForText(CoreFile& file)
{
    unsigned long long size = file.GetSize64();
    return size >= 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<unsigned long>(size);
}

// Reads up to n bytes, in as many calls as it takes; false on a read
// error (the end of the file is no error).
bool ReadUpTo(HANDLE file, void* buf, size_t n, size_t* got)
{
    *got = 0;
    while (*got < n) {
        DWORD chunk = static_cast<DWORD>(n - *got < readChunk ? n - *got : readChunk);
        DWORD done = 0;
        if (!ReadFile(file, static_cast<char*>(buf) + *got, chunk, &done, nullptr)) {
            CoreIOObj::SetLastWin32Error(GetLastError());
            return false;
        }
        *got += done;
        if (done < chunk)
            break;
    }
    return true;
}

// Where a long byte run may be cut without cutting a character: before a
// UTF-8 lead byte, or in a double-byte code page after a byte below 0x40,
// which is never the lead or trail byte of a pair.
size_t SplitPoint(UINT cp, const char* src, size_t limit)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
    size_t i = limit;
    if (cp == CP_UTF8) {
        while (i > limit - 3 && (p[i] & 0xC0) == 0x80)
            --i;
        return i;
    }
    CPINFO info;
    if (!GetCPInfo(cp, &info) || info.MaxCharSize == 1)
        return limit;
    while (i > limit - 4096 && p[i - 1] >= 0x40)
        --i;
    return i > limit - 4096 ? i : limit;
}

enum Conversion { convOk, convTooSmall, convFailed };

// len bytes in code page cp into at most room characters (no terminator).
Conversion ToWide(UINT cp, const char* src, size_t len, wchar_t* out, size_t room, size_t* written)
{
    *written = 0;
    while (len) {
        size_t n = len > convertChunk ? SplitPoint(cp, src, convertChunk) : len;
        size_t left = room - *written;
        if (!left)
            return convTooSmall;  // a capacity of 0 would only measure
        int got = MultiByteToWideChar(cp, 0, src, static_cast<int>(n), out + *written,
                                      static_cast<int>(left < INT_MAX ? left : INT_MAX));
        if (!got) {
            DWORD error = GetLastError();
            if (error == ERROR_INSUFFICIENT_BUFFER)
                return convTooSmall;
            CoreIOObj::SetLastWin32Error(error);
            return convFailed;
        }
        *written += static_cast<size_t>(got);
        src += n;
        len -= n;
    }
    return convOk;
}

// len characters into code page cp, out holding cap bytes; a null out
// measures. Never cuts a surrogate pair between two calls.
bool FromWide(UINT cp, const wchar_t* src, size_t len, char* out, size_t cap, size_t* written)
{
    *written = 0;
    while (len) {
        size_t n = len;
        if (n > convertChunk) {
            n = convertChunk;
            if (IS_HIGH_SURROGATE(src[n - 1]))
                --n;
        }
        size_t left = out ? cap - *written : 0;
        if (out && !left) {
            CoreIOObj::SetLastWin32Error(ERROR_INSUFFICIENT_BUFFER);
            return false;
        }
        int got = WideCharToMultiByte(cp, 0, src, static_cast<int>(n), out ? out + *written : nullptr,
                                      static_cast<int>(left < INT_MAX ? left : INT_MAX), nullptr, nullptr);
        if (!got) {
            CoreIOObj::SetLastWin32Error(GetLastError());
            return false;
        }
        *written += static_cast<size_t>(got);
        src += n;
        len -= n;
    }
    return true;
}

// Replaces what is not printable and, when asked, counts the line feeds
// that no carriage return precedes, in one pass. The quick test keeps the
// common characters away from the full rule.
size_t SanitizeCounting(wchar_t* s, size_t n, wchar_t replacement, bool countBare)
{
    size_t bare = 0;
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = s[i];
        if (c >= 32 && c != 127)
            continue;
        if (!IsPrintableChar(c))
            s[i] = replacement;
        else if (countBare && c == L'\n' && (i == 0 || s[i - 1] != L'\r'))
            ++bare;
    }
    return bare;
}

size_t CountBareLineFeeds(const unsigned char* p, size_t n)
{
    size_t bare = 0;
    for (size_t i = 0; i < n; ++i)
        if (p[i] == '\n' && (i == 0 || p[i - 1] != '\r'))
            ++bare;
    return bare;
}

// Puts a CR before each of the bare line feeds of s, working from the end
// so every character moves once. s has room for n + bare characters.
void InsertCarriageReturns(wchar_t* s, size_t n, size_t bare)
{
    size_t j = n + bare;
    for (size_t i = n; bare && i-- > 0;) {
        wchar_t c = s[i];
        bool lone = c == L'\n' && (i == 0 || s[i - 1] != L'\r');
        s[--j] = c;
        if (lone) {
            s[--j] = L'\r';
            --bare;
        }
    }
}

// Collapses CR LF to LF in place; the new length.
size_t CollapseLineEnds(unsigned char* p, size_t n)
{
    size_t j = 0;
    for (size_t i = 0; i < n; ++i)
        if (!(p[i] == '\r' && i + 1 < n && p[i + 1] == '\n'))
            p[j++] = p[i];
    return j;
}

// A single byte is taken as 8-bit text: one character and the terminator.
// Without detection the answer must hold the byte in any format the caller
// may then read it as, and a lone line feed read with LF line ends becomes
// CR LF: so it is size * 2 + 1, as for every other size.
unsigned long OneByteFile(ZnFileTextFmt* fmt)
{
    CoreIOObj::SetLastHRESULT(S_OK);
    if (!fmt)
        return 3;
    *fmt = fmtAnsi;
    return 2;
}

// The format of an 8-bit text from its sample: control characters make it
// binary, and the last line feed of the sample decides the line ends.
ZnFileTextFmt ScanEightBit(const unsigned char* p, size_t n)
{
    ZnFileTextFmt fmt = fmtAnsi;
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = p[i];
        if (b >= 32 && b != 127)
            continue;
        if (b == '\n') {
            if (i > 0)
                fmt = p[i - 1] == '\r' ? fmtAnsi : fmtAnsiUnix;
        } else if (b != '\t' && b != '\f' && b != '\r' && b != 26) {
            return fmtBinary;
        }
    }
    return fmt;
}

// UTF-16 straight into out: the first unit is a mark or the first
// character, zero units become spaces, big-endian units are swapped.
unsigned long ReadUTF16(HANDLE file, unsigned long size, bool bigEndian, wchar_t* out, unsigned cch)
{
    bool known = IsKnownSize(size);
    unsigned char first[2];
    size_t got;
    if (!ReadUpTo(file, first, known && size < 2 ? size : 2, &got))
        return 0;
    size_t pos = 0;
    size_t units = 0;
    if (got == 2) {
        wchar_t unit;
        std::memcpy(&unit, first, sizeof(unit));
        if (unit != (bigEndian ? 0xFFFE : 0xFEFF)) {
            if (cch < 2)
                return tooSmall;
            out[pos++] = unit;
        }
        size_t room = cch - 1 - pos;
        // Unknown size: one unit more than there is room for tells that
        // the text goes on past the buffer.
        size_t want = known ? (size - 2) / 2 : room + 1;
        if (known && want > room)
            return tooSmall;
        size_t bytes;
        if (!ReadUpTo(file, out + pos, want * 2, &bytes))
            return 0;
        units = bytes / 2;
        if (units > room)
            return tooSmall;
    }
    size_t total = pos + units;
    if (bigEndian)
        ZnFile::ReverseUnicodeBytes(out, static_cast<unsigned>(total));
    for (size_t i = 0; i < total; ++i)
        if (!out[i])
            out[i] = L' ';
    out[total] = L'\0';
    return static_cast<unsigned long>(total + 1);
}

// The file's first n bytes: mapped when it can be, which spares the
// fresh buffer a read would fill page by page, else read. Our handle
// shares reading only, so no one can cut the file under the view.
class FileBytes {
public:
    FileBytes(ZnFile& file, size_t n, bool mappable)
    {
        if (mappable && (view = static_cast<const unsigned char*>(file.OpenMap(0, static_cast<unsigned long>(n), 0)))) {
            count = n;
            ok = true;
            return;
        }
        buffer.Reset(static_cast<unsigned char*>(DllHeap::Alloc(n)));
        if (!buffer)
            LastError::FailFile(ERROR_NOT_ENOUGH_MEMORY);
        else
            ok = ReadUpTo(file.GetHandle(), buffer.Get(), n, &count);
    }

    bool IsReady() const { return ok; }
    const unsigned char* Get() const { return view ? view : buffer.Get(); }
    size_t Count() const { return count; }

private:
    const unsigned char* view = nullptr;  // released with the file's mapping
    DllBlock<unsigned char> buffer;
    size_t count = 0;
    bool ok = false;
};

// The 8-bit and UTF-8 formats: read, convert, sanitise, fix line ends.
unsigned long ReadEightBit(ZnFile& file, unsigned long size, ZnFileTextFmt fmt, wchar_t* out, unsigned cch,
                           wchar_t replacement)
{
    bool known = IsKnownSize(size);
    // No byte sequence gives fewer than one character per four bytes, so a
    // larger file cannot fit and need not be read.
    if (known && size > 4ull * cch + 3)
        return tooSmall;
    size_t n = known ? size : 2 * static_cast<size_t>(cch);
    // A file shorter than the size it had is no longer mappable to that
    // size; it is read instead.
    FileBytes raw(file, n, known && file.GetSize64() >= n);
    if (!raw.IsReady())
        return 0;
    size_t got = raw.Count();
    if (!known && got == n)
        return tooSmall;

    const unsigned char* src = raw.Get();
    UINT cp = CP_ACP;
    if (IsUTF8(fmt)) {
        cp = CP_UTF8;
        if (HasUTF8Mark(src, got)) {
            src += 3;
            got -= 3;
        }
    }
    size_t chars;
    switch (ToWide(cp, reinterpret_cast<const char*>(src), got, out, cch - 1, &chars)) {
    case convTooSmall:
        return tooSmall;
    case convFailed:
        return 0;
    case convOk:
        break;
    }
    size_t bare = SanitizeCounting(out, chars, replacement, HasLineFeedEnds(fmt));
    if (chars + bare + 1 > cch)
        return tooSmall;
    InsertCarriageReturns(out, chars, bare);
    out[chars + bare] = L'\0';
    return static_cast<unsigned long>(chars + bare + 1);
}

// One GetText into a new buffer of cch characters: the buffer, or null
// with result telling why (0 or 0xFFFFFFFF).
wchar_t* ReadInto(const wchar_t* path, unsigned long size, ZnFileTextFmt fmt, unsigned long long cch,
                  wchar_t replacement, unsigned long* result)
{
    DllBlock<wchar_t> buf(DllHeap::AllocArray<wchar_t>(static_cast<size_t>(cch)));
    if (!buf) {
        *result = LastError::FailFile(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    *result = ZnFile::GetText(path, size, fmt, buf.Get(), static_cast<unsigned>(cch), replacement);
    return *result && *result != tooSmall ? buf.Release() : nullptr;
}

} // namespace

// --- reading ---------------------------------------------------------------------------

unsigned long ZnFile::GetFileSizeForText(const wchar_t* path)
{
    CoreFile file(path, 0);
    return file.IsReady() ? SizeForText(file) : 0;
}

unsigned long ZnFile::GetFileSizeForText(const UniPath& path)
{
    return GetFileSizeForText(PlainPath(path));
}

unsigned long ZnFile::GetTextSize(const wchar_t* path, unsigned long* size, ZnFileTextFmt* fmt)
{
    if (fmt)
        *fmt = fmtNone;
    CoreFile file(path, 0);
    if (!file.IsReady())
        return 0;
    unsigned long bytes = size ? *size : 0;
    if (!bytes)
        bytes = SizeForText(file);
    bool known = IsKnownSize(bytes);
    if (size)
        *size = bytes;
    if (known && bytes == 1)
        return OneByteFile(fmt);
    if (!fmt && known) {
        SetLastHRESULT(S_OK);
        return Answer(bytes * 2ull + 1);
    }

    unsigned char sample[sampleSize];
    size_t got;
    if (!ReadUpTo(file.GetHandle(), sample, known && bytes < sampleSize ? bytes : sampleSize, &got))
        return 0;
    if (!got) {
        SetLastWin32Error(ERROR_HANDLE_EOF);
        return 0;
    }
    if (!known && got < sampleSize) {
        bytes = static_cast<unsigned long>(got);
        known = true;
        if (size)
            *size = bytes;
        if (bytes == 1)
            return OneByteFile(fmt);
    }
    SetLastHRESULT(S_OK);
    if (!fmt)
        return known ? Answer(bytes * 2ull + 1) : tooSmall;

    ZnFileTextFmt found;
    unsigned long long chars = 0;
    if (got >= 2 && sample[0] == 0xFF && sample[1] == 0xFE) {
        found = fmtUnicode;
        chars = known ? (bytes - 2) / 2 : 0;
    } else if (got >= 2 && sample[0] == 0xFE && sample[1] == 0xFF) {
        found = fmtUnicodeBE;
        chars = known ? (bytes - 2) / 2 : 0;
    } else if (HasUTF8Mark(sample, got)) {
        size_t bare = CountBareLineFeeds(sample + 3, got - 3);
        found = bare ? fmtUTF8Unix : fmtUTF8;
        if (known && bytes <= got) {
            int units = got > 3 ? MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(sample + 3),
                                                      static_cast<int>(got - 3), nullptr, 0)
                                : 0;
            chars = static_cast<unsigned long long>(units) + bare;
        } else if (known) {
            chars = (bytes - 3ull) * (bare ? 2 : 1);
        }
    } else {
        found = ScanEightBit(sample, got);
        chars = known ? bytes * (found == fmtAnsiUnix ? 2ull : 1ull) : 0;
    }
    *fmt = found;
    return known ? Answer(chars + 1) : tooSmall;
}

unsigned long ZnFile::GetTextSize(const UniPath& path, unsigned long* size, ZnFileTextFmt* fmt)
{
    return GetTextSize(PlainPath(path), size, fmt);
}

unsigned long ZnFile::GetText(const wchar_t* path, unsigned long size, ZnFileTextFmt fmt, wchar_t* out,
                              unsigned cch, wchar_t replacement)
{
    ZnFile file(path, 0);
    if (!file.IsReady())
        return 0;
    if (!out || !cch) {
        SetLastWin32Error(ERROR_INSUFFICIENT_BUFFER);
        return tooSmall;
    }
    out[0] = L'\0';
    unsigned long result = IsUTF16(fmt) ? ReadUTF16(file.GetHandle(), size, fmt == fmtUnicodeBE, out, cch)
                                        : ReadEightBit(file, size, fmt, out, cch, replacement);
    if (result == tooSmall) {
        out[0] = L'\0';
        SetLastWin32Error(ERROR_INSUFFICIENT_BUFFER);
    } else if (result) {
        SetLastHRESULT(S_OK);
    }
    return result;
}

unsigned long ZnFile::GetText(const UniPath& path, unsigned long size, ZnFileTextFmt fmt, wchar_t* out,
                              unsigned cch, wchar_t replacement)
{
    return GetText(PlainPath(path), size, fmt, out, cch, replacement);
}

wchar_t* ZnFile::ReadText(const wchar_t* path, unsigned* count, ZnFileTextFmt* fmt, wchar_t replacement)
{
    if (count)
        *count = 0;
    unsigned long size = GetFileSizeForText(path);
    ZnFileTextFmt use = fmt ? *fmt : fmtNone;
    unsigned long chars = use != fmtNone ? GetTextSize(path, &size, nullptr) : GetTextSize(path, &size, &use);
    if (fmt)
        *fmt = use;
    if (!chars)
        return nullptr;

    // A known size gives the buffer in one go. Should the text not fit
    // after all (the file grew since), or the size be unknown, the buffer
    // grows instead.
    unsigned long got = tooSmall;
    wchar_t* buf = nullptr;
    if (chars != tooSmall)
        buf = ReadInto(path, size, use, chars, replacement, &got);
    for (unsigned long long cch = growFirst; !buf && got == tooSmall && cch <= growLast; cch *= 16)
        if (chars == tooSmall || cch > chars)
            buf = ReadInto(path, 0, use, cch, replacement, &got);
    if (buf && count)
        *count = got;
    else if (!buf && got == tooSmall)
        SetLastWin32Error(ERROR_INSUFFICIENT_BUFFER);
    return buf;
}

wchar_t* ZnFile::ReadText(const UniPath& path, unsigned* count, ZnFileTextFmt* fmt, wchar_t replacement)
{
    return ReadText(PlainPath(path), count, fmt, replacement);
}

// --- writing ------------------------------------------------------------------------------

unsigned char* ZnFile::PrepareTextData(const wchar_t* text, ZnFileTextFmt fmt, unsigned long* size, int withMark)
{
    if (size)
        *size = 0;
    if (!size || !text || !*text)
        return nullptr;
    size_t length = std::wcslen(text);

    if (IsUTF16(fmt)) {
        size_t units = length + (withMark ? 1 : 0);
        wchar_t* data = units > 0x7FFFFFFF ? nullptr : DllHeap::AllocArray<wchar_t>(units);
        if (!data) {
            LastError::FailFile(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (withMark)
            data[0] = 0xFEFF;
        wmemcpy(data + (withMark ? 1 : 0), text, length);
        if (fmt == fmtUnicodeBE)
            ReverseUnicodeBytes(data, static_cast<unsigned>(units));
        *size = static_cast<unsigned long>(units * sizeof(wchar_t));
        return reinterpret_cast<unsigned char*>(data);
    }
    if (!IsUTF8(fmt) && fmt != fmtAnsi && fmt != fmtAnsiUnix)
        return nullptr;

    UINT cp = IsUTF8(fmt) ? CP_UTF8 : CP_ACP;
    size_t mark = IsUTF8(fmt) && withMark ? 3 : 0;
    size_t bytes;
    if (!FromWide(cp, text, length, nullptr, 0, &bytes))
        return nullptr;
    DllBlock<unsigned char> data(mark + bytes > 0xFFFFFFFE ? nullptr
                                                           : static_cast<unsigned char*>(DllHeap::Alloc(mark + bytes)));
    if (!data) {
        LastError::FailFile(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memcpy(data.Get(), "\xEF\xBB\xBF", mark);
    if (!FromWide(cp, text, length, reinterpret_cast<char*>(data.Get() + mark), bytes, &bytes))
        return nullptr;
    // In the double-byte code pages CR and LF never occur inside a pair,
    // so the bytes can be collapsed without decoding them.
    if (HasLineFeedEnds(fmt))
        bytes = CollapseLineEnds(data.Get() + mark, bytes);
    *size = static_cast<unsigned long>(mark + bytes);
    return data.Release();
}

int ZnFile::WriteText(const wchar_t* path, const wchar_t* text, ZnFileTextFmt fmt, int notify)
{
    // These two hold no text; writing them would only empty the file.
    if (fmt < fmtAnsi || fmt > fmtAnsiUnix) {
        SetLastWin32Error(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool existed = IsFileExists(path);
    unsigned long size;
    DllBlock<unsigned char> data(PrepareTextData(text, fmt, &size, 1));
    if (!data && text && *text)
        return 0;
    int ok = CoreFile::ReplaceFileContent(path, data.Get(), size);
    if (ok && notify)
        SHChangeNotify(existed ? SHCNE_UPDATEITEM : SHCNE_CREATE, SHCNF_PATHW, path, nullptr);
    return ok;
}

int ZnFile::WriteText(const UniPath& path, const wchar_t* text, ZnFileTextFmt fmt, int notify)
{
    return WriteText(PlainPath(path), text, fmt, notify);
}

int ZnFile::AppendText(const wchar_t* path, const wchar_t* text, int notify)
{
    unsigned long size = 0;
    ZnFileTextFmt fmt = fmtNone;
    GetTextSize(path, &size, &fmt);
    if (fmt == fmtNone)
        return 0;
    if (fmt == fmtBinary) {
        SetLastWin32Error(ERROR_BAD_FORMAT);
        return 0;
    }
    unsigned long bytes;
    DllBlock<unsigned char> data(PrepareTextData(text, fmt, &bytes, 0));
    if (!data) {
        if (text && *text)
            return 0;
        SetLastHRESULT(S_OK);
        return 1;
    }
    int ok = 0;
    {
        // Only an existing file: one deleted since the detection is not
        // brought back as a fragment.
        CoreFile file(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
        if (file.IsReady() && file.MoveToEnd() >= 0) {
            unsigned long done = 0;
            SetLastError(ERROR_SUCCESS);
            ok = file.WriteBin(data.Get(), bytes, &done) && file.Flush();
            if (!ok)
                SetLastWin32Error(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
        } else if (file.IsReady()) {
            SetLastWin32Error(GetLastError());
        }
    }
    if (ok) {
        SetLastHRESULT(S_OK);
        if (notify)
            SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHW, path, nullptr);
    }
    return ok;
}

int ZnFile::AppendText(const UniPath& path, const wchar_t* text, int notify)
{
    return AppendText(PlainPath(path), text, notify);
}

// --- character helpers -------------------------------------------------------------------

void ZnFile::Sanitize(wchar_t* s, unsigned n, wchar_t replacement)
{
    if (s)
        SanitizeCounting(s, n, replacement, false);
}

void ZnFile::Sanitize(char* s, unsigned n, char replacement)
{
    for (unsigned i = 0; s && i < n; ++i)
        if (!IsPrintableChar(s[i]))
            s[i] = replacement;
}

void ZnFile::ReverseUnicodeBytes(unsigned char* p, unsigned long bytes)
{
    for (unsigned long i = 0; p && i + 1 < bytes; i += 2) {
        unsigned char b = p[i];
        p[i] = p[i + 1];
        p[i + 1] = b;
    }
}

void ZnFile::ReverseUnicodeBytes(wchar_t* p, unsigned chars)
{
    for (unsigned i = 0; p && i < chars; ++i)
        p[i] = static_cast<wchar_t>((p[i] << 8) | (p[i] >> 8));
}
