// What the dialog layer keeps beside its objects: the dialog a thread is
// creating (taken by the first window the creation makes), the thread's
// creation hook, the last dialog initialised in the process, the frame
// sizes, and the "ZNDLG" property that names a window's dialog object.
// Internal.
#pragma once

#include <windows.h>

class ZnDlg;

namespace DlgState {

// The window property that holds a dialog window's ZnDlg*.
extern const wchar_t propName[];

// The dialog object of a dialog window, or null (also for a window the
// object has let go of).
ZnDlg* FromHandle(HWND window);

// The dialog whose window procedure runs on this thread now, for its
// dialog procedure to find without a property lookup. A Dispatch object
// marks the span; Dispatching(window) is the dialog when it is window's.
class Dispatch {
public:
    explicit Dispatch(ZnDlg* dlg);
    ~Dispatch();
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

private:
    ZnDlg* outer;
};
ZnDlg* Dispatching(HWND window);

// The pending slot of the calling thread: armed just before the system
// is asked for a dialog, emptied by the binding or when the call returns.
// The thread's creation hook is installed while a dialog is pending.
void Arm(ZnDlg* dlg, int templateId);
ZnDlg* Pending();
// Takes the pending object (null when none) and its template id.
ZnDlg* Take(int* templateId);
// An object that goes away, or whose creation returned, is no longer pending.
void Forget(ZnDlg* dlg);

// While a note is set, the first dialog window bound on this thread is
// written to it (the window of a creation whose object may be gone by the
// time the creation returns).
void NoteBinding(HWND* note);
void NoteBound(HWND window);

// Users of the calling thread's creation hook beside the pending dialog:
// while one holds it, it stays.
void HookUser(int on);

// The window of the dialog initialised last in the process.
void SetLastInitialised(HWND window);
HWND LastInitialised();
void ForgetLastInitialised(HWND window);

// SM_CXFRAME and SM_CYFRAME, read once and again after a setting change.
void RefreshFrameSizes();
int FrameX();
int FrameY();

// Moves rect (not resized) into the work area of the monitor nearest to
// it when it lies on no monitor at all; true when it moved.
bool BringOntoMonitor(RECT& rect);

} // namespace DlgState
