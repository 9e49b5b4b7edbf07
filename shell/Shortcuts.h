// Shell shortcuts (".lnk"): thin wrappers around the Shell Link object's
// interfaces and the functions built on them: create, update, read and set
// the icon, find the target with or without resolving it, tell whether the
// shortcut asks to run as administrator, and run it as the shell would.
// The calling thread must have initialised COM.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/PVDLLApi.h"
#include "shell/PIDL.h"

// Owns one interface pointer and keeps the HRESULT of the last call made
// through it.
class PVDLL_API ComWrapper {
public:
    ComWrapper() : pInterface(nullptr), hr(S_OK) {}
    virtual ~ComWrapper() { Release(); }
    ComWrapper(const ComWrapper&) = delete;
    ComWrapper& operator=(const ComWrapper&) = delete;

    int IsReady() const { return pInterface != nullptr; }
    HRESULT GetLastHR() const { return hr; }
    void Release();

protected:
    // Stores the result; 1 for success.
    int Check(HRESULT result)
    {
        hr = result;
        return SUCCEEDED(result) ? 1 : 0;
    }
    // Replaces the held interface with source's interface riid.
    int QueryFrom(IUnknown* source, REFIID riid);

    IUnknown* pInterface;
    HRESULT hr;
};

class iPersistFile;
class iPersistStream;
class iShellLinkDataList;

class PVDLL_API iShellLink : public ComWrapper {
public:
    // A new Shell Link object.
    iShellLink();

    int GetPath(wchar_t* buffer, WIN32_FIND_DATAW* findData, DWORD flags);
    int GetArgs(wchar_t* buffer, int size);
    int GetDescr(wchar_t* buffer, int size);
    int GetDir(wchar_t* buffer);
    int GetShow(int& show);
    int GetHotKey(WORD& hotKey);
    int GetIcon(wchar_t* buffer, int& index);
    // The link's list replaces what idList held (null when it has none).
    int GetIDList(PIDL& idList);
    int SetPath(const wchar_t* path);
    int SetArgs(const wchar_t* args);
    int SetDescr(const wchar_t* text);
    int SetDir(const wchar_t* dir);
    int SetShow(int show);
    int SetHotKey(WORD hotKey);
    int SetIcon(const wchar_t* path, int index);
    int SetIDList(PCIDLIST_ABSOLUTE idList);
    int SetRelativePath(const wchar_t* path);
    int Resolve(HWND owner, DWORD flags);
    int GetPersistFile(iPersistFile& target);
    int GetPersistStream(iPersistStream& target);
    int GetShellLinkDataList(iShellLinkDataList& target);
    int Load(const wchar_t* path);
    int Save(const wchar_t* path);
    // Runs the shortcut as the shell does: target or item id list,
    // arguments, folder, show command, elevated when it is marked so.
    int Execute(HWND owner);

    IShellLinkW* Link() const { return static_cast<IShellLinkW*>(pInterface); }
};

class PVDLL_API iPersistFile : public ComWrapper {
public:
    iPersistFile() = default;
    explicit iPersistFile(iShellLink& link);
    int Load(const wchar_t* path, int writable);
    int Save(const wchar_t* path, int remember);

private:
    friend class iShellLink;
    IPersistFile* File() const { return static_cast<IPersistFile*>(pInterface); }
};

class PVDLL_API iPersistStream : public ComWrapper {
public:
    iPersistStream() = default;
    explicit iPersistStream(iShellLink& link);

private:
    friend class iShellLink;
};

class PVDLL_API iShellLinkDataList : public ComWrapper {
public:
    // The link's data flags; 0 when they cannot be read.
    DWORD GetFlags();

private:
    friend class iShellLink;
};

// The data flag of a shortcut that runs its target as administrator.
constexpr DWORD shortcutRunAsAdmin = 0x2000;

PVDLL_API int CreateLink(const wchar_t* target, const wchar_t* linkPath, const wchar_t* arguments);
PVDLL_API int UpdateLink(const wchar_t* target, const wchar_t* linkPath, const wchar_t* arguments);
// iconPath holds 260 characters.
PVDLL_API int GetShortcutIcon(const wchar_t* linkPath, wchar_t* iconPath, int* index);
PVDLL_API int SetShortcutIcon(const wchar_t* linkPath, const wchar_t* iconPath, int index);
PVDLL_API int IsShortcutAsAdmin(const wchar_t* linkPath);
PVDLL_API int ExecuteShortcut(HWND owner, const wchar_t* linkPath);
// target holds 260 characters; a path that is no shortcut is copied.
PVDLL_API int ResolveLink(HWND owner, iShellLink& link, iPersistFile& persistFile, const wchar_t* path,
                          wchar_t* target, DWORD flags, int skipResolve);
// Replaces a shortcut path (260 characters) by its resolved target, in the
// shell's form of the path.
PVDLL_API void ResolveShortcut(HWND owner, wchar_t* path, int quiet);
PVDLL_API void GetShortcutTargetPath(wchar_t* target, const wchar_t* linkPath, int normalize);

// Whether the shell takes path for a shortcut.
PVDLL_API int IsShortcut(const wchar_t* path);
// The shell's name of an existing path (out holds 260 characters): the
// path parsed through the desktop folder and named for parsing, which
// gives its long, correctly cased form. Copies the path when the shell
// cannot parse it; returns whether it could.
PVDLL_API int GetShellPathOf(const wchar_t* path, wchar_t* out, int forParsing, int fileSystemOnly);
