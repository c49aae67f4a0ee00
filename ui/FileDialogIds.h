// Control identifiers of the program settings, Flash settings and about
// dialogs, shared by their resource scripts and their code.
#pragma once

// Program settings dialog.
#define IDC_PROGRAM_OPTION 1003
#define IDC_PROGRAM_MOUSE 1004
#define IDC_PROGRAM_START_MACRO 1006
#define IDC_PROGRAM_FINISH_MACRO 1007
#define IDC_PROGRAM_CHANGE 1012

// Flash settings dialog.
#define IDC_FLASH_TIME 1013
#define IDC_FLASH_ADD 1016
#define IDC_FLASH_LIST 1018
#define IDC_FLASH_X 1020
#define IDC_FLASH_Y 1021
#define IDC_FLASH_X_UNIT 1024
#define IDC_FLASH_Y_UNIT 1025
#define IDC_FLASH_DELETE 1026
#define IDC_FLASH_CHANGE 1027
#define IDC_FLASH_ACTION 1028

// About dialog.
#define IDC_ABOUT_WEB_LINK 1000
#define IDC_ABOUT_VERSION 1011
#define IDC_ABOUT_COPYRIGHT 1012
#define IDC_ABOUT_MAIL_LINK 1022
