// Ids of the progress tests' dialog template (ProgressTemplates.rc).
#pragma once

#define IDD_BAR 301 // a progress bar, four text lines, a spare text

#define IDC_BAR 3001
#define IDC_LINE1 3002
#define IDC_LINE2 3003
#define IDC_LINE3 3004
#define IDC_LINE4 3005
#define IDC_SPARE 3006
