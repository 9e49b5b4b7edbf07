#include "ui/window/ZnDC.h"

ZnDC::ZnDC() : ZnDC(Empty{})
{
    UseDisplayDC();
}

ZnDC::ZnDC(HDC callerDC, int save) : ZnDC(Empty{})
{
    if (!callerDC) {
        UseDisplayDC();
        return;
    }
    dc = callerDC;
    if (save)
        SaveState();
}

ZnDC::~ZnDC()
{
    RestoreState();
    if (deleteDC && dc)
        DeleteDC(dc);
}

void ZnDC::UseDisplayDC()
{
    dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    deleteDC = dc != nullptr;
}

int ZnDC::TakeDC(HDC got)
{
    if (!got) {
        UseDisplayDC();
        return 0;
    }
    dc = got;
    SaveState();
    return 1;
}

void ZnDC::SaveState()
{
    restore = SaveDC(dc) != 0;
}

void ZnDC::RestoreState()
{
    if (restore)
        RestoreDC(dc, -1);
    restore = 0;
}

// The state belongs to this use of the DC: it goes back before the window
// gets its DC back (a class or parent DC outlives us).
void ZnDC::ReleaseToWindow(HWND wnd, int release)
{
    RestoreState();
    if (release)
        ReleaseDC(wnd, dc);
}

// --- window DCs ---------------------------------------------------------------------

ClientDC::ClientDC(HWND window) : ZnDC(Empty{}), wnd(window), releaseDC(0)
{
    releaseDC = TakeDC(GetDC(window));
}

ClientDC::~ClientDC()
{
    ReleaseToWindow(wnd, releaseDC);
}

DCWindow::DCWindow(HWND window) : ZnDC(Empty{}), wnd(window), releaseDC(0)
{
    releaseDC = TakeDC(GetWindowDC(window));
}

DCWindow::~DCWindow()
{
    ReleaseToWindow(wnd, releaseDC);
}

// --- memory DCs ---------------------------------------------------------------------

CompatibleDC::CompatibleDC(HDC reference) : ZnDC(Empty{})
{
    TakeDC(CreateCompatibleDC(reference));
    deleteDC = dc != nullptr;
}
