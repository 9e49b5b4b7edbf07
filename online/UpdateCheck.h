// The update check itself: the scheduled check the start-menu host asks for
// before it shows its menu, the check that asks the server and reports, and
// the command-line entry the product's executable runs for "check4updates"
// and the silent "/CHECK4UPDATES".
//
// The server's answer is outside input: only http:// and https:// addresses
// from it are ever opened; an answer offering anything else counts as a
// failed check.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// The global event that keeps one scheduled check at a time on the machine.
#define CHECK4UPDATES_EVENT_NAME L"Global\\Launchora_CHECK4UPDATES_EVENT"
// The argument of the silent check in the product's executable.
#define CHECK4UPDATES_SILENT_ARG L"/CHECK4UPDATES"
// The product's executable that runs the silent check, in the home folder.
#define CHECK4UPDATES_PRODUCT_EXE L"Launchora.exe"

// The scheduled check: when a check is due, either starts the silent check
// in the product's executable (automatic checking) or asks the user with
// the prompt dialog. The first call only schedules. Returns 1 when the user
// chose to download and install an update, else 0 (also when another check
// runs somewhere on the machine, or a prompt is already open).
PVDLL_API int CheckForUpdates(HWND owner);

// Asks the server and reports. commandLine null: interactive (messages,
// Retry); CHECK4UPDATES_SILENT_ARG: silent (only an offered update is
// shown). Any other command line: nothing happens and 0 is returned.
// *updateStarted (when given) becomes 1 when the user chose to install the
// offered update. Reschedules and returns 1 when it ran.
PVDLL_API int DoCheckForUpdates(HWND owner, int* updateStarted, const wchar_t* commandLine);

// The command-line entry: for "check4updates" (interactive) and
// "/CHECK4UPDATES" (silent), any case, prepares the icon-button resources,
// enforces daily checks and automatic checking for the process when enforce
// is non-zero, runs DoCheckForUpdates and returns 1. 0 for any other text.
PVDLL_API int DoCheckForUpdatesCmdln(const wchar_t* command, int enforce);
