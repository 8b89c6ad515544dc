// The run record end to end: asked for through the environment or the
// machine policy, appended run after run in UTF-8 with CR LF lines, secrets
// masked, never written through a link nor at the cost of the run; and the
// what-if mode, which records a run without doing any of it.
#include <algorithm>
#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "resources/resource_ids.h"
#include "tests/e2e/launcher_fixture.h"

typedef std::vector<std::string> Record;

static const char kPolicyKey[] = "SOFTWARE\\Policies\\Omrik\\Vindara\\Setup";
static const char kResourceLog[] = "C:\\LOGRESOURCES.txt";
static const char kDirectory[] = "D:\\Apps\\";

// The records in a file, each as its lines without their ends. The form is
// checked on the way: UTF-8, every line ended by CR LF, every record by one
// empty line.
static std::vector<Record> ReadRecords(const std::string& path) {
    std::string bytes;
    std::vector<Record> records(1);
    if (!ReadWholeFile(path, &bytes))
        return {};
    EXPECT_TRUE(bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                     (int)bytes.size(), NULL, 0) > 0)
        << "not UTF-8: " << Printable(bytes);
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a lone CR or LF: "
                                                                 << Printable(line);
        if (!line.empty())
            records.back().push_back(line);
        else if (!records.back().empty())
            records.emplace_back();
        else
            ADD_FAILURE() << "an empty line where a record should start";
    }
    EXPECT_EQ(start, bytes.size()) << "the file does not end with CR LF";
    EXPECT_TRUE(records.back().empty()) << "the last record has no empty line after it";
    if (records.back().empty())
        records.pop_back();
    return records;
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

static std::string Lines(const Record& record) {
    std::string text;
    for (const std::string& line : record)
        text += "\n  " + line;
    return text;
}

// A value's place as the record names it.
static std::string Location(const ValueText& value) {
    return std::string(value.root == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") +
           value.key[kPlainForm] + "\\" + value.name;
}

// An installed product that a new installation is refused over.
static void InstallProduct() {
    ASSERT_TRUE(WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue,
                             "VNR/4.50"));
    ASSERT_TRUE(WriteRegText(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm],
                             kInstallDateValue, "20261208"));
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
        {"/x /qn", false, "removal", 3010,
         {"inner command: _Setup.exe /x /qn", "inner exit code: 3010"}},
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
            EXPECT_EQ(Value(records[i], "exit code"), std::to_string(exitCodes[i]));
        }
        const Record& r = records[0];
        EXPECT_EQ(Value(r, "launcher"), launcher);
        EXPECT_EQ(Value(r, "what-if"), "no");
        EXPECT_EQ(Value(r, "arguments"), c.args);
        for (const std::string& line : c.lines)
            EXPECT_EQ(std::count(r.begin(), r.end(), line), 1) << line << Lines(r);
        const bool installation = std::string(c.path) == "installation";
        EXPECT_EQ(Count(r, "before "), 12u);
        EXPECT_EQ(Count(r, "after "), installation ? 12u : 0u);
        EXPECT_EQ(Count(r, "result "), installation ? repaired.size() : 0u) << Lines(r);
        for (size_t i = 0; installation && i < repaired.size(); i++)
            EXPECT_EQ(Value(r, "result " + Location(repaired[i])).find("written"), 0u)
                << Location(repaired[i]) << Lines(r);
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
        {"app.Secret_Key=k1z9\"rest admin_pwd=p2q8", "app.Secret_Key=***\"rest admin_pwd=***",
         {"k1z9", "p2q8"}},
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
        EXPECT_EQ(Value(records[0], "exit code"), std::to_string(exitCode));
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
    // Held open the way another program can: reading shared, writing denied.
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
    SetStandIn("OMRIK_SETUP_WHATIF", "1");
    // A started inner installer would leave the product behind.
    SetStandIn("STANDIN_REGISTER", "1");
    AskForRecord(record_);
    DeleteFileA(kResourceLog);
    const struct {
        const char* what;
        bool installed;
        const char* args;
        DWORD exitCode;
        const char* path;
        std::vector<std::string> lines;
    } cases[] = {
        {"would refuse", true, "/qn", 1, "refusal", {}},
        {"would install", false, "/s /v\"/qn\"", 0, "installation",
         {"inner command: _Setup.exe /s /v\"/qn\""}},
        {"help", false, "/? /LOGRESOURCES", 0, "help", {"resource log: not written"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
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
        EXPECT_EQ(Value(r, "exit code"), std::to_string(c.exitCode));
        for (const std::string& line : c.lines)
            EXPECT_EQ(std::count(r.begin(), r.end(), line), 1) << line << Lines(r);
        // What only a run that was done has.
        for (const char* done : {"inner run:", "inner exit code:", "after ", "help file:"})
            EXPECT_EQ(Count(r, done), 0u) << done << Lines(r);
    }
}
