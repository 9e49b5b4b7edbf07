// What the library makes while a test runs, seen through its imports: GDI
// objects, fonts, loaded images, windows and the window DCs it takes. A
// test of many open-and-close cycles asks afterwards what is still alive.
// One log at a time.
#pragma once

#include <windows.h>

#include <vector>

#include "common/ImportHook.h"

class CreationLog {
public:
    enum Watch : unsigned {
        bitmaps = 1, // DIB sections and bitmaps, kept in gdi
        memoryDCs = 2, // kept in gdi
        brushes = 4, // solid brushes, kept in gdi
        gdiObjects = bitmaps | memoryDCs | brushes,
        fonts = 8, // CreateFontIndirectW, counted in fontsMade and kept in gdi
        images = 16, // LoadImageW: icons in icons, bitmaps in gdi
        windows = 32, // CreateWindowExW
        windowDCs = 64, // GetDC and ReleaseDC, counted
    };

    explicit CreationLog(unsigned watch);
    ~CreationLog();
    CreationLog(const CreationLog&) = delete;
    CreationLog& operator=(const CreationLog&) = delete;

    // Every import asked for was found.
    bool Hooked() const;
    size_t GdiAlive() const;
    size_t IconsAlive() const;
    size_t WindowsAlive() const;

    std::vector<HGDIOBJ> gdi;
    std::vector<HANDLE> icons;
    std::vector<HWND> made;
    size_t fontsMade = 0;
    long dcsTaken = 0;
    long dcsGiven = 0;

private:
    struct Hook {
        const char* dll;
        const char* function;
        void* replacement;
        unsigned watch;
    };
    static const Hook hooks[];
    static constexpr size_t hookCount = 10;

    // The original of hook i.
    template <typename Fn>
    static Fn Original(size_t i)
    {
        return self->installed[i]->Original<Fn>();
    }
    template <typename H>
    static H Keep(H object);

    static HBITMAP WINAPI Dib(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
    static HBITMAP WINAPI Bitmap(HDC dc, int cx, int cy);
    static HBITMAP WINAPI PlainBitmap(int cx, int cy, UINT planes, UINT bits, const void* data);
    static HDC WINAPI MemoryDC(HDC dc);
    static HBRUSH WINAPI Brush(COLORREF color);
    static HFONT WINAPI Font(const LOGFONTW* font);
    static HANDLE WINAPI Image(HINSTANCE module, LPCWSTR name, UINT kind, int cx, int cy, UINT flags);
    static HWND WINAPI Window(DWORD exStyle, const wchar_t* cls, const wchar_t* name, DWORD style, int x, int y,
        int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance, void* param);
    static HDC WINAPI TakeDC(HWND wnd);
    static int WINAPI GiveDC(HWND wnd, HDC dc);

    ImportHook* installed[hookCount] = {};
    static inline CreationLog* self = nullptr;
};
