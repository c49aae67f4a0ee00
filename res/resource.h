// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDS_SAVER_NAME 1

#define IDI_PROGRAM 128

#define IDD_ABOUT 100
#define IDD_SETTINGS 102
#define IDD_PROGRAM_SETTINGS 131
#define IDM_SETTINGS 132
#define IDD_PROGRAM_WATCH 133
#define IDD_FLASH_SETTINGS 134
