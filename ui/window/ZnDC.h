// Device-context holders for one drawing operation. Each holder owns one
// DC: it puts back the state it saved and then gives the DC back the way
// it got it (ReleaseDC for a window's DC, DeleteDC for one it created).
// When the wanted DC cannot be had, a "DISPLAY" DC stands in, so drawing
// code never has to test for a null DC; that stand-in is always deleted,
// never released to a window.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API ZnDC {
public:
    // A "DISPLAY" DC, deleted at the end.
    ZnDC();
    // Wraps dc, which stays the caller's: with save, its state is saved now
    // and restored at the end. A null dc gives a "DISPLAY" DC instead.
    ZnDC(HDC dc, int save);
    virtual ~ZnDC();
    ZnDC(const ZnDC&) = delete;
    ZnDC& operator=(const ZnDC&) = delete;

    HDC Handle() const { return dc; }
    operator HDC() const { return dc; }

protected:
    // For the derived holders, which fill in the fields themselves.
    struct Empty {};
    explicit ZnDC(Empty) : dc(nullptr), restore(0), deleteDC(0) {}

    void UseDisplayDC();
    // Takes a DC just got from the platform and saves its state; a null one
    // is replaced by the stand-in. Returns whether got was taken.
    int TakeDC(HDC got);
    void SaveState();
    // Puts back the saved state once; derived holders call it before they
    // hand the DC back.
    void RestoreState();
    // For the holders of a window's DC: puts back the state, then gives the
    // DC back to wnd when it came from there (release).
    void ReleaseToWindow(HWND wnd, int release);

    HDC dc;
    int restore;
    int deleteDC;
};

// The client-area DC of a window (GetDC).
class PVDLL_API ClientDC : public ZnDC {
public:
    explicit ClientDC(HWND wnd);
    ~ClientDC() override;
    // Whether the DC is the window's own, not the stand-in.
    int IsWindowDC() const { return releaseDC; }

protected:
    HWND wnd;
    // Set only when dc came from the window, so the stand-in is never
    // released to it.
    int releaseDC;
};

// The whole-window DC of a window (GetWindowDC), non-client area included.
class PVDLL_API DCWindow : public ZnDC {
public:
    explicit DCWindow(HWND wnd);
    ~DCWindow() override;

protected:
    HWND wnd;
    int releaseDC;
};

// A memory DC compatible with dc (null: with the screen), deleted at the end.
class PVDLL_API CompatibleDC : public ZnDC {
public:
    explicit CompatibleDC(HDC dc);
};
