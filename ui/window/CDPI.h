// CDPI: the screen's DPI and the scaling of 96-DPI layout values to it.
// The values are asked for lazily and kept until Invalidate or a change
// of the window whose DPI counts (SetWindow). The platform's per-window
// and per-monitor DPI functions are looked up by name, so the library
// still loads on systems that lack them.
#pragma once

#include <windows.h>
#include <shellscalingapi.h>

#include "base/PVDLLApi.h"

class PVDLL_API CDPI {
public:
    CDPI();

    int GetDPIX();
    int GetDPIY();
    // A value neither 0 (unknown) nor 96.
    int IsCustom();
    // Skins are drawn for 96 and 120 DPI; the steps between need their
    // own adjustment.
    int ShouldAdjustForSkin();
    int GetAdjustedSysIconSize();
    int GetAdjustedIconSize48_64();

    int ScaleX(int v);
    int ScaleY(int v);
    int UnscaleX(int v);
    int UnscaleY(int v);
    void ScaleRect(RECT* rect);
    void ScaleSize(SIZE* size);

    // Screen sizes and system metrics in 96-DPI units.
    int ScaledScreenWidth();
    int ScaledScreenHeight();
    int _ScaledSystemMetricX(int index);
    int _ScaledSystemMetricY(int index);
    int IsResolutionAtLeast(int cx, int cy);

    // Font sizes, with the values as they stand (no lookup).
    int PointsToPixels(int points) const;
    int PixelsToPoints(int pixels) const;

    void Invalidate() { initialized = 0; }

    // The window whose DPI counts; a change invalidates the process-wide
    // instance.
    static void SetWindow(HWND wnd);

    // The platform entry points, or their failure when missing.
    // MyGetDPIForWindow returns the DPI (0 when unknown) and stores it in
    // *dpi when dpi is not null.
    static int MyGetDPIForWindow(HWND wnd, UINT* dpi);
    static HRESULT MyGetDPIForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* dpiX, UINT* dpiY);
    static HRESULT MyGetScaleFactorForMonitor(HMONITOR monitor, DEVICE_SCALE_FACTOR* scale);
    // 96 scaled by the factor of the window's nearest monitor; 96 when the
    // factor is unknown.
    static UINT GetTrueDPIForWindow(HWND wnd);

    // For tests: the values every lookup gives from now on (0, 0 asks the
    // platform again), and the monitor scale factor in percent (0: ask the
    // platform). Both invalidate the process-wide instance.
    static void SetTestDPI(int dpiX, int dpiY);
    static void SetTestScaleFactor(int percent);

    static HWND hwnd;

protected:
    void _Init();

    int initialized;
    int dpiX;
    int dpiY;
};

// The process-wide instance.
PVDLL_API CDPI* PCDPI();
