// Starting and waiting for a child program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/run_and_wait.h"
#include "tools/testbed/testbed.h"

static std::string StandIn() {
    return WindowsPath(STANDIN_EXE_PATH);
}

TEST(RunAndWait, ReturnsTheChildsExitCodeAfterItEnded) {
    std::string folder = DirectoryOf(WindowsPath(STANDIN_EXE_PATH));
    DeleteFileA((folder + "\\inner-ended.txt").c_str());
    SetEnvironmentVariableA("STANDIN_EXIT_CODE", "3010");
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", "800");
    char command[] = "_Setup.exe /qn";
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
TEST(RunAndWait, AQueuedCallDoesNotEndTheWait) {
    std::string folder = DirectoryOf(WindowsPath(STANDIN_EXE_PATH));
    DeleteFileA((folder + "\\inner-ended.txt").c_str());
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", "800");
    int calls = 0;
    QueueUserAPC(CountApc, GetCurrentThread(), (ULONG_PTR)&calls);
    char command[] = "_Setup.exe /qn";
    unsigned long exitCode = 1;
    EXPECT_EQ(RunAndWait(StandIn().c_str(), command, &exitCode), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(FileExists(folder + "\\inner-ended.txt"));
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", NULL);
}

TEST(RunAndWait, ProgramThatCannotBeFoundReportsTheError) {
    char command[] = "_Setup.exe /qn";
    std::string missing = DirectoryOf(StandIn()) + "\\no-such-program-4f2a9.exe";
    unsigned long exitCode = 0;
    EXPECT_EQ(RunAndWait(missing.c_str(), command, &exitCode), 0);
    EXPECT_EQ(exitCode, (unsigned long)ERROR_FILE_NOT_FOUND);
}

// The paths of the programs the launcher starts: whole, or refused.
TEST(ProgramPaths, FitOrAreRefused) {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, module, sizeof module);
    ASSERT_GT(length, 0u);
    // Longer than this program's own name, whose path is read first.
    const char* name = "a-program-with-a-long-name.exe";
    std::string expected = DirectoryOf(module) + "\\" + name;
    char system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
    std::string notepad = std::string(system) + "\\notepad.exe";
    const struct {
        int (*compose)(const char* name, char* path, size_t cap);
        const char* name;
        std::string whole;
    } cases[] = {
        {PathInModuleFolder, name, expected},
        {PathInSystemFolder, "\\notepad.exe", notepad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.whole);
        char path[MAX_PATH + 16];
        EXPECT_EQ(c.compose(c.name, path, c.whole.size() + 1), 1);
        EXPECT_EQ(path, c.whole);
        EXPECT_EQ(c.compose(c.name, path, c.whole.size()), 0);  // one byte short
        EXPECT_EQ(c.compose(c.name, path, 0), 0);
    }
}
