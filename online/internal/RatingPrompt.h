// Which form the rating prompt takes. The library chooses by what the
// system offers (a task dialog where comctl32 has one, the framework's
// Yes/No box otherwise); the library's own tests force either form.
//
// Exported for the library's tests; not part of the installed interface.
#pragma once

#include "base/PVDLLApi.h"

enum class RatingPromptForm {
    automatic = 0, // a task dialog when the system has one, the box otherwise
    taskDialog = 1, // the task dialog; nothing when the system has none
    messageBox = 2, // the Yes/No box with its check box
};

PVDLL_API void SetRatingPromptForm(RatingPromptForm form);
// Whether the system offers task dialogs (TaskDialogIndirect of comctl32).
PVDLL_API int HasTaskDialog();
