// The module the launcher's resources are loaded from, and the procedure
// every one of its dialogs runs with.
#pragma once
#include <windows.h>

extern HINSTANCE gModuleInstance;

INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
