// "/LOGRESOURCES" first, then one path: "/?" before "/vd" before "/bl"
// before the installation; "/x" skips the check for an installed product.
// Where nobody can see a window, nobody can close one: there the launcher
// shows nothing, so it never waits on a window, and refuses all the same.
#include "launcher/run_plan.h"

#include "detect/installed.h"
#include "detect/language.h"
#include "launcher/command_line.h"

RunPlan PlanRun(const wchar_t* args, int visible, const Registration* before) {
    RunPlan plan = {.writeResourceLog = HasSwitch(args, kSwitchLogResources),
                    .path = kInstallationPath,
                    .show = visible,
                    .dialogId = 0,
                    .why = "no installed product was found"};
    if (HasSwitch(args, kSwitchHelp)) {
        plan.path = kHelpPath;
        plan.why = "/? was given";
    } else if (HasSwitch(args, kSwitchVersionDate)) {
        plan.path = kVersionPath;
        plan.why = "/vd was given";
    } else if (HasSwitch(args, kSwitchBuildLevel)) {
        plan.path = kBuildLevelPath;
        plan.why = "/bl was given";
    } else if (HasSwitch(args, kSwitchUninstall)) {
        plan.path = kRemovalPath;
        plan.why = "/x was given: no check and no repairs";
    } else if (IsInstalled(before)) {
        plan.path = kRefusalPath;
        plan.dialogId = ChooseDialogId(&before->clientLevel, SelectLanguage(args));
        plan.why = "ClientLevel names a version and an uninstall key exists";
    }
    if (RunsInnerInstaller(plan.path))
        plan.show = 0;  // the inner installer shows its own windows
    return plan;
}

int RunsInnerInstaller(RunPath path) {
    return path == kInstallationPath || path == kRemovalPath;
}

// The inner installer's exit code is the launcher's, or the system's error
// code when it could not be started or waited for; a refusal exits with 1,
// a report with 0.
int RunExitCode(RunPath path, unsigned long innerCode) {
    if (path == kRefusalPath)
        return kAlreadyInstalledExitCode;
    return RunsInnerInstaller(path) ? (int)innerCode : 0;
}
