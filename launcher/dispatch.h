// The launcher's paths over its switches, written against a table of
// operations so the order of every step can be observed in tests.
#pragma once

struct LauncherOps {
    int (*openResourceLog)(const char* path);
    void (*logSystemResources)();
    int (*closeResourceLog)();
    void (*writeHelpFile)();
    void (*showVersionDate)();
    int (*showBuildLevel)(const char* uninstallKey, const char* productKey);
    void (*showNotInstalled)();
    int (*checkInstalledProduct)(const char* uninstallKey, const char* productKey, int language);
    // Runs the command line and waits. Returns 1 with the program's exit code,
    // or 0 with the system's error code when it could not be started.
    int (*runAndWait)(char* commandLine, unsigned long* exitCode);
    int (*hasClientLevel)(const char* uninstallKey, const char* productKey);
    int (*writeBuildLevel)(const char* uninstallKey, const char* productKey);
    int (*rewriteSourceListValue)(const char* uninstallKey, const char* sourceKey,
                                  const char* valueName, const char* productKey);
    int (*rewriteUninstallString)(const char* uninstallKey, const char* valueName,
                                  const char* productKey);
    int (*rewriteDirectoryValue)(const char* uninstallKey, const char* valueName,
                                 const char* productKey);
};

extern const char kResourceLogPath[];
const int kAlreadyInstalledExitCode = 1;

int RunLauncher(const char* args, const LauncherOps* ops);
int RefuseIfInstalled(int language, const LauncherOps* ops);
void RepairRegistration(const LauncherOps* ops);
