// Starts a program and blocks until it has ended. The launcher names every
// program it starts by its full path: left to the system's program search,
// a program of the same name in the current folder or on PATH, where
// anyone may have put one, could run in its place, elevated like the
// launcher.
#include "base/run_and_wait.h"

#include <windows.h>

#include "base/text.h"

// Runs application (a full path; NULL lets the system search for the first
// word of commandLine, for test programs only) with commandLine as its
// command line. Returns 1 with the child's exit code once it has ended, or
// 0 with the system's error code when it could not be started or could not
// be waited for: a child that may still be running is never reported as
// ended.
int RunAndWait(const wchar_t* application, wchar_t* commandLine, unsigned long* exitCode) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(application, commandLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup,
                        &process)) {
        *exitCode = GetLastError();
        return 0;
    }
    // The wait is alertable; an APC ends it early, so wait again.
    DWORD waited;
    do {
        waited = WaitForSingleObjectEx(process.hProcess, INFINITE, TRUE);
    } while (waited == WAIT_IO_COMPLETION);
    int ended = waited == WAIT_OBJECT_0;
    DWORD code = 0;
    if (!ended || !GetExitCodeProcess(process.hProcess, &code))
        code = GetLastError();
    if (!ended && code == 0)
        code = ERROR_GEN_FAILURE;  // never let a failed wait read as success
    *exitCode = code;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return ended;
}

// Puts name behind the folder of length characters at the start of path;
// with length 0 or not less than cap the folder was not found or did not
// fit.
static int FinishPath(wchar_t* path, size_t cap, size_t length, const wchar_t* name) {
    if (length == 0 || length >= cap)
        return 0;
    path[length] = L'\0';
    return AppendText(path, cap, name);
}

// The file name in the folder the running program was started from.
// Returns 0 when the path does not fit.
int PathInModuleFolder(const wchar_t* name, wchar_t* path, size_t cap) {
    size_t length = GetModuleFileNameW(NULL, path, (DWORD)cap);
    if (length >= cap)
        return 0;
    while (length > 0 && path[length - 1] != L'\\')
        length--;
    return FinishPath(path, cap, length, name);
}

// The file name, given with its leading backslash, in the system folder.
// Returns 0 when the path does not fit.
int PathInSystemFolder(const wchar_t* name, wchar_t* path, size_t cap) {
    return FinishPath(path, cap, GetSystemDirectoryW(path, (UINT)cap), name);
}
