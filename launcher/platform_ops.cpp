// The dispatcher's operations bound to the Win32 glue; tests bind recording
// stand-ins to the same table instead.
#include "launcher/platform_ops.h"

#include <windows.h>

#include "base/run_and_wait.h"
#include "detect/installed_check.h"
#include "launcher/command_line.h"
#include "repair/repairs.h"
#include "reports/reports.h"

// Only the _Setup.exe in the launcher's own folder is started, never one
// that the program search would find elsewhere. A folder whose path does
// not fit is a failed start.
static int RunInnerInstaller(char* commandLine, unsigned long* exitCode) {
    char application[MAX_PATH];
    if (!PathInModuleFolder(kInnerInstallerName, application, sizeof application)) {
        *exitCode = ERROR_FILENAME_EXCED_RANGE;
        return 0;
    }
    return RunAndWait(application, commandLine, exitCode);
}

// A service's or SYSTEM's process in session 0 runs in a window station
// nobody sees. When the question cannot be answered, the station is taken
// as visible, as it was before the question was asked.
static int WindowStationVisible() {
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                   &needed))
        return 1;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

const LauncherOps kPlatformOps = {
    WindowStationVisible,  WriteResourceLog,       WriteHelpFile,
    ShowVersionDate,       ShowBuildLevel,         ShowNotInstalled,
    CheckInstalledProduct, RunInnerInstaller,      HasClientLevel,
    WriteBuildLevel,       RewriteSourceListValue, RewriteUninstallValue,
};
