// COM on the current thread for a scope. CoInit initialises and
// uninitialises once per object; CoInitEx counts nested objects of the
// thread and initialises COM and the common controls only for the outermost.
// Both undo only what succeeded: a thread that already has COM in the other
// threading model keeps it.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API CoInit {
public:
    CoInit();
    ~CoInit();
    CoInit(const CoInit&) = delete;
    CoInit& operator=(const CoInit&) = delete;

    int IsInitialized() const { return initialized; }

private:
    int initialized;
};

class PVDLL_API CoInitEx {
public:
    CoInitEx();
    ~CoInitEx();
    CoInitEx(const CoInitEx&) = delete;
    CoInitEx& operator=(const CoInitEx&) = delete;

    // How many CoInitEx objects the calling thread holds. COM belongs to a
    // thread, so the count does too.
    static long GetRef();
};
