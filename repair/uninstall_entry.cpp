// Stamps the product key with the launcher's build date and points the
// uninstall entry's removal command, modify path and package path at the
// package copy in the installation directory, so that a later removal or
// repair finds the package where the installation left it. None of these
// reads the value it replaces, so running them twice gives the same values.
#include <windows.h>

#include "base/build_date.h"
#include "base/registry.h"
#include "base/text.h"
#include "detect/registry_paths.h"
#include "repair/read_directory.h"
#include "repair/repair_text.h"
#include "repair/repairs.h"

int WriteBuildLevel(const char* productKey) {
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    int written = SetTextValue(product, kBuildLevelValue, REG_SZ, kBuildDate);
    RegCloseKey(product);
    return written;
}

// Reads Directory, composes the value from it and writes it with
// Directory's own type. Nothing is written when Directory is missing,
// empty or without a known end, or when the value would not fit.
int RewriteUninstallValue(const char* uninstallKey, const char* valueName, UninstallValue value,
                          const char* productKey) {
    char directory[kTextReadSize];
    DWORD type;
    if (!ReadDirectory(productKey, directory, &type))
        return 0;
    char text[kTextBufSize];
    if (!ComposeUninstallValue(text, sizeof text, value, directory, kTextBufSize))
        return 0;
    HKEY uninstall;
    if (!OpenKey(HKEY_LOCAL_MACHINE, uninstallKey, &uninstall))
        return 0;
    int written = SetTextValue(uninstall, valueName, type, text);
    RegCloseKey(uninstall);
    return written;
}
