// Registration entries for installers. Each applies one RegKey::Op to a
// fixed set of keys, so the same routine checks, installs, reads or
// removes them.
#include "storage/RegKey.h"

#include <shlobj.h>

#include "base/StrFormat.h"

namespace {

const wchar_t currentVersion[] = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";

constexpr unsigned pathSize = 512;

} // namespace

int RegisterComServer(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid, int)
{
    RegKey classes(L"HKCLS\\CLSID", op);
    classes.ProcessSubKey(op, clsid);
    if (op == RegKey::opRemove)
        return classes.IsOpen();
    RegKey server(classes, clsid, op);
    RegKey inProc(server, L"InProcServer32", op);
    int ok = server.ProcessEntry(op, nullptr, name, 0);
    ok &= inProc.ProcessEntry(op, nullptr, dllPath, 0) != 0;
    ok &= inProc.ProcessEntry(op, L"ThreadingModel", L"Apartment", 0) != 0;
    return ok;
}

int RegisterShellExtObject(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid)
{
    int ok = RegisterComServer(op, name, dllPath, clsid, 0);
    wchar_t path[pathSize];
    StrFormat(path, pathSize, L"%s\\Shell Extensions\\Approved", currentVersion);
    RegKey approved(path, op);
    ok &= approved.ProcessEntry(op, clsid, name, 0) != 0;
    return ok;
}

int RegisterShellExt(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid,
                     const wchar_t* const* types, const wchar_t* handler, int notify)
{
    int ok = RegisterShellExtObject(op, name, dllPath, clsid);
    for (const wchar_t* const* type = types; type && *type; ++type) {
        wchar_t path[pathSize];
        StrFormat(path, pathSize, L"HKEY_CLASSES_ROOT\\%s\\shellex\\%s", *type, handler);
        RegKey handlers(path, op);
        if (op == RegKey::opRemove || op == RegKey::opInstall || op == RegKey::opForceWrite)
            handlers.DelSubKey(name);
        if (op == RegKey::opRemove)
            continue;
        RegKey entry(handlers, name, op);
        ok &= entry.ProcessEntry(op, nullptr, clsid, 0) != 0;
    }
    if (notify && (op == RegKey::opRemove || op == RegKey::opInstall))
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return ok;
}

int SetupCtxMenuRegistry(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid,
                         const wchar_t* const* types, int notify)
{
    return RegisterShellExt(op, name, dllPath, clsid, types, L"ContextMenuHandlers", notify);
}

int RegisterBHO(RegKey::Op op, const wchar_t* name, const wchar_t* dllPath, const wchar_t* clsid, int)
{
    int ok = RegisterComServer(op, name, dllPath, clsid, 0);
    wchar_t path[pathSize];
    StrFormat(path, pathSize, L"%s\\%s", currentVersion, L"Explorer\\Browser Helper Objects");
    RegKey objects(path, op);
    objects.ProcessSubKey(op, clsid);
    return ok;
}

int RegisterDriverForSafeMode(RegKey::Op op, const wchar_t* name)
{
    static const wchar_t* const safeBootRoots[] = {
        L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\SafeBoot\\Minimal",
        L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\SafeBoot\\Network",
    };
    wchar_t driverFile[pathSize];
    StrFormat(driverFile, pathSize, L"%s.sys", name);
    const wchar_t* const subKeys[] = {name, driverFile};
    int ok = 1;
    for (const wchar_t* rootPath : safeBootRoots) {
        RegKey root(rootPath, op);
        for (const wchar_t* sub : subKeys) {
            // Safe mode loads whatever has a key here, so removing the
            // registration removes the keys, not only their values.
            if (op == RegKey::opRemove) {
                ok &= root.IsOpen() ? root.DelSubKey(sub) != 0 : 1;
                continue;
            }
            RegKey entry(root, sub, op);
            ok &= entry.ProcessEntry(op, nullptr, L"Driver", 0) != 0;
        }
    }
    return ok;
}

int RegisterEventSourceFile(const wchar_t* source, const wchar_t* messageFile, RegKey::Op op)
{
    wchar_t path[pathSize];
    StrFormat(path, pathSize, L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\%s", source);
    CoreReg key(CoreReg::branchMachine, path, op == RegKey::opRemove ? 0 : 1);
    if (!key.IsOpen())
        return op == RegKey::opRemove;
    if (op == RegKey::opRemove) {
        key.DeleteValue(L"EventMessageFile");
        key.DeleteValue(L"TypesSupported");
        return 1;
    }
    const DWORD errorWarningInformation = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    return key.PutStr(L"EventMessageFile", messageFile) && key.PutDWORD(L"TypesSupported", errorWarningInformation);
}
