#include "common/CreationLog.h"

// In the order of the hook numbers the replacements use.
const CreationLog::Hook CreationLog::hooks[] = {
    {"gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(&Dib), bitmaps}, // 0
    {"gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&Bitmap), bitmaps}, // 1
    {"gdi32.dll", "CreateBitmap", reinterpret_cast<void*>(&PlainBitmap), bitmaps}, // 2
    {"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&MemoryDC), memoryDCs}, // 3
    {"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&Brush), brushes}, // 4
    {"gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&Font), fonts}, // 5
    {"user32.dll", "LoadImageW", reinterpret_cast<void*>(&Image), images}, // 6
    {"user32.dll", "CreateWindowExW", reinterpret_cast<void*>(&Window), windows}, // 7
    {"user32.dll", "GetDC", reinterpret_cast<void*>(&TakeDC), windowDCs}, // 8
    {"user32.dll", "ReleaseDC", reinterpret_cast<void*>(&GiveDC), windowDCs}, // 9
};

CreationLog::CreationLog(unsigned watch)
{
    self = this;
    static_assert(sizeof(hooks) / sizeof(hooks[0]) == hookCount);
    for (size_t i = 0; i < hookCount; ++i)
        if (hooks[i].watch & watch)
            installed[i] = new ImportHook(hooks[i].dll, hooks[i].function, hooks[i].replacement);
}

CreationLog::~CreationLog()
{
    for (ImportHook* hook : installed)
        delete hook;
    self = nullptr;
}

bool CreationLog::Hooked() const
{
    // CreateBitmap may be unused by the library; the others it imports.
    for (size_t i = 0; i < hookCount; ++i)
        if (installed[i] && i != 2 && !installed[i]->Hooked())
            return false;
    return true;
}

size_t CreationLog::GdiAlive() const
{
    size_t alive = 0;
    for (HGDIOBJ object : gdi)
        alive += GetObjectType(object) != 0;
    return alive;
}

size_t CreationLog::IconsAlive() const
{
    size_t alive = 0;
    for (HANDLE icon : icons) {
        ICONINFO info = {};
        if (GetIconInfo(static_cast<HICON>(icon), &info)) {
            ++alive;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    return alive;
}

size_t CreationLog::WindowsAlive() const
{
    size_t alive = 0;
    for (HWND w : made)
        alive += IsWindow(w) != 0;
    return alive;
}

template <typename H>
H CreationLog::Keep(H object)
{
    if (object)
        self->gdi.push_back(object);
    return object;
}

HBITMAP WINAPI CreationLog::Dib(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
{
    typedef HBITMAP(WINAPI * Fn)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
    return Keep(Original<Fn>(0)(dc, info, usage, bits, section, offset));
}

HBITMAP WINAPI CreationLog::Bitmap(HDC dc, int cx, int cy)
{
    return Keep(Original<HBITMAP(WINAPI*)(HDC, int, int)>(1)(dc, cx, cy));
}

HBITMAP WINAPI CreationLog::PlainBitmap(int cx, int cy, UINT planes, UINT bits, const void* data)
{
    typedef HBITMAP(WINAPI * Fn)(int, int, UINT, UINT, const void*);
    return Keep(Original<Fn>(2)(cx, cy, planes, bits, data));
}

HDC WINAPI CreationLog::MemoryDC(HDC dc)
{
    return Keep(Original<HDC(WINAPI*)(HDC)>(3)(dc));
}

HBRUSH WINAPI CreationLog::Brush(COLORREF color)
{
    return Keep(Original<HBRUSH(WINAPI*)(COLORREF)>(4)(color));
}

HFONT WINAPI CreationLog::Font(const LOGFONTW* font)
{
    ++self->fontsMade;
    return Keep(Original<HFONT(WINAPI*)(const LOGFONTW*)>(5)(font));
}

HANDLE WINAPI CreationLog::Image(HINSTANCE module, LPCWSTR name, UINT kind, int cx, int cy, UINT flags)
{
    typedef HANDLE(WINAPI * Fn)(HINSTANCE, LPCWSTR, UINT, int, int, UINT);
    HANDLE got = Original<Fn>(6)(module, name, kind, cx, cy, flags);
    if (got && kind == IMAGE_ICON)
        self->icons.push_back(got);
    else if (got && kind == IMAGE_BITMAP)
        self->gdi.push_back(got);
    return got;
}

HWND WINAPI CreationLog::Window(DWORD exStyle, const wchar_t* cls, const wchar_t* name, DWORD style, int x, int y,
    int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance, void* param)
{
    typedef HWND(WINAPI * Fn)(
        DWORD, const wchar_t*, const wchar_t*, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, void*);
    HWND w = Original<Fn>(7)(exStyle, cls, name, style, x, y, cx, cy, parent, menu, instance, param);
    if (w)
        self->made.push_back(w);
    return w;
}

HDC WINAPI CreationLog::TakeDC(HWND wnd)
{
    HDC dc = Original<HDC(WINAPI*)(HWND)>(8)(wnd);
    self->dcsTaken += dc != nullptr;
    return dc;
}

int WINAPI CreationLog::GiveDC(HWND wnd, HDC dc)
{
    int given = Original<int(WINAPI*)(HWND, HDC)>(9)(wnd, dc);
    self->dcsGiven += given != 0;
    return given;
}
