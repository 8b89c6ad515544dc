// The module the launcher's resources are loaded from, and its dialogs.
#pragma once
#include <windows.h>

extern HINSTANCE gModuleInstance;

INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowDialog(int dialogId);
