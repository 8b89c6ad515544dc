// A fresh installation medium per test: Setup.exe and the inner-installer
// stand-in in a scratch folder, the product's registry keys removed before
// and after.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/testbed/testbed.h"

// A text value of the product's registration, and its text without the NUL
// the system stores after it.
struct ValueText {
    ValueId value;
    std::string text;
};

// The six values a repair leaves where Directory holds the given text.
std::vector<ValueText> RepairedValues(const std::string& directory);

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs Setup.exe with the argument text (UTF-8); windows are closed as
    // given. A run still going after timeoutMs (0: the usual time) is ended.
    RunResult RunSetup(const std::string& args, CloseHow how = kCloseByOk,
                       WORD showCommand = SW_SHOWDEFAULT, DWORD timeoutMs = 0);
    // The inner installer's command lines, one per run, in order, in UTF-8.
    std::vector<std::string> InnerCommands();
    bool InnerEnded();
    void SetStandIn(const char* name, const char* value);
    std::string MediaFile(const char* name) const;
    // A value in the plain form of its key's path, as stored, or "(missing)".
    static std::string StoredValue(ValueId value);
    // Each of the six repaired values for the Directory text, byte for byte
    // as stored: its text with one NUL after it.
    static void ExpectRepairedValues(const std::string& directory);

    std::string media_;
    std::vector<std::string> settings_;
};

std::vector<std::string> WindowTexts(const WindowInfo& info);
