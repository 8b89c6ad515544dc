// The hidden main window, the module its resources come from, and its
// dialogs.
#pragma once
#include <windows.h>

extern HINSTANCE gModuleInstance;

INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowDialog(int dialogId);

const int kWindowTextSize = 100;

extern char gWindowTitle[kWindowTextSize];
extern char gClassName[kWindowTextSize];
extern char gGreeting[kWindowTextSize];

void LoadWindowStrings(HINSTANCE instance);
ATOM RegisterMainWindowClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
