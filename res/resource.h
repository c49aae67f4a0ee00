// Resource identifiers shared by the resource script and the code.
#pragma once

// Captions that the code and the resources share (and the tests look for).
// The product's name: the settings dialog's and the session's host window's.
#define TOLVARIN_NAME "トルヴァリン君"
// The movie and Flash players' windows.
#define TOLVARIN_PLAYER_CAPTION "動画セーバー"
// The start cover's window text (never shown: it has no caption).
#define TOLVARIN_START_CAPTION "起動中"
// The about box.
#define TOLVARIN_ABOUT_CAPTION "バージョン情報"

#define IDS_SAVER_NAME 1

#define IDI_PROGRAM 128

#define IDD_ABOUT 100
#define IDD_SETTINGS 102
#define IDD_PROGRAM_SETTINGS 131
#define IDM_SETTINGS 132
#define IDD_PROGRAM_WATCH 133
#define IDD_FLASH_SETTINGS 134

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Controls of the settings dialog.
#define IDC_SAVER_LIST 1000
#define IDC_ADD 1001
#define IDC_DELETE 1003
#define IDC_FILE_SETTINGS 1004
#define IDC_PREVIEW 1005
#define IDC_TIMER_ON 1012
#define IDC_MINUTES 1013
#define IDC_MINUTES_SPIN 1020
#define IDC_TOGGLE 1025
#define IDC_MOVE_UP 1026
#define IDC_MOVE_DOWN 1027
#define IDC_ORDER 1032
#define IDC_ALL_MONITORS 1033

// Commands of the settings dialog's menu.
#define ID_FILE_ADD 32771
#define ID_FILE_DELETE 32772
#define ID_VIEW_EXTENSION 32773
#define ID_HELP_WEB_SITE 32775
#define ID_HELP_ABOUT 32776
#define ID_FILE_SAVE_AND_EXIT 32777
#define ID_FILE_TOGGLE 32778
#define ID_FILE_MOVE_UP 32779
#define ID_FILE_MOVE_DOWN 32780
#define ID_FILE_SETTINGS 32781
#define ID_FILE_PREVIEW 32782
#define ID_FILE_EXIT_WITHOUT_SAVING 32783
#define ID_VIEW_SAVER_NAME 32785
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#ifndef ID_HELP_FINDER
#define ID_HELP_FINDER 57667
#endif
