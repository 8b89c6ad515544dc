// The registry locations written by the product's installation and
// repaired by the launcher.
#include "detect/registry_paths.h"

#include "base/text.h"

#define UNINSTALL_ROOT "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
#define INSTALLER_PRODUCT "Software\\Microsoft\\Installer\\Products\\" PACKED_PRODUCT_CODE

constexpr RegistrationKey kRegistrationKeys[kKeyCount] = {
    {kLocalMachine, "SOFTWARE\\Omrik\\Moltrek\\", "product key", 0},
    {kLocalMachine, UNINSTALL_ROOT "Omrik Vindara\\", "uninstall key by name", 0},
    {kLocalMachine, UNINSTALL_ROOT "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}\\",
     "alternate uninstall key", 0},
    {kLocalMachine, UNINSTALL_ROOT PRODUCT_CODE "\\", "main uninstall key", 0},
    {kCurrentUser, INSTALLER_PRODUCT "\\SourceList\\", "source list key", 1},
    {kCurrentUser, INSTALLER_PRODUCT "\\SourceList\\Net\\", "network source key", 1},
};

constexpr RegistrationValue kRegistrationValues[kValueCount] = {
    {kProductKeyId, "ClientLevel"},
    {kProductKeyId, "Build Level"},
    {kProductKeyId, "Directory"},
    {kMainUninstallKeyId, "InstallDate"},
    {kSourceListKeyId, "LastUsedSource"},
    {kNetSourceKeyId, "1"},
    {kMainUninstallKeyId, "UninstallString"},
    {kMainUninstallKeyId, "ModifyPath"},
    {kMainUninstallKeyId, "LocalPackage"},
};

size_t KeyPathLength(const RegistrationKey* key, KeyForm form) {
    return BoundedLength(key->path, (size_t)-1) - (size_t)form;
}
