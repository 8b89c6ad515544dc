// The rules over one read of the registration: which keys and values make
// an installation that is refused or registered, the installed version
// after the first "/" of ClientLevel, and the long (below 4) or short
// (4 and later) dialog.
#include "detect/installed.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/registration_values.h"

namespace {

int Dialog(const TextValue& clientLevel, int language = 1033) {
    return ChooseDialogId(&clientLevel, language);
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
        EXPECT_EQ(c.dialog, Dialog(Text(c.clientLevel)));
    }
}

TEST(ChooseDialogId, ShortFormIsTheLanguagePlus4000) {
    for (int language : kDialogLanguages) {
        SCOPED_TRACE(language);
        EXPECT_EQ(language, Dialog(Text("VNR/3.9"), language));
        EXPECT_EQ(language + 4000, Dialog(Text("VNR/4.50"), language));
    }
}

// A ClientLevel that fills all 260 bytes without a NUL is read as its 260
// bytes and no further.
TEST(ChooseDialogId, FullBufferWithoutNulIsReadAsItsWhole260Bytes) {
    const struct {
        std::string bytes;
        int dialog;
    } cases[] = {
        {std::string(256, 'a') + "/3.9", 1033},
        {std::string(256, 'a') + "/4.5", 5033},
        {std::string(259, 'a') + "/", 1033},  // the slash is the last byte
        {"VNR/3" + std::string(255, '9'), 5033},  // a number of 256 digits
        {"VNR/4" + std::string(255, '0'), 5033},
        {"/" + std::string(259, '9'), 5033},
        {"VNR/0." + std::string(254, '0'), 1033},
        {"VNR/3.9" + std::string(253, 'x'), 1033},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 8));
        ASSERT_EQ(kTextBufSize, c.bytes.size());
        TextValue value = Stored(c.bytes);
        ASSERT_TRUE(value.filled);
        EXPECT_EQ(c.dialog, Dialog(value));
    }
}

TEST(FindInstalledVersion, ConvertsTheNumberAfterTheFirstSlash) {
    const struct {
        std::string bytes;
        double version;
    } cases[] = {
        {"VNR/4.50", 4.5},   {"VNR/3.9", 3.9},      {"VNR/", 0.0},      {"VNR/-5", -5.0},
        {"VNR/+4", 4.0},     {"VNR/0.4e1", 4.0},    {"VNR/4e0", 4.0},   {"VNR/  2.25x", 2.25},
        {"VNR/1/2", 1.0},    {"VNR/abc", 0.0},      {"a/1e3", 1000.0},  {"a/.5", 0.5},
        {"VNR/4.5", 4.5},    // stored without a NUL
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        TextValue value = Stored(c.bytes);
        double version = -1234.0;
        EXPECT_EQ(1, FindInstalledVersion(&value, &version));
        EXPECT_DOUBLE_EQ(c.version, version);
    }
    // No slash, or one only behind the first NUL: no version.
    for (const std::string& bytes : {std::string("VNR 4.5"), std::string("", 1),
                                     std::string("VNR\0/4.5", 8), std::string(260, 'a')}) {
        TextValue value = Stored(bytes);
        double version = -1234.0;
        EXPECT_EQ(0, FindInstalledVersion(&value, &version)) << bytes.size();
    }
}

// Refused: the product key with a ClientLevel that names a version, beside
// any of the three uninstall keys. Registered: the product key with any
// ClientLevel, beside the main uninstall key.
TEST(InstalledAndRegistered, FollowTheKeysAndClientLevel) {
    enum { kByName = 1, kAlternate = 2, kMain = 4 };
    const struct {
        const char* what;
        int productKeyOpened;
        int uninstallKeys;
        TextValue clientLevel;
        int installed;
        int registered;
    } cases[] = {
        {"nothing", 0, 0, {}, 0, 0},
        {"by name", 1, kByName, Text("VNR/3.9"), 1, 0},
        {"alternate", 1, kAlternate, Text("VNR/4.50"), 1, 0},
        {"main", 1, kMain, Text("VNR/4.50"), 1, 1},
        {"all three", 1, kByName | kAlternate | kMain, Text("VNR/"), 1, 1},
        {"no uninstall key", 1, 0, Text("VNR/4.50"), 0, 0},
        {"no product key", 0, kMain, {}, 0, 0},
        {"no ClientLevel", 1, kMain, {}, 0, 0},
        {"ClientLevel without a slash", 1, kMain, Text("VNR 4.50"), 0, 1},
        {"ClientLevel empty", 1, kMain, Text(""), 0, 1},
        {"ClientLevel as a number", 1, kMain, Stored(std::string("\x04\0\0\0", 4), kRegDword), 0, 1},
        {"ClientLevel as binary with a slash", 1, kByName, Stored("V/4", kRegBinary), 1, 0},
        {"slash behind the NUL", 1, kMain, Stored(std::string("VNR\0/4", 6)), 0, 1},
        {"ClientLevel too long to read", 1, kMain, Text("VNR/" + std::string(295, '4')), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Registration r = {};
        r.opened[kProductKeyId] = c.productKeyOpened;
        r.opened[kUninstallKeyByNameId] = (c.uninstallKeys & kByName) != 0;
        r.opened[kAlternateUninstallKeyId] = (c.uninstallKeys & kAlternate) != 0;
        r.opened[kMainUninstallKeyId] = (c.uninstallKeys & kMain) != 0;
        r.values[kClientLevelId] = c.clientLevel;
        EXPECT_EQ(c.installed, IsInstalled(&r));
        EXPECT_EQ(c.registered, IsRegistered(&r));
    }
}

}  // namespace
