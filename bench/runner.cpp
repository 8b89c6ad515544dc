// Benchmark harness, run under Wine: times whole program runs from the
// Windows side and checks what each run left in the registry.
//   bench_runner ROOT ROUNDS WARMUP PAUSE_MS
// ROOT holds one folder per case (see kCases) with the programs laid out as
// on installation media. Each round runs every case once, in an order
// rotated by one case per round, each run after the registry has been reset
// and the same pause. A run is timed from just before CreateProcess to the
// return of an unbounded wait on the process, with the performance counter.
// Writes ROOT\runs.csv (one line per timed run) and ROOT\modules.txt (the
// modules each launcher has loaded while its inner program waits), and
// exits with 1 when any run ended or left the registry other than expected.
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tools/testbed/testbed.h"
#include "setup_version.h"

enum Outcome {
    kNothingInstalled,  // the inner program registered nothing
    kAsInnerLeftIt,     // registered, and nobody repaired it
    kRepaired,          // registered, then the six repairs ran
};

struct Case {
    const char* name;
    const char* folder;
    const char* program;
    Outcome outcome;
};

// A: the inner program alone, B: the NSIS peer, C: Setup.exe; then the
// variants that show where Setup.exe's own time goes.
static const Case kCases[] = {
    {"fresh/limit", "fresh-limit", "_Setup.exe", kNothingInstalled},
    {"fresh/peer", "fresh-peer", "Setup.exe", kNothingInstalled},
    {"fresh/setup", "fresh-setup", "Setup.exe", kNothingInstalled},
    {"repair/limit", "repair-limit", "_Setup.exe", kAsInnerLeftIt},
    {"repair/peer", "repair-peer", "Setup.exe", kRepaired},
    {"repair/setup", "repair-setup", "Setup.exe", kRepaired},
    {"fresh/setup-nowindow", "fresh-nowindow", "Setup.exe", kNothingInstalled},
    {"probe/imports", "probe", "probe_imports.exe", kNothingInstalled},
    {"probe/window", "probe", "probe_window.exe", kNothingInstalled},
};
static const int kCaseCount = sizeof kCases / sizeof kCases[0];

// Folders whose inner program waits until released, for the module lists.
static const Case kHoldCases[] = {
    {"limit", "hold-limit", "_Setup.exe", kNothingInstalled},
    {"peer", "hold-peer", "Setup.exe", kNothingInstalled},
    {"setup", "hold-setup", "Setup.exe", kNothingInstalled},
    {"setup-nowindow", "hold-nowindow", "Setup.exe", kNothingInstalled},
};

static const char kArguments[] = "/qn";
static const char kDirectory[] = "C:\\Program Files\\Omrik\\Vindara\\";

static std::string gRoot;
static int gFailures;

static void Fail(const char* caseName, int round, const std::string& why) {
    fprintf(stderr, "FAIL %s (round %d): %s\n", caseName, round, why.c_str());
    gFailures++;
}

static std::string CommandLineOf(const Case& c) {
    return "\"" + gRoot + "\\" + c.folder + "\\" + c.program + "\" " + kArguments;
}

static std::string FolderOf(const Case& c) {
    return gRoot + "\\" + c.folder;
}

// The text of a value of the registration without the terminating NUL,
// which the launcher leaves out and the peer writes.
static bool ReadText(ValueId value, std::string* text) {
    RegValue read;
    if (!ReadRegValue(value, &read))
        return false;
    *text = read.data;
    while (!text->empty() && text->back() == '\0')
        text->pop_back();
    return true;
}

static void ExpectText(const Case& c, int round, ValueId value, const std::string& expected) {
    const std::string name = kRegistrationValues[value].name;
    std::string text;
    if (!ReadText(value, &text))
        Fail(c.name, round, name + " is missing");
    else if (text != expected)
        Fail(c.name, round, name + " is \"" + text + "\", expected \"" + expected + "\"");
}

static void CheckOutcome(const Case& c, int round) {
    const std::string directory = kDirectory;
    std::string text;
    switch (c.outcome) {
    case kNothingInstalled:
        if (KeyExists(kProductKeyId) || KeyExists(kMainUninstallKeyId))
            Fail(c.name, round, "the product is registered");
        break;
    case kAsInnerLeftIt:
        ExpectText(c, round, kClientLevelId, "VNR/4.50");
        if (ReadText(kBuildLevelId, &text))
            Fail(c.name, round, "Build Level was written");
        ExpectText(c, round, kUninstallStringId, INSTALLED_UNINSTALL_STRING);
        ExpectText(c, round, kLastUsedSourceId, "n;1;" + FolderOf(c) + "\\");
        break;
    case kRepaired:
        ExpectText(c, round, kBuildLevelId, SETUP_BUILD_DATE);
        ExpectText(c, round, kUninstallStringId,
                   "msiexec /x \"" + directory + "Omrik Vindara.msi\"");
        ExpectText(c, round, kModifyPathId, directory);
        ExpectText(c, round, kLocalPackageId, directory + "Omrik VindaraXXX.msi");
        ExpectText(c, round, kLastUsedSourceId, "n;1;" + directory);
        ExpectText(c, round, kNetSourceId, directory);
        break;
    }
}

// Starts the program in its own folder, as a user starting it from the
// media would, with the default start-up record.
static bool Launch(std::string* command, const std::string& folder, PROCESS_INFORMATION* process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(NULL, &(*command)[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                          &startup, process) != 0;
}

// One timed run. The reset and the pause come before the clock starts; the
// checks after it stops. Returns the wall time in milliseconds, or -1.
static double RunCase(const Case& c, int round, DWORD pauseMs, DWORD* exitCode) {
    DeleteProductKeys();
    Sleep(pauseMs);
    std::string command = CommandLineOf(c);
    std::string folder = FolderOf(c);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!Launch(&command, folder, &process)) {
        Fail(c.name, round, "not started, error " + std::to_string(GetLastError()));
        return -1;
    }
    DWORD waited = WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    if (waited != WAIT_OBJECT_0)
        Fail(c.name, round, "the wait failed, error " + std::to_string(GetLastError()));
    *exitCode = 0;
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (*exitCode != 0)
        Fail(c.name, round, "exit code " + std::to_string(*exitCode));
    CheckOutcome(c, round);
    return (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static void RunRounds(int rounds, int warmup, DWORD pauseMs, FILE* csv) {
    for (int round = -warmup; round < rounds; round++) {
        int first = ((round % kCaseCount) + kCaseCount) % kCaseCount;
        for (int slot = 0; slot < kCaseCount; slot++) {
            const Case& c = kCases[(first + slot) % kCaseCount];
            DWORD exitCode = 0;
            double ms = RunCase(c, round, pauseMs, &exitCode);
            if (round >= 0 && csv)
                fprintf(csv, "%d,%d,%s,%.4f,%lu\n", round, slot, c.name, ms, exitCode);
        }
        if (round >= 0 && (round + 1) % 10 == 0)
            fprintf(stderr, "bench_runner: %d of %d rounds\n", round + 1, rounds);
    }
    DeleteProductKeys();
}

static void ListModules(DWORD processId, FILE* out, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        Fail(name, 0, "no module snapshot, error " + std::to_string(GetLastError()));
        return;
    }
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    int count = 0;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
        fprintf(out, "%s %s\n", name, module.szModule);
        count++;
    }
    CloseHandle(snapshot);
    if (count == 0)
        Fail(name, 0, "the module snapshot is empty");
}

// Starts each launcher with an inner program that signals once it runs and
// then waits, so the launcher is caught in its wait with every module it
// loaded on the way.
static void ListLoadedModules(FILE* out) {
    HANDLE ready = CreateEventA(NULL, FALSE, FALSE, "OmrikBenchInnerReady");
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, "OmrikBenchInnerRelease");
    for (const Case& c : kHoldCases) {
        DeleteProductKeys();
        ResetEvent(release);
        std::string command = CommandLineOf(c);
        PROCESS_INFORMATION process = {};
        if (!Launch(&command, FolderOf(c), &process)) {
            Fail(c.name, 0, "not started, error " + std::to_string(GetLastError()));
            continue;
        }
        HANDLE waits[2] = {ready, process.hProcess};
        if (WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0)
            ListModules(process.dwProcessId, out, c.name);
        else
            Fail(c.name, 0, "the inner program did not start");
        SetEvent(release);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(ready);
    CloseHandle(release);
    DeleteProductKeys();
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: bench_runner ROOT ROUNDS WARMUP PAUSE_MS\n");
        return 2;
    }
    gRoot = argv[1];
    int rounds = atoi(argv[2]);
    int warmup = atoi(argv[3]);
    DWORD pauseMs = (DWORD)strtoul(argv[4], NULL, 10);
    FILE* csv = fopen((gRoot + "\\runs.csv").c_str(), "w");
    FILE* modules = fopen((gRoot + "\\modules.txt").c_str(), "w");
    if (!csv || !modules) {
        fprintf(stderr, "bench_runner: cannot write into %s\n", gRoot.c_str());
        return 2;
    }
    fprintf(csv, "round,slot,case,ms,exit\n");
    RunRounds(rounds, warmup, pauseMs, csv);
    ListLoadedModules(modules);
    fclose(csv);
    fclose(modules);
    if (gFailures) {
        fprintf(stderr, "bench_runner: %d failed checks\n", gFailures);
        return 1;
    }
    return 0;
}
