// The reports end to end: the message boxes of /vd and /bl as the user sees
// them, the help file in Notepad, and the resource log.
#include <stdlib.h>

#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "tests/support/help_file_digest.h"
#include "tests/support/sha256.h"
#include "tests/support/version_text.h"

static const char kLogPath[] = "C:\\LOGRESOURCES.txt";
static const char kVersionDate[] = VERSION_REPORT_TEXT;

class ReportsTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        DeleteFileA(kLogPath);
    }
    void TearDown() override {
        DeleteFileA(kLogPath);
        LauncherTest::TearDown();
    }
    // The one message box a report run shows.
    std::string ReportText(const std::string& args) {
        RunResult run = RunSetup(args);
        EXPECT_EQ(run.exitCode, 0u) << args;
        EXPECT_EQ(run.windows.size(), 1u) << args;
        if (run.windows.size() != 1)
            return "";
        EXPECT_EQ(run.windows[0].caption, "VNR Build Information");
        return MessageText(run.windows[0]);
    }
};

TEST_F(ReportsTest, VersionReportShowsVersionAndDate) {
    EXPECT_EQ(ReportText("/vd"), kVersionDate);
    EXPECT_EQ(ReportText("/vd /bl /x"), kVersionDate);
    EXPECT_TRUE(InnerCommands().empty());
}

struct BuildLevelCase {
    const char* what;
    bool productKey;
    const char* buildLevel;
    const char* clientLevel;
    const char* directory;
    const char* installDate;  // NULL: no uninstall key
    const char* shown;
};

TEST_F(ReportsTest, BuildLevelReportShowsWhatTheRegistryHolds) {
    const BuildLevelCase cases[] = {
        {"all four values", true, "Abr 25, 2000", "VNR/4.50", "D:\\Apps\\", "20261208",
         "Build date :\t Abr 25, 2000\nClient Level :\t VNR/4.50\nInstallDir :\t D:\\Apps\\\n"
         "InstallDate :\t 20261208\n"},
        {"build date and directory only", true, "Abr 25, 2000", NULL, "D:\\Apps\\", NULL,
         "Build date :\t Abr 25, 2000\nClient Level :\t unknown\nInstallDir :\t D:\\Apps\\\n"
         "InstallDate :\t unknown\n"},
        {"none of the values", true, NULL, NULL, NULL, NULL,
         "Build date :\t unknown\nClient Level :\t unknown\nInstallDir :\t unknown\n"
         "InstallDate :\t unknown\n"},
        {"only the uninstall key's date", true, NULL, NULL, NULL, "20261208",
         "Build date :\t unknown\nClient Level :\t unknown\nInstallDir :\t unknown\n"
         "InstallDate :\t 20261208\n"},
        {"not installed", false, NULL, NULL, NULL, "20261208", "Omrik Vindara is not installed"},
    };
    for (const BuildLevelCase& c : cases) {
        DeleteProductKeys();
        if (c.productKey)
            WriteRegText(kProductKeyId, "Other", "x");
        if (c.buildLevel)
            WriteRegText(kBuildLevelId, c.buildLevel);
        if (c.clientLevel)
            WriteRegText(kClientLevelId, c.clientLevel);
        if (c.directory)
            WriteRegText(kDirectoryId, c.directory);
        if (c.installDate)
            WriteRegText(kInstallDateId, c.installDate);
        EXPECT_EQ(ReportText("/bl"), c.shown) << c.what;
    }
    EXPECT_TRUE(InnerCommands().empty());
}

// Four values of 259 characters: the text is shown whole, not cut.
TEST_F(ReportsTest, BuildLevelReportShowsLongValuesWhole) {
    std::string values[4];
    const ValueId shown[4] = {kBuildLevelId, kClientLevelId, kDirectoryId, kInstallDateId};
    for (int i = 0; i < 4; i++) {
        values[i] = std::string(258, (char)('a' + i)) + "!";
        WriteRegText(shown[i], values[i].c_str());
    }
    std::string expected = "Build date :\t " + values[0] + "\nClient Level :\t " + values[1] +
                           "\nInstallDir :\t " + values[2] + "\nInstallDate :\t " + values[3] +
                           "\n";
    EXPECT_EQ(expected.size(), 63u + 4 * 259);
    EXPECT_EQ(ReportText("/bl"), expected);
}

// "/?" writes the help file in the current directory and the launcher ends
// only after Notepad has been closed.
TEST_F(ReportsTest, HelpFileIsWrittenAndShownInNotepad) {
    WriteWholeFile(MediaFile("helpFILE.txt"), std::string(100000, 'z'));
    RunResult run = RunSetup("/? /vd /bl /l1036 /x", kCloseByCloseButton);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.windows.size(), 1u);
    EXPECT_NE(run.windows[0].caption.find("helpFILE"), std::string::npos)
        << run.windows[0].caption;
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(MediaFile("helpFILE.txt"), &bytes));
    EXPECT_EQ(bytes.size(), 36680u);
    EXPECT_EQ(Sha256Hex(bytes), kHelpFileSha256);
    EXPECT_TRUE(InnerCommands().empty());
}

// Holds a file open the way another program can: reading shared, writing
// denied. (A read-only attribute would not stop Wine running as root.)
static HANDLE LockAgainstWriting(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
}

TEST_F(ReportsTest, HelpFileThatCannotBeWrittenMeansNoNotepad) {
    ASSERT_TRUE(WriteWholeFile(MediaFile("helpFILE.txt"), "kept"));
    HANDLE lock = LockAgainstWriting(MediaFile("helpFILE.txt"));
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    RunResult run = RunSetup("/?", kCloseByCloseButton);
    CloseHandle(lock);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    std::string bytes;
    ReadWholeFile(MediaFile("helpFILE.txt"), &bytes);
    EXPECT_EQ(bytes, "kept");
}

// The help file does not fit on the disk of the current folder (a small
// file system the test bed made; SETUP_FULL_FOLDER names it): the file is
// made, its write stops part-way. A cut help file is taken away, not shown.
TEST_F(ReportsTest, HelpFileThatDoesNotFitIsRemovedAndNotShown) {
    const char* full = getenv("SETUP_FULL_FOLDER");
    if (!full || !FileExists(full))
        GTEST_SKIP() << "no full folder (SETUP_FULL_FOLDER): the test bed mounts one only as "
                        "root, where mount works";
    const std::string help = std::string(full) + "\\helpFILE.txt";
    DeleteFileW(Wide(help).c_str());
    RunResult run = RunAndAnswer("\"" + MediaFile("Setup.exe") + "\" /?", full,
                                 kCloseByCloseButton, 60000);
    std::string left;
    bool kept = ReadWholeFile(help, &left);
    DeleteFileW(Wide(help).c_str());
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty()) << "Notepad showed the cut help file";
    EXPECT_FALSE(kept) << "a help file of " << left.size() << " bytes was left";
}

static std::vector<std::string> LogLines() {
    std::string bytes;
    std::vector<std::string> lines;
    if (!ReadWholeFile(kLogPath, &bytes))
        return lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "the log does not end with CR LF";
    return lines;
}

static bool IsNumber(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

TEST_F(ReportsTest, ResourceLogIsWrittenThenTheRunGoesOn) {
    std::string version = ReportText("/LOGRESOURCES /vd");
    EXPECT_EQ(version, kVersionDate);
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "****************** starting checking system *****************");
    EXPECT_EQ(lines[1], "************DISK ");
    EXPECT_EQ(lines[2], "DirectoryName = C:\\");
    const char* diskLabels[3] = {"FreeBytesAvailableToCaller = ", "TotalNumberOfBytes = ",
                                 "TotalNumberOfFreeBytes = "};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(lines[3 + i].find(diskLabels[i]), 0u) << lines[3 + i];
        EXPECT_TRUE(IsNumber(lines[3 + i].substr(strlen(diskLabels[i])))) << lines[3 + i];
    }
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "************MEMORY");
    // The record as this build of the launcher knows it: 32 bytes in a
    // 32-bit program, 56 in a 64-bit one.
    EXPECT_EQ(lines[8], "lpBuffer.dwLength = " + std::to_string(sizeof(MEMORYSTATUS)));
    const char* memoryLabels[7] = {"dwMemoryLoad", "dwTotalPhys", "dwAvailPhys", "dwTotalPageFile",
                                   "dwAvailPageFile", "dwTotalVirtual", "dwAvailVirtual"};
    for (int i = 0; i < 7; i++) {
        std::string label = std::string("lpBuffer.") + memoryLabels[i] + "  = ";
        EXPECT_EQ(lines[9 + i].find(label), 0u) << lines[9 + i];
        EXPECT_TRUE(IsNumber(lines[9 + i].substr(label.size()))) << lines[9 + i];
    }
    EXPECT_EQ(lines[16], "");
    EXPECT_EQ(lines[17], "****************** ending checking system *****************");
}

// With "/?" the log comes first, then the help file; without a report
// switch the installation goes on and the switch reaches the inner
// installer with the rest.
TEST_F(ReportsTest, ResourceLogComesBeforeEverythingElse) {
    RunResult run = RunSetup("/? /LOGRESOURCES", kCloseByCloseButton);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(LogLines().size(), 18u);
    WIN32_FILE_ATTRIBUTE_DATA log, help;
    ASSERT_TRUE(GetFileAttributesExA(kLogPath, GetFileExInfoStandard, &log));
    ASSERT_TRUE(GetFileAttributesExA(MediaFile("helpFILE.txt").c_str(), GetFileExInfoStandard,
                                     &help));
    EXPECT_LE(CompareFileTime(&log.ftLastWriteTime, &help.ftLastWriteTime), 0);
    DeleteFileA(kLogPath);
    run = RunSetup("/LOGRESOURCES /qn");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(LogLines().size(), 18u);
    EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe /LOGRESOURCES /qn"});
}

TEST_F(ReportsTest, ResourceLogThatCannotBeWrittenChangesNothing) {
    ASSERT_TRUE(WriteWholeFile(kLogPath, "kept"));
    HANDLE lock = LockAgainstWriting(kLogPath);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReportText("/LOGRESOURCES /vd"), kVersionDate);
    CloseHandle(lock);
    std::string bytes;
    ReadWholeFile(kLogPath, &bytes);
    EXPECT_EQ(bytes, "kept");
}

// A longer log left behind is replaced, not appended to or written over in
// part: the new log starts at the first byte and nothing of the old stays.
TEST_F(ReportsTest, SecondLogReplacesTheFirst) {
    ASSERT_TRUE(WriteWholeFile(kLogPath, std::string(5000, 'x')));
    ReportText("/LOGRESOURCES /vd");
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(kLogPath, &bytes));
    const std::string start = "****************** starting checking system";
    EXPECT_EQ(bytes.substr(0, start.size()), start);
    EXPECT_EQ(bytes.find('x'), std::string::npos);
    std::string lines;
    for (const std::string& line : LogLines())
        lines += line + "\r\n";
    EXPECT_EQ(bytes.size(), lines.size());
    EXPECT_LT(bytes.size(), 5000u);
}
