// The already-installed dialog, shown from the launcher's own templates.
#pragma once
#include <windows.h>

INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowDialog(int dialogId);
