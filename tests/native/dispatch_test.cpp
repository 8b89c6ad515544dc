// The launcher's whole run over stand-in primitives: a what-if run ends as
// the real run does when the inner installer succeeds, and an installation
// writes its record line by line as it goes.
#include "launcher/dispatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/registration_values.h"
#include "tests/support/version_text.h"

namespace {

// What the stand-ins answer, and what was done to the system.
struct Stage {
    int whatIf = 0;
    Reason unattended = kNoReason;
    int visible = 1;
    unsigned long session = 1;
    int startShow = -1;
    int shell = 0;
    const unsigned char* user = nullptr;  // null: an ordinary user
    unsigned long windowError = 0;
    Reason innerProblem = kNoReason;
    unsigned long innerError = 0;
    const char* innerHead = "MZ";
    Registration before = {}, after = {};
    unsigned long innerExitCode = 0;
    WriteResult results[kRepairCount] = {};
    int reads = 0, writes = 0;
    unsigned long tick = 1000;
    std::string record;
    std::vector<std::string> done;
};
Stage* gStage;
const unsigned char kUserSid[] = {1, 1, 0, 0, 0, 0, 0, 5, 7, 0, 0, 0};  // S-1-5-7

void ReadSettings(RunSettings* s) {
    *s = {};
    s->whatIf = gStage->whatIf;
    s->unattended = gStage->unattended;
    s->visible = gStage->visible;
    s->elevated = 1;
    s->processId = 4242;
    s->session = gStage->session;
    s->startShow = gStage->startShow;
    s->desktopShell = gStage->shell;
    s->user = gStage->user ? gStage->user : kUserSid;
    s->windows = {10, 0, 19045};
    const wchar_t* texts[kTextCount] = {L"E:\\Setup.exe", L"C:\\Users\\ann", L"PC-7", L"ann"};
    for (int i = 0; i < kTextCount; i++)
        (void)CopyText(s->texts[i], kTextBufSize, texts[i]);
    (void)CopyText(s->recordPath, kTextBufSize, L"C:\\logs\\setup.log");
    (void)CopyText(s->innerInstaller, kTextBufSize, L"E:\\_Setup.exe");
    s->innerProblem = gStage->innerProblem;
    s->innerError = gStage->innerError;
    memcpy(s->innerHead, gStage->innerHead, strlen(gStage->innerHead));
}
unsigned long MakeWindow() {
    return gStage->windowError;
}
void Clock(RecordTime* time) {
    *time = {{2026, 12, 3, 9, 8, 5, 3, 7}, gStage->tick += 25};
}
void Describe(unsigned long code, wchar_t* text, size_t cap) {
    swprintf(text, cap, L"text of %lu", code);
}
void* OpenRecord(const wchar_t*, const RunSettings*) {
    return &gStage->record;
}
int WriteRecord(void* file, const char* bytes, size_t length) {
    static_cast<std::string*>(file)->append(bytes, length);
    return 1;
}
void ReadRegistration(Registration* registration) {
    *registration = gStage->reads++ ? gStage->after : gStage->before;
}
void MeasureResources(ResourceFigures* figures) {
    *figures = {};
}
void* WriteFile(const wchar_t*, const char*, size_t) {
    gStage->done.push_back("writeFile");
    return gStage;
}
void ShowFile(const wchar_t*, void*) {
    gStage->done.push_back("showFile");
}
void CloseFile(void*) {}
void ShowReport(const wchar_t*) {
    gStage->done.push_back("showReport");
}
void ShowDialog(int dialogId) {
    gStage->done.push_back("showDialog " + std::to_string(dialogId));
}
int StartProgram(const wchar_t*, wchar_t*, ProgramRun* run, void*) {
    gStage->done.push_back("startProgram");
    *run = {nullptr, 77, 0};
    return 1;
}
int WaitProgram(ProgramRun* run) {
    run->exitCode = gStage->innerExitCode;
    return 1;
}
WriteResult WriteValue(const RegistryWrite* write) {
    gStage->done.push_back(std::string("writeValue ") + NameOf(write->value));
    return gStage->results[gStage->writes++];
}

const LauncherOps kOps = {
    .readSettings = ReadSettings,
    .createWindow = MakeWindow,
    .readClock = Clock,
    .openRecord = OpenRecord,
    .writeRecord = WriteRecord,
    .describeCode = Describe,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteFile,
    .showFile = ShowFile,
    .closeFile = CloseFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .startProgram = StartProgram,
    .waitProgram = WaitProgram,
    .writeValue = WriteValue,
};

int RunStaged(Stage* stage, const std::string& args) {
    gStage = stage;
    return RunLauncher(Widened(args).c_str(), &kOps);
}

std::string LastLine(const std::string& record) {
    const size_t start = record.rfind("] ", record.size() - 2) + 2;
    return record.substr(start);
}

Registration Installed(const std::string& clientLevel) {
    Registration r = Registered();
    r.values[kClientLevelId] = Text(clientLevel);
    return r;
}

// Each row: the real run's exit code, the primitives it calls and lines of
// its record; a what-if run ends with the same code and last line, and only
// reads, where the real run reads before anything.
TEST(RunLauncher, EachPathCallsItsPrimitivesAndRecordsWhy) {
    const Registration installed = Installed("VNR/4.50");
    const struct {
        const char* what;
        std::string args;
        Stage stage;
        int exitCode;
        int reads;  // before the run
        std::vector<std::string> done;
        std::vector<std::string> lines;
    } rows[] = {
        {"help", "/?", {}, 0, 0, {"writeFile", "showFile"},
         {"why: /? was given", "notepad as: the launcher's user"}},
        {"version", "/vd", {}, 0, 0, {"showReport"}, {"why: /vd was given", "show: yes"}},
        {"build level", "/bl", {.before = installed}, 0, 1, {"showReport"},
         {"why: /bl was given"}},
        {"refusal", "/l1036", {.before = installed}, 1, 1, {"showDialog 5036"},
         {"why: ClientLevel names a version and an uninstall key exists", "dialog: 5036"}},
        {"unattended refusal", "", {.unattended = kAskedByPolicy, .before = installed}, 1, 1, {},
         {"unattended by: policy", "show: no", "why not shown: no window was asked for"}},
        {"unattended help", "/?", {.unattended = kAskedByEnvironment}, 0, 0, {"writeFile"},
         {"unattended by: environment", "why not shown: no window was asked for"}},
        {"invisible version", "/vd", {.visible = 0}, 0, 0, {},
         {"why not shown: the window station is not visible"}},
        {"session 0 box", "/bl", {.session = 0}, 0, 1, {}, {"why not shown: nobody sees session 0"}},
        {"hidden box", "/vd", {.startShow = 0}, 0, 0, {},
         {"why not shown: the launcher was started hidden"}},
        {"a shell without a token", "/?", {.shell = 1}, 0, 0, {"writeFile"},
         {"why not shown: the desktop's shell gave no token to start Notepad with"}},
        {"SYSTEM without a shell", "/?", {.user = kLocalSystemSid}, 0, 0, {"writeFile"},
         {"why not shown: no desktop shell, and the launcher runs as SYSTEM"}},
        {"installation", "/s /v\"/qn\"", {}, 0, 1, {"startProgram"},
         {"why: no installed product was found", "repairs: none, the installation did not register"}},
        {"removal", "/x", {.before = installed}, 0, 1, {"startProgram"},
         {"why: /x was given: no check and no repairs"}},
        {"no _Setup.exe", "/qn", {.innerProblem = kInnerNotOpened, .innerError = 2}, 2, 1, {},
         {"why: _Setup.exe cannot be opened beside the launcher", "exit code: 2 (not started)"}},
        {"no room for its path", "/x", {.innerProblem = kNoRoomForInner, .innerError = 206}, 206,
         1, {}, {"why: the launcher's folder leaves no room for _Setup.exe's path"}},
        {"not a program", "/qn", {.innerHead = "PK"}, 193, 1, {},
         {"why: _Setup.exe is empty or not a program"}},
        {"a command line too long", std::string(32767 - 11, 'a'), {}, 206, 1, {},
         {"why: the command line is longer than Windows starts a program with"}},
        {"no window", "/qn", {.windowError = 1400}, 1400, 0, {},
         {"window: not created, error 1400", "exit code: 1400 (not started)"}},
        {"no window for a report", "/vd", {.windowError = 1400}, 1400, 0, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Stage real = row.stage, whatIf = row.stage;
        whatIf.whatIf = 1;
        EXPECT_EQ(row.exitCode, RunStaged(&real, row.args));
        EXPECT_EQ(row.done, real.done);
        for (const std::string& line : row.lines)
            EXPECT_NE(std::string::npos, real.record.find("] " + line + "\r\n")) << line;
        EXPECT_EQ(row.exitCode, RunStaged(&whatIf, row.args));
        EXPECT_EQ(LastLine(real.record), LastLine(whatIf.record));
        EXPECT_TRUE(whatIf.done.empty()) << whatIf.done[0];
        EXPECT_EQ(row.reads, whatIf.reads);
    }
}

// A registered installation with a per-user source key the read holds
// open, Directory expandable, Build Level missing; one write fails and one
// goes through the fallback form.
TEST(RunLauncher, InstallationRecordReadsAsItRan) {
    Stage stage;
    stage.after = Registered("D:\\Apps\\");
    stage.after.values[kDirectoryId] = Text("D:\\Apps\\", kRegExpandSz);
    int held = 0;
    stage.after.opened[kSourceListKeyId] = 1;
    stage.after.held[kSourceListKeyId] = &held;
    stage.innerExitCode = 3010;
    const WriteResult results[kRepairCount] = {{kWritten, 0}, {kWritten, 0}, {kWriteFailed, 5},
                                               {kWrittenThroughFallback, 0}, {kWritten, 0},
                                               {kWritten, 0}};
    std::copy(results, results + kRepairCount, stage.results);
    EXPECT_EQ(3010, RunStaged(&stage, "/s /v\"/qn PIDKEY=12345\""));
    const std::string uninstall = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::string products =
        "HKCU\\Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94\\";
    const char* lines[] = {
        "run: 2026-12-09T08:05:03.007Z",
        "launcher: " VERSION_REPORT_TEXT,
        "file: E:\\Setup.exe",
        "current directory: C:\\Users\\ann",
        "computer: PC-7",
        "user: ann",
        "session: 1",
        "windows: 10.0.19045",
        "elevated: yes",
        "visible: yes",
        "unattended: no",
        "what-if: no",
        "arguments: /s /v\"/qn PIDKEY=***\"",
        "before product key: missing (HKLM\\SOFTWARE\\Omrik\\Moltrek)",
        nullptr,  // the other keys, each missing with its path
        "path: installation",
        "why: no installed product was found",
        "inner command: _Setup.exe /s /v\"/qn PIDKEY=***\"",
        "inner process: 77",
        "inner run: 25 ms",
        "inner exit code: 3010 (text of 3010)",
        "after product key: opened",
        "after product key\\ClientLevel: REG_SZ VNR 4.50",
        "after product key\\Build Level: missing",
        "after product key\\Directory: REG_EXPAND_SZ D:\\Apps\\",
        "after uninstall key by name: missing",
        "after alternate uninstall key: missing",
        "after main uninstall key: opened",
        "after main uninstall key\\InstallDate: REG_SZ 20261208",
        "after source list key: opened",
        "after source list key\\LastUsedSource: REG_SZ n;1;E:\\Media\\",
        "after network source key: missing",
        "repairs: 6 planned",
        "write product key\\Build Level: written, REG_SZ " SETUP_BUILD_DATE,
        "write source list key\\LastUsedSource: written, REG_EXPAND_SZ n;1;D:\\Apps\\",
        "write network source key\\1: failed with error 5, REG_EXPAND_SZ D:\\Apps\\",
        "write main uninstall key\\UninstallString: written through the fallback form, "
        "REG_EXPAND_SZ msiexec /x \"D:\\Apps\\Omrik Vindara.msi\"",
        "write main uninstall key\\ModifyPath: written, REG_EXPAND_SZ D:\\Apps\\",
        "write main uninstall key\\LocalPackage: written, REG_EXPAND_SZ D:\\Apps\\Omrik VindaraXXX.msi",
        "run time: 1125 ms",  // 45 readings of the clock after the first
        "exit code: 3010 (restart required)",
    };
    const std::string missing[][2] = {
        {"uninstall key by name", uninstall + "Omrik Vindara"},
        {"alternate uninstall key", uninstall + "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}"},
        {"main uninstall key", uninstall + "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}"},
        {"source list key", products + "SourceList"},
        {"network source key", products + "SourceList\\Net"}};
    const std::string prefix = "[4242 08:05:03.007] ";  // the stand-in clock stands still
    std::string expected;
    for (const char* line : lines) {
        for (const auto& key : missing)
            expected += line ? "" : prefix + "before " + key[0] + ": missing (" + key[1] + ")\r\n";
        expected += line ? prefix + line + "\r\n" : "";
    }
    EXPECT_EQ(expected, stage.record);
    EXPECT_EQ(std::vector<std::string>({"startProgram", "writeValue Build Level",
                                        "writeValue LastUsedSource", "writeValue 1",
                                        "writeValue UninstallString", "writeValue ModifyPath",
                                        "writeValue LocalPackage"}),
              stage.done);
}

}  // namespace
