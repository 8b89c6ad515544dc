// The hidden main window, and the module its resources come from.
#pragma once
#include <windows.h>

extern HINSTANCE gModuleInstance;

const int kWindowTextSize = 100;

extern char gWindowTitle[kWindowTextSize];
extern char gClassName[kWindowTextSize];
extern char gGreeting[kWindowTextSize];

void LoadWindowStrings(HINSTANCE instance);
ATOM RegisterMainWindowClass(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
