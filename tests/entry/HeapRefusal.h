// Makes every allocation from the library's heap fail while alive, so a
// test can see a function meet out of memory. Only the library's calls are
// refused (through its import table); the test's own allocations work.
#pragma once

#include <windows.h>

#include "common/ImportHook.h"

class HeapRefusal {
public:
    HeapRefusal() : hook("kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(&Refuse)) {}
    bool Hooked() const { return hook.Hooked(); }

private:
    static LPVOID WINAPI Refuse(HANDLE, DWORD, SIZE_T) { return nullptr; }
    ImportHook hook;
};
