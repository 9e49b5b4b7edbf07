// The display names of the start menu's standard items ("Menu.User",
// "Menu.Restart", ...) in the user's language: the name Windows itself
// uses (a known folder's display name or a system module's string), then
// a built-in English text; keys the built-in tables do not know are
// answered by the host's callback or by the translation file
// "StartMenuL10N.ini" next to the library. Every answer is cached for the
// life of the process. Not for two threads at once.
#pragma once

#include <windows.h>

typedef const wchar_t* (*FindTranslationCallback)(const wchar_t* key, const wchar_t* fallback);

extern "C" {

// Exported by name. The result stays valid until the library is unloaded
// (table answers) or detached (translation-file answers), or is fallback.
const wchar_t* TranslateDll(const wchar_t* key, const wchar_t* fallback);
// While set, the callback answers every key that has no table row, and the
// translation file is not read. Null removes it.
void SetFindTranslationCallback(FindTranslationCallback callback);

} // extern "C"

// Releases the translation file's entries (at detach).
void ReleaseStartMenuTranslations();
