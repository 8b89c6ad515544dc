// The launcher's decision over one run, made in pure code from what it was
// given and what it read before doing anything: which path it takes, what
// it shows, and the exit code that path ends with.
#pragma once

#include "detect/registration.h"

enum RunPath {
    kHelpPath,          // "/?": the help file, shown in Notepad
    kVersionPath,       // "/vd": the version box
    kBuildLevelPath,    // "/bl": the build-level box
    kRefusalPath,       // an installed product: the already-installed dialog
    kInstallationPath,  // the inner installer, then the repairs
    kRemovalPath,       // "/x": the inner installer alone
};

struct RunPlan {
    int writeResourceLog;  // "/LOGRESOURCES" came first of all
    RunPath path;
    int show;        // the path's window is shown: Notepad, a box, the dialog
    int dialogId;    // the refusal's dialog; 0 on the other paths
    const char* why;  // the rule that chose the path, for the run's record
};

const int kAlreadyInstalledExitCode = 1;

RunPlan PlanRun(const wchar_t* args, int visible, const Registration* before);
int RunsInnerInstaller(RunPath path);
int RunExitCode(RunPath path, unsigned long innerCode);
