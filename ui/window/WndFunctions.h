// Free functions on window handles: styles, positions, monitors, lookups,
// and the position a window keeps in the registry.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

PVDLL_API DWORD GetWndStyle(HWND h, int extended);
PVDLL_API DWORD SetWndStyle(HWND h, DWORD style, int extended);
PVDLL_API DWORD ModifyWndStyle(HWND h, DWORD remove, DWORD add, int extended);
PVDLL_API void ModifyStyle(HWND h, DWORD remove, DWORD add, DWORD removeEx, DWORD addEx);

PVDLL_API BOOL SetWndZOrder(HWND h, HWND insertAfter, UINT flags);
PVDLL_API BOOL SetWndSize(HWND h, int cx, int cy, UINT flags);
PVDLL_API BOOL SetWndOrigin(HWND h, int x, int y, UINT flags);
PVDLL_API BOOL SetWndPos(HWND h, int x, int y, int cx, int cy, UINT flags);
PVDLL_API BOOL SetWndPos(HWND h, const RECT* rect, UINT flags);
PVDLL_API BOOL SetWndShow(HWND h, BOOL show, UINT flags);
PVDLL_API BOOL OffsetWnd(HWND h, int dx, int dy);
PVDLL_API BOOL ResizeWnd(HWND h, int dcx, int dcy);
PVDLL_API BOOL SimulateButton(HWND dlg, int id);
PVDLL_API BOOL GetTextSizeForWindow(HWND h, const wchar_t* text, SIZE* size);

PVDLL_API int IsKeyPressed(int vk);
PVDLL_API int IsKeyToggled(int vk);
// Physical buttons: with swapped buttons VK_LBUTTON asks the right one.
PVDLL_API int IsMouseButtonPressed(int vk);

// Descendant number `index` whose class and text (null: any) match.
PVDLL_API HWND FindChildWnd(HWND parent, const wchar_t* className, const wchar_t* windowName, int index);
PVDLL_API int IsWndClass(HWND h, const wchar_t* name);
PVDLL_API int IsWndName(HWND h, const wchar_t* name);
// The desktop's folder view and its list view.
PVDLL_API int FindDesktopShellWnd(HWND* defView, HWND* listView);
PVDLL_API BOOL CatchMouseOut(HWND h);

// Placement on monitors: a rectangle is moved, not resized, to lie
// inside its bound.
PVDLL_API void EnsureRectIsVisible(HMONITOR monitor, RECT* rect);
PVDLL_API void FitRectToNearestMonitor(RECT* rect);
PVDLL_API int MoveWindowToMouse(HWND h);
PVDLL_API void MoveWindowToPoint(HWND h, const POINT* pt);
PVDLL_API void CenterWindow(HWND h, HWND reference);
PVDLL_API void CascadeWindow(HWND h, HWND reference);
PVDLL_API void EnsureWindowVisible(HWND h, HWND reference);

// prefix + "posLeft" / "posTop" in the program's options key.
PVDLL_API void WndStorePosition(HWND h, const wchar_t* prefix);
PVDLL_API void WndRestorePosition(HWND h, const wchar_t* prefix);
