// What the update server's answer means, decided before anything of it is
// shown or opened. The answer travels over plain HTTP, so whoever sits on
// the way can write it: it is read as hostile text, and an offer is only
// taken when the address it would open is a web address.
//
// Exported for the library's own tests, which drive it with hostile
// answers without showing a dialog; not part of the installed interface.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "online/UpdateState.h"

enum class UpdateVerdict : int {
    noAnswer, // nothing came (no connection, time-out, empty answer)
    upToDate, // "OK" or "OK.": no update
    offer, // "[dl]" with a web address to open
    refused, // "[dl]" whose address to open is no web address, or none at all
    error, // "error ..." or anything else; reason holds the server's words
};

struct UpdateAnswer {
    UpdateVerdict verdict;
    // error: the text after "error" less its leading blanks (inside the
    // answer, so it lives as long as the answer); "" otherwise.
    const wchar_t* reason;
    // offer: the address to open, "urldownload" or, without one,
    // "urlmoreinfo" (inside the record); "" otherwise.
    const wchar_t* url;
};

// Judges answer (a terminated text or null). For "[dl]" the record is
// filled from it; an offer leaves in the record only web addresses (a
// "more info" address that is none is emptied), so the dialog showing it
// cannot open anything else either. For the other verdicts the record's
// contents mean nothing.
PVDLL_API UpdateAnswer JudgeUpdateAnswer(const wchar_t* answer, UpdateIni& record);
