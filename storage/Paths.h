// Path functions on zero-terminated strings of at most 260 characters (the
// classic path limit), edited in place unless an output is named. They know
// the platform's path grammar:
// - a separator is "\" or "/"; both are accepted, "\" is written;
// - a drive path begins with an ASCII letter and ":", a drive root is
//   letter, ":" and one separator;
// - a network (UNC) path begins with two backslashes, followed by a server
//   name and a share name;
// - the file-name part is what follows the last separator or ":"; the
//   extension is that part from its last ".".
//
// Paths are outside input. Every output and every path edited in place is a
// buffer of 260 characters; nothing is written past it, what does not fit
// is cut, and the result is always terminated. A null path is treated as
// empty by queries and is left alone by editors.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// --- parts of a path -----------------------------------------------------------
// The position after the last separator or ":" (the terminator when the
// path ends with one). Null for a null path.
PVDLL_API wchar_t* LocateFileName(wchar_t* path);
PVDLL_API const wchar_t* LocateFileName(const wchar_t* path);
// The last "." of the file-name part, or null when it has none.
PVDLL_API wchar_t* LocateFileExt(wchar_t* path);
PVDLL_API const wchar_t* LocateFileExt(const wchar_t* path);

// --- editing in place (non-zero when the path changed, unless noted) -------------
PVDLL_API int StripFileName(wchar_t* path);
// Also removes the separator before the file-name part, unless it follows
// ":" (C:\x gives C:\, C:\A\x gives C:\A).
PVDLL_API int StripFileNameAndBackslash(wchar_t* path);
PVDLL_API int StripFileExt(wchar_t* path);
// Adds a separator unless the path ends with one (an empty path gets one
// too), then the name. What does not fit in 260 characters is dropped;
// non-zero when all of it fitted.
PVDLL_API int AppendFileName(wchar_t* path, const wchar_t* name);
// Adds "\" unless the path ends with a separator; an empty path becomes
// "\". 0 when there is no room.
PVDLL_API int AppendBackSlash(wchar_t* path);
// Removes one trailing separator, except where it belongs to a root: after
// ":" (C:\), after another separator (\\), or as the whole path (\).
PVDLL_API int RemoveBackSlash(wchar_t* path);
// Removes one trailing separator whatever precedes it.
PVDLL_API int StripBackSlash(wchar_t* path);
// out becomes the folder of path: the file-name part cut, then a trailing
// separator removed as RemoveBackSlash does. out may be path. Non-zero
// when out is not empty.
PVDLL_API int DirFromPath(wchar_t* out, const wchar_t* path);

// --- quotes and blanks (blanks are spaces and tabs) ---------------------------------
// Copies in to out, dropping a leading double quote and stopping at the
// next double quote. A null in unquotes out in place.
PVDLL_API int UnQuote(wchar_t* out, const wchar_t* in);
// Trims blanks at both ends and removes one leading and one trailing
// double quote together with the blanks inside them. A null in works on
// out in place.
PVDLL_API int RemoveWhiteSpacesAndQuotes(wchar_t* out, const wchar_t* in);
// Encloses a path that contains a space in double quotes. A path already
// enclosed is left as it is, so calling it twice does no harm. 0 only when
// quotes were needed and there was no room for them.
PVDLL_API int AddQuotesIfSpace(wchar_t* path);

// --- what kind of path ---------------------------------------------------------
// Letter ":" alone, or letter ":" and a separator alone.
PVDLL_API int IsDrivePath(const wchar_t* p);
// Starts with letter ":" and a separator.
PVDLL_API int IsDosFolder(const wchar_t* p);
// Exactly letter ":" and a separator.
PVDLL_API int IsRootDrive(const wchar_t* p);
// Exactly a share root: two separators, a server name, a separator, a share
// name and at most one more separator; at least 6 characters in all.
PVDLL_API int IsRootShare(const wchar_t* p);
PVDLL_API int IsRootPath(const wchar_t* p);
// IsRootDrive; with allowServer also two separators and a server name with
// no further separator (at least 3 characters).
PVDLL_API int IsRootFolder(const wchar_t* p, int allowServer);
// Two backslashes and at least one more character.
PVDLL_API int IsNetworkPath(const wchar_t* p);
// Two backslashes and a server name, nothing after it.
PVDLL_API int IsNetworkComputer(const wchar_t* p);
// Two backslashes, a server name, a separator and a share name, nothing
// after it.
PVDLL_API int IsNetworkShare(const wchar_t* p);
// Begins with a separator, or with letter ":" and a separator.
PVDLL_API int IsFullPathName(const wchar_t* p);
// Contains "*" or "?".
PVDLL_API int IsMask(const wchar_t* p);

// --- making paths ------------------------------------------------------------------
// The root of the path. A path beginning with an ASCII letter is taken as a
// drive path whatever follows the letter: "C:\" with the letter upper-cased.
// A path beginning with two separators gives \\server\share\ (\\server\ when
// the share is missing). Anything else gives "" and 0.
PVDLL_API int MakeRootPath(wchar_t* out, const wchar_t* path);
// Cuts the file-name part, unless the path is a root (drive, server or
// share). out may be path.
PVDLL_API int MakeFolderPath(wchar_t* out, const wchar_t* path);
// out = folder (environment variables expanded, unless out is folder
// itself) + a separator when missing + name without one leading separator
// + ext with a "." before it unless it has one. An empty name leaves the
// expanded folder alone and gives 1. When the result would not fit in 260
// characters: without allowCut out is "" and 0 is returned; with it as much
// of the name as fits is kept (the extension is dropped) and 0 is
// returned. Otherwise 1. name and ext must not lie inside out.
PVDLL_API int MakePath(wchar_t* out, const wchar_t* folder, const wchar_t* name, const wchar_t* ext, int allowCut);

// --- comparing -----------------------------------------------------------------------
// Equal without regard to case, separators counting as one and one
// trailing separator ignored as RemoveBackSlash would remove it. The whole
// paths are compared, however long.
PVDLL_API int IsSamePath(const wchar_t* a, const wchar_t* b);
// child lies below parent (with orSame also when it is parent itself),
// without regard to case, separators counting as one. C:\AB does not lie
// below C:\A.
PVDLL_API int IsSubFolderOf(const wchar_t* child, const wchar_t* parent, int orSame);

// --- environment variables -------------------------------------------------------------
// The platform's expansion / replacement of known folders by variables,
// into out of cch characters. When that fails, does not fit or gives an
// empty result, in is copied unchanged (cut to fit) and 0 is returned. in
// may be out.
PVDLL_API int ExpandEnvStrings(const wchar_t* in, wchar_t* out, unsigned cch);
PVDLL_API int UnExpandEnvStrings(const wchar_t* in, wchar_t* out, unsigned cch);

// --- the file system -----------------------------------------------------------------------
// Attributes of the path, or INVALID_FILE_ATTRIBUTES. When the platform
// cannot tell (a file the system holds open, for one), they are taken from
// a directory search for the path; a mask is never searched, since it would
// answer for whatever file it happens to match.
PVDLL_API DWORD GetFileAttributes2(const wchar_t* p);
PVDLL_API int FileExists(const wchar_t* p);
PVDLL_API int FolderExists(const wchar_t* p);
PVDLL_API int FileOrFolderExists(const wchar_t* p);
// The drive named by the path's first letter has a known type; a path not
// beginning with a letter names no drive.
PVDLL_API int DriveExists(const wchar_t* p);

// --- the home folder and canonical paths ---------------------------------------------------
// The product's home folder (out holds 260 characters): the "Home" value of
// its setup key, else the folder of this library's own file.
PVDLL_API int GetHomeDir(wchar_t* out);
// A file lying directly in the system, Windows or home folder becomes
// "%S\", "%W\" or "%_\" and its name, so that a stored path survives a
// move of those folders. Non-zero when it was shortened; anything else is
// copied unchanged and gives 0.
PVDLL_API int MakeCanonicalPath(const wchar_t* path, wchar_t* out);
// The reverse: 1 when a code was replaced by its folder. Text without a
// code is copied unchanged and gives 0. A code counts only when a separator
// or the end follows it, so "%SystemRoot%\x" is text, not a code. When the
// folder is unknown or the path would not fit, out is "" and 0 is returned.
PVDLL_API int GetPathFromCanonical(const wchar_t* canon, wchar_t* out);
