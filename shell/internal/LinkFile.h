// A first look at a shortcut file before the shell's parser gets it. The
// files come from folders the user (or any program of the user) can write,
// such as the WinX groups, and are read inside the shell process; a parser
// that trusts the item id list's framing reads past it on a damaged file.
// Internal to the library.
#pragma once

#include <cstddef>

namespace LinkFile {

// True when bytes (size of them) are framed as a shortcut file must be: a
// header of 76 bytes with the Shell Link class id; a target id list whose
// items lie inside it and which ends with its terminator; a location part
// whose offsets and sizes lie inside it and whose texts end inside it; the
// counted strings; and extra blocks that lie inside the file, those of a
// fixed structure at their size. Only the framing is checked, not what
// the fields say.
bool IsSound(const unsigned char* bytes, size_t size);

// The same for a file; false, with the reason as the last error
// (ERROR_BAD_FORMAT for a damaged file), when it cannot be read or is not
// sound. Files larger than a shortcut can sensibly be (1 MB) are refused
// unread.
bool IsSoundFile(const wchar_t* path);

} // namespace LinkFile
