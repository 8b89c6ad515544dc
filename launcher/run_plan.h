// The launcher's decision over one run, made in pure code from what it was
// given and found before doing anything: its path and why, what it shows,
// whether the inner installer starts, what follows it, and how the run ends
// where no inner installer runs.
#pragma once
#include <stddef.h>

#include "base/error_codes.h"
#include "base/text.h"
#include "detect/registration.h"
#include "reports/report_text.h"

enum RunPath {
    kHelpPath,          // "/?": the help file, shown in Notepad
    kVersionPath,       // "/vd": the version box
    kBuildLevelPath,    // "/bl": the build-level box
    kRefusalPath,       // an installed product: the already-installed dialog
    kInstallationPath,  // the inner installer, then the repairs
    kRemovalPath,       // "/x": the inner installer alone
    kPathCount
};

// The rules the run is decided by, as its record names them: why it took
// its path, why the inner installer cannot start, why no window shows, and
// who asked for none.
enum Reason {
    kNoReason,
    kHelpAsked, kVersionAsked, kBuildLevelAsked, kProductInstalled, kNothingInstalled,
    kRemovalAsked,
    kCommandTooLong, kNoRoomForInner, kInnerNotOpened, kInnerNotProgram,
    kNoWindowAsked, kStationInvisible, kSessionZero, kStartedHidden, kShellGaveNoToken,
    kSystemWithoutShell,
    kAskedByEnvironment, kAskedByPolicy,
    kReasonCount
};
const char* ReasonText(Reason reason);

// Each path's name in the record and the rule that chooses it.
struct PathRow {
    RunPath path;
    const char* name;
    Reason why;
};
extern const PathRow kPaths[kPathCount];

// The word a deployment console reads an exit code by.
enum Outcome { kSuccess, kRestartRequired, kRestartStarted, kRetryLater, kFailed, kRefused,
               kNotStarted };
const char* OutcomeText(Outcome outcome);
struct RunResult {
    unsigned long exitCode;  // a DWORD, as the process ends with it
    Outcome outcome;
};
// How a started inner installer ended: its own code once it ran to its
// end, else the system's code for the start or the wait that failed.
RunResult InnerResult(int ended, unsigned long code);

// What a machine asks for beyond the argument text, by an environment
// variable or a value of the launcher's policy key; what-if has no policy.
enum Setting { kWhatIfSetting, kUnattendedSetting, kRecordSetting, kSettingCount };
struct SettingName {
    const wchar_t* variable;
    const wchar_t* policy;
};
extern const SettingName kSettingNames[kSettingCount];
extern const wchar_t kPolicyKey[];

// Where the run runs, in the record's order.
enum SettingText { kLauncherFile, kCurrentDirectory, kComputerName, kUserName, kTextCount };

// What the run was asked for besides its argument text, and where it runs.
struct RunSettings {
    int whatIf;   // decide and record, but do nothing
    int visible;  // the window station's flags say someone sees it
    int startShow;  // the show command the launcher's starter gave it, or -1 for none
    Reason unattended;  // who asked for no window, or kNoReason
    int elevated;  // the process holds an administrator's full token
    const unsigned char* user;  // the token's user, as a SID the system stores, or null
    int desktopShell;    // the launcher's desktop has a shell, run by whoever sits there
    void* desktopToken;  // the shell's token, to start a program as that user with; or null
    unsigned long processId;
    unsigned long session;
    struct { unsigned long major, minor, build; } windows;
    wchar_t texts[kTextCount][kTextBufSize];
    wchar_t recordPath[kLongestPath];      // empty: no record asked for
    wchar_t innerInstaller[kTextBufSize];  // _Setup.exe beside the launcher
    Reason innerProblem;       // why it cannot be opened to start (its path, the file), or none
    unsigned long innerError;  // the system's code for that
    char innerHead[2];         // its first bytes: "MZ" for a program
};

struct RunPlan {
    RunPath path;
    Reason why;
    int whatIf;  // the run is recorded as decided, and nothing else is done
    int acts;    // it does what was decided: no what-if, and nothing stops the start
    int writeResourceLog;  // "/LOGRESOURCES" came first of all
    ReportText report;     // the text of the path's box, or kNoReport
    int show;        // the path's window is shown: Notepad, a box, the dialog
    Reason unseen;   // why a window of the path would not be seen
    void* notepadToken;  // Notepad runs as the desktop's user with it; null: as the launcher
    int dialogId;    // the refusal's dialog; 0 on the other paths
    int startsInner;   // the inner installer starts
    int readsAfter;    // once it has ended, the registration is read again
    int repairsFollow;  // and what it registered is repaired
    RunResult result;  // how the run ends where no inner installer runs
};

const int kAlreadyInstalledExitCode = 1;

// The path the switches alone choose, which says whether the registration is
// read before the run: the help file and the version box show nothing of it.
RunPath SwitchedPath(const wchar_t* args);
inline int ReadsRegistration(RunPath switched) {
    return switched != kHelpPath && switched != kVersionPath;
}
RunPlan PlanRun(const wchar_t* args, const RunSettings* settings, const Registration* before);
inline int RunsInnerInstaller(RunPath path) {
    return path == kInstallationPath || path == kRemovalPath;
}
int IsSwitchedOn(const wchar_t* value);
int IsAbsolutePath(const wchar_t* path);
int SameSid(const unsigned char* a, const unsigned char* b);
extern const unsigned char kLocalSystemSid[12];
