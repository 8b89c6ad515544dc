// Prints the product's registry values that the launcher reads or repairs,
// one per line as "label<TAB>data", "(missing)" for an absent value. The
// demo shows two such listings side by side.
#include <stdio.h>

#include "detect/registry_paths.h"
#include "tools/testbed/testbed.h"

struct Shown {
    HKEY root;
    const char* const* key;
    const char* value;
    const char* label;
};

static const Shown kShown[] = {
    {HKEY_LOCAL_MACHINE, kProductKey, kClientLevelValue, "ClientLevel"},
    {HKEY_LOCAL_MACHINE, kProductKey, kDirectoryValue, "Directory"},
    {HKEY_LOCAL_MACHINE, kProductKey, kBuildLevelValue, "Build Level"},
    {HKEY_LOCAL_MACHINE, kMainUninstallKey, kInstallDateValue, "InstallDate"},
    {HKEY_LOCAL_MACHINE, kMainUninstallKey, kUninstallStringValue, "UninstallString"},
    {HKEY_LOCAL_MACHINE, kMainUninstallKey, kModifyPathValue, "ModifyPath"},
    {HKEY_LOCAL_MACHINE, kMainUninstallKey, kLocalPackageValue, "LocalPackage"},
    {HKEY_CURRENT_USER, kSourceListKey, kLastUsedSourceValue, "LastUsedSource"},
    {HKEY_CURRENT_USER, kNetSourceKey, kNetSourceValue, "SourceList\\Net 1"},
};

int main() {
    for (const Shown& shown : kShown) {
        RegValue value;
        if (!ReadRegValue(shown.root, shown.key[kPlainForm], shown.value, &value)) {
            printf("%s\t(missing)\n", shown.label);
            continue;
        }
        std::string text = value.data;
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        printf("%s\t%s\n", shown.label, text.c_str());
    }
    return 0;
}
