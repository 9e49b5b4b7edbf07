// CritSec: one critical section, owned. CritSecLock holds one for a scope.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API CritSec {
public:
    CritSec() { InitializeCriticalSection(&cs); }
    ~CritSec() { DeleteCriticalSection(&cs); }
    CritSec(const CritSec&) = delete;
    CritSec& operator=(const CritSec&) = delete;

    void Enter() { EnterCriticalSection(&cs); }
    void Leave() { LeaveCriticalSection(&cs); }
    // Returns once no other thread holds the section.
    void Wait()
    {
        Enter();
        Leave();
    }

private:
    CRITICAL_SECTION cs;
};

class CritSecLock {
public:
    explicit CritSecLock(CritSec& section) : cs(section) { cs.Enter(); }
    ~CritSecLock() { cs.Leave(); }
    CritSecLock(const CritSecLock&) = delete;
    CritSecLock& operator=(const CritSecLock&) = delete;

private:
    CritSec& cs;
};
