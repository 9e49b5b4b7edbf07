// Scope guards of the ground layer: each puts back at the end of its scope
// what its constructor changed, or frees what it took.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"

// Keeps the calling thread's last error across clean-up calls, so that the
// caller learns why an operation failed and not why its clean-up did.
class PVDLL_API LastErrorPreserver {
public:
    LastErrorPreserver() : error(GetLastError()) {}
    ~LastErrorPreserver() { SetLastError(error); }
    LastErrorPreserver(const LastErrorPreserver&) = delete;
    LastErrorPreserver& operator=(const LastErrorPreserver&) = delete;

    DWORD Error() const { return error; }

private:
    DWORD error;
};

// Sets the process error mode for a scope (by default: no critical-error,
// fault or open-file message boxes) and puts the previous mode back.
class PVDLL_API ErrorModeSuppressor {
public:
    explicit ErrorModeSuppressor(UINT mode = SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
                                             SEM_NOOPENFILEERRORBOX)
        : uPrevMode(SetErrorMode(mode))
    {
    }
    ~ErrorModeSuppressor() { SetErrorMode(uPrevMode); }
    ErrorModeSuppressor(const ErrorModeSuppressor&) = delete;
    ErrorModeSuppressor& operator=(const ErrorModeSuppressor&) = delete;

private:
    UINT uPrevMode;
};

// A system module loaded for a scope, and its entry points. Features that
// only some callers need load their DLL this way on first use instead of
// making every process that loads the library load it too. Only the
// system folder is searched, so no file planted beside a program is taken.
class PVDLL_API DLL_Loader {
public:
    explicit DLL_Loader(const wchar_t* name);
    DLL_Loader(DLL_Loader&&) noexcept = default;
    DLL_Loader& operator=(DLL_Loader&&) noexcept = default;
    ~DLL_Loader();

    bool IsLoaded() const { return module.IsValid(); }
    HMODULE GetModule() const { return module.Get(); }
    // Null when the module is not loaded or has no such entry point.
    FARPROC GetProc(const char* name) const;
    template <typename Fn>
    Fn Get(const char* name) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProc(name)));
    }

private:
    LoadedModule module;
};
