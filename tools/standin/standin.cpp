// Stand-in for the inner installer, built as _Setup.exe for the tests. It
// records its exact command line, can leave behind what a completed
// installation leaves in the registry (or take it away again for "/x"),
// and exits the way it is told. Its behaviour comes from the environment
// the launcher passes on:
//   STANDIN_EXIT_CODE   exit code (decimal, or hex with 0x)
//   STANDIN_REGISTER    1: register the product; with "/x", remove it
//   STANDIN_DIRECTORY   Directory to register (default below), any characters
//   STANDIN_CLIENT_LEVEL ClientLevel to register (default "VNR/4.50")
//   STANDIN_SLEEP_MS    time to wait before ending
//   STANDIN_BROADCAST   1: tell every top-level window that the environment
//                       changed, with the plain blocking send installers use
//   STANDIN_CRASH       1: end with an access violation
// Each run appends its command line, as the wide call gives it, in UTF-8
// and a NUL to inner-record.txt beside the program, and writes
// inner-ended.txt there just before it ends. Both go to the folder the
// program really runs from, whatever characters its name holds.
#include <windows.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "tools/testbed/installation.h"

static const wchar_t kDefaultDirectory[] = L"C:\\Program Files\\Omrik\\Vindara\\";
static const wchar_t kDefaultClientLevel[] = L"VNR/4.50";

static void AppendToFile(const wchar_t* name, const char* bytes, DWORD size) {
    wchar_t path[MAX_PATH];
    DWORD length = InstallationFolder(path, MAX_PATH);
    if (length == 0 || length + wcslen(name) >= MAX_PATH)
        return;
    wcscpy(path + length, name);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, bytes, size, &written, NULL);
    CloseHandle(file);
}

// Records the command line with the NUL that ends it.
static void RecordCommandLine(const wchar_t* commandLine) {
    int size = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, NULL, 0, NULL, NULL);
    char* bytes = (char*)malloc(size > 0 ? (size_t)size : 1);
    if (!bytes)
        return;
    if (size > 0 && WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, bytes, size, NULL, NULL))
        AppendToFile(L"inner-record.txt", bytes, (DWORD)size);
    free(bytes);
}

// A setting through the wide environment call, so a folder name of any
// characters arrives whole; the fallback when it is unset, empty or longer
// than the buffer.
static const wchar_t* Setting(const wchar_t* name, const wchar_t* fallback, wchar_t* buffer,
                              DWORD cap) {
    DWORD length = GetEnvironmentVariableW(name, buffer, cap);
    return length > 0 && length < cap ? buffer : fallback;
}

// A number, decimal or hex with 0x; 0 when unset.
static unsigned long Number(const wchar_t* name) {
    wchar_t buffer[32];
    return wcstoul(Setting(name, L"0", buffer, 32), NULL, 0);
}

static LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

int main() {
    const wchar_t* commandLine = GetCommandLineW();
    RecordCommandLine(commandLine);
    if (Number(L"STANDIN_REGISTER") == 1) {
        if (wcsstr(commandLine, L"/x")) {
            RemoveInstallation();
        } else {
            static wchar_t directory[32767], clientLevel[32767];
            RegisterInstallation(
                Setting(L"STANDIN_DIRECTORY", kDefaultDirectory, directory, 32767),
                Setting(L"STANDIN_CLIENT_LEVEL", kDefaultClientLevel, clientLevel, 32767));
        }
    }
    Sleep((DWORD)Number(L"STANDIN_SLEEP_MS"));
    if (Number(L"STANDIN_BROADCAST") == 1)
        SendMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"Environment");
    AppendToFile(L"inner-ended.txt", "ended\n", 6);
    if (Number(L"STANDIN_CRASH") == 1) {
        // Without a debugger an unhandled fault ends the process with the
        // exception code; say so here so Wine does not start one either.
        SetUnhandledExceptionFilter(EndWithExceptionCode);
        *(volatile int*)0 = 1;
    }
    return (int)Number(L"STANDIN_EXIT_CODE");
}
