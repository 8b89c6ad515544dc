// Starts a program and blocks until it has ended. Every program is named by
// its full path: the system's search could run one of the same name that
// anyone put in the current folder or on PATH, elevated like the launcher.
#include "base/run_and_wait.h"

#include <windows.h>

#include "base/text.h"

// Waits for the object, or with none for the time, handling the thread's
// messages: a program that sends to every top-level window (installers
// broadcast WM_SETTINGCHANGE) blocks until the launcher's has answered. A
// quit message is kept for after the wait; an APC does not end it.
unsigned long WaitHandlingMessages(void** object, unsigned long milliseconds) {
    const DWORD count = object != NULL;
    MSG message;
    int quit = 0;
    WPARAM quitCode = 0;
    DWORD waited;
    do {
        waited = MsgWaitForMultipleObjectsEx(count, object, milliseconds, QS_ALLINPUT,
                                             MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
        while (waited == WAIT_OBJECT_0 + count && PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = 1;
                quitCode = message.wParam;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    } while (waited == WAIT_OBJECT_0 + count || waited == WAIT_IO_COMPLETION);
    if (quit)
        PostQuitMessage((int)quitCode);  // handed on to whoever runs the thread's loop next
    return waited;
}

// Starts application (a full path; NULL, for test programs only, searches
// for commandLine's first word), as a primary token's user and with that
// user's environment where one is given. Returns 1 once it runs, or 0 with
// the system's error code.
int StartProgram(const wchar_t* application, wchar_t* commandLine, ProgramRun* run, void* token) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = token ? CreateProcessWithTokenW(token, 0, application, commandLine, 0,
                                                         NULL, NULL, &startup, &process)
                               : CreateProcessW(application, commandLine, NULL, NULL, TRUE, 0, NULL,
                                                NULL, &startup, &process);
    *run = {process.hProcess, process.dwProcessId, started ? 0 : GetLastError()};
    if (started)
        CloseHandle(process.hThread);  // the launcher never touches the child's thread
    return started != 0;
}

// 1 with the exit code once the child has ended, or 0 with the system's
// error code: a child that may still run is never reported as ended.
int WaitProgram(ProgramRun* run) {
    DWORD code = 0;
    const int ended = WaitHandlingMessages(&run->process, INFINITE) == WAIT_OBJECT_0;
    if (!ended || !GetExitCodeProcess(run->process, &code))
        code = GetLastError();
    run->exitCode = !ended && code == 0 ? ERROR_GEN_FAILURE : code;  // never a failed wait as 0
    CloseHandle(run->process);
    return ended;
}

// Puts name behind the folder of length characters at the start of path;
// a length of 0 or of cap or more is a folder not found or that did not fit.
static int FinishPath(wchar_t* path, size_t cap, size_t length, const char* name) {
    if (length == 0 || length >= cap)
        return 0;
    path[length] = L'\0';
    return AppendText(path, cap, name);
}

// The file name in the folder the running program was started from.
// Returns 0 when the path does not fit.
int PathInModuleFolder(const char* name, wchar_t* path, size_t cap) {
    size_t length = GetModuleFileNameW(NULL, path, (DWORD)cap);
    if (length >= cap)
        return 0;
    while (length > 0 && path[length - 1] != L'\\')
        length--;
    return FinishPath(path, cap, length, name);
}

// The file name, given with its leading backslash, in the system folder.
// Returns 0 when the path does not fit.
int PathInSystemFolder(const char* name, wchar_t* path, size_t cap) {
    return FinishPath(path, cap, GetSystemDirectoryW(path, (UINT)cap), name);
}
