// The launcher's decision over one run, made in pure code from what it was
// given and found before doing anything: its path, what it shows, whether
// the inner installer can start, and the exit code the path ends with.
#pragma once
#include <stddef.h>

#include "base/run_and_wait.h"
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
};

// Where the run runs, in the record's order.
enum SettingText { kLauncherFile, kCurrentDirectory, kComputerName, kUserName, kTextCount };

// What the run was asked for besides its argument text, and where it runs.
struct RunSettings {
    int whatIf;   // decide and record, but do nothing
    int visible;  // the window station's flags say someone sees it
    int startShow;  // the show command the launcher's starter gave it, or -1 for none
    const char* unattended;  // who asked for no window: "environment", "policy"; or null
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
    unsigned long innerInstallerError;     // why it cannot be opened to start, or 0
    char innerHead[2];                     // its first bytes: "MZ" for a program
};

struct RunPlan {
    int writeResourceLog;  // "/LOGRESOURCES" came first of all
    RunPath path;
    int readsRegistration;  // the registration is read before the run; not for /? and /vd
    int repairsFollow;      // once the inner installer has ended, its registration is repaired
    ReportText report;      // the text of the path's box, or kNoReport
    int show;        // the path's window is shown: Notepad, a box, the dialog
    const char* unseen;  // why a window of the path would not be seen, or null
    void* notepadToken;  // Notepad runs as the desktop's user with it; null: as the launcher
    int dialogId;    // the refusal's dialog; 0 on the other paths
    unsigned long innerError;  // the code that ends the run before a start, or 0
    const char* why;  // the rule that decided the run, for its record
};

const int kAlreadyInstalledExitCode = 1;

RunPlan PlanRun(const wchar_t* args, const RunSettings* settings, const Registration* before);
inline int RunsInnerInstaller(RunPath path) {
    return path == kInstallationPath || path == kRemovalPath;
}
int RunExitCode(RunPath path, unsigned long innerCode);
int IsSwitchedOn(const wchar_t* value);
int SameSid(const unsigned char* a, const unsigned char* b);
extern const unsigned char kLocalSystemSid[12];
