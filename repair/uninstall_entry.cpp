// Points the uninstall entry at the package copy in the installation
// directory and stamps the product key with the launcher's build date.
// None of these reads the value it replaces, so running them twice gives
// the same values.
#include <windows.h>

#include "detect/registry_paths.h"
#include "launcher/registry.h"
#include "launcher/text.h"
#include "repair/read_directory.h"
#include "repair/repair_text.h"
#include "repair/repairs.h"

int WriteBuildLevel(const char*, const char* productKey) {
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    int written = SetTextValue(product, kBuildLevelValue, REG_SZ, kBuildDate);
    RegCloseKey(product);
    return written;
}

static int WriteUninstallValue(const char* uninstallKey, const char* valueName, DWORD type,
                               const char* text) {
    HKEY uninstall;
    if (!OpenKey(HKEY_LOCAL_MACHINE, uninstallKey, &uninstall))
        return 0;
    int written = SetTextValue(uninstall, valueName, type, text);
    RegCloseKey(uninstall);
    return written;
}

int RewriteUninstallString(const char* uninstallKey, const char* valueName,
                           const char* productKey) {
    char directory[kTextBufSize] = {};
    DWORD size, type;
    if (!ReadDirectory(productKey, directory, &size, &type))
        return 0;
    char command[kTextBufSize];
    if (!ComposeRemovalCommand(command, sizeof command, directory, sizeof directory))
        return 0;
    return WriteUninstallValue(uninstallKey, valueName, type, command);
}

int RewriteDirectoryValue(const char* uninstallKey, const char* valueName,
                          const char* productKey) {
    char directory[kTextBufSize] = {};
    DWORD size, type;
    if (!ReadDirectory(productKey, directory, &size, &type))
        return 0;
    char value[kTextBufSize];
    if (!ComposeDirectoryValue(value, sizeof value, directory, sizeof directory, valueName))
        return 0;
    return WriteUninstallValue(uninstallKey, valueName, type, value);
}
