// Stand-in for the inner installer, built as _Setup.exe for the tests. It
// records its exact command line, can leave behind what a completed
// installation leaves in the registry (or take it away again for "/x"),
// and exits the way it is told. Its behaviour comes from the environment
// the launcher passes on:
//   STANDIN_EXIT_CODE   exit code (decimal, or hex with 0x)
//   STANDIN_REGISTER    1: register the product; with "/x", remove it
//   STANDIN_DIRECTORY   Directory to register (default below)
//   STANDIN_CLIENT_LEVEL ClientLevel to register (default "VNR/4.50")
//   STANDIN_SLEEP_MS    time to wait before ending
//   STANDIN_CRASH       1: end with an access violation
// Each run appends its command line and a NUL to inner-record.txt beside
// the program, and writes inner-ended.txt there just before it ends.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "tools/testbed/installation.h"

static const char kDefaultDirectory[] = "C:\\Program Files\\Omrik\\Vindara\\";
static const char kDefaultClientLevel[] = "VNR/4.50";

static void OwnFolderFile(const char* name, char* path, DWORD size) {
    DWORD length = InstallationFolder(path, size);
    if (length + strlen(name) < size)
        memcpy(path + length, name, strlen(name) + 1);
}

static void AppendToFile(const char* name, const char* bytes, DWORD size) {
    char path[MAX_PATH];
    OwnFolderFile(name, path, sizeof path);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, bytes, size, &written, NULL);
    CloseHandle(file);
}

static const char* Setting(const char* name, const char* fallback) {
    const char* value = getenv(name);
    return value && *value ? value : fallback;
}

static LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

int main() {
    const char* commandLine = GetCommandLineA();
    AppendToFile("inner-record.txt", commandLine, (DWORD)strlen(commandLine) + 1);
    if (strcmp(Setting("STANDIN_REGISTER", "0"), "1") == 0) {
        if (strstr(commandLine, "/x"))
            RemoveInstallation();
        else
            RegisterInstallation(Setting("STANDIN_DIRECTORY", kDefaultDirectory),
                                 Setting("STANDIN_CLIENT_LEVEL", kDefaultClientLevel));
    }
    Sleep((DWORD)strtoul(Setting("STANDIN_SLEEP_MS", "0"), NULL, 10));
    AppendToFile("inner-ended.txt", "ended\n", 6);
    if (strcmp(Setting("STANDIN_CRASH", "0"), "1") == 0) {
        // Without a debugger an unhandled fault ends the process with the
        // exception code; say so here so Wine does not start one either.
        SetUnhandledExceptionFilter(EndWithExceptionCode);
        *(volatile int*)0 = 1;
    }
    return (int)strtoul(Setting("STANDIN_EXIT_CODE", "0"), NULL, 0);
}
