// The registry locations: the packed product code follows from the product
// code, both forms of every path come from its one stored path, and the
// keys in the user's hive are the per-user ones, held from read to repair.
#include "detect/registry_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/registration_values.h"

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
    EXPECT_EQ(Pack(kProductCode), kPackedProductCode);
    // The rule itself, on a code whose every character is different.
    EXPECT_EQ("76543210BA98FEDC1032547698badcfe",
              Pack("{01234567-89AB-CDEF-0123-456789abcdef}"));
}

// Each key's two forms come from its one stored path: the trailing form
// ends in a single backslash, the plain form leaves it out. Each is made
// whole where it fits with its NUL, or not at all.
TEST(RegistryPaths, PlainFormIsTheTrailingFormWithoutItsBackslash) {
    for (int id = 0; id < kKeyCount; id++) {
        SCOPED_TRACE(kRegistrationKeys[id].name);
        const std::string path = PathOf((KeyId)id, kTrailingForm);
        ASSERT_GE(path.size(), 2u);
        EXPECT_EQ('\\', path.back());
        EXPECT_NE('\\', path[path.size() - 2]);
        EXPECT_EQ(path.substr(0, path.size() - 1), PathOf((KeyId)id, kPlainForm));
        wchar_t room[kTextBufSize];
        for (KeyForm form : {kTrailingForm, kPlainForm}) {
            const size_t length = path.size() - (size_t)form;
            EXPECT_EQ(length, KeyPath(&kRegistrationKeys[id], form, room, length + 1));
            EXPECT_EQ(0u, KeyPath(&kRegistrationKeys[id], form, room, length));
        }
    }
}

// The per-user keys are the Installer's registration under the packed code,
// and only they lie in the user's hive, where a standard user may replace a
// key between the read and the repairs: so they, and only they, are held
// from the read to the repairs. The machine's uninstall entry carries the
// plain code.
TEST(RegistryPaths, KeysUnderTheUsersHiveAreThePerUserOnesAndHeld) {
    for (int id = 0; id < kKeyCount; id++) {
        const RegistrationKey& key = kRegistrationKeys[id];
        SCOPED_TRACE(key.name);
        const bool perUser = PathOf((KeyId)id).find(kPackedProductCode) != std::string::npos;
        EXPECT_EQ(perUser, key.root == kCurrentUser);
        EXPECT_EQ(key.root == kCurrentUser, key.held != 0);
    }
    EXPECT_NE(std::string::npos, PathOf(kMainUninstallKeyId).find(kProductCode));
}

// No two keys share a path, and no two values of one key a name, so every
// value has one place to be read from and written to.
TEST(RegistryPaths, EveryKeyAndValueIsNamedOnce) {
    for (int a = 0; a < kKeyCount; a++) {
        for (int b = a + 1; b < kKeyCount; b++)
            EXPECT_NE(PathOf((KeyId)a), PathOf((KeyId)b));
    }
    for (int a = 0; a < kValueCount; a++) {
        for (int b = a + 1; b < kValueCount; b++) {
            if (kRegistrationValues[a].key == kRegistrationValues[b].key)
                EXPECT_STRNE(kRegistrationValues[a].name, kRegistrationValues[b].name);
        }
    }
}

}  // namespace
