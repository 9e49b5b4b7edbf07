// Shortcut helpers for the tests.
#pragma once

#include "PVDLL.h"

// Marks a link to run its target as administrator; false when the
// platform's Shell Link object does not keep the flag.
bool MarkRunAsAdmin(iShellLink& link);
