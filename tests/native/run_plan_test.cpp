// The run's decision: argument text, what the run found (a window can be
// seen, no window was asked for, how it was started, the desktop's shell,
// _Setup.exe is there) and the registration read before the run in; path,
// whether the registration is read and repaired, what is shown (the
// report's text too, and as whom Notepad runs), the refusal's dialog,
// whether the inner installer can start and the exit code out.
#include "launcher/run_plan.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>

#include "tests/support/registration_values.h"

namespace {

// The product installed with the given ClientLevel beside its main
// uninstall key.
Registration Installed(const std::string& clientLevel) {
    Registration r = Registered();
    r.values[kClientLevelId] = Text(clientLevel);
    return r;
}

const Registration kNothing = {};
const Registration kV39 = Installed("VNR/3.9");
const Registration kV450 = Installed("VNR/4.50");
const Registration kNoVersion = Installed("VNR 4.50");

const unsigned char kUser[] = {1, 1, 0, 0, 0, 0, 0, 5, 7, 0, 0, 0};  // S-1-5-7
int gShellToken;  // what the shell's token stands for

struct Row {
    const char* what;
    std::string args;
    int visible = 1;
    int unattended = 0;
    int startShow = -1;  // none given
    unsigned long session = 1;
    int shell = 0, token = 0;  // the desktop has a shell, which gave its token
    const unsigned char* user = kUser;
    unsigned long innerInstallerError = 0;
    const char* head = "MZ";  // _Setup.exe's first bytes
    const Registration* before = &kNothing;
    unsigned long innerCode = 0;  // how the inner installer ended, where it runs
    // Out:
    RunPath path;
    int reads = 1;  // the registration is read
    int repairs = 0;
    ReportText report = kNoReport;
    int show = 0;
    int notepadToken = 0;  // Notepad starts with the shell's token
    int dialogId = 0;
    int writeResourceLog = 0;
    unsigned long innerError = 0;
    int exitCode = 0;
};

TEST(PlanRun, OnePathBySwitchPrecedenceVisibilityAndRegistration) {
    const Row rows[] = {
        // One path: "/?" before "/vd" before "/bl" before the installation.
        {.what = "help", .args = "/?", .path = kHelpPath, .reads = 0, .show = 1},
        {.what = "help first", .args = "/vd /bl /?", .path = kHelpPath, .reads = 0, .show = 1},
        {.what = "help over a refusal", .args = "/l1036 /?", .before = &kV450,
         .path = kHelpPath, .reads = 0, .show = 1},
        {.what = "version first", .args = "/bl /vd /x", .before = &kV450, .path = kVersionPath,
         .reads = 0, .report = kVersionReport, .show = 1},
        {.what = "build level first", .args = "/x /bl /l1036", .before = &kV450,
         .path = kBuildLevelPath, .report = kBuildLevelReport, .show = 1},
        {.what = "a switch inside a value", .args = "INSTALLDIR=\"C:/bl/\"",
         .path = kBuildLevelPath, .report = kNotInstalledReport, .show = 1},
        {.what = "switches are case-sensitive", .args = "/VD /BL /X", .path = kInstallationPath,
         .repairs = 1},
        // "/LOGRESOURCES" comes first and changes nothing else.
        {.what = "log, then version", .args = "/LOGRESOURCES /vd", .path = kVersionPath,
         .reads = 0, .report = kVersionReport, .show = 1, .writeResourceLog = 1},
        {.what = "log, then installation", .args = "/LOGRESOURCES", .path = kInstallationPath,
         .repairs = 1, .writeResourceLog = 1},
        {.what = "lower-case log switch", .args = "/logresources", .path = kInstallationPath,
         .repairs = 1},
        // Refusal: the chosen language, the short form from version 4.
        {.what = "refusal, no /l", .args = "", .before = &kV39, .path = kRefusalPath, .show = 1,
         .dialogId = 1033, .exitCode = 1},
        {.what = "refusal, short form", .args = "/l1036", .before = &kV450,
         .path = kRefusalPath, .show = 1, .dialogId = 5036, .exitCode = 1},
        {.what = "refusal, /l anywhere", .args = "/s /v\"/qn\" /l1041", .before = &kV450,
         .path = kRefusalPath, .show = 1, .dialogId = 5041, .exitCode = 1},
        {.what = "refusal, no dialog for 1044", .args = "/l1044", .before = &kV39,
         .path = kRefusalPath, .show = 1, .dialogId = 1033, .exitCode = 1},
        {.what = "upper-case X is no removal", .args = "/X", .before = &kV450,
         .path = kRefusalPath, .show = 1, .dialogId = 5033, .exitCode = 1},
        {.what = "ClientLevel without a version", .args = "/l1036",
         .before = &kNoVersion, .path = kInstallationPath, .repairs = 1},
        // The inner installer's code is the launcher's, whatever it is.
        {.what = "installation", .args = "/qn", .innerCode = 3010, .path = kInstallationPath,
         .repairs = 1, .exitCode = 3010},
        {.what = "installation not started", .args = "", .innerCode = 2,
         .path = kInstallationPath, .repairs = 1, .exitCode = 2},
        {.what = "installation crashed", .args = "", .innerCode = 0xC0000005,
         .path = kInstallationPath, .repairs = 1, .exitCode = (int)0xC0000005},
        {.what = "removal skips the check", .args = "/s /x PROP=1", .before = &kV450,
         .innerCode = 1605, .path = kRemovalPath, .exitCode = 1605},
        // Where nobody sees the window station nothing is shown; the paths
        // and exit codes stay.
        {.what = "invisible help", .args = "/?", .visible = 0, .path = kHelpPath, .reads = 0},
        {.what = "invisible version", .args = "/vd", .visible = 0, .path = kVersionPath,
         .reads = 0, .report = kVersionReport},
        {.what = "invisible build level", .args = "/bl", .visible = 0, .before = &kV450,
         .path = kBuildLevelPath, .report = kBuildLevelReport},
        {.what = "invisible refusal", .args = "/l1036", .visible = 0, .before = &kV450,
         .path = kRefusalPath, .dialogId = 5036, .exitCode = 1},
        {.what = "invisible installation", .args = "/l1036", .visible = 0,
         .path = kInstallationPath, .repairs = 1},
        // Asked for no window, the launcher shows none in a visible session
        // either, and installs all the same.
        {.what = "unattended refusal", .args = "/l1036", .unattended = 1, .before = &kV450,
         .path = kRefusalPath, .dialogId = 5036, .exitCode = 1},
        {.what = "unattended help", .args = "/?", .unattended = 1, .path = kHelpPath,
         .reads = 0},
        {.what = "unattended installation", .args = "/qn", .unattended = 1, .innerCode = 3010,
         .path = kInstallationPath, .repairs = 1, .exitCode = 3010},
        // Started hidden, the first window shown would be hidden, a modal
        // one too; started minimised, it can be restored. Nobody sees
        // session 0.
        {.what = "hidden refusal", .args = "/l1036", .startShow = 0, .before = &kV450,
         .path = kRefusalPath, .dialogId = 5036, .exitCode = 1},
        {.what = "hidden version", .args = "/vd", .startShow = 0, .path = kVersionPath,
         .reads = 0, .report = kVersionReport},
        {.what = "hidden build level", .args = "/bl", .startShow = 0, .path = kBuildLevelPath,
         .report = kNotInstalledReport},
        {.what = "hidden help", .args = "/?", .startShow = 0, .token = 1, .path = kHelpPath,
         .reads = 0},
        {.what = "hidden installation", .args = "/qn", .startShow = 0, .innerCode = 3010,
         .path = kInstallationPath, .repairs = 1, .exitCode = 3010},
        {.what = "hidden removal", .args = "/x", .startShow = 0, .before = &kV450,
         .path = kRemovalPath},
        {.what = "minimised refusal", .args = "/l1036", .startShow = 2, .before = &kV450,
         .path = kRefusalPath, .show = 1, .dialogId = 5036, .exitCode = 1},
        {.what = "minimised, not active", .args = "/vd", .startShow = 7, .path = kVersionPath,
         .reads = 0, .report = kVersionReport, .show = 1},
        {.what = "session 0 refusal", .args = "", .session = 0, .before = &kV39,
         .path = kRefusalPath, .dialogId = 1033, .exitCode = 1},
        {.what = "session 0 help", .args = "/?", .session = 0, .user = kLocalSystemSid,
         .path = kHelpPath, .reads = 0},
        {.what = "session 0 installation", .args = "", .session = 0, .path = kInstallationPath,
         .repairs = 1},
        // Notepad runs as the person at the desktop: with the shell's token;
        // without a shell, as the launcher unless that is SYSTEM or unknown;
        // never for a shell that gives no token (another user's).
        {.what = "shell's token", .args = "/?", .shell = 1, .token = 1, .path = kHelpPath,
         .reads = 0, .show = 1, .notepadToken = 1},
        {.what = "shell's token, as SYSTEM", .args = "/?", .shell = 1, .token = 1,
         .user = kLocalSystemSid, .path = kHelpPath, .reads = 0, .show = 1, .notepadToken = 1},
        {.what = "shell without a token", .args = "/?", .shell = 1, .path = kHelpPath,
         .reads = 0},
        {.what = "no shell, SYSTEM", .args = "/?", .user = kLocalSystemSid, .path = kHelpPath,
         .reads = 0},
        {.what = "no shell, user unknown", .args = "/?", .user = nullptr, .path = kHelpPath,
         .reads = 0},
        {.what = "no shell, a box as SYSTEM", .args = "/vd", .user = kLocalSystemSid,
         .path = kVersionPath, .reads = 0, .report = kVersionReport, .show = 1},
        {.what = "a box without a token", .args = "/bl", .shell = 1, .path = kBuildLevelPath,
         .report = kNotInstalledReport, .show = 1},
        {.what = "the token is Notepad's alone", .args = "/vd", .shell = 1, .token = 1,
         .path = kVersionPath, .reads = 0, .report = kVersionReport, .show = 1},
        // What ends the run before the inner installer starts is decided
        // here, so a what-if run knows it too; a report does not care.
        {.what = "no _Setup.exe", .args = "/qn", .innerInstallerError = 2,
         .path = kInstallationPath, .innerError = 2, .exitCode = 2},
        {.what = "no room for its path", .args = "/x", .innerInstallerError = 206,
         .path = kRemovalPath, .innerError = 206, .exitCode = 206},
        {.what = "held without read sharing", .args = "/qn", .innerInstallerError = 32,
         .path = kInstallationPath, .innerError = 32, .exitCode = 32},
        {.what = "empty _Setup.exe", .args = "/x", .head = "", .path = kRemovalPath,
         .innerError = 193, .exitCode = 193},
        {.what = "not a program", .args = "/qn", .head = "M", .path = kInstallationPath,
         .innerError = 193, .exitCode = 193},
        {.what = "not a program for a report", .args = "/bl", .head = "PK",
         .path = kBuildLevelPath, .report = kNotInstalledReport, .show = 1},
        {.what = "no _Setup.exe for a report", .args = "/vd", .innerInstallerError = 2,
         .path = kVersionPath, .reads = 0, .report = kVersionReport, .show = 1},
        {.what = "longest argument text", .args = std::string(32767 - 12, 'a'),
         .path = kInstallationPath, .repairs = 1},
        {.what = "one unit longer", .args = std::string(32767 - 11, 'a'),
         .path = kInstallationPath, .innerError = 206, .exitCode = 206},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ": " + row.args);
        RunSettings settings = {};
        settings.visible = row.visible;
        settings.unattended = row.unattended ? kAskedByPolicy : kNoReason;
        settings.startShow = row.startShow;
        settings.session = row.session;
        settings.desktopShell = row.shell;
        settings.desktopToken = row.token ? &gShellToken : nullptr;
        settings.user = row.user;
        settings.innerProblem = !row.innerInstallerError ? kNoReason
                                : row.innerInstallerError == 206 ? kNoRoomForInner
                                                                 : kInnerNotOpened;
        settings.innerError = row.innerInstallerError;
        memcpy(settings.innerHead, row.head, strlen(row.head));
        const RunPlan plan = PlanRun(Widened(row.args).c_str(), &settings, row.before);
        EXPECT_EQ(row.path, plan.path);
        EXPECT_EQ(row.reads, ReadsRegistration(SwitchedPath(Widened(row.args).c_str())));
        EXPECT_EQ(row.repairs, plan.repairsFollow);
        EXPECT_EQ(row.report, plan.report);
        EXPECT_EQ(row.show, plan.show);
        EXPECT_EQ(!row.show && !RunsInnerInstaller(row.path), plan.unseen != kNoReason);
        EXPECT_EQ(row.notepadToken ? &gShellToken : nullptr, plan.notepadToken);
        EXPECT_EQ(row.dialogId, plan.dialogId);
        EXPECT_EQ(row.writeResourceLog, plan.writeResourceLog);
        EXPECT_EQ(!row.innerError && RunsInnerInstaller(row.path), plan.startsInner);
        EXPECT_EQ(row.exitCode,
                  (int)(plan.startsInner ? row.innerCode : plan.result.exitCode));
    }
}

// A setting that switches something on counts unless it is nothing or 0.
TEST(IsSwitchedOn, OnlyNothingAndZeroAreOff) {
    const struct {
        const wchar_t* value;
        int on;
    } cases[] = {{L"", 0},      {L"0", 0},     {L" 0 ", 0},   {L"\t", 0},    {L"1", 1},
                 {L"1 ", 1},    {L" 1", 1},    {L"yes", 1},   {L"true", 1},  {L"00", 1},
                 {L"0 0", 1},   {L"no", 1},    {L"false", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.on, IsSwitchedOn(c.value)) << Narrowed(c.value);
}

}  // namespace
