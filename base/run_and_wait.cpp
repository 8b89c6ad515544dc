// Starts a program from a complete command line, found by the platform's
// program search (the launcher's own directory first), and blocks until it
// has ended.
#include "base/run_and_wait.h"

#include <windows.h>

// Returns 1 with the child's exit code, or 0 with the system's error code
// when the child could not be started; then nothing is waited for.
int RunAndWait(char* commandLine, unsigned long* exitCode) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        *exitCode = GetLastError();
        return 0;
    }
    // The wait is alertable; an APC ends it early, so wait again.
    while (WaitForSingleObjectEx(process.hProcess, INFINITE, TRUE) == WAIT_IO_COMPLETION) {
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process.hProcess, &code))
        code = GetLastError();
    *exitCode = code;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 1;
}
