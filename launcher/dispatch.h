// The launcher's run: it reads what it was asked for and the registration,
// decides in pure code (run_plan.h) and walks the decision through a table
// of primitives that tests replace; on request it records the run.
#pragma once
#include <stddef.h>

#include "base/run_and_wait.h"
#include "detect/registration.h"
#include "launcher/run_record.h"
#include "repair/repair_plan.h"
#include "reports/resource_log.h"

struct LauncherOps {
    void (*readSettings)(RunSettings* settings);
    // Makes the hidden window: 0, or the system's code when it could not.
    unsigned long (*createWindow)();
    void (*readClock)(RecordTime* time);
    // The record (never through a link nor another's when elevated) or null.
    void* (*openRecord)(const wchar_t* path, const RunSettings* settings);
    int (*writeRecord)(void* record, const char* bytes, size_t length);
    void (*describeCode)(unsigned long code, wchar_t* text, size_t cap);
    void (*readRegistration)(Registration* registration);
    void (*measureResources)(ResourceFigures* figures);
    // Never through a link: the whole file, held until closed; or null.
    void* (*writeFile)(const wchar_t* path, const char* bytes, size_t length);
    void (*showFile)(const wchar_t* path, void* token);  // Notepad, as the token's user
    void (*closeFile)(void* file);
    // A report's message box and the already-installed dialog, until closed.
    void (*showReport)(const wchar_t* text);
    void (*showDialog)(int dialogId);
    // The inner installer, started by its full path, and the wait for it.
    int (*startProgram)(const wchar_t* application, wchar_t* commandLine, ProgramRun* run,
                        void* token);
    int (*waitProgram)(ProgramRun* run);
    // Writes the value, through the key's fallback form only when need be.
    WriteResult (*writeValue)(const RegistryWrite* write);
};

// The operations bound to the real system (platform_ops.cpp).
extern const LauncherOps kPlatformOps;

int RunLauncher(const wchar_t* args, const LauncherOps* ops);
