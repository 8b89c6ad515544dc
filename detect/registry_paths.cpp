// The registry locations written by the product's installation and
// repaired by the launcher; each trailing form made from its plain one.
#include "detect/registry_paths.h"

#define PRODUCT_CODE "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}"
// The product code as Windows Installer files it per user: the first three
// groups reversed, each byte of the last two with its hex digits swapped.
#define PACKED_PRODUCT_CODE "17E2B8D5A49C60F43B2AE8160F7D2C94"
#define UNINSTALL_ROOT "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
#define INSTALLER_PRODUCT "Software\\Microsoft\\Installer\\Products\\" PACKED_PRODUCT_CODE
#define BOTH_FORMS(path) { path "\\", path }

const char kProductCode[] = PRODUCT_CODE;
const char kPackedProductCode[] = PACKED_PRODUCT_CODE;

constexpr const char* kProductKey[kFormCount] = BOTH_FORMS("SOFTWARE\\Omrik\\Moltrek");
constexpr const char* kUninstallKeyByName[kFormCount] = BOTH_FORMS(UNINSTALL_ROOT "Omrik Vindara");
constexpr const char* kAlternateUninstallKey[kFormCount] =
    BOTH_FORMS(UNINSTALL_ROOT "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}");
constexpr const char* kMainUninstallKey[kFormCount] = BOTH_FORMS(UNINSTALL_ROOT PRODUCT_CODE);
constexpr const char* kSourceListKey[kFormCount] = BOTH_FORMS(INSTALLER_PRODUCT "\\SourceList");
constexpr const char* kNetSourceKey[kFormCount] =
    BOTH_FORMS(INSTALLER_PRODUCT "\\SourceList\\Net");

constexpr RegistrationKey kRegistrationKeys[kKeyCount] = {
    {kLocalMachine, kProductKey, "product key", 0},
    {kLocalMachine, kUninstallKeyByName, "uninstall key by name", 0},
    {kLocalMachine, kAlternateUninstallKey, "alternate uninstall key", 0},
    {kLocalMachine, kMainUninstallKey, "main uninstall key", 0},
    {kCurrentUser, kSourceListKey, "source list key", 1},
    {kCurrentUser, kNetSourceKey, "network source key", 1},
};

constexpr RegistrationValue kRegistrationValues[kValueCount] = {
    {kProductKeyId, kClientLevelValue},
    {kProductKeyId, kBuildLevelValue},
    {kProductKeyId, kDirectoryValue},
    {kMainUninstallKeyId, kInstallDateValue},
    {kSourceListKeyId, kLastUsedSourceValue},
    {kNetSourceKeyId, kNetSourceValue},
    {kMainUninstallKeyId, kUninstallStringValue},
    {kMainUninstallKeyId, kModifyPathValue},
    {kMainUninstallKeyId, kLocalPackageValue},
};
