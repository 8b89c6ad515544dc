// The demo product's inner installer, _Setup.exe: it drives the Windows
// Installer with the package that lies beside it, the way a setup engine
// does, and exits with msiexec's exit code. After an installation it copies
// the package into the installation directory, where the launcher's repaired
// removal command looks for it, and adds the per-user source list values
// that the Installer leaves out when it never read its source.
#include <windows.h>

#include <string.h>

#include "detect/registry_paths.h"
#include "launcher/command_line.h"
#include "base/error_codes.h"
#include "base/run_and_wait.h"
#include "base/text.h"
#include "tools/demo_installer/setup_arguments.h"
#include "tools/testbed/installation.h"

static const char kPackageName[] = "Omrik Vindara.msi";
static const char kLogName[] = "Omrik Vindara setup.log";
// The Installer's own codes: a command line it cannot take, and the two
// successes that ask for a restart.
static const DWORD kErrorInvalidCommandLine = 1639;

// Appends a line to the setup log in the user's temporary folder, where
// setup engines keep theirs: what this program was given and what it ran.
static void LogLine(const char* label, const char* text) {
    char path[MAX_PATH];
    DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length >= sizeof path || !AppendText(path, sizeof path, kLogName))
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    (void)WriteFile(file, label, (DWORD)strlen(label), &written, NULL);
    (void)WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    (void)WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

// The installation directory as the package registered it in the product
// key, ending with a backslash. The buffer is cleared and one byte is kept
// back, so the text always ends in a NUL.
static int ReadInstallDirectory(char* directory, size_t cap) {
    HKEY key;
    const KeyId product = kRegistrationValues[kDirectoryId].key;
    if (RegOpenKeyExA(RootOf(product), PlainPath(product), 0, KEY_READ | kRegistryView, &key) !=
        ERROR_SUCCESS)
        return 0;
    memset(directory, 0, cap);
    DWORD type = REG_NONE;
    DWORD size = (DWORD)cap - 1;
    LONG result = RegQueryValueExA(key, kRegistrationValues[kDirectoryId].name, NULL, &type,
                                   (BYTE*)directory, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ && directory[0] != '\0';
}

// The removal and repair commands the launcher leaves behind name this copy.
static int CopyPackageInto(const char* package, const char* directory) {
    char target[MAX_PATH];
    int fits = CopyText(target, sizeof target, directory);
    fits &= AppendText(target, sizeof target, kPackageName);
    return fits && CopyFileA(package, target, FALSE);
}

// Sets a source path as expandable text, the type the Installer gives its
// network sources, unless the Installer wrote a value of that name itself.
static void AddMissingSource(HKEY key, const char* name, const char* text) {
    if (RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
        return;
    (void)RegSetValueExA(key, name, 0, REG_EXPAND_SZ, (const BYTE*)text,
                         (DWORD)strlen(text) + 1);
}

// LastUsedSource "n;1;<source>" and the first network source "1" = <source>,
// for a product the Installer registered per user. Wine's Installer leaves
// them out when the installation never read its source (a package without
// files). Nothing is added without a source list key; the network source
// key below it is made when missing.
static void AddSourceListValues(const char* source) {
    const KeyId listKey = kRegistrationValues[kLastUsedSourceId].key;
    const KeyId netKey = kRegistrationValues[kNetSourceId].key;
    HKEY list;
    if (RegOpenKeyExA(RootOf(listKey), PlainPath(listKey), 0, KEY_ALL_ACCESS | kRegistryView,
                      &list) != ERROR_SUCCESS)
        return;
    char lastUsed[kTextBufSize];
    int fits = CopyText(lastUsed, sizeof lastUsed, "n;1;");
    fits &= AppendText(lastUsed, sizeof lastUsed, source);
    if (fits)
        AddMissingSource(list, kRegistrationValues[kLastUsedSourceId].name, lastUsed);
    RegCloseKey(list);
    HKEY net;
    if (RegCreateKeyExA(RootOf(netKey), PlainPath(netKey), 0, NULL, 0,
                        KEY_ALL_ACCESS | kRegistryView, NULL, &net, NULL) == ERROR_SUCCESS) {
        AddMissingSource(net, kRegistrationValues[kNetSourceId].name, source);
        RegCloseKey(net);
    }
}

static int Completed(DWORD exitCode) {
    return exitCode == ERROR_SUCCESS || exitCode == kErrorSuccessRebootInitiated ||
           exitCode == kErrorSuccessRebootRequired;
}

// The argument text in UTF-8, so no character of it is lost on the way to
// msiexec; the command goes back to UTF-16 when it is started.
static int Utf8(const wchar_t* wide, char* text, size_t cap) {
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, (int)cap, NULL, NULL) > 0;
}

static int Utf16(const char* text, wchar_t* wide, size_t cap) {
    return MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, (int)cap) > 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char source[MAX_PATH];
    char package[MAX_PATH];
    if (!InstallationFolder(source, sizeof source) || !CopyText(package, sizeof package, source) ||
        !AppendText(package, sizeof package, kPackageName))
        return ERROR_FILENAME_EXCED_RANGE;
    static SetupRequest request;
    static char args[kCommandSize];
    static char command[kCommandSize];
    static wchar_t wideCommand[kCommandSize];
    if (!Utf8(SkipProgramName(GetCommandLineW()), args, sizeof args) ||
        !ParseSetupArguments(args, &request) ||
        !ComposeMsiexecCommand(&request, package, command, sizeof command) ||
        !Utf16(command, wideCommand, kCommandSize))
        return (int)kErrorInvalidCommandLine;
    LogLine("arguments: ", args);
    LogLine("runs: ", command);
    ProgramRun run;
    const int ended = StartProgram(NULL, wideCommand, &run, NULL) && WaitProgram(&run);
    const unsigned long exitCode = run.exitCode;
    if (!ended || request.remove || !Completed(exitCode))
        return (int)exitCode;
    AddSourceListValues(source);
    // A failed copy leaves the installation usable; only the launcher's
    // removal command then misses its package.
    char directory[kTextBufSize];
    if (ReadInstallDirectory(directory, sizeof directory))
        (void)CopyPackageInto(package, directory);
    return (int)exitCode;
}
