// The verb that RunElevated launches with, given this process's token.
#pragma once

#include "base/PVDLLApi.h"

// Null when elevation brings nothing (the process is elevated, or has no
// split token and may write the machine's settings), else "runas".
PVDLL_API const wchar_t* ElevationVerb();
