// The run record end to end: asked for through the environment or the
// machine policy, written line by line as the run goes in UTF-8 with CR LF
// lines, each line's process id telling overlapping runs apart, secrets
// masked, never written through a link nor at the cost of the run, and
// kept when the run is killed or the file is held by others; the what-if
// mode, which records a run without doing any of it; and the unattended
// setting, which shows no window. Many runs at once, a disk that fills and
// a path of any form the system takes leave every record whole.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "resources/resource_ids.h"
#include "tests/e2e/launcher_fixture.h"

typedef std::vector<std::string> Record;

static const char kPolicyKey[] = "SOFTWARE\\Policies\\Omrik\\Vindara\\Setup";
static const char kResourceLog[] = "C:\\LOGRESOURCES.txt";
static const char kDirectory[] = "D:\\Apps\\";

// The desktop's shell window, which Windows' shell registers; a test's own
// window stands in for it. Exported by user32, declared by no header here.
extern "C" __declspec(dllimport) BOOL WINAPI SetShellWindow(HWND window);

// The runs in a record's bytes, in the order they began, each as its lines
// without their "[pid hh:mm:ss.mmm] " prefix and line end. The form is
// checked on the way: UTF-8, every line ended by CR LF and prefixed, no
// empty line, and each run's lines, told apart by its process id, starting
// with "run".
static std::vector<Record> RecordsIn(const std::string& bytes) {
    EXPECT_TRUE(bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                     (int)bytes.size(), NULL, 0) > 0)
        << "not UTF-8: " << Printable(bytes);
    std::vector<Record> records;
    std::map<std::string, size_t> runOf;  // a process id's run
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = bytes.substr(start, end - start);
        const size_t close = line.find("] ");
        const size_t blank = line.find(' ');
        EXPECT_TRUE(line[0] == '[' && blank < close && close == blank + 13 &&
                    line.find_first_of("\r\n") == std::string::npos)
            << "not a line of the record: " << Printable(line);
        if (close == std::string::npos)
            continue;
        const std::string id = line.substr(1, blank - 1), text = line.substr(close + 2);
        if (text.compare(0, 5, "run: ") == 0) {
            runOf[id] = records.size();
            records.emplace_back();
        }
        EXPECT_TRUE(runOf.count(id)) << "a line of no run: " << line;
        if (runOf.count(id))
            records[runOf[id]].push_back(text);
    }
    EXPECT_EQ(start, bytes.size()) << "the file does not end with CR LF";
    return records;
}

// The runs in a file; none when there is no file.
static std::vector<Record> ReadRecords(const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? RecordsIn(bytes) : std::vector<Record>();
}

// The value of the first line "name: value", or a text no value is.
static std::string Value(const Record& record, const std::string& name) {
    for (const std::string& line : record) {
        if (line.compare(0, name.size() + 2, name + ": ") == 0)
            return line.substr(name.size() + 2);
    }
    return "(no line " + name + ")";
}

static size_t Count(const Record& record, const std::string& start) {
    size_t count = 0;
    for (const std::string& line : record)
        count += line.compare(0, start.size(), start) == 0;
    return count;
}

// A run's line names in their order, without their values.
static std::vector<std::string> Names(const Record& record) {
    std::vector<std::string> names;
    for (const std::string& line : record)
        names.push_back(line.substr(0, line.find(": ")));
    return names;
}

static std::string Lines(const Record& record) {
    std::string text;
    for (const std::string& line : record)
        text += "\n  " + line;
    return text;
}

// How a run that ended with this code ends its record.
static std::string Ended(DWORD exitCode, const char* outcome) {
    return std::to_string(exitCode) + " (" + outcome + ")";
}

// Each key's full path, which a run's record names once.
static std::vector<std::string> KeyPaths() {
    std::vector<std::string> paths;
    for (int key = 0; key < kKeyCount; key++)
        paths.push_back(std::string(kRegistrationKeys[key].root == kCurrentUser ? "HKCU\\"
                                                                                : "HKLM\\") +
                        PlainPath((KeyId)key).text);
    return paths;
}

static size_t Occurrences(const Record& record, const std::string& text) {
    size_t count = 0;
    for (const std::string& line : record) {
        for (size_t at = line.find(text); at != std::string::npos; at = line.find(text, at + 1))
            count += line.compare(at, text.size() + 1, text + "\\") != 0;  // not a key below
    }
    return count;
}

// An installed product that a new installation is refused over.
static void InstallProduct() {
    ASSERT_TRUE(WriteRegText(kClientLevelId, "VNR/4.50"));
    ASSERT_TRUE(WriteRegText(kInstallDateId, "20261208"));
}

class RecordTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        records_ = MakeScratchFolder("records");
        record_ = records_ + "\\record.txt";
    }
    void TearDown() override {
        for (std::string key = kPolicyKey; key != "SOFTWARE\\Policies"; key.resize(key.rfind('\\')))
            DeleteEmptyKey64(HKEY_LOCAL_MACHINE, key.c_str());
        DeleteFileA(kResourceLog);
        RemoveFolder(records_);
        LauncherTest::TearDown();
    }
    // The launcher inherits this process's environment.
    void AskForRecord(const std::string& path) { SetStandIn("OMRIK_SETUP_LOG", path.c_str()); }
    bool SetPolicy(DWORD type, const std::string& file) {
        return WriteRegValue64(HKEY_LOCAL_MACHINE, kPolicyKey, "LogFile", type, file + '\0');
    }

    // The exit code, the registry and the inner command of a fresh
    // installation the stand-in registers.
    std::string Install() {
        DeleteProductKeys();
        DeleteFileA(MediaFile("inner-record.txt").c_str());
        std::string outcome = std::to_string(RunSetup("/qn").exitCode) + "\n";
        ExpectRepairedValues(kDirectory);
        outcome += ExportProductKeys();
        for (const std::string& command : InnerCommands())
            outcome += command + "\n";
        return outcome;
    }
    // A record asked for at the path but skipped leaves the run as it is
    // without one.
    void ExpectSkippedRecordChangesNothing(const std::string& path) {
        SetStandIn("STANDIN_REGISTER", "1");
        SetStandIn("STANDIN_DIRECTORY", kDirectory);
        SetStandIn("STANDIN_EXIT_CODE", "3010");
        SetEnvironmentVariableA("OMRIK_SETUP_LOG", NULL);
        const std::string without = Install();
        AskForRecord(path);
        EXPECT_EQ(Install(), without);
    }

    std::string records_;
    std::string record_;
};

struct PathCase {
    std::string args;
    bool installed;
    const char* path;
    DWORD exitCode;
    std::vector<std::string> lines;  // the decisive lines of that path
};

TEST_F(RecordTest, EachPathIsRecordedAndASecondRunAppendsItsOwn) {
    // The launcher line is the text of the version box.
    RunResult version = RunSetup("/vd");
    ASSERT_EQ(version.windows.size(), 1u);
    const std::string launcher = MessageText(version.windows[0]);
    // Registered without a "/" in ClientLevel, so a second run installs again.
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_CLIENT_LEVEL", "VNR 4.50");
    SetStandIn("STANDIN_DIRECTORY", kDirectory);
    SetStandIn("STANDIN_EXIT_CODE", "3010");
    AskForRecord(record_);
    const std::vector<ValueText> repaired = RepairedValues(kDirectory);
    const std::string install = "/s /v\"/qn INSTALLDIR=D:\\Программы\"";
    const PathCase cases[] = {
        {"/?", false, "help", 0, {"show: yes", "help file: written"}},
        {"/vd", false, "version", 0, {"show: yes"}},
        {"/bl", false, "build level", 0, {"show: yes"}},
        {"/l1036 /qn", true, "refusal", 1,
         {"show: yes", "dialog: " + std::to_string(1036 + IDD_SHORT_FORM_OFFSET)}},
        {install, false, "installation", 3010,
         {"inner command: _Setup.exe " + install, "inner exit code: 3010",
          "repairs: " + std::to_string(repaired.size()) + " planned"}},
        {"/x /qn", true, "removal", 3010,
         {"inner command: _Setup.exe /x /qn", "inner exit code: 3010",
          "after product key: missing"}},  // the removal took the product away
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.args);
        DeleteProductKeys();
        DeleteFileW(Wide(record_).c_str());
        if (c.installed)
            InstallProduct();
        DWORD exitCodes[2];
        for (DWORD& exitCode : exitCodes)
            exitCode = RunSetup(c.args, kCloseByCloseButton).exitCode;
        std::vector<Record> records = ReadRecords(record_);
        ASSERT_EQ(records.size(), 2u);
        for (size_t i = 0; i < 2; i++) {
            EXPECT_EQ(exitCodes[i], c.exitCode);
            EXPECT_EQ(Value(records[i], "path"), c.path) << Lines(records[i]);
            EXPECT_EQ(records[i].back().find("exit code: " + std::to_string(exitCodes[i]) + " ("),
                      0u)
                << Lines(records[i]);
        }
        const Record& r = records[0];
        EXPECT_EQ(Value(r, "launcher"), launcher);
        EXPECT_EQ(Value(r, "file"), MediaFile("Setup.exe"));
        EXPECT_EQ(Value(r, "current directory"), media_);
        EXPECT_EQ(Value(r, "what-if"), "no");
        EXPECT_EQ(Value(r, "arguments"), c.args);
        for (const std::string& line : c.lines)
            EXPECT_EQ(std::count(r.begin(), r.end(), line), 1) << line << Lines(r);
        // The help file and the version box read no registration.
        const bool reads = c.path != std::string("help") && c.path != std::string("version");
        for (const std::string& path : KeyPaths())
            EXPECT_EQ(Occurrences(r, path), reads ? 1u : 0u) << path << Lines(r);
        // After an installation every key and value of the registration is
        // there; after the removal every key is missing.
        const bool installation = c.path == std::string("installation");
        const bool removal = c.path == std::string("removal");
        EXPECT_EQ(Count(r, "after "), installation ? 12u : removal ? 6u : 0u) << Lines(r);
        EXPECT_EQ(Count(r, "write "), installation ? repaired.size() : 0u) << Lines(r);
        for (const std::string& line : r) {
            if (line.compare(0, 6, "write ") == 0)
                EXPECT_NE(line.find(": written"), std::string::npos) << line;
        }
    }
}

TEST_F(RecordTest, SecretsAreMaskedInTheRecordButReachTheInnerInstallerWhole) {
    AskForRecord(record_);
    const struct {
        const char* args;
        const char* masked;
        std::vector<std::string> secrets;
    } cases[] = {
        {"/v\"/qn DBPASSWORD=hunter2 Token=\\\"s3 cr3t\\\" USER=me\"",
         "/v\"/qn DBPASSWORD=*** Token=\\\"***\\\" USER=me\"", {"hunter2", "s3 cr3t"}},
        // A quote inside a bare value keeps it going, as the command line
        // reads it, so all of it up to the end is hidden.
        {"app.Secret_Key=k1z9\"rest admin_pwd=p2q8", "app.Secret_Key=***", {"k1z9", "p2q8"}},
        {"/v\"/qn PIDKEY=12345-67890 CONN=\\\"Server=db;Password=x y;\\\"\"",
         "/v\"/qn PIDKEY=*** CONN=\\\"Server=db;Password=***;\\\"\"", {"12345", "x y"}},
    };
    std::vector<std::string> given;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        DeleteFileW(Wide(record_).c_str());
        RunSetup(c.args);
        given.push_back(std::string("_Setup.exe ") + c.args);
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(record_, &bytes));
        for (const std::string& secret : c.secrets)
            EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " is in the record";
        std::vector<Record> records = ReadRecords(record_);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(Value(records[0], "arguments"), c.masked);
        EXPECT_EQ(Value(records[0], "inner command"), std::string("_Setup.exe ") + c.masked);
    }
    EXPECT_EQ(InnerCommands(), given);
}

TEST_F(RecordTest, MachinePolicyNamesTheRecordAndIsExpanded) {
    SetStandIn("SETUP_TEST_RECORD_DIR", records_.c_str());
    const struct {
        DWORD type;
        std::string value;
        std::string file;
    } cases[] = {
        {REG_SZ, records_ + "\\policy.txt", records_ + "\\policy.txt"},
        {REG_EXPAND_SZ, "%SETUP_TEST_RECORD_DIR%\\expanded.txt", records_ + "\\expanded.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(SetPolicy(c.type, c.value));
        DWORD exitCode = RunSetup("/qn").exitCode;
        std::vector<Record> records = ReadRecords(c.file);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(Value(records[0], "path"), "installation");
        EXPECT_EQ(Value(records[0], "exit code"), Ended(exitCode, "success"));
    }
}

TEST_F(RecordTest, EnvironmentWinsOverThePolicyUnlessEmpty) {
    const std::string policyFile = records_ + "\\policy.txt";
    ASSERT_TRUE(SetPolicy(REG_SZ, policyFile));
    AskForRecord(record_);
    RunSetup("/qn");
    EXPECT_EQ(ReadRecords(record_).size(), 1u);
    EXPECT_FALSE(FileExists(policyFile));
    AskForRecord("");
    RunSetup("/qn");
    EXPECT_EQ(ReadRecords(record_).size(), 1u);
    EXPECT_EQ(ReadRecords(policyFile).size(), 1u);
}

// Someone puts a hard link at the record's name to a file the launcher must
// not change. (Wine 8 makes no symbolic link, so only a hard link is tried.)
TEST_F(RecordTest, HardLinkAtTheRecordsNameIsNotWrittenThrough) {
    const std::string target = records_ + "\\target.txt";
    const std::string kept = "a file the user may not change\r\n";
    ASSERT_TRUE(WriteWholeFile(target, kept));
    ASSERT_TRUE(CreateHardLinkW(Wide(record_).c_str(), Wide(target).c_str(), NULL));
    ExpectSkippedRecordChangesNothing(record_);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(target, &bytes));
    EXPECT_EQ(bytes, kept) << "the record was written through the link";
    ASSERT_TRUE(ReadWholeFile(record_, &bytes));
    EXPECT_EQ(bytes, kept) << "the link was replaced";
    // Without the link, the same run is recorded there.
    ASSERT_TRUE(DeleteFileW(Wide(record_).c_str()));
    RunSetup("/qn");
    EXPECT_EQ(ReadRecords(record_).size(), 1u);
}

TEST_F(RecordTest, RecordThatCannotBeWrittenChangesNothing) {
    ExpectSkippedRecordChangesNothing(records_ + "\\missing\\record.txt");
    EXPECT_FALSE(FileExists(records_ + "\\missing"));
    // A relative name would land wherever the current directory is.
    ExpectSkippedRecordChangesNothing("record.txt");
    EXPECT_FALSE(FileExists(MediaFile("record.txt")));
    // Held open the way another program can, for the whole run: reading
    // shared, writing denied; the launcher tries for 2 s and goes on without.
    // (A read-only attribute would not stop Wine running as root.)
    ASSERT_TRUE(WriteWholeFile(record_, "kept"));
    HANDLE lock = CreateFileW(Wide(record_).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ExpectSkippedRecordChangesNothing(record_);
    CloseHandle(lock);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(record_, &bytes));
    EXPECT_EQ(bytes, "kept");
    // Once the file is free, the next record goes after what it holds.
    RunSetup("/qn");
    ASSERT_TRUE(ReadWholeFile(record_, &bytes));
    EXPECT_TRUE(bytes.size() > 4 && bytes.compare(0, 4, "kept") == 0) << Printable(bytes);
}

TEST_F(RecordTest, WhatIfRecordsTheRunAndDoesNothingElse) {
    // A started inner installer would leave the product behind.
    SetStandIn("STANDIN_REGISTER", "1");
    AskForRecord(record_);
    DeleteFileA(kResourceLog);
    const struct {
        const char* what;
        const char* whatIf;  // any value but nothing or 0 is a what-if
        bool installed;
        const char* args;
        DWORD exitCode;
        const char* path;
        std::vector<std::string> lines;
    } cases[] = {
        {"would refuse", "1", true, "/qn", 1, "refusal", {"would show: yes"}},
        {"would install", "1 ", false, "/s /v\"/qn\"", 0, "installation",
         {"inner command: _Setup.exe /s /v\"/qn\""}},
        {"help", " 1", false, "/? /LOGRESOURCES", 0, "help", {"would show: yes"}},
        {"yes", "yes", false, "/qn", 0, "installation", {}},
        {"true", "true", false, "/qn", 0, "installation", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetStandIn("OMRIK_SETUP_WHATIF", c.whatIf);
        DeleteProductKeys();
        DeleteFileW(Wide(record_).c_str());
        if (c.installed)
            InstallProduct();
        const std::string keys = ExportProductKeys();
        const std::vector<std::string> media = FolderListing(media_);
        RunResult run = RunSetup(c.args, kCloseByCloseButton);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.windows.empty()) << FormatWindow(run.windows[0]);
        EXPECT_TRUE(InnerCommands().empty());
        EXPECT_EQ(ExportProductKeys(), keys);
        EXPECT_EQ(FolderListing(media_), media);
        EXPECT_FALSE(FileExists(kResourceLog));
        std::vector<Record> records = ReadRecords(record_);
        ASSERT_EQ(records.size(), 1u);
        const Record& r = records[0];
        EXPECT_EQ(Value(r, "what-if"), "yes");
        EXPECT_EQ(Value(r, "path"), c.path) << Lines(r);
        EXPECT_EQ(r.back().find("exit code: " + std::to_string(c.exitCode) + " ("), 0u);
        for (const std::string& line : c.lines)
            EXPECT_EQ(std::count(r.begin(), r.end(), line), 1) << line << Lines(r);
        // What only a run that was done has.
        for (const char* done : {"show:", "inner process:", "inner run:", "inner exit code:",
                                 "after ", "help file:", "resource log:"})
            EXPECT_EQ(Count(r, done), 0u) << done << Lines(r);
    }
    // Without _Setup.exe a real run fails to start it, and what-if says so.
    ASSERT_TRUE(DeleteFileW(Wide(MediaFile("_Setup.exe")).c_str()));
    DeleteFileW(Wide(record_).c_str());
    EXPECT_EQ(RunSetup("/qn").exitCode, 2u);
    const std::vector<Record> records = ReadRecords(record_);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].back(), "exit code: " + Ended(2, "not started"));
}

// The launcher is killed while the inner installer runs, as a deployment
// tool ends an installation past its time: every line up to the start is
// in the file, and no exit code says the run did not end.
TEST_F(RecordTest, KilledRunKeepsWhatItWrote) {
    AskForRecord(record_);
    SetStandIn("STANDIN_SLEEP_MS", "60000");
    Process setup = {};
    ASSERT_TRUE(StartProcess("\"" + MediaFile("Setup.exe") + "\" /qn KILLED", media_, &setup));
    std::vector<Record> records;
    for (int i = 0; i < 600 && (records.empty() || Count(records[0], "inner process: ") == 0); i++) {
        Sleep(100);
        records = ReadRecords(record_);
    }
    EndProcess(&setup);
    ASSERT_EQ(records.size(), 1u);
    const Record r = records[0];
    const DWORD inner = std::stoul("0" + Value(r, "inner process"));
    HANDLE innerProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, inner);
    ASSERT_NE(innerProcess, (HANDLE)NULL) << Lines(r);
    TerminateProcess(innerProcess, 1);
    WaitForSingleObject(innerProcess, 10000);
    CloseHandle(innerProcess);
    Sleep(200);
    records = ReadRecords(record_);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], r) << "written after the kill";
    EXPECT_EQ(Value(r, "arguments"), "/qn KILLED");
    EXPECT_EQ(Value(r, "inner command"), "_Setup.exe /qn KILLED");
    EXPECT_EQ(Count(r, "exit code: "), 0u) << Lines(r);
}

// Two launchers write one file at once: each line goes whole behind what
// the file holds, and its process id says whose it is.
TEST_F(RecordTest, OverlappingRunsEachWriteAWholeRecord) {
    AskForRecord(record_);
    SetStandIn("STANDIN_SLEEP_MS", "1500");
    Process first = {}, second = {};
    ASSERT_TRUE(StartProcess("\"" + MediaFile("Setup.exe") + "\" /qn FIRST", media_, &first));
    ASSERT_TRUE(StartProcess("\"" + MediaFile("Setup.exe") + "\" /qn SECOND", media_, &second));
    DWORD codes[2] = {1, 1};
    EXPECT_TRUE(WaitProcess(&first, 60000, &codes[0]));
    EXPECT_TRUE(WaitProcess(&second, 60000, &codes[1]));
    EndProcess(&first);
    EndProcess(&second);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(record_, &bytes));
    const std::vector<Record> records = ReadRecords(record_);
    ASSERT_EQ(records.size(), 2u);
    std::vector<std::string> arguments;
    for (const Record& r : records) {
        arguments.push_back(Value(r, "arguments"));
        EXPECT_EQ(r.back(), "exit code: " + Ended(0, "success")) << Lines(r);
        EXPECT_EQ(Count(r, "inner exit code: 0"), 1u) << Lines(r);
        // With Windows' own text for the code, trimmed, on the same line.
        const std::string inner = Value(r, "inner exit code");
        EXPECT_TRUE(inner.size() > 4 && inner.compare(0, 3, "0 (") == 0 && inner.back() == ')' &&
                    inner[inner.size() - 2] != ' ')
            << inner;
    }
    std::sort(arguments.begin(), arguments.end());
    EXPECT_EQ(arguments, (std::vector<std::string>{"/qn FIRST", "/qn SECOND"}));
    EXPECT_EQ(codes[0] + codes[1], 0u);
    // The runs did overlap: the second began before the first ended.
    EXPECT_LT(bytes.find("] run: ", bytes.find("] run: ") + 1), bytes.find("] exit code: "));
}

static DWORD WINAPI CloseAfterASecond(void* file) {
    Sleep(1000);
    return CloseHandle((HANDLE)file);
}

// A viewer holds the file, sharing reading and writing, for the whole run;
// another program holds it for itself for about a second before the run.
TEST_F(RecordTest, HeldFileIsWrittenOnceItCanBe) {
    AskForRecord(record_);
    ASSERT_TRUE(WriteWholeFile(record_, ""));
    HANDLE viewer = CreateFileW(Wide(record_).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RunSetup("/qn SHARED").exitCode, 0u);
    CloseHandle(viewer);
    HANDLE owner = CreateFileW(Wide(record_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                               OPEN_EXISTING, 0, NULL);
    ASSERT_NE(owner, INVALID_HANDLE_VALUE);
    HANDLE release = CreateThread(NULL, 0, CloseAfterASecond, owner, 0, NULL);
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunSetup("/qn HELD").exitCode, 0u);
    const DWORD took = GetTickCount() - start;
    WaitForSingleObject(release, INFINITE);
    CloseHandle(release);
    const std::vector<Record> records = ReadRecords(record_);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(Value(records[0], "arguments"), "/qn SHARED");
    EXPECT_EQ(Value(records[1], "arguments"), "/qn HELD");
    for (const Record& r : records)
        EXPECT_EQ(r.back(), "exit code: " + Ended(0, "success")) << Lines(r);
    EXPECT_GE(took, 900u) << "the launcher did not wait for the file";
}

// Asked for no window, by the environment or by the machine's policy, the
// launcher refuses over an installed product at once in a session someone
// sees, and says who asked.
TEST_F(RecordTest, UnattendedRefusesAtOnceWithoutAWindow) {
    AskForRecord(record_);
    InstallProduct();
    for (const char* by : {"environment", "policy"}) {
        SCOPED_TRACE(by);
        DeleteFileW(Wide(record_).c_str());
        if (by == std::string("environment"))
            SetStandIn("OMRIK_SETUP_UNATTENDED", "1");
        else
            ASSERT_TRUE(WriteRegValue64(HKEY_LOCAL_MACHINE, kPolicyKey, "Unattended", REG_DWORD,
                                        std::string("\x01\0\0\0", 4)));
        RunResult run = RunSetup("/l1036 /s /v\"/qn\"", kCloseByOk, SW_SHOWDEFAULT, 20000);
        SetEnvironmentVariableA("OMRIK_SETUP_UNATTENDED", NULL);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_TRUE(run.windows.empty()) << FormatWindow(run.windows[0]);
        EXPECT_TRUE(InnerCommands().empty());
        const std::vector<Record> records = ReadRecords(record_);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(Value(records[0], "visible"), "yes");
        EXPECT_EQ(Value(records[0], "unattended"), "yes");
        EXPECT_EQ(Value(records[0], "unattended by"), by);
        EXPECT_EQ(Value(records[0], "show"), "no");
        EXPECT_EQ(records[0].back(), "exit code: " + Ended(1, "refused"));
    }
}

// A parent that starts the launcher hidden would hide its first window, a
// modal one too, and wait for good: started hidden, the launcher shows
// nothing and says why, refuses at once and installs all the same.
// Started minimised, the window can be restored, so it shows. With a
// desktop shell (this test's own window), Notepad runs with its token.
TEST_F(RecordTest, StartedHiddenShowsNothingAndNotepadRunsAsTheDesktopsUser) {
    struct ShowCase {
        const char* args;
        WORD show;
        bool installed, shell;
        DWORD exitCode;
        size_t windows;
        std::vector<std::string> lines;
    };
    const ShowCase cases[] = {
        {"/l1036", SW_HIDE, true, false, 1, 0,
         {"show: no", "why not shown: the launcher was started hidden"}},
        {"/vd", SW_HIDE, false, false, 0, 0, {"show: no"}},
        {"/?", SW_HIDE, false, false, 0, 0, {"show: no", "help file: written"}},
        {"/qn", SW_HIDE, false, false, 0, 0, {"inner exit code: 0", "repairs: 6 planned"}},
        {"/l1036", SW_SHOWMINNOACTIVE, true, false, 1, 1, {"show: yes"}},
        {"/?", SW_SHOWDEFAULT, false, false, 0, 1, {"notepad as: the launcher's user"}},
        {"/?", SW_SHOWDEFAULT, false, true, 0, 1, {"notepad as: the desktop's user"}},
    };
    AskForRecord(record_);
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_DIRECTORY", kDirectory);
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(std::string(c.args) + ", show command " + std::to_string(c.show));
        DeleteProductKeys();
        DeleteFileW(Wide(record_).c_str());
        DeleteFileW(Wide(MediaFile("helpFILE.txt")).c_str());
        if (c.installed)
            InstallProduct();
        HWND shell = c.shell ? CreateWindowExA(0, "STATIC", "shell", WS_POPUP, 0, 0, 1, 1, NULL,
                                               NULL, NULL, NULL)
                             : NULL;
        ASSERT_TRUE(!c.shell || SetShellWindow(shell));
        RunResult run = RunSetup(c.args, kCloseByCloseButton, c.show, 30000);  // hidden: no end
        if (shell)
            DestroyWindow(shell);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.windows.size(), c.windows);
        EXPECT_EQ(FileExists(MediaFile("helpFILE.txt")), c.args == std::string("/?"));
        const std::vector<Record> records = ReadRecords(record_);
        ASSERT_EQ(records.size(), 1u);
        for (const std::string& line : c.lines)
            EXPECT_EQ(Count(records[0], line), 1u) << line << Lines(records[0]);
    }
}

// Many launchers write one file at once. Each is made suspended and all
// are let go together: Wine makes a process slowly, so started one by one
// they would barely overlap. What-if runs write every line of their record
// and start no inner installer, which would double the processes. Every
// run's record is whole and its own, with the lines of a run alone.
TEST_F(RecordTest, ManyRunsAtOnceEachWriteAWholeRecord) {
    const size_t kRuns = 64;
    AskForRecord(record_);
    SetStandIn("OMRIK_SETUP_WHATIF", "1");
    EXPECT_EQ(RunSetup("/qn ALONE").exitCode, 0u);
    const std::vector<Record> alone = ReadRecords(record_);
    ASSERT_EQ(alone.size(), 1u);
    ASSERT_TRUE(DeleteFileW(Wide(record_).c_str()));
    std::vector<PROCESS_INFORMATION> runs(kRuns);
    std::set<std::string> given, found;
    for (size_t i = 0; i < kRuns; i++) {
        const std::string args = "/qn RUN" + std::to_string(i);
        given.insert(args);
        STARTUPINFOW startup = {sizeof startup};
        std::wstring command = Wide("\"" + MediaFile("Setup.exe") + "\" " + args);
        // Wine now and then fails to make a process, before it runs any of it.
        BOOL made = FALSE;
        for (int tries = 0; tries < 3 && !made; tries++)
            made = CreateProcessW(NULL, &command[0], NULL, NULL, FALSE, CREATE_SUSPENDED, NULL,
                                  Wide(media_).c_str(), &startup, &runs[i]);
        EXPECT_TRUE(made) << "error " << GetLastError();
    }
    for (const PROCESS_INFORMATION& run : runs)
        ResumeThread(run.hThread);
    for (const PROCESS_INFORMATION& run : runs) {
        Process process = {run.hProcess, run.dwProcessId};
        DWORD code = 1;
        EXPECT_TRUE(WaitProcess(&process, 120000, &code));
        EXPECT_EQ(code, 0u);
        EndProcess(&process);
        CloseHandle(run.hThread);
    }
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(record_, &bytes));
    const std::vector<Record> records = RecordsIn(bytes);
    ASSERT_EQ(records.size(), kRuns);
    for (const Record& r : records) {
        found.insert(Value(r, "arguments"));
        EXPECT_EQ(Names(r), Names(alone[0])) << Lines(r);
        EXPECT_EQ(r.back(), "exit code: " + Ended(0, "success")) << Lines(r);
    }
    EXPECT_EQ(found, given);
    // They overlapped: most of them had begun and not yet ended at one time.
    size_t open = 0, most = 0;
    for (size_t at = 0; (at = bytes.find("] ", at)) != std::string::npos; at += 2) {
        open += bytes.compare(at, 7, "] run: ") == 0;
        open -= bytes.compare(at, 13, "] exit code: ") == 0;
        most = std::max(most, open);
    }
    EXPECT_GE(most, kRuns / 2);
}

// The disk fills while a run writes its record, cutting a line where the
// room ends. That run writes nothing more, though room comes back while it
// runs; the next run first ends the cut line, so its own lines stand whole.
TEST_F(RecordTest, LineCutByAFullDiskIsEndedBeforeTheNextRunsLines) {
    const char* full = getenv("SETUP_FULL_FOLDER");
    if (!full || !FileExists(full))
        GTEST_SKIP() << "no full folder (SETUP_FULL_FOLDER): the test bed mounts one only as "
                        "root, where mount works";
    const std::string record = std::string(full) + "\\record.txt";
    const std::string filler = std::string(full) + "\\filler";
    AskForRecord(record_);
    EXPECT_EQ(RunSetup("/qn ALONE").exitCode, 0u);
    const std::vector<Record> alone = ReadRecords(record_);
    ASSERT_EQ(alone.size(), 1u);
    // The file system gives out whole 4 KiB pages: the record ends 40 bytes
    // before its page does, fewer than any line has, and a filler takes
    // every page left. (Wine then writes the 40 bytes and no more.)
    const std::string before = std::string(4096 - 42, '.') + "\r\n";
    ASSERT_TRUE(WriteWholeFile(record, before));
    HANDLE fill = CreateFileW(Wide(filler).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(fill, INVALID_HANDLE_VALUE);
    const std::string block(1024, 'f');
    DWORD wrote = block.size();
    for (int i = 0; i < 64 && wrote == block.size(); i++)
        wrote = WriteFile(fill, block.data(), block.size(), &wrote, NULL) ? wrote : 0;
    CloseHandle(fill);
    ASSERT_LT(wrote, block.size()) << "the file system did not fill";
    AskForRecord(record);
    SetStandIn("STANDIN_SLEEP_MS", "1000");
    DeleteFileW(Wide(MediaFile("inner-record.txt")).c_str());  // written when the stand-in starts
    Process first = {};
    ASSERT_TRUE(StartProcess("\"" + MediaFile("Setup.exe") + "\" /qn FIRST", media_, &first));
    for (int i = 0; i < 600 && InnerCommands().empty(); i++)
        Sleep(50);
    std::string cut, after, bytes;
    EXPECT_TRUE(ReadWholeFile(record, &cut));
    EXPECT_TRUE(DeleteFileW(Wide(filler).c_str()));
    DWORD code = 1;
    EXPECT_TRUE(WaitProcess(&first, 60000, &code));
    EndProcess(&first);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(ReadWholeFile(record, &after));
    EXPECT_EQ(RunSetup("/qn SECOND").exitCode, 0u);
    EXPECT_TRUE(ReadWholeFile(record, &bytes));
    DeleteFileW(Wide(record).c_str());
    ASSERT_EQ(cut.compare(0, before.size(), before), 0);
    EXPECT_EQ(after, cut) << "written after the cut line";
    // The second run's first line follows the cut line's CR LF, and nothing
    // else comes between.
    const size_t at = bytes.rfind('[', bytes.rfind("] run: "));
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes.substr(0, at), cut + (cut.back() == '\n' ? "" : "\r\n"));
    const std::vector<Record> records = RecordsIn(bytes.substr(at));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Value(records[0], "arguments"), "/qn SECOND");
    EXPECT_EQ(Names(records[0]), Names(alone[0])) << Lines(records[0]);
    EXPECT_EQ(records[0].back(), "exit code: " + Ended(0, "success"));
}

// A record path is taken as the system makes it whole: "/" separates as
// "\" does, "." and ".." are resolved (the folder "sub" is never made), and
// a path longer than 260 characters is written to as any other.
TEST_F(RecordTest, RecordPathIsMadeWholeAndMayBeLong) {
    const std::string folder(60, 'a');
    std::string deep = records_;
    for (int i = 0; i < 5; i++) {
        deep += "\\" + folder;
        ASSERT_TRUE(MakeFolder("\\\\?\\" + deep));
    }
    const struct {
        std::string given, file;
    } cases[] = {
        {records_ + "/sub/.././record.txt", record_},
        {deep + "\\record.txt", "\\\\?\\" + deep + "\\record.txt"},
    };
    ASSERT_GT(cases[1].given.size(), 300u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        AskForRecord(c.given);
        EXPECT_EQ(RunSetup("/qn").exitCode, 0u);
        const std::vector<Record> records = ReadRecords(c.file);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].back(), "exit code: " + Ended(0, "success"));
        EXPECT_TRUE(DeleteFileW(Wide(c.file).c_str()));
    }
    EXPECT_EQ(FolderListing(records_), std::vector<std::string>{folder + "\\"});
}
