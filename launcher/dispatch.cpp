// The launcher's whole decision: what runs, in which order, and which key
// pair each step is given. Everything it does to the system goes through
// the operation table, so tests can watch every step.
#include "launcher/dispatch.h"

#include <stdlib.h>

#include "detect/language.h"
#include "detect/registry_paths.h"
#include "launcher/command_line.h"

const char kResourceLogPath[] = "c:\\LOGRESOURCES.txt";

// Windows error codes for an inner command that cannot even be composed.
const unsigned long kErrorNotEnoughMemory = 8;

static void ReportBuildLevel(const LauncherOps* ops) {
    const KeyPair& trailing = MainKeyPair(kTrailingForm);
    const KeyPair& plain = MainKeyPair(kPlainForm);
    if (ops->showBuildLevel(trailing.uninstallKey, trailing.productKey))
        return;
    if (ops->showBuildLevel(plain.uninstallKey, plain.productKey))
        return;
    ops->showNotInstalled();
}

// Probes the key pairs in order and stops at the first that refuses the
// installation, with the already-installed dialog when it can be seen.
int RefuseIfInstalled(int language, int show, const LauncherOps* ops) {
    for (int i = 0; i < kKeyPairCount; i++) {
        if (ops->checkInstalledProduct(kKeyPairs[i].uninstallKey, kKeyPairs[i].productKey,
                                       language, show))
            return 1;
    }
    return 0;
}

enum RepairKind {
    kBuildLevelRepair,
    kSourceListRepair,
    kRemovalCommandRepair,
    kInstallDirectoryRepair,
    kPackageCopyRepair,
};

struct RepairStep {
    RepairKind kind;
    const char* const* sourceKey;  // both forms, for the source list repairs
    const char* valueName;
};

// The repairs in the order they run after an installation.
static const RepairStep kRepairSteps[] = {
    {kBuildLevelRepair, NULL, kBuildLevelValue},
    {kSourceListRepair, kSourceListKey, kLastUsedSourceValue},
    {kSourceListRepair, kNetSourceKey, kNetSourceValue},
    {kRemovalCommandRepair, NULL, kUninstallStringValue},
    {kInstallDirectoryRepair, NULL, kModifyPathValue},
    {kPackageCopyRepair, NULL, kLocalPackageValue},
};

static int RunRepairStep(const RepairStep& step, KeyForm form, const LauncherOps* ops) {
    const KeyPair& pair = MainKeyPair(form);
    switch (step.kind) {
    case kBuildLevelRepair:
        return ops->writeBuildLevel(pair.productKey);
    case kSourceListRepair:
        return ops->rewriteSourceListValue(step.sourceKey[form], step.valueName, pair.productKey);
    case kRemovalCommandRepair:
        return ops->rewriteUninstallValue(pair.uninstallKey, step.valueName, kRemovalCommand,
                                          pair.productKey);
    case kInstallDirectoryRepair:
        return ops->rewriteUninstallValue(pair.uninstallKey, step.valueName, kInstallDirectory,
                                          pair.productKey);
    case kPackageCopyRepair:
        return ops->rewriteUninstallValue(pair.uninstallKey, step.valueName, kPackageCopy,
                                          pair.productKey);
    }
    return 0;
}

// Each repair tries the trailing-backslash form first and the plain form
// only when that did nothing; no repair depends on another.
void RepairRegistration(const LauncherOps* ops) {
    for (const RepairStep& step : kRepairSteps) {
        if (!RunRepairStep(step, kTrailingForm, ops))
            (void)RunRepairStep(step, kPlainForm, ops);
    }
}

// Runs "_Setup.exe " and the whole argument text, however long: the command
// is composed in a buffer sized to it, never cut.
static int RunInnerInstaller(const char* args, const LauncherOps* ops, unsigned long* exitCode) {
    size_t size = InnerCommandSize(args);
    char* command = (char*)malloc(size);
    if (!command) {
        *exitCode = kErrorNotEnoughMemory;
        return 0;
    }
    (void)ComposeInnerCommand(command, size, args);  // sized to fit
    int ended = ops->runInnerInstaller(command, exitCode);
    free(command);
    return ended;
}

// The launcher exits with the inner installer's own code, or with the
// system's error code when it could not be started or waited for; then no
// repair runs, as the installation may still be going on. Otherwise the
// repairs depend only on whether the installation registered itself.
static int RunInstallation(const char* args, int visible, const LauncherOps* ops) {
    int language = SelectLanguage(args);
    int uninstalling = HasSwitch(args, kSwitchUninstall);
    if (!uninstalling && RefuseIfInstalled(language, visible, ops))
        return kAlreadyInstalledExitCode;
    unsigned long exitCode = 0;
    if (!RunInnerInstaller(args, ops, &exitCode) || uninstalling)
        return (int)exitCode;
    const KeyPair& plain = MainKeyPair(kPlainForm);
    const KeyPair& trailing = MainKeyPair(kTrailingForm);
    if (ops->hasClientLevel(plain.uninstallKey, plain.productKey) ||
        ops->hasClientLevel(trailing.uninstallKey, trailing.productKey))
        RepairRegistration(ops);
    return (int)exitCode;
}

int RunLauncher(const char* args, const LauncherOps* ops) {
    if (HasSwitch(args, kSwitchLogResources))
        (void)ops->writeResourceLog(kResourceLogPath);  // without a log the run goes on
    int help = HasSwitch(args, kSwitchHelp);
    int versionDate = HasSwitch(args, kSwitchVersionDate);
    int buildLevel = HasSwitch(args, kSwitchBuildLevel);
    // Where nobody can see a window, nobody can close one: the reports and
    // the refusal show none, so the launcher never waits on them.
    int visible = ops->windowStationVisible();
    if (help) {
        ops->writeHelpFile(visible);
        return 0;
    }
    if (versionDate) {
        if (visible)
            ops->showVersionDate();
        return 0;
    }
    if (buildLevel) {
        if (visible)
            ReportBuildLevel(ops);
        return 0;
    }
    return RunInstallation(args, visible, ops);
}
