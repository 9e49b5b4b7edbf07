// The command entry: what the product's executables, its shortcuts and the
// start-menu host inside the shell reach by plain export names. One command
// word runs the About box, the online help or the update check; the
// product's main executable starts from the library's folder; and two hooks
// of the host around its start button drive the periodic update check.
#pragma once

#include <windows.h>

extern "C" {

// Runs one command word, in any case: "about" (the About box, modal, no
// owner), "help" (the online help page in the browser), "check4updates"
// (the interactive update check) or "/CHECK4UPDATES" (the silent one); the
// two check words enforce daily, automatic checks for the process. Sets up
// COM and the link control's class for the call. 0 when the word was one
// of these, whatever came of it; 2 for any other text (null included).
int Launchora(const wchar_t* command);

// Starts "Launchora.exe" from the library's own folder with parameters
// (may be null), through the shell's "runas" verb when asAdmin is non-zero.
// Shows no message of its own. 0 when it started, 1 when not (no such file,
// the user declined the elevation). window is not used: the active window's
// last pop-up owns whatever the shell shows.
int RunLaunchora(HWND window, const wchar_t* parameters, int asAdmin);

// The host calls it once its start button exists. Nothing depends on it.
void OnStartButtonCreated(HWND startButton);

// The host calls it every time before it shows its menu, with the window
// that owns any dialog: enforces daily, automatic update checks for the
// process and runs the scheduled check (CheckForUpdates). Returns 1: the
// menu may be shown, whatever the check did.
int PreShowStartMenu(HWND owner);

} // extern "C"
