// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDS_WINDOW_TITLE 104
#define IDM_ABOUT 106
#define IDM_EXIT 108
#define IDS_HELLO 109
#define IDI_LARGE 110
#define IDI_SMALL 111
// A string and a menu may share a number: resources are told apart by type
// and number together, and LoadString and LoadMenu each look in their own.
#define IDS_CLASS_NAME 112
#define IDR_MAIN_MENU 112
#define IDD_ABOUT 103

// The already-installed dialogs (resources/dialogs/) are numbered by their
// language: the long form, with the warning about updates, has the language
// id itself, the short form the language id plus this.
#define IDD_SHORT_FORM_OFFSET 4000
