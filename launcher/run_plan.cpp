// "/LOGRESOURCES" first, then one path: "/?" before "/vd" before "/bl"
// before the installation; "/x" skips the check for an installed product.
// Where nobody would see a window, or none was asked for, none shows and a
// refusal is made all the same. Whether the inner installer can start is
// decided here too, so a what-if run ends as the real one would.
#include "launcher/run_plan.h"

#include <string.h>

#include "detect/installed.h"
#include "launcher/command_line.h"

// One text after another, in the enum's order: no pointer, and no
// relocation, for each.
constexpr char kReasonTexts[] =
    "\0/? was given\0/vd was given\0/bl was given\0"
    "ClientLevel names a version and an uninstall key exists\0no installed product was found\0"
    "/x was given: no check and no repairs\0"
    "the command line is longer than Windows starts a program with\0"
    "the launcher's folder leaves no room for _Setup.exe's path\0"
    "_Setup.exe cannot be opened beside the launcher\0_Setup.exe is empty or not a program\0"
    "no window was asked for\0the window station is not visible\0nobody sees session 0\0"
    "the launcher was started hidden\0the desktop's shell gave no token to start Notepad with\0"
    "no desktop shell, and the launcher runs as SYSTEM\0environment\0policy";
constexpr char kOutcomeTexts[] =
    "success\0restart required\0restart started\0retry later\0failed\0refused\0not started";

constexpr int CountTexts(const char* texts, size_t size) {
    int count = 1;
    for (size_t at = 0; at + 1 < size; at++)
        count += texts[at] == '\0';
    return count;
}
static_assert(CountTexts(kReasonTexts, sizeof kReasonTexts) == kReasonCount, "a text a reason");
static_assert(CountTexts(kOutcomeTexts, sizeof kOutcomeTexts) == kNotStarted + 1,
              "a word an outcome");

const char* ReasonText(Reason reason) {
    return NthText(kReasonTexts, reason);
}
const char* OutcomeText(Outcome outcome) {
    return NthText(kOutcomeTexts, outcome);
}

constexpr PathRow kPaths[kPathCount] = {
    {kHelpPath, "help", kHelpAsked},
    {kVersionPath, "version", kVersionAsked},
    {kBuildLevelPath, "build level", kBuildLevelAsked},
    {kRefusalPath, "refusal", kProductInstalled},
    {kInstallationPath, "installation", kNothingInstalled},
    {kRemovalPath, "removal", kRemovalAsked},
};
constexpr bool PathsInOrder() {
    for (int i = 0; i < kPathCount; i++) {
        if (kPaths[i].path != i)
            return false;
    }
    return true;
}
static_assert(PathsInOrder(), "the path table is indexed by the path");

constexpr SettingName kSettingNames[kSettingCount] = {
    {L"OMRIK_SETUP_WHATIF", nullptr},
    {L"OMRIK_SETUP_UNATTENDED", L"Unattended"},
    {L"OMRIK_SETUP_LOG", L"LogFile"},
};
constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Omrik\\Vindara\\Setup";

// The words a deployment console maps exit codes to.
RunResult InnerResult(int ended, unsigned long code) {
    const Outcome outcome = !ended ? kNotStarted
                            : code == 0 || code == kErrorInstallSuccess ? kSuccess
                            : code == kErrorSuccessRebootRequired       ? kRestartRequired
                            : code == kErrorSuccessRebootInitiated      ? kRestartStarted
                            : code == kErrorInstallAlreadyRunning       ? kRetryLater
                                                                        : kFailed;
    return {code, outcome};
}

RunPath SwitchedPath(const wchar_t* args) {
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

// "C:\..." or "\\server\share\..." ("/" separates as "\" does), not
// where the current directory is.
int IsAbsolutePath(const wchar_t* path) {
    return (path[0] && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           ((path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/'));
}

// Why nobody would see the path's window. A hidden start hides the first
// window shown, a modal one too; nobody sees session 0 on Vista and later,
// where the launcher's imports confine it. Notepad runs as the person at
// the desktop, with the shell's token; without a shell, as the launcher
// unless that is SYSTEM; a shell that gives none is another's.
static Reason WhyUnseen(RunPath path, const RunSettings* s) {
    return s->unattended                          ? kNoWindowAsked
           : !s->visible                          ? kStationInvisible
           : s->session == 0                      ? kSessionZero
           : s->startShow == 0                    ? kStartedHidden
           : path != kHelpPath || s->desktopToken ? kNoReason
           : s->desktopShell                      ? kShellGaveNoToken
           : !s->user || SameSid(s->user, kLocalSystemSid) ? kSystemWithoutShell
                                                           : kNoReason;
}

// Why the inner installer cannot start, with the code the system would
// fail its start with; 0 where it can.
static Reason WhyNoStart(const wchar_t* args, const RunSettings* s, unsigned long* error) {
    *error = kErrorFilenameExcedRange;
    if (InnerCommandSize(args) > kLongestCommandLine)
        return kCommandTooLong;
    *error = s->innerError;
    if (s->innerProblem)
        return s->innerProblem;
    const int program = s->innerHead[0] == 'M' && s->innerHead[1] == 'Z';
    *error = program ? 0 : kErrorBadExeFormat;  // as the system fails to start it
    return program ? kNoReason : kInnerNotProgram;
}

// The build-level box counts the product as installed when its key opens,
// whatever it holds. The inner installer shows its own windows. The
// registration is read after it for its repairs, and for the record.
RunPlan PlanRun(const wchar_t* args, const RunSettings* s, const Registration* before) {
    RunPlan plan = {};
    const RunPath switched = SwitchedPath(args);
    const int refused = switched == kInstallationPath && IsInstalled(before);
    const RunPath path = plan.path = refused ? kRefusalPath : switched;
    const int inner = RunsInnerInstaller(path);
    const Reason problem = inner ? WhyNoStart(args, s, &plan.result.exitCode) : kNoReason;
    plan.why = problem ? problem : kPaths[path].why;
    plan.whatIf = s->whatIf;
    plan.acts = !s->whatIf && !problem;
    plan.writeResourceLog = HasSwitch(args, kSwitchLogResources);
    if (path == kVersionPath)
        plan.report = kVersionReport;
    if (path == kBuildLevelPath)
        plan.report = before->opened[kProductKeyId] ? kBuildLevelReport : kNotInstalledReport;
    plan.unseen = inner ? kNoReason : WhyUnseen(path, s);
    plan.show = !inner && !plan.unseen;
    plan.notepadToken = path == kHelpPath && !plan.unseen ? s->desktopToken : nullptr;
    if (refused)
        plan.dialogId = ChooseDialogId(&before->values[kClientLevelId], SelectLanguage(args));
    plan.startsInner = inner && plan.acts;
    plan.repairsFollow = path == kInstallationPath && !problem;
    plan.readsAfter = plan.repairsFollow || (inner && !problem && IsAbsolutePath(s->recordPath));
    plan.result.outcome = refused ? kRefused : problem ? kNotStarted : kSuccess;
    if (refused)
        plan.result.exitCode = kAlreadyInstalledExitCode;
    return plan;
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
