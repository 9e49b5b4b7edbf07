// Hands the controls' table of dialog services (CtrlDialogLink) to the
// window layer. Internal.
#pragma once

// Idempotent; cheap after the first call.
void RegisterCtrlDialogLink();
