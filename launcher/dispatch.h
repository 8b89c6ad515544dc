// The launcher's run: it reads what it was asked for and the registration,
// decides in pure code (run_plan.h) and applies the decision through a
// table of primitives, so tests can replace the system and watch every
// step. On request it records the run, or only decides and records it.
#pragma once
#include <stddef.h>

#include "detect/registration.h"
#include "launcher/run_record.h"
#include "repair/repair_plan.h"
#include "reports/log_text.h"
#include "reports/reports.h"

// What the run was asked for besides its argument text, and the process it
// runs in.
struct RunSettings {
    int whatIf;    // decide and record, but do nothing
    int elevated;  // 1, 0, or -1 when the process could not tell
    RecordTime time;
    wchar_t recordPath[kTextBufSize];  // empty: no record asked for
};

struct LauncherOps {
    // 1 when someone can see and answer the launcher's windows: not so in a
    // session nobody sees (a service's, SYSTEM's in session 0).
    int (*windowStationVisible)();
    void (*readSettings)(RunSettings* settings);
    void (*readRegistration)(Registration* registration);
    void (*measureResources)(ResourceFigures* figures);
    // Writes the bytes as asked, never through a link; 1 when every byte
    // was written. Showing returns when Notepad is closed.
    int (*writeFile)(const wchar_t* path, const char* bytes, size_t length, FileWrite how);
    // A message box of the reports; returns when it is closed.
    void (*showReport)(const wchar_t* text);
    // The already-installed dialog; returns when it is closed.
    void (*showDialog)(int dialogId);
    // Runs the inner installer beside the launcher with the command line and
    // waits. Returns 1 with its exit code once it has ended, or 0 with the
    // system's error code when it could not be started or waited for; and
    // how long that took.
    int (*runInnerInstaller)(wchar_t* commandLine, unsigned long* exitCode,
                             unsigned long* milliseconds);
    // Writes the value, through the key's fallback form only when the first
    // form failed.
    WriteResult (*writeValue)(const RegistryWrite* write);
};

extern const wchar_t kResourceLogPath[];

int RunLauncher(const wchar_t* args, const LauncherOps* ops);
