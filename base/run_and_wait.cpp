// Starts a program and blocks until it has ended. The launcher names every
// program it starts by its full path: left to the system's program search,
// a program of the same name in the current folder or on PATH, where
// anyone may have put one, could run in its place, elevated like the
// launcher.
#include "base/run_and_wait.h"

#include <windows.h>

#include "base/text.h"

static_assert(kErrorFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE &&
                  kErrorInstallAlreadyRunning == ERROR_INSTALL_ALREADY_RUNNING &&
                  kErrorSuccessRebootInitiated == ERROR_SUCCESS_REBOOT_INITIATED &&
                  kErrorSuccessRebootRequired == ERROR_SUCCESS_REBOOT_REQUIRED,
              "the error codes' numbers");

// Handles every message that has arrived for the thread. A message sent
// from another thread or process, such as a broadcast to all top-level
// windows, is handled on the way. A quit message is kept for after the
// wait: the child still runs, and the launcher waits for it all the same.
static void HandleMessages(int* quit, WPARAM* quitCode) {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            *quit = 1;
            *quitCode = message.wParam;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Starts application (a full path; NULL lets the system search for the
// first word of commandLine, for test programs only). Returns 1 once it
// runs, or 0 with the system's error code.
int StartProgram(const wchar_t* application, wchar_t* commandLine, ProgramRun* run) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(application, commandLine, NULL, NULL, TRUE, 0, NULL, NULL,
                                        &startup, &process);
    *run = {process.hProcess, process.dwProcessId, started ? 0 : GetLastError()};
    if (started)
        CloseHandle(process.hThread);  // the launcher never touches the child's thread
    return started != 0;
}

// Waits until the process has ended, handling the thread's messages all
// the while: the launcher owns a window, and a program that sends to every
// top-level window (installers broadcast WM_SETTINGCHANGE after changing
// the environment) blocks until each has answered. An alertable wait also
// ends for an APC; then it goes on. Returns 1 with the exit code once the
// child has ended, or 0 with the system's error code: a child that may
// still run is never reported as ended.
int WaitProgram(ProgramRun* run) {
    int quit = 0;
    WPARAM quitCode = 0;
    DWORD waited, code = 0;
    do {
        waited = MsgWaitForMultipleObjectsEx(1, &run->process, INFINITE, QS_ALLINPUT,
                                             MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
        if (waited == WAIT_OBJECT_0 + 1)
            HandleMessages(&quit, &quitCode);
    } while (waited == WAIT_OBJECT_0 + 1 || waited == WAIT_IO_COMPLETION);
    if (quit)
        PostQuitMessage((int)quitCode);  // handed on to whoever runs the thread's loop next
    const int ended = waited == WAIT_OBJECT_0;
    if (!ended || !GetExitCodeProcess(run->process, &code))
        code = GetLastError();
    run->exitCode = !ended && code == 0 ? ERROR_GEN_FAILURE : code;  // never a failed wait as 0
    CloseHandle(run->process);
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
