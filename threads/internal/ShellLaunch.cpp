#include "threads/internal/ShellLaunch.h"

#include <shellapi.h>

#include <cwchar>

#include "base/LibraryEntry.h"
#include "base/Owners.h"
#include "threads/Synch.h"

// One block for every process that maps the library: the section is marked
// shared in the image, so all processes map the same pages.
__attribute__((section("ve_share"), shared)) ShellLaunchBlock sharedLaunchBlock = {};

namespace {

constexpr wchar_t launchMessageName[] = L"VistaElevatorMsg";
constexpr wchar_t shellWindowClass[] = L"Progman";

LONG launchTimeoutMs = 30000;
// The thread of this process that holds the machine-wide turn, so that a
// request made from inside our own wait (a sent message handled while we
// wait for the shell) is refused instead of overwriting the block.
LONG turnHolder = 0;
LONG serialCounter = 0;

UINT LaunchMessage()
{
    static const UINT id = RegisterWindowMessageW(launchMessageName);
    return id;
}

template <size_t N>
bool TakeText(wchar_t (&to)[N], const wchar_t* from)
{
    size_t length = wcsnlen(from, N);
    if (length == N)
        return false;
    wmemcpy(to, from, length);
    to[length] = L'\0';
    return true;
}

bool Fits(const wchar_t* text)
{
    return !text || wcsnlen(text, shellLaunchTextSize) < shellLaunchTextSize;
}

template <size_t N>
void PutText(wchar_t (&to)[N], const wchar_t* from)
{
    size_t length = from ? wcsnlen(from, N - 1) : 0;
    if (length)
        wmemcpy(to, from, length);
    wmemset(to + length, L'\0', N - length);
}

// A copy of launched that belongs to the caller's process, or null when the
// caller cannot be reached (it ended, or it is out of this process's reach).
HANDLE PassToCaller(HANDLE launched, DWORD callerProcessId)
{
    KernelHandle caller(OpenProcess(PROCESS_DUP_HANDLE, FALSE, callerProcessId));
    HANDLE copy = nullptr;
    if (!caller
        || !DuplicateHandle(GetCurrentProcess(), launched, caller.Get(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

// Set in the shell process while a request is served. The launch may let
// sent messages in while it waits; one of ours arriving then stays pending
// (and its caller gives up), since the block's state tells one request's
// serving from another's only through this order.
LONG serving = 0;

class ServingGuard {
public:
    ServingGuard() : entered(InterlockedCompareExchange(&serving, 1, 0) == 0) { }
    ~ServingGuard()
    {
        if (entered)
            InterlockedExchange(&serving, 0);
    }
    ServingGuard(const ServingGuard&) = delete;
    ServingGuard& operator=(const ServingGuard&) = delete;

    bool Entered() const { return entered; }

private:
    bool entered;
};

// Runs in the shell process, on the thread of its "Progman" window.
void ServeRequest(DWORD serial, DWORD callerProcessId)
{
    ServingGuard guard;
    if (!guard.Entered())
        return;
    ShellLaunchBlock& block = sharedLaunchBlock;
    if (block.serial != serial || block.callerProcessId != callerProcessId)
        return;
    // Whichever hook sees the message first serves it, once.
    if (InterlockedCompareExchange(&block.state, shellLaunchServing, shellLaunchPending) != shellLaunchPending)
        return;
    // Checked and used as one snapshot: the block may change under us.
    ShellLaunchBlock copy;
    memcpy(&copy, &block, sizeof(copy));
    MemoryBarrier();

    ShellLaunchRequest request;
    KernelHandle launched;
    DWORD result = 0;
    DWORD error = 0;
    HANDLE forCaller = nullptr;
    if (!ReadShellLaunchRequest(copy, &request)) {
        error = GetLastError();
    } else {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        // No message box on the desktop's own thread: the caller learns the
        // error.
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (request.wantProcess ? SEE_MASK_NOCLOSEPROCESS : 0);
        info.hwnd = request.owner;
        info.lpVerb = request.verb[0] ? request.verb : nullptr;
        info.lpFile = request.file;
        info.lpParameters = request.parameters[0] ? request.parameters : nullptr;
        info.lpDirectory = request.directory[0] ? request.directory : nullptr;
        info.nShow = SW_SHOWNORMAL;
        result = ShellExecuteExW(&info) ? 1 : 0;
        error = result ? 0 : GetLastError();
        launched.Reset(info.hProcess);
    }
    // The caller may have stopped waiting meanwhile; the block may then
    // hold a later request already, which this outcome must not touch.
    if (InterlockedCompareExchange(&block.state, shellLaunchWriting, shellLaunchServing) != shellLaunchServing)
        return;
    if (result && launched)
        forCaller = PassToCaller(launched.Get(), request.callerProcessId);
    block.process = forCaller;
    block.lastError = error;
    block.result = result;
    MemoryBarrier();
    InterlockedExchange(&block.state, shellLaunchDone);
}

LRESULT CALLBACK LaunchHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        // The id is registered here rather than read from the block, which
        // anyone could set to a message the window gets all the time.
        if (call && call->message >= 0xC000 && call->message == LaunchMessage())
            ServeRequest(static_cast<DWORD>(call->wParam), static_cast<DWORD>(call->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Holds the machine-wide turn for one request.
class LaunchTurn {
public:
    LaunchTurn() : mutex(1, shellLaunchTurnName) { }
    ~LaunchTurn()
    {
        if (reentered)
            mutex.Release();
        if (held) {
            InterlockedExchange(&turnHolder, 0);
            mutex.Release();
        }
    }
    LaunchTurn(const LaunchTurn&) = delete;
    LaunchTurn& operator=(const LaunchTurn&) = delete;

    // 0 with the reason when the turn is not ours.
    DWORD Take(DWORD timeout)
    {
        if (!mutex.GetHandle())
            return GetLastError() ? GetLastError() : ERROR_INVALID_HANDLE;
        if (!mutex.Wait(timeout))
            return ERROR_TIMEOUT;
        // The mutex is recursive: a second request of the thread that
        // holds it would get it at once. (Another thread's id is left only
        // by a thread that ended holding the turn; the mutex came to us
        // abandoned then.)
        const LONG self = static_cast<LONG>(GetCurrentThreadId());
        if (InterlockedExchange(&turnHolder, self) == self) {
            reentered = true;
            return ERROR_BUSY;
        }
        held = true;
        return 0;
    }

private:
    MyMutex mutex;
    bool held = false;
    bool reentered = false;
};

DWORD NextSerial()
{
    // Not a secret, only unlikely to repeat between callers.
    return (static_cast<DWORD>(InterlockedIncrement(&serialCounter)) << 16) ^ GetTickCount() ^ GetCurrentProcessId();
}

// 0 with *failure set, or the shell's result.
int Request(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory,
    void** process, DWORD* failure)
{
    if (!file || !file[0]) {
        *failure = ERROR_INVALID_PARAMETER;
        return 0;
    }
    // Nothing is launched with a cut text.
    if (!Fits(file) || !Fits(verb) || !Fits(parameters) || !Fits(directory)) {
        *failure = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    UINT message = LaunchMessage();
    if (!message) {
        *failure = GetLastError();
        return 0;
    }
    HWND shell = FindWindowW(shellWindowClass, nullptr);
    DWORD shellThread = shell ? GetWindowThreadProcessId(shell, nullptr) : 0;
    if (!shellThread) {
        *failure = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    const DWORD timeout = static_cast<DWORD>(InterlockedCompareExchange(&launchTimeoutMs, 0, 0));
    LaunchTurn turn;
    if (DWORD refused = turn.Take(timeout)) {
        *failure = refused;
        return 0;
    }
    HookHandle hook(SetWindowsHookExW(WH_CALLWNDPROC, LaunchHook, hiDLL, shellThread));
    if (!hook) {
        *failure = GetLastError();
        return 0;
    }

    ShellLaunchBlock& block = sharedLaunchBlock;
    InterlockedExchange(&block.state, shellLaunchIdle);
    block.result = 0;
    block.lastError = 0;
    block.process = nullptr;
    PutText(block.verb, verb);
    PutText(block.file, file);
    PutText(block.parameters, parameters);
    PutText(block.directory, directory);
    block.owner = owner ? owner : shell;
    block.wantProcess = process != nullptr;
    block.messageId = message;
    block.hook = hook.Get();
    const DWORD self = GetCurrentProcessId();
    const DWORD serial = NextSerial();
    block.callerProcessId = self;
    block.serial = serial;
    MemoryBarrier();
    InterlockedExchange(&block.state, shellLaunchPending);

    DWORD_PTR reply = 0;
    BOOL answered = SendMessageTimeoutW(shell, message, serial, self, SMTO_ABORTIFHUNG, timeout, &reply);
    DWORD sendError = answered ? 0 : GetLastError();
    // A request nobody took, or that the shell has not finished, is taken
    // back, so that a late hook neither serves it nor answers it.
    LONG state = InterlockedCompareExchange(&block.state, shellLaunchIdle, shellLaunchPending);
    if (state == shellLaunchServing)
        state = InterlockedCompareExchange(&block.state, shellLaunchIdle, shellLaunchServing);
    // The hook is writing its outcome: a matter of moments.
    for (int i = 0; state == shellLaunchWriting && i < 1000; ++i) {
        Sleep(1);
        state = InterlockedCompareExchange(&block.state, shellLaunchWriting, shellLaunchWriting);
    }
    if (state != shellLaunchDone) {
        if (state == shellLaunchPending && answered)
            *failure = ERROR_NOT_SUPPORTED; // the hook never ran in the shell
        else
            *failure = sendError ? sendError : ERROR_TIMEOUT;
        return 0;
    }
    MemoryBarrier();
    if (block.serial != serial || block.callerProcessId != self) {
        *failure = ERROR_INVALID_DATA;
        return 0;
    }
    int result = block.result ? 1 : 0;
    DWORD error = block.lastError;
    HANDLE launched = block.process;
    block.process = nullptr;
    InterlockedExchange(&block.state, shellLaunchIdle);
    if (!result) {
        *failure = error ? error : ERROR_GEN_FAILURE;
        return 0;
    }
    // Only a process handle is passed on: anything else in that field was
    // not put there by the hook.
    if (process)
        *process = launched && GetProcessId(launched) ? launched : nullptr;
    return 1;
}

} // namespace

int ReadShellLaunchRequest(const ShellLaunchBlock& copy, ShellLaunchRequest* request)
{
    if (!request) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    *request = {};
    if (!TakeText(request->file, copy.file) || !TakeText(request->parameters, copy.parameters)
        || !TakeText(request->directory, copy.directory) || !TakeText(request->verb, copy.verb)) {
        *request = {};
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    request->wantProcess = copy.wantProcess != 0;
    request->callerProcessId = copy.callerProcessId;
    if (!request->file[0] || (request->wantProcess && !request->callerProcessId)) {
        *request = {};
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    request->owner = copy.owner && IsWindow(copy.owner) ? copy.owner : nullptr;
    return 1;
}

int LaunchThroughShell(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error)
{
    if (process)
        *process = nullptr;
    DWORD failure = 0;
    int result = Request(owner, verb, file, parameters, directory, process, &failure);
    if (error)
        *error = result ? 0 : failure;
    if (!result)
        SetLastError(failure);
    return result;
}

void SetShellLaunchTimeout(DWORD milliseconds)
{
    InterlockedExchange(&launchTimeoutMs, static_cast<LONG>(milliseconds));
}

ShellLaunchBlock* SharedShellLaunchBlock()
{
    return &sharedLaunchBlock;
}
