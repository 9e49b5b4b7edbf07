// The shell's item functions for callers that must also run where the
// system lacks them: each looks its function up in shell32 on first use
// and answers E_NOTIMPL (with the out pointer set to null) when it is not
// there. A null out pointer gives E_POINTER, a null child or object
// E_INVALIDARG, without asking the shell. Exported by name.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/PVDLLApi.h"

extern "C" {

// As SHCreateShellItem: the item child of the folder parent (or psfParent).
HRESULT WINAPI MySHCreateShellItem(PCIDLIST_ABSOLUTE parent, IShellFolder* psfParent, PCUITEMID_CHILD child,
                                   IShellItem** out);
// As SHGetIDListFromObject: the absolute list of a shell object.
HRESULT WINAPI MySHGetIDListFromObject(IUnknown* object, PIDLIST_ABSOLUTE* out);

} // extern "C"
