// A fresh installation medium per test: Setup.exe and the inner-installer
// stand-in in a scratch folder, the product's registry keys removed before
// and after.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/testbed/testbed.h"

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs Setup.exe with the argument text; windows are closed as given.
    RunResult RunSetup(const std::string& args, CloseHow how = kCloseByOk,
                       WORD showCommand = SW_SHOWDEFAULT);
    // The inner installer's command lines, one per run, in order.
    std::vector<std::string> InnerCommands();
    bool InnerEnded();
    void SetStandIn(const char* name, const char* value);
    std::string MediaFile(const char* name) const;
    // A value under the plain form of a key, as stored, or "(missing)".
    static std::string StoredValue(HKEY root, const char* const* key, const char* name);

    std::string media_;
    std::vector<std::string> settings_;
};

std::vector<std::string> WindowTexts(const WindowInfo& info);
