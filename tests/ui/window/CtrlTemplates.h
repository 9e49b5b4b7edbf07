// Ids of the control tests' dialog template (CtrlTemplates.rc).
#pragma once

// Two image buttons (the default OK and another), a push button, a combo box.
#define IDD_IMAGE_CTRLS 301

#define IDC_IMAGE_OTHER 3001
#define IDC_PUSH 3002
#define IDC_COMBO 3003
