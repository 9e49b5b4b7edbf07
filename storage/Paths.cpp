#include "storage/Paths.h"

#include <shlwapi.h>

#include <cstring>
#include <cwchar>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "storage/internal/LastError.h"
#include "storage/internal/PathAttributes.h"
#include "storage/internal/PathText.h"
#include "storage/RegKey.h"
#include "base/internal/DllHeap.h"
#include "text/StrFunc.h"

using PathText::cchPath;

namespace {

bool IsDriveStart(const wchar_t* p)
{
    return p && IsAlphaChar(p[0]) && p[1] == L':';
}

bool IsTwoSeps(const wchar_t* p)
{
    return p && IsSep(p[0]) && IsSep(p[1]);
}

bool IsTwoBackslashes(const wchar_t* p)
{
    return p && p[0] == L'\\' && p[1] == L'\\';
}

// Characters up to the next separator or the end.
size_t NameLength(const wchar_t* p)
{
    size_t n = 0;
    while (p[n] && !IsSep(p[n]))
        ++n;
    return n;
}

// The length the path has once RemoveBackSlash has done its work.
size_t LengthWithoutBackSlash(const wchar_t* p)
{
    size_t len = std::wcslen(p);
    if (len >= 2 && IsSep(p[len - 1]) && !IsSep(p[len - 2]) && p[len - 2] != L':')
        --len;
    return len;
}

// A share root: \\server\share with at most one separator after it.
bool IsShareRoot(const wchar_t* p, bool backslashesOnly)
{
    if (backslashesOnly ? !IsTwoBackslashes(p) : !IsTwoSeps(p))
        return false;
    size_t server = NameLength(p + 2);
    const wchar_t* sep = p + 2 + server;
    if (!server || !IsSep(*sep))
        return false;
    size_t share = NameLength(sep + 1);
    const wchar_t* end = sep + 1 + share;
    return share && (!*end || (IsSep(*end) && !end[1]));
}

// ExpandEnvironmentStrings and PathUnExpandEnvStrings read in while they
// write out, so an in-place call works on a copy. Without memory for it
// the call fails, and out still holds in, as after any failure.
template <typename Convert>
int ConvertOrCopy(const wchar_t* in, wchar_t* out, unsigned cch, Convert convert)
{
    if (!out || !cch)
        return 0;
    if (!in)
        in = L"";
    DllBlock<wchar_t> copy;
    if (in == out) {
        copy.Reset(DllHeap::CopyText(in, std::wcslen(in)));
        if (!copy)
            return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
        in = copy.Get();
    }
    int done = convert(in, out, cch) && out[0];
    if (!done)
        PathText::Copy(out, cch, in);
    return done;
}

// The folder a canonical code stands for, into out (260 characters); 0
// when it could not be had whole.
int KnownFolder(wchar_t code, wchar_t* out)
{
    UINT n = 0;
    switch (code) {
    case L'S':
        n = GetSystemDirectoryW(out, cchPath);
        break;
    case L'W':
        n = GetWindowsDirectoryW(out, cchPath);
        break;
    case L'_':
        return GetHomeDir(out);
    }
    if (!n || n >= cchPath) {
        out[0] = L'\0';
        return 0;
    }
    return 1;
}

const wchar_t canonicalCodes[] = {L'S', L'W', L'_'};

// folder with its environment variables expanded, into out (260
// characters); false when the expanded folder does not fit, so that a long
// expansion is never mistaken for a short unexpanded folder. Without
// memory to expand in, out is empty and the answer false.
bool ExpandFolder(const wchar_t* folder, wchar_t* out)
{
    if (!folder)
        folder = L"";
    DWORD need = ExpandEnvironmentStringsW(folder, nullptr, 0);
    if (!need)
        return PathText::Copy(out, cchPath, folder);
    DllBlock<wchar_t> work(DllHeap::AllocArray<wchar_t>(need));
    if (!work) {
        out[0] = L'\0';
        return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    DWORD got = ExpandEnvironmentStringsW(folder, work.Get(), need);
    return PathText::Copy(out, cchPath, got && got <= need ? work.Get() : folder);
}

} // namespace

// --- parts of a path -----------------------------------------------------------

const wchar_t* LocateFileName(const wchar_t* path)
{
    if (!path)
        return nullptr;
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (IsSep(*p) || *p == L':')
            name = p + 1;
    }
    return name;
}

wchar_t* LocateFileName(wchar_t* path)
{
    return const_cast<wchar_t*>(LocateFileName(static_cast<const wchar_t*>(path)));
}

const wchar_t* LocateFileExt(const wchar_t* path)
{
    const wchar_t* p = LocateFileName(path);
    if (!p)
        return nullptr;
    const wchar_t* dot = nullptr;
    for (; *p; ++p) {
        if (*p == L'.')
            dot = p;
    }
    return dot;
}

wchar_t* LocateFileExt(wchar_t* path)
{
    return const_cast<wchar_t*>(LocateFileExt(static_cast<const wchar_t*>(path)));
}

// --- editing in place ---------------------------------------------------------------

int StripFileName(wchar_t* path)
{
    wchar_t* name = LocateFileName(path);
    if (!name || !*name)
        return 0;
    *name = L'\0';
    return 1;
}

int StripFileNameAndBackslash(wchar_t* path)
{
    wchar_t* name = LocateFileName(path);
    if (!name)
        return 0;
    int changed = *name != L'\0';
    *name = L'\0';
    if (name > path && IsSep(name[-1]) && !(name - 1 > path && name[-2] == L':')) {
        name[-1] = L'\0';
        changed = 1;
    }
    return changed;
}

int StripFileExt(wchar_t* path)
{
    wchar_t* ext = LocateFileExt(path);
    if (!ext)
        return 0;
    *ext = L'\0';
    return 1;
}

int AppendFileName(wchar_t* path, const wchar_t* name)
{
    if (!path)
        return 0;
    size_t len = wcsnlen(path, cchPath);
    if (len >= cchPath)
        return 0;
    if (!len || !IsSep(path[len - 1])) {
        if (len + 1 >= cchPath)
            return 0;
        path[len++] = L'\\';
        path[len] = L'\0';
    }
    return PathText::Copy(path + len, static_cast<unsigned>(cchPath - len), name);
}

int AppendBackSlash(wchar_t* path)
{
    if (!path)
        return 0;
    size_t len = wcsnlen(path, cchPath);
    if (len >= cchPath)
        return 0;
    if (len && IsSep(path[len - 1]))
        return 1;
    if (len + 1 >= cchPath)
        return 0;
    path[len] = L'\\';
    path[len + 1] = L'\0';
    return 1;
}

int RemoveBackSlash(wchar_t* path)
{
    if (!path)
        return 0;
    size_t len = std::wcslen(path);
    // A lone separator is the root of the current drive, and stays.
    if (len < 2 || LengthWithoutBackSlash(path) == len)
        return 0;
    path[len - 1] = L'\0';
    return 1;
}

int StripBackSlash(wchar_t* path)
{
    if (!path)
        return 0;
    size_t len = std::wcslen(path);
    if (!len || !IsSep(path[len - 1]))
        return 0;
    path[len - 1] = L'\0';
    return 1;
}

int DirFromPath(wchar_t* out, const wchar_t* path)
{
    if (!out)
        return 0;
    PathText::Copy(out, cchPath, path);
    StripFileName(out);
    RemoveBackSlash(out);
    return out[0] != L'\0';
}

// --- quotes and blanks ----------------------------------------------------------------

int UnQuote(wchar_t* out, const wchar_t* in)
{
    if (!out)
        return 0;
    // Reading runs one character ahead of writing, so in may be out.
    const wchar_t* src = in ? in : out;
    if (*src == L'"')
        ++src;
    unsigned i = 0;
    for (; i + 1 < cchPath && src[i] && src[i] != L'"'; ++i)
        out[i] = src[i];
    out[i] = L'\0';
    return 1;
}

int RemoveWhiteSpacesAndQuotes(wchar_t* out, const wchar_t* in)
{
    if (!out)
        return 0;
    const wchar_t* begin = in ? in : out;
    while (PathText::IsBlank(*begin))
        ++begin;
    const wchar_t* end = begin + std::wcslen(begin);
    while (end > begin && PathText::IsBlank(end[-1]))
        --end;
    if (begin < end && *begin == L'"') {
        ++begin;
        while (begin < end && PathText::IsBlank(*begin))
            ++begin;
    }
    if (begin < end && end[-1] == L'"') {
        --end;
        while (end > begin && PathText::IsBlank(end[-1]))
            --end;
    }
    size_t n = static_cast<size_t>(end - begin);
    if (n > cchPath - 1)
        n = cchPath - 1;
    std::wmemmove(out, begin, n);
    out[n] = L'\0';
    return 1;
}

int AddQuotesIfSpace(wchar_t* path)
{
    if (!path)
        return 0;
    size_t len = wcsnlen(path, cchPath);
    if (len >= cchPath)
        return 0;
    if (!std::wmemchr(path, L' ', len))
        return 1;
    if (len >= 2 && path[0] == L'"' && path[len - 1] == L'"')
        return 1;
    if (len + 2 >= cchPath)
        return 0;
    std::wmemmove(path + 1, path, len);
    path[0] = L'"';
    path[len + 1] = L'"';
    path[len + 2] = L'\0';
    return 1;
}

// --- what kind of path -----------------------------------------------------------------

int IsDrivePath(const wchar_t* p)
{
    return IsDriveStart(p) && (!p[2] || (IsSep(p[2]) && !p[3]));
}

int IsDosFolder(const wchar_t* p)
{
    return IsDriveStart(p) && IsSep(p[2]);
}

int IsRootDrive(const wchar_t* p)
{
    return IsDosFolder(p) && !p[3];
}

int IsRootShare(const wchar_t* p)
{
    return IsShareRoot(p, false) && std::wcslen(p) >= 6;
}

int IsRootPath(const wchar_t* p)
{
    return IsRootDrive(p) || IsRootShare(p);
}

int IsRootFolder(const wchar_t* p, int allowServer)
{
    if (IsRootDrive(p))
        return 1;
    if (!allowServer || !IsTwoSeps(p))
        return 0;
    size_t server = NameLength(p + 2);
    return server && !p[2 + server];
}

int IsNetworkPath(const wchar_t* p)
{
    return IsTwoBackslashes(p) && p[2];
}

int IsNetworkComputer(const wchar_t* p)
{
    if (!IsTwoBackslashes(p))
        return 0;
    size_t server = NameLength(p + 2);
    return server && !p[2 + server];
}

int IsNetworkShare(const wchar_t* p)
{
    if (!IsShareRoot(p, true))
        return 0;
    size_t len = std::wcslen(p);
    return !IsSep(p[len - 1]);
}

int IsFullPathName(const wchar_t* p)
{
    return p && (IsSep(p[0]) || IsDosFolder(p));
}

int IsMask(const wchar_t* p)
{
    return FindChar(p, L'*') >= 0 || FindChar(p, L'?') >= 0;
}

// --- making paths -----------------------------------------------------------------------

int MakeRootPath(wchar_t* out, const wchar_t* path)
{
    PathText::Writer w(out, cchPath);
    if (!path)
        return 0;
    if (IsAlphaChar(path[0])) {
        const wchar_t root[] = {CharToUpper(path[0]), L':', L'\\'};
        w.Put(root, 3);
        return w.End();
    }
    if (!IsTwoSeps(path))
        return 0;
    const wchar_t* server = path + 2;
    size_t serverLen = NameLength(server);
    // Two separators with no server after them name no root at all.
    if (!serverLen)
        return 0;
    w.Put(L"\\\\");
    w.Put(server, serverLen);
    w.Put(L'\\');
    if (IsSep(server[serverLen])) {
        const wchar_t* share = server + serverLen + 1;
        size_t shareLen = NameLength(share);
        if (shareLen) {
            w.Put(share, shareLen);
            w.Put(L'\\');
        }
    }
    // A root cut short would name another share.
    if (!w.Whole())
        w.Clear();
    return w.End();
}

int MakeFolderPath(wchar_t* out, const wchar_t* path)
{
    if (!out)
        return 0;
    if (out != path)
        PathText::Copy(out, cchPath, path);
    if (!IsRootFolder(out, 1) && !IsRootShare(out))
        StripFileName(out);
    return out[0] != L'\0';
}

int MakePath(wchar_t* out, const wchar_t* folder, const wchar_t* name, const wchar_t* ext, int allowCut)
{
    if (!out)
        return 0;
    bool folderWhole;
    if (out == folder) {
        folderWhole = wcsnlen(out, cchPath) < cchPath;
    } else {
        folderWhole = ExpandFolder(folder, out);
    }
    size_t len = wcsnlen(out, cchPath);
    if (!name || !*name) {
        if (folderWhole)
            return 1;
        if (!allowCut)
            out[0] = L'\0';
        return 0;
    }

    if (IsSep(*name))
        ++name;
    size_t nameLen = std::wcslen(name);
    bool sep = !len || !IsSep(out[len - 1]);
    bool dot = ext && *ext && *ext != L'.';
    size_t extLen = ext ? std::wcslen(ext) : 0;
    size_t total = len + sep + nameLen + dot + extLen;
    if (folderWhole && total < cchPath) {
        if (sep)
            out[len++] = L'\\';
        std::wmemcpy(out + len, name, nameLen);
        len += nameLen;
        if (dot)
            out[len++] = L'.';
        std::wmemcpy(out + len, ext ? ext : L"", extLen);
        out[len + extLen] = L'\0';
        return 1;
    }
    if (!allowCut) {
        out[0] = L'\0';
        return 0;
    }
    if (folderWhole && (!sep || AppendBackSlash(out)))
        PathText::Append(out, cchPath, name);
    return 0;
}

// --- comparing ------------------------------------------------------------------------------

int IsSamePath(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return 0;
    size_t len = LengthWithoutBackSlash(a);
    if (len != LengthWithoutBackSlash(b))
        return 0;
    for (size_t i = 0; i < len; ++i) {
        if (!PathText::SamePathChar(a[i], b[i]))
            return 0;
    }
    return 1;
}

int IsSubFolderOf(const wchar_t* child, const wchar_t* parent, int orSame)
{
    if (!child || !parent || !*parent)
        return 0;
    size_t len = std::wcslen(parent);
    size_t kept = len;
    while (kept && IsSep(parent[kept - 1]))
        --kept;
    // A parent of separators alone (\) is a root: what follows it needs no
    // separator of its own.
    bool rootOfSeps = kept == 0;
    if (rootOfSeps)
        kept = len;
    for (size_t i = 0; i < kept; ++i) {
        if (!child[i] || !PathText::SamePathChar(child[i], parent[i]))
            return 0;
    }
    const wchar_t* rest = child + kept;
    if (!rootOfSeps && *rest && !IsSep(*rest))
        return 0;
    while (IsSep(*rest))
        ++rest;
    return *rest ? 1 : orSame != 0;
}

// --- environment variables ---------------------------------------------------------------------

int ExpandEnvStrings(const wchar_t* in, wchar_t* out, unsigned cch)
{
    return ConvertOrCopy(in, out, cch, [](const wchar_t* src, wchar_t* dst, unsigned n) {
        DWORD need = ExpandEnvironmentStringsW(src, dst, n);
        return need && need <= n;
    });
}

int UnExpandEnvStrings(const wchar_t* in, wchar_t* out, unsigned cch)
{
    return ConvertOrCopy(in, out, cch, [](const wchar_t* src, wchar_t* dst, unsigned n) {
        return PathUnExpandEnvStringsW(src, dst, n) != FALSE;
    });
}

// --- the file system ----------------------------------------------------------------------------

DWORD GetFileAttributes2(const wchar_t* p)
{
    if (!p || !*p)
        return INVALID_FILE_ATTRIBUTES;
    DWORD attr = GetFileAttributesW(p);
    if (attr != INVALID_FILE_ATTRIBUTES || IsMask(p))
        return attr;
    WIN32_FIND_DATAW data;
    if (!FindHandle(FindFirstFileW(p, &data)))
        return INVALID_FILE_ATTRIBUTES;
    return data.dwFileAttributes;
}

int FileExists(const wchar_t* p)
{
    return PathAttributes::IsFile(GetFileAttributes2(p));
}

int FolderExists(const wchar_t* p)
{
    return PathAttributes::IsFolder(GetFileAttributes2(p));
}

int FileOrFolderExists(const wchar_t* p)
{
    return PathAttributes::Exists(GetFileAttributes2(p));
}

int DriveExists(const wchar_t* p)
{
    int drive = p ? GetDrive(p[0]) : -1;
    if (drive < 0)
        return 0;
    const wchar_t root[] = {GetDriveLetter(drive), L':', L'\\', L'\0'};
    UINT type = GetDriveTypeW(root);
    return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

// --- the home folder and canonical paths ----------------------------------------------------------

int GetHomeDir(wchar_t* out)
{
    if (!out)
        return 0;
    out[0] = L'\0';
    GetHomeFolder(GetMyProductInfo()->GetName(), out);
    if (out[0])
        return 1;
    DWORD n = GetModuleFileNameW(hiDLL, out, cchPath);
    // A cut file name would give a folder that is not ours.
    if (!n || n >= cchPath) {
        out[0] = L'\0';
        return 0;
    }
    StripFileNameAndBackslash(out);
    return out[0] != L'\0';
}

int MakeCanonicalPath(const wchar_t* path, wchar_t* out)
{
    if (!out)
        return 0;
    if (path && wcsnlen(path, cchPath) < cchPath) {
        wchar_t folder[cchPath];
        DirFromPath(folder, path);
        for (wchar_t code : canonicalCodes) {
            wchar_t known[cchPath];
            if (!KnownFolder(code, known) || !IsSamePath(folder, known))
                continue;
            const wchar_t prefix[] = {L'%', code, L'\\', L'\0'};
            PathText::Copy(out, cchPath, prefix);
            PathText::Append(out, cchPath, LocateFileName(path));
            return 1;
        }
    }
    PathText::Copy(out, cchPath, path);
    return 0;
}

int GetPathFromCanonical(const wchar_t* canon, wchar_t* out)
{
    if (!out)
        return 0;
    // A code stands alone before a separator; "%SystemRoot%" or "%WINDIR%"
    // begin with the same letters and are no codes.
    bool coded = canon && canon[0] == L'%' && canon[1] && std::wcschr(L"SW_", canon[1]) &&
                 (!canon[2] || IsSep(canon[2]));
    if (!coded) {
        PathText::Copy(out, cchPath, canon);
        return 0;
    }
    const wchar_t* rest = canon + 2;
    if (IsSep(*rest))
        ++rest;
    if (KnownFolder(canon[1], out) && AppendBackSlash(out) && PathText::Append(out, cchPath, rest))
        return 1;
    out[0] = L'\0';
    return 0;
}
