// UniPath: one file-system path of at most 259 characters in a buffer of
// 260 that the object owns, for the file and text functions that take a
// path object instead of a string.
//
// A UniPath is a value: copying one copies the text into a buffer of the
// copy's own (a copy of an id-list path has no path), and moving one hands
// the buffer over, so no two objects ever release the same block.
//
// The id-list flag would mark a shell item-id path. Nothing here creates
// one; on such a path every query answers 0 or "" and every copy fails.
#pragma once

#include "base/PVDLLApi.h"

class PVDLL_API UniPath {
public:
    UniPath();
    // Cut to 259 characters; a null path leaves no path.
    explicit UniPath(const wchar_t* path);
    // No path when other is null or an id-list path.
    explicit UniPath(const UniPath* other);
    UniPath(const UniPath& other);
    UniPath& operator=(const UniPath& other);
    UniPath(UniPath&& other) noexcept;
    UniPath& operator=(UniPath&& other) noexcept;
    virtual ~UniPath();

    // Non-zero when a buffer is held afterwards. A null path frees it;
    // without memory for a buffer, 0 and the path stays without one.
    int Set(const wchar_t* path);
    // 0, leaving this path as it was, when other is null or an id-list
    // path; a copy of a path without a buffer frees this one's.
    int Set(const UniPath* other);
    void Free();

    int IsPidl() const { return bPidl != 0; }
    int IsReady() const { return pszPath != nullptr; }
    // The buffer itself (260 characters), or null.
    wchar_t* Path() { return pszPath; }
    const wchar_t* Path() const { return pszPath; }

    // Bounded copies into buf of cch characters; "" and 0 when there is no
    // plain path.
    int GetPath(wchar_t* buf, unsigned cch) const;
    int GetDisplayPath(wchar_t* buf, unsigned cch) const;
    int GetFileName(wchar_t* buf, unsigned cch) const;
    int GetDisplayFileName(wchar_t* buf, unsigned cch) const;
    // Always "" in this build.
    int GetDisplayName(wchar_t* buf, unsigned cch) const;

    // From the file system, as GetFileAttributes2 sees the path.
    int IsContainer() const;
    int FileExists() const;
    int IsReadOnly() const;
    int IsFileInUse() const;
    // Both are plain paths, equal without regard to case.
    int IsSameAs(const UniPath* other) const;
    // Tells the shell that the item at this path changed (event is one of
    // the SHCNE_ codes).
    int SHChangeNotify(long event) const;

    // Cuts the path to its folder: the file-name part and the separator
    // before it go, except the separator of a drive root.
    int MakeParentFolder();
    // folder's path with environment variables expanded, a separator, and
    // name without one leading separator. A result that would not fit in
    // 260 characters leaves this path empty. 0 only for a null folder, an
    // id-list folder, or no memory for a buffer (the path then stays as it
    // was). folder may be this object.
    int Make(const UniPath* folder, const wchar_t* name);

protected:
    // The shell layer's subclass marks its id-list paths here.
    int bPidl;
    wchar_t* pszPath;  // owned; 260 characters, or null

private:
    const wchar_t* PlainPath() const { return bPidl ? nullptr : pszPath; }
    unsigned long Attributes() const;
};
