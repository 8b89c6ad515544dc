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
