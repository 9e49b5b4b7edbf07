// Resource ids of the library. Other modules name these resources with the
// negative id (a negative id always means "of the library").
#pragma once

// Icons
#define IDI_PRODUCT                 101
// The caption buttons of dialogs without a caption: normal and hot looks
#define IDI_CAPTION_CLOSE           20074
#define IDI_CAPTION_CLOSE_HOT       20075
#define IDI_CAPTION_MINIMIZE        20076
#define IDI_CAPTION_MINIMIZE_HOT    20077

// String table: the library's texts
#define IDS_OPEN_WEBSITE_NOTICE     20007
#define IDS_ABOUT_MENU              20022
#define IDS_UPDATE_NO_CONNECTION    20101
#define IDS_UPDATE_NONE_AVAILABLE   20102
#define IDS_UPDATE_ERROR            20103
#define IDS_RATE_PROMPT             21578
#define IDS_CANNOT_OPEN_WEBPAGE     22022
#define IDS_DONT_SHOW_AGAIN         27005
#define IDS_PROGRESS_TITLE          28000
#define IDS_CONFIRM_CANCEL          28008

// Version record
#define PVDLL_VERSION_MAJOR         21
#define PVDLL_VERSION_MINOR         7
#define PVDLL_VERSION_BUILD         1
#define PVDLL_REVISION              3040
#define PVDLL_VERSION_TEXT          "21.7"
#define PVDLL_FILE_VERSION_TEXT     "21.7.1.3040"

// Web links: the texts of the rating prompt's task dialog
#define IDS_RATE_INSTRUCTION        21580
#define IDS_RATE_THANKS             21581
#define IDS_RATE_NOW                21582
#define IDS_RATE_LATER              21583
#define IDS_RATE_ALREADY            21584
