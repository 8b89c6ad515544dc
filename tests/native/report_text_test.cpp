// The "/vd" and "/bl" texts: exact bytes, rows that were not read, and
// values of full length that are shown whole.
#include "reports/report_text.h"

#include <gtest/gtest.h>

#include <string>

#include "guarded_buffer.h"
#include "base/text.h"

namespace {

TEST(ComposeVersionText, IsTheVersionAndTheBuildDate) {
    GuardedBuffer text(kTextBufSize);
    EXPECT_EQ(1, ComposeVersionText(text.Data(), text.cap));
    EXPECT_EQ("VNR Build 4.50, Abr 25, 2000", text.Text());
    EXPECT_STREQ("VNR Build Information", kReportCaption);
    EXPECT_STREQ("Omrik Vindara is not installed", kNotInstalledText);
}

TEST(ComposeVersionText, RefusesASmallBufferWithoutOverrun) {
    GuardedBuffer exact(29);
    EXPECT_EQ(1, ComposeVersionText(exact.Data(), exact.cap));
    EXPECT_EQ("VNR Build 4.50, Abr 25, 2000", exact.Text());
    EXPECT_TRUE(exact.GuardIntact());
    GuardedBuffer shortBy1(28);
    EXPECT_EQ(0, ComposeVersionText(shortBy1.Data(), shortBy1.cap));
    EXPECT_TRUE(shortBy1.Terminated());
    EXPECT_TRUE(shortBy1.GuardIntact());
}

// A row's display text, as ShowBuildLevel takes it from a 260-byte receive
// buffer (or "unknown" when the query failed).
std::string Display(int read, const std::string& received) {
    GuardedBuffer display(kTextBufSize);
    if (read) {
        ExactBytes data(received);
        TakeDisplayText(display.Data(), display.cap, 1, data.Data(), data.Size());
    } else {
        TakeDisplayText(display.Data(), display.cap, 0, nullptr, 0);
    }
    EXPECT_TRUE(display.Terminated());
    EXPECT_TRUE(display.GuardIntact());
    return display.Text();
}

std::string ReceiveBuffer(const std::string& text) {
    std::string bytes = text;
    bytes.resize(kTextBufSize, '\0');
    return bytes;
}

TEST(TakeDisplayText, ShowsTheBytesUpToTheFirstNulOrUnknown) {
    const struct {
        int read;
        std::string received;
        std::string shown;
    } cases[] = {
        {0, "", "unknown"},
        {1, ReceiveBuffer("Abr 25, 2000"), "Abr 25, 2000"},
        {1, ReceiveBuffer(""), ""},
        {1, std::string("abc"), "abc"},                         // no NUL within the size
        {1, std::string("ab\0cd\0", 6), "ab"},                  // a multi-string value
        {1, std::string("\x2A\x01\x00\x00", 4), "\x2A\x01"},    // a DWORD's bytes
        {1, ReceiveBuffer(std::string(259, 'v')), std::string(259, 'v')},
        {1, std::string(260, 'v'), std::string(259, 'v')},      // full, without NUL
        {1, std::string(259, 'v') + "w", std::string(259, 'v')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.substr(0, 16));
        EXPECT_EQ(c.shown, Display(c.read, c.received));
    }
}

std::string BuildLevelText(const std::string values[kReportRowCount], size_t cap, int* fits) {
    const char* const pointers[kReportRowCount] = {values[0].c_str(), values[1].c_str(),
                                                   values[2].c_str(), values[3].c_str()};
    GuardedBuffer text(cap);
    *fits = ComposeBuildLevelText(text.Data(), text.cap, pointers);
    EXPECT_TRUE(text.Terminated());
    EXPECT_TRUE(text.GuardIntact());
    return text.Text();
}

TEST(ComposeBuildLevelText, ShowsFourLabelledLinesEndingInLineFeeds) {
    // A product key with Build Level and Directory, no ClientLevel, and no
    // uninstall key.
    const std::string values[kReportRowCount] = {
        Display(1, ReceiveBuffer("Abr 25, 2000")),
        Display(0, ""),
        Display(1, ReceiveBuffer("D:\\Apps\\")),
        Display(0, ""),
    };
    int fits = 0;
    const std::string text = BuildLevelText(values, kTextBufSize, &fits);
    EXPECT_EQ(1, fits);
    EXPECT_EQ(
        "Build date :\t Abr 25, 2000\n"
        "Client Level :\t unknown\n"
        "InstallDir :\t D:\\Apps\\\n"
        "InstallDate :\t unknown\n",
        text);
}

TEST(ComposeBuildLevelText, AllRowsUnknown) {
    const std::string unknown = Display(0, "");
    const std::string values[kReportRowCount] = {unknown, unknown, unknown, unknown};
    int fits = 0;
    const std::string text = BuildLevelText(values, kTextBufSize, &fits);
    EXPECT_EQ(1, fits);
    EXPECT_EQ(
        "Build date :\t unknown\n"
        "Client Level :\t unknown\n"
        "InstallDir :\t unknown\n"
        "InstallDate :\t unknown\n",
        text);
    EXPECT_EQ(63u + 4 * 7, text.size());
}

TEST(ComposeBuildLevelText, ShowsFourValuesOf259CharactersWhole) {
    // Full receive buffers without NUL: each row shows 259 characters.
    const std::string values[kReportRowCount] = {
        Display(1, std::string(260, 'a')),
        Display(1, std::string(260, 'b')),
        Display(1, std::string(260, 'c')),
        Display(1, ReceiveBuffer(std::string(259, 'd'))),
    };
    int fits = 0;
    const std::string text = BuildLevelText(values, kBuildLevelTextSize, &fits);
    EXPECT_EQ(1, fits);
    EXPECT_EQ(63u + 4 * 259, text.size());
    EXPECT_EQ("Build date :\t " + std::string(259, 'a') + "\n" +
                  "Client Level :\t " + std::string(259, 'b') + "\n" +
                  "InstallDir :\t " + std::string(259, 'c') + "\n" +
                  "InstallDate :\t " + std::string(259, 'd') + "\n",
              text);

    // One byte less and the text is refused, never written past.
    BuildLevelText(values, kBuildLevelTextSize - 1, &fits);
    EXPECT_EQ(0, fits);
}

}  // namespace
