// Kernel synchronisation objects, each owning one handle: Synch and its
// Event, the simpler EventSimple, MyMutex, and SingleInstanceXP, which keeps
// a name taken for as long as the first instance of an application lives.
//
// Named objects live in the "Global\" (every session) or "Local\" (this
// session) namespace; names are cut to 260 characters.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API Synch {
public:
    explicit Synch(int kind);
    virtual ~Synch();
    Synch(const Synch&) = delete;
    Synch& operator=(const Synch&) = delete;

    // Opens an existing object of the subclass's kind; the base opens none.
    virtual HANDLE Win32_Open(unsigned long access, int inherit, const wchar_t* name);

    // "Global\name" or "Local\name"; empty for a null name.
    static void PrepareName(wchar_t* buffer, unsigned int capacity, const wchar_t* name, int global);

    int Open(const wchar_t* name, int global, unsigned long access, int inherit);
    // 1 exactly for WAIT_OBJECT_0; the raw result is kept.
    int Wait(unsigned long timeout);
    int MsgWait(unsigned long timeout, unsigned long wakeMask);
    unsigned long GetLastWaitResult() const { return lastWaitResult; }
    void Close();
    int IsReady() const { return handle != nullptr; }
    HANDLE GetHandle() const { return handle; }

protected:
    // Closes what is held and keeps h instead.
    void Adopt(HANDLE h);

    HANDLE handle;
    int kind;  // kept for subclasses; no operation here reads it
    unsigned long lastWaitResult;
};

class PVDLL_API Event : public Synch {
public:
    Event() : Synch(1) {}
    ~Event() override {}

    HANDLE Win32_Open(unsigned long access, int inherit, const wchar_t* name) override;

    // A null name makes an unnamed event.
    int CreateOrOpen(const wchar_t* name, int global, int manualReset, int initialState,
                     SECURITY_ATTRIBUTES* sa = nullptr);
    // Fails, holding nothing, when the event already existed.
    int CreateNew(const wchar_t* name, int global, int manualReset, int initialState,
                  SECURITY_ATTRIBUTES* sa = nullptr);
    // A new event that only the user with the given SID (text form) may use
    // with the given access; the local service account gets full access.
    // A SID text that does not parse is refused.
    int CreateNewForUser(const wchar_t* name, int global, const wchar_t* userSid, unsigned long access,
                         int manualReset, int initialState);

    void Set();
    void Clear();
    void Pulse();
    // Tests without waiting; the result is kept as the last wait result.
    int IsSet();
};

class PVDLL_API EventSimple {
public:
    explicit EventSimple(const wchar_t* name = nullptr, int manualReset = 0, int initialState = 0);
    ~EventSimple();
    EventSimple(const EventSimple&) = delete;
    EventSimple& operator=(const EventSimple&) = delete;

    // Creates or opens; IsAreadyExists tells which.
    int Open(const wchar_t* name, int manualReset, int initialState);
    // Opens only an existing event; IsAreadyExists tells whether it did.
    int OpenEventW(unsigned long access, int inherit, const wchar_t* name);

    void Set(int on);
    void Clear() { Set(0); }
    int IsAreadyExists() const { return alreadyExisted; }
    int IsReady() const { return handle != nullptr; }
    int WaitSignalled(unsigned long timeout);
    void Close();
    HANDLE* GetHandleAddr() { return &handle; }
    operator void*() const { return handle; }

private:
    HANDLE handle;
    int alreadyExisted;
};

// A named mutex, created not owned. A null name makes an unnamed one.
class PVDLL_API MyMutex {
public:
    MyMutex(int global, const wchar_t* name);
    ~MyMutex();
    MyMutex(const MyMutex&) = delete;
    MyMutex& operator=(const MyMutex&) = delete;

    // 1 when the mutex is now ours, also when its last owner ended without
    // releasing it: it is ours all the same and must be released.
    int Wait(unsigned long timeout);
    void Release();
    HANDLE GetHandle() const { return handle; }

private:
    HANDLE handle;
};

class PVDLL_API SingleInstanceXP {
public:
    SingleInstanceXP() : handle(nullptr) {}
    ~SingleInstanceXP();
    SingleInstanceXP(const SingleInstanceXP&) = delete;
    SingleInstanceXP& operator=(const SingleInstanceXP&) = delete;

    // 1 when no other living object (in any process, or any session for a
    // global name) holds the name; this object then holds it until it goes.
    int IsFirstInstance(int global, const wchar_t* name);

private:
    HANDLE handle;
};
