// The library's module handle, stored when the library is attached.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

PVDLL_API extern HINSTANCE hiDLL;

// The product's registry root; the library registers itself under it.
#define PVDLL_PRODUCT_ROOT_KEY L"HKCU\\Software\\Corvenna\\Launchora"
