// The hidden main window and the dialog procedure shared by every dialog.
#pragma once
#include <windows.h>

const int kWindowTextSize = 100;

extern HINSTANCE gModuleInstance;
extern char gWindowTitle[kWindowTextSize];
extern char gClassName[kWindowTextSize];

ATOM RegisterMainWindowClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
