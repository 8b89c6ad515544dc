// The dialogs have one button, OK, and end by it, by Enter, by Esc or by
// the close button alone.
#include "launcher/refusal_dialog.h"

#include "launcher/main_window.h"

INT_PTR CALLBACK OkCancelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;  // focus goes to the first tab stop, the OK button
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Shows a dialog of the launcher's module, modal and without owner, until it
// is closed. The Unicode call shows the template's UTF-16 texts as they are;
// through the code page the Japanese ones would be question marks on a
// Western system. A template that is missing shows nothing.
void ShowDialog(int dialogId) {
    (void)DialogBoxParamW(gModuleInstance, MAKEINTRESOURCEW(dialogId), NULL, OkCancelDialogProc,
                          0);
}
