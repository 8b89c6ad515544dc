// The "/vd" and "/bl" texts: exact bytes, rows that were not read, and
// values of full length that are shown whole.
#include "reports/report_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "guarded_buffer.h"
#include "tests/support/registration_values.h"
#include "tests/support/version_text.h"

namespace {

constexpr wchar_t kVersionDate[] = L"" VERSION_REPORT_TEXT;

TEST(ComposeVersionText, IsTheVersionAndTheBuildDate) {
    WideGuardedBuffer text(kTextBufSize);
    EXPECT_EQ(1, ComposeVersionText(text.Data(), text.cap));
    EXPECT_EQ(kVersionDate, text.Text());
    EXPECT_STREQ("VNR Build Information", kReportCaption);
}

TEST(ComposeVersionText, RefusesASmallBufferWithoutOverrun) {
    WideGuardedBuffer exact(sizeof kVersionDate / sizeof(wchar_t));
    EXPECT_EQ(1, ComposeVersionText(exact.Data(), exact.cap));
    EXPECT_EQ(kVersionDate, exact.Text());
    EXPECT_TRUE(exact.GuardIntact());
    WideGuardedBuffer shortBy1(exact.cap - 1);
    EXPECT_EQ(0, ComposeVersionText(shortBy1.Data(), shortBy1.cap));
    EXPECT_TRUE(shortBy1.Terminated());
    EXPECT_TRUE(shortBy1.GuardIntact());
}

std::string BuildLevelText(const Registration& r, size_t cap, int* fits,
                           ReportText report = kBuildLevelReport) {
    WideGuardedBuffer text(cap);
    *fits = ComposeReportText(report, text.Data(), text.cap, &r);
    EXPECT_TRUE(text.Terminated());
    EXPECT_TRUE(text.GuardIntact());
    return Narrowed(text.Text());
}

std::string BuildLevelText(const Registration& r) {
    int fits = 0;
    std::string text = BuildLevelText(r, kBuildLevelTextSize, &fits);
    EXPECT_EQ(1, fits);
    return text;
}

// A product key with Build Level and Directory, no ClientLevel, and no
// uninstall key.
TEST(ComposeReportText, ShowsFourLabelledLinesEndingInLineFeeds) {
    Registration r = {};
    r.opened[kProductKeyId] = 1;
    r.values[kBuildLevelId] = Text("Abr 25, 2000");
    r.values[kDirectoryId] = Text("D:\\Apps\\");
    EXPECT_EQ(
        "Build date :\t Abr 25, 2000\n"
        "Client Level :\t unknown\n"
        "InstallDir :\t D:\\Apps\\\n"
        "InstallDate :\t unknown\n",
        BuildLevelText(r));
    int fits = 0;
    EXPECT_EQ("Omrik Vindara is not installed",
              BuildLevelText(r, kBuildLevelTextSize, &fits, kNotInstalledReport));
    EXPECT_EQ(1, fits);
}

// Whatever bytes a query returned show up to the first NUL, whatever the
// value's type; a value that was not read shows "unknown".
TEST(ComposeReportText, ShowsEachValueUpToItsFirstNul) {
    const struct {
        TextValue value;
        std::string shown;
    } cases[] = {
        {{}, "unknown"},
        {Text(""), ""},
        {Stored("abc"), "abc"},                                    // no NUL
        {Stored(std::string("ab\0cd\0\0", 7), kRegMultiSz), "ab"},
        {Stored(std::string("\x2A\x01\0\0", 4), kRegDword), "\x2A\x01"},
        {Text(std::string(259, 'v')), std::string(259, 'v')},
        {Stored(std::string(260, 'v')), std::string(259, 'v')},   // full, without NUL
        {Stored(std::string(259, 'v') + "w"), std::string(259, 'v')},
        {Text(std::string(260, 'v')), "unknown"},                 // does not fit the read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.substr(0, 16));
        Registration r = {};
        r.opened[kProductKeyId] = 1;
        r.values[kInstallDateId] = c.value;
        EXPECT_EQ("Build date :\t unknown\nClient Level :\t unknown\nInstallDir :\t unknown\n"
                  "InstallDate :\t " + c.shown + "\n",
                  BuildLevelText(r));
    }
}

TEST(ComposeReportText, ShowsFourValuesOf259CharactersWhole) {
    // Full receive buffers without NUL: each row shows 259 characters.
    Registration r = {};
    r.opened[kProductKeyId] = 1;
    r.values[kBuildLevelId] = Stored(std::string(260, 'a'));
    r.values[kClientLevelId] = Stored(std::string(260, 'b'));
    r.values[kDirectoryId] = Stored(std::string(260, 'c'));
    r.values[kInstallDateId] = Text(std::string(259, 'd'));
    const std::string expected = "Build date :\t " + std::string(259, 'a') + "\n" +
                                 "Client Level :\t " + std::string(259, 'b') + "\n" +
                                 "InstallDir :\t " + std::string(259, 'c') + "\n" +
                                 "InstallDate :\t " + std::string(259, 'd') + "\n";
    EXPECT_EQ(63u + 4 * 259, expected.size());
    EXPECT_EQ(expected, BuildLevelText(r));

    // Its exact room fits; one character less and the text is refused, never
    // written past.
    int fits = 0;
    EXPECT_EQ(expected, BuildLevelText(r, expected.size() + 1, &fits));
    EXPECT_EQ(1, fits);
    BuildLevelText(r, expected.size(), &fits);
    EXPECT_EQ(0, fits);
}

}  // namespace
