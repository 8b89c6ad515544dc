// The repairs after an installation through Setup.exe, with the stand-in
// registering the product the way a real installation does.
#include <string>

#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "setup_version.h"

using RepairRunTest = LauncherTest;

// The system stores a NUL after every text, whether the writer counted it
// or not.
static std::string Stored(const std::string& text) {
    return text + '\0';
}

TEST_F(RepairRunTest, FreshInstallationLeavesTheSixRepairedValues) {
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_DIRECTORY", "D:\\Apps\\");
    RunResult run = RunSetup("/s /v\"/qn\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    ExpectRepairedValues("D:\\Apps\\");
    // What the launcher does not repair stays as the installation wrote it.
    EXPECT_EQ(StoredValue(kInstallDateId), Stored("20261208"));
    EXPECT_EQ(StoredValue(kClientLevelId), Stored("VNR/4.50"));
}

// The repairs depend on the registration, not on the installer's exit code.
TEST_F(RepairRunTest, RegisteredInstallationIsRepairedWhateverItsExitCode) {
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_EXIT_CODE", "3010");
    RunResult run = RunSetup("/qn");
    EXPECT_EQ(run.exitCode, 3010u);
    EXPECT_EQ(StoredValue(kBuildLevelId), Stored(SETUP_BUILD_DATE));
}

TEST_F(RepairRunTest, InstallationThatDidNotRegisterIsLeftAlone) {
    SetStandIn("STANDIN_EXIT_CODE", "1603");
    RunResult run = RunSetup("/qn");
    EXPECT_EQ(run.exitCode, 1603u);
    EXPECT_EQ(ExportProductKeys(), "");
}

TEST_F(RepairRunTest, RemovalRunsNoRepair) {
    SetStandIn("STANDIN_REGISTER", "1");
    RunSetup("/qn");
    ASSERT_EQ(StoredValue(kBuildLevelId), Stored(SETUP_BUILD_DATE));
    // The stand-in removes the product for "/x"; a repair afterwards would
    // leave values behind.
    RunResult run = RunSetup("/x /qn");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ExportProductKeys(), "");
}

// Without a "/" in ClientLevel a second run is not refused, so the repairs
// run twice over the same installation and give the same values.
TEST_F(RepairRunTest, RunningTheInstallationTwiceGivesTheSameValues) {
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_CLIENT_LEVEL", "VNR 4.50");
    RunSetup("/qn");
    std::string first = ExportProductKeys();
    RunSetup("/qn");
    EXPECT_EQ(ExportProductKeys(), first);
    EXPECT_EQ(InnerCommands().size(), 2u);
}

// Characters of no single code page in Directory reach every repaired value
// as they are.
TEST_F(RepairRunTest, RepairedValuesKeepADirectoryOutsideTheCodePage) {
    const std::string directory = "C:\\Program Files\\Omrik\\Вина 日本\\";
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_DIRECTORY", directory.c_str());
    RunResult run = RunSetup("/qn");
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(StoredValue(kDirectoryId), Stored(directory));
    ExpectRepairedValues(directory);
}

// A user may put a registry link at the per-user source key, leading into
// HKEY_LOCAL_MACHINE. The elevated launcher takes the linked key as absent:
// the machine value behind it keeps its text, the other repairs are made.
TEST_F(RepairRunTest, LinkedSourceKeyLeavesTheMachineValueBehindItAlone) {
    const HKEY lm = HKEY_LOCAL_MACHINE;
    const char* const net = kRegistrationValues[kNetSourceId].name;
    // Below the product key, so the clean-up after each test takes it away;
    // the link itself is deleted as a link there.
    const std::string target = std::string(PlainPath(kProductKeyId)) + "\\Sources";
    const std::string machine = "C:\\ProgramData\\Omrik\\Sources\\";
    ASSERT_TRUE(WriteRegText(lm, target.c_str(), net, machine.c_str()));
    // Registered, with a ClientLevel that is not refused.
    ASSERT_TRUE(WriteRegText(kClientLevelId, "VNR 4.50"));
    ASSERT_TRUE(WriteRegText(kDirectoryId, "D:\\Apps\\"));
    ASSERT_TRUE(WriteRegText(kInstallDateId, "20261208"));
    ASSERT_TRUE(WriteRegText(kLastUsedSourceId, "n;1;E:\\Media\\"));
    ASSERT_TRUE(MakeRegistryLink(RootOf(kNetSourceKeyId), PlainPath(kNetSourceKeyId), lm,
                                 target.c_str()));
    ASSERT_EQ(StoredValue(kNetSourceId), Stored(machine))
        << "the link does not lead to the machine key";
    SetStandIn("STANDIN_EXIT_CODE", "3010");

    RunResult run = RunSetup("/qn");

    EXPECT_EQ(run.exitCode, 3010u);
    RegValue behind;
    ASSERT_TRUE(ReadRegValue(lm, target.c_str(), net, &behind));
    EXPECT_EQ(behind.data, Stored(machine)) << "written through the link";
    for (const ValueText& value : RepairedValues("D:\\Apps\\")) {
        if (kRegistrationValues[value.value].key != kNetSourceKeyId)
            EXPECT_EQ(StoredValue(value.value), Stored(value.text))
                << kRegistrationValues[value.value].name;
    }
}
