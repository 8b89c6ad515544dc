// The launcher's dispatch over stand-in operations that record every call
// with its arguments: which path runs, in which order, with which key paths,
// the fallback between the two key forms, and the exit codes.
#include "launcher/dispatch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> CallLog;

// Key paths written out here, independently of the product's tables.
const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kProduct = "SOFTWARE\\Omrik\\Moltrek";
const std::string kByName = kUninstallRoot + "Omrik Vindara";
const std::string kAlternate = kUninstallRoot + "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}";
const std::string kMain = kUninstallRoot + "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}";
const std::string kSourceList =
    "Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94\\SourceList";
const std::string kNetSource = kSourceList + "\\Net";

std::string Trailing(const std::string& path) {
    return path + "\\";
}

// What the stand-ins record and return. Every recorded call text is unique
// to its operation and arguments, so a result can be given per call.
struct Stage {
    CallLog log;
    std::map<std::string, int> results;
    int visible = 1;
    int runStarted = 1;
    unsigned long runCode = 0;
};

Stage gStage;

int Result(const std::string& call, int otherwise) {
    gStage.log.push_back(call);
    auto found = gStage.results.find(call);
    return found == gStage.results.end() ? otherwise : found->second;
}

std::string Call(const std::string& name, const std::vector<std::string>& args) {
    std::string text = name + "(";
    for (size_t i = 0; i < args.size(); i++)
        text += (i ? "," : "") + args[i];
    return text + ")";
}

// Expected call texts, in the stand-ins' own notation.
std::string ResourceLog() { return Call("writeResourceLog", {"c:\\LOGRESOURCES.txt"}); }
std::string HelpFile(int show = 1) { return Call("writeHelpFile", {std::to_string(show)}); }
std::string VersionDate() { return Call("showVersionDate", {}); }
std::string NotInstalled() { return Call("showNotInstalled", {}); }
std::string BuildLevel(const std::string& u, const std::string& p) {
    return Call("showBuildLevel", {u, p});
}
std::string Check(const std::string& u, const std::string& p, int language, int show = 1) {
    return Call("checkInstalledProduct", {u, p, std::to_string(language), std::to_string(show)});
}
std::string RunInner(const std::string& args) {
    return Call("runInnerInstaller", {"_Setup.exe " + args});
}
std::string ClientLevel(const std::string& u, const std::string& p) {
    return Call("hasClientLevel", {u, p});
}
std::string WriteBuild(const std::string& p) {
    return Call("writeBuildLevel", {p});
}
std::string SourceValue(const std::string& s, const std::string& v, const std::string& p) {
    return Call("rewriteSourceListValue", {s, v, p});
}
// The uninstall value's content by name: what the launcher asks to be put in.
const char* const kUninstallValueNames[] = {"removal command", "directory", "package copy"};
std::string UninstallValue(const std::string& u, const std::string& v, UninstallValue what,
                           const std::string& p) {
    return Call("rewriteUninstallValue", {u, v, kUninstallValueNames[what], p});
}

// The six probing pairs and the main pair in both forms.
std::vector<std::pair<std::string, std::string>> ProbingPairs() {
    return {
        {kByName, kProduct},
        {kAlternate, kProduct},
        {kMain, kProduct},
        {Trailing(kByName), Trailing(kProduct)},
        {Trailing(kAlternate), Trailing(kProduct)},
        {Trailing(kMain), Trailing(kProduct)},
    };
}

CallLog Checks(int count, int language, int show = 1) {
    CallLog calls;
    auto pairs = ProbingPairs();
    for (int i = 0; i < count; i++)
        calls.push_back(Check(pairs[i].first, pairs[i].second, language, show));
    return calls;
}

CallLog AllChecks(int language) {
    return Checks(6, language);
}

std::string ClientLevelPair3() { return ClientLevel(kMain, kProduct); }
std::string ClientLevelPair6() { return ClientLevel(Trailing(kMain), Trailing(kProduct)); }

// One repair call in the trailing-backslash form (pair 6 with the trailing
// Installer keys) or the plain form (pair 3 with the plain keys).
std::string RepairCall(int repair, bool trailing) {
    auto form = [trailing](const std::string& path) { return trailing ? Trailing(path) : path; };
    const std::string u = form(kMain);
    const std::string p = form(kProduct);
    switch (repair) {
    case 0:
        return WriteBuild(p);
    case 1:
        return SourceValue(form(kSourceList), "LastUsedSource", p);
    case 2:
        return SourceValue(form(kNetSource), "1", p);
    case 3:
        return UninstallValue(u, "UninstallString", kRemovalCommand, p);
    case 4:
        return UninstallValue(u, "ModifyPath", kInstallDirectory, p);
    default:
        return UninstallValue(u, "LocalPackage", kPackageCopy, p);
    }
}

// Appends what one piece of a run is expected to call.
CallLog& operator+=(CallLog& log, const CallLog& more) {
    log.insert(log.end(), more.begin(), more.end());
    return log;
}

CallLog& operator+=(CallLog& log, const std::string& call) {
    log.push_back(call);
    return log;
}

CallLog Join(CallLog first, const CallLog& then) {
    first += then;
    return first;
}

// Stand-ins. The product hands strings that must stay NUL-terminated; each
// one is copied into the log as a std::string.
int WriteResourceLogStandIn(const char* path) { return Result(Call("writeResourceLog", {path}), 1); }
// The station's visibility is a question, not a step: it is not logged.
int WindowStationVisibleStandIn() { return gStage.visible; }
void WriteHelpFileStandIn(int show) { Result(HelpFile(show), 0); }
void ShowVersionDateStandIn() { Result(Call("showVersionDate", {}), 0); }
int ShowBuildLevelStandIn(const char* u, const char* p) { return Result(BuildLevel(u, p), 0); }
void ShowNotInstalledStandIn() { Result(Call("showNotInstalled", {}), 0); }
int CheckInstalledProductStandIn(const char* u, const char* p, int language, int show) {
    return Result(Check(u, p, language, show), 0);
}
int RunInnerInstallerStandIn(char* commandLine, unsigned long* exitCode) {
    // The platform may write into the command line: it must be writable.
    for (char* c = commandLine; *c; c++)
        *c = *c;
    Result(Call("runInnerInstaller", {commandLine}), 0);
    *exitCode = gStage.runCode;
    return gStage.runStarted;
}
int HasClientLevelStandIn(const char* u, const char* p) { return Result(ClientLevel(u, p), 0); }
int WriteBuildLevelStandIn(const char* p) { return Result(WriteBuild(p), 1); }
int RewriteSourceListValueStandIn(const char* s, const char* v, const char* p) {
    return Result(SourceValue(s, v, p), 1);
}
int RewriteUninstallValueStandIn(const char* u, const char* v, enum UninstallValue what,
                                 const char* p) {
    return Result(UninstallValue(u, v, what, p), 1);
}

const LauncherOps kStandInOps = {
    WindowStationVisibleStandIn,  WriteResourceLogStandIn,       WriteHelpFileStandIn,
    ShowVersionDateStandIn,       ShowBuildLevelStandIn,         ShowNotInstalledStandIn,
    CheckInstalledProductStandIn, RunInnerInstallerStandIn,      HasClientLevelStandIn,
    WriteBuildLevelStandIn,       RewriteSourceListValueStandIn, RewriteUninstallValueStandIn,
};

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { gStage = Stage(); }

    int Launch(const std::string& args) { return RunLauncher(args.c_str(), &kStandInOps); }
};

// An installation where nothing is installed and nothing registers itself.
CallLog PlainInstall(const std::string& args, int language) {
    CallLog calls = AllChecks(language);
    calls += RunInner(args);
    calls += ClientLevelPair3();
    calls += ClientLevelPair6();
    return calls;
}

CallLog BuildLevelNotInstalled() {
    return {BuildLevel(Trailing(kMain), Trailing(kProduct)), BuildLevel(kMain, kProduct),
            NotInstalled()};
}

TEST_F(Dispatch, FollowsExactlyOnePathBySwitchPrecedence) {
    const CallLog logged = {ResourceLog()};
    const struct {
        std::string args;
        CallLog expected;
    } cases[] = {
        {"/?", {HelpFile()}},
        {"/? /vd", {HelpFile()}},
        {"/vd /?", {HelpFile()}},
        {"/bl /?", {HelpFile()}},
        {"/l1036 /x /?", {HelpFile()}},
        {"/vd", {VersionDate()}},
        {"/vd /bl", {VersionDate()}},
        {"/bl /vd", {VersionDate()}},
        {"/vd /x /l1036", {VersionDate()}},
        {"/bl", BuildLevelNotInstalled()},
        {"/bl /x", BuildLevelNotInstalled()},
        {"/x /bl /l1036", BuildLevelNotInstalled()},
        {"INSTALLDIR=\"C:/bl/\"", BuildLevelNotInstalled()},  // a switch inside a value
        {"/LOGRESOURCES /vd", Join(logged, {VersionDate()})},
        {"/LOGRESOURCES /?", Join(logged, {HelpFile()})},
        {"/bl /LOGRESOURCES", Join(logged, BuildLevelNotInstalled())},
        {"/logresources /vd", {VersionDate()}},
        {"/VD", PlainInstall("/VD", 1033)},
        {"/BL", PlainInstall("/BL", 1033)},
        {"/LOGRESOURCES", Join(logged, PlainInstall("/LOGRESOURCES", 1033))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        SetUp();
        EXPECT_EQ(0, Launch(c.args));
        EXPECT_EQ(c.expected, gStage.log);
    }
}

// In a window station nobody sees, no window is shown that nobody could
// close: no report box, no Notepad, no refusal dialog. The refusal itself,
// the help file, the log and the installation go on as anywhere else.
TEST_F(Dispatch, InvisibleStationShowsNothingAndRefusesAllTheSame) {
    const std::string pair3 = Check(kMain, kProduct, 1036, 0);
    const struct {
        std::string args;
        bool installed;
        int exitCode;
        CallLog expected;
    } cases[] = {
        {"/?", false, 0, {HelpFile(0)}},
        {"/vd", false, 0, {}},
        {"/bl", true, 0, {}},
        {"/LOGRESOURCES /vd", false, 0, {ResourceLog()}},
        {"/l1036", true, 1, Checks(3, 1036, 0)},
        {"/l1036", false, 0, Join(Checks(6, 1036, 0), {RunInner("/l1036"), ClientLevelPair3(),
                                                      ClientLevelPair6()})},
        {"/x", true, 0, {RunInner("/x")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args + (c.installed ? " installed" : ""));
        SetUp();
        gStage.visible = 0;
        if (c.installed) {
            gStage.results[pair3] = 1;
            gStage.results[BuildLevel(Trailing(kMain), Trailing(kProduct))] = 1;
        }
        EXPECT_EQ(c.exitCode, Launch(c.args));
        EXPECT_EQ(c.expected, gStage.log);
    }
}

TEST_F(Dispatch, LogThatCannotBeWrittenChangesNothing) {
    gStage.results[ResourceLog()] = 0;
    EXPECT_EQ(0, Launch("/LOGRESOURCES /vd"));
    EXPECT_EQ((CallLog{ResourceLog(), VersionDate()}), gStage.log);
}

TEST_F(Dispatch, BuildLevelTriesTrailingThenPlainThenReportsNotInstalled) {
    const std::string trailing = BuildLevel(Trailing(kMain), Trailing(kProduct));
    const std::string plain = BuildLevel(kMain, kProduct);
    const struct {
        int trailingShown;
        int plainShown;
        CallLog expected;
    } cases[] = {
        {1, 1, {trailing}},
        {1, 0, {trailing}},
        {0, 1, {trailing, plain}},
        {0, 0, {trailing, plain, NotInstalled()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.trailingShown) + std::to_string(c.plainShown));
        SetUp();
        gStage.results[trailing] = c.trailingShown;
        gStage.results[plain] = c.plainShown;
        EXPECT_EQ(0, Launch("/bl"));
        EXPECT_EQ(c.expected, gStage.log);
    }
}

TEST_F(Dispatch, ProbesTheSixPairsInOrderAndStopsAtTheFirstRefusal) {
    const CallLog all = AllChecks(1033);
    // The exact key paths of the six probes.
    const CallLog literal = {
        "checkInstalledProduct(SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "Omrik Vindara,SOFTWARE\\Omrik\\Moltrek,1033,1)",
        "checkInstalledProduct(SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365},SOFTWARE\\Omrik\\Moltrek,1033,1)",
        "checkInstalledProduct(SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249},SOFTWARE\\Omrik\\Moltrek,1033,1)",
        "checkInstalledProduct(SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "Omrik Vindara\\,SOFTWARE\\Omrik\\Moltrek\\,1033,1)",
        "checkInstalledProduct(SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}\\,SOFTWARE\\Omrik\\Moltrek\\,1033,1)",
        "checkInstalledProduct(SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
        "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}\\,SOFTWARE\\Omrik\\Moltrek\\,1033,1)",
    };
    ASSERT_EQ(literal, all);

    for (int refusing = 1; refusing <= 6; refusing++) {
        SCOPED_TRACE(refusing);
        SetUp();
        gStage.results[all[refusing - 1]] = 1;
        // A later pair that would also refuse is never reached.
        if (refusing < 6)
            gStage.results[all[5]] = 1;
        EXPECT_EQ(kAlreadyInstalledExitCode, Launch(""));
        EXPECT_EQ(Checks(refusing, 1033), gStage.log);
    }
    EXPECT_EQ(1, kAlreadyInstalledExitCode);
}

TEST_F(Dispatch, PassesTheSelectedLanguageToEveryProbe) {
    const struct {
        std::string args;
        int language;
    } cases[] = {
        {"", 1033},        {"/l1036", 1036}, {"/l2068 /s", 2068},
        {"/l1044", 1033},  {"/l 1036", 1033}, {"/s /v\"/qn\" /l1041", 1041},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        SetUp();
        EXPECT_EQ(0, Launch(c.args));
        EXPECT_EQ(PlainInstall(c.args, c.language), gStage.log);
    }
}

TEST_F(Dispatch, UninstallSwitchSkipsTheCheckAndTheRepairs) {
    for (const auto& check : AllChecks(1033))
        gStage.results[check] = 1;
    gStage.results[ClientLevelPair3()] = 1;
    gStage.results[ClientLevelPair6()] = 1;
    gStage.runCode = 1605;
    EXPECT_EQ(1605, Launch("/x"));
    EXPECT_EQ((CallLog{RunInner("/x")}), gStage.log);

    SetUp();
    EXPECT_EQ(0, Launch("/s /x /l1036 PROP=1"));
    EXPECT_EQ((CallLog{RunInner("/s /x /l1036 PROP=1")}), gStage.log);
}

TEST_F(Dispatch, UpperCaseXIsNotTheUninstallSwitch) {
    gStage.results[Check(kMain, kProduct, 1033)] = 1;
    EXPECT_EQ(1, Launch("/X"));
    EXPECT_EQ(Checks(3, 1033), gStage.log);
}

TEST_F(Dispatch, RepairsOnlyWhenTheInstallationRegisteredItself) {
    CallLog repairs;
    for (int repair = 0; repair < 6; repair++)
        repairs += RepairCall(repair, true);
    const struct {
        int pair3;
        int pair6;
        CallLog after;
    } cases[] = {
        {0, 0, {ClientLevelPair3(), ClientLevelPair6()}},
        {1, 0, Join({ClientLevelPair3()}, repairs)},
        {1, 1, Join({ClientLevelPair3()}, repairs)},
        {0, 1, Join({ClientLevelPair3(), ClientLevelPair6()}, repairs)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pair3) + std::to_string(c.pair6));
        SetUp();
        gStage.results[ClientLevelPair3()] = c.pair3;
        gStage.results[ClientLevelPair6()] = c.pair6;
        EXPECT_EQ(0, Launch(""));
        CallLog expected = AllChecks(1033);
        expected += RunInner("");
        expected += c.after;
        EXPECT_EQ(expected, gStage.log);
    }
}

TEST_F(Dispatch, RepairsRunInOrderWithTheExactKeysAndValues) {
    // Every trailing-backslash call does nothing, so each is followed by
    // its plain twin.
    for (int repair = 0; repair < 6; repair++)
        gStage.results[RepairCall(repair, true)] = 0;
    gStage.results[ClientLevelPair3()] = 1;
    EXPECT_EQ(0, Launch(""));
    const std::string u = kUninstallRoot + "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}";
    const std::string p = "SOFTWARE\\Omrik\\Moltrek";
    const std::string s =
        "Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94\\SourceList";
    CallLog expected = AllChecks(1033);
    expected += RunInner("");
    expected += ClientLevelPair3();
    expected += CallLog{
        "writeBuildLevel(" + p + "\\)",
        "writeBuildLevel(" + p + ")",
        "rewriteSourceListValue(" + s + "\\,LastUsedSource," + p + "\\)",
        "rewriteSourceListValue(" + s + ",LastUsedSource," + p + ")",
        "rewriteSourceListValue(" + s + "\\Net\\,1," + p + "\\)",
        "rewriteSourceListValue(" + s + "\\Net,1," + p + ")",
        "rewriteUninstallValue(" + u + "\\,UninstallString,removal command," + p + "\\)",
        "rewriteUninstallValue(" + u + ",UninstallString,removal command," + p + ")",
        "rewriteUninstallValue(" + u + "\\,ModifyPath,directory," + p + "\\)",
        "rewriteUninstallValue(" + u + ",ModifyPath,directory," + p + ")",
        "rewriteUninstallValue(" + u + "\\,LocalPackage,package copy," + p + "\\)",
        "rewriteUninstallValue(" + u + ",LocalPackage,package copy," + p + ")",
    };
    EXPECT_EQ(expected, gStage.log);
}

TEST_F(Dispatch, PlainFormRunsOnlyAfterTheTrailingFormDidNothing) {
    // Every combination of trailing-form results; the plain results vary
    // too and must change nothing.
    for (int mask = 0; mask < 64; mask++) {
        SCOPED_TRACE(mask);
        SetUp();
        gStage.results[ClientLevelPair3()] = 1;
        CallLog expected = AllChecks(1033);
        expected += RunInner("PROP=1");
        expected += ClientLevelPair3();
        for (int repair = 0; repair < 6; repair++) {
            const int trailingDone = (mask >> repair) & 1;
            gStage.results[RepairCall(repair, true)] = trailingDone;
            gStage.results[RepairCall(repair, false)] = (mask + repair) & 1;
            expected += RepairCall(repair, true);
            if (!trailingDone)
                expected += RepairCall(repair, false);
        }
        EXPECT_EQ(0, Launch("PROP=1"));
        EXPECT_EQ(expected, gStage.log);
    }
}

TEST_F(Dispatch, ExitsWithTheInnerInstallersOwnCode) {
    for (unsigned long code : {0ul, 1ul, 1602ul, 1603ul, 3010ul, 0xC0000005ul}) {
        for (int registered : {0, 1}) {
            SCOPED_TRACE(std::to_string(code) + " registered " + std::to_string(registered));
            SetUp();
            gStage.runCode = code;
            gStage.results[ClientLevelPair3()] = registered;
            EXPECT_EQ(code, (unsigned long)(unsigned int)Launch("/l1036"));
            CallLog expected = AllChecks(1036);
            expected += RunInner("/l1036");
            expected += ClientLevelPair3();
            if (registered) {
                for (int repair = 0; repair < 6; repair++)
                    expected += RepairCall(repair, true);
            } else {
                expected += ClientLevelPair6();
            }
            EXPECT_EQ(expected, gStage.log);
        }
        SCOPED_TRACE(std::to_string(code) + " uninstalling");
        SetUp();
        gStage.runCode = code;
        EXPECT_EQ(code, (unsigned long)(unsigned int)Launch("/x"));
    }
}

// Not started, or started but not waited for: the installation may still
// be going on, so nothing is repaired and the system's error code is the
// launcher's.
TEST_F(Dispatch, InnerInstallerThatDidNotRunToItsEndEndsTheRunWithTheErrorCode) {
    const struct {
        const char* args;
        unsigned long error;
    } cases[] = {
        {"", 2},                 // not found
        {"/x", 2},               // not found, removal
        {"/l1036 PROP=1", 206},  // the launcher's folder path is too long
        {"", 6},                 // the wait failed: invalid handle
        {"/l1036 PROP=1", 31},   // the wait failed without a reason
    };
    for (const auto& c : cases) {
        const std::string args = c.args;
        SCOPED_TRACE(args + " error " + std::to_string(c.error));
        SetUp();
        gStage.runStarted = 0;
        gStage.runCode = c.error;
        gStage.results[ClientLevelPair3()] = 1;
        EXPECT_EQ(c.error, (unsigned long)Launch(args));
        ASSERT_FALSE(gStage.log.empty());
        EXPECT_EQ(RunInner(args), gStage.log.back());
        for (const std::string& call : gStage.log) {
            EXPECT_EQ(std::string::npos, call.find("hasClientLevel")) << call;
            EXPECT_EQ(std::string::npos, call.find("rewrite")) << call;
            EXPECT_EQ(std::string::npos, call.find("writeBuildLevel")) << call;
        }
    }
}

TEST_F(Dispatch, HandsTheWholeArgumentTextToTheInnerInstaller) {
    auto ofLength = [](size_t length) {
        std::string text;
        while (text.size() < length)
            text += "/v\"INSTALLDIR=\\\"C:\\Omrik dir\\\"\" ";
        text.resize(length);
        return text;
    };
    const std::string cases[] = {
        "",
        " ",
        "/s",
        "/s /v\"/qn ADDLOCAL=VNRCommon,Lapvane\"",
        "\t/s  \"quoted value\"  ",
        ofLength(248),
        ofLength(249),
        ofLength(1000),
        ofLength(32000),
        "/x " + ofLength(1000),
    };
    for (const std::string& args : cases) {
        SCOPED_TRACE(args.size());
        SetUp();
        EXPECT_EQ(0, Launch(args));
        bool ran = false;
        for (const std::string& call : gStage.log) {
            if (call.rfind("runInnerInstaller(", 0) == 0) {
                EXPECT_FALSE(ran) << "the inner installer ran twice";
                ran = true;
                EXPECT_EQ(RunInner(args), call);
            }
        }
        EXPECT_TRUE(ran);
    }
}

}  // namespace
