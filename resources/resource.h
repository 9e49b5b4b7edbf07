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

// Message boxes (the MsgEx dialog). The control ids repeat MsgExControl of
// ui/dialogs/MsgBox.h under names of their own, for the resource script.
#define IDA_MSGEX                   27003
#define IDC_MSGBOX_TEXT             27004
#define IDC_MSGBOX_DONTSHOW         27005
#define IDC_MSGBOX_BELOW_CHECK      27010
#define IDC_MSGBOX_BUTTON1          27011
#define IDC_MSGBOX_BUTTON2          27012
#define IDC_MSGBOX_ICON             27013
#define IDC_MSGBOX_BUTTON3          27040
#define IDI_MSGEX_INFORMATION       27022
#define IDI_MSGEX_QUESTION          27023
#define IDI_MSGEX_STOP              27024
#define IDI_MSGEX_EXCLAMATION       27025
#define IDD_MSGEX                   27042
#define IDD_MSGEX_SKIN              27043
// The button words
#define IDS_MSGEX_OK                27050
#define IDS_MSGEX_CANCEL            27051
#define IDS_MSGEX_RETRY             27052
#define IDS_MSGEX_YES               27053
#define IDS_MSGEX_NO                27054
#define IDS_MSGEX_CONTINUE          27055
// The commands of the box's keys: IDM_MSGEX_KEY + the button's result code
#define IDM_MSGEX_KEY               27060
#define IDM_MSGEX_KEY_OK            27061
#define IDM_MSGEX_KEY_CANCEL        27062
#define IDM_MSGEX_KEY_RETRY         27064
#define IDM_MSGEX_KEY_YES           27066
#define IDM_MSGEX_KEY_NO            27067

// Version record
#define PVDLL_VERSION_MAJOR         21
#define PVDLL_VERSION_MINOR         7
#define PVDLL_VERSION_BUILD         1
#define PVDLL_REVISION              3040
#define PVDLL_VERSION_TEXT          "21.7"
#define PVDLL_FILE_VERSION_TEXT     "21.7.1.3040"

// The update check's dialogs: the prompt (check now?) and the offer
// (install the update?). Their picture, templates and controls.
#define IDB_CONTINUE                21530
#define IDD_UPDATE_PROMPT           21802
#define IDD_UPDATE_OFFER            21804
#define IDC_UPDATE_DAYS             21503
#define IDC_UPDATE_YES              21536
#define IDC_UPDATE_NO               21537
#define IDC_UPDATE_TITLE            21542
#define IDC_UPDATE_REMIND           21543
#define IDC_UPDATE_REMIND_LABEL     21544
#define IDC_UPDATE_AUTO             1008
// Mini-HTML: its link ids 1009 to 1018 stay free.
#define IDC_UPDATE_DESCR            1009
// Their texts, and the settings' list of frequencies
#define IDS_UPDATE_PROMPT_TITLE     21590
#define IDS_UPDATE_OFFER_TITLE      21591
#define IDS_UPDATE_CHECK_NOW        21592
#define IDS_UPDATE_NOT_NOW          21593
#define IDS_UPDATE_INSTALL_NOW      21594
#define IDS_UPDATE_DAYS_AGO         21595
#define IDS_UPDATE_REMIND_TOMORROW  21596
#define IDS_UPDATE_REMIND_WEEK      21597
#define IDS_UPDATE_REMIND_MONTH     21598
#define IDS_UPDATE_REMIND_NEVER     21599
#define IDS_FREQ_DAILY              21600
#define IDS_FREQ_WEEKLY             21601
#define IDS_FREQ_MONTHLY            21602
#define IDS_FREQ_NEVER              21603
#define IDS_UPDATE_AUTO_CHECK       21604
#define IDS_UPDATE_CONTINUE         21605
#define IDS_UPDATE_REMIND_ME        21606
#define IDS_UPDATE_MORE_INFO        21607

// Web links: the texts of the rating prompt's task dialog
#define IDS_RATE_INSTRUCTION        21580
#define IDS_RATE_THANKS             21581
#define IDS_RATE_NOW                21582
#define IDS_RATE_LATER              21583
#define IDS_RATE_ALREADY            21584

// The About box (entry/About.cpp). The link's control keeps the nine ids
// after it free for the mini-HTML link ids.
#define IDD_ABOUT                   21620
#define IDC_ABOUT_ICON              21621
#define IDC_ABOUT_TITLE             21622
#define IDC_ABOUT_VERSION           21623
#define IDC_ABOUT_EDITION           21624
#define IDC_ABOUT_RULE              21625
#define IDC_ABOUT_COPYRIGHT         21626
#define IDC_ABOUT_LINK              21630
#define IDS_ABOUT_CAPTION           21640
#define IDS_ABOUT_EDITION           21641
#define IDS_ABOUT_COPYRIGHT         21642
#define IDS_ABOUT_WEBSITE           21643

// The progress dialog (progress/ProgressDlg.cpp). The template shares its
// number with the caption's string IDS_PROGRESS_TITLE; the ids repeat
// ProgressDlgItem of progress/ProgressDlg.h for the resource script.
#define IDD_PROGRESS                28000
#define IDC_PROGRESS_LINE1          28003
#define IDC_PROGRESS_LINE2          28004
#define IDC_PROGRESS_LINE3          28005
#define IDC_PROGRESS_LINE4          28006
#define IDC_PROGRESS_BAR            28007
#define IDC_PROGRESS_FRAME          28010
