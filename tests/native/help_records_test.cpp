// The help file made from the 140 help records: its exact size, the layout
// of every line, and the texts that are easy to get wrong.
#include "reports/help_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "guarded_buffer.h"
#include "tests/support/help_file_digest.h"
#include "tests/support/sha256.h"

namespace {

// Length of each record's text, records 1 to 140.
const size_t kRecordLengths[140] = {
    34, 72, 0,  22, 91, 15, 31, 0,  19, 16,  // 1-10
    15, 17, 16, 16, 17, 18, 19, 17, 17, 17,  // 11-20
    0,  67, 0,  42, 0,  69, 0,  78, 0,  29,  // 21-30
    0,  19, 0,  41, 0,  0,  42, 0,  80, 0,   // 31-40
    29, 1,  13, 13, 14, 1,  73, 52, 57, 1,   // 41-50
    20, 3,  89, 50, 0,  76, 21, 76, 17, 17,  // 51-60
    16, 16, 17, 18, 16, 15, 19, 20, 17, 18,  // 61-70
    1,  65, 68, 58, 1,  90, 65, 73, 19, 59,  // 71-80
    54, 60, 60, 56, 24, 1,  68, 60, 24, 8,   // 81-90
    63, 58, 21, 1,  86, 51, 62, 63, 1,  79,  // 91-100
    51, 5,  74, 38, 1,  78, 42, 43, 54, 5,   // 101-110
    68, 17, 5,  78, 18, 3,  71, 52, 52, 29,  // 111-120
    5,  0,  73, 73, 79, 48, 4,  0,  94, 0,   // 121-130
    87, 1,  79, 1,  0,  0,  0,  0,  0,  0,   // 131-140
};

// The help file as it goes to disk.
std::string HelpFile() {
    GuardedBuffer file(kHelpFileSize);
    size_t length = ComposeHelpFile(file.Data(), file.cap);
    EXPECT_TRUE(file.GuardIntact());
    return std::string(file.Data(), length);
}

std::string Line(int number) {
    return HelpFile().substr((size_t)(number - 1) * 262, 262);
}

// A record's text: its slot up to the NUL fill.
std::string Text(int number) {
    const std::string line = Line(number);
    return line.substr(0, line.find('\0'));
}

std::string Record(const std::string& text) {
    std::string line = text;
    line.resize(260, '\0');
    return line + "\r\n";
}

TEST(HelpFile, Is140LinesOf262Bytes) {
    const std::string file = HelpFile();
    EXPECT_EQ(36680u, file.size());
    EXPECT_EQ(140, kHelpRecordCount);
    for (int n = 1; n <= 140; n++) {
        SCOPED_TRACE(n);
        const std::string line = file.substr((size_t)(n - 1) * 262, 262);
        EXPECT_EQ("\r\n", line.substr(260));
        // The only CR and LF are the line's end.
        EXPECT_EQ(std::string::npos, line.substr(0, 260).find_first_of("\r\n"));
    }
    EXPECT_EQ("\r\n", file.substr(file.size() - 2));
}

TEST(HelpFile, RecordsHaveTheirListedLengthsAndNulFill) {
    const std::string file = HelpFile();
    size_t longest = 0;
    for (int n = 1; n <= 140; n++) {
        SCOPED_TRACE(n);
        const std::string record = file.substr((size_t)(n - 1) * 262, 260);
        const size_t length = record.find('\0');
        EXPECT_EQ(kRecordLengths[n - 1], length);
        EXPECT_EQ(std::string(260 - length, '\0'), record.substr(length));
        longest = std::max(longest, length);
    }
    EXPECT_EQ(94u, longest);
    EXPECT_EQ(94u, kRecordLengths[128]);  // record 129
}

TEST(HelpFile, BytesMatchTheReviewedDigest) {
    EXPECT_EQ(kHelpFileSha256, Sha256Hex(HelpFile()));
}

TEST(HelpFile, TextsHoldOnlyPrintableAsciiAndTab) {
    for (int n = 1; n <= 140; n++) {
        for (char unit : Text(n)) {
            const unsigned char c = (unsigned char)unit;
            EXPECT_TRUE(c == '\t' || (c >= 0x20 && c <= 0x7E)) << "record " << n << " byte " << (int)c;
        }
    }
}

TEST(HelpFile, QuotesAndBackslashesStandInTheirRecordsOnly) {
    std::vector<int> quoted, backslashed;
    for (int n = 1; n <= 140; n++) {
        const std::string text = Text(n);
        if (text.find('"') != std::string::npos)
            quoted.push_back(n);
        if (text.find('\\') != std::string::npos)
            backslashed.push_back(n);
    }
    EXPECT_EQ((std::vector<int>{32, 51, 53, 56, 73}), quoted);
    EXPECT_EQ((std::vector<int>{51, 53, 56, 73, 131}), backslashed);
}

TEST(HelpFile, EmptyRecordsAre260NulBytes) {
    const int empty[] = {3, 8, 21, 23, 25, 27, 29, 31, 33, 35, 36, 38, 40, 55, 122, 128, 130,
                         135, 136, 137, 138, 139, 140};
    for (int n : empty) {
        SCOPED_TRACE(n);
        EXPECT_EQ(std::string(260, '\0') + "\r\n", Line(n));
    }
    int count = 0;
    for (int n = 1; n <= 140; n++)
        count += Text(n).empty();
    EXPECT_EQ(23, count);
}

TEST(HelpFile, LinesWithExactBytes) {
    const struct {
        int number;
        std::string text;
    } cases[] = {
        {1, "Setup.exe command-line parameters."},
        {2, "(All sentences described below are case sensitive so use these as here)."},
        {5, "/l[LANGUAGE_CODE]\tThis parameter is to specify the language code how Omrik Vindara "
            "will be "},
        {16, "\t\t\t\tNorwegian\t1044"},
        {24, "/x \t\t\t\tThe /x option uninstalls a product."},
        {30, "/?\t\t\t\tDisplays this help file"},
        {32, "/v\"[Msi parameter]\""},
        {42, "\t"},
        // TAB, FREEDIAL=, backslash, quote, Yes, backslash, quote, three TABs.
        {51, std::string("\tFREEDIAL=") + '\\' + '"' + "Yes" + '\\' + '"' + "\t\t\t"},
        {53, "\tFREEDIAL=\\\"No\\\"\t\t\tUse FREEDIAL to specify whether the brand to be "
             "installed is enable to"},
        {56, "\tCC=\\\"xx\\\" \t\t\tUse CC=\\\"xx\\\" to specify the Country Code where Omrik "
             "Vindara "},
        {73, "\t\t\t\t\tfor example: msiexec /i \"<path>\\Omrik Vindara.msi\" CODE=\\\"FR\\\" "},
        {85, "\t\t\t\t\tWILL BE INSTALLED. "},
        {129, "\tINSTALLDIR\t\t\tUse INSTALLDIR to specify the directory where Omrik Vindara will "
              "be installed.  "},
        {131, "\t\t\t\t\tto specify that the product will be installed in the c:\\Omrik\\Vindara "
              "directory.  "},
        {134, "\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(kRecordLengths[c.number - 1], c.text.size());
        EXPECT_EQ(Record(c.text), Line(c.number));
    }
    EXPECT_EQ(20u, Text(51).size());
}

TEST(HelpFile, SentenceSplitAcrossRecords84And85) {
    const std::string record84 = Text(84);
    const std::string ending = "WHERE OMRIK VINDARA ";
    ASSERT_GE(record84.size(), ending.size());
    EXPECT_EQ(ending, record84.substr(record84.size() - ending.size()));
    EXPECT_EQ("\t\t\t\t\tWILL BE INSTALLED. ", Text(85));
}

TEST(ComposeHelpFile, RefusesACapacityTooSmallWithoutOverrun) {
    for (size_t cap : {kHelpFileSize - 1, (size_t)0}) {
        GuardedBuffer file(cap);
        EXPECT_EQ(0u, ComposeHelpFile(file.Data(), file.cap));
        EXPECT_TRUE(file.GuardIntact());
    }
}

}  // namespace
