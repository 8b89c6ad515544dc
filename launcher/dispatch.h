// The launcher's paths over its switches, written against a table of
// operations so the order of every step can be observed in tests.
#pragma once
#include "repair/repair_text.h"

struct LauncherOps {
    // 1 when someone can see and answer the launcher's windows: not so in a
    // session nobody sees (a service's, SYSTEM's in session 0).
    int (*windowStationVisible)();
    // Writes the disk and memory log to path; 1 when it was written.
    int (*writeResourceLog)(const char* path);
    // Writes the help file, and shows it in Notepad when asked to.
    void (*writeHelpFile)(int show);
    void (*showVersionDate)();
    int (*showBuildLevel)(const char* uninstallKey, const char* productKey);
    void (*showNotInstalled)();
    // 1 when the pair shows an installation with a version, after showing
    // the refusal dialog if asked to.
    int (*checkInstalledProduct)(const char* uninstallKey, const char* productKey, int language,
                                 int show);
    // Runs the inner installer beside the launcher with the command line and
    // waits. Returns 1 with its exit code once it has ended, or 0 with the
    // system's error code when it could not be started or waited for.
    int (*runInnerInstaller)(char* commandLine, unsigned long* exitCode);
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
int RefuseIfInstalled(int language, int show, const LauncherOps* ops);
void RepairRegistration(const LauncherOps* ops);
