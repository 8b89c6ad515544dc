// Setup.exe over an existing installation: the dialog of the chosen
// language and form, closed any way a user closes it, exit code 1, and the
// inner installer never started.
#include <string>

#include "detect/installed.h"
#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "setup_version.h"

class RefusalTest : public LauncherTest {
protected:
    void InstallVersion(const char* clientLevel) {
        ASSERT_TRUE(WriteRegText(kClientLevelId, clientLevel));
        ASSERT_TRUE(WriteRegText(kDirectoryId, "C:\\Apps\\Vindara\\"));
        ASSERT_TRUE(WriteRegText(kInstallDateId, "20261208"));
    }
};

static std::string AllTexts(const WindowInfo& info) {
    std::string texts;
    for (const std::string& text : WindowTexts(info))
        texts += text + "|";
    return texts;
}

struct LanguageCase {
    const char* args;
    size_t longControls;   // below version 4
    size_t shortControls;  // version 4 and later
    const char* phrase;    // in the first paragraph of that language
};

// The Japanese texts pass through the system code page of an ANSI dialog;
// their Latin letters identify them here.
static const LanguageCase kLanguages[] = {
    {"/l1030", 3, 2, "er allerede installeret"},
    {"/l1031", 4, 3, "ist bereits installiert"},
    {"/l1033", 3, 2, "is already installed"},
    {"/l1034", 3, 2, "ya est\xc3\xa1 instalado"},
    {"/l1035", 3, 2, "-ohjelma on jo asennettu"},
    {"/l1036", 4, 3, "est d\xc3\xa9j\xc3\xa0 install\xc3\xa9"},
    {"/l1040", 3, 2, "is already installed"},
    {"/l1041", 9, 6, "OmrikVindara"},
    {"/l1043", 3, 2, "is al ge\xc3\xafnstalleerd"},
    {"/l1053", 4, 3, "redan installerad"},
    {"/l2068", 4, 3, "er allerede installert"},
    {"/l2070", 3, 2, "j\xc3\xa1 est\xc3\xa1 instalado"},
    {"", 3, 2, "is already installed"},
    {"/l1044", 3, 2, "is already installed"},
    {"/l 1036", 3, 2, "is already installed"},
    {"/qn /l1036", 4, 3, "est d\xc3\xa9j\xc3\xa0 install\xc3\xa9"},
};

TEST_F(RefusalTest, DialogOfTheChosenLanguageAndForm) {
    for (int language : kDialogLanguages) {
        bool listed = false;
        for (const LanguageCase& c : kLanguages)
            listed |= c.args == "/l" + std::to_string(language);
        EXPECT_TRUE(listed) << "no case for the dialog of " << language;
    }
    for (const char* version : {"VNR/3.9", "VNR/4.50"}) {
        DeleteProductKeys();
        InstallVersion(version);
        bool old = version[4] == '3';
        for (const LanguageCase& c : kLanguages) {
            RunResult run = RunSetup(c.args);
            EXPECT_EQ(run.exitCode, 1u) << c.args;
            ASSERT_EQ(run.windows.size(), 1u) << c.args << " " << version;
            const WindowInfo& dialog = run.windows[0];
            EXPECT_EQ(dialog.caption, "Omrik Vindara");
            EXPECT_EQ(dialog.controls.size(), old ? c.longControls : c.shortControls)
                << c.args << " " << version << ": " << AllTexts(dialog);
            EXPECT_NE(AllTexts(dialog).find(c.phrase), std::string::npos)
                << c.args << " " << version << ": " << AllTexts(dialog);
        }
    }
    EXPECT_TRUE(InnerCommands().empty());
}

TEST_F(RefusalTest, EveryWayOfClosingEndsWithExitCodeOne) {
    InstallVersion("VNR/4.50");
    for (CloseHow how : {kCloseByOk, kCloseByEnter, kCloseByEscape, kCloseByCloseButton}) {
        RunResult run = RunSetup("/qn", how);
        EXPECT_TRUE(run.finished) << how;
        EXPECT_EQ(run.exitCode, 1u) << how;
        EXPECT_EQ(run.windows.size(), 1u) << how;
    }
    EXPECT_TRUE(InnerCommands().empty());
}

// The installation may sit in the trailing-backslash form only; the same
// key answers both forms, so the refusal is the same.
TEST_F(RefusalTest, InstallationUnderAnyUninstallKeyIsRefused) {
    for (KeyId uninstallKey : {kUninstallKeyByNameId, kAlternateUninstallKeyId,
                               kMainUninstallKeyId}) {
        const RegistrationKey& key = kRegistrationKeys[uninstallKey];
        DeleteProductKeys();
        WriteRegText(RootOf(kProductKeyId), TrailingPath(kProductKeyId).c_str(),
                     kRegistrationValues[kClientLevelId].name, "VNR/3");
        WriteRegText(RootOf(uninstallKey), TrailingPath(uninstallKey).c_str(), "DisplayName", "x");
        RunResult run = RunSetup("");
        EXPECT_EQ(run.exitCode, 1u) << key.name;
        EXPECT_EQ(run.windows.size(), 1u) << key.name;
    }
    EXPECT_TRUE(InnerCommands().empty());
}

// "/x" skips the check: no dialog, the inner installer gets "/x" with the
// rest, and no repair follows.
TEST_F(RefusalTest, RemovalSwitchSkipsTheCheckAndTheRepairs) {
    InstallVersion("VNR/3.9");
    SetStandIn("STANDIN_EXIT_CODE", "0");
    RunResult run = RunSetup("/x /qn");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    EXPECT_EQ(InnerCommands(), std::vector<std::string>{"_Setup.exe /x /qn"});
    RegValue value;
    EXPECT_FALSE(ReadRegValue(kBuildLevelId, &value));
}

// Without a "/" ClientLevel names no version: no refusal, but it still
// counts as a registered installation afterwards, so the repairs run.
TEST_F(RefusalTest, ClientLevelWithoutSlashIsNotRefused) {
    InstallVersion("VNR 4.50");
    RunResult run = RunSetup("/qn");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.windows.empty());
    EXPECT_EQ(InnerCommands().size(), 1u);
    RegValue value;
    ASSERT_TRUE(ReadRegValue(kBuildLevelId, &value));
    // Written without its NUL; the system stores one after it.
    EXPECT_EQ(value.data, std::string(SETUP_BUILD_DATE) + '\0');
}

TEST_F(RefusalTest, HalfAnInstallationIsNotRefused) {
    struct Case {
        bool productKey, uninstallKey;
    } cases[] = {{true, false}, {false, true}};
    for (const Case& c : cases) {
        DeleteProductKeys();
        if (c.productKey)
            WriteRegText(kClientLevelId, "VNR/3");
        if (c.uninstallKey)
            WriteRegText(kMainUninstallKeyId, "DisplayName", "x");
        RunResult run = RunSetup("/qn");
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_TRUE(run.windows.empty());
    }
    EXPECT_EQ(InnerCommands().size(), 2u);
}
