#include "storage/UniPath.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <utility>

#include "storage/FileQuery.h"
#include "storage/internal/LastError.h"
#include "storage/internal/PathAttributes.h"
#include "storage/internal/PathText.h"
#include "storage/Paths.h"
#include "base/internal/DllHeap.h"

using PathText::cchPath;

namespace {

wchar_t* NewPathBuffer()
{
    wchar_t* buffer = DllHeap::AllocArrayZero<wchar_t>(cchPath);
    if (!buffer)
        LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    return buffer;
}

int CopyOut(const wchar_t* text, wchar_t* buf, unsigned cch)
{
    PathText::Copy(buf, cch, text ? text : L"");
    return text && buf && cch;
}

} // namespace

UniPath::UniPath() : bPidl(0), pszPath(nullptr)
{
}

UniPath::UniPath(const wchar_t* path) : UniPath()
{
    Set(path);
}

UniPath::UniPath(const UniPath* other) : UniPath()
{
    Set(other);
}

UniPath::UniPath(const UniPath& other) : UniPath()
{
    Set(&other);
}

UniPath& UniPath::operator=(const UniPath& other)
{
    if (this != &other && !Set(&other))
        Free();
    return *this;
}

UniPath::UniPath(UniPath&& other) noexcept : bPidl(other.bPidl), pszPath(other.pszPath)
{
    other.bPidl = 0;
    other.pszPath = nullptr;
}

UniPath& UniPath::operator=(UniPath&& other) noexcept
{
    if (this != &other) {
        Free();
        bPidl = other.bPidl;
        pszPath = other.pszPath;
        other.bPidl = 0;
        other.pszPath = nullptr;
    }
    return *this;
}

UniPath::~UniPath()
{
    Free();
}

int UniPath::Set(const wchar_t* path)
{
    if (!path) {
        Free();
        return 0;
    }
    // The text may lie in our own buffer; it is copied onto itself then.
    if (!pszPath && !(pszPath = NewPathBuffer()))
        return 0;
    bPidl = 0;
    PathText::Copy(pszPath, cchPath, path);
    return 1;
}

int UniPath::Set(const UniPath* other)
{
    if (!other || other->bPidl)
        return 0;
    if (other == this)
        return IsReady();
    return Set(other->pszPath);
}

void UniPath::Free()
{
    DllBlock<wchar_t>(std::exchange(pszPath, nullptr));
    bPidl = 0;
}

int UniPath::GetPath(wchar_t* buf, unsigned cch) const
{
    return CopyOut(PlainPath(), buf, cch);
}

int UniPath::GetDisplayPath(wchar_t* buf, unsigned cch) const
{
    return GetPath(buf, cch);
}

int UniPath::GetFileName(wchar_t* buf, unsigned cch) const
{
    return CopyOut(LocateFileName(PlainPath()), buf, cch);
}

int UniPath::GetDisplayFileName(wchar_t* buf, unsigned cch) const
{
    return GetFileName(buf, cch);
}

int UniPath::GetDisplayName(wchar_t* buf, unsigned cch) const
{
    CopyOut(L"", buf, cch);
    return 0;
}

unsigned long UniPath::Attributes() const
{
    return GetFileAttributes2(PlainPath());
}

int UniPath::IsContainer() const
{
    return PathAttributes::IsFolder(Attributes());
}

int UniPath::FileExists() const
{
    return PathAttributes::IsFile(Attributes());
}

int UniPath::IsReadOnly() const
{
    return PathAttributes::IsReadOnly(Attributes());
}

int UniPath::IsFileInUse() const
{
    return ::IsFileInUse(PlainPath());
}

int UniPath::IsSameAs(const UniPath* other) const
{
    return other && PathText::SameText(PlainPath(), other->PlainPath());
}

int UniPath::SHChangeNotify(long event) const
{
    if (!PlainPath())
        return 0;
    ::SHChangeNotify(event, SHCNF_PATHW, pszPath, nullptr);
    return 1;
}

int UniPath::MakeParentFolder()
{
    return PlainPath() && StripFileNameAndBackslash(pszPath);
}

int UniPath::Make(const UniPath* folder, const wchar_t* name)
{
    if (!folder || folder->bPidl)
        return 0;
    // The folder may be this object, whose buffer is about to be written.
    wchar_t base[cchPath];
    PathText::Copy(base, cchPath, folder->pszPath);
    if (!pszPath && !(pszPath = NewPathBuffer()))
        return 0;
    bPidl = 0;
    int whole = MakePath(pszPath, base, name, nullptr, 0);
    // MakePath leaves a folder alone for an empty name; a folder made here
    // always ends with its separator.
    if (whole && (!name || !*name) && !AppendBackSlash(pszPath))
        pszPath[0] = L'\0';
    return 1;
}
