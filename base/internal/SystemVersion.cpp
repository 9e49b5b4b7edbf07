#include "base/internal/SystemVersion.h"

void GetSystemVersion(OSVERSIONINFOEXW& version)
{
    version = {};
    version.dwOSVersionInfoSize = sizeof version;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto getVersion = ntdll
        ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
        : nullptr;
    if (!getVersion || getVersion(reinterpret_cast<OSVERSIONINFOW*>(&version)) != 0) {
        version = {};
        version.dwOSVersionInfoSize = sizeof version;
    }
}

bool IsSystemAtLeast(DWORD major, DWORD minor)
{
    OSVERSIONINFOEXW version;
    GetSystemVersion(version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT
        && (version.dwMajorVersion > major || (version.dwMajorVersion == major && version.dwMinorVersion >= minor));
}
