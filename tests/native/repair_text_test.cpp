// The repaired values composed from Directory: exact texts and lengths, the
// 259-character limit of a 260-byte buffer, and registry data without NUL.
#include "repair/repair_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/build_date.h"
#include "base/text.h"
#include "guarded_buffer.h"

namespace {

// Directory as a query leaves it in a cleared 260-byte buffer. A text of
// 260 characters fills the buffer and has no NUL.
std::string Received(const std::string& text) {
    std::string bytes = text;
    if (bytes.size() < kTextBufSize)
        bytes.resize(kTextBufSize, '\0');
    return bytes;
}

// A directory text of the given length that ends with a backslash.
std::string DirectoryOfLength(size_t length) {
    std::string text = "D:\\";
    while (text.size() + 1 < length)
        text += static_cast<char>('a' + text.size() % 26);
    text += '\\';
    text.resize(length);
    return text;
}

struct Composed {
    int fits;
    std::string text;
};

Composed Removal(const std::string& directory) {
    ExactBytes dir(Received(directory));
    GuardedBuffer dst(kTextBufSize);
    int fits = ComposeUninstallValue(dst.Data(), dst.cap, kRemovalCommand, dir.Data(), dir.Size());
    EXPECT_TRUE(dst.GuardIntact());
    return {fits, fits ? dst.Text() : std::string()};
}

Composed DirectoryValue(const std::string& directory, UninstallValue value) {
    ExactBytes dir(Received(directory));
    GuardedBuffer dst(kTextBufSize);
    int fits = ComposeUninstallValue(dst.Data(), dst.cap, value, dir.Data(), dir.Size());
    EXPECT_TRUE(dst.GuardIntact());
    return {fits, fits ? dst.Text() : std::string()};
}

// The source value comes as the bytes a query returned, with their size.
Composed SourceValue(const std::string& sourceBytes, const std::string& directory) {
    ExactBytes source(sourceBytes);
    ExactBytes dir(Received(directory));
    GuardedBuffer dst(kTextBufSize);
    int fits = ComposeSourceValue(dst.Data(), dst.cap, source.Data(), source.Size(), dir.Data(),
                                  dir.Size());
    EXPECT_TRUE(dst.GuardIntact());
    return {fits, fits ? dst.Text() : std::string()};
}

Composed SourceValue(const char* sourceText, const std::string& directory) {
    return SourceValue(std::string(sourceText, strlen(sourceText) + 1), directory);
}

TEST(RepairTexts, ValuesForAnInstallationInDApps) {
    const std::string dir = "D:\\Apps\\";
    const struct {
        const char* value;
        Composed composed;
        std::string expected;
        size_t length;
    } cases[] = {
        {"UninstallString", Removal(dir), "msiexec /x \"D:\\Apps\\Omrik Vindara.msi\"", 38},
        {"ModifyPath", DirectoryValue(dir, kInstallDirectory), "D:\\Apps\\", 8},
        {"LocalPackage", DirectoryValue(dir, kPackageCopy), "D:\\Apps\\Omrik VindaraXXX.msi", 28},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(1, c.composed.fits);
        EXPECT_EQ(c.expected, c.composed.text);
        EXPECT_EQ(c.length, c.composed.text.size());
    }
    EXPECT_STREQ("Abr 25, 2000", kBuildDate);
}

TEST(RepairTexts, DirectoryWithoutTrailingBackslashIsUsedUnchanged) {
    EXPECT_EQ("msiexec /x \"D:\\AppsOmrik Vindara.msi\"", Removal("D:\\Apps").text);
    EXPECT_EQ("D:\\Apps", DirectoryValue("D:\\Apps", kInstallDirectory).text);
    EXPECT_EQ("D:\\AppsOmrik VindaraXXX.msi", DirectoryValue("D:\\Apps", kPackageCopy).text);
    EXPECT_EQ("n;1;E:\\Apps", SourceValue("n;1;D:\\Setup\\", "E:\\Apps").text);
}

TEST(RepairTexts, RefuseATextThatWouldNotFitIn259Characters) {
    // Each row gives the longest Directory whose composed text still fits
    // (259 characters) and the first one that does not (260).
    const struct {
        const char* what;
        Composed (*compose)(const std::string& directory);
        size_t longestDirectory;
        size_t fixedPart;
    } cases[] = {
        {"UninstallString", [](const std::string& d) { return Removal(d); }, 229, 30},
        {"ModifyPath",
         [](const std::string& d) { return DirectoryValue(d, kInstallDirectory); }, 259, 0},
        {"LocalPackage", [](const std::string& d) { return DirectoryValue(d, kPackageCopy); },
         239, 20},
        {"LastUsedSource",
         [](const std::string& d) { return SourceValue("n;1;D:\\Setup\\", d); }, 255, 4},
        {"1", [](const std::string& d) { return SourceValue("D:\\Setup\\", d); }, 259, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string fits = DirectoryOfLength(c.longestDirectory);
        Composed longest = c.compose(fits);
        EXPECT_EQ(1, longest.fits);
        EXPECT_EQ(259u, longest.text.size());
        EXPECT_EQ(c.longestDirectory + c.fixedPart, longest.text.size());
        EXPECT_NE(std::string::npos, longest.text.find(fits));

        // One character more: 260 characters would not fit with the NUL.
        // For ModifyPath and "1" that Directory fills the buffer without NUL.
        Composed tooLong = c.compose(DirectoryOfLength(c.longestDirectory + 1));
        EXPECT_EQ(0, tooLong.fits);
    }
}

TEST(RepairTexts, RefuseADirectoryThatFillsItsBufferWithoutNul) {
    const std::string full(260, 'd');
    EXPECT_EQ(0, Removal(full).fits);
    EXPECT_EQ(0, DirectoryValue(full, kInstallDirectory).fits);
    EXPECT_EQ(0, DirectoryValue(full, kPackageCopy).fits);
    EXPECT_EQ(0, SourceValue("n;1;D:\\Setup\\", full).fits);
    EXPECT_EQ(0, SourceValue("D:\\Setup\\", full).fits);
}

TEST(RepairTexts, RefuseWithoutWritingPastASmallBuffer) {
    ExactBytes dir(Received("D:\\Apps\\"));
    ExactBytes source(std::string("n;1;D:\\Setup\\", 14));
    // Each result is one character longer than the capacity allows.
    GuardedBuffer removal(38);
    EXPECT_EQ(0, ComposeUninstallValue(removal.Data(), removal.cap, kRemovalCommand, dir.Data(),
                                       dir.Size()));
    EXPECT_TRUE(removal.GuardIntact());
    GuardedBuffer package(28);
    EXPECT_EQ(0, ComposeUninstallValue(package.Data(), package.cap, kPackageCopy, dir.Data(),
                                       dir.Size()));
    EXPECT_TRUE(package.GuardIntact());
    GuardedBuffer sourceValue(12);
    EXPECT_EQ(0, ComposeSourceValue(sourceValue.Data(), sourceValue.cap, source.Data(),
                                    source.Size(), dir.Data(), dir.Size()));
    EXPECT_TRUE(sourceValue.GuardIntact());
    GuardedBuffer none(0);
    EXPECT_EQ(0, ComposeSourceValue(none.Data(), 0, source.Data(), source.Size(), dir.Data(),
                                    dir.Size()));
    EXPECT_TRUE(none.GuardIntact());
}

TEST(ComposeSourceValue, KeepsWhatStandsBeforeTheDriveLetter) {
    const struct {
        std::string source;
        std::string directory;
        std::string expected;
    } cases[] = {
        {"n;1;D:\\Setup\\", "E:\\Apps\\", "n;1;E:\\Apps\\"},
        {"D:\\Setup\\", "E:\\Apps\\", "E:\\Apps\\"},
        {"n;1;D:\\a:b\\c:", "E:\\Apps\\", "n;1;E:\\Apps\\"},  // only the first colon counts
        {"m;2;F:", "E:\\Apps\\", "m;2;E:\\Apps\\"},
        {"D:", "E:\\Apps\\", "E:\\Apps\\"},
        {"n;1;D:\\Setup\\", "\\\\server\\share\\", "n;1;\\\\server\\share\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " + " + c.directory);
        Composed composed = SourceValue(c.source.c_str(), c.directory);
        EXPECT_EQ(1, composed.fits);
        EXPECT_EQ(c.expected, composed.text);
    }
}

// An empty Directory names no folder; nothing is composed from it.
TEST(RepairTexts, RefuseAnEmptyDirectory) {
    EXPECT_EQ(0, Removal("").fits);
    EXPECT_EQ(0, DirectoryValue("", kInstallDirectory).fits);
    EXPECT_EQ(0, DirectoryValue("", kPackageCopy).fits);
    EXPECT_EQ(0, SourceValue("n;1;D:\\Setup\\", "").fits);
}

TEST(ComposeSourceValue, RefusesASourceWithoutACharacterBeforeAColon) {
    for (const char* source : {"\\\\server\\share\\setup\\", "n;1;\\\\server\\share\\", "", ":",
                               ":\\Setup\\", ":n;1;D:\\"}) {
        SCOPED_TRACE(source);
        EXPECT_EQ(0, SourceValue(source, "E:\\Apps\\").fits);
    }
}

TEST(ComposeSourceValue, ScansTheSourceOnlyWithinItsSize) {
    const struct {
        std::string bytes;
        int fits;
        std::string expected;
    } cases[] = {
        // 260 bytes without NUL and without colon.
        {std::string(260, 'x'), 0, ""},
        // 260 bytes without NUL, the colon inside them.
        {"xxxxxD:" + std::string(253, 'y'), 1, "xxxxxE:\\Apps\\"},
        // The colon is the last byte of a full buffer: the prefix is too long.
        {std::string(258, 'x') + "D:", 0, ""},
        // A colon behind the first NUL does not count.
        {std::string("n;1;\0D:\\x", 10), 0, ""},
        // The size ends the text just after the colon.
        {"n;1;D:", 1, "n;1;E:\\Apps\\"},
        {"n;1;D", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 10));
        Composed composed = SourceValue(c.bytes, "E:\\Apps\\");
        EXPECT_EQ(c.fits, composed.fits);
        EXPECT_EQ(c.expected, composed.text);
    }
}

TEST(ComposeSourceValue, RepeatedRepairGivesTheSameText) {
    for (const char* dir : {"E:\\Apps\\", "C:\\Program Files\\Omrik\\Vindara\\", "E:\\Apps"}) {
        for (const char* source : {"n;1;D:\\Setup\\", "D:\\Setup\\"}) {
            SCOPED_TRACE(std::string(source) + " + " + dir);
            Composed once = SourceValue(source, dir);
            ASSERT_EQ(1, once.fits);
            Composed twice = SourceValue(once.text.c_str(), dir);
            EXPECT_EQ(1, twice.fits);
            EXPECT_EQ(once.text, twice.text);
        }
    }
}

TEST(RepairTexts, DataAfterTheDirectorysNulIsIgnored) {
    std::string bytes = Received("D:\\Apps\\");
    bytes.replace(9, 5, "JUNK!");  // stale bytes behind the NUL
    EXPECT_EQ("D:\\Apps\\", DirectoryValue(bytes, kInstallDirectory).text);
    EXPECT_EQ("msiexec /x \"D:\\Apps\\Omrik Vindara.msi\"", Removal(bytes).text);
    EXPECT_EQ("n;1;D:\\Apps\\", SourceValue("n;1;X:\\", bytes).text);
}

}  // namespace
