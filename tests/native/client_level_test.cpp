// Reading the installed version after the first "/" of ClientLevel and
// choosing the long (below 4) or short (4 and later) dialog.
#include "detect/client_level.h"

#include <gtest/gtest.h>

#include <string>

#include "guarded_buffer.h"
#include "base/text.h"

namespace {

// ClientLevel as a query leaves it: the text, its NUL, then zeros up to
// the 260 bytes of the buffer.
std::string Received(const std::string& text) {
    std::string bytes = text;
    bytes.resize(kTextBufSize, '\0');
    return bytes;
}

int Dialog(const std::string& bytes, int language = 1033) {
    ExactBytes value(bytes);
    return ChooseDialogId(value.Data(), value.Size(), language);
}

TEST(ChooseDialogId, LongFormBelowFourShortFormFromFour) {
    const struct {
        std::string clientLevel;
        int dialog;
    } cases[] = {
        {"VNR/3.9", 1033},
        {"VNR/3.99999", 1033},
        {"VNR/4", 5033},
        {"VNR/4.0", 5033},
        {"VNR/4.50", 5033},
        {"VNR/10", 5033},
        {"VNR/0", 1033},
        {"VNR/", 1033},        // nothing after the slash reads as 0
        {"/5", 5033},
        {"/", 1033},
        {"VNR/-5", 1033},
        {"VNR/-4", 1033},
        {"VNR/+4", 5033},
        {"VNR/4e0", 5033},
        {"VNR/0.4e1", 5033},
        {"VNR/40E-1", 5033},
        {"VNR/4e-1", 1033},
        {"VNR/1e1", 5033},
        {"VNR/4e", 5033},      // an exponent without digits is not read
        {"VNR/4e+", 5033},
        {"VNR/.5", 1033},
        {"VNR/5.", 5033},
        {"VNR/.", 1033},
        {"VNR/  4.5", 5033},   // leading white space is skipped
        {"VNR/\t4.5", 5033},
        {"VNR/ -4.5", 1033},
        {"VNR/4.5abc", 5033},  // text after the number is ignored
        {"VNR/3.9 (4.5)", 1033},
        {"VNR/abc4.5", 1033},
        {"VNR/- 4", 1033},
        {"VNR/0x4", 1033},     // decimal notation only: reads "0"
        {"VNR/inf", 1033},
        {"VNR/3.9/4.5", 1033},  // only the first slash counts
        {"VNR/4.5/3.9", 5033},
        {"4.5/3.9", 1033},     // the prefix is never read
        {"3.9/4.5", 5033},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clientLevel);
        EXPECT_EQ(c.dialog, Dialog(Received(c.clientLevel)));
    }
}

TEST(ChooseDialogId, NoSlashMeansNoDialog) {
    for (const char* text : {"", "VNR", "VNR 4.5", "VNR\\4.5"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(0, Dialog(Received(text)));
    }
    // A slash behind the first NUL is not part of the value.
    EXPECT_EQ(0, Dialog(Received(std::string("VNR\0/4.5", 8))));
}

TEST(ChooseDialogId, ShortFormIsTheLanguagePlus4000) {
    const int languages[] = {1033, 1034, 1030, 1043, 1035, 1036, 1031, 1040, 2068, 2070, 1053, 1041};
    for (int language : languages) {
        SCOPED_TRACE(language);
        EXPECT_EQ(language, Dialog(Received("VNR/3.9"), language));
        EXPECT_EQ(language + 4000, Dialog(Received("VNR/4.50"), language));
    }
}

TEST(ChooseDialogId, FullBufferWithoutNulIsReadAsItsWhole260Bytes) {
    const struct {
        std::string bytes;
        int dialog;
    } cases[] = {
        {std::string(256, 'a') + "/3.9", 1033},
        {std::string(256, 'a') + "/4.5", 5033},
        {std::string(259, 'a') + "/", 1033},  // the slash is the last byte
        {std::string(260, 'a'), 0},
        {"VNR/3" + std::string(255, '9'), 5033},  // a number of 256 digits
        {"VNR/4" + std::string(255, '0'), 5033},
        {"/" + std::string(259, '9'), 5033},
        {"VNR/0." + std::string(254, '0'), 1033},
        {"VNR/3.9" + std::string(253, 'x'), 1033},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 8));
        ASSERT_EQ(kTextBufSize, c.bytes.size());
        EXPECT_EQ(c.dialog, Dialog(c.bytes));
    }
}

TEST(ChooseDialogId, ReadsOnlyTheSizeReceived) {
    const struct {
        size_t size;
        int dialog;
    } cases[] = {{7, 5033}, {5, 5033}, {4, 1033}, {3, 0}, {0, 0}};
    // "VNR/4.5" without a NUL, cut to the given size.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        if (c.size == 0) {
            const char none[1] = {'/'};
            EXPECT_EQ(c.dialog, ChooseDialogId(none, 0, 1033));
            continue;
        }
        EXPECT_EQ(c.dialog, Dialog(std::string("VNR/4.5", c.size)));
    }
}

TEST(FindInstalledVersion, ConvertsTheNumberAfterTheFirstSlash) {
    const struct {
        std::string text;
        double version;
    } cases[] = {
        {"VNR/4.50", 4.5},   {"VNR/3.9", 3.9},      {"VNR/", 0.0},      {"VNR/-5", -5.0},
        {"VNR/+4", 4.0},     {"VNR/0.4e1", 4.0},    {"VNR/4e0", 4.0},   {"VNR/  2.25x", 2.25},
        {"VNR/1/2", 1.0},    {"VNR/abc", 0.0},      {"a/1e3", 1000.0},  {"a/.5", 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ExactBytes value(Received(c.text));
        double version = -1234.0;
        EXPECT_EQ(1, FindInstalledVersion(value.Data(), value.Size(), &version));
        EXPECT_DOUBLE_EQ(c.version, version);
    }
    ExactBytes none(Received("VNR 4.5"));
    double version = -1234.0;
    EXPECT_EQ(0, FindInstalledVersion(none.Data(), none.Size(), &version));
}

}  // namespace
