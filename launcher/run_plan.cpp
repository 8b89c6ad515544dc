// "/LOGRESOURCES" first, then one path: "/?" before "/vd" before "/bl"
// before the installation; "/x" skips the check for an installed product.
// Where nobody would see a window, or none was asked for, none shows and a
// refusal is made all the same. Whether the inner installer can start is
// decided here too, so a what-if run ends as the real one would.
#include "launcher/run_plan.h"

#include <string.h>

#include "detect/installed.h"
#include "launcher/command_line.h"

// The path the switches choose: the installation where none is given.
static RunPath SwitchedPath(const wchar_t* args) {
    return HasSwitch(args, kSwitchHelp)          ? kHelpPath
           : HasSwitch(args, kSwitchVersionDate) ? kVersionPath
           : HasSwitch(args, kSwitchBuildLevel)  ? kBuildLevelPath
           : HasSwitch(args, kSwitchUninstall)   ? kRemovalPath
                                                 : kInstallationPath;
}

const unsigned char kLocalSystemSid[12] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};  // S-1-5-18

// SIDs as the system stores them: revision, count of sub-authorities, six
// bytes of authority, four bytes a sub-authority.
int SameSid(const unsigned char* a, const unsigned char* b) {
    return a && b && a[1] == b[1] && memcmp(a, b, 8 + 4 * (size_t)b[1]) == 0;
}

// Why nobody would see the path's window, or null. A hidden start hides the
// first window shown, a modal one too; nobody sees session 0 on Vista and
// later, where the launcher's imports confine it. Notepad runs as the
// person at the desktop, with the shell's token; without a shell, as the
// launcher unless that is SYSTEM; a shell that gives none is another's.
static const char* WhyUnseen(RunPath path, const RunSettings* s) {
    return s->unattended                          ? "no window was asked for"
           : !s->visible                          ? "the window station is not visible"
           : s->session == 0                      ? "nobody sees session 0"
           : s->startShow == 0                    ? "the launcher was started hidden"
           : path != kHelpPath || s->desktopToken ? nullptr
           : s->desktopShell ? "the desktop's shell gave no token to start Notepad with"
           : !s->user || SameSid(s->user, kLocalSystemSid)
               ? "no desktop shell, and the launcher runs as SYSTEM"
               : nullptr;
}

RunPlan PlanRun(const wchar_t* args, const RunSettings* settings, const Registration* before) {
    static const char kWhy[] =  // by path
        "/? was given\0/vd was given\0/bl was given\0"
        "ClientLevel names a version and an uninstall key exists\0"
        "no installed product was found\0/x was given: no check and no repairs";
    const RunPath switched = SwitchedPath(args);
    const int refused = switched == kInstallationPath && IsInstalled(before);
    const RunPath path = refused ? kRefusalPath : switched;
    // The build-level box counts the product as installed when its key
    // opens, whatever it holds.
    const char* unseen = WhyUnseen(path, settings);
    const ReportText buildLevel =
        before->opened[kProductKeyId] ? kBuildLevelReport : kNotInstalledReport;
    RunPlan plan = {
        .writeResourceLog = HasSwitch(args, kSwitchLogResources),
        .path = path,
        // The help file and the version box show nothing of the registration.
        .readsRegistration = path != kHelpPath && path != kVersionPath,
        .repairsFollow = 0,
        .report = path == kVersionPath ? kVersionReport
                  : path == kBuildLevelPath ? buildLevel
                                            : kNoReport,
        .show = !unseen,
        .unseen = unseen,
        .notepadToken = path == kHelpPath && !unseen ? settings->desktopToken : nullptr,
        .dialogId =
            refused ? ChooseDialogId(&before->values[kClientLevelId], SelectLanguage(args)) : 0,
        .innerError = 0,
        .why = NthText(kWhy, path)};
    if (!RunsInnerInstaller(plan.path))
        return plan;
    plan.show = 0;  // the inner installer shows its own windows
    plan.unseen = nullptr;
    if (InnerCommandSize(args) > kLongestCommandLine) {
        plan.innerError = kErrorFilenameExcedRange;
        plan.why = "the command line is longer than Windows starts a program with";
    } else if (settings->innerInstallerError) {
        plan.innerError = settings->innerInstallerError;
        plan.why = plan.innerError == kErrorFilenameExcedRange
                       ? "the launcher's folder leaves no room for _Setup.exe's path"
                       : "_Setup.exe cannot be opened beside the launcher";
    } else if (settings->innerHead[0] != 'M' || settings->innerHead[1] != 'Z') {
        plan.innerError = kErrorBadExeFormat;  // as the system fails to start it
        plan.why = "_Setup.exe is empty or not a program";
    }
    plan.repairsFollow = plan.path == kInstallationPath && !plan.innerError;
    return plan;
}

// The inner installer's exit code, or the system's error code when it could
// not be started or waited for; a refusal exits with 1, a report with 0.
int RunExitCode(RunPath path, unsigned long innerCode) {
    if (path == kRefusalPath)
        return kAlreadyInstalledExitCode;
    return RunsInnerInstaller(path) ? (int)innerCode : 0;
}

// A switch fails safe: anything but nothing or "0", blanks around it
// ignored, is on (cmd's "set NAME=1 && ..." leaves a blank behind the 1).
int IsSwitchedOn(const wchar_t* value) {
    size_t start = 0, end = BoundedLength(value, kTextBufSize);
    while (start < end && (value[start] == L' ' || value[start] == L'\t'))
        start++;
    while (end > start && (value[end - 1] == L' ' || value[end - 1] == L'\t'))
        end--;
    return end > start && !(end - start == 1 && value[start] == L'0');
}
