// What a completed installation of the product leaves in the registry, for
// the programs that stand in for the inner installer (the test stand-in and
// the benchmark's inner program) and for the tests that clean up after
// them. Win32 calls only, no C runtime: the benchmark's inner program must
// load nothing but the system.
#pragma once
#include <windows.h>

#include "detect/registry_paths.h"
#include "base/registry.h"

// The Installer's per-user registration of the product, around the source
// list keys.
const char kInstallerProductKey[] =
    "Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94";

// The folder of the running program with its trailing backslash; returns
// its length, 0 when it does not fit. The wide form names the folder
// exactly; the ANSI form gives the code page's nearest characters.
template <typename Char>
inline DWORD FolderOfPath(Char* folder, DWORD length, DWORD cap) {
    if (length == 0 || length >= cap)
        return 0;
    while (length > 0 && folder[length - 1] != '\\')
        length--;
    folder[length] = '\0';
    return length;
}

inline DWORD InstallationFolder(char* folder, DWORD cap) {
    return FolderOfPath(folder, GetModuleFileNameA(NULL, folder, cap), cap);
}

inline DWORD InstallationFolder(wchar_t* folder, DWORD cap) {
    return FolderOfPath(folder, GetModuleFileNameW(NULL, folder, cap), cap);
}

// A text stored with its NUL, the key created when missing.
inline void SetInstalledText(HKEY root, const char* path, const char* name, const char* text) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS | kRegistryView, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)lstrlenA(text) + 1);
    RegCloseKey(key);
}

// The same for a text of any characters, stored as it is given.
inline void SetInstalledText(HKEY root, const char* path, const char* name, const wchar_t* text) {
    wchar_t wideName[64];
    HKEY key;
    if (!MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 64) ||
        RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS | kRegistryView, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, wideName, 0, REG_SZ, (const BYTE*)text,
                   ((DWORD)lstrlenW(text) + 1) * sizeof(wchar_t));
    RegCloseKey(key);
}

// The product key, the uninstall entry pointing at the Installer's cached
// package, and the per-user source list naming the folder the installing
// program ran from, by its exact name.
inline void RegisterInstallation(const wchar_t* directory, const wchar_t* clientLevel) {
    SetInstalledText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue, clientLevel);
    SetInstalledText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kDirectoryValue, directory);
    const char* uninstall = kMainUninstallKey[kPlainForm];
    SetInstalledText(HKEY_LOCAL_MACHINE, uninstall, kUninstallStringValue,
                     "MsiExec.exe /X{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}");
    SetInstalledText(HKEY_LOCAL_MACHINE, uninstall, kModifyPathValue,
                     "MsiExec.exe /I{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}");
    SetInstalledText(HKEY_LOCAL_MACHINE, uninstall, kLocalPackageValue,
                     "C:\\windows\\Installer\\4f2a9.msi");
    SetInstalledText(HKEY_LOCAL_MACHINE, uninstall, kInstallDateValue, "20261208");
    SetInstalledText(HKEY_LOCAL_MACHINE, uninstall, "DisplayName", "Omrik Vindara");
    wchar_t lastUsed[MAX_PATH + 4] = L"n;1;";
    wchar_t* media = lastUsed + 4;
    if (!InstallationFolder(media, MAX_PATH))
        return;
    SetInstalledText(HKEY_CURRENT_USER, kSourceListKey[kPlainForm], kLastUsedSourceValue, lastUsed);
    SetInstalledText(HKEY_CURRENT_USER, kNetSourceKey[kPlainForm], kNetSourceValue, media);
}

// Texts in the ANSI code page, as RegSetValueExA would take them.
inline void RegisterInstallation(const char* directory, const char* clientLevel) {
    wchar_t wideDirectory[MAX_PATH], wideClientLevel[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, directory, -1, wideDirectory, MAX_PATH) &&
        MultiByteToWideChar(CP_ACP, 0, clientLevel, -1, wideClientLevel, MAX_PATH))
        RegisterInstallation(wideDirectory, wideClientLevel);
}

// Deletes the key the handle stands for, the link itself when it was opened
// as one: the registry's own calls delete by name, and a name is followed.
// Returns 1 when it was deleted.
inline int DeleteOpenKey(HKEY key) {
    typedef LONG(NTAPI * NtDeleteKeyFunction)(HANDLE);
    NtDeleteKeyFunction deleteKey = (NtDeleteKeyFunction)(void (*)())GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtDeleteKey");
    return deleteKey && deleteKey(key) == 0;
}

// Deletes a key with everything below it. A registry link in the tree is
// deleted as the link itself, never followed: its target keeps its values.
// Returns 1 when the key is gone.
inline int DeleteRegistryTree(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS | kRegistryView, &key) !=
        ERROR_SUCCESS)
        return 0;
    char name[256];
    DWORD length = sizeof name;
    while (!IsRegistryLink(key) &&
           RegEnumKeyExA(key, 0, name, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS &&
           DeleteRegistryTree(key, name))
        length = sizeof name;
    int deleted = DeleteOpenKey(key);
    RegCloseKey(key);
    return deleted;
}

// What a removal of the product takes away.
inline void RemoveInstallation() {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm]);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm]);
    DeleteRegistryTree(HKEY_CURRENT_USER, kInstallerProductKey);
}
