// Starting a child program and waiting for it to end, and where the
// programs the launcher starts are found.
#pragma once
#include <stddef.h>

// The Windows error codes the launcher decides or reports a run with, by
// their numbers, so that its pure code builds without the system's headers
// (run_and_wait.cpp checks them against the system's).
const unsigned long kErrorBadExeFormat = 193;        // not a program the system starts
const unsigned long kErrorFilenameExcedRange = 206;  // a path or command line too long
const unsigned long kErrorInstallAlreadyRunning = 1618;
const unsigned long kErrorInstallSuccess = 1707;  // a success to the deployment consoles
const unsigned long kErrorSuccessRebootInitiated = 1641;
const unsigned long kErrorSuccessRebootRequired = 3010;

// A started program until the wait, and its exit code or the system's error.
struct ProgramRun {
    void* process;
    unsigned long processId;
    unsigned long exitCode;
};

int StartProgram(const wchar_t* application, wchar_t* commandLine, ProgramRun* run, void* token);
int WaitProgram(ProgramRun* run);
unsigned long WaitHandlingMessages(void** object, unsigned long milliseconds);
int PathInModuleFolder(const wchar_t* name, wchar_t* path, size_t cap);
int PathInSystemFolder(const wchar_t* name, wchar_t* path, size_t cap);
