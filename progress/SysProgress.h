// SysProgress: progress shown in the shell's own progress dialog
// (IProgressDialog). Without the shell's object every call still keeps its
// values, and IsCanceled reports only an explicit stop.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"

class PVDLL_API SysProgress {
public:
    static constexpr unsigned textChars = 260;

    // A parent of 1 is the desktop's "Progman" window. cancelMsg may be
    // null. flags are the PROGDLG_ flags StartProgressDialog takes.
    SysProgress(HWND parent, const wchar_t* title, unsigned flags, const wchar_t* cancelMsg);
    ~SysProgress();
    SysProgress(const SysProgress&) = delete;
    SysProgress& operator=(const SysProgress&) = delete;

    // Starts the shell's dialog (making it first when needed), or stops it.
    void Show(BOOL show);
    // The shell's window again, or hidden.
    void ShowWindow();
    void HideWindow();
    // line 1-3.
    void SetLine(unsigned line, const wchar_t* text);
    void Update(unsigned done, unsigned total);
    void Update64(unsigned __int64 done, unsigned __int64 total);
    void Pause(BOOL pause);
    int IsCanceled();
    // The shell's dialog window among this process's windows: a "#32770"
    // with the title and a progress bar, the parent excepted; cached.
    HWND FindProgressWindow();

    IProgressDialog* GetInterface() const { return dialog.Get(); }
    const wchar_t* GetLine(unsigned line) const { return line >= 1 && line <= 3 ? lines[line - 1] : nullptr; }
    HWND GetParentWnd() const { return parent; }
    int IsPaused() const { return paused; }
    int IsStopped() const { return stopped; }

protected:
    void Stop();

    ComPtr<IProgressDialog> dialog;
    HWND found;
    int paused;
    int stopped;
    int comInitialized;
    HWND parent;
    wchar_t title[textChars];
    wchar_t cancelMsg[textChars];
    wchar_t lines[3][textChars];
    unsigned flags;
    unsigned done;
    unsigned total;
    unsigned __int64 done64;
    unsigned __int64 total64;
};
