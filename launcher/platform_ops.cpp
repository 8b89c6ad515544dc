// The dispatcher's primitives bound to the Win32 glue; tests bind recording
// stand-ins to the same table instead. Every slot is bound by its name.
#include "launcher/platform_ops.h"

#include <windows.h>

#include "base/dialog.h"
#include "base/run_and_wait.h"
#include "detect/read_registration.h"
#include "launcher/command_line.h"
#include "repair/write_value.h"
#include "reports/reports.h"

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

// Only the _Setup.exe in the launcher's own folder is started, never one
// that the program search would find elsewhere, and the folder's path is
// taken as the system holds it: through the code page, a folder named
// with a character it lacks could turn into a look-alike folder beside it.
// A folder whose path does not fit is a failed start.
static int RunInnerInstaller(wchar_t* commandLine, unsigned long* exitCode) {
    wchar_t application[MAX_PATH];
    if (!PathInModuleFolder(kInnerInstallerName, application, MAX_PATH)) {
        *exitCode = ERROR_FILENAME_EXCED_RANGE;
        return 0;
    }
    return RunAndWait(application, commandLine, exitCode);
}

const LauncherOps kPlatformOps = {
    .windowStationVisible = WindowStationVisible,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteNewFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .runInnerInstaller = RunInnerInstaller,
    .writeValue = WriteValue,
};
