// Where the reports go: the message boxes of "/vd" and "/bl", the files of
// "/?" and "/LOGRESOURCES", and Notepad showing the help file.
#include <windows.h>

#include "base/run_and_wait.h"
#include "base/text.h"
#include "reports/report_text.h"
#include "reports/reports.h"

// No owner, one OK button, no icon.
void ShowReport(const char* text) {
    (void)MessageBoxA(NULL, text, kReportCaption, MB_OK);
}

// Creates the file or empties it, other processes may still open it, and
// writes the bytes in one block. Returns 1 when the file was made; a file
// that cannot be created (read-only media, a read-only or locked file, a
// folder of that name) is 0. A failed write is not retried: what arrived
// is what the user sees.
int WriteNewFile(const char* path, const char* bytes, size_t length) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written;
    (void)WriteFile(file, bytes, (DWORD)length, &written, NULL);
    CloseHandle(file);
    return 1;
}

// Shows the file in Notepad, with the launcher's current directory, and
// waits until Notepad is closed. Notepad is the one in the system folder:
// one planted beside the launcher or in the current folder never runs.
void OpenInNotepad(const char* fileName) {
    char notepad[MAX_PATH];
    if (!PathInSystemFolder("\\notepad.exe", notepad, sizeof notepad))
        return;
    char command[kTextBufSize];
    if (!CopyText(command, sizeof command, "notepad ") ||
        !AppendText(command, sizeof command, fileName))
        return;
    unsigned long exitCode;
    (void)RunAndWait(notepad, command, &exitCode);  // no Notepad: the file stays for the user
}
