// The one export macro of the library. Classes, functions and data that the
// product's modules use are marked PVDLL_API; the plain-named C exports are
// listed in entry/PVDLL.def instead.
#pragma once

#ifdef PVDLL_EXPORTS
#define PVDLL_API __declspec(dllexport)
#else
#define PVDLL_API __declspec(dllimport)
#endif
