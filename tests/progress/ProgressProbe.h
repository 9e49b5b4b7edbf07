// Helpers of the progress tests: a clock the tests move by hand, a
// ProgressEx that records what it is asked to show, a dialog holding a
// real progress bar, and message pumps.
#pragma once

#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "PVDLL.h"
#include "ProgressTemplates.h"
#include "progress/internal/ProgressClock.h"

// The progress classes' clock while a test holds a ManualClock.
class ManualClock {
public:
    explicit ManualClock(DWORD start);
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    void Set(DWORD tick) { now = tick; }
    void Advance(DWORD ms) { now += ms; }

private:
    static DWORD Now() { return now; }
    static DWORD now;
};

// Records the output operations instead of showing anything.
class RecordingProgress : public ProgressEx {
public:
    void DoStepIt() override { ++steps; }
    void DoSetPos(int position) override { shownPos = position; }
    void DoSetRange(int lowerBound, int upperBound) override
    {
        shownLower = lowerBound;
        shownUpper = upperBound;
        ++ranges;
    }
    void ProcessAllMessages() override { }

    int steps = 0;
    int ranges = 0;
    int shownPos = -12345;
    int shownLower = -12345;
    int shownUpper = -12345;
};


// The test dialog (IDD_BAR), modeless and hidden, with the common
// controls registered.
class BarDialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Item(int id) const { return GetDlgItem(window, id); }
    HWND Bar() const { return Item(IDC_BAR); }
    std::wstring Text(int id) const;
    int BarPos() const { return static_cast<int>(SendMessageW(Bar(), PBM_GETPOS, 0, 0)); }
    int BarLimit(BOOL low) const { return static_cast<int>(SendMessageW(Bar(), PBM_GETRANGE, low, 0)); }

    ZnDlg dlg;
    HWND window = nullptr;
};
