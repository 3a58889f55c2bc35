// Resource numbers of the configuration program.
#pragma once

#define IDD_MAIN 102
#define IDS_ABOUTBOX 101
// The system command id of the About item in the main window's system menu.
#define IDM_ABOUTBOX 0x0010
#define IDI_MAIN 145
