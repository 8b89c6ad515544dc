// The launcher's whole decision: which path runs, what it reads, shows,
// writes and starts, and its exit code. Everything it does to the system
// goes through the operation table.
#include "launcher/dispatch.h"

#include <stdlib.h>

#include "detect/installed.h"
#include "detect/language.h"
#include "launcher/command_line.h"
#include "reports/help_records.h"
#include "reports/report_text.h"

const char kResourceLogPath[] = "c:\\LOGRESOURCES.txt";

// The Windows error codes for an inner command that cannot be composed, and
// for one longer than the system takes.
const unsigned long kErrorNotEnoughMemory = 8;
const unsigned long kErrorFilenameExcedRange = 206;

// Without a log the run goes on as it would.
static void WriteResourceLog(const LauncherOps* ops) {
    ResourceFigures figures = {};
    ops->measureResources(&figures);
    char log[kResourceLogSize];
    size_t length = ComposeResourceLog(&figures, log, sizeof log);
    (void)ops->writeFile(kResourceLogPath, log, length, 0);
}

// The help file stays on disk whether or not Notepad shows it; Notepad
// shows it only where someone can see it.
static void WriteHelpFile(int visible, const LauncherOps* ops) {
    static char help[kHelpFileSize];  // too large for the stack
    size_t length = ComposeHelpFile(help, sizeof help);
    (void)ops->writeFile(kHelpFileName, help, length, visible);
}

static void ShowVersionDate(const LauncherOps* ops) {
    wchar_t text[kTextBufSize];
    (void)ComposeVersionText(text, kTextBufSize);  // a fixed text that fits
    ops->showReport(text);
}

static void ShowBuildLevel(const LauncherOps* ops) {
    Registration registration;
    ops->readRegistration(&registration);
    wchar_t text[kBuildLevelTextSize];
    (void)ComposeBuildLevelText(text, kBuildLevelTextSize, &registration);  // sized for whole values
    ops->showReport(text);
}

// Refuses an existing installation, runs "_Setup.exe " with the whole
// argument text (however long: the command is composed in a buffer sized
// to it, never cut), then repairs what the installation registered. The
// launcher exits with the inner installer's own code, or with the system's
// error code when it could not be started or waited for; then nothing is
// repaired, as the installation may still be going on.
static int RunInstallation(const wchar_t* args, int visible, const LauncherOps* ops) {
    int removing = HasSwitch(args, kSwitchUninstall);
    Registration registration;
    if (!removing) {
        ops->readRegistration(&registration);
        if (IsInstalled(&registration)) {
            if (visible)
                ops->showDialog(ChooseDialogId(&registration.clientLevel, SelectLanguage(args)));
            return kAlreadyInstalledExitCode;
        }
    }
    size_t size = InnerCommandSize(args);
    if (size > kLongestCommandLine)
        return (int)kErrorFilenameExcedRange;
    wchar_t* command = (wchar_t*)malloc(size * sizeof(wchar_t));
    if (!command)
        return (int)kErrorNotEnoughMemory;
    (void)ComposeInnerCommand(command, size, args);  // sized to fit
    unsigned long exitCode = 0;
    int ended = ops->runInnerInstaller(command, &exitCode);
    free(command);
    if (!ended || removing)
        return (int)exitCode;
    ops->readRegistration(&registration);
    RegistryWrite writes[kRepairCount];
    int count = PlanRepairs(&registration, writes);
    for (int i = 0; i < count; i++)
        (void)ops->writeValue(&writes[i]);  // a failed write leaves the installation's value
    return (int)exitCode;
}

// "/LOGRESOURCES" first, then one path: "/?" before "/vd" before "/bl"
// before the installation. Where nobody can see a window, nobody can close
// one: there the launcher shows nothing, so it never waits on a window.
int RunLauncher(const wchar_t* args, const LauncherOps* ops) {
    if (HasSwitch(args, kSwitchLogResources))
        WriteResourceLog(ops);
    int visible = ops->windowStationVisible();
    if (HasSwitch(args, kSwitchHelp)) {
        WriteHelpFile(visible, ops);
        return 0;
    }
    if (HasSwitch(args, kSwitchVersionDate)) {
        if (visible)
            ShowVersionDate(ops);
        return 0;
    }
    if (HasSwitch(args, kSwitchBuildLevel)) {
        if (visible)
            ShowBuildLevel(ops);
        return 0;
    }
    return RunInstallation(args, visible, ops);
}
