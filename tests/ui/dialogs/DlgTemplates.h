// Ids of the test executable's dialog templates and their controls
// (DlgTemplates.rc).
#pragma once

// Templates
#define IDD_PLAIN 201 // caption, OK, Cancel, an edit, a label, a check box
#define IDD_RESIZABLE 202 // a sizing frame, an edit that follows the size
#define IDD_PAGE 203 // a child page: an edit and a button
#define IDD_HOST 204 // a placeholder for a page, OK, Cancel
#define IDD_CAPTION_BTNS 205 // no caption: owner-drawn close and minimise buttons
#define IDD_GROUPS 206 // a group of controls that hides, controls below it
#define IDD_LIST 207 // a report list view, OK
#define IDD_RADIOS 208 // three radio buttons, a spin control, two push buttons
#define IDD_STATIC_HTML 209 // static texts for markup: with and without SS_NOTIFY, IDC_STATIC, a high id

// Controls
#define IDC_EDIT 1001
#define IDC_LABEL 1002
#define IDC_CHECK 1003
#define IDC_PAGE_EDIT 1101
#define IDC_PAGE_BUTTON 1102
#define IDC_PLACEHOLDER 1201
#define IDC_CLOSE_BTN 1301
#define IDC_MIN_BTN 1302
#define IDC_GROUP_FIRST 1401
#define IDC_GROUP_LAST 1402
#define IDC_GROUP_NEXT 1403
#define IDC_GROUP_BELOW 1404
#define IDC_LIST 1501
#define IDC_RADIO1 1601
#define IDC_RADIO2 1602
#define IDC_RADIO3 1603
#define IDC_SPIN 1604
#define IDC_BUTTON_A 1605
#define IDC_BUTTON_B 1606
#define IDC_HTML 1701 // SS_NOTIFY, a tab stop; 1702 … 1710 kept for its links
#define IDC_HTML_LINK1 1702 // a button that one of its links names
#define IDC_HTML_PLAIN 1721 // no SS_NOTIFY
#define IDC_HTML_HIGH 0xFFFA // its fifth and later links would pass the command word

// Strings
#define IDS_TIP 3001
