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

#include "detect/registry_paths.h"

static const char kDefaultDirectory[] = "C:\\Program Files\\Omrik\\Vindara\\";
static const char kDefaultClientLevel[] = "VNR/4.50";

static void OwnFolderFile(const char* name, char* path, DWORD size) {
    DWORD length = GetModuleFileNameA(NULL, path, size);
    while (length > 0 && path[length - 1] != '\\')
        length--;
    path[length] = '\0';
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

static void SetText(HKEY root, const char* path, const char* name, const char* text) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1);
    RegCloseKey(key);
}

static void DeleteTree(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    DWORD length = sizeof name;
    while (RegEnumKeyExA(key, 0, name, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
        DeleteTree(key, name);
        length = sizeof name;
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path);
}

// What an installation of the product leaves behind: the product key, the
// uninstall entry pointing at the Installer's cached package, and the
// per-user source list naming the installation media.
static void RegisterProduct() {
    const char* directory = Setting("STANDIN_DIRECTORY", kDefaultDirectory);
    SetText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue,
            Setting("STANDIN_CLIENT_LEVEL", kDefaultClientLevel));
    SetText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kDirectoryValue, directory);
    const char* uninstall = kMainUninstallKey[kPlainForm];
    SetText(HKEY_LOCAL_MACHINE, uninstall, kUninstallStringValue,
            "MsiExec.exe /X{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}");
    SetText(HKEY_LOCAL_MACHINE, uninstall, kModifyPathValue,
            "MsiExec.exe /I{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}");
    SetText(HKEY_LOCAL_MACHINE, uninstall, kLocalPackageValue, "C:\\windows\\Installer\\4f2a9.msi");
    SetText(HKEY_LOCAL_MACHINE, uninstall, kInstallDateValue, "20261208");
    SetText(HKEY_LOCAL_MACHINE, uninstall, "DisplayName", "Omrik Vindara");
    char media[MAX_PATH];
    OwnFolderFile("", media, sizeof media);
    char lastUsed[MAX_PATH + 8] = "n;1;";
    strncat(lastUsed, media, sizeof lastUsed - strlen(lastUsed) - 1);
    SetText(HKEY_CURRENT_USER, kSourceListKey[kPlainForm], kLastUsedSourceValue, lastUsed);
    SetText(HKEY_CURRENT_USER, kNetSourceKey[kPlainForm], kNetSourceValue, media);
}

static void RemoveProduct() {
    DeleteTree(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm]);
    DeleteTree(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm]);
    DeleteTree(HKEY_CURRENT_USER,
               "Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94");
}

static LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

int main() {
    const char* commandLine = GetCommandLineA();
    AppendToFile("inner-record.txt", commandLine, (DWORD)strlen(commandLine) + 1);
    if (strcmp(Setting("STANDIN_REGISTER", "0"), "1") == 0) {
        if (strstr(commandLine, "/x"))
            RemoveProduct();
        else
            RegisterProduct();
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
