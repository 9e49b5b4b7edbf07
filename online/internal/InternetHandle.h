// The owner of one WinINet handle (session, connection or request). Kept
// here rather than in base/Owners.h so that only the online layer pulls in
// the WinINet header.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/Owners.h"

namespace OwnerFree {
inline void Internet(HINTERNET h) noexcept
{
    InternetCloseHandle(h);
}
} // namespace OwnerFree

using InternetHandle = Owner<HandleKind<HINTERNET, &OwnerFree::Internet>>;
