// A real installation end to end: Setup.exe, the demo inner installer and
// the demo package on a scratch medium; Wine's own Installer installs the
// product, the launcher repairs its registration, and the repaired removal
// command takes it away again. Every test leaves the product uninstalled.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "tools/demo_installer/setup_arguments.h"
#include "tools/testbed/testbed.h"

static const DWORD kInstallTimeoutMs = 120000;
static const char kPackageName[] = "Omrik Vindara.msi";

// A registry text of the product's registration without the NUL an
// Installer stores with it.
static std::string Text(ValueId value, DWORD* type = NULL) {
    RegValue read;
    if (!ReadRegValue(value, &read))
        return "(missing)";
    if (type)
        *type = read.type;
    std::string text = read.data;
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

static DWORD RunExactly(const std::string& commandLine, const std::string& folder) {
    Process process = {};
    EXPECT_TRUE(StartProcess(commandLine, folder, &process)) << commandLine;
    DWORD exitCode = 0xFFFFFFFF;
    EXPECT_TRUE(WaitProcess(&process, kInstallTimeoutMs, &exitCode)) << commandLine;
    EndProcess(&process);
    return exitCode;
}

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteProductKeys();
        media_ = MakeScratchFolder("demo-media");
        ASSERT_TRUE(CopyInto(WindowsPath(SETUP_EXE_PATH), media_, "Setup.exe"));
        ASSERT_TRUE(CopyInto(WindowsPath(DEMO_INSTALLER_PATH), media_, "_Setup.exe"));
        ASSERT_TRUE(CopyInto(WindowsPath(DEMO_PACKAGE_PATH), media_, kPackageName));
    }

    // Removal through the Installer itself, so that none of its own records
    // of the product survive into the tests that run after this one.
    void TearDown() override {
        if (KeyExists(kMainUninstallKeyId))
            RunExactly(std::string("msiexec /x ") + kProductCode + " /qn", media_);
        EXPECT_FALSE(KeyExists(kMainUninstallKeyId));
        DeleteProductKeys();
        for (const std::string& folder : folders_)
            RemoveFolder(folder);
        RemoveFolder(media_);
        // The Installer leaves the folder above the default directory; it
        // goes only when nothing else is in it.
        (void)RemoveDirectoryA((ProgramFiles() + "\\Omrik").c_str());
    }

    RunResult RunSetup(const std::string& args) {
        std::string command = "\"" + media_ + "\\Setup.exe\" " + args;
        RunResult run = RunAndAnswer(command, media_, kCloseByOk, kInstallTimeoutMs);
        EXPECT_TRUE(run.finished) << args;
        return run;
    }

    // The 32-bit Program Files: a 64-bit system names it apart, to 32-bit
    // and 64-bit processes alike; a 32-bit system has only the one.
    static std::string ProgramFiles() {
        char programFiles[MAX_PATH] = "";
        if (!GetEnvironmentVariableA("ProgramFiles(x86)", programFiles, sizeof programFiles))
            GetEnvironmentVariableA("ProgramFiles", programFiles, sizeof programFiles);
        return programFiles;
    }

    // The installation directory the package chooses by itself.
    static std::string DefaultDirectory() {
        return ProgramFiles() + "\\Omrik\\Vindara\\";
    }

    // The six repaired values and the two the installation wrote beside
    // them, each stored as a text.
    void ExpectRepairedFor(const std::string& directory) {
        std::vector<ValueText> expected = {
            {kClientLevelId, "VNR/4.50"},
            {kDirectoryId, directory},
        };
        for (const ValueText& value : RepairedValues(directory))
            expected.push_back(value);
        for (const ValueText& e : expected) {
            const char* name = kRegistrationValues[e.value].name;
            DWORD type = REG_NONE;
            EXPECT_EQ(Text(e.value, &type), e.text) << name;
            EXPECT_EQ(type, (DWORD)REG_SZ) << name;
        }
        // Wine's Installer records the day of the installation as yyyymmdd.
        std::string date = Text(kInstallDateId);
        EXPECT_EQ(date.size(), 8u) << date;
        EXPECT_EQ(date.find_first_not_of("0123456789"), std::string::npos) << date;
    }

    void ExpectInstalledFilesIn(const std::string& directory) {
        EXPECT_TRUE(FileExists(directory + "readme.txt"));
        std::string copy;
        std::string original;
        ASSERT_TRUE(ReadWholeFile(directory + kPackageName, &copy));
        ASSERT_TRUE(ReadWholeFile(media_ + "\\" + kPackageName, &original));
        EXPECT_TRUE(copy == original) << "the package copy differs from the medium's";
    }

    void ExpectProductGone(const std::string& directory) {
        EXPECT_FALSE(KeyExists(kMainUninstallKeyId));
        EXPECT_FALSE(KeyExists(kProductKeyId));
        EXPECT_FALSE(KeyExists(RootOf(kSourceListKeyId), InstallerProductKey()));
        EXPECT_FALSE(FileExists(directory + "readme.txt"));
        EXPECT_FALSE(FileExists(directory + kPackageName));
        EXPECT_FALSE(FileExists(directory));
    }

    std::string media_;
    std::vector<std::string> folders_;
};

TEST_F(RoundTripTest, InstallationThroughSetupEndsWithTheRepairedRegistration) {
    RunResult run = RunSetup("/s /v\"/qn\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    std::string directory = DefaultDirectory();
    folders_.push_back(directory);
    ExpectRepairedFor(directory);
    ExpectInstalledFilesIn(directory);
}

// The repaired UninstallString is run as it stands, with /qn after it as an
// unattended removal adds it; then a new installation is not refused.
TEST_F(RoundTripTest, RepairedRemovalCommandRemovesTheProduct) {
    ASSERT_EQ(RunSetup("/s /v\"/qn\"").exitCode, 0u);
    std::string directory = Text(kDirectoryId);
    folders_.push_back(directory);
    std::string removal = Text(kUninstallStringId);
    ASSERT_EQ(removal, "msiexec /x \"" + directory + "Omrik Vindara.msi\"");

    EXPECT_EQ(RunExactly(removal + " /qn", media_), 0u);
    ExpectProductGone(directory);

    RunResult again = RunSetup("/s /v\"/qn\"");
    EXPECT_EQ(again.exitCode, 0u);
    EXPECT_TRUE(again.windows.empty()) << "a new installation was refused";
    EXPECT_EQ(Text(kClientLevelId), "VNR/4.50");
}

TEST_F(RoundTripTest, SecondInstallationIsRefusedWhileInstalled) {
    ASSERT_EQ(RunSetup("/s /v\"/qn\"").exitCode, 0u);
    folders_.push_back(Text(kDirectoryId));
    std::string before = ExportProductKeys();
    RunResult run = RunSetup("/s /v\"/qn\"");
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(run.windows.size(), 1u);
    EXPECT_EQ(run.windows[0].caption, "Omrik Vindara");
    EXPECT_EQ(ExportProductKeys(), before);
}

// Installer properties pass through Setup.exe and the demo installer: the
// product lands in the folder given, and every repaired value names it.
TEST_F(RoundTripTest, InstallDirectoryGivenThroughSetupIsUsedEverywhere) {
    std::string parent = MakeScratchFolder("Omrik Custom");
    folders_.push_back(parent);
    std::string folder = parent + "\\Vindara App";
    RunResult run = RunSetup("/s /v\"/qn INSTALLDIR=\\\"" + folder + "\\\"\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    std::string directory = folder + "\\";
    ExpectRepairedFor(directory);
    ExpectInstalledFilesIn(directory);
    EXPECT_FALSE(FileExists(DefaultDirectory()));

    std::string removal = Text(kUninstallStringId);
    EXPECT_EQ(RunExactly(removal + " /qn", media_), 0u);
    ExpectProductGone(directory);
}

// A failed installation: msiexec's own exit code comes back through both
// programs, and nothing is repaired or copied.
TEST_F(RoundTripTest, FailedInstallationPassesTheInstallersExitCodeOn) {
    RunResult run = RunSetup("/s /v\"/qn INSTALLDIR=Q:\\Omrik\"");
    EXPECT_EQ(run.exitCode, 1603u);
    EXPECT_TRUE(run.windows.empty());
    EXPECT_FALSE(KeyExists(kMainUninstallKeyId));
    EXPECT_FALSE(KeyExists(kProductKeyId));
}

TEST_F(RoundTripTest, RemovalSwitchGoesThroughToTheInstaller) {
    ASSERT_EQ(RunSetup("/s /v\"/qn\"").exitCode, 0u);
    std::string directory = Text(kDirectoryId);
    folders_.push_back(directory);
    RunResult run = RunSetup("/x /s");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    ExpectProductGone(directory);
}

// Turns the medium's package into one without files, through the
// Installer's own database interface: nothing is read from the medium then.
static bool StripFiles(const std::string& package) {
    MSIHANDLE database = 0;
    if (MsiOpenDatabaseA(package.c_str(), MSIDBOPEN_TRANSACT, &database) != ERROR_SUCCESS)
        return false;
    const char* const queries[] = {
        "DELETE FROM `File`",
        "DELETE FROM `Media`",
        "UPDATE `Component` SET `KeyPath` = 'ClientLevel', `Attributes` = 4",
    };
    bool done = true;
    for (const char* query : queries) {
        MSIHANDLE view = 0;
        done = done && MsiDatabaseOpenViewA(database, query, &view) == ERROR_SUCCESS &&
               MsiViewExecute(view, 0) == ERROR_SUCCESS;
        if (view)
            MsiCloseHandle(view);
    }
    done = done && MsiDatabaseCommit(database) == ERROR_SUCCESS;
    MsiCloseHandle(database);
    return done;
}

// Without files Wine's Installer leaves LastUsedSource and Net 1 out; the
// demo installer adds them, naming the medium, and the launcher repairs them.
TEST_F(RoundTripTest, SourceListValuesLeftOutByTheInstallerAreAdded) {
    ASSERT_TRUE(StripFiles(media_ + "\\" + kPackageName));
    std::string source = media_ + "\\";
    EXPECT_EQ(RunExactly("\"" + media_ + "\\_Setup.exe\" /s", media_), 0u);
    std::string directory = Text(kDirectoryId);
    folders_.push_back(directory);
    EXPECT_FALSE(FileExists(directory + "readme.txt"));
    DWORD type = REG_NONE;
    EXPECT_EQ(Text(kLastUsedSourceId, &type), "n;1;" + source);
    EXPECT_EQ(type, (DWORD)REG_EXPAND_SZ);
    type = REG_NONE;
    EXPECT_EQ(Text(kNetSourceId, &type), source);
    EXPECT_EQ(type, (DWORD)REG_EXPAND_SZ);

    std::string removal = "\"" + media_ + "\\_Setup.exe\" /s /x";
    ASSERT_EQ(RunExactly(removal, media_), 0u);
    ASSERT_EQ(RunSetup("/s /v\"/qn\"").exitCode, 0u);
    ExpectRepairedFor(directory);
}

struct TranslationCase {
    const char* args;
    const char* command;  // NULL: the arguments do not fit
};

// The demo installer's switches as msiexec options, for a package "P".
TEST(DemoInstallerArguments, BecomeTheMsiexecCommand) {
    const TranslationCase cases[] = {
        {"", "msiexec /i \"P\""},
        {"/s", "msiexec /i \"P\" /qn"},
        {"/s /v\"/qn INSTALLDIR=\\\"C:\\Program Files\\X\\\"\"",
         "msiexec /i \"P\" /qn INSTALLDIR=\"C:\\Program Files\\X\""},
        {"/s /v\"-QB! A=1\"", "msiexec /i \"P\" -QB! A=1"},
        {"/v\"/qb INSTALLDIR=\\\"C:\\X\\\\\\\"\"", "msiexec /i \"P\" /qb INSTALLDIR=\"C:\\X\\\""},
        {"/vINSTALLDIR=C:\\a\\b", "msiexec /i \"P\" INSTALLDIR=C:\\a\\b"},
        {"/vA=1\t/v\"B=2 C=3\"", "msiexec /i \"P\" A=1 B=2 C=3"},
        {"/x", "msiexec /x \"P\""},
        {"/x /s", "msiexec /x \"P\" /qn"},
        {"  /s  ", "msiexec /i \"P\" /qn"},
        {"/l1031 /LOGRESOURCES /s", "msiexec /i \"P\" /qn"},
        {"/S /X /V\"/qn\"", "msiexec /i \"P\""},
        {"/v", "msiexec /i \"P\""},
        {"\"/s\" /x\"\"", "msiexec /x \"P\" /qn"},
        {"x/s /sx /xs", "msiexec /i \"P\""},
    };
    for (const TranslationCase& c : cases) {
        static SetupRequest request;
        char command[kCommandSize];
        ASSERT_EQ(ParseSetupArguments(c.args, &request), 1) << c.args;
        ASSERT_EQ(ComposeMsiexecCommand(&request, "P", command, sizeof command), 1) << c.args;
        EXPECT_STREQ(command, c.command) << c.args;
    }
}

// What does not fit is refused, never cut and used, and no buffer is
// written past its end.
TEST(DemoInstallerArguments, TooLongIsRefused) {
    static SetupRequest request;
    // The longest word is one byte short of the buffer, "/v" included.
    std::string fits = "/v" + std::string(kCommandSize - 3, 'a');
    EXPECT_EQ(ParseSetupArguments(fits.c_str(), &request), 1);
    EXPECT_EQ(strlen(request.options), kCommandSize - 3);
    std::string tooLong = fits + "a";
    EXPECT_EQ(ParseSetupArguments(tooLong.c_str(), &request), 0);
    std::string twoWords = fits + " /v" + std::string(10, 'b');
    EXPECT_EQ(ParseSetupArguments(twoWords.c_str(), &request), 0);
    EXPECT_LT(strlen(request.options), kCommandSize);

    char guarded[64 + 8];
    memset(guarded, '#', sizeof guarded);
    ParseSetupArguments("/s /vA=1", &request);
    EXPECT_EQ(ComposeMsiexecCommand(&request, "P", guarded, 64), 1);
    EXPECT_EQ(ComposeMsiexecCommand(&request, std::string(50, 'p').c_str(), guarded, 64), 0);
    EXPECT_EQ(strlen(guarded), 63u);
    EXPECT_EQ(std::string(guarded + 64, 8), std::string(8, '#'));
}
