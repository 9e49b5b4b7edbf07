// The library's one HTTP client call: a single request over WinINet with
// the system's proxy settings, answered as text.
//
// The answer is decoded by its first bytes: EF BB BF is UTF-8, FF FE is
// UTF-16 little-endian (both marks are dropped; an odd last byte of UTF-16
// is ignored), anything else is the ANSI code page. The answer's bytes are
// outside input and may hold anything; the text comes back terminated, and
// a zero byte in it simply ends the text a caller sees.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// One request to host (port 443 and TLS when secure is non-zero, else 80):
// a POST of postData to path (sent in the ANSI code page, without
// terminator) when postData is not null, else a GET of path. headers replaces the default request headers
// ("Content-Type: application/x-www-form-urlencoded" for a POST, none for a
// GET). The connect and receive time-outs are timeoutSeconds each; at most
// maxBytes bytes of the answer are read.
//
// Returns the decoded answer in a block of the library's heap, which the
// caller releases with FreeDllBuf (text/StrFunc.h); null when nothing was
// read (ERROR_NO_DATA) or any step failed (its error is the thread's last
// error).
PVDLL_API wchar_t* SendHttp(const wchar_t* host, const wchar_t* path, unsigned int maxBytes, const wchar_t* postData,
    unsigned __int64 timeoutSeconds, const wchar_t* headers, int secure);
// The same on another port; port 0 is the default port of the scheme. The
// host is a name or an address alone (WinINet refuses "host:port").
PVDLL_API wchar_t* SendHttpToPort(const wchar_t* host, unsigned short port, const wchar_t* path, unsigned int maxBytes,
    const wchar_t* postData, unsigned __int64 timeoutSeconds, const wchar_t* headers, int secure);
