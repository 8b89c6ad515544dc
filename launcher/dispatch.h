// The launcher's run: it reads what it was asked for and the registration,
// decides in pure code (run_plan.h) and applies the decision through a
// table of primitives, so tests can replace the system and watch every
// step. On request it records the run as it goes.
#pragma once
#include <stddef.h>

#include "base/run_and_wait.h"
#include "detect/registration.h"
#include "launcher/run_record.h"
#include "repair/repair_plan.h"
#include "reports/log_text.h"
#include "reports/reports.h"

struct LauncherOps {
    void (*readSettings)(RunSettings* settings);
    // Makes the hidden window: 0, or the system's code when it could not.
    unsigned long (*createWindow)();
    void (*readClock)(RecordTime* time);
    // The record, never opened through a link nor, when elevated, owned
    // by another, or null; each write appends a whole line.
    void* (*openRecord)(const wchar_t* path, const RunSettings* settings);
    int (*writeRecord)(void* record, const char* bytes, size_t length);
    void (*readRegistration)(Registration* registration);
    void (*measureResources)(ResourceFigures* figures);
    // Never through a link: the file with all the bytes, held until it is
    // closed so nobody swaps another in under its name; or null.
    void* (*writeFile)(const wchar_t* path, const char* bytes, size_t length);
    // Notepad showing a file; returns when Notepad is closed.
    void (*showFile)(const wchar_t* path);
    void (*closeFile)(void* file);
    // A message box of the reports; returns when it is closed.
    void (*showReport)(const wchar_t* text);
    // The already-installed dialog; returns when it is closed.
    void (*showDialog)(int dialogId);
    // The inner installer, started by its full path, and the wait for it.
    int (*startProgram)(const wchar_t* application, wchar_t* commandLine, ProgramRun* run);
    int (*waitProgram)(ProgramRun* run);
    // Writes the value, through the key's fallback form only when need be.
    WriteResult (*writeValue)(const RegistryWrite* write);
};

// The operations bound to the real system (platform_ops.cpp).
extern const LauncherOps kPlatformOps;

int RunLauncher(const wchar_t* args, const LauncherOps* ops);
