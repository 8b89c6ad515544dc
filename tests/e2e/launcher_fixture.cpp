#include "tests/e2e/launcher_fixture.h"

#include "detect/registry_paths.h"
#include "setup_version.h"

// A start of the shipped 32-bit Setup.exe through an emulator takes seconds,
// so its tests allow more.
#ifndef SETUP_RUN_TIMEOUT_MS
#define SETUP_RUN_TIMEOUT_MS 60000
#endif
static const DWORD kRunTimeoutMs = SETUP_RUN_TIMEOUT_MS;

void LauncherTest::SetUp() {
    DeleteProductKeys();
    media_ = MakeScratchFolder("media");
    ASSERT_TRUE(CopyInto(WindowsPath(SETUP_EXE_PATH), media_, "Setup.exe"));
    ASSERT_TRUE(CopyInto(WindowsPath(STANDIN_EXE_PATH), media_, "_Setup.exe"));
}

void LauncherTest::TearDown() {
    for (const std::string& name : settings_)
        SetEnvironmentVariableA(name.c_str(), NULL);
    DeleteProductKeys();
    RemoveFolder(media_);
}

// Settings reach the stand-in through the environment the launcher inherits,
// set through the wide call so a UTF-8 value of any characters arrives whole.
void LauncherTest::SetStandIn(const char* name, const char* value) {
    SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str());
    settings_.push_back(name);
}

std::string LauncherTest::MediaFile(const char* name) const {
    return media_ + "\\" + name;
}

RunResult LauncherTest::RunSetup(const std::string& args, CloseHow how, WORD showCommand,
                                 DWORD timeoutMs) {
    std::string command = "\"" + MediaFile("Setup.exe") + "\"";
    if (!args.empty())
        command += " " + args;
    RunResult result = RunAndAnswer(command, media_, how, timeoutMs ? timeoutMs : kRunTimeoutMs,
                                    NULL, showCommand);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.finished) << "Setup.exe did not end: " << args;
    return result;
}

std::string LauncherTest::StoredValue(ValueId value) {
    RegValue read;
    if (!ReadRegValue(value, &read))
        return "(missing)";
    return read.data;
}

void LauncherTest::ExpectRepairedValues(const std::string& directory) {
    for (const ValueText& value : RepairedValues(directory))
        EXPECT_EQ(StoredValue(value.value), value.text + '\0')
            << kRegistrationValues[value.value].name;
}

std::vector<std::string> LauncherTest::InnerCommands() {
    std::string bytes;
    std::vector<std::string> commands;
    if (!ReadWholeFile(MediaFile("inner-record.txt"), &bytes))
        return commands;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
        commands.push_back(bytes.substr(start, end - start));
    return commands;
}

bool LauncherTest::InnerEnded() {
    return FileExists(MediaFile("inner-ended.txt"));
}

std::vector<ValueText> RepairedValues(const std::string& directory) {
    return {
        {kBuildLevelId, SETUP_BUILD_DATE},
        {kLastUsedSourceId, "n;1;" + directory},
        {kNetSourceId, directory},
        {kUninstallStringId, "msiexec /x \"" + directory + "Omrik Vindara.msi\""},
        {kModifyPathId, directory},
        {kLocalPackageId, directory + "Omrik VindaraXXX.msi"},
    };
}

std::vector<std::string> WindowTexts(const WindowInfo& info) {
    std::vector<std::string> texts;
    for (const ControlInfo& control : info.controls)
        texts.push_back(control.text);
    return texts;
}
