// Resource numbers of the configuration program.
#pragma once

#define IDD_MAIN 102
#define IDS_ABOUTBOX 101
#define IDI_MAIN 145
