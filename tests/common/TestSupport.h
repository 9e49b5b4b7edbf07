// Helpers shared by the test executables.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Guards a test that enters a modal loop (a menu, a dialog, a pumping wait).
// When the budget runs out before the guard is destroyed, a thread timer on
// the guarded thread closes the thread's menu and dialogs, posts WM_QUIT
// and fails the test, so a stuck loop fails instead of hanging the run.
class ModalWatchdog {
public:
    explicit ModalWatchdog(UINT budgetMs = 10000);
    ~ModalWatchdog();
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    bool Fired() const { return fired; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    UINT_PTR timer;
    bool fired = false;
};

// Dispatches the calling thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);
// Dispatches them until done() holds or timeoutMs pass; the last done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// The folder of the running test executable (where PVDLL.dll lies too).
std::wstring ModuleFolder();

// A fresh, empty folder below the prefix's temp folder, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

// The folder for what a person would look at after a run (pictures):
// "artifacts" next to the folder of the test executable, made on demand.
std::wstring ArtifactFolder();

// Writes a picture as ArtifactFolder()\name (".png" is added when name has
// no extension) and returns the full path, or an empty text on failure.
// pixels are cx x cy 0x00RRGGBB values, rows top-down.
std::wstring SavePng(const std::wstring& name, const DWORD* pixels, int cx, int cy);
// A bitmap that is not selected into a DC.
std::wstring SavePng(const std::wstring& name, HBITMAP bmp);

// The header of a top-down 32-bit picture of cx x cy pixels, 0x00RRGGBB.
BITMAPINFO TopDown32(int cx, int cy);

// The pixels of a bitmap (not selected into a DC) as 0x00RRGGBB values,
// rows top-down; empty on failure.
std::vector<DWORD> BitmapPixels(HBITMAP bmp, int* cx = nullptr, int* cy = nullptr);
