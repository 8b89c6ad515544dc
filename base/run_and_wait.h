// Starting a child program and waiting for it to end, and where the
// programs the launcher starts are found.
#pragma once
#include <stddef.h>

// A started program until the wait, and its exit code or the system's error.
struct ProgramRun {
    void* process;
    unsigned long processId;
    unsigned long exitCode;
};

int StartProgram(const wchar_t* application, wchar_t* commandLine, ProgramRun* run, void* token);
int WaitProgram(ProgramRun* run);
unsigned long WaitHandlingMessages(void** object, unsigned long milliseconds);
// The names are fixed ASCII texts.
int PathInModuleFolder(const char* name, wchar_t* path, size_t cap);
int PathInSystemFolder(const char* name, wchar_t* path, size_t cap);
