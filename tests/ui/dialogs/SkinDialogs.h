// Dialog templates of the skin tests (SkinDialogs.rc).
#pragma once

#define IDD_SKIN_TEST 7301
#define IDC_SKIN_TEXT 7302
