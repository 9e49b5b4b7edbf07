#include "ui/window/CDPI.h"

#include "ui/window/ZnDC.h"

HWND CDPI::hwnd = nullptr;

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
using GetScaleFactorForMonitorFn = HRESULT(WINAPI*)(HMONITOR, DEVICE_SCALE_FACTOR*);

int testDpiX = 0;
int testDpiY = 0;
int testScalePercent = 0;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

GetDpiForWindowFn DpiForWindow()
{
    static GetDpiForWindowFn fn = Lookup<GetDpiForWindowFn>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    return fn;
}

// Shcore stays loaded for the life of the process: its functions are
// cached.
HMODULE Shcore()
{
    static HMODULE module = LoadLibraryW(L"shcore.dll");
    return module;
}

int UnscaleBy(int v, int dpi)
{
    // A DPI of 0 means "unknown": leave the value as it is rather than
    // return MulDiv's -1.
    return dpi ? MulDiv(v, 96, dpi) : v;
}

} // namespace

CDPI::CDPI() : initialized(0), dpiX(96), dpiY(96) {}

void CDPI::_Init()
{
    if (initialized)
        return;
    initialized = 1;
    if (testDpiX || testDpiY) {
        dpiX = testDpiX;
        dpiY = testDpiY;
        return;
    }
    if (!DpiForWindow())
        return;
    dpiX = dpiY = MyGetDPIForWindow(hwnd, nullptr);
    if (dpiX)
        return;
    UINT x = 0, y = 0;
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    if (SUCCEEDED(MyGetDPIForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y))) {
        dpiX = static_cast<int>(x);
        dpiY = static_cast<int>(y);
        return;
    }
    ZnDC screen;
    dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY = GetDeviceCaps(screen, LOGPIXELSY);
}

int CDPI::GetDPIX()
{
    _Init();
    return dpiX;
}

int CDPI::GetDPIY()
{
    _Init();
    return dpiY;
}

int CDPI::IsCustom()
{
    _Init();
    return (dpiX != 0 && dpiX != 96) || (dpiY != 0 && dpiY != 96);
}

int CDPI::ShouldAdjustForSkin()
{
    _Init();
    return (dpiX >= 97 && dpiX <= 112) || (dpiY >= 97 && dpiY <= 112);
}

int CDPI::GetAdjustedSysIconSize()
{
    _Init();
    if (dpiX < 120)
        return 16;
    return dpiX < 192 ? 24 : 32;
}

int CDPI::GetAdjustedIconSize48_64()
{
    _Init();
    return dpiX < 144 ? 48 : 64;
}

int CDPI::ScaleX(int v)
{
    _Init();
    return MulDiv(v, dpiX, 96);
}

int CDPI::ScaleY(int v)
{
    _Init();
    return MulDiv(v, dpiY, 96);
}

int CDPI::UnscaleX(int v)
{
    _Init();
    return UnscaleBy(v, dpiX);
}

int CDPI::UnscaleY(int v)
{
    _Init();
    return UnscaleBy(v, dpiY);
}

void CDPI::ScaleRect(RECT* rect)
{
    rect->left = ScaleX(rect->left);
    rect->right = ScaleX(rect->right);
    rect->top = ScaleY(rect->top);
    rect->bottom = ScaleY(rect->bottom);
}

void CDPI::ScaleSize(SIZE* size)
{
    size->cx = ScaleX(size->cx);
    size->cy = ScaleY(size->cy);
}

int CDPI::ScaledScreenWidth()
{
    return _ScaledSystemMetricX(SM_CXSCREEN);
}

int CDPI::ScaledScreenHeight()
{
    return _ScaledSystemMetricY(SM_CYSCREEN);
}

int CDPI::_ScaledSystemMetricX(int index)
{
    return UnscaleX(GetSystemMetrics(index));
}

int CDPI::_ScaledSystemMetricY(int index)
{
    return UnscaleY(GetSystemMetrics(index));
}

int CDPI::IsResolutionAtLeast(int cx, int cy)
{
    return ScaledScreenWidth() >= cx && ScaledScreenHeight() >= cy;
}

int CDPI::PointsToPixels(int points) const
{
    return MulDiv(points, dpiY, 72);
}

int CDPI::PixelsToPoints(int pixels) const
{
    return MulDiv(pixels, 72, dpiY);
}

void CDPI::SetWindow(HWND wnd)
{
    if (wnd == hwnd)
        return;
    PCDPI()->Invalidate();
    hwnd = wnd;
}

void CDPI::SetTestDPI(int x, int y)
{
    testDpiX = x;
    testDpiY = y;
    PCDPI()->Invalidate();
}

void CDPI::SetTestScaleFactor(int percent)
{
    testScalePercent = percent;
    PCDPI()->Invalidate();
}

// --- platform entry points ------------------------------------------------------------

int CDPI::MyGetDPIForWindow(HWND wnd, UINT* dpi)
{
    GetDpiForWindowFn fn = DpiForWindow();
    UINT value = fn ? fn(wnd) : 0;
    if (dpi)
        *dpi = value;
    return static_cast<int>(value);
}

HRESULT CDPI::MyGetDPIForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* x, UINT* y)
{
    static GetDpiForMonitorFn fn = [] {
        auto found = Lookup<GetDpiForMonitorFn>(Shcore(), "GetDpiForMonitor");
        return found ? found : Lookup<GetDpiForMonitorFn>(Shcore(), "GetDPIForMonitor");
    }();
    return fn ? fn(monitor, type, x, y) : E_NOTIMPL;
}

HRESULT CDPI::MyGetScaleFactorForMonitor(HMONITOR monitor, DEVICE_SCALE_FACTOR* scale)
{
    if (testScalePercent) {
        *scale = static_cast<DEVICE_SCALE_FACTOR>(testScalePercent);
        return S_OK;
    }
    static GetScaleFactorForMonitorFn fn = Lookup<GetScaleFactorForMonitorFn>(Shcore(), "GetScaleFactorForMonitor");
    return fn ? fn(monitor, scale) : E_NOTIMPL;
}

UINT CDPI::GetTrueDPIForWindow(HWND wnd)
{
    DEVICE_SCALE_FACTOR scale = DEVICE_SCALE_FACTOR_INVALID;
    HMONITOR monitor = MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
    if (FAILED(MyGetScaleFactorForMonitor(monitor, &scale)) || scale == DEVICE_SCALE_FACTOR_INVALID)
        return 96;
    return static_cast<UINT>(MulDiv(96, static_cast<int>(scale), 100));
}

CDPI* PCDPI()
{
    static CDPI instance;
    return &instance;
}
