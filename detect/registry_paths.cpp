// The registry locations written by the product's installation and
// repaired by the launcher.
#include "detect/registry_paths.h"

#include "base/text.h"

static const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
static const char kInstallerProduct[] =
    "Software\\Microsoft\\Installer\\Products\\" PACKED_PRODUCT_CODE;

constexpr RegistrationKey kRegistrationKeys[kKeyCount] = {
    {"SOFTWARE\\Omrik", "\\Moltrek\\", "product key", kLocalMachine, false},
    {kUninstallRoot, "\\Omrik Vindara\\", "uninstall key by name", kLocalMachine, false},
    {kUninstallRoot, "\\{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}\\", "alternate uninstall key",
     kLocalMachine, false},
    {kUninstallRoot, "\\" PRODUCT_CODE "\\", "main uninstall key", kLocalMachine, false},
    {kInstallerProduct, "\\SourceList\\", "source list key", kCurrentUser, true},
    {kInstallerProduct, "\\SourceList\\Net\\", "network source key", kCurrentUser, true},
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

size_t KeyPath(const RegistrationKey* key, KeyForm form, wchar_t* path, size_t cap) {
    const size_t rest = BoundedLength(key->rest, (size_t)-1) - (size_t)form;
    return CopyText(path, cap, key->stem) && AppendBytes(path, cap, key->rest, rest)
               ? BoundedLength(path, cap)
               : 0;
}
