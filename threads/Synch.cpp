#include "threads/Synch.h"

#include <sddl.h>

#include <utility>

#include "base/Owners.h"
#include "base/ScopeGuards.h"
#include "base/StrFormat.h"

namespace {

constexpr unsigned nameSize = 260;

// The name an object is created or opened under, with its namespace; null
// for an unnamed object.
class FullName {
public:
    FullName(const wchar_t* name, int global) : named(name != nullptr)
    {
        Synch::PrepareName(text, nameSize, name, global);
    }
    const wchar_t* Get() const { return named ? text : nullptr; }

private:
    bool named;
    wchar_t text[nameSize];
};

// Only an event this call created counts: an existing one of the same name
// was made by someone else, with rights of their choosing.
HANDLE KeepIfNew(HANDLE event)
{
    KernelHandle created(event);
    if (created && GetLastError() == ERROR_ALREADY_EXISTS) {
        // The caller learns that the name was taken, not how closing went.
        LastErrorPreserver keep;
        created.Reset();
        return nullptr;
    }
    return created.Release();
}

// The SID in its canonical text form. The text ends up inside a security
// descriptor string, so anything that is not exactly one SID is refused
// rather than let through to add entries of its own.
bool CanonicalSid(const wchar_t* text, wchar_t* out, unsigned cch)
{
    if (!text || !*text)
        return false;
    PSID parsed = nullptr;
    if (!ConvertStringSidToSidW(text, &parsed))
        return false;
    LocalBlock sid(parsed);
    wchar_t* written = nullptr;
    if (!IsValidSid(sid.Get()) || !ConvertSidToStringSidW(sid.Get(), &written))
        return false;
    LocalBlock canonical(written);
    if (lstrlenW(written) >= static_cast<int>(cch))
        return false;
    lstrcpynW(out, written, static_cast<int>(cch));
    return true;
}

} // namespace

// --- Synch -----------------------------------------------------------------

Synch::Synch(int kind) : handle(nullptr), kind(kind), lastWaitResult(0) {}

Synch::~Synch()
{
    Close();
}

HANDLE Synch::Win32_Open(unsigned long, int, const wchar_t*)
{
    return nullptr;
}

void Synch::PrepareName(wchar_t* buffer, unsigned int capacity, const wchar_t* name, int global)
{
    if (!buffer || capacity == 0)
        return;
    if (!name) {
        buffer[0] = L'\0';
        return;
    }
    StrFormat(buffer, capacity, L"%s%s", global ? L"Global\\" : L"Local\\", name);
}

int Synch::Open(const wchar_t* name, int global, unsigned long access, int inherit)
{
    FullName full(name, global);
    Adopt(Win32_Open(access, inherit, full.Get()));
    return handle != nullptr;
}

int Synch::Wait(unsigned long timeout)
{
    lastWaitResult = WaitForSingleObject(handle, timeout);
    return lastWaitResult == WAIT_OBJECT_0;
}

int Synch::MsgWait(unsigned long timeout, unsigned long wakeMask)
{
    lastWaitResult = MsgWaitForMultipleObjects(1, &handle, FALSE, timeout, wakeMask);
    return lastWaitResult == WAIT_OBJECT_0;
}

void Synch::Close()
{
    KernelHandle(std::exchange(handle, nullptr));
}

void Synch::Adopt(HANDLE h)
{
    Close();
    handle = h;
}

// --- Event -----------------------------------------------------------------

HANDLE Event::Win32_Open(unsigned long access, int inherit, const wchar_t* name)
{
    return OpenEventW(access, inherit, name);
}

int Event::CreateOrOpen(const wchar_t* name, int global, int manualReset, int initialState, SECURITY_ATTRIBUTES* sa)
{
    FullName full(name, global);
    Adopt(CreateEventW(sa, manualReset, initialState, full.Get()));
    return handle != nullptr;
}

int Event::CreateNew(const wchar_t* name, int global, int manualReset, int initialState, SECURITY_ATTRIBUTES* sa)
{
    FullName full(name, global);
    Adopt(KeepIfNew(CreateEventW(sa, manualReset, initialState, full.Get())));
    return handle != nullptr;
}

int Event::CreateNewForUser(const wchar_t* name, int global, const wchar_t* userSid, unsigned long access,
                            int manualReset, int initialState)
{
    Close();
    wchar_t sid[nameSize];
    if (!CanonicalSid(userSid, sid, nameSize)) {
        SetLastError(ERROR_INVALID_SID);
        return 0;
    }
    wchar_t sddl[nameSize];
    StrFormat(sddl, nameSize, L"D:(A;;0x%lX;;;%s)(A;;GA;;;LS)", access, sid);
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &made, nullptr))
        return 0;
    LocalBlock descriptor(made);
    SECURITY_ATTRIBUTES sa = {sizeof(sa), made, TRUE};
    return CreateNew(name, global, manualReset, initialState, &sa);
}

void Event::Set()
{
    if (handle)
        SetEvent(handle);
}

void Event::Clear()
{
    if (handle)
        ResetEvent(handle);
}

void Event::Pulse()
{
    if (handle)
        PulseEvent(handle);
}

int Event::IsSet()
{
    return Wait(0);
}

// --- EventSimple -----------------------------------------------------------

EventSimple::EventSimple(const wchar_t* name, int manualReset, int initialState) : handle(nullptr), alreadyExisted(0)
{
    Open(name, manualReset, initialState);
}

EventSimple::~EventSimple()
{
    Close();
}

int EventSimple::Open(const wchar_t* name, int manualReset, int initialState)
{
    Close();
    handle = CreateEventW(nullptr, manualReset, initialState, name);
    alreadyExisted = handle && GetLastError() == ERROR_ALREADY_EXISTS;
    return handle != nullptr;
}

int EventSimple::OpenEventW(unsigned long access, int inherit, const wchar_t* name)
{
    Close();
    handle = ::OpenEventW(access, inherit, name);
    alreadyExisted = handle != nullptr;
    return alreadyExisted;
}

void EventSimple::Set(int on)
{
    if (!handle)
        return;
    if (on)
        SetEvent(handle);
    else
        ResetEvent(handle);
}

int EventSimple::WaitSignalled(unsigned long timeout)
{
    return WaitForSingleObject(handle, timeout) == WAIT_OBJECT_0;
}

void EventSimple::Close()
{
    KernelHandle(std::exchange(handle, nullptr));
}

// --- MyMutex ---------------------------------------------------------------

// Every system the library runs on has the Global and Local namespaces.
MyMutex::MyMutex(int global, const wchar_t* name) : handle(nullptr)
{
    FullName full(name, global);
    handle = CreateMutexW(nullptr, FALSE, full.Get());
}

MyMutex::~MyMutex()
{
    KernelHandle(std::exchange(handle, nullptr));
}

int MyMutex::Wait(unsigned long timeout)
{
    DWORD result = WaitForSingleObject(handle, timeout);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void MyMutex::Release()
{
    if (handle)
        ReleaseMutex(handle);
}

// --- SingleInstanceXP ------------------------------------------------------

SingleInstanceXP::~SingleInstanceXP()
{
    KernelHandle(std::exchange(handle, nullptr));
}

int SingleInstanceXP::IsFirstInstance(int global, const wchar_t* name)
{
    KernelHandle(std::exchange(handle, nullptr));
    wchar_t prepared[nameSize];
    StrFormat(prepared, nameSize, L"%s\\Corvenna_App_%s", global ? L"Global" : L"Local", name ? name : L"");
    handle = KeepIfNew(CreateEventW(nullptr, FALSE, FALSE, prepared));
    return handle != nullptr;
}
