// The registry's recording mode: while it is on, key opens by path, value
// writes and value deletes become lines of text ("[path]", "name=value")
// instead of registry changes, e.g. for an installer that shows or saves
// what it would change. Process-wide, for one thread at a time.
// Internal to the library; reached through RegKey::StartLog / EndLog.
#pragma once

#include <windows.h>

namespace RegRecorder {

// buf may be null (only count); cch is its capacity in characters.
void Start(wchar_t* buf, unsigned cch);
// Terminates the text; its length with the terminator, 0 when empty.
unsigned End();
bool IsActive();

// Appends one line (at most 254 characters with its CR LF).
void Line(const wchar_t* fmt, ...);
void ValueLine(const wchar_t* name, DWORD type, const void* data, DWORD bytes);

// Keys "opened" while recording carry this handle, which is never closed
// and never reaches the registry.
HKEY PlaceholderKey();
bool IsPlaceholder(HKEY key);

} // namespace RegRecorder
