// Starting and waiting for a child program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/run_and_wait.h"
#include "tools/testbed/testbed.h"

static std::wstring StandIn() {
    return Wide(WindowsPath(STANDIN_EXE_PATH));
}

// Started and waited for: 1 with its exit code once it has ended, 0 with
// the system's code.
static int RunAndWait(const wchar_t* application, wchar_t* commandLine, unsigned long* exitCode) {
    ProgramRun run;
    const int ended = StartProgram(application, commandLine, &run, NULL) && WaitProgram(&run);
    *exitCode = run.exitCode;
    return ended;
}

TEST(StartAndWaitProgram, ReturnsTheChildsExitCodeAfterItEnded) {
    std::string folder = DirectoryOf(WindowsPath(STANDIN_EXE_PATH));
    DeleteFileA((folder + "\\inner-ended.txt").c_str());
    SetEnvironmentVariableA("STANDIN_EXIT_CODE", "3010");
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", "800");
    wchar_t command[] = L"_Setup.exe /qn";
    unsigned long exitCode = 0;
    EXPECT_EQ(RunAndWait(StandIn().c_str(), command, &exitCode), 1);
    EXPECT_EQ(exitCode, 3010u);
    EXPECT_TRUE(FileExists(folder + "\\inner-ended.txt"));
    SetEnvironmentVariableA("STANDIN_EXIT_CODE", NULL);
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", NULL);
}

static void CALLBACK CountApc(ULONG_PTR context) {
    ++*(int*)context;
}

// The wait is alertable; a queued call must not end it early.
TEST(StartAndWaitProgram, AQueuedCallDoesNotEndTheWait) {
    std::string folder = DirectoryOf(WindowsPath(STANDIN_EXE_PATH));
    DeleteFileA((folder + "\\inner-ended.txt").c_str());
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", "800");
    int calls = 0;
    QueueUserAPC(CountApc, GetCurrentThread(), (ULONG_PTR)&calls);
    wchar_t command[] = L"_Setup.exe /qn";
    unsigned long exitCode = 1;
    EXPECT_EQ(RunAndWait(StandIn().c_str(), command, &exitCode), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(FileExists(folder + "\\inner-ended.txt"));
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", NULL);
}

TEST(StartAndWaitProgram, ProgramThatCannotBeFoundReportsTheError) {
    wchar_t command[] = L"_Setup.exe /qn";
    std::wstring missing =
        Wide(DirectoryOf(WindowsPath(STANDIN_EXE_PATH)) + "\\no-such-program-4f2a9.exe");
    unsigned long exitCode = 0;
    EXPECT_EQ(RunAndWait(missing.c_str(), command, &exitCode), 0);
    EXPECT_EQ(exitCode, (unsigned long)ERROR_FILE_NOT_FOUND);
}

// The paths of the programs the launcher starts: whole, or refused.
TEST(ProgramPaths, FitOrAreRefused) {
    wchar_t module[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, module, MAX_PATH);
    ASSERT_GT(length, 0u);
    // Longer than this program's own name, whose path is read first.
    const char* name = "a-program-with-a-long-name.exe";
    std::wstring expected = module;
    expected = expected.substr(0, expected.rfind(L'\\') + 1) + L"a-program-with-a-long-name.exe";
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    std::wstring notepad = std::wstring(system) + L"\\notepad.exe";
    const struct {
        int (*compose)(const char* name, wchar_t* path, size_t cap);
        const char* name;
        std::wstring whole;
    } cases[] = {
        {PathInModuleFolder, name, expected},
        {PathInSystemFolder, "\\notepad.exe", notepad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.whole);
        wchar_t path[MAX_PATH + 16];
        EXPECT_EQ(c.compose(c.name, path, c.whole.size() + 1), 1);
        EXPECT_EQ(path, c.whole);
        EXPECT_EQ(c.compose(c.name, path, c.whole.size()), 0);  // one character short
        EXPECT_EQ(c.compose(c.name, path, 0), 0);
    }
}
