// The writes of the repairs, planned from a registration: exact texts,
// lengths and types, the 259-character limit of a 260-byte buffer, source
// paths cut before their drive letter, and registry data without NUL.
#include "repair/repair_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tests/support/registration_values.h"
#include "setup_version.h"

namespace {

struct Planned {
    std::string name;
    std::string text;
    unsigned long type;
};

std::vector<Planned> Plan(const Registration& r) {
    RegistryWrite writes[kRepairCount];
    int count = PlanRepairs(&r, writes);
    std::vector<Planned> planned;
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(writes[i].length, wcslen(writes[i].text)) << NameOf(writes[i].value);
        planned.push_back({NameOf(writes[i].value), Narrowed(writes[i].text, writes[i].length),
                           writes[i].type});
    }
    return planned;
}

// The text planned for one value, or "(none)".
std::string TextOf(const Registration& r, const std::string& name) {
    for (const Planned& write : Plan(r)) {
        if (write.name == name)
            return write.text;
    }
    return "(none)";
}

std::vector<std::string> Names(const Registration& r) {
    std::vector<std::string> names;
    for (const Planned& write : Plan(r))
        names.push_back(write.name);
    return names;
}

const std::vector<std::string> kBuildLevelOnly = {"Build Level"};

TEST(PlanRepairs, SixWritesForAnInstallationInDApps) {
    Registration r = Registered("D:\\Apps\\");
    RegistryWrite writes[kRepairCount];
    ASSERT_EQ(6, PlanRepairs(&r, writes));
    const struct {
        RegistryRoot root;
        const char* const* key;
        const char* name;
        const char* text;
        size_t length;
    } expected[] = {
        {kLocalMachine, kProductKey, "Build Level", SETUP_BUILD_DATE, sizeof SETUP_BUILD_DATE - 1},
        {kCurrentUser, kSourceListKey, "LastUsedSource", "n;1;D:\\Apps\\", 12},
        {kCurrentUser, kNetSourceKey, "1", "D:\\Apps\\", 8},
        {kLocalMachine, kMainUninstallKey, "UninstallString",
         "msiexec /x \"D:\\Apps\\Omrik Vindara.msi\"", 38},
        {kLocalMachine, kMainUninstallKey, "ModifyPath", "D:\\Apps\\", 8},
        {kLocalMachine, kMainUninstallKey, "LocalPackage", "D:\\Apps\\Omrik VindaraXXX.msi", 28},
    };
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(expected[i].root, KeyOf(writes[i].value).root);
        EXPECT_EQ(expected[i].key, KeyOf(writes[i].value).path);
        EXPECT_STREQ(expected[i].name, NameOf(writes[i].value));
        EXPECT_EQ(expected[i].text, Narrowed(writes[i].text, writes[i].length));
        EXPECT_EQ(expected[i].length, writes[i].length);
        EXPECT_EQ(kRegSz, writes[i].type);
    }
}

TEST(PlanRepairs, NothingWithoutARegisteredInstallation) {
    Registration noClientLevel = Registered();
    noClientLevel.values[kClientLevelId] = {};
    Registration noUninstallKey = Registered();
    noUninstallKey.opened[kMainUninstallKeyId] = 0;
    noUninstallKey.opened[kUninstallKeyByNameId] = 1;
    for (const Registration& r : {Registration{}, noClientLevel, noUninstallKey})
        EXPECT_TRUE(Plan(r).empty());
}

// Build Level is always text; every other value takes the type of
// Directory, whatever type it had. A Directory that is no text, is empty,
// fills its buffer without NUL, does not fit the read or holds a double
// quote names no folder.
TEST(PlanRepairs, DirectoryDecidesWhatIsWrittenAndItsType) {
    const struct {
        const char* what;
        TextValue directory;
        bool all;
    } cases[] = {
        {"text", Text("D:\\Apps\\"), true},
        {"expandable text", Text("%ProgramFiles%\\Apps\\", kRegExpandSz), true},
        {"stored without NUL", Stored("D:\\Apps\\"), true},
        {"missing", {}, false},
        {"empty", Text(""), false},
        {"a number", Stored(std::string("\x01\0\0\0", 4), kRegDword), false},
        {"binary", Stored("D:\\Apps\\", kRegBinary), false},
        {"multi-string", Stored(std::string("D:\\Apps\\\0\0", 10), kRegMultiSz), false},
        {"260 characters without NUL", Stored(std::string(260, 'd')), false},
        {"260 characters with NUL", Text(std::string(260, 'd')), false},
        // No path holds a quote; in the removal command it would end the
        // quoted path early and leave the rest as msiexec's arguments.
        {"a double quote", Text("D:\\A\" /qn B\\"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Registration r = Registered();
        r.values[kDirectoryId] = c.directory;
        const std::vector<Planned> planned = Plan(r);
        if (!c.all) {
            EXPECT_EQ(kBuildLevelOnly, Names(r));
            continue;
        }
        ASSERT_EQ(6u, planned.size());
        EXPECT_EQ(kRegSz, planned[0].type);
        for (size_t i = 1; i < planned.size(); i++)
            EXPECT_EQ(c.directory.type, planned[i].type) << planned[i].name;
    }
}

TEST(PlanRepairs, DirectoryIsUsedAsItStands) {
    Registration r = Registered("D:\\Apps");
    EXPECT_EQ("msiexec /x \"D:\\AppsOmrik Vindara.msi\"", TextOf(r, "UninstallString"));
    EXPECT_EQ("D:\\Apps", TextOf(r, "ModifyPath"));
    EXPECT_EQ("D:\\AppsOmrik VindaraXXX.msi", TextOf(r, "LocalPackage"));
    EXPECT_EQ("n;1;D:\\Apps", TextOf(r, "LastUsedSource"));
    // Stale bytes behind the NUL are not part of it.
    r.values[kDirectoryId] = Stored(std::string("D:\\Apps\\\0JUNK!", 14));
    EXPECT_EQ("D:\\Apps\\", TextOf(r, "ModifyPath"));
    EXPECT_EQ("n;1;D:\\Apps\\", TextOf(r, "LastUsedSource"));
}

// Each row gives the longest Directory whose value still fits in 259
// characters; one character more and that value is not written at all.
TEST(PlanRepairs, ValueThatWouldNotFitIn259CharactersIsNotWritten) {
    const struct {
        const char* name;
        size_t longestDirectory;
        size_t fixedPart;
    } cases[] = {
        {"UninstallString", 229, 30},
        {"ModifyPath", 259, 0},
        {"LocalPackage", 239, 20},
        {"LastUsedSource", 255, 4},
        {"1", 259, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string fits = DirectoryOfLength(c.longestDirectory);
        const std::string longest = TextOf(Registered(fits), c.name);
        EXPECT_EQ(259u, longest.size());
        EXPECT_EQ(c.longestDirectory + c.fixedPart, longest.size());
        EXPECT_NE(std::string::npos, longest.find(fits));
        EXPECT_EQ("(none)", TextOf(Registered(fits + "x"), c.name));
    }
}

// What stands in front of the drive letter stays; the directory replaces
// the rest. Without a character in front of a colon there is nothing to
// cut at, and the value is left alone.
TEST(PlanRepairs, SourcePathIsReplacedByTheDirectory) {
    const struct {
        TextValue source;
        std::string expected;
    } cases[] = {
        {Text("n;1;D:\\Setup\\"), "n;1;D:\\Apps\\"},
        {Text("D:\\Setup\\"), "D:\\Apps\\"},
        {Text("n;1;D:\\a:b\\c:"), "n;1;D:\\Apps\\"},  // only the first colon counts
        {Text("m;2;F:"), "m;2;D:\\Apps\\"},
        {Text("n;1;D:\\Apps\\"), "n;1;D:\\Apps\\"},  // again on its own result
        {Text("n;1;D:\\Setup\\", kRegExpandSz), "n;1;D:\\Apps\\"},
        {Stored("n;1;D:\\Setup\\", kRegBinary), "n;1;D:\\Apps\\"},  // no NUL
        {Stored(std::string("n;1;D:\\Setup\\\0\0", 15), kRegMultiSz), "n;1;D:\\Apps\\"},
        {Stored("xxxxxD:" + std::string(253, 'y')), "xxxxxD:\\Apps\\"},  // fills 260 bytes
        {Stored("n;1;D:"), "n;1;D:\\Apps\\"},
        {Text("\\\\server\\share\\"), "(none)"},
        {Text("n;1;\\\\server\\share\\"), "(none)"},
        {Text(""), "(none)"},
        {Text(":"), "(none)"},
        {Text(":n;1;D:\\"), "(none)"},
        {Stored(std::string("\x3a\0\0\0", 4), kRegDword), "(none)"},
        {Stored(std::string("n;1;\0D:\\x", 10)), "(none)"},  // a colon behind the NUL
        {Stored(std::string(258, 'x') + "D:"), "(none)"},    // the kept part is too long
        {Stored(std::string(260, 'x')), "(none)"},
        {Text("n;1;E:" + std::string(293, 's')), "(none)"},  // does not fit the read
        {{}, "(none)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrowed(c.source.text, c.source.length).substr(0, 16));
        Registration r = Registered("D:\\Apps\\");
        r.values[kLastUsedSourceId] = c.source;
        r.values[kNetSourceId] = c.source;
        EXPECT_EQ(c.expected, TextOf(r, "LastUsedSource"));
        EXPECT_EQ(c.expected, TextOf(r, "1"));
        // The other repairs do not depend on it.
        EXPECT_EQ("D:\\Apps\\", TextOf(r, "ModifyPath"));
    }
}

}  // namespace
