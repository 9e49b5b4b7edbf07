// Web links: pages of the maker's web site named by a page key, opened in
// the user's browser, and the schedule and prompt that ask the user to rate
// the product.
//
// Every page URL is the site's base URL, "go/?p=" and the page key; the
// page keys in use are "launchora-help", "improve-translation", "translate"
// and "rate-launchora".
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// The maker's web site (scheme and host), set when the library is built.
extern "C" PVDLL_API const wchar_t* pszMyCompanyURL;

// The page URL of page into url (capacity size characters, terminator
// included), cut where the buffer ends. page is a format for the further
// arguments. Returns url.
PVDLL_API wchar_t* MakeGoOnlineURL(wchar_t* url, unsigned size, const wchar_t* page, ...);
// Opens the page (page formatted as in MakeGoOnlineURL) without asking.
PVDLL_API int GoOnline(HWND owner, const wchar_t* page, ...);
// Opens the page with the product's store id, version, revision and
// language, and the language code when one is given.
PVDLL_API int GoOnline_Lang(HWND owner, const wchar_t* page, const wchar_t* languageCode);
PVDLL_API int GoOnline_ImproveTranslation(HWND owner, const wchar_t* languageCode);
PVDLL_API int GoOnline_Translate(HWND owner, const wchar_t* languageCode);
// Opens the page where the user rates the product.
PVDLL_API int GoWinStore(HWND owner);

// Hands url to the browser: the shell's default handler, then the program
// registered for "http", then the shell's execute function with the
// library's own message when that fails too. With ask non-zero a box
// (messageId's text, or the library's notice when 0) asks first; anything
// but OK declines. Returns 1 when the page went to a browser, 0 otherwise.
PVDLL_API int OpenHTML(HWND owner, const wchar_t* url, BOOL ask, int messageId);

// The rating schedule: one REG_DWORD value valueName of the key keyPath (a
// path with its root, "HKCU\Software\…", as RegKey takes it), holding the time of the next prompt in
// seconds since 1995-12-26 00:00 UTC; 0 or missing: not scheduled yet;
// 0xFFFFFFFF: never again. Returns 1 when the prompt is due now; a first
// call only schedules. Each due or first call stores the next time, between
// minDays and maxDays days ahead (exactly minDays when they are equal).
PVDLL_API int ShouldDisplayWinStorePrompt(const wchar_t* keyPath, const wchar_t* valueName, unsigned minDays,
    unsigned maxDays);
// Asks the user to rate the product: a task dialog with three command links
// (rate now, remind later, never again), or on systems without task
// dialogs a Yes/No box with the check box that stops further prompts.
PVDLL_API void DisplayWinStorePrompt(HWND owner, const wchar_t* title, WORD iconId, const wchar_t* keyPath,
    const wchar_t* valueName);
