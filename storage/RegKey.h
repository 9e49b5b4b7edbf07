// RegKey: a registry key opened by a textual path whose first component
// names the root ("HKCU\Software\Corvenna\Launchora"). Reads and writes
// typed values (skipping writes that would change nothing), enumerates,
// copies, renames and deletes whole trees, and can record its writes as
// lines of text instead of changing the registry.
//
// Registry values are outside input: any program of the user can write
// them. Reads check type and size and fall back to the caller's default;
// they never write past the capacity they are given.
//
// A failure leaves its reason as the thread's last error: the status the
// registry call answered (ERROR_FILE_NOT_FOUND for a missing key or value,
// ERROR_ACCESS_DENIED for a write through a key opened for reading, ...),
// ERROR_UNSUPPORTED_TYPE for a value of another type than the read asks
// for, ERROR_INVALID_HANDLE for a key that is not open. A success may
// leave the last error as it was. Out of memory is a failure like any
// other (ERROR_NOT_ENOUGH_MEMORY): a write that cannot compare with the
// stored value leaves it alone.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API RegKey {
public:
    // One table of registry entries can be checked, installed, read or
    // removed by the same routine, run with different operation codes.
    enum Op {
        opCheck = 0,
        opRemove = 1,
        opInstall = 2,
        opRead = 3,
        opCheckAbsent = 4,
        opCheckNoCase = 5,
        opForceWrite = 6,
    };
    // Only removing and installing create missing keys.
    static int IsWritable(Op op) { return op == opRemove || op == opInstall; }

    RegKey();
    RegKey(const wchar_t* path, int write);
    RegKey(const wchar_t* path, Op op);
    RegKey(const wchar_t* path, const wchar_t* sub, int write);
    RegKey(RegKey& parent, const wchar_t* sub, int write);
    RegKey(RegKey& parent, const wchar_t* sub, Op op);
    virtual ~RegKey();
    // A key owns its handle: copying is withheld, moving transfers it.
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;

    int Open(const wchar_t* path, int write);
    int Open(const wchar_t* path, Op op);
    int Open(const wchar_t* path, const wchar_t* sub, int write);
    int Open(RegKey& parent, const wchar_t* sub, int write);
    int Open(RegKey& parent, const wchar_t* sub, Op op);
    // Opens the key `levels` components above the end of the path.
    int OpenParent(const wchar_t* path, int write, int levels = 1);
    // Closes the current handle and adopts the given one (write tells how
    // it was opened; it is kept for the caller's information only).
    void Attach(HKEY key, int write);
    HKEY Detach();
    void Close();
    int Flush();

    HKEY GetHandle() const { return hKey; }
    operator HKEY() const { return hKey; }
    int IsOpen() const { return hKey != nullptr; }

    // --- values (a null name is the key's default value) ---
    int GetInt(const wchar_t* name, int def);
    int PutInt(const wchar_t* name, int value);
    int PutDword(const wchar_t* name, DWORD value, int onlyIfChanged);
    // Length of the text now in buf, which is always terminated within cch.
    int GetStr(const wchar_t* name, wchar_t* buf, unsigned cch, const wchar_t* def);
    unsigned GetStrSize(const wchar_t* name);
    int PutStr(const wchar_t* name, const wchar_t* str, int onlyIfChanged);
    int PutStrOrDelEmpty(const wchar_t* name, const wchar_t* str, int onlyIfChanged);
    unsigned GetBinSize(const wchar_t* name);
    // A cb of 0 means the caller guarantees room for the whole value.
    int GetBin(const wchar_t* name, void* buf, unsigned cb, DWORD* type);
    int PutBin(const wchar_t* name, const void* data, unsigned cb, DWORD type);
    DWORD GetValueType(const wchar_t* name);
    int FindValue(const wchar_t* name) { return GetValueType(name) != 0; }
    int DelValue(const wchar_t* name);
    int CopyValueTo(RegKey& dst, const wchar_t* name);

    int ProcessEntry(Op op, const wchar_t* name, const wchar_t* str, unsigned cch);
    int ProcessEntry(Op op, const wchar_t* name, unsigned long& value);
    int ProcessEntry(Op op, const wchar_t* name, int& value);

    // The same with the value name made of prefix and name.
    int GetIntPrefix(const wchar_t* prefix, const wchar_t* name, int def);
    int PutIntPrefix(const wchar_t* prefix, const wchar_t* name, int value);
    int GetStrPrefix(const wchar_t* prefix, const wchar_t* name, wchar_t* buf, unsigned cch, const wchar_t* def);
    int PutStrPrefix(const wchar_t* prefix, const wchar_t* name, const wchar_t* str);
    unsigned GetBinSizePrefix(const wchar_t* prefix, const wchar_t* name);
    int GetBinPrefix(const wchar_t* prefix, const wchar_t* name, void* buf, unsigned cb, DWORD* type);
    int PutBinPrefix(const wchar_t* prefix, const wchar_t* name, const void* data, unsigned cb);
    int DelValuePrefix(const wchar_t* prefix, const wchar_t* name);

    // --- enumeration ---
    int GetFirstSubKey(wchar_t* buf, unsigned cch);
    int GetNextSubKey(wchar_t* buf, unsigned cch);
    int GetSubKeyByIndex(unsigned index, wchar_t* buf, unsigned cch);
    int GetFirstValue(wchar_t* buf, unsigned cch);
    int GetNextValue(wchar_t* buf, unsigned cch);
    int GetValueByIndex(unsigned index, wchar_t* buf, unsigned cch);
    int IsKeyEmpty();

    // --- trees ---
    int DelSubKey(const wchar_t* sub);
    int DelSubKeyIfEmpty(const wchar_t* sub);
    int DelAll();
    int DelValuesStartingWith(const wchar_t* prefix, int ignoreCase);
    int ProcessSubKey(Op op, const wchar_t* sub);
    // Subkeys and values that cannot be read or written are passed over;
    // 0 when this key is not open or memory ran out (dst may then hold part
    // of the copy, and RenameSubkey keeps the old key).
    int CopyTo(RegKey& dst);
    int RenameSubkey(const wchar_t* oldName, const wchar_t* newName);
    static int GetParentSubkeyName(const wchar_t* path, wchar_t* out, unsigned cch);
    static const wchar_t* FindLastSubkeyName(const wchar_t* path);

    // --- hives ---
    static int SaveKey(HKEY key, const wchar_t* file, LPSECURITY_ATTRIBUTES security);
    int Save(const wchar_t* file);
    static int LoadKey(HKEY key, const wchar_t* sub, const wchar_t* file);
    static int UnLoadKey(HKEY key, const wchar_t* sub);
    static LONG lastSaveError;

    // --- recording mode ---
    // Later key opens by path, value writes and value deletes append lines
    // to buf instead of changing the registry; a null buf only counts.
    // The first form trusts the caller to have measured (with a null buf);
    // the second stops writing at cch characters.
    static void StartLog(wchar_t* buf);
    static void StartLog(wchar_t* buf, unsigned cch);
    // Leaves the mode; the text's length with its terminator, 0 for none.
    static unsigned EndLog();
    static int IsLogging();

protected:
    HKEY hKey;
    unsigned enumIndex;

private:
    int ReadValue(const wchar_t* name, DWORD* type, void* data, DWORD* bytes);
    int WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
    int CopyValue(RegKey& dst, const wchar_t* name, bool empty);
    int DelTree(const wchar_t* sub);
};

// A key of the shell's user-specific registry, where a value of the current
// user overrides the machine-wide one. Paths have no root prefix.
class PVDLL_API CoreReg {
public:
    enum CoreRegBranch { branchUser = 0, branchMachine = 2 };

    CoreReg();
    CoreReg(CoreRegBranch branch, const wchar_t* path, int write);
    virtual ~CoreReg();
    CoreReg(const CoreReg&) = delete;
    CoreReg& operator=(const CoreReg&) = delete;

    int Open(CoreRegBranch branch, const wchar_t* path, int write);
    void Close();
    int IsOpen() const { return hKey != nullptr; }

    int GetStr(const wchar_t* name, wchar_t* buf, unsigned cch, const wchar_t* def);
    int PutStr(const wchar_t* name, const wchar_t* str);
    DWORD GetDWORD(const wchar_t* name, DWORD def);
    int PutDWORD(const wchar_t* name, DWORD value);
    int DeleteValue(const wchar_t* name);

protected:
    HANDLE hKey;  // the shell's HUSKEY
    CoreRegBranch branch;
};

// --- settings stored through RegKey ---

// Edges stored as name + "L", "T", "R", "B". Reading keeps a missing edge;
// writing writes only changed edges.
PVDLL_API int RegGetRect(RegKey& key, RECT* rect, const wchar_t* name);
PVDLL_API int RegPutRect(RegKey& key, RECT* rect, const wchar_t* name);
// A font is stored as its 92-byte LOGFONTW. A value of any other size is
// no font: the caller's record is released and set null.
PVDLL_API int RegGetLogFont(RegKey& key, const wchar_t* name, LOGFONTW*& font);
PVDLL_API int RegPutLogFont(RegKey& key, const wchar_t* name, LOGFONTW* font);
PVDLL_API LOGFONTW* RegNewLogFont(LOGFONTW*& font);
PVDLL_API void RegDelLogFont(LOGFONTW*& font);

// The policy value name under the product's "Setup\Restrictions" key;
// non-zero means the feature is restricted.
PVDLL_API DWORD Restricted(const wchar_t* product, const wchar_t* name);
// The product's machine-wide "Home" folder (out holds 260 characters).
PVDLL_API int GetHomeFolder(const wchar_t* product, wchar_t* out);
PVDLL_API int ProcessHomeFolder(RegKey::Op op, const wchar_t* product, wchar_t* str, unsigned cch);
// Moves the product's settings from the maker's legacy root, once.
PVDLL_API int MoveLegacySettings(int currentUser, const wchar_t* product);

// --- registration entries for installers ---
PVDLL_API int RegisterComServer(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid,
                                int reserved);
PVDLL_API int RegisterShellExtObject(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath,
                                     const wchar_t* clsid);
PVDLL_API int RegisterShellExt(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid,
                               const wchar_t* const* types, const wchar_t* handler, int notify);
PVDLL_API int SetupCtxMenuRegistry(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath,
                                   const wchar_t* clsid, const wchar_t* const* types, int notify);
PVDLL_API int RegisterBHO(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid,
                          int reserved);
PVDLL_API int RegisterDriverForSafeMode(RegKey::Op op, const wchar_t* name);
// Writes the event source's "EventMessageFile" and "TypesSupported", or
// deletes both when op is opRemove.
PVDLL_API int RegisterEventSourceFile(const wchar_t* source, const wchar_t* messageFile,
                                      RegKey::Op op = RegKey::opInstall);
