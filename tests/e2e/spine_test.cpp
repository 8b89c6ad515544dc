// The launcher's main job end to end: it starts "_Setup.exe " followed by
// its whole argument text, waits for it, and passes its exit code on. Texts
// are UTF-8 here, as the stand-in records them.
#include <string>

#include "tests/e2e/launcher_fixture.h"

using SpineTest = LauncherTest;

TEST_F(SpineTest, NoArgumentsGiveTheBareInnerCommandWithItsBlank) {
    RunResult run = RunSetup("");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe "});
}

TEST_F(SpineTest, ArgumentTextReachesTheInnerInstallerUnchanged) {
    const std::string texts[] = {
        "/qn",
        "/s /v\"/qn INSTALLDIR=\\\"C:\\Program Files\\Omrik\\\"\"",
        "\"quoted value\" with\ttabs and  two blanks ",
        "/X uppercase is not the uninstall switch",
        "%PATH% ^& | < > ! ` $HOME 'single'",
        "ADDLOCAL=VNRCommon,Lapvane CC=\"FR\" FREEDIAL=\\\"Yes\\\"",
        "café naïve © ÿ €",
        std::string(248, 'a'),
        std::string(249, 'b'),
        std::string(1000, 'c'),
    };
    for (const std::string& text : texts)
        RunSetup(text);
    std::vector<std::string> commands = InnerCommands();
    ASSERT_EQ(commands.size(), sizeof texts / sizeof texts[0]);
    for (size_t i = 0; i < commands.size(); i++)
        EXPECT_EQ(commands[i], "_Setup.exe " + texts[i]) << "case " << i;
}

// Read through the narrow call, a Cyrillic folder name turns into question
// marks, and "/?" among them would show the help instead of installing; a
// full-width "／ｘ" would become the removal switch.
TEST_F(SpineTest, ArgumentTextOutsideTheCodePageReachesTheInnerInstallerUnchanged) {
    SetStandIn("STANDIN_EXIT_CODE", "3010");
    for (const std::string text : {"/v\"INSTALLDIR=D:/Программы\"", "／ｘ"}) {
        SCOPED_TRACE(text);
        DeleteFileA(MediaFile("inner-record.txt").c_str());
        DeleteFileA(MediaFile("helpFILE.txt").c_str());
        RunResult run = RunSetup(text, kCloseByCloseButton);
        EXPECT_EQ(run.exitCode, 3010u);
        EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe " + text});
        EXPECT_FALSE(FileExists(MediaFile("helpFILE.txt")));
    }
}

// Leading white space belongs to the separation from the program name.
TEST_F(SpineTest, BlanksAfterTheProgramNameAreNotPartOfTheText) {
    RunSetup("  \t /qn");
    EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe /qn"});
}

TEST_F(SpineTest, VeryLongArgumentTextIsPassedWhole) {
    std::string text;
    for (int i = 0; text.size() < 32000; i++)
        text += "PROPERTY" + std::to_string(i) + "=\"value " + std::to_string(i) + "\" ";
    text.resize(32000);
    RunResult run = RunSetup(text);
    EXPECT_EQ(run.exitCode, 0u);
    std::vector<std::string> commands = InnerCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].size(), 11u + text.size());
    EXPECT_EQ(commands[0], "_Setup.exe " + text);
}

// A text that fits the launcher's own command line but not the inner one:
// the inner installer cannot be started, which is reported, not hidden.
// The launcher is started by its bare name so its own line is the shorter.
TEST_F(SpineTest, InnerCommandBeyondThePlatformLimitIsAFailedStart) {
    std::string text(32756, 'd');
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(media_.c_str()));
    RunResult run = RunAndAnswer("Setup.exe " + text, media_, kCloseByOk, 60000);
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_TRUE(InnerCommands().empty());
}

// The text in UTF-8 of bytes in the ANSI code page.
static std::string FromCodePage(const std::string& bytes) {
    std::wstring wide(bytes.size(), L'\0');
    wide.resize((size_t)MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), &wide[0],
                                            (int)wide.size()));
    return Utf8(wide);
}

// Random characters of the ANSI code page, every one of its bytes but NUL.
TEST_F(SpineTest, RandomArgumentTextsArriveByteForByte) {
    unsigned seed = 20261208;
    std::vector<std::string> texts;
    for (int i = 0; i < 40; i++) {
        std::string text;
        size_t length = 1 + (seed = seed * 1103515245 + 12345) % 300;
        while (text.size() < length) {
            char c = (char)(1 + (seed = seed * 1103515245 + 12345) / 65536 % 255);
            text += c;
        }
        // Report switches would show boxes; the first character must not be
        // white space, which the program-name skipping takes away.
        for (const char* report : {"/?", "/vd", "/bl"}) {
            for (size_t at; (at = text.find(report)) != std::string::npos;)
                text[at] = '-';
        }
        if ((unsigned char)text[0] <= ' ')
            text[0] = 'x';
        texts.push_back(FromCodePage(text));
        RunSetup(texts.back());
    }
    std::vector<std::string> commands = InnerCommands();
    ASSERT_EQ(commands.size(), texts.size());
    for (size_t i = 0; i < texts.size(); i++)
        EXPECT_EQ(commands[i], "_Setup.exe " + texts[i]) << "case " << i << ": "
                                                         << Printable(texts[i]);
}

TEST_F(SpineTest, WaitsUntilTheInnerInstallerHasEnded) {
    SetStandIn("STANDIN_SLEEP_MS", "1500");
    RunSetup("/qn");
    EXPECT_TRUE(InnerEnded());
}

struct ExitCase {
    const char* args;
    const char* innerExit;  // NULL: the stand-in is missing
    const char* crash;
    DWORD expected;
};

TEST_F(SpineTest, ExitCodeIsTheInnerInstallersOwn) {
    const ExitCase cases[] = {
        {"", "0", "0", 0},
        {"/qn", "1603", "0", 1603},
        {"/qn", "3010", "0", 3010},
        {"", "0", "1", 0xC0000005},
        {"/x", "1602", "0", 1602},
        {"/x", "0", "0", 0},
    };
    for (const ExitCase& c : cases) {
        SetStandIn("STANDIN_EXIT_CODE", c.innerExit);
        SetStandIn("STANDIN_CRASH", c.crash);
        RunResult run = RunSetup(c.args);
        EXPECT_EQ(run.exitCode, c.expected) << c.args << " exit " << c.innerExit;
        EXPECT_TRUE(run.windows.empty());
    }
}

TEST_F(SpineTest, MissingInnerInstallerEndsWithFileNotFound) {
    ASSERT_TRUE(DeleteFileA(MediaFile("_Setup.exe").c_str()));
    for (const char* args : {"", "/x"}) {
        RunResult run = RunSetup(args);
        EXPECT_EQ(run.exitCode, (DWORD)ERROR_FILE_NOT_FOUND) << args;
        EXPECT_TRUE(run.windows.empty());
    }
}

struct HiddenWindowSearch {
    DWORD processId;
    int found;
    int visible;
};

static BOOL CALLBACK CountMainWindows(HWND window, LPARAM context) {
    HiddenWindowSearch* search = (HiddenWindowSearch*)context;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (id == search->processId && _stricmp(className, "MESSAGE") == 0) {
        search->found++;
        search->visible += IsWindowVisible(window) ? 1 : 0;
    }
    return TRUE;
}

// Whatever show command the launcher gets, its main window exists but is
// never visible; it is looked at while the inner installer runs.
TEST_F(SpineTest, MainWindowStaysHiddenWhateverTheShowCommand) {
    SetStandIn("STANDIN_SLEEP_MS", "1500");
    for (WORD show : {SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOW, SW_SHOWDEFAULT}) {
        Process process = {};
        std::string command = "\"" + MediaFile("Setup.exe") + "\"";
        ASSERT_TRUE(StartProcess(command, media_, &process, NULL, show));
        Sleep(700);
        HiddenWindowSearch search = {process.id, 0, 0};
        EnumWindows(CountMainWindows, (LPARAM)&search);
        DWORD exitCode = 1;
        EXPECT_TRUE(WaitProcess(&process, 30000, &exitCode));
        EndProcess(&process);
        EXPECT_EQ(search.found, 1) << "show command " << show;
        EXPECT_EQ(search.visible, 0) << "show command " << show;
        EXPECT_EQ(exitCode, 0u);
    }
}
