// The launcher's run over stand-in primitives. Each row gives the argument
// text, whether a window can be seen, the registration read before and
// after the inner installer and how the inner installer ends; out come the
// primitives called, in order and with their arguments, and the exit code.
#include "launcher/dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tests/support/registration_values.h"

namespace {

typedef std::vector<std::string> CallLog;

struct Stage {
    int visible = 1;
    Registration before = {};  // the first read gives this
    Registration after = {};   // every later read this
    int reads = 0;
    int fileMade = 1;
    int innerEnds = 1;
    unsigned long innerCode = 0;
    CallLog log;
};

Stage gStage;

// Keys by their plain form (their texts are checked in registry_paths_test).
const std::string kProduct = kProductKey[kPlainForm];
const std::string kMain = kMainUninstallKey[kPlainForm];
const std::string kSourceList = kSourceListKey[kPlainForm];
const std::string kNetSource = kNetSourceKey[kPlainForm];

// The stand-ins record each call. Whether a window can be seen is a
// question, not a step: it is not recorded.
int Visible() {
    return gStage.visible;
}
void ReadRegistration(Registration* r) {
    gStage.log.push_back("read");
    *r = gStage.reads++ ? gStage.after : gStage.before;
}
void MeasureResources(ResourceFigures* figures) {
    gStage.log.push_back("measure");
    for (unsigned long long& count : figures->counts)
        count = 7;
}
int WriteFile(const char* path, const char* bytes, size_t length, int show) {
    gStage.log.push_back("file " + std::string(path) + " " + std::to_string(length) +
                         (show ? " shown" : ""));
    EXPECT_NE(nullptr, bytes);
    return gStage.fileMade;
}
void ShowReport(const wchar_t* text) {
    gStage.log.push_back("box " + Narrowed(text, wcslen(text)));
}
void ShowDialog(int id) {
    gStage.log.push_back("dialog " + std::to_string(id));
}
int RunInnerInstaller(wchar_t* commandLine, unsigned long* exitCode) {
    // The platform may write into the command line: it must be writable.
    for (wchar_t* c = commandLine; *c; c++)
        *c = *c;
    gStage.log.push_back("run " + Narrowed(commandLine, wcslen(commandLine)));
    *exitCode = gStage.innerCode;
    return gStage.innerEnds;
}
int WriteValue(const RegistryWrite* write) {
    EXPECT_EQ(write->length, wcslen(write->text));
    gStage.log.push_back(std::string(write->root == kLocalMachine ? "HKLM\\" : "HKCU\\") +
                         write->key[kPlainForm] + " " + write->name + "=" +
                         Narrowed(write->text, write->length) +
                         " type " + std::to_string(write->type));
    EXPECT_EQ(std::string(write->key[kPlainForm]) + "\\", write->key[kTrailingForm]);
    return 1;
}

const LauncherOps kStandInOps = {
    .windowStationVisible = Visible,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .runInnerInstaller = RunInnerInstaller,
    .writeValue = WriteValue,
};

// Expected calls, in the stand-ins' notation.
const std::string kRead = "read";
const CallLog kLog = {"measure", "file c:\\LOGRESOURCES.txt 499"};
const std::string kHelpFile = "file helpFILE.txt 36680";
const std::string kHelpShown = kHelpFile + " shown";
const std::string kVersion = "box VNR Build 4.50, Abr 25, 2000";
const std::string kNotInstalled = "box Omrik Vindara is not installed";
std::string Dialog(int id) {
    return "dialog " + std::to_string(id);
}
std::string RunOf(const std::string& args) {
    return "run _Setup.exe " + args;
}
CallLog Join(CallLog first, const CallLog& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}
// An installation where nothing is installed and nothing registers itself.
CallLog Install(const std::string& args) {
    return {kRead, RunOf(args), kRead};
}
// The six repairs for a Directory text d stored as REG_SZ.
CallLog Repairs(const std::string& d) {
    return {
        "HKLM\\" + kProduct + " Build Level=Abr 25, 2000 type 1",
        "HKCU\\" + kSourceList + " LastUsedSource=n;1;" + d + " type 1",
        "HKCU\\" + kNetSource + " 1=" + d + " type 1",
        "HKLM\\" + kMain + " UninstallString=msiexec /x \"" + d + "Omrik Vindara.msi\" type 1",
        "HKLM\\" + kMain + " ModifyPath=" + d + " type 1",
        "HKLM\\" + kMain + " LocalPackage=" + d + "Omrik VindaraXXX.msi type 1",
    };
}

// The product installed with the given ClientLevel beside its main
// uninstall key.
Registration Installed(const std::string& clientLevel) {
    Registration r = Registered();
    r.clientLevel = Text(clientLevel);
    return r;
}

struct Row {
    const char* what;
    std::string args;
    int visible = 1;
    Registration before = {};
    Registration after = {};
    int fileMade = 1;
    int innerEnds = 1;
    unsigned long innerCode = 0;
    unsigned long exitCode = 0;
    CallLog calls;
};

void RunRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ": " + row.args);
        gStage = Stage();
        gStage.visible = row.visible;
        gStage.before = row.before;
        gStage.after = row.after;
        gStage.fileMade = row.fileMade;
        gStage.innerEnds = row.innerEnds;
        gStage.innerCode = row.innerCode;
        EXPECT_EQ(row.exitCode, (unsigned long)(unsigned)RunLauncher(Widened(row.args).c_str(),
                                                                     &kStandInOps));
        EXPECT_EQ(row.calls, gStage.log);
    }
}

TEST(Dispatch, FollowsExactlyOnePathBySwitchPrecedence) {
    const Registration installed = Installed("VNR/4.50");
    RunRows({
        {.what = "help", .args = "/?", .calls = {kHelpShown}},
        {.what = "help first", .args = "/vd /?", .calls = {kHelpShown}},
        {.what = "help first", .args = "/bl /?", .calls = {kHelpShown}},
        {.what = "help first", .args = "/l1036 /x /?", .before = installed,
         .calls = {kHelpShown}},
        {.what = "version", .args = "/vd", .calls = {kVersion}},
        {.what = "version first", .args = "/bl /vd", .calls = {kVersion}},
        {.what = "version first", .args = "/vd /x /l1036", .before = installed,
         .calls = {kVersion}},
        {.what = "build level", .args = "/bl", .calls = {kRead, kNotInstalled}},
        {.what = "build level first", .args = "/x /bl /l1036", .before = installed,
         .calls = {kRead, "box Build date :\t unknown\nClient Level :\t VNR/4.50\n"
                          "InstallDir :\t D:\\Apps\\\nInstallDate :\t 20261208\n"}},
        {.what = "a switch inside a value", .args = "INSTALLDIR=\"C:/bl/\"",
         .calls = {kRead, kNotInstalled}},
        {.what = "log first", .args = "/LOGRESOURCES /vd", .calls = Join(kLog, {kVersion})},
        {.what = "log first", .args = "/LOGRESOURCES /?",
         .calls = Join(kLog, {kHelpShown})},
        {.what = "log first", .args = "/bl /LOGRESOURCES",
         .calls = Join(kLog, {kRead, kNotInstalled})},
        {.what = "switches are case-sensitive", .args = "/logresources /vd",
         .calls = {kVersion}},
        {.what = "switches are case-sensitive", .args = "/VD", .calls = Install("/VD")},
        {.what = "switches are case-sensitive", .args = "/BL", .calls = Install("/BL")},
        {.what = "log then installation", .args = "/LOGRESOURCES",
         .calls = Join(kLog, Install("/LOGRESOURCES"))},
    });
}

// A file that cannot be made is no help and no Notepad; without a log the
// run goes on.
TEST(Dispatch, FilesThatCannotBeMadeChangeNothingElse) {
    RunRows({
        {.what = "help", .args = "/?", .fileMade = 0, .calls = {kHelpShown}},
        {.what = "log", .args = "/LOGRESOURCES /vd", .fileMade = 0,
         .calls = Join(kLog, {kVersion})},
    });
}

// In a window station nobody sees, no window is shown that nobody could
// close: no report box, no Notepad, no refusal dialog. The refusal itself,
// the help file, the log and the installation go on as anywhere else.
TEST(Dispatch, InvisibleStationShowsNothingAndRefusesAllTheSame) {
    const Registration installed = Installed("VNR/4.50");
    RunRows({
        {.what = "help", .args = "/?", .visible = 0, .calls = {kHelpFile}},
        {.what = "version", .args = "/vd", .visible = 0},
        {.what = "build level", .args = "/bl", .visible = 0, .before = installed},
        {.what = "log", .args = "/LOGRESOURCES /vd", .visible = 0, .calls = kLog},
        {.what = "refusal", .args = "/l1036", .visible = 0, .before = installed,
         .exitCode = 1, .calls = {kRead}},
        {.what = "installation", .args = "/l1036", .visible = 0,
         .calls = Install("/l1036")},
        {.what = "removal", .args = "/x", .visible = 0, .before = installed,
         .calls = {RunOf("/x")}},
    });
}

// The refusal dialog is the chosen language's, long form for an installed
// version below 4; the inner installer is not started.
TEST(Dispatch, RefusesAnInstallationInTheChosenLanguage) {
    const Registration v39 = Installed("VNR/3.9");
    const Registration v450 = Installed("VNR/4.50");
    RunRows({
        {.what = "no /l", .args = "", .before = v39, .exitCode = 1,
         .calls = {kRead, Dialog(1033)}},
        {.what = "short form", .args = "/l1036", .before = v450, .exitCode = 1,
         .calls = {kRead, Dialog(5036)}},
        {.what = "Norwegian", .args = "/l2068 /s", .before = v39, .exitCode = 1,
         .calls = {kRead, Dialog(2068)}},
        {.what = "no dialog for 1044", .args = "/l1044", .before = v39, .exitCode = 1,
         .calls = {kRead, Dialog(1033)}},
        {.what = "a blank after /l", .args = "/l 1036", .before = v450, .exitCode = 1,
         .calls = {kRead, Dialog(5033)}},
        {.what = "four digits only", .args = "/l10361", .before = v39, .exitCode = 1,
         .calls = {kRead, Dialog(1036)}},
        {.what = "/l anywhere", .args = "/s /v\"/qn\" /l1041", .before = v450, .exitCode = 1,
         .calls = {kRead, Dialog(5041)}},
        {.what = "upper-case X is no removal", .args = "/X", .before = v450, .exitCode = 1,
         .calls = {kRead, Dialog(5033)}},
        {.what = "ClientLevel without a version", .args = "/l1036",
         .before = Installed("VNR 4.50"), .after = Installed("VNR 4.50"),
         .calls = Join({kRead, RunOf("/l1036"), kRead}, Repairs("D:\\Apps\\"))},
    });
}

TEST(Dispatch, RemovalSkipsTheCheckAndTheRepairs) {
    const Registration installed = Installed("VNR/4.50");
    RunRows({
        {.what = "removal", .args = "/x", .before = installed, .after = installed,
         .innerCode = 1605, .exitCode = 1605, .calls = {RunOf("/x")}},
        {.what = "removal with more", .args = "/s /x /l1036 PROP=1", .before = installed,
         .after = installed, .calls = {RunOf("/s /x /l1036 PROP=1")}},
    });
}

// The repairs depend on whether the installation registered itself, not on
// the inner installer's exit code, which is the launcher's own.
TEST(Dispatch, RepairsWhatTheInstallationRegisteredAndExitsWithItsCode) {
    const Registration registered = Registered("D:\\Apps\\");
    Registration unusableDirectory = Registered();
    unusableDirectory.directory = Text("");
    RunRows({
        {.what = "registered", .args = "", .after = registered,
         .calls = Join(Install(""), Repairs("D:\\Apps\\"))},
        {.what = "not registered", .args = "/l1036", .innerCode = 1603, .exitCode = 1603,
         .calls = Install("/l1036")},
        {.what = "registered, restart needed", .args = "/qn", .after = registered,
         .innerCode = 3010, .exitCode = 3010, .calls = Join(Install("/qn"), Repairs("D:\\Apps\\"))},
        {.what = "registered, then crashed", .args = "/qn", .after = registered,
         .innerCode = 0xC0000005, .exitCode = 0xC0000005,
         .calls = Join(Install("/qn"), Repairs("D:\\Apps\\"))},
        {.what = "registered without a usable Directory", .args = "",
         .after = unusableDirectory, .calls = Join(Install(""), {Repairs("")[0]})},
    });
}

// Not started, or started but not waited for: the installation may still
// be going on, so nothing is read or repaired afterwards and the system's
// error code is the launcher's.
TEST(Dispatch, InnerInstallerThatDidNotRunToItsEndEndsTheRun) {
    const Registration registered = Registered();
    RunRows({
        {.what = "not found", .args = "", .after = registered, .innerEnds = 0, .innerCode = 2,
         .exitCode = 2, .calls = {kRead, RunOf("")}},
        {.what = "not found, removal", .args = "/x", .after = registered, .innerEnds = 0,
         .innerCode = 2, .exitCode = 2, .calls = {RunOf("/x")}},
        {.what = "folder path too long", .args = "/l1036 PROP=1", .after = registered,
         .innerEnds = 0, .innerCode = 206, .exitCode = 206,
         .calls = {kRead, RunOf("/l1036 PROP=1")}},
        {.what = "wait failed", .args = "", .after = registered, .innerEnds = 0,
         .innerCode = 6, .exitCode = 6, .calls = {kRead, RunOf("")}},
        // "_Setup.exe ", the text and its NUL: 32,767 characters at most.
        {.what = "longest command", .args = std::string(32755, 'a'), .after = registered,
         .innerEnds = 0, .innerCode = 2, .exitCode = 2,
         .calls = {kRead, RunOf(std::string(32755, 'a'))}},
        {.what = "command too long", .args = std::string(32756, 'a'), .after = registered,
         .exitCode = 206, .calls = {kRead}},
    });
}

TEST(Dispatch, HandsTheWholeArgumentTextToTheInnerInstaller) {
    auto ofLength = [](size_t length) {
        std::string text;
        while (text.size() < length)
            text += "/v\"INSTALLDIR=\\\"C:\\Omrik dir\\\"\" ";
        text.resize(length);
        return text;
    };
    std::vector<Row> rows;
    for (const std::string& args :
         {std::string(""), std::string(" "), std::string("\t/s  \"quoted value\"  "),
          ofLength(248), ofLength(249), ofLength(1000), ofLength(32000)})
        rows.push_back({.what = "arguments", .args = args, .calls = Install(args)});
    rows.push_back({.what = "removal", .args = "/x " + ofLength(1000),
                    .calls = {RunOf("/x " + ofLength(1000))}});
    RunRows(rows);
}

}  // namespace
