// Resource numbers of the configuration program.
#pragma once

#define IDD_MAIN 102
#define IDD_ABOUT 103
#define IDS_ABOUTBOX 101
#define IDI_MAIN 145
#define IDC_ABOUT_TITLE 1001
#define IDC_ABOUT_COMPANY 1002
