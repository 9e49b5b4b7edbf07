#include "storage/RegKey.h"

#include <shlwapi.h>

#include <cwchar>
#include <utility>

#include "base/Owners.h"

namespace {

HUSKEY AsUSKey(HANDLE key)
{
    return static_cast<HUSKEY>(key);
}

void CloseUSKey(HUSKEY key) noexcept
{
    SHRegCloseUSKey(key);
}

// The shell's user-specific registry key; CoreReg holds one.
using USKeyHandle = Owner<HandleKind<HUSKEY, &CloseUSKey>>;

} // namespace

CoreReg::CoreReg() : hKey(nullptr), branch(branchUser)
{
}

CoreReg::CoreReg(CoreRegBranch branchToUse, const wchar_t* path, int write) : CoreReg()
{
    Open(branchToUse, path, write);
}

CoreReg::~CoreReg()
{
    Close();
}

int CoreReg::Open(CoreRegBranch branchToUse, const wchar_t* path, int write)
{
    Close();
    branch = branchToUse;
    BOOL ignoreUser = branch == branchMachine;
    // The key is made in the branch that will be written first, so that
    // the user-specific handle finds it there.
    if (write) {
        HKEY opened = nullptr;
        if (RegCreateKeyExW(ignoreUser ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE,
                            nullptr, &opened, nullptr) != ERROR_SUCCESS)
            return 0;
        // Only its being there matters, not this handle.
        RegHandle made(opened);
    }
    HUSKEY key = nullptr;
    REGSAM access = write ? KEY_READ | KEY_WRITE : KEY_READ;
    if (SHRegOpenUSKeyW(path, access, nullptr, &key, ignoreUser) != ERROR_SUCCESS)
        key = nullptr;
    hKey = key;
    return hKey != nullptr;
}

void CoreReg::Close()
{
    USKeyHandle(AsUSKey(std::exchange(hKey, nullptr)));
    branch = branchUser;
}

int CoreReg::GetStr(const wchar_t* name, wchar_t* buf, unsigned cch, const wchar_t* def)
{
    if (!buf || cch == 0)
        return 0;
    DWORD type = 0;
    DWORD bytes = cch * sizeof(wchar_t);
    bool read = hKey && SHRegQueryUSValueW(AsUSKey(hKey), name, &type, buf, &bytes, branch == branchMachine,
                                           nullptr, 0) == ERROR_SUCCESS;
    unsigned count = bytes / sizeof(wchar_t);
    if (read && (type == REG_SZ || type == REG_EXPAND_SZ) &&
        ((count > 0 && buf[count - 1] == L'\0') || count < cch)) {
        if (count < cch)
            buf[count] = L'\0';
    } else {
        lstrcpynW(buf, def ? def : L"", static_cast<int>(cch));
    }
    return buf[0] != L'\0';
}

int CoreReg::PutStr(const wchar_t* name, const wchar_t* str)
{
    if (!hKey)
        return 0;
    if (!str)
        str = L"";
    DWORD bytes = (lstrlenW(str) + 1) * sizeof(wchar_t);
    DWORD flags = branch == branchMachine ? SHREGSET_FORCE_HKLM : SHREGSET_FORCE_HKCU;
    return SHRegWriteUSValueW(AsUSKey(hKey), name, REG_SZ, str, bytes, flags) == ERROR_SUCCESS;
}

DWORD CoreReg::GetDWORD(const wchar_t* name, DWORD def)
{
    DWORD type = 0;
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (!hKey || SHRegQueryUSValueW(AsUSKey(hKey), name, &type, &value, &bytes, branch == branchMachine, nullptr,
                                    0) != ERROR_SUCCESS)
        return def;
    return type == REG_DWORD && bytes == sizeof(value) ? value : def;
}

int CoreReg::PutDWORD(const wchar_t* name, DWORD value)
{
    if (!hKey)
        return 0;
    DWORD flags = branch == branchMachine ? SHREGSET_FORCE_HKLM : SHREGSET_FORCE_HKCU;
    return SHRegWriteUSValueW(AsUSKey(hKey), name, REG_DWORD, &value, sizeof(value), flags) == ERROR_SUCCESS;
}

int CoreReg::DeleteValue(const wchar_t* name)
{
    if (!hKey)
        return 0;
    return SHRegDeleteUSValueW(AsUSKey(hKey), name, branch == branchMachine ? SHREGDEL_HKLM : SHREGDEL_HKCU) ==
           ERROR_SUCCESS;
}
