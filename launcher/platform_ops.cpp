// The dispatcher's operations bound to the Win32 glue; tests bind recording
// stand-ins to the same table instead.
#include "launcher/platform_ops.h"

#include "detect/installed_check.h"
#include "base/run_and_wait.h"
#include "repair/repairs.h"
#include "reports/reports.h"

const LauncherOps kPlatformOps = {
    WriteResourceLog,      WriteHelpFile,          ShowVersionDate,
    ShowBuildLevel,        ShowNotInstalled,       CheckInstalledProduct,
    RunAndWait,            HasClientLevel,         WriteBuildLevel,
    RewriteSourceListValue, RewriteUninstallValue,
};
