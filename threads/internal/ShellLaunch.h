// Launching a program through the desktop's shell process, so that it runs
// with the shell's token rather than the caller's (an elevated caller's
// child would otherwise be elevated too).
//
// The caller hooks the window procedures of the thread that owns the
// "Progman" window with this library as the hook module, which loads the
// library into the shell process. The two copies talk through a block in a
// data section that every process mapping the library shares: the caller
// fills it, sends "VistaElevatorMsg" to "Progman", and the hook, inside the
// shell, launches what the block asks for and writes the outcome back.
//
// Any process that maps the library can write the block, so the hook side
// treats it as outside input: it works on a copy, checks every field and
// refuses a request that does not parse, and the caller trusts nothing it
// reads back without checking it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/PVDLLApi.h"

constexpr unsigned shellLaunchTextSize = 260;
// The machine-wide mutex ("Global\" namespace) that gives one request at a
// time the block.
constexpr wchar_t shellLaunchTurnName[] = L"PVDLL_ShellLaunchTurn";

// Idle: no request; pending: filled and sent, not yet taken; serving: the
// hook took it and launches; writing: the hook writes the outcome; done:
// the outcome is there. A caller that stops waiting takes a pending or
// serving request back to idle, and a hook that finds its request taken
// back writes nothing, so a late answer never lands in a later request.
enum ShellLaunchState : LONG {
    shellLaunchIdle = 0,
    shellLaunchPending = 1,
    shellLaunchServing = 2,
    shellLaunchWriting = 3,
    shellLaunchDone = 4,
};

// The first 0x848 bytes keep the block's established layout, field for
// field; the fields after them were added behind it.
struct ShellLaunchBlock {
    DWORD lastError;
    DWORD wantProcess;
    HANDLE process;
    wchar_t directory[shellLaunchTextSize];
    HWND owner;
    wchar_t parameters[shellLaunchTextSize];
    DWORD result;
    DWORD messageId;
    wchar_t file[shellLaunchTextSize];
    HHOOK hook;
    wchar_t verb[shellLaunchTextSize];
    // The caller's process, into which the hook duplicates the launched
    // process's handle.
    DWORD callerProcessId;
    // A number of the caller's choosing, sent again as the message's
    // wParam: the hook serves only the message that belongs to the block.
    DWORD serial;
    volatile LONG state;
};

static_assert(offsetof(ShellLaunchBlock, lastError) == 0x000);
static_assert(offsetof(ShellLaunchBlock, wantProcess) == 0x004);
static_assert(offsetof(ShellLaunchBlock, process) == 0x008);
static_assert(offsetof(ShellLaunchBlock, directory) == 0x010);
static_assert(offsetof(ShellLaunchBlock, owner) == 0x218);
static_assert(offsetof(ShellLaunchBlock, parameters) == 0x220);
static_assert(offsetof(ShellLaunchBlock, result) == 0x428);
static_assert(offsetof(ShellLaunchBlock, messageId) == 0x42C);
static_assert(offsetof(ShellLaunchBlock, file) == 0x430);
static_assert(offsetof(ShellLaunchBlock, hook) == 0x638);
static_assert(offsetof(ShellLaunchBlock, verb) == 0x640);
static_assert(offsetof(ShellLaunchBlock, callerProcessId) == 0x848);

// A request as the hook side accepts it: every text terminated within its
// buffer, a file named, an owner that is a window (or none).
struct ShellLaunchRequest {
    wchar_t file[shellLaunchTextSize];
    wchar_t parameters[shellLaunchTextSize];
    wchar_t directory[shellLaunchTextSize];
    wchar_t verb[shellLaunchTextSize];
    HWND owner;
    bool wantProcess;
    DWORD callerProcessId;
};

// The request a copy of the block holds: 1 and the request when it is
// sound, else 0 with the reason as the thread's last error
// (ERROR_INSUFFICIENT_BUFFER for a text that does not end inside its
// buffer, ERROR_INVALID_PARAMETER for anything else).
PVDLL_API int ReadShellLaunchRequest(const ShellLaunchBlock& copy, ShellLaunchRequest* request);

// Launches through the shell process. verb null or empty: the default one.
// Non-zero on success; otherwise 0 with *error set (when given). process,
// when given, receives a handle valid in this process, or null when none
// could be passed over.
int LaunchThroughShell(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error);

// How long a request waits for the machine-wide turn and for the shell's
// answer (30 s unless changed; tests shorten it).
PVDLL_API void SetShellLaunchTimeout(DWORD milliseconds);

// This process's view of the shared block, for tests that check that other
// processes see it too.
PVDLL_API ShellLaunchBlock* SharedShellLaunchBlock();
