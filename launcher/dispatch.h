// The launcher's paths over its switches, written against a table of
// operations so the order of every step can be observed in tests.
#pragma once
#include "repair/repair_text.h"

struct LauncherOps {
    // Writes the disk and memory log to path; 1 when it was written.
    int (*writeResourceLog)(const char* path);
    void (*writeHelpFile)();
    void (*showVersionDate)();
    int (*showBuildLevel)(const char* uninstallKey, const char* productKey);
    void (*showNotInstalled)();
    int (*checkInstalledProduct)(const char* uninstallKey, const char* productKey, int language);
    // Runs the command line and waits. Returns 1 with the program's exit code,
    // or 0 with the system's error code when it could not be started.
    int (*runAndWait)(char* commandLine, unsigned long* exitCode);
    int (*hasClientLevel)(const char* uninstallKey, const char* productKey);
    int (*writeBuildLevel)(const char* productKey);
    int (*rewriteSourceListValue)(const char* sourceKey, const char* valueName,
                                  const char* productKey);
    int (*rewriteUninstallValue)(const char* uninstallKey, const char* valueName,
                                 UninstallValue value, const char* productKey);
};

extern const char kResourceLogPath[];
const int kAlreadyInstalledExitCode = 1;

int RunLauncher(const char* args, const LauncherOps* ops);
int RefuseIfInstalled(int language, const LauncherOps* ops);
void RepairRegistration(const LauncherOps* ops);
