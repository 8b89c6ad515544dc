// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDS_WINDOW_TITLE 104
#define IDM_ABOUT 106
#define IDM_EXIT 108
#define IDS_HELLO 109
#define IDI_LARGE 110
#define IDI_SMALL 111
#define IDS_CLASS_NAME 112
#define IDR_MAIN_MENU 112
#define IDD_ABOUT 103
