// pvbench: how fast the library's workhorses are, each beside the
// platform's own routine (or the standard library's) run in the same
// process on the same data. Every figure is the best of several rounds;
// the speed ratio is the anchor's time divided by ours, so above 1 means
// faster than the anchor.
//
//   pvbench           the full sizes (well under three minutes under Wine)
//   pvbench --quick   tiny sizes, one round each: only shows that every row runs
//
// The exit code is non-zero when a row could not be measured or an answer
// disagreed with its anchor's; a missed target is reported, not failed.
#include <windows.h>
#include <bcrypt.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wincrypt.h>
#include <wininet.h>
#include <zlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <list>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "PVDLL.h"
#include "common/ConsoleOut.h"
#include "common/Folders.h"
#include "LocalHttpServer.h"
#include "ui/html/DrawHTML.h"

namespace {

// --- output ---------------------------------------------------------------------------

bool quick = false;
int rowsPrinted = 0;
int rowsMissed = 0;
int failures = 0;

// How a figure is shown: a rate over bytes, a time per operation, or a
// time for the whole workload.
enum Unit { unitBytes, unitNanos, unitMillis, unitMicros, unitMicrosPerKiloWord };

// count: bytes for unitBytes, operations for unitNanos and unitMicros,
// words for unitMicrosPerKiloWord, unused for unitMillis.
void Figure(wchar_t (&out)[40], Unit unit, double seconds, double count)
{
    switch (unit) {
    case unitBytes:
        StrFormat(out, 40, L"%.0f MB/s", count / seconds / (1024.0 * 1024.0));
        break;
    case unitNanos:
        StrFormat(out, 40, L"%.1f ns/op", seconds * 1e9 / count);
        break;
    case unitMicros:
        StrFormat(out, 40, L"%.0f µs/op", seconds * 1e6 / count);
        break;
    case unitMillis:
        StrFormat(out, 40, L"%.2f ms", seconds * 1e3);
        break;
    case unitMicrosPerKiloWord:
        StrFormat(out, 40, L"%.0f µs/1000 words", seconds * 1e6 * 1000.0 / count);
        break;
    }
}

void PrintHeader()
{
    Print(L"| What | Workload | Ours | Anchor | Anchor's | Speed ratio | Target | Result |\n");
    Print(L"|---|---|---|---|---|---|---|---|\n");
}

// target 0: the ratio is only reported.
void Row(const wchar_t* what, const wchar_t* workload, double ours, const wchar_t* anchor, double theirs,
         Unit unit, double count, double target)
{
    wchar_t oursText[40], theirsText[40];
    Figure(oursText, unit, ours, count);
    Figure(theirsText, unit, theirs, count);
    double ratio = theirs / ours;
    wchar_t targetText[16] = L"report";
    const wchar_t* verdict = L"-";
    if (target > 0) {
        StrFormat(targetText, 16, L"≥ %.2f×", target);
        verdict = ratio >= target ? L"PASS" : L"MISS";
        if (ratio < target)
            ++rowsMissed;
    }
    Print(L"| %s | %s | %s | %s | %s | %.2f× | %s | %s |\n", what, workload, oursText, anchor, theirsText, ratio,
          targetText, verdict);
    ++rowsPrinted;
}

void Fail(const wchar_t* what, const wchar_t* why)
{
    Print(L"| %s | FAILED: %s | | | | | | |\n", what, why);
    ++failures;
}

// --- timing ------------------------------------------------------------------------------

double ticksPerSecond;

double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / ticksPerSecond;
}

int Rounds(int full)
{
    return quick ? 1 : full;
}

// The best of rounds runs of work; setup runs before each, untimed.
template <typename Setup, typename Work>
double BestOf(int rounds, Setup setup, Work work)
{
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        setup();
        double start = Now();
        work();
        double took = Now() - start;
        if (took < best)
            best = took;
    }
    return best;
}

template <typename Work>
double BestOf(int rounds, Work work)
{
    return BestOf(rounds, [] {}, work);
}

// Keeps results alive so the compiler cannot drop the work.
volatile uint64_t sink;

// --- shared data and files -----------------------------------------------------------------

std::vector<unsigned char> MakeRandom(size_t n)
{
    std::vector<unsigned char> data(n);
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i + 8 <= n; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        memcpy(&data[i], &x, 8);
    }
    return data;
}

// Touches every page, so a timed round pays for no first-touch faults.
template <typename T>
std::vector<T> Prepared(size_t n)
{
    return std::vector<T>(n, T(1));
}

wchar_t tempFolder[MAX_PATH];

void MakeTempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    StrFormat(tempFolder, MAX_PATH, L"%spvbench-%lu", base, GetCurrentProcessId());
    CreateDirectoryW(tempFolder, nullptr);
}

void TempPath(wchar_t (&out)[MAX_PATH], const wchar_t* name)
{
    StrFormat(out, MAX_PATH, L"%s\\%s", tempFolder, name);
}

void RemoveTree(const wchar_t* folder)
{
    wchar_t pattern[MAX_PATH];
    StrFormat(pattern, MAX_PATH, L"%s\\*", folder);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern, &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!lstrcmpW(found.cFileName, L".") || !lstrcmpW(found.cFileName, L".."))
                continue;
            wchar_t path[MAX_PATH];
            StrFormat(path, MAX_PATH, L"%s\\%s", folder, found.cFileName);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder);
}

bool WriteRaw(const wchar_t* path, const void* data, size_t n)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    BOOL ok = WriteFile(file, data, static_cast<DWORD>(n), &done, nullptr);
    CloseHandle(file);
    return ok && done == n;
}

// --- digests and checksums -------------------------------------------------------------------

// The platform's SHA-1 in its two forms; the faster one is the anchor.
struct PlatformSha1 {
    HCRYPTPROV prov = 0;
    BCRYPT_ALG_HANDLE alg = nullptr;

    PlatformSha1()
    {
        CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT);
        if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA1_ALGORITHM, nullptr, 0) < 0)
            alg = nullptr;
    }
    ~PlatformSha1()
    {
        if (alg)
            BCryptCloseAlgorithmProvider(alg, 0);
        if (prov)
            CryptReleaseContext(prov, 0);
    }

    bool CryptoApi(unsigned char digest[20], const void* data, DWORD n)
    {
        HCRYPTHASH hash;
        if (!prov || !CryptCreateHash(prov, CALG_SHA1, 0, 0, &hash))
            return false;
        DWORD size = 20;
        bool ok = CryptHashData(hash, static_cast<const BYTE*>(data), n, 0) &&
                  CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
        CryptDestroyHash(hash);
        return ok;
    }

    bool BCrypt(unsigned char digest[20], const void* data, ULONG n)
    {
        return alg && BCryptHash(alg, nullptr, 0, static_cast<PUCHAR>(const_cast<void*>(data)), n, digest, 20) >= 0;
    }
};

// Runs work for both platform forms and keeps the faster as the anchor.
template <typename Work>
double FasterPlatform(int rounds, const wchar_t*& name, Work work)
{
    double crypto = BestOf(rounds, [&] { work(false); });
    double bcrypt = BestOf(rounds, [&] { work(true); });
    name = bcrypt < crypto ? L"BCryptHash" : L"CryptHashData";
    return bcrypt < crypto ? bcrypt : crypto;
}

void BenchSha1(const std::vector<unsigned char>& data, const wchar_t* sizeText)
{
    PlatformSha1 platform;
    unsigned char ours[20] = {}, theirs[20] = {}, other[20] = {};
    SHA1_Calc(ours, data.data(), static_cast<unsigned>(data.size()));
    if (!platform.CryptoApi(theirs, data.data(), static_cast<DWORD>(data.size())) ||
        !platform.BCrypt(other, data.data(), static_cast<ULONG>(data.size()))) {
        Fail(L"`SHA1_Calc`", L"the platform's SHA-1 is not available");
        return;
    }
    if (memcmp(ours, theirs, 20) || memcmp(ours, other, 20)) {
        Fail(L"`SHA1_Calc`", L"the digests differ from the platform's");
        return;
    }

    const int rounds = Rounds(3);
    const void* p = data.data();
    const unsigned n = static_cast<unsigned>(data.size());
    double mine = BestOf(rounds, [&] { SHA1_Calc(ours, p, n); });
    const wchar_t* name;
    double anchor = FasterPlatform(rounds, name, [&](bool bcrypt) {
        if (bcrypt)
            platform.BCrypt(theirs, p, n);
        else
            platform.CryptoApi(theirs, p, n);
    });
    Row(L"`SHA1_Calc`", sizeText, mine, name, anchor, unitBytes, n, 1.0);

    // Many small messages: the per-call overhead counts here.
    const unsigned calls = quick ? 10000 : 1000000;
    const size_t window = (data.size() / 64 < 65536 ? data.size() / 64 : 65536);
    const unsigned char* base = data.data();
    mine = BestOf(rounds, [&] {
        for (unsigned i = 0; i < calls; ++i)
            SHA1_Calc(ours, base + (i % window) * 64, 64);
        sink = ours[0];
    });
    anchor = FasterPlatform(rounds, name, [&](bool bcrypt) {
        for (unsigned i = 0; i < calls; ++i) {
            if (bcrypt)
                platform.BCrypt(theirs, base + (i % window) * 64, 64);
            else
                platform.CryptoApi(theirs, base + (i % window) * 64, 64);
        }
        sink = theirs[0];
    });
    Row(L"`SHA1_Calc`", quick ? L"10 k × 64 B" : L"1 M × 64 B", mine, name, anchor, unitNanos, calls, 1.0);
}

struct Md5Context {
    ULONG i[2];
    ULONG buf[4];
    unsigned char in[64];
    unsigned char digest[16];
};
typedef void(WINAPI* Md5InitFn)(Md5Context*);
typedef void(WINAPI* Md5UpdateFn)(Md5Context*, const unsigned char*, unsigned);
typedef void(WINAPI* Md5FinalFn)(Md5Context*);

FARPROC Export(const wchar_t* module, const char* name)
{
    HMODULE h = GetModuleHandleW(module);
    if (!h)
        h = LoadLibraryW(module);
    return h ? GetProcAddress(h, name) : nullptr;
}

template <typename Fn>
Fn ExportAs(const wchar_t* module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Export(module, name)));
}

void BenchMd5(const std::vector<unsigned char>& data, const wchar_t* sizeText)
{
    auto init = ExportAs<Md5InitFn>(L"advapi32.dll", "MD5Init");
    auto update = ExportAs<Md5UpdateFn>(L"advapi32.dll", "MD5Update");
    auto final = ExportAs<Md5FinalFn>(L"advapi32.dll", "MD5Final");
    if (!init || !update || !final) {
        Fail(L"`CalcMD5`", L"advapi32 has no MD5Init/MD5Update/MD5Final");
        return;
    }
    const unsigned n = static_cast<unsigned>(data.size());
    unsigned char ours[16];
    Md5Context ctx;
    auto platform = [&] {
        init(&ctx);
        update(&ctx, data.data(), n);
        final(&ctx);
    };
    CalcMD5(ours, data.data(), n);
    platform();
    if (memcmp(ours, ctx.digest, 16)) {
        Fail(L"`CalcMD5`", L"the digest differs from advapi32's");
        return;
    }
    const int rounds = Rounds(3);
    double mine = BestOf(rounds, [&] { CalcMD5(ours, data.data(), n); });
    double anchor = BestOf(rounds, platform);
    Row(L"`CalcMD5`", sizeText, mine, L"advapi32 MD5Update", anchor, unitBytes, n, 1.0);
}

typedef DWORD(WINAPI* RtlCrc32Fn)(DWORD, const BYTE*, INT);

void BenchCrc32(const std::vector<unsigned char>& data, const wchar_t* sizeText)
{
    auto rtl = ExportAs<RtlCrc32Fn>(L"ntdll.dll", "RtlComputeCrc32");
    if (!rtl) {
        Fail(L"`CRC32`", L"ntdll has no RtlComputeCrc32");
        return;
    }
    const unsigned n = static_cast<unsigned>(data.size());
    unsigned ours = CRC32(data.data(), n);
    DWORD theirs = rtl(0, data.data(), static_cast<INT>(n));
    if (ours != theirs) {
        Fail(L"`CRC32`", L"the checksum differs from ntdll's");
        return;
    }
    const int rounds = Rounds(3);
    double mine = BestOf(rounds, [&] { sink = CRC32(data.data(), n); });
    double anchor = BestOf(rounds, [&] { sink = rtl(0, data.data(), static_cast<INT>(n)); });
    Row(L"`CRC32`", sizeText, mine, L"ntdll RtlComputeCrc32", anchor, unitBytes, n, 2.0);

    // zlib's crc32 (linked into the benchmark only): the same checksum,
    // computed in this process by a tuned portable routine.
    if (crc32(0, data.data(), n) != ours) {
        Fail(L"`CRC32`", L"the checksum differs from zlib's");
        return;
    }
    double zlib = BestOf(rounds, [&] { sink = static_cast<unsigned>(crc32(0, data.data(), n)); });
    Row(L"`CRC32`", sizeText, mine, L"zlib crc32", zlib, unitBytes, n, 1.0);
}

// --- hex and Base64 ------------------------------------------------------------------------------

void BenchEncodings(const std::vector<unsigned char>& data, const wchar_t* sizeText)
{
    const unsigned n = static_cast<unsigned>(data.size());
    const int rounds = Rounds(3);
    auto copy = Prepared<unsigned char>(n);
    double memcpyTime = BestOf(rounds, [&] { memcpy(copy.data(), data.data(), n); });

    {
        unsigned cch = BinToBase64FS(nullptr, 0, data.data(), n);
        auto text = Prepared<wchar_t>(cch);
        auto back = Prepared<unsigned char>(n);
        double encode = BestOf(rounds, [&] { BinToBase64FS(text.data(), cch, data.data(), n); });
        double decode = BestOf(rounds, [&] { Base64FSToBin(back.data(), n, text.data()); });
        if (Base64FSToBin(back.data(), n, text.data()) != n || memcmp(back.data(), data.data(), n)) {
            Fail(L"`BinToBase64FS`", L"the round trip changed the data");
        } else {
            Row(L"`BinToBase64FS`", sizeText, encode, L"memcpy", memcpyTime, unitBytes, n, 0);
            Row(L"`Base64FSToBin`", sizeText, decode, L"memcpy", memcpyTime, unitBytes, n, 0);
        }
    }
    {
        unsigned cch = 2 * n + 1;
        auto text = Prepared<wchar_t>(cch);
        auto back = Prepared<unsigned char>(n);
        double encode = BestOf(rounds, [&] { BinToHex(text.data(), cch, data.data(), n); });
        double decode = BestOf(rounds, [&] { HexToBin(back.data(), n, text.data()); });
        if (HexToBin(back.data(), n, text.data()) != n || memcmp(back.data(), data.data(), n)) {
            Fail(L"`BinToHex`", L"the round trip changed the data");
        } else {
            Row(L"`BinToHex`", sizeText, encode, L"memcpy", memcpyTime, unitBytes, n, 0);
            Row(L"`HexToBin`", sizeText, decode, L"memcpy", memcpyTime, unitBytes, n, 0);
        }
    }
}

// --- text files ----------------------------------------------------------------------------------

// Lines of about 70 characters; the UTF formats carry text outside the
// 8-bit code pages too.
std::wstring MakeText(size_t bytes, ZnFileTextFmt fmt)
{
    const bool wide = fmt == fmtUnicode || fmt == fmtUnicodeBE || fmt == fmtUTF8 || fmt == fmtUTF8Unix;
    const UINT cp = fmt == fmtUTF8 || fmt == fmtUTF8Unix ? CP_UTF8 : CP_ACP;
    std::wstring text;
    text.reserve(bytes + 128);
    size_t size = fmt == fmtUTF8 || fmt == fmtUTF8Unix ? 3 : 2;
    for (unsigned line = 0; size < bytes; ++line) {
        wchar_t buf[160];
        int len = StrFormat(buf, 160,
                            wide ? L"%06u: the quick brown fox jumps over the lazy dog – Ελληνικά, 日本語\r\n"
                                 : L"%06u: the quick brown fox jumps over the lazy dog, cafe, naive\r\n",
                            line);
        text.append(buf, len);
        if (fmt == fmtUnicode || fmt == fmtUnicodeBE)
            size += 2 * static_cast<size_t>(len);
        else
            size += WideCharToMultiByte(cp, 0, buf, len, nullptr, 0, nullptr, nullptr) -
                    (fmt == fmtAnsiUnix || fmt == fmtUTF8Unix ? 1 : 0);
    }
    return text;
}

// 8-bit data with control characters sprinkled in.
std::vector<unsigned char> MakeBinary(size_t bytes)
{
    std::vector<unsigned char> data(bytes);
    static const char line[] = "record \x01\x02 payload 0123456789 abcdefghijklmnopqrstuvwxyz\x1B\r\n";
    for (size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<unsigned char>(line[i % (sizeof line - 1)]);
    return data;
}

// The anchor: the whole file in one ReadFile, then one conversion into a
// fresh buffer (none for UTF-16, which needs none).
size_t PlatformRead(const wchar_t* path, UINT cp, bool utf16)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD size = GetFileSize(file, nullptr);
    HANDLE heap = GetProcessHeap();
    void* bytes = HeapAlloc(heap, 0, size + 2);
    DWORD got = 0;
    ReadFile(file, bytes, size, &got, nullptr);
    CloseHandle(file);
    size_t chars = got / 2;
    if (!utf16) {
        wchar_t* wide = static_cast<wchar_t*>(HeapAlloc(heap, 0, (static_cast<size_t>(got) + 1) * sizeof(wchar_t)));
        chars = MultiByteToWideChar(cp, 0, static_cast<const char*>(bytes), static_cast<int>(got), wide,
                                    static_cast<int>(got) + 1);
        sink = wide[0];
        HeapFree(heap, 0, wide);
    }
    HeapFree(heap, 0, bytes);
    return chars;
}

void BenchReadText()
{
    struct Format {
        ZnFileTextFmt fmt;
        const wchar_t* name;
        const wchar_t* file;
    };
    static const Format formats[] = {
        {fmtAnsi, L"ANSI", L"ansi.txt"},
        {fmtUnicode, L"UTF-16", L"utf16.txt"},
        {fmtUnicodeBE, L"UTF-16 BE", L"utf16be.txt"},
        {fmtUTF8, L"UTF-8", L"utf8.txt"},
        {fmtUTF8Unix, L"UTF-8 LF", L"utf8lf.txt"},
        {fmtAnsiUnix, L"ANSI LF", L"ansilf.txt"},
        {fmtBinary, L"binary", L"binary.bin"},
    };
    const size_t bytes = quick ? 256 * 1024 : 32 * 1024 * 1024;
    const wchar_t* sizeText = quick ? L"256 KB" : L"32 MB";
    const int rounds = Rounds(3);
    for (const Format& f : formats) {
        wchar_t what[64];
        StrFormat(what, 64, L"`ZnFile::ReadText` %s", f.name);
        wchar_t path[MAX_PATH];
        TempPath(path, f.file);
        bool written;
        if (f.fmt == fmtBinary) {
            auto data = MakeBinary(bytes);
            written = WriteRaw(path, data.data(), data.size());
        } else {
            written = ZnFile::WriteText(path, MakeText(bytes, f.fmt).c_str(), f.fmt, 0) != 0;
        }
        if (!written) {
            Fail(what, L"the file could not be written");
            continue;
        }
        ZnFileTextFmt found = fmtNone;
        unsigned count = 0;
        wchar_t* text = ZnFile::ReadText(path, &count, &found, L'?');
        FreeDllBuf(text);
        if (!text || found != f.fmt) {
            Fail(what, L"the file did not read back in its format");
            continue;
        }
        double mine = BestOf(rounds, [&] {
            ZnFileTextFmt fmt = fmtNone;
            wchar_t* t = ZnFile::ReadText(path, nullptr, &fmt, L'?');
            sink = t[0];
            FreeDllBuf(t);
        });
        const bool utf16 = f.fmt == fmtUnicode || f.fmt == fmtUnicodeBE;
        const UINT cp = f.fmt == fmtUTF8 || f.fmt == fmtUTF8Unix ? CP_UTF8 : CP_ACP;
        double anchor = BestOf(rounds, [&] { PlatformRead(path, cp, utf16); });
        ULONGLONG size = static_cast<ULONGLONG>(ZnFile::GetFileSizeForText(path));
        Row(what, sizeText, mine, utf16 ? L"ReadFile" : L"ReadFile + MultiByteToWideChar", anchor, unitBytes,
            static_cast<double>(size), 0.5);
        DeleteFileW(path);
    }
}

// --- INI files --------------------------------------------------------------------------------------

// Counts what the reader hands over, and nothing more.
class CountingIni : public IniFile {
public:
    explicit CountingIni(const wchar_t* path) : IniFile(path) {}
    int CallBack(CallBackFlag kind, const wchar_t*, const wchar_t*, const wchar_t*) override
    {
        if (kind == cbEntry)
            ++entries;
        return 1;
    }
    unsigned entries = 0;
};

void BenchIni()
{
    const unsigned sections = quick ? 20 : 200;
    const unsigned keys = quick ? 50 : 500;
    std::wstring text;
    text.reserve(static_cast<size_t>(sections) * keys * 26 + 1024);
    for (unsigned s = 0; s < sections; ++s) {
        wchar_t line[64];
        text.append(line, StrFormat(line, 64, L"[Section%03u]\r\n", s));
        for (unsigned k = 0; k < keys; ++k)
            text.append(line, StrFormat(line, 64, L"Key%03u=Value %03u of #%03u\r\n", k, k, s));
    }
    wchar_t path[MAX_PATH];
    TempPath(path, L"bench.ini");
    if (!ZnFile::WriteText(path, text.c_str(), fmtUnicode, 0)) {
        Fail(L"`IniFile::ReadAll`", L"the file could not be written");
        return;
    }

    CountingIni ini(path);
    const int rounds = Rounds(5);
    double mine = BestOf(rounds, [&] {
        ini.entries = 0;
        ini.ReadData();
    });

    // Each round starts with a changed write time, so the profile cache
    // must read the file again, as our reader does every time.
    std::vector<wchar_t> buffer(65536);
    unsigned long long anchorEntries = 0;
    unsigned stamp = 0;
    double anchor = BestOf(
        rounds,
        [&] {
            HANDLE file = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            ULARGE_INTEGER t = {{now.dwLowDateTime, now.dwHighDateTime}};
            t.QuadPart += 10000000ull * ++stamp;
            now.dwLowDateTime = t.LowPart;
            now.dwHighDateTime = t.HighPart;
            SetFileTime(file, nullptr, nullptr, &now);
            CloseHandle(file);
        },
        [&] {
            anchorEntries = 0;
            for (unsigned s = 0; s < sections; ++s) {
                wchar_t name[32];
                StrFormat(name, 32, L"Section%03u", s);
                DWORD got = GetPrivateProfileSectionW(name, buffer.data(), static_cast<DWORD>(buffer.size()), path);
                for (DWORD i = 0; i < got; ++i)
                    anchorEntries += buffer[i] == 0;
            }
        });
    if (ini.entries != sections * keys || anchorEntries != ini.entries) {
        wchar_t why[96];
        StrFormat(why, 96, L"entries read: ours %u, the platform's %I64u, of %u", ini.entries, anchorEntries,
                  sections * keys);
        Fail(L"`IniFile::ReadAll`", why);
        return;
    }
    wchar_t workload[64];
    const double fileBytes = static_cast<double>(text.size() * 2 + 2);
    if (quick)
        StrFormat(workload, 64, L"%.0f KB, %u × %u (file read included)", fileBytes / 1024.0, sections, keys);
    else
        StrFormat(workload, 64, L"%.1f MB, %u × %u (file read included)", fileBytes / (1024.0 * 1024.0), sections,
                  keys);
    Row(L"`IniFile::ReadAll`", workload, mine, L"GetPrivateProfileSectionW", anchor, unitMillis, 1, 2.0);
    DeleteFileW(path);
}

// --- start-menu names ----------------------------------------------------------------------------------

// Every row's key of both tables, in table order.
const wchar_t* const nameKeys[] = {
    L"Menu.User", L"Menu.Programs", L"Menu.NetworkFolder", L"Menu.Network", L"Menu.ComputerFolder",
    L"Menu.DocumentsLibrary", L"Menu.PicturesLibrary", L"Menu.MusicLibrary", L"Menu.VideosLibrary",
    L"Menu.Downloads", L"Menu.RecordedTV", L"Menu.Games", L"Menu.Homegroup", L"Menu.Favorites", L"Menu.Printers",
    L"Menu.DevicesAndPrinters", L"Menu.ControlPanel", L"Menu.ControlPanel", L"Menu.Help", L"Menu.Search",
    L"Menu.SearchFiles", L"Menu.SearchComputers", L"Menu.SearchPrinter", L"Menu.SearchBox", L"Menu.Empty",
    L"Menu.Internet", L"Menu.Email", L"Menu.AllPrograms", L"Menu.ShutDownBox", L"Menu.ShutDown", L"Menu.Logoff",
    L"Menu.LogoffShort", L"Menu.Restart", L"Menu.Lock", L"Menu.Hibernate", L"Menu.Sleep", L"Menu.Undock",
    L"Menu.Disconnect", L"Menu.SwitchUser", L"Menu.Run", L"Menu.Start", L"Menu.Start", L"Menu.Apps",
    L"Menu.Settings", L"Menu.StartScreen", L"Menu.StartScreen", L"Menu.StartScreen",
};
constexpr unsigned nameKeyCount = sizeof nameKeys / sizeof nameKeys[0];

void BenchNames()
{
    // The first pass resolves and caches every answer; only cached
    // lookups are timed.
    std::unordered_map<std::wstring, const wchar_t*> map;
    for (const wchar_t* key : nameKeys) {
        const wchar_t* name = TranslateDll(key, nullptr);
        if (!name) {
            Fail(L"`TranslateDll`", L"a table key had no answer");
            return;
        }
        map.emplace(key, name);
    }
    std::vector<std::wstring> keys(nameKeys, nameKeys + nameKeyCount);

    const unsigned lookups = quick ? 10000 : 1000000;
    const int rounds = Rounds(3);
    double mine = BestOf(rounds, [&] {
        uintptr_t sum = 0;
        for (unsigned i = 0, k = 0; i < lookups; ++i, k = k + 1 == nameKeyCount ? 0 : k + 1)
            sum += reinterpret_cast<uintptr_t>(TranslateDll(nameKeys[k], nullptr));
        sink = sum;
    });
    double anchor = BestOf(rounds, [&] {
        uintptr_t sum = 0;
        for (unsigned i = 0, k = 0; i < lookups; ++i, k = k + 1 == nameKeyCount ? 0 : k + 1)
            sum += reinterpret_cast<uintptr_t>(map.find(keys[k])->second);
        sink = sum;
    });
    wchar_t workload[64];
    StrFormat(workload, 64, L"%u rows (%u keys), %s lookups", nameKeyCount, static_cast<unsigned>(map.size()),
              quick ? L"10 k" : L"1 M");
    Row(L"`TranslateDll` cached", workload, mine, L"std::unordered_map find", anchor, unitNanos, lookups, 0.25);
}

// --- the Win+X menu --------------------------------------------------------------------------------------

double menuUpAt;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITMENUPOPUP && menuUpAt == 0) {
        menuUpAt = Now();
        PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The shell work the menu does for one shortcut, made directly.
bool PlatformShortcut(const wchar_t* path)
{
    SHFILEINFOW info = {};
    SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path, STGM_READ))) {
            IShellLinkDataList* data = nullptr;
            if (SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(&data)))) {
                DWORD flags = 0;
                ok = SUCCEEDED(data->GetFlags(&flags));
                sink = flags + info.szDisplayName[0];
                data->Release();
            }
        }
        file->Release();
    }
    link->Release();
    return ok;
}

void BenchWinX()
{
    CoInit com;
    wchar_t local[MAX_PATH];
    TempPath(local, L"LocalAppData");
    wchar_t savedLocal[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal, MAX_PATH);
    SetEnvironmentVariableW(L"LOCALAPPDATA", local);

    wchar_t cmd[MAX_PATH];
    ExpandEnvironmentStringsW(L"%SystemRoot%\\system32\\cmd.exe", cmd, MAX_PATH);
    std::vector<std::wstring> shortcuts;
    for (int g = 1; g <= 3; ++g) {
        wchar_t group[MAX_PATH];
        StrFormat(group, MAX_PATH, L"%s\\Microsoft\\Windows\\WinX\\Group%d", local, g);
        CreateFolders(group);
        for (int s = 1; s <= 10; ++s) {
            wchar_t path[MAX_PATH];
            StrFormat(path, MAX_PATH, L"%s\\%02d - Tool %d.%d.lnk", group, s, g, s);
            if (CreateLink(cmd, path, L"/c exit"))
                shortcuts.emplace_back(path);
        }
    }

    WNDCLASSW wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PvBenchOwner";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Start", WS_POPUP | WS_VISIBLE, 0, 0, 48, 40,
                                 nullptr, nullptr, wc.hInstance, nullptr);

    const int rounds = Rounds(7);
    bool shown = true;
    double mine = 1e300;
    for (int r = 0; r < rounds + 1; ++r) {
        menuUpAt = 0;
        double start = Now();
        int result = ShowRightClickMenuWinX(owner, nullptr, nullptr, nullptr);
        if (result != 0 || menuUpAt == 0)
            shown = false;
        // The first round loads the shell's code and is not counted.
        if (r > 0 && menuUpAt - start < mine)
            mine = menuUpAt - start;
    }
    bool loaded = true;
    double anchor = 1e300;
    for (int r = 0; r < rounds + 1; ++r) {
        double start = Now();
        for (const std::wstring& path : shortcuts)
            loaded = PlatformShortcut(path.c_str()) && loaded;
        double took = Now() - start;
        if (r > 0 && took < anchor)
            anchor = took;
    }
    DestroyWindow(owner);
    SetEnvironmentVariableW(L"LOCALAPPDATA", savedLocal[0] ? savedLocal : nullptr);

    if (shortcuts.size() != 30 || !shown || !loaded) {
        Fail(L"`ShowRightClickMenuWinX`", shortcuts.size() != 30 ? L"the shortcuts could not be made"
                                          : !shown                ? L"the menu did not come up"
                                                                  : L"a shortcut did not load");
        return;
    }
    Row(L"`ShowRightClickMenuWinX`", L"3 groups × 10 shortcuts, until the menu is up", mine,
        L"SHGetFileInfoW + IShellLink load + flags", anchor, unitMillis, 1, 0.75);
}

// --- loading the library ------------------------------------------------------------------------------

// Runs pvloadprobe beside this program and reads its two figures (µs per
// load of PVDLL.dll and of the trivial DLL); false when it failed.
bool RunLoadProbe(const wchar_t* folder, const wchar_t* mode, unsigned count, int rounds, double& ours,
                  double& trivial)
{
    wchar_t command[1024];
    StrFormat(command, 1024, L"\"%spvloadprobe.exe\" %s %u %d \"%sPVDLL.dll\" \"%spvtrivial.dll\"", folder, mode,
              count, rounds, folder, folder);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    KernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, folder, &startup, &process))
        return false;
    KernelHandle child(process.hProcess), thread(process.hThread);
    writer.Reset();  // the child holds the only write end now
    char text[128] = {};
    DWORD got = 0, total = 0;
    while (total < sizeof(text) - 1 && ReadFile(reader.Get(), text + total, sizeof(text) - 1 - total, &got, nullptr) &&
           got)
        total += got;
    WaitForSingleObject(child.Get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(child.Get(), &code);
    return code == 0 && sscanf(text, "%lf %lf", &ours, &trivial) == 2 && ours > 0 && trivial > 0;
}

void BenchLibraryLoad()
{
    wchar_t folder[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH);
    while (length > 0 && folder[length - 1] != L'\\')
        --length;
    folder[length] = L'\0';
    const unsigned count = quick ? 5 : 200;
    const int rounds = Rounds(5);
    static const struct {
        const wchar_t* mode;
        const wchar_t* what;
        double target;
    } kinds[] = {
        {L"cold", L"Library load, cold", 0.5},
        {L"warm", L"Library load, warm", 0.67},
    };
    for (const auto& kind : kinds) {
        double ours = 0, trivial = 0;
        if (!RunLoadProbe(folder, kind.mode, count, rounds, ours, trivial)) {
            Fail(kind.what, L"pvloadprobe could not load or unload a DLL");
            continue;
        }
        wchar_t workload[96];
        StrFormat(workload, 96, L"LoadLibraryW + FreeLibrary × %u in a process of its own", count);
        Row(kind.what, workload, ours / 1e6, L"a trivial DLL", trivial / 1e6, unitMicros, 1, kind.target);
    }
}

// --- the list ------------------------------------------------------------------------------------------

void BenchList()
{
    const uintptr_t count = quick ? 100000 : 10000000;
    const int rounds = Rounds(3);
    uintptr_t expected = count * (count + 1) / 2;
    bool ok = true;

    double ourAdd = 1e300, ourWalk = 1e300, stdAdd = 1e300, stdWalk = 1e300;
    for (int r = 0; r < rounds; ++r) {
        ZnList list;
        double t0 = Now();
        for (uintptr_t i = 1; i <= count; ++i)
            list.AddTail(reinterpret_cast<void*>(i));
        double t1 = Now();
        uintptr_t sum = 0;
        for (POS pos = list.GetHeadPos(); pos;)
            sum += reinterpret_cast<uintptr_t>(list.GetNext(pos));
        double t2 = Now();
        for (uintptr_t i = 1; i <= count; ++i)
            sum -= reinterpret_cast<uintptr_t>(list.RemoveHead());
        double t3 = Now();
        ok = ok && sum == expected - expected && list.IsEmpty();
        ourAdd = t1 - t0 + t3 - t2 < ourAdd ? t1 - t0 + t3 - t2 : ourAdd;
        ourWalk = t2 - t1 < ourWalk ? t2 - t1 : ourWalk;
    }
    for (int r = 0; r < rounds; ++r) {
        std::list<void*> list;
        double t0 = Now();
        for (uintptr_t i = 1; i <= count; ++i)
            list.push_back(reinterpret_cast<void*>(i));
        double t1 = Now();
        uintptr_t sum = 0;
        for (void* item : list)
            sum += reinterpret_cast<uintptr_t>(item);
        double t2 = Now();
        for (uintptr_t i = 1; i <= count; ++i) {
            sum -= reinterpret_cast<uintptr_t>(list.front());
            list.pop_front();
        }
        double t3 = Now();
        ok = ok && sum == 0 && list.empty();
        stdAdd = t1 - t0 + t3 - t2 < stdAdd ? t1 - t0 + t3 - t2 : stdAdd;
        stdWalk = t2 - t1 < stdWalk ? t2 - t1 : stdWalk;
    }
    if (!ok) {
        Fail(L"`ZnList`", L"the items did not come back as they went in");
        return;
    }
    const wchar_t* size = quick ? L"100 k" : L"10 M";
    wchar_t workload[64];
    StrFormat(workload, 64, L"%s AddTail, then %s RemoveHead", size, size);
    Row(L"`ZnList` AddTail/RemoveHead", workload, ourAdd, L"std::list<void*>", stdAdd, unitNanos,
        2.0 * static_cast<double>(count), 1.0);
    StrFormat(workload, 64, L"%s items, GetNext", size);
    Row(L"`ZnList` iteration", workload, ourWalk, L"std::list<void*>", stdWalk, unitNanos,
        static_cast<double>(count), 1.0);
}

// --- mini-HTML --------------------------------------------------------------------------------------

// words words of two to nine letters; every tenth one wrapped in <B>, <I>
// or <A> in turn, so the renderer switches fonts and makes link areas as
// real texts make it do.
std::wstring MakeMarkup(int words)
{
    static const wchar_t* const tags[] = {L"B", L"I", L"A"};
    std::wstring text;
    uint64_t x = 0x2545F4914F6CDD1Dull;
    for (int w = 0; w < words; ++w) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::wstring word;
        const int letters = 2 + static_cast<int>(x % 8);
        for (int i = 0; i < letters; ++i)
            word += static_cast<wchar_t>(L'a' + (x >> (8 + 5 * i)) % 26);
        if (w)
            text += L' ';
        if (w % 10 == 9) {
            const wchar_t* tag = tags[(w / 10) % 3];
            text += std::wstring(L"<") + tag + L">" + word + L"</" + tag + L">";
        } else {
            text += word;
        }
    }
    return text;
}

void BenchHtml()
{
    const int words = quick ? 500 : 10000;
    const int rounds = Rounds(5);
    const int width = 600;
    const std::wstring markup = MakeMarkup(words);
    std::wstring plain(DrawHTML::GetHTMLTextStripTags(markup.c_str(), nullptr, 0), L'\0');
    DrawHTML::GetHTMLTextStripTags(markup.c_str(), plain.data(), static_cast<int>(plain.size()));
    plain.resize(plain.size() - 1);

    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    DrawHTMLTools tools(DrawHTMLTools::fontCustom);
    tools.SetCustomFont(font);
    DrawHTML html(1000);
    DrawHTMLLinks links;

    // Both heights, before anything is timed: the same words in the same
    // font and width must take about as many lines either way.
    RECT htmlRect = {0, 0, width, 0x7FFFFFF};
    const int htmlHeight = html.Draw(DrawHTML::modeMeasure, dc, &htmlRect, markup.c_str(),
                                     static_cast<unsigned>(markup.size()), &links, &tools);
    RECT calc = {0, 0, width, 0};
    const int plainHeight = DrawTextW(dc, plain.c_str(), static_cast<int>(plain.size()), &calc,
                                      DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    const double lines = plainHeight > 0 ? static_cast<double>(htmlHeight) / plainHeight : 0;
    if (plain.find(L'<') != std::wstring::npos || links.GetCount() != words / 30 || lines < 0.9 || lines > 1.3) {
        Fail(L"`DrawHTML::Draw`", L"the markup and the plain text did not lay out alike");
    } else {
        // A picture as tall as the whole text, so that both draw every line.
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -(htmlHeight > plainHeight ? htmlHeight : plainHeight);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ oldBmp = SelectObject(dc, bmp);
        SetBkMode(dc, TRANSPARENT);
        RECT page = {0, 0, width, -info.bmiHeader.biHeight};
        const size_t pageBytes = static_cast<size_t>(width) * static_cast<size_t>(page.bottom) * 4;
        auto clear = [&] {
            GdiFlush();
            memset(bits, 0xFF, pageBytes);
        };

        const unsigned length = static_cast<unsigned>(markup.size());
        const double measure = BestOf(rounds, [&] {
            RECT r = page;
            sink = sink + static_cast<uint64_t>(html.Draw(DrawHTML::modeMeasure, dc, &r, markup.c_str(), length,
                                                          &links, &tools));
        });
        const double calcRect = BestOf(rounds, [&] {
            RECT r = {0, 0, width, 0};
            sink = sink
                + static_cast<uint64_t>(DrawTextW(dc, plain.c_str(), static_cast<int>(plain.size()), &r,
                                                  DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX));
        });
        const double draw = BestOf(
            rounds,
            [&] {
                clear();
                RECT r = page;
                html.Draw(DrawHTML::modeMeasure, dc, &r, markup.c_str(), length, &links, &tools);
            },
            [&] {
                RECT r = page;
                sink = sink
                    + static_cast<uint64_t>(
                        html.Draw(DrawHTML::modeDraw, dc, &r, markup.c_str(), length, &links, &tools));
                GdiFlush();
            });
        const double drawText = BestOf(rounds, clear, [&] {
            RECT r = page;
            sink = sink
                + static_cast<uint64_t>(
                    DrawTextW(dc, plain.c_str(), static_cast<int>(plain.size()), &r, DT_WORDBREAK | DT_NOPREFIX));
            GdiFlush();
        });
        SelectObject(dc, oldBmp);
        DeleteObject(bmp);

        wchar_t workload[96];
        StrFormat(workload, 96, L"%d words, a tag every 10, %d px wide, Tahoma 13 px", words, width);
        Row(L"`DrawHTML::Draw` measure", workload, measure, L"DrawTextW DT_CALCRECT (tags stripped)", calcRect,
            unitMicrosPerKiloWord, words, 0.5);
        Row(L"`DrawHTML::Draw` draw (after a measure)", workload, draw, L"DrawTextW (tags stripped)", drawText,
            unitMicrosPerKiloWord, words, 0.5);
    }
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    DeleteObject(font);
}

// --- dialogs -----------------------------------------------------------------------------------------

constexpr int benchDialogId = 100; // bench.rc

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// What the queue still holds for windows that are gone.
void DrainQueue()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

void BenchDialog()
{
    const unsigned count = quick ? 10 : 100;
    const int rounds = Rounds(3);
    HINSTANCE module = GetModuleHandleW(nullptr);

    // Both make the same dialog before anything is timed.
    HWND plain = CreateDialogParamW(module, MAKEINTRESOURCEW(benchDialogId), nullptr, PlainDialogProc, 0);
    ZnDlg probe;
    HWND ours = probe.Modeless(benchDialogId, module, nullptr, 0);
    const bool same = plain && ours && probe.IsInitialized() && GetDlgItem(ours, 1001) && GetDlgItem(plain, 1001);
    if (plain)
        DestroyWindow(plain);
    if (ours)
        DestroyWindow(ours);
    DrainQueue();
    if (!same) {
        Fail(L"`ZnDlg::Modeless`", L"the dialog could not be made from the template");
        return;
    }

    const double mine = BestOf(rounds, [&] {
        for (unsigned i = 0; i < count; ++i) {
            ZnDlg dlg;
            HWND h = dlg.Modeless(benchDialogId, module, nullptr, 1);
            DestroyWindow(h);
            DrainQueue();
        }
    });
    const double system = BestOf(rounds, [&] {
        for (unsigned i = 0; i < count; ++i) {
            HWND h = CreateDialogParamW(module, MAKEINTRESOURCEW(benchDialogId), nullptr, PlainDialogProc, 0);
            ShowWindow(h, SW_SHOW);
            UpdateWindow(h);
            DestroyWindow(h);
            DrainQueue();
        }
    });
    wchar_t workload[96];
    StrFormat(workload, 96, L"create, show, destroy × %u (7 controls)", count);
    Row(L"`ZnDlg::Modeless`", workload, mine, L"CreateDialogParamW + DestroyWindow", system, unitMicros, count, 0.7);
}

// --- dialog skins -----------------------------------------------------------------------------------

// A 32-bit top-down DIB section of cx x cy painted by paint(x, y) -> 0x00RRGGBB.
template <typename Paint>
HBITMAP MakeBenchBitmap(int cx, int cy, Paint paint)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; bmp && y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            static_cast<DWORD*>(bits)[y * cx + x] = paint(x, y);
    return bmp;
}

// A dialog-sized skin drawn again at the size it was last stretched to
// (what every repaint of a dialog does: the nine-slice stretch is kept
// until the size changes), beside the one StretchBlt that draws the same
// picture at that size without nine-slice, areas or cache.
void BenchSkin()
{
    const int rounds = Rounds(5);
    const int draws = quick ? 5 : 200;
    const int pictureCx = 200, pictureCy = 150, cx = 800, cy = 600;
    auto paint = [](int x, int y) -> DWORD {
        DWORD band = (x < 40 ? 0 : (x < 160 ? 1 : 2)) + 3 * (y < 30 ? 0 : (y < 120 ? 1 : 2));
        return (band * 25) << 16 | static_cast<DWORD>(x & 0xFF) << 8 | static_cast<DWORD>(y & 0xFF);
    };
    HBITMAP picture = MakeBenchBitmap(pictureCx, pictureCy, paint);
    HBITMAP anchorPicture = MakeBenchBitmap(pictureCx, pictureCy, paint);
    HBITMAP target = MakeBenchBitmap(cx, cy, [](int, int) -> DWORD { return 0; });
    if (!picture || !anchorPicture || !target) {
        Fail(L"`ZnDlgSkin::DrawSkin`", L"no bitmaps");
        return;
    }
    ZnDlgSkin skin;
    RECT stretch = {40, 30, 160, 120};
    skin.SetSkin(picture, RGB(255, 0, 255), &stretch);
    // Eight buttons in the bottom band, which keeps its height.
    for (int i = 0; i < 8; ++i) {
        auto* area = new ZnDlgSkinArea(100 + i, 4 + i * 24, 126, 20, 16, 0, 0, 0, 0, 0, 0);
        const DWORD color = 0x102030u * static_cast<DWORD>(i + 1);
        area->SetBitmap(ZnDlgSkinArea::lookNormal, MakeBenchBitmap(20, 16, [&](int, int) { return color; }));
        skin.AddArea(area);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTarget = SelectObject(dc, target);
    HGDIOBJ oldSource = SelectObject(source, anchorPicture);
    SetStretchBltMode(dc, COLORONCOLOR);

    // The first draw stretches; what is timed draws from the kept stretch.
    skin.DrawSkin(dc, 0, 0, cx, cy);
    GdiFlush();
    RECT first;
    const bool drawn = skin.GetAreaRect(100, &first) && GetPixel(dc, first.left, first.top) == RGB(0x10, 0x20, 0x30)
        && GetPixel(dc, 0, 0) == RGB(0, 0, 0)
        && GetPixel(dc, cx - 1, cy - 1) == RGB(200, (pictureCx - 1) & 0xFF, (pictureCy - 1) & 0xFF);
    if (!drawn) {
        Fail(L"`ZnDlgSkin::DrawSkin`", L"the skin or its areas did not come out as painted");
    } else {
        const double ours = BestOf(rounds, [&] {
            for (int i = 0; i < draws; ++i)
                skin.DrawSkin(dc, 0, 0, cx, cy);
            GdiFlush();
        });
        const double theirs = BestOf(rounds, [&] {
            for (int i = 0; i < draws; ++i)
                StretchBlt(dc, 0, 0, cx, cy, source, 0, 0, pictureCx, pictureCy, SRCCOPY);
            GdiFlush();
        });
        Row(L"`ZnDlgSkin::DrawSkin`", L"800 × 600 from a 200 × 150 nine-slice picture, 8 areas, stretch kept", ours,
            L"StretchBlt of the picture", theirs, unitMicros, draws, 0.3);
    }
    SelectObject(source, oldSource);
    SelectObject(dc, oldTarget);
    DeleteDC(source);
    DeleteDC(dc);
    DeleteObject(anchorPicture);
    DeleteObject(target);
}

// --- owner-drawn menus ---------------------------------------------------------------------------

// 40-item owner-drawn menus measured and painted item by item, as the
// menu's owner does on WM_MEASUREITEM and WM_DRAWITEM when a menu shows
// (each menu is shown once: fresh items, nothing measured before), beside
// the same 40 texts measured (DT_CALCRECT) and drawn with DrawTextW in the
// same font on the same DIB section.
void BenchOwnerDrawMenu()
{
    const int rounds = Rounds(7);
    const int menus = quick ? 2 : 200;
    const int count = 40;
    const int width = 300;
    const wchar_t* what = L"`ZnMenuOwnerDrawItem` measure + paint";
    HBITMAP target = MakeBenchBitmap(width, 40 * 30, [](int, int) -> DWORD { return 0; });
    HDC dc = CreateCompatibleDC(nullptr);
    if (!target || !dc) {
        Fail(what, L"no bitmap");
        return;
    }
    HGDIOBJ oldTarget = SelectObject(dc, target);
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i) {
        wchar_t text[64];
        StrFormat(text, 64, L"&Item %d of the start menu's list", i + 1);
        texts.push_back(text);
    }
    // Keeps the shared fonts and brushes alive from one round to the next,
    // as any menu of a running program does.
    ZnMenuOwnerDrawItem keeper(nullptr, L"keeper");
    std::vector<std::unique_ptr<ZnMenuOwnerDraw>> shown;
    bool same = true;
    auto makeMenus = [&] {
        shown.clear();
        for (int m = 0; m < menus; ++m) {
            auto menu = std::make_unique<ZnMenuOwnerDraw>();
            menu->CreatePopup();
            for (int i = 0; i < count; ++i)
                menu->AppendItem(static_cast<UINT>(i + 1),
                    new (std::nothrow) ZnMenuOwnerDrawItem(menu.get(), texts[static_cast<size_t>(i)].c_str()),
                    i == 7 ? MFS_GRAYED : 0);
            menu->SetDefaultByID(1);
            same = same && menu->GetCount() == count;
            shown.push_back(std::move(menu));
        }
    };
    const int rowHeight = ZnMenuOwnerDrawItem::ItemHeight();
    const double ours = BestOf(rounds, makeMenus, [&] {
        for (auto& menu : shown) {
            for (int i = 0; i < count; ++i) {
                const UINT id = static_cast<UINT>(i + 1);
                ZnMenuOwnerDrawItem* item = menu->GetItemByPos(static_cast<UINT>(i));
                SIZE size = {};
                item->GetSize(id, dc, size);
                RECT rect = {0, i * rowHeight, width, i * rowHeight + size.cy};
                item->Paint(id, dc, rect, i == 3 ? ODS_SELECTED : (i == 7 ? ODS_GRAYED : 0));
            }
        }
        GdiFlush();
    });
    shown.clear();
    HFONT font = ZnMenuOwnerDrawItem::Font(0);
    const double theirs = BestOf(rounds, [&] {
        for (int m = 0; m < menus; ++m) {
            HGDIOBJ oldFont = SelectObject(dc, font);
            for (int i = 0; i < count; ++i) {
                const std::wstring& text = texts[static_cast<size_t>(i)];
                RECT measure = {};
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure, DT_SINGLELINE | DT_CALCRECT);
                RECT rect = {2, i * rowHeight, width, (i + 1) * rowHeight};
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                    DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
            }
            SelectObject(dc, oldFont);
        }
        GdiFlush();
    });
    if (!same)
        Fail(what, L"a menu did not take its 40 items");
    else
        Row(what, L"40-item menus, each measured and painted once (one default, one disabled, one selected item), 300 px",
            ours, L"DrawTextW DT_CALCRECT + DrawTextW", theirs, unitMicros, menus, 0.5);
    SelectObject(dc, oldTarget);
    DeleteDC(dc);
    DeleteObject(target);
}

// --- HTTP ---------------------------------------------------------------------------------------

// The same exchange as SendHttp's, made with the platform's calls directly:
// session, connection, request, time-outs, the form posted in ANSI, the
// answer read while data is available and turned into text.
std::wstring PlatformPost(unsigned short port, const std::string& body)
{
    std::wstring text;
    HINTERNET session
        = InternetOpenW(L"Mozilla/4.0 (Corvenna Software)", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = session
        ? InternetConnectW(session, LocalHttpServer::Host(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0)
        : nullptr;
    const wchar_t* accept[] = {L"*/*", nullptr};
    HINTERNET request = connection ? HttpOpenRequestW(connection, L"POST", L"updates/index.php", nullptr, nullptr,
                            accept, INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_NO_UI, 0)
                                   : nullptr;
    DWORD timeout = 10000;
    if (request && InternetSetOptionW(request, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout)
        && InternetSetOptionW(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout)
        && HttpSendRequestW(request, L"Content-Type: application/x-www-form-urlencoded", static_cast<DWORD>(-1),
            const_cast<char*>(body.data()), static_cast<DWORD>(body.size()))) {
        char buffer[1024];
        DWORD count = 0, available = 0, got = 0;
        while (count < sizeof buffer && InternetQueryDataAvailable(request, &available, 0, 0) && available) {
            DWORD want = available < sizeof buffer - count ? available : sizeof buffer - count;
            if (!InternetReadFile(request, buffer + count, want, &got) || !got)
                break;
            count += got;
        }
        int n = MultiByteToWideChar(CP_ACP, 0, buffer, static_cast<int>(count), nullptr, 0);
        text.resize(static_cast<size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, buffer, static_cast<int>(count), text.data(), n);
    }
    for (HINTERNET h : {request, connection, session})
        if (h)
            InternetCloseHandle(h);
    return text;
}

// Round trips to a server in this process on 127.0.0.1: an update query
// posted and a short update answer read, by SendHttp and by the platform.
void BenchHttp()
{
    LocalHttpServer server;
    if (!server.Port()) {
        Fail(L"`SendHttp`", L"the local server could not listen");
        return;
    }
    const std::string answer = "[dl]\r\nversion=21.8\r\ndescr=New menus\r\nurlmoreinfo=https://www.corvenna.com/news"
                               "\r\nurldownload=https://www.corvenna.com/get/launchora.exe\r\n";
    server.Answer(answer);
    wchar_t query[check4UpdatesQueryChars];
    MakeCheck4UpdatesQuery(query, check4UpdatesQueryChars);
    std::string body;
    for (const wchar_t* p = query; *p; ++p)
        body += static_cast<char>(*p);

    auto ours = [&] {
        return SendHttpToPort(
            LocalHttpServer::Host(), server.Port(), L"updates/index.php", 1024, query, 10, nullptr, 0);
    };
    wchar_t* first = ours();
    const std::wstring expected(answer.begin(), answer.end());
    const bool same = first && expected == first && PlatformPost(server.Port(), body) == expected;
    FreeDllBuf(first);
    if (!same) {
        Fail(L"`SendHttp`", L"the two clients did not get the same answer");
        return;
    }
    const unsigned count = quick ? 5 : 100;
    const int rounds = Rounds(3);
    // The rounds alternate, so that a drift of the machine or of the
    // system's socket tables over the run weighs on both alike.
    bool allAnswered = true;
    double mine = 1e300, theirs = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const double oursRound = BestOf(1, [&] {
            for (unsigned i = 0; i < count; ++i) {
                wchar_t* text = ours();
                allAnswered &= text != nullptr;
                FreeDllBuf(text);
            }
        });
        const double theirsRound = BestOf(1, [&] {
            for (unsigned i = 0; i < count; ++i)
                allAnswered &= !PlatformPost(server.Port(), body).empty();
        });
        mine = oursRound < mine ? oursRound : mine;
        theirs = theirsRound < theirs ? theirsRound : theirs;
    }
    if (!allAnswered) {
        Fail(L"`SendHttp`", L"a round trip went unanswered");
        return;
    }
    wchar_t workload[96];
    StrFormat(workload, 96, L"%u POST round trips to 127.0.0.1 (%u-byte form, %u-byte answer)", count,
        static_cast<unsigned>(body.size()), static_cast<unsigned>(answer.size()));
    Row(L"`SendHttp`", workload, mine, L"WinINet calls", theirs, unitMicros, count, 0.9);
}

// --- progress dialogs ------------------------------------------------------------------------

// A worker's small unit of work: some hundreds of nanoseconds of mixing.
unsigned UnitOfWork(unsigned x)
{
    for (int i = 0; i < 96; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
    }
    return x;
}

// A worker loop reporting every step to a Progress whose dialog is up (the
// bar moving through 100 positions, the text of every step throttled to one
// change per 100 ms, the cancel flag read every step), beside the same loop
// reporting nothing. Their rounds alternate.
void BenchProgress()
{
    const unsigned steps = quick ? 10000 : 1000000;
    const unsigned perPosition = steps / 100;
    const int rounds = Rounds(5);
    Progress* progress = new (std::nothrow) Progress(nullptr, 0, 100, 2, TRUE);
    HWND dialog = progress ? progress->GetDlgHWND() : nullptr;
    if (!dialog) {
        delete progress;
        Fail(L"`Progress` worker loop", L"the progress dialog did not come up");
        return;
    }
    progress->SetTitle(L"pvbench");

    unsigned withResult = 0;
    unsigned withoutResult = 0;
    int barEnd = -1;
    double with = 1e300;
    double without = 1e300;
    for (int r = 0; r < rounds; ++r) {
        progress->SetRange(0, 100);
        double start = Now();
        unsigned x = 1;
        for (unsigned i = 0; i < steps && !progress->IsCanceled(); ++i) {
            x = UnitOfWork(x + i);
            progress->SetTextFmt(1, L"Item %u of %u", i + 1, steps);
            if ((i + 1) % perPosition == 0)
                progress->StepIt();
        }
        with = std::min(with, Now() - start);
        withResult = x;
        // The bar follows on the dialog's thread.
        progress->GetDlg()->Settle(5000);
        barEnd = static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_DLG_BAR, PBM_GETPOS, 0, 0));

        start = Now();
        x = 1;
        for (unsigned i = 0; i < steps; ++i)
            x = UnitOfWork(x + i);
        without = std::min(without, Now() - start);
        withoutResult = x;
    }
    delete progress;
    if (withResult != withoutResult || barEnd != 100) {
        Fail(L"`Progress` worker loop", L"the loop's result or the bar's end position is wrong");
        return;
    }
    wchar_t workload[128];
    StrFormat(
        workload, 128, L"%u steps, bar through 100 positions, a text per step shown at most every 100 ms", steps);
    Row(L"`Progress` worker loop", workload, with, L"the same loop without progress", without, unitNanos, steps,
        0.9);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!lstrcmpiW(argv[i], L"--quick")) {
            quick = true;
        } else {
            Print(L"usage: pvbench [--quick]\n");
            return 2;
        }
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ticksPerSecond = static_cast<double>(frequency.QuadPart);
    MakeTempFolder();

    Print(L"pvbench%s: speed ratio = the anchor's time ÷ ours (above 1: faster than the anchor), "
          L"best of several rounds\n\n",
          quick ? L" --quick (sizes too small to mean anything)" : L"");
    PrintHeader();
    const double start = Now();
    {
        auto data = MakeRandom(quick ? 1024 * 1024 : 64 * 1024 * 1024);
        const wchar_t* sizeText = quick ? L"1 MB" : L"64 MB";
        BenchSha1(data, sizeText);
        BenchMd5(data, sizeText);
        BenchCrc32(data, sizeText);
        BenchEncodings(data, sizeText);
    }
    BenchReadText();
    BenchIni();
    BenchNames();
    BenchWinX();
    BenchLibraryLoad();
    BenchList();
    BenchHtml();
    BenchDialog();
    BenchSkin();
    BenchOwnerDrawMenu();
    BenchHttp();
    BenchProgress();
    RemoveTree(tempFolder);

    constexpr int rowsExpected = 30;
    Print(L"\n%d of %d rows measured, %d below target, %d failed, in %.0f s\n", rowsPrinted, rowsExpected,
          rowsMissed, failures, Now() - start);
    return rowsPrinted == rowsExpected && failures == 0 ? 0 : 1;
}
