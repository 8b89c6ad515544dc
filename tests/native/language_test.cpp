// Choosing the dialog language from the "/l" switch: four characters read
// as a decimal number, and only identifiers that have a dialog accepted.
#include "detect/installed.h"
#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "guarded_buffer.h"
#include "tests/support/registration_values.h"

namespace {

// The languages with a dialog are those whose dialogs have a resource file,
// resources/dialogs/<language>.rc, no more and no fewer.
TEST(SelectLanguage, DialogLanguagesAreThoseWithADialogResourceFile) {
    std::set<int> withFile;
    for (const auto& entry : std::filesystem::directory_iterator(DIALOG_RESOURCE_DIR)) {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() == ".rc" && !stem.empty() &&
            stem.find_first_not_of("0123456789") == std::string::npos)
            withFile.insert(std::stoi(stem));
    }
    const std::set<int> languages(kDialogLanguages, kDialogLanguages + kDialogLanguageCount);
    EXPECT_EQ(static_cast<size_t>(kDialogLanguageCount), languages.size()) << "a language twice";
    EXPECT_EQ(withFile, languages);
}

TEST(SelectLanguage, AcceptsEveryLanguageThatHasADialog) {
    for (int language : kDialogLanguages) {
        SCOPED_TRACE(language);
        EXPECT_EQ(1, IsDialogLanguage(language));
        EXPECT_EQ(language, SelectLanguage(Widened("/l" + std::to_string(language)).c_str()));
        EXPECT_EQ(language, SelectLanguage(Widened("/s /l" + std::to_string(language) + " /v").c_str()));
    }
}

TEST(SelectLanguage, FallsBackToEnglishForIdentifiersWithoutADialog) {
    for (int language : {1044, 1032, 1042, 1045, 2052, 3082, 5033, 6068, 1, 0, 9999}) {
        SCOPED_TRACE(language);
        EXPECT_EQ(0, IsDialogLanguage(language));
        EXPECT_EQ(1033, SelectLanguage(Widened("/l" + std::to_string(language)).c_str()));
    }
}

TEST(SelectLanguage, ReadsOnlyFourCharactersAfterTheFirstSwitch) {
    const struct {
        std::string args;
        int language;
    } cases[] = {
        {"", 1033},
        {"/s /x", 1033},
        {"/l1036", 1036},
        {"/l10361", 1036},        // only four characters are read
        {"/l20700", 2070},
        {"/l 1036", 1033},        // " 103" reads as 103
        {"/l\t1036", 1033},
        {"/l 103", 1033},
        {"/l1044", 1033},         // Norwegian has a dialog only as 2068
        {"/l2068", 2068},
        {"/l", 1033},             // at the very end: nothing to read
        {"/s /l", 1033},
        {"/l1", 1033},
        {"/l103", 1033},
        {"/l01036", 1033},        // "0103"
        {"/l-1036", 1033},        // "-103"
        {"/l+1033", 1033},        // "+103"
        {"/l+103", 1033},
        {"/l1041x", 1041},        // digits end at the first non-digit
        {"/l1x41", 1033},
        {"/l1036 /l1031", 1036},  // the first switch counts
        {"/l /l1031", 1033},      // " /l1" reads as 0
        {"/L1036", 1033},         // the switch is case-sensitive
        {"/LOGRESOURCES /l1031", 1031},
        {"INSTALLDIR=\"C:/l1043/x\"", 1043},  // inside another word
        {"C:/lib", 1033},
        {"/bl1036", 1033},        // "/bl" holds no "/l"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(c.language, SelectLanguage(Widened(c.args).c_str()));
    }
}

TEST(SelectLanguage, NeverReadsPastTheEndOfTheText) {
    // The text ends right after one to three characters of the code, in a
    // heap block of exactly its size.
    const struct {
        std::string args;
        int language;
    } cases[] = {{"/l", 1033}, {"/l1", 1033}, {"/l10", 1033}, {"/l103", 1033}, {"x/l1036", 1036}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ExactWideText text(Widened(std::string(c.args.c_str(), c.args.size() + 1)));
        EXPECT_EQ(c.language, SelectLanguage(text.Data()));
    }
}

}  // namespace
