// The launcher's run over its switches: it reads the registration, decides
// in pure code and applies the decision through a table of primitives, so
// tests can replace the system and watch every step.
#pragma once
#include <stddef.h>

#include "detect/registration.h"
#include "repair/repair_plan.h"
#include "reports/log_text.h"

struct LauncherOps {
    // 1 when someone can see and answer the launcher's windows: not so in a
    // session nobody sees (a service's, SYSTEM's in session 0).
    int (*windowStationVisible)();
    void (*readRegistration)(Registration* registration);
    void (*measureResources)(ResourceFigures* figures);
    // Replaces the file with the bytes; 1 when every byte was written.
    // With show, Notepad then shows the file, and the call returns when
    // Notepad is closed.
    int (*writeFile)(const char* path, const char* bytes, size_t length, int show);
    // A message box of the reports; returns when it is closed.
    void (*showReport)(const wchar_t* text);
    // The already-installed dialog; returns when it is closed.
    void (*showDialog)(int dialogId);
    // Runs the inner installer beside the launcher with the command line and
    // waits. Returns 1 with its exit code once it has ended, or 0 with the
    // system's error code when it could not be started or waited for.
    int (*runInnerInstaller)(wchar_t* commandLine, unsigned long* exitCode);
    // Writes the value, through the key's fallback form only when the first
    // form failed; 1 when it was written.
    int (*writeValue)(const RegistryWrite* write);
};

extern const char kResourceLogPath[];
const int kAlreadyInstalledExitCode = 1;

int RunLauncher(const wchar_t* args, const LauncherOps* ops);
