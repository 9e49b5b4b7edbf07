// Replaces one of PVDLL.dll's imported functions for the life of the
// object, so a test can see (or count) the library's calls into the
// platform. The original stays reachable through Original().
#pragma once

#include <windows.h>

class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Hooked() const { return slot != nullptr; }
    template <typename Fn>
    Fn Original() const
    {
        return reinterpret_cast<Fn>(original);
    }

private:
    void Patch(ULONG_PTR value);

    ULONG_PTR* slot = nullptr;
    ULONG_PTR original = 0;
};
