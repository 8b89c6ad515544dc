// The shipped 32-bit Setup.exe itself, run from this tree's helpers: where
// the machine runs no 32-bit code, these are 64-bit and only Setup.exe is
// emulated. Few runs, each covering what the twin's tests cannot show about
// this very file: its arguments and exit code, its repairs in the 32-bit
// registry view, its refusal dialog and its reports.
#include <string>

#include "tests/e2e/launcher_fixture.h"
#include "tests/support/help_file_digest.h"
#include "tests/support/sha256.h"
#include "tests/support/version_text.h"

using ShippedTest = LauncherTest;

TEST_F(ShippedTest, ArgumentsReachTheInnerInstallerAndItsExitCodeComesBack) {
    SetStandIn("STANDIN_EXIT_CODE", "3010");
    RunResult run = RunSetup("/s /v\"/qn\"");
    EXPECT_EQ(run.exitCode, 3010u);
    EXPECT_TRUE(run.windows.empty());
    EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe /s /v\"/qn\""});
}

// A completed installation is repaired; a second run over it is refused in
// French, in the long form for a version before 4.
TEST_F(ShippedTest, InstallationIsRepairedThenRefused) {
    SetStandIn("STANDIN_REGISTER", "1");
    SetStandIn("STANDIN_DIRECTORY", "D:\\Apps\\");
    SetStandIn("STANDIN_CLIENT_LEVEL", "VNR/3.9");
    RunResult install = RunSetup("/s /v\"/qn\"");
    EXPECT_EQ(install.exitCode, 0u);
    ExpectRepairedValues("D:\\Apps\\");

    RunResult refusal = RunSetup("/l1036");
    EXPECT_EQ(refusal.exitCode, 1u);
    ASSERT_EQ(refusal.windows.size(), 1u);
    EXPECT_EQ(refusal.windows[0].caption, "Omrik Vindara");
    std::vector<std::string> texts = WindowTexts(refusal.windows[0]);
    EXPECT_EQ(texts.size(), 4u);
    std::string all;
    for (const std::string& text : texts)
        all += text;
    EXPECT_NE(all.find("est d\xc3\xa9j\xc3\xa0 install\xc3\xa9"), std::string::npos) << all;
    EXPECT_EQ(InnerCommands().size(), 1u);  // the refused run started nothing
}

TEST_F(ShippedTest, VersionReportShowsItsText) {
    RunResult run = RunSetup("/vd");
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.windows.size(), 1u);
    EXPECT_EQ(run.windows[0].caption, "VNR Build Information");
    EXPECT_EQ(MessageText(run.windows[0]), VERSION_REPORT_TEXT);
}

TEST_F(ShippedTest, HelpFileIsWrittenAndShown) {
    RunResult run = RunSetup("/?", kCloseByCloseButton);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.windows.size(), 1u);
    EXPECT_NE(run.windows[0].caption.find("helpFILE"), std::string::npos)
        << run.windows[0].caption;
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(MediaFile("helpFILE.txt"), &bytes));
    EXPECT_EQ(bytes.size(), 36680u);
    EXPECT_EQ(Sha256Hex(bytes), kHelpFileSha256);
    EXPECT_TRUE(InnerCommands().empty());
}
