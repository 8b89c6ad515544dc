// What a completed installation of the product leaves in the registry, for
// the programs that stand in for the inner installer (the test stand-in and
// the benchmark's inner program) and for the tests that clean up after
// them. Win32 calls only, no C runtime: the benchmark's inner program must
// load nothing but the system.
#pragma once
#include <windows.h>

#include "detect/registry_paths.h"
#include "base/registry.h"

// A key of the product where the registration's table puts it: its root,
// and the plain form of its path, or with more names taken off its end, the
// path of the key that many levels above it.
inline HKEY RootOf(KeyId key) {
    return kRegistrationKeys[key].root == kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

struct PlainPath {
    explicit PlainPath(KeyId key, int levelsUp = 0) {
        wchar_t path[MAX_PATH];
        int end = (int)KeyPath(&kRegistrationKeys[key], kPlainForm, path, MAX_PATH);
        for (int i = 0; i < end; i++)
            text[i] = (char)path[i];  // ASCII
        for (int level = 0; level < levelsUp && end > 0; level++) {
            while (end > 0 && text[end - 1] != '\\')
                end--;
            end -= end > 0;
        }
        text[end > 0 ? end : 0] = '\0';
    }
    operator const char*() const { return text; }
    char text[MAX_PATH];
};

// The Installer's per-user registration of the product, the key above the
// source list key.
inline PlainPath InstallerProductKey() {
    return PlainPath(kSourceListKeyId, 1);
}

// What the installation leaves as its removal command before the repairs.
#define INSTALLED_UNINSTALL_STRING "MsiExec.exe /X" PRODUCT_CODE

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

// A value of the product's registration, in its key.
template <typename Char>
inline void SetInstalledText(ValueId value, const Char* text) {
    const KeyId key = kRegistrationValues[value].key;
    SetInstalledText(RootOf(key), PlainPath(key), kRegistrationValues[value].name, text);
}

// The product key, the uninstall entry pointing at the Installer's cached
// package, and the per-user source list naming the folder the installing
// program ran from, by its exact name.
inline void RegisterInstallation(const wchar_t* directory, const wchar_t* clientLevel) {
    SetInstalledText(kClientLevelId, clientLevel);
    SetInstalledText(kDirectoryId, directory);
    SetInstalledText(kUninstallStringId, INSTALLED_UNINSTALL_STRING);
    SetInstalledText(kModifyPathId, "MsiExec.exe /I" PRODUCT_CODE);
    SetInstalledText(kLocalPackageId, "C:\\windows\\Installer\\4f2a9.msi");
    SetInstalledText(kInstallDateId, "20261208");
    SetInstalledText(HKEY_LOCAL_MACHINE, PlainPath(kMainUninstallKeyId), "DisplayName",
                     "Omrik Vindara");
    wchar_t lastUsed[MAX_PATH + 4] = L"n;1;";
    wchar_t* media = lastUsed + 4;
    if (!InstallationFolder(media, MAX_PATH))
        return;
    SetInstalledText(kLastUsedSourceId, lastUsed);
    SetInstalledText(kNetSourceId, media);
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
    DeleteRegistryTree(RootOf(kProductKeyId), PlainPath(kProductKeyId));
    DeleteRegistryTree(RootOf(kMainUninstallKeyId), PlainPath(kMainUninstallKeyId));
    DeleteRegistryTree(RootOf(kSourceListKeyId), InstallerProductKey());
}
