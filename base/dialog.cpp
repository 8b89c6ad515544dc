// The dialogs have one button, OK, and end by it, by Enter, by Esc or by
// the close button; nothing else ends them.
#include "base/dialog.h"

HINSTANCE gModuleInstance;

INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;  // focus goes to the first tab stop, the OK button
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Shows a dialog of the launcher's module, modal and without owner, and
// returns when it is closed. The Unicode call shows the template's UTF-16
// texts as they are; the ANSI call would pass them through the system's
// code page, where the Japanese texts turn into question marks on a
// Western system. A template that is missing shows nothing.
void ShowDialog(int dialogId) {
    (void)DialogBoxParamW(gModuleInstance, MAKEINTRESOURCEW(dialogId), NULL, OkCancelDialogProc,
                          0);
}
