// Writes the help text to "helpFILE.txt" in the current directory and shows
// it in Notepad, waiting until Notepad is closed. Notepad is the one in the
// system folder: one planted beside the launcher or in the current folder
// never runs.
#include <windows.h>

#include "base/run_and_wait.h"
#include "reports/help_records.h"
#include "reports/reports.h"

static const char kHelpFileName[] = "helpFILE.txt";

// Creates or empties the file, other processes may still open it, and
// writes the 140 lines. A file that cannot be created (read-only media, a
// read-only helpFILE.txt) means no help and no Notepad.
static int WriteHelpLines() {
    HANDLE file = CreateFileA(kHelpFileName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char line[kHelpLineSize];
    for (int i = 0; i < kHelpRecordCount; i++) {
        ComposeHelpLine(i, line);
        DWORD written;
        (void)WriteFile(file, line, sizeof line, &written, NULL);  // Notepad shows what arrived
    }
    CloseHandle(file);
    return 1;
}

void WriteHelpFile(int show) {
    if (!WriteHelpLines() || !show)
        return;
    char notepad[MAX_PATH];
    if (!PathInSystemFolder("\\notepad.exe", notepad, sizeof notepad))
        return;
    char command[] = "notepad helpFILE.txt";
    unsigned long exitCode;
    (void)RunAndWait(notepad, command, &exitCode);  // no Notepad: the file stays for the user
}
