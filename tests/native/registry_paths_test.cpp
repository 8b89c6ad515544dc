// The registry locations: the packed product code follows from the product
// code, and both forms of every path agree.
#include "detect/registry_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Packs a product code the way the Installer names it under a user's key:
// without braces and dashes, the first three groups read backwards, and in
// the last two every pair of hex digits turned round.
std::string Pack(const std::string& guid) {
    std::vector<std::string> groups;
    std::string group;
    for (char c : guid.substr(1, guid.size() - 2)) {
        if (c == '-') {
            groups.push_back(group);
            group.clear();
        } else {
            group += c;
        }
    }
    groups.push_back(group);
    std::string packed;
    for (int i = 0; i < 3; i++)
        packed.append(groups[i].rbegin(), groups[i].rend());
    for (int i = 3; i < 5; i++) {
        for (size_t j = 0; j + 1 < groups[i].size(); j += 2) {
            packed += groups[i][j + 1];
            packed += groups[i][j];
        }
    }
    return packed;
}

TEST(RegistryPaths, PackedProductCodeFollowsFromTheProductCode) {
    EXPECT_EQ("{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}", std::string(kProductCode));
    EXPECT_EQ(Pack(kProductCode), kPackedProductCode);
    EXPECT_EQ(32u, std::string(kPackedProductCode).size());
    // The rule itself, on a code whose every character is different.
    EXPECT_EQ("76543210BA98FEDC1032547698badcfe",
              Pack("{01234567-89AB-CDEF-0123-456789abcdef}"));
}

struct NamedPath {
    const char* name;
    const char* const* forms;
    std::string plain;
};

std::vector<NamedPath> AllPaths() {
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::string installer =
        "Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94";
    return {
        {"product key", kProductKey, "SOFTWARE\\Omrik\\Moltrek"},
        {"uninstall key by name", kUninstallKeyByName, uninstall + "Omrik Vindara"},
        {"alternate uninstall key", kAlternateUninstallKey,
         uninstall + "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}"},
        {"main uninstall key", kMainUninstallKey,
         uninstall + "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}"},
        {"source list key", kSourceListKey, installer + "\\SourceList"},
        {"network source key", kNetSourceKey, installer + "\\SourceList\\Net"},
    };
}

TEST(RegistryPaths, EveryPathHasAPlainAndATrailingBackslashForm) {
    for (const NamedPath& path : AllPaths()) {
        SCOPED_TRACE(path.name);
        EXPECT_EQ(path.plain, path.forms[kPlainForm]);
        EXPECT_NE('\\', path.plain.back());
        EXPECT_EQ(std::string(path.forms[kPlainForm]) + "\\", path.forms[kTrailingForm]);
    }
}

TEST(RegistryPaths, InstallerKeysUseThePackedCodeAndUninstallKeysThePlainCode) {
    EXPECT_NE(std::string::npos, std::string(kMainUninstallKey[kPlainForm]).find(kProductCode));
    EXPECT_NE(std::string::npos, std::string(kSourceListKey[kPlainForm]).find(kPackedProductCode));
    EXPECT_NE(std::string::npos, std::string(kNetSourceKey[kPlainForm]).find(kPackedProductCode));
}

}  // namespace
