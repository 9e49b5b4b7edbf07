// Ids of the page-manager and wizard templates of the dialog tests
// (PageTemplates.rc).
#pragma once

// Managers
#define IDD_PM_SETTINGS 401 // header, placeholder, OK, Cancel, Help: no Back or Next
#define IDD_PM_NAV 402 // header, placeholder, Back, Next, OK, Cancel
#define IDD_WIZARD 403 // title, image button, placeholder, Back, Next, OK, Cancel, Help
#define IDD_WIZARD_SKIN 404 // the same without a frame, for the skin

// Pages
#define IDD_PG_GENERAL 411 // an edit, a check box
#define IDD_PG_VIEW 412 // two radio buttons, an edit
#define IDD_PG_ADVANCED 413 // a label and an edit
#define IDD_PG_TALL 414 // far taller than the placeholder: edits at the top, the middle and the bottom

// Controls of the managers
#define IDC_PM_HEADER 4001
#define IDC_PM_PLACE 4002
#define IDC_PM_BACK 4003
#define IDC_PM_NEXT 4004
#define IDC_PM_IMAGE 4005
#define IDC_PM_LINE 4006

// Controls of the pages
#define IDC_PG_EDIT 4101
#define IDC_PG_CHECK 4102
#define IDC_PG_RADIO1 4103
#define IDC_PG_RADIO2 4104
#define IDC_PG_LABEL 4105
#define IDC_PG_TOP 4110
#define IDC_PG_MIDDLE 4111
#define IDC_PG_BOTTOM 4112

// Strings
#define IDS_WIZ_CAPTION 4201
#define IDS_WIZ_CANCEL 4202
