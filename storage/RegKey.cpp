#include "storage/RegKey.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "storage/internal/LastError.h"
#include "storage/internal/RegRecorder.h"
#include "base/internal/DllHeap.h"
#include "base/Owners.h"
#include "base/ScopeGuards.h"
#include "base/StrFormat.h"

namespace {

constexpr unsigned nameSize = 256;  // a key or value name and its terminator
constexpr unsigned joinedSize = 256;

struct RootName {
    const wchar_t* shortName;
    const wchar_t* longName;
    HKEY key;
};

const RootName roots[] = {
    {L"HKCLS", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKU", L"HKEY_USERS", HKEY_USERS},
};

HKEY FindRoot(const wchar_t* name)
{
    for (const RootName& root : roots)
        if (lstrcmpiW(name, root.shortName) == 0 || lstrcmpiW(name, root.longName) == 0)
            return root.key;
    return nullptr;
}

// Copies the next non-empty component of p into name and advances p past
// it; false at the end of the path or for a component too long to be a
// key name.
bool NextComponent(const wchar_t*& p, wchar_t (&name)[nameSize], bool& tooLong)
{
    while (*p == L'\\')
        ++p;
    if (!*p)
        return false;
    const wchar_t* start = p;
    while (*p && *p != L'\\')
        ++p;
    size_t length = p - start;
    tooLong = length >= nameSize;
    if (tooLong)
        return true;
    wmemcpy(name, start, length);
    name[length] = L'\0';
    return true;
}

REGSAM AccessFor(int write)
{
    return write ? KEY_ALL_ACCESS : KEY_READ;
}

// Opens sub below parent, or creates it when writing. The handle is taken
// only from a call that succeeded, as a failed one need not leave it null.
LONG OpenBelow(HKEY parent, const wchar_t* sub, int write, RegHandle& key)
{
    HKEY opened = nullptr;
    LONG status = write ? RegCreateKeyExW(parent, sub, 0, nullptr, 0, AccessFor(write), nullptr, &opened, nullptr)
                        : RegOpenKeyExW(parent, sub, 0, AccessFor(write), &opened);
    if (status == ERROR_SUCCESS)
        key.Reset(opened);
    return status;
}

// Opens a path of the form [ignored\]ROOT\a\b; null when any step fails,
// with that step's status as the last error (ERROR_INVALID_PARAMETER for a
// path that names no root or holds a name too long for a key).
HKEY OpenByPath(const wchar_t* path, int write)
{
    if (!path || !*path) {
        LastError::Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    wchar_t name[nameSize];
    bool tooLong = false;
    const wchar_t* p = path;
    HKEY root = nullptr;
    while (!root) {
        if (!NextComponent(p, name, tooLong)) {
            LastError::Fail(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        if (!tooLong)
            root = FindRoot(name);
    }
    // A handle of our own even for the bare root, so Close can always close.
    RegHandle current;
    HKEY opened = nullptr;
    if (!LastError::Keep(RegOpenKeyExW(root, nullptr, 0, AccessFor(write), &opened)))
        return nullptr;
    current.Reset(opened);
    while (NextComponent(p, name, tooLong)) {
        RegHandle next;
        if (!LastError::Keep(tooLong ? ERROR_INVALID_PARAMETER : OpenBelow(current.Get(), name, write, next)))
            return nullptr;
        current = std::move(next);
    }
    return current.Release();
}

// A handle that reaches the registry: open, and not the recorder's
// stand-in.
bool IsRegistryKey(HKEY key)
{
    return key && !RegRecorder::IsPlaceholder(key);
}

// The same as a precondition: without such a key the operation fails with
// ERROR_INVALID_HANDLE as the last error.
bool NeedRegistryKey(HKEY key)
{
    return IsRegistryKey(key) || LastError::Fail(ERROR_INVALID_HANDLE);
}

// Runs a probe whose failure is an answer, not an error of the operation
// that asks: the last error stays as it was.
template <typename Probe>
auto Quietly(Probe probe)
{
    LastErrorPreserver keep;
    return probe();
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Joins prefix and name as a value name; both may be null.
void JoinName(wchar_t (&out)[joinedSize], const wchar_t* prefix, const wchar_t* name)
{
    StrFormat(out, joinedSize, L"%s%s", prefix ? prefix : L"", name ? name : L"");
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix, int ignoreCase)
{
    int length = lstrlenW(prefix);
    if (lstrlenW(text) < length)
        return false;
    return CompareStringOrdinal(text, length, prefix, length, ignoreCase ? TRUE : FALSE) == CSTR_EQUAL;
}

// SE_BACKUP_NAME / SE_RESTORE_NAME for the hive functions; a failure is
// left for the registry call itself to report, and so is the last error.
void EnablePrivilege(const wchar_t* privilege)
{
    LastErrorPreserver keep;
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened))
        return;
    KernelHandle token(opened);
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, privilege, &tp.Privileges[0].Luid))
        AdjustTokenPrivileges(token.Get(), FALSE, &tp, sizeof(tp), nullptr, nullptr);
}

// One name among a key's subkeys or values, by index, into buf; enumerate
// is the registry's call for the one or the other.
template <typename Enumerate>
int NameByIndex(HKEY key, unsigned index, wchar_t* buf, unsigned cch, Enumerate enumerate)
{
    if (!NeedRegistryKey(key) || !buf || cch == 0)
        return 0;
    DWORD length = cch;
    return LastError::Keep(enumerate(key, index, buf, &length));
}

} // namespace

LONG RegKey::lastSaveError = ERROR_SUCCESS;

// --- opening -------------------------------------------------------------------

RegKey::RegKey() : hKey(nullptr), enumIndex(0)
{
}

RegKey::RegKey(const wchar_t* path, int write) : RegKey()
{
    Open(path, write);
}

RegKey::RegKey(const wchar_t* path, Op op) : RegKey()
{
    Open(path, op);
}

RegKey::RegKey(const wchar_t* path, const wchar_t* sub, int write) : RegKey()
{
    Open(path, sub, write);
}

RegKey::RegKey(RegKey& parent, const wchar_t* sub, int write) : RegKey()
{
    Open(parent, sub, write);
}

RegKey::RegKey(RegKey& parent, const wchar_t* sub, Op op) : RegKey()
{
    Open(parent, sub, op);
}

RegKey::~RegKey()
{
    Close();
}

RegKey::RegKey(RegKey&& other) noexcept : hKey(other.hKey), enumIndex(other.enumIndex)
{
    other.hKey = nullptr;
}

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        hKey = other.hKey;
        enumIndex = other.enumIndex;
        other.hKey = nullptr;
    }
    return *this;
}

int RegKey::Open(const wchar_t* path, int write)
{
    Close();
    if (RegRecorder::IsActive()) {
        RegRecorder::Line(L"[%s]", path ? path : L"");
        hKey = RegRecorder::PlaceholderKey();
        return 1;
    }
    hKey = OpenByPath(path, write);
    return hKey != nullptr;
}

int RegKey::Open(const wchar_t* path, Op op)
{
    return Open(path, IsWritable(op));
}

int RegKey::Open(const wchar_t* path, const wchar_t* sub, int write)
{
    wchar_t joined[joinedSize];
    StrFormat(joined, joinedSize, L"%s\\%s", path ? path : L"", sub ? sub : L"");
    return Open(joined, write);
}

int RegKey::Open(RegKey& parent, const wchar_t* sub, int write)
{
    Close();
    if (RegRecorder::IsPlaceholder(parent.hKey)) {
        // Recording: a key below a recorded key is recorded in its parent's
        // section, as the text has no other place for it.
        hKey = parent.hKey;
        return 1;
    }
    if (!parent.hKey)
        return LastError::Fail(ERROR_INVALID_HANDLE);
    RegHandle key;
    if (!LastError::Keep(OpenBelow(parent.hKey, sub, write, key)))
        return 0;
    hKey = key.Release();
    return 1;
}

int RegKey::Open(RegKey& parent, const wchar_t* sub, Op op)
{
    return Open(parent, sub, IsWritable(op));
}

int RegKey::OpenParent(const wchar_t* path, int write, int levels)
{
    if (!path)
        return Open(path, write);
    wchar_t parent[joinedSize];
    lstrcpynW(parent, path, joinedSize);
    for (int i = 0; i < levels; ++i) {
        // Trailing separators do not make a level.
        size_t length = wcslen(parent);
        while (length && parent[length - 1] == L'\\')
            parent[--length] = L'\0';
        wchar_t* last = wcsrchr(parent, L'\\');
        if (!last) {
            parent[0] = L'\0';
            break;
        }
        *last = L'\0';
    }
    return Open(parent, write);
}

void RegKey::Attach(HKEY key, int)
{
    Close();
    hKey = key;
}

HKEY RegKey::Detach()
{
    HKEY key = hKey;
    hKey = nullptr;
    return key;
}

void RegKey::Close()
{
    HKEY key = std::exchange(hKey, nullptr);
    // The recorder's stand-in was never opened, so it is never closed.
    if (!RegRecorder::IsPlaceholder(key)) {
        RegHandle closing(key);
    }
    enumIndex = 0;
}

int RegKey::Flush()
{
    if (RegRecorder::IsActive() || RegRecorder::IsPlaceholder(hKey))
        return 1;
    return NeedRegistryKey(hKey) && LastError::Keep(RegFlushKey(hKey));
}

// --- raw value access ----------------------------------------------------------

int RegKey::ReadValue(const wchar_t* name, DWORD* type, void* data, DWORD* bytes)
{
    if (!NeedRegistryKey(hKey))
        return 0;
    // The registry terminates a text value stored without a terminator
    // when it sees room for one; given less than one character (Wine 8)
    // it misjudges the room and writes past the buffer. Such a read goes
    // through a spare buffer with room on both sides.
    if (data && bytes && *bytes < sizeof(wchar_t)) {
        BYTE spare[8] = {};
        DWORD count = *bytes;
        LONG status = RegQueryValueExW(hKey, name, nullptr, type, spare + 2, &count);
        if (status == ERROR_SUCCESS && count <= *bytes)
            memcpy(data, spare + 2, count);
        *bytes = count;
        return LastError::Keep(status);
    }
    return LastError::Keep(RegQueryValueExW(hKey, name, nullptr, type, static_cast<BYTE*>(data), bytes));
}

int RegKey::WriteValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    if (RegRecorder::IsActive()) {
        RegRecorder::ValueLine(name, type, data, bytes);
        return 1;
    }
    if (!NeedRegistryKey(hKey))
        return 0;
    return LastError::Keep(RegSetValueExW(hKey, name, 0, type, static_cast<const BYTE*>(data), bytes));
}

DWORD RegKey::GetValueType(const wchar_t* name)
{
    DWORD type = 0;
    return ReadValue(name, &type, nullptr, nullptr) ? type : 0;
}

int RegKey::DelValue(const wchar_t* name)
{
    if (RegRecorder::IsActive()) {
        RegRecorder::Line(L"%s=@", name ? name : L"@");
        return 1;
    }
    // A value that is not there is as good as deleted.
    if (!Quietly([&] { return GetValueType(name); }))
        return 1;
    return LastError::Keep(RegDeleteValueW(hKey, name));
}

// --- numbers ---------------------------------------------------------------------

int RegKey::GetInt(const wchar_t* name, int def)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (!ReadValue(name, &type, &value, &bytes))
        return def;
    if (type != REG_DWORD && type != REG_BINARY) {
        LastError::Fail(ERROR_UNSUPPORTED_TYPE);
        return def;
    }
    if (bytes != sizeof(value)) {
        LastError::Fail(ERROR_INVALID_DATA);
        return def;
    }
    return static_cast<int>(value);
}

int RegKey::PutInt(const wchar_t* name, int value)
{
    return PutDword(name, static_cast<DWORD>(value), 1);
}

int RegKey::PutDword(const wchar_t* name, DWORD value, int onlyIfChanged)
{
    if (onlyIfChanged) {
        DWORD type = 0;
        DWORD stored = 0;
        DWORD bytes = sizeof(stored);
        if (Quietly([&] { return ReadValue(name, &type, &stored, &bytes); }) && type == REG_DWORD &&
            bytes == sizeof(stored) && stored == value)
            return 1;
    }
    return WriteValue(name, REG_DWORD, &value, sizeof(value));
}

// --- strings ---------------------------------------------------------------------

int RegKey::GetStr(const wchar_t* name, wchar_t* buf, unsigned cch, const wchar_t* def)
{
    if (!buf || cch == 0)
        return 0;
    // When the default is the buffer itself, a failed read must not have
    // overwritten it: read into a block of our own. Without one, the
    // default is the answer.
    DllBlock<wchar_t> own(def == buf ? DllHeap::AllocArray<wchar_t>(cch) : nullptr);
    wchar_t* target = def == buf ? own.Get() : buf;
    DWORD type = 0;
    DWORD bytes = cch * sizeof(wchar_t);
    if (!target) {
        LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    } else if (ReadValue(name, &type, target, &bytes)) {
        unsigned count = bytes / sizeof(wchar_t);
        bool fits = (count > 0 && target[count - 1] == L'\0') || count < cch;
        if (IsStringType(type) && fits) {
            if (count < cch)
                target[count] = L'\0';
            unsigned length = static_cast<unsigned>(wcsnlen(target, cch));
            if (target != buf)
                wmemcpy(buf, target, length + 1);
            return static_cast<int>(length);
        }
        LastError::Fail(IsStringType(type) ? ERROR_MORE_DATA : ERROR_UNSUPPORTED_TYPE);
    }
    if (def != buf)
        lstrcpynW(buf, def ? def : L"", static_cast<int>(cch));
    else
        buf[cch - 1] = L'\0';
    return static_cast<int>(wcsnlen(buf, cch));
}

unsigned RegKey::GetStrSize(const wchar_t* name)
{
    DWORD bytes = 0;
    if (!ReadValue(name, nullptr, nullptr, &bytes) || bytes == 0)
        return 0;
    return bytes / 2 + 1;
}

int RegKey::PutStr(const wchar_t* name, const wchar_t* str, int onlyIfChanged)
{
    if (!str)
        str = L"";
    DWORD length = lstrlenW(str);
    if (onlyIfChanged) {
        // The default differs from the new text, so a missing value never
        // passes for an equal one.
        unsigned cch = length + 2;
        DllBlock<wchar_t> stored(DllHeap::AllocArray<wchar_t>(cch));
        if (!stored)
            return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
        if (Quietly([&] {
                GetStr(name, stored.Get(), cch, length ? L"" : L"1");
                return lstrcmpW(stored.Get(), str) == 0;
            }))
            return 1;
    }
    return WriteValue(name, REG_SZ, str, (length + 1) * sizeof(wchar_t));
}

int RegKey::PutStrOrDelEmpty(const wchar_t* name, const wchar_t* str, int onlyIfChanged)
{
    if (!str || !*str)
        return DelValue(name);
    return PutStr(name, str, onlyIfChanged);
}

// --- binary ----------------------------------------------------------------------

unsigned RegKey::GetBinSize(const wchar_t* name)
{
    DWORD bytes = 0;
    return ReadValue(name, nullptr, nullptr, &bytes) ? bytes : 0;
}

int RegKey::GetBin(const wchar_t* name, void* buf, unsigned cb, DWORD* type)
{
    DWORD storedType = 0;
    DWORD stored = 0;
    if (!ReadValue(name, &storedType, nullptr, &stored))
        return 0;
    if (type)
        *type = storedType;
    if (cb == 0)
        cb = stored;  // the caller guarantees room for what is stored
    else if (cb < stored)
        return 0;
    DWORD bytes = cb;
    return ReadValue(name, nullptr, buf, &bytes);
}

int RegKey::PutBin(const wchar_t* name, const void* data, unsigned cb, DWORD type)
{
    DWORD storedType = 0;
    DWORD stored = 0;
    if (Quietly([&] { return ReadValue(name, &storedType, nullptr, &stored); }) && stored == cb &&
        storedType == type) {
        DllBlock<BYTE> old(static_cast<BYTE*>(DllHeap::Alloc(cb)));
        if (!old)
            return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
        DWORD bytes = cb;
        if (Quietly([&] { return ReadValue(name, nullptr, old.Get(), &bytes); }) && bytes == cb &&
            (cb == 0 || memcmp(old.Get(), data, cb) == 0))
            return 1;
    }
    return WriteValue(name, type, data, cb);
}

int RegKey::CopyValueTo(RegKey& dst, const wchar_t* name)
{
    return CopyValue(dst, name, false) > 0;
}

// 1 when the value was copied, 0 when it could not be, -1 when memory ran
// out on either side, which a tree copy must not pass over.
int RegKey::CopyValue(RegKey& dst, const wchar_t* name, bool empty)
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (!ReadValue(name, &type, nullptr, &bytes) || (bytes == 0 && !empty))
        return 0;
    DllBlock<BYTE> data(static_cast<BYTE*>(DllHeap::Alloc(bytes)));
    if (!data) {
        LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    DWORD read = bytes;
    if (!ReadValue(name, &type, data.Get(), &read))
        return 0;
    if (dst.PutBin(name, data.Get(), read, type))
        return 1;
    return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? -1 : 0;
}

// --- entries -----------------------------------------------------------------------

int RegKey::ProcessEntry(Op op, const wchar_t* name, const wchar_t* str, unsigned cch)
{
    if (!str)
        str = L"";
    switch (op) {
    case opCheck:
    case opCheckNoCase: {
        // Longer than 260 characters counts as absent.
        wchar_t stored[261];
        DWORD type = 0;
        DWORD bytes = sizeof(stored) - sizeof(wchar_t);
        bool present = ReadValue(name, &type, stored, &bytes) && IsStringType(type);
        stored[present ? bytes / sizeof(wchar_t) : 0] = L'\0';
        if (!stored[0])
            return !*str;
        return op == opCheck ? lstrcmpW(stored, str) == 0
                             : CompareStringOrdinal(stored, -1, str, -1, TRUE) == CSTR_EQUAL;
    }
    case opRemove:
        DelValue(name);
        return 1;
    case opInstall:
        if (ProcessEntry(opCheck, name, str, cch))
            return 1;
        return PutStr(name, str, 1);
    case opRead: {
        auto* out = const_cast<wchar_t*>(str);
        if (cch == 0)
            return 0;
        return GetStr(name, out, cch, L"") > 0;
    }
    case opCheckAbsent:
        return GetValueType(name) == 0;
    case opForceWrite:
        return PutStr(name, str, 0);
    }
    return 0;
}

int RegKey::ProcessEntry(Op op, const wchar_t* name, unsigned long& value)
{
    switch (op) {
    case opCheck:
    case opCheckNoCase:
        return static_cast<unsigned long>(static_cast<DWORD>(GetInt(name, 0))) == value;
    case opRemove:
        DelValue(name);
        return 1;
    case opInstall:
        if (ProcessEntry(opCheck, name, value))
            return 1;
        if (value == 0)
            return DelValue(name);
        return PutDword(name, value, 1);
    case opRead:
        value = static_cast<DWORD>(GetInt(name, 0));
        return 1;
    case opCheckAbsent:
        return GetValueType(name) == 0;
    case opForceWrite:
        return PutDword(name, value, 0);
    }
    return 0;
}

int RegKey::ProcessEntry(Op op, const wchar_t* name, int& value)
{
    unsigned long number = static_cast<unsigned long>(static_cast<unsigned>(value));
    int result = ProcessEntry(op, name, number);
    value = static_cast<int>(number);
    return result;
}

// --- the prefix family ---------------------------------------------------------

int RegKey::GetIntPrefix(const wchar_t* prefix, const wchar_t* name, int def)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return GetInt(joined, def);
}

int RegKey::PutIntPrefix(const wchar_t* prefix, const wchar_t* name, int value)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return PutDword(joined, static_cast<DWORD>(value), 1);
}

int RegKey::GetStrPrefix(const wchar_t* prefix, const wchar_t* name, wchar_t* buf, unsigned cch,
                         const wchar_t* def)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return GetStr(joined, buf, cch, def);
}

int RegKey::PutStrPrefix(const wchar_t* prefix, const wchar_t* name, const wchar_t* str)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return PutStr(joined, str, 1);
}

unsigned RegKey::GetBinSizePrefix(const wchar_t* prefix, const wchar_t* name)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return GetBinSize(joined);
}

int RegKey::GetBinPrefix(const wchar_t* prefix, const wchar_t* name, void* buf, unsigned cb, DWORD* type)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return GetBin(joined, buf, cb, type);
}

int RegKey::PutBinPrefix(const wchar_t* prefix, const wchar_t* name, const void* data, unsigned cb)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return PutBin(joined, data, cb, REG_BINARY);
}

int RegKey::DelValuePrefix(const wchar_t* prefix, const wchar_t* name)
{
    wchar_t joined[joinedSize];
    JoinName(joined, prefix, name);
    return DelValue(joined);
}

// --- enumeration -----------------------------------------------------------------

int RegKey::GetSubKeyByIndex(unsigned index, wchar_t* buf, unsigned cch)
{
    return NameByIndex(hKey, index, buf, cch, [](HKEY key, DWORD i, wchar_t* name, DWORD* length) {
        return RegEnumKeyExW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

int RegKey::GetFirstSubKey(wchar_t* buf, unsigned cch)
{
    enumIndex = 0;
    return GetSubKeyByIndex(enumIndex, buf, cch);
}

int RegKey::GetNextSubKey(wchar_t* buf, unsigned cch)
{
    return GetSubKeyByIndex(++enumIndex, buf, cch);
}

int RegKey::GetValueByIndex(unsigned index, wchar_t* buf, unsigned cch)
{
    return NameByIndex(hKey, index, buf, cch, [](HKEY key, DWORD i, wchar_t* name, DWORD* length) {
        return RegEnumValueW(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

int RegKey::GetFirstValue(wchar_t* buf, unsigned cch)
{
    enumIndex = 0;
    return GetValueByIndex(enumIndex, buf, cch);
}

int RegKey::GetNextValue(wchar_t* buf, unsigned cch)
{
    return GetValueByIndex(++enumIndex, buf, cch);
}

int RegKey::IsKeyEmpty()
{
    if (!NeedRegistryKey(hKey))
        return 0;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (!LastError::Keep(RegQueryInfoKeyW(hKey, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                          nullptr, nullptr, nullptr, nullptr)))
        return 0;
    return subKeys == 0 && values == 0;
}

// --- trees -------------------------------------------------------------------------

namespace {

// Walks the names of a key while the caller deletes them. Deleting shifts
// the remaining entries down, so the walk stays at its index; when a name
// comes back (its deletion failed), it steps past it, so the walk ends.
class DeletingWalk {
public:
    DeletingWalk(RegKey& key, bool values) : key(key), values(values) {}

    const wchar_t* Next()
    {
        for (;;) {
            wchar_t name[nameSize];
            int found = values ? key.GetValueByIndex(index, name, nameSize)
                               : key.GetSubKeyByIndex(index, name, nameSize);
            if (!found)
                return nullptr;
            if (havePrevious && lstrcmpW(name, previous) == 0) {
                ++index;
                continue;
            }
            lstrcpyW(previous, name);
            havePrevious = true;
            return previous;
        }
    }

    // Skips the current name for good (the caller decided to keep it).
    void Keep() { ++index; }

private:
    RegKey& key;
    bool values;
    DWORD index = 0;
    wchar_t previous[nameSize] = {};
    bool havePrevious = false;
};

} // namespace

int RegKey::DelSubKey(const wchar_t* sub)
{
    if (!IsRegistryKey(hKey) || !sub)
        return hKey != nullptr;
    // A subkey that is not there is as good as deleted.
    if (!Quietly([&] { return RegKey().Open(*this, sub, 0); }))
        return 1;
    return DelTree(sub);
}

int RegKey::DelTree(const wchar_t* sub)
{
    {
        RegKey key;
        if (!key.Open(*this, sub, 1))
            return 0;
        DeletingWalk subKeys(key, false);
        while (const wchar_t* name = subKeys.Next())
            key.DelSubKey(name);
        DeletingWalk values(key, true);
        while (const wchar_t* name = values.Next())
            RegDeleteValueW(key.hKey, name);
        RegDeleteValueW(key.hKey, nullptr);
    }
    return LastError::Keep(RegDeleteKeyW(hKey, sub));
}

int RegKey::DelSubKeyIfEmpty(const wchar_t* sub)
{
    if (!NeedRegistryKey(hKey))
        return 0;
    {
        RegKey key;
        if (!key.Open(*this, sub, 1))
            return !Quietly([&] { return RegKey().Open(*this, sub, 0); });
        RegDeleteValueW(key.hKey, nullptr);
        if (!key.IsKeyEmpty())
            return 0;
    }
    return LastError::Keep(RegDeleteKeyW(hKey, sub));
}

int RegKey::DelAll()
{
    if (!NeedRegistryKey(hKey))
        return 0;
    DeletingWalk subKeys(*this, false);
    while (const wchar_t* name = subKeys.Next()) {
        RegKey child;
        if (child.Open(*this, name, 1))
            child.DelAll();
        child.Close();
        DelSubKey(name);
    }
    DeletingWalk values(*this, true);
    while (const wchar_t* name = values.Next())
        RegDeleteValueW(hKey, name);
    RegDeleteValueW(hKey, nullptr);
    return 1;
}

int RegKey::DelValuesStartingWith(const wchar_t* prefix, int ignoreCase)
{
    if (!NeedRegistryKey(hKey))
        return 0;
    DeletingWalk values(*this, true);
    while (const wchar_t* name = values.Next()) {
        bool match = !prefix || (*prefix ? StartsWith(name, prefix, ignoreCase) : *name != L'\0');
        if (match)
            RegDeleteValueW(hKey, name);
        else
            values.Keep();
    }
    return 1;
}

int RegKey::ProcessSubKey(Op op, const wchar_t* sub)
{
    if (op == opRemove) {
        DelSubKey(sub);
        Flush();
    } else if (op == opInstall || op == opForceWrite) {
        DelSubKey(sub);
        RegKey(*this, sub, 1);
        Flush();
    }
    return 1;
}

// Entries that cannot be read or written are passed over, as a copy of
// what can be had; running out of memory stops the copy and fails it, so
// that no caller mistakes the part for the whole.
int RegKey::CopyTo(RegKey& dst)
{
    if (!NeedRegistryKey(hKey))
        return 0;
    wchar_t name[nameSize];
    for (DWORD i = 0; GetSubKeyByIndex(i, name, nameSize); ++i) {
        RegKey from(*this, name, 0);
        RegKey to(dst, name, 1);
        if (from.IsOpen() && to.IsOpen() && !from.CopyTo(to))
            return 0;
    }
    // The default value goes unless it is empty; named values go empty or not.
    if (CopyValue(dst, nullptr, false) < 0)
        return 0;
    for (DWORD i = 0; GetValueByIndex(i, name, nameSize); ++i) {
        if (name[0] && CopyValue(dst, name, true) < 0)
            return 0;
    }
    return 1;
}

int RegKey::RenameSubkey(const wchar_t* oldName, const wchar_t* newName)
{
    {
        RegKey from(*this, oldName, 0);
        if (!from.IsOpen())
            return 0;
        RegKey to(*this, newName, 1);
        if (!to.IsOpen() || !from.CopyTo(to))
            return 0;
    }
    return DelSubKey(oldName);
}

int RegKey::GetParentSubkeyName(const wchar_t* path, wchar_t* out, unsigned cch)
{
    if (!out || cch == 0)
        return 0;
    out[0] = L'\0';
    if (!path || !*path)
        return 0;
    const wchar_t* last = wcsrchr(path, L'\\');
    if (!last)
        return 0;
    size_t length = last - path;
    if (length >= cch)
        length = cch - 1;
    wmemcpy(out, path, length);
    out[length] = L'\0';
    return 1;
}

const wchar_t* RegKey::FindLastSubkeyName(const wchar_t* path)
{
    if (!path)
        return nullptr;
    const wchar_t* last = wcsrchr(path, L'\\');
    return last ? last + 1 : path;
}

// --- hives ---------------------------------------------------------------------------

int RegKey::SaveKey(HKEY key, const wchar_t* file, LPSECURITY_ATTRIBUTES security)
{
    DWORD attributes = GetFileAttributesW(file);
    bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed) {
        SetFileAttributesW(file, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(file);
    }
    EnablePrivilege(SE_BACKUP_NAME);
    lastSaveError = RegSaveKeyW(key, file, security);
    if (!LastError::Keep(lastSaveError))
        return 0;
    SetFileAttributesW(file, existed ? attributes : FILE_ATTRIBUTE_ARCHIVE);
    return 1;
}

int RegKey::Save(const wchar_t* file)
{
    if (!NeedRegistryKey(hKey))
        return 0;
    return SaveKey(hKey, file, nullptr);
}

int RegKey::LoadKey(HKEY key, const wchar_t* sub, const wchar_t* file)
{
    EnablePrivilege(SE_RESTORE_NAME);
    EnablePrivilege(SE_BACKUP_NAME);
    return LastError::Keep(RegLoadKeyW(key, sub, file));
}

int RegKey::UnLoadKey(HKEY key, const wchar_t* sub)
{
    EnablePrivilege(SE_RESTORE_NAME);
    EnablePrivilege(SE_BACKUP_NAME);
    return LastError::Keep(RegUnLoadKeyW(key, sub));
}

// --- recording mode ----------------------------------------------------------------

void RegKey::StartLog(wchar_t* buf)
{
    RegRecorder::Start(buf, UINT_MAX);
}

void RegKey::StartLog(wchar_t* buf, unsigned cch)
{
    RegRecorder::Start(buf, cch);
}

unsigned RegKey::EndLog()
{
    return RegRecorder::End();
}

int RegKey::IsLogging()
{
    return RegRecorder::IsActive();
}
