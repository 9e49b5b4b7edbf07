// Where the progress control gets its taskbar object: the shell's
// TaskbarList, unless the library's tests hand it one of their own (Wine's
// may be missing, and its calls show nothing that a test could see).
//
// Exported for the library's tests; not part of the installed interface.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"

// Fills out with a ready object, or fails and leaves it empty.
using TaskbarListFactory = HRESULT (*)(ComPtr<ITaskbarList3>& out);

// null: the shell's TaskbarList again.
PVDLL_API void SetTaskbarListFactory(TaskbarListFactory factory);
// Whether the system shows progress on taskbar buttons (Windows 7 and later).
PVDLL_API int HasTaskbarProgress();
HRESULT CreateTaskbarList(ComPtr<ITaskbarList3>& out);
