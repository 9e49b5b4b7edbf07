// The program the registry names for a URL protocol, and the command line
// that hands it one URL. The command in the registry is outside data (any
// program of the user can write it): every output here is cut at its
// capacity and always terminated, and a command that had to be cut is
// never run.
//
// Exported for the library's own tests, which point these at a protocol of
// their own; not part of the installed interface.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// The capacity of a command line built for a protocol's program.
constexpr unsigned protocolCommandSize = 520;

// The command of <protocol>\shell\open\command among the classes: the
// current user's registration first, then the merged root (Wine's root holds
// only the machine's), environment strings expanded for an expandable
// value. Returns its length; 0 and "" when there is none or it does not
// fit in cch characters (a cut command would name another program).
PVDLL_API int GetProtocolApp(const wchar_t* protocol, wchar_t* out, unsigned cch);

// The command line that opens url: command with each "%1" replaced by url,
// or, when it has none, with a blank and the quoted url appended. Returns
// 1 when the whole line fits in cch characters, 0 when it was cut (or
// command is empty); out always holds the terminated, possibly cut, text.
PVDLL_API int PreparePathArg(const wchar_t* command, const wchar_t* url, wchar_t* out, unsigned cch);

// The program (without its quotes) and the arguments of a command line,
// each cut to its capacity. Returns 1 when there is a program and both
// parts fit whole, 0 otherwise.
PVDLL_API int SplitCommandLine(
    const wchar_t* command, wchar_t* program, unsigned cchProgram, wchar_t* args, unsigned cchArgs);

// Starts the program registered for protocol with url. Returns 1 when the
// shell started it.
PVDLL_API int RunProtocolApp(HWND owner, const wchar_t* protocol, const wchar_t* url);
