// Picking a command line apart: the program path, the arguments, and
// switches such as /name, -name, name:value and name=value. Blanks are
// spaces and tabs. Matching is without regard to case. Outputs are bounded
// by the capacity given and always terminated.
#pragma once

#include "base/PVDLLApi.h"

// Skips blanks; when a double quote follows, skips it and the blanks after
// it too and returns 1, otherwise 0.
PVDLL_API int SkipLeadingWhiteSpaces(const wchar_t*& p);
PVDLL_API int SkipLeadingWhiteSpaces(wchar_t*& p);

// The program path: a quoted path up to its closing quote, or a plain one
// up to the first blank, without quotes, at most cch - 1 characters.
// Returns the number of characters written; 0 and "" for an empty line.
PVDLL_API int GetCmdLnPath(const wchar_t* cmd, wchar_t* out, unsigned cch);
// The arguments after the program path (a line that starts with "/", after
// an optional quote, is all arguments). Copied into out when it is given;
// returns where they begin in cmd, or null when there are none. The
// arguments keep their own quotes.
PVDLL_API const wchar_t* GetCmdLnArg(const wchar_t* cmd, wchar_t* out, unsigned cch);

// arg is name, -name or /name.
PVDLL_API int IsCmdLineOption(const wchar_t* arg, const wchar_t* name);
// arg is "-" or "/" followed by text that begins with name. A name given
// with its own switch character ("/x") matches without it.
PVDLL_API int IsCmdLineSwitchPrefix(const wchar_t* arg, const wchar_t* name);
// arg begins with name immediately followed by ":" or "=".
PVDLL_API int IsCmdLinePrefix(const wchar_t* arg, const wchar_t* name);
// The value after the first ":" or "=" of the argument at arg (the search
// ends at the argument's end, so a later argument's drive colon is never
// taken for it). A quoted value is copied with its quotes; otherwise the
// value ends at the next blank. next, when given, receives where the
// following argument begins, or null when there is none. 0 and "" when
// the argument has no ":" or "=".
PVDLL_API int GetCmdLineSwitchData(const wchar_t* arg, wchar_t* out, unsigned outLen, const wchar_t** next);
