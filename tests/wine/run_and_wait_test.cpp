// Starting and waiting for a child program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/run_and_wait.h"
#include "tools/testbed/testbed.h"

static std::string StandInCommand() {
    return "\"" + WindowsPath(STANDIN_EXE_PATH) + "\" /qn";
}

TEST(RunAndWait, ReturnsTheChildsExitCodeAfterItEnded) {
    std::string folder = DirectoryOf(WindowsPath(STANDIN_EXE_PATH));
    DeleteFileA((folder + "\\inner-ended.txt").c_str());
    SetEnvironmentVariableA("STANDIN_EXIT_CODE", "3010");
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", "800");
    std::string command = StandInCommand();
    unsigned long exitCode = 0;
    EXPECT_EQ(RunAndWait(&command[0], &exitCode), 1);
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
    std::string command = StandInCommand();
    unsigned long exitCode = 1;
    EXPECT_EQ(RunAndWait(&command[0], &exitCode), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(FileExists(folder + "\\inner-ended.txt"));
    SetEnvironmentVariableA("STANDIN_SLEEP_MS", NULL);
}

TEST(RunAndWait, ProgramThatCannotBeFoundReportsTheError) {
    char command[] = "no-such-program-4f2a9.exe /qn";
    unsigned long exitCode = 0;
    EXPECT_EQ(RunAndWait(command, &exitCode), 0);
    EXPECT_EQ(exitCode, (unsigned long)ERROR_FILE_NOT_FOUND);
}
