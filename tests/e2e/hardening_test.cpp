// Where administrators run the launcher: programs of the launcher's names
// planted where the program search would find them never run, a link
// planted at the name of a file it writes never leads it to write where the
// link points, and in a window station nobody sees the launcher shows
// nothing and so never waits.
#include <string>

#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "tests/support/help_file_digest.h"
#include "tests/support/sha256.h"

class HardeningTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        planted_ = MakeScratchFolder("planted");
    }
    void TearDown() override {
        RemoveFolder(planted_);
        LauncherTest::TearDown();
    }
    // A copy of the stand-in under a borrowed name: if it runs, it leaves
    // its record in its own folder.
    void Plant(const std::string& folder, const char* name) {
        ASSERT_TRUE(CopyInto(WindowsPath(STANDIN_EXE_PATH), folder, name));
    }
    bool RanIn(const std::string& folder) { return FileExists(folder + "\\inner-record.txt"); }
    // Setup.exe from the medium, with the planted folder as current folder.
    RunResult RunFromPlanted(const std::string& args) {
        std::string command = "\"" + MediaFile("Setup.exe") + "\" " + args;
        return RunAndAnswer(command, planted_, kCloseByCloseButton, 60000);
    }

    std::string planted_;
};

TEST_F(HardeningTest, PlantedProgramsNeverRun) {
    const struct {
        const char* what;
        const char* args;
        bool standInBeside;    // the real _Setup.exe beside Setup.exe
        bool notepadBeside;    // a notepad.exe planted beside Setup.exe
        unsigned long exitCode;
        size_t windows;        // Notepad from the system folder
    } cases[] = {
        {"notepad and _Setup.exe in the current folder", "/?", true, false, 0, 1},
        {"notepad beside the launcher", "/?", true, true, 0, 1},
        {"_Setup.exe only in the current folder", "/qn", false, false, 2, 0},
        {"_Setup.exe beside and in the current folder", "/qn", true, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveFolder(planted_);
        planted_ = MakeScratchFolder("planted");
        DeleteFileA(MediaFile("inner-record.txt").c_str());
        DeleteFileA(MediaFile("notepad.exe").c_str());
        if (!c.standInBeside)
            DeleteFileA(MediaFile("_Setup.exe").c_str());
        else
            CopyInto(WindowsPath(STANDIN_EXE_PATH), media_, "_Setup.exe");
        Plant(planted_, "notepad.exe");
        Plant(planted_, "_Setup.exe");
        if (c.notepadBeside)
            Plant(media_, "notepad.exe");
        RunResult run = RunFromPlanted(c.args);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.windows.size(), c.windows);
        EXPECT_FALSE(RanIn(planted_)) << "a program planted in the current folder ran";
        // Beside the launcher only the real inner installer may run.
        EXPECT_EQ(RanIn(media_), std::string(c.args) == "/qn" && c.standInBeside);
    }
}

// The inner installer is the one beside the launcher by that folder's exact
// name. Through the code page's nearest characters "Āmedium" would read as
// the look-alike folder "Amedium" beside it, and "Вmedium" as "?medium", a
// name no folder can have.
TEST_F(HardeningTest, InnerInstallerRunsFromTheLaunchersFolderWhateverItsName) {
    const struct {
        const char* folder;
        const char* lookAlike;  // NULL: none can be made
    } cases[] = {
        {"Āmedium", "Amedium"},
        {"Вmedium", NULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        std::vector<std::string> folders = {planted_ + "\\" + c.folder};
        if (c.lookAlike)
            folders.push_back(planted_ + "\\" + c.lookAlike);
        for (const std::string& folder : folders) {
            ASSERT_TRUE(MakeFolder(folder));
            ASSERT_TRUE(CopyInto(WindowsPath(SETUP_EXE_PATH), folder, "Setup.exe"));
            Plant(folder, "_Setup.exe");
        }
        RunResult run = RunAndAnswer("\"" + folders[0] + "\\Setup.exe\" /qn", planted_,
                                     kCloseByCloseButton, 60000);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_TRUE(RanIn(folders[0])) << "the _Setup.exe beside the launcher did not run";
        if (c.lookAlike)
            EXPECT_FALSE(RanIn(folders[1])) << "the look-alike folder's _Setup.exe ran";
    }
}

// A service's or SYSTEM's window station is not visible. A dialog there
// would never be answered, so the launcher shows none: the refusal ends at
// once with 1, the reports with 0, and "/?" still writes its file.
TEST_F(HardeningTest, UnseenStationShowsNothingAndNeverWaits) {
    const std::string desktop = HiddenDesktop();
    ASSERT_FALSE(desktop.empty()) << "Wine made no window station of our own";
    ASSERT_TRUE(WriteRegText(kClientLevelId, "VNR/3.9"));
    ASSERT_TRUE(WriteRegText(kMainUninstallKeyId, "DisplayName", "Omrik Vindara"));
    const struct {
        const char* args;
        unsigned long exitCode;
    } cases[] = {
        {"/qn", 1}, {"/l1036", 1}, {"/vd", 0}, {"/bl", 0}, {"/?", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        Process process = {};
        std::string command = "\"" + MediaFile("Setup.exe") + "\" " + c.args;
        ASSERT_TRUE(StartProcess(command, media_, &process, NULL, SW_SHOWDEFAULT,
                                 desktop.c_str()));
        DWORD exitCode = 0;
        // Within seconds, not when a dialog is closed: nobody closes it.
        EXPECT_TRUE(WaitProcess(&process, 20000, &exitCode)) << "Setup.exe waited on a window";
        EndProcess(&process);
        EXPECT_EQ(exitCode, c.exitCode);
    }
    EXPECT_TRUE(InnerCommands().empty());
    EXPECT_TRUE(FileExists(MediaFile("helpFILE.txt")));
}

struct LinkCase {
    const char* name;
    bool helpFile;  // helpFILE.txt in the current folder, else c:\LOGRESOURCES.txt
    bool symbolic;  // a symbolic link, else a hard link
};

void PrintTo(const LinkCase& c, std::ostream* out) {
    *out << c.name;
}

class LinkedFileTest : public LauncherTest, public ::testing::WithParamInterface<LinkCase> {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        elsewhere_ = MakeScratchFolder("elsewhere");
    }
    void TearDown() override {
        DeleteFileA("C:\\LOGRESOURCES.txt");
        RemoveFolder(elsewhere_);
        LauncherTest::TearDown();
    }
    std::string elsewhere_;
};

// Someone who may write to the folder puts a link under the file's name,
// pointing at a file only the elevated launcher could change. That file
// keeps its bytes; the name gets a fresh file of the launcher's own.
TEST_P(LinkedFileTest, LinkedFileKeepsItsBytes) {
    const LinkCase& c = GetParam();
    const std::string name = c.helpFile ? MediaFile("helpFILE.txt") : "C:\\LOGRESOURCES.txt";
    const std::string target = elsewhere_ + "\\protected.txt";
    const std::string kept = "a file the user may not change\r\n";
    ASSERT_TRUE(WriteWholeFile(target, kept));
    DeleteFileA(name.c_str());
    if (c.symbolic) {
        // Wine 8 answers CreateSymbolicLinkA with success and makes nothing.
        DWORD attributes = CreateSymbolicLinkA(name.c_str(), target.c_str(), 0)
                               ? GetFileAttributesA(name.c_str())
                               : INVALID_FILE_ATTRIBUTES;
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            GTEST_SKIP() << "this Wine makes no symbolic link";
    } else {
        ASSERT_TRUE(CreateHardLinkA(name.c_str(), target.c_str(), NULL));
    }

    RunResult run = RunSetup(c.helpFile ? "/?" : "/LOGRESOURCES /qn", kCloseByCloseButton);

    EXPECT_EQ(run.exitCode, 0u);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(target, &bytes));
    EXPECT_TRUE(bytes == kept) << "the launcher wrote through the link: the linked file holds "
                               << bytes.size() << " bytes";
    ASSERT_TRUE(ReadWholeFile(name, &bytes));
    if (c.helpFile) {
        EXPECT_EQ(bytes.size(), 36680u);
        EXPECT_EQ(Sha256Hex(bytes), kHelpFileSha256);
        EXPECT_EQ(run.windows.size(), 1u);  // Notepad shows the help
    } else {
        EXPECT_EQ(bytes.find("****************** starting checking system"), 0u);
        EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe /LOGRESOURCES /qn"});
    }
}

std::string LinkCaseName(const ::testing::TestParamInfo<LinkCase>& param) {
    return param.param.name;
}

const LinkCase kLinkCases[] = {
    {"HelpFileAsHardLink", true, false},
    {"ResourceLogAsHardLink", false, false},
    {"HelpFileAsSymbolicLink", true, true},
    {"ResourceLogAsSymbolicLink", false, true},
};

INSTANTIATE_TEST_SUITE_P(Links, LinkedFileTest, ::testing::ValuesIn(kLinkCases), LinkCaseName);
