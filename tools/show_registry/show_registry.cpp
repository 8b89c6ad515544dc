// Prints the product's registry values that the launcher reads or repairs,
// one per line as "label<TAB>data", "(missing)" for an absent value. The
// demo shows two such listings side by side.
#include <stdio.h>

#include "detect/registry_paths.h"
#include "tools/testbed/testbed.h"

// In the order the demo shows them, each labelled by its name; the network
// source, named by a number, by its key's name too ("Net 1").
static const ValueId kShown[] = {
    kClientLevelId, kDirectoryId,    kBuildLevelId,     kInstallDateId, kUninstallStringId,
    kModifyPathId,  kLocalPackageId, kLastUsedSourceId, kNetSourceId,
};

int main() {
    for (ValueId shown : kShown) {
        std::string label = kRegistrationValues[shown].name;
        if (shown == kNetSourceId) {
            const std::string key = PlainPath(kRegistrationValues[shown].key).text;
            label = key.substr(key.rfind('\\') + 1) + " " + label;
        }
        RegValue value;
        if (!ReadRegValue(shown, &value)) {
            printf("%s\t(missing)\n", label.c_str());
            continue;
        }
        std::string text = value.data;
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        printf("%s\t%s\n", label.c_str(), text.c_str());
    }
    return 0;
}
