// Starting programs, documents and URLs through the shell, the process's
// elevation state, and starting a program elevated or, from an elevated
// process, not elevated (through the desktop's shell process, which must
// have a "Progman" window).
//
// Every launch returns 0 (or null) when it fails; the functions that take
// an error place store 0 or the system's error code there. Launches show
// no message box of the shell's: a failure is reported, not displayed.
// Texts handed to the shell process hold at most 259 characters; a longer
// one fails the launch rather than being cut.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// --- elevation ---------------------------------------------------------------
// The process token's elevation type (1 default, 2 full, 3 limited); 1 when
// the token cannot be read.
PVDLL_API TOKEN_ELEVATION_TYPE GetElevationType();
// The elevation type is not the default one: the user has a split token.
PVDLL_API int IsSplitToken();
// The token is elevated (0 when it cannot be read).
PVDLL_API int IsElevated();
// The token is not split and the user is not an administrator.
PVDLL_API int ShouldAskToRestartAsAdmin();
// The shell's IsUserAnAdmin; 1 when the system has no such entry point.
PVDLL_API int IsAdminXP();
// The system's ChangeWindowMessageFilter; 0 when it has none.
PVDLL_API int MyChangeWindowMessageFilter(unsigned int message, unsigned long flag);

// --- launching -------------------------------------------------------------------
// ShellExecuteEx with SW_SHOWNORMAL; the process handle when process is
// given (null when the shell started none, as for a document opened in a
// running program). Null texts and empty ones are not passed.
PVDLL_API int MyShellExec(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error);
// MyShellExec with the verb "runas"; a null owner means the "Progman" window.
PVDLL_API int RunAs(
    HWND owner, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory, void** process);
// Starts file elevated. Owner: the given window, else "Progman". The verb:
// none when the process already is elevated, or when the user has no split
// token and may write HKEY_LOCAL_MACHINE\SOFTWARE (elevation brings
// nothing then); "runas" otherwise. viaShell: the launch is made by the
// shell process.
PVDLL_API int RunElevated(HWND owner, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell);
// Starts file with the default verb, not elevated: directly, unless
// viaShell is given or this process is elevated, in which case the shell
// process makes the launch. A process handle from the shell process is
// passed over into this process when the shell may reach it; else null.
PVDLL_API int RunNonElevated(HWND owner, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell);
// A shell process with a "Progman" window is there to launch through.
PVDLL_API int CanRunNonElevated(int reserved);

// --- files of the application and of the library ---------------------------------
// The home folder (GetHomeDir), a separator, then name (null: the file
// name of module, null module: of the executable). buffer holds 260
// characters; 0 and an empty buffer when the path does not fit.
PVDLL_API int GetLocalPath(wchar_t* buffer, const wchar_t* name, HMODULE module);
// The same in this library's own folder (null name: the library's file).
PVDLL_API int GetSatellitePath(wchar_t* buffer, const wchar_t* name);
// Opens the local file with verb (null: the default one), the wait cursor
// shown meanwhile; a null owner means the desktop window.
PVDLL_API int RunLocalFile(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* verb);
PVDLL_API int RunSatelliteFile(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* verb);
PVDLL_API int RunLocalFileElevated(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell);
PVDLL_API int RunLocalFileNonElevated(HWND owner, const wchar_t* name, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error, int viaShell);
PVDLL_API int RunSatelliteFileElevated(HWND owner, const wchar_t* name, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error, int viaShell);
PVDLL_API int RunSatelliteFileNonElevated(HWND owner, const wchar_t* name, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error, int viaShell);
// The local file exists and is not a folder.
PVDLL_API int LocalFileExists(const wchar_t* name);

// --- other launches ---------------------------------------------------------------------
// ShellExecuteEx owned by the last active pop-up of the active window, the
// wait cursor shown meanwhile.
PVDLL_API int RunFile(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory, const wchar_t* verb);
// The started process's handle (the caller closes it, e.g. through
// WaitForProcess), or null.
PVDLL_API void* StartProcess(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory);
// Opens this process's own executable again, its folder as the working
// directory.
PVDLL_API int RunMyself(const wchar_t* parameters);
// The folder RunMyself starts in: the folder of exePath without a trailing
// separator, even for a root ("C:\app.exe" gives "C:"). out holds 260
// characters; 0 when it is empty.
PVDLL_API int GetLaunchFolder(wchar_t* out, const wchar_t* exePath);

// --- waiting -----------------------------------------------------------------------------
// Waits for the process to end in 200 ms slices, dispatching the thread's
// messages after each, then closes the handle. 1 only when the process
// ended with exit code 0: a failed wait or exit-code query is 0.
PVDLL_API int WaitForProcess(void* process);
// ZnThread::ProcessAllMessages.
PVDLL_API int ProcessAllMessages(HWND window);
