// The writes of the repairs, planned from a registration: exact texts,
// lengths and types, the 259-character limit of a 260-byte buffer, source
// paths cut before their drive letter, and registry data without NUL.
#include "repair/repair_plan.h"

#include <gtest/gtest.h>

#include <string.h>
#include <wchar.h>

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

RepairPlan PlanOf(const Registration& r) {
    RepairPlan plan;
    memset(&plan, 0xA5, sizeof plan);  // whatever was there before does not show
    PlanRepairs(&r, &plan);
    return plan;
}

std::vector<Planned> Plan(const Registration& r) {
    const RepairPlan plan = PlanOf(r);
    EXPECT_TRUE(plan.count >= 0 && plan.count <= kRepairCount) << plan.count;
    std::vector<Planned> planned;
    for (int i = 0; i < plan.count && i < kRepairCount; i++) {
        const RegistryWrite& write = plan.writes[i];
        EXPECT_EQ(write.length, wcsnlen(write.text, kTextBufSize)) << NameOf(write.value);
        planned.push_back({NameOf(write.value), Narrowed(write.text, write.length), write.type});
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

// A value with one of its marks changed, as no read of the registry leaves
// it, so that each of the plan's checks is seen to hold on its own: one
// whose read failed, whatever its room holds, and one marked as filling the
// read without a NUL.
TextValue NotRead(TextValue value) {
    value.read = 0;
    return value;
}
TextValue MarkedFilled(TextValue value) {
    value.filled = 1;
    return value;
}

const std::vector<std::string> kBuildLevelOnly = {"Build Level"};

// The texts and lengths are exact, and each write goes through its key as
// the read holds it open, or through none where the read holds none.
TEST(PlanRepairs, SixWritesForAnInstallationInDApps) {
    Registration r = Registered("D:\\Apps\\");
    char heldKeys[kKeyCount];
    for (int key = 0; key < kKeyCount; key++)
        r.held[key] = key % 2 ? &heldKeys[key] : nullptr;
    const RepairPlan plan = PlanOf(r);
    EXPECT_EQ(1, plan.registered);
    ASSERT_EQ(6, plan.count);
    const struct {
        ValueId value;
        std::string text;
    } expected[] = {
        {kBuildLevelId, SETUP_BUILD_DATE},
        {kLastUsedSourceId, "n;1;D:\\Apps\\"},
        {kNetSourceId, "D:\\Apps\\"},
        {kUninstallStringId, "msiexec /x \"D:\\Apps\\Omrik Vindara.msi\""},
        {kModifyPathId, "D:\\Apps\\"},
        {kLocalPackageId, "D:\\Apps\\Omrik VindaraXXX.msi"},
    };
    for (int i = 0; i < 6; i++) {
        const RegistryWrite& write = plan.writes[i];
        SCOPED_TRACE(NameOf(expected[i].value));
        EXPECT_EQ(expected[i].value, write.value);
        EXPECT_EQ(expected[i].text, Narrowed(write.text, write.length));
        EXPECT_EQ(expected[i].text.size(), write.length);
        EXPECT_EQ(L'\0', write.text[write.length]);
        EXPECT_EQ(kRegSz, write.type);
        EXPECT_EQ(r.held[kRegistrationValues[expected[i].value].key], write.openKey);
    }
}

// Registered: the product key opened with a ClientLevel of any content, and
// the main uninstall key opened; the other uninstall keys do not count.
TEST(PlanRepairs, NothingWithoutARegisteredInstallation) {
    Registration nothing = {};
    Registration noClientLevel = Registered();
    noClientLevel.values[kClientLevelId] = NotRead(noClientLevel.values[kClientLevelId]);
    Registration noUninstallKey = Registered();
    noUninstallKey.opened[kMainUninstallKeyId] = 0;
    noUninstallKey.opened[kUninstallKeyByNameId] = 1;
    noUninstallKey.opened[kAlternateUninstallKeyId] = 1;
    Registration noProductKey = Registered();
    noProductKey.opened[kProductKeyId] = 0;
    Registration emptyClientLevel = Registered();
    emptyClientLevel.values[kClientLevelId] = Text("");
    Registration numberClientLevel = Registered();
    numberClientLevel.values[kClientLevelId] = Stored(std::string("\x04\0\0\0", 4), kRegDword);
    const struct {
        const char* what;
        const Registration& r;
        int registered;
    } cases[] = {
        {"nothing read", nothing, 0},
        {"ClientLevel not read", noClientLevel, 0},
        {"only the other uninstall keys", noUninstallKey, 0},
        {"product key not opened", noProductKey, 0},
        {"ClientLevel empty", emptyClientLevel, 1},
        {"ClientLevel a number", numberClientLevel, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RepairPlan plan = PlanOf(c.r);
        EXPECT_EQ(c.registered, plan.registered);
        EXPECT_EQ(c.registered ? 6 : 0, plan.count);
    }
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
        {"not read", NotRead(Text("D:\\Apps\\")), false},
        {"marked as filling the read", MarkedFilled(Text("D:\\Apps\\")), false},
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
        {NotRead(Text("n;1;D:\\Setup\\")), "(none)"},
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
