// The inner installer for the benchmark, in three builds:
//   (default)             exits with 0 at once: the cheapest program Windows
//                         can start, so its time is the floor of any launcher
//   BENCH_INNER_REGISTER  first leaves behind what a completed installation
//                         leaves in the registry, with the values the test
//                         stand-in registers
//   BENCH_INNER_HOLD      waits until the benchmark has listed the modules of
//                         the processes above it, then exits with 0
// It has no C runtime: only KERNEL32 (and ADVAPI32 for the registering
// build) are loaded, so nothing but the process itself is measured.
#include <windows.h>

#ifdef BENCH_INNER_REGISTER
#include "detect/registry_paths.h"

static const char kDirectory[] = "C:\\Program Files\\Omrik\\Vindara\\";
static const char kClientLevel[] = "VNR/4.50";

static DWORD TextLength(const char* text) {
    DWORD length = 0;
    while (text[length])
        length++;
    return length;
}

static void SetText(HKEY root, const char* path, const char* name, const char* text) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, TextLength(text) + 1);
    RegCloseKey(key);
}

static void RegisterProduct() {
    SetText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue, kClientLevel);
    SetText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kDirectoryValue, kDirectory);
    const char* uninstall = kMainUninstallKey[kPlainForm];
    SetText(HKEY_LOCAL_MACHINE, uninstall, kUninstallStringValue,
            "MsiExec.exe /X{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}");
    SetText(HKEY_LOCAL_MACHINE, uninstall, kModifyPathValue,
            "MsiExec.exe /I{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}");
    SetText(HKEY_LOCAL_MACHINE, uninstall, kLocalPackageValue, "C:\\windows\\Installer\\4f2a9.msi");
    SetText(HKEY_LOCAL_MACHINE, uninstall, kInstallDateValue, "20261208");
    SetText(HKEY_LOCAL_MACHINE, uninstall, "DisplayName", "Omrik Vindara");

    // The per-user source list names the folder the installer ran from.
    char lastUsed[MAX_PATH + 8];
    lastUsed[0] = 'n';
    lastUsed[1] = ';';
    lastUsed[2] = '1';
    lastUsed[3] = ';';
    char* media = lastUsed + 4;
    DWORD length = GetModuleFileNameA(NULL, media, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    while (length > 0 && media[length - 1] != '\\')
        length--;
    media[length] = '\0';
    SetText(HKEY_CURRENT_USER, kSourceListKey[kPlainForm], kLastUsedSourceValue, lastUsed);
    SetText(HKEY_CURRENT_USER, kNetSourceKey[kPlainForm], kNetSourceValue, media);
}
#endif

#ifdef BENCH_INNER_HOLD
// The benchmark creates both events before it starts the launcher. The wait
// is bounded so a benchmark that died cannot leave this process behind.
static void HoldUntilReleased() {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "OmrikBenchInnerReady");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "OmrikBenchInnerRelease");
    if (!ready || !release)
        return;
    SetEvent(ready);
    WaitForSingleObject(release, 30000);
}
#endif

extern "C" void WINAPI BenchInnerEntry() {
#ifdef BENCH_INNER_REGISTER
    RegisterProduct();
#endif
#ifdef BENCH_INNER_HOLD
    HoldUntilReleased();
#endif
    ExitProcess(0);
}
