// The sixteen writes of the resource log: exact text, whole 64-bit disk
// counts, and the file's 18 CR LF lines.
#include "reports/log_text.h"

#include <gtest/gtest.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "guarded_buffer.h"
#include "base/text.h"

namespace {

std::string Write(int index, const ResourceFigures& figures, int* fits = nullptr) {
    GuardedBuffer line(kLogLineSize);
    int fit = ComposeLogWrite(index, &figures, line.Data(), line.cap);
    if (fits)
        *fits = fit;
    EXPECT_TRUE(line.Terminated());
    EXPECT_TRUE(line.GuardIntact());
    return line.Text();
}

std::string WholeLog(const ResourceFigures& figures) {
    std::string text;
    for (int i = 0; i < kLogWriteCount; i++) {
        int fits = 0;
        text += Write(i, figures, &fits);
        EXPECT_EQ(1, fits) << "write " << i + 1;
    }
    return text;
}

// The log file as a text-mode stream stores the sixteen writes.
std::string OnDisk(const ResourceFigures& figures) {
    std::string file;
    for (int i = 0; i < kLogWriteCount; i++) {
        GuardedBuffer expanded(2 * kLogLineSize);
        EXPECT_EQ(1, ExpandLineFeeds(expanded.Data(), expanded.cap, Write(i, figures).c_str()));
        EXPECT_TRUE(expanded.GuardIntact());
        file += expanded.Text();
    }
    return file;
}

ResourceFigures SampleFigures() {
    ResourceFigures figures = {};
    figures.freeBytesAvailableToCaller = 123456789012ull;
    figures.totalNumberOfBytes = 4294967296ull;
    figures.totalNumberOfFreeBytes = 0ull;
    const unsigned long long memory[8] = {32ul,          45ul, 2147483648ul, 1073741824ul,
                                          4294967295ul,  0ul,  2147352576ul, 1987654321ul};
    for (int i = 0; i < 8; i++)
        figures.memory[i] = memory[i];
    return figures;
}

TEST(ResourceLog, SixteenWritesGiveTheExactText) {
    EXPECT_EQ(16, kLogWriteCount);
    EXPECT_EQ(
        "****************** starting checking system *****************\n"
        "************DISK \n"
        "DirectoryName = C:\\\n"
        "FreeBytesAvailableToCaller = 123456789012\n"
        "TotalNumberOfBytes = 4294967296\n"
        "TotalNumberOfFreeBytes = 0\n"
        "\n************MEMORY\n"
        "lpBuffer.dwLength = 32\n"
        "lpBuffer.dwMemoryLoad  = 45\n"
        "lpBuffer.dwTotalPhys  = 2147483648\n"
        "lpBuffer.dwAvailPhys  = 1073741824\n"
        "lpBuffer.dwTotalPageFile  = 4294967295\n"
        "lpBuffer.dwAvailPageFile  = 0\n"
        "lpBuffer.dwTotalVirtual  = 2147352576\n"
        "lpBuffer.dwAvailVirtual  = 1987654321\n"
        "\n****************** ending checking system *****************\n",
        WholeLog(SampleFigures()));
}

size_t CountRun(const std::string& text, size_t from, char c) {
    size_t n = 0;
    while (from + n < text.size() && text[from + n] == c)
        n++;
    return n;
}

TEST(ResourceLog, BannersHaveTheirAsteriskCounts) {
    const ResourceFigures figures = SampleFigures();
    const struct {
        int write;
        size_t offset;  // where the first run of asterisks begins
        size_t before;
        std::string words;
        size_t after;
    } cases[] = {
        {0, 0, 18, " starting checking system ", 17},
        {15, 1, 18, " ending checking system ", 17},
        {1, 0, 12, "DISK \n", 0},
        {6, 1, 12, "MEMORY\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.write);
        const std::string text = Write(c.write, figures);
        EXPECT_EQ(c.before, CountRun(text, c.offset, '*'));
        const size_t words = c.offset + c.before;
        EXPECT_EQ(c.words, text.substr(words, c.words.size()));
        EXPECT_EQ(c.after, CountRun(text, words + c.words.size(), '*'));
        if (c.after) {
            EXPECT_EQ("\n", text.substr(words + c.words.size() + c.after));
        }
        if (c.offset) {
            EXPECT_EQ('\n', text[0]);
        }
    }
}

TEST(ResourceLog, OnlyTheLengthLineHasOneBlankBeforeTheEqualsSign) {
    const ResourceFigures figures = SampleFigures();
    const char* const names[8] = {"dwLength",        "dwMemoryLoad",    "dwTotalPhys",
                                  "dwAvailPhys",     "dwTotalPageFile", "dwAvailPageFile",
                                  "dwTotalVirtual",  "dwAvailVirtual"};
    for (int field = 0; field < 8; field++) {
        SCOPED_TRACE(names[field]);
        const std::string blanks = field == 0 ? " " : "  ";
        EXPECT_EQ(std::string("lpBuffer.") + names[field] + blanks + "= " +
                      std::to_string(figures.memory[field]) + "\n",
                  Write(7 + field, figures));
    }
}

TEST(ResourceLog, DiskCountsArePrintedWhole) {
    const struct {
        unsigned long long count;
        std::string text;
    } cases[] = {
        {0ull, "0"},
        {4294967295ull, "4294967295"},
        {4294967296ull, "4294967296"},
        {1099511627776ull, "1099511627776"},
        {UINT64_MAX, "18446744073709551615"},
    };
    const char* const labels[3] = {"FreeBytesAvailableToCaller = ", "TotalNumberOfBytes = ",
                                   "TotalNumberOfFreeBytes = "};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResourceFigures figures = SampleFigures();
        figures.freeBytesAvailableToCaller = c.count;
        figures.totalNumberOfBytes = c.count;
        figures.totalNumberOfFreeBytes = c.count;
        for (int disk = 0; disk < 3; disk++)
            EXPECT_EQ(labels[disk] + c.text + "\n", Write(3 + disk, figures));
    }
}

TEST(ResourceLog, LongestLineIs50Characters) {
    ResourceFigures figures = SampleFigures();
    figures.freeBytesAvailableToCaller = UINT64_MAX;
    GuardedBuffer exact(51);
    EXPECT_EQ(1, ComposeLogWrite(3, &figures, exact.Data(), exact.cap));
    EXPECT_EQ(50u, exact.Text().size());
    EXPECT_TRUE(exact.GuardIntact());

    GuardedBuffer shortBy1(50);
    EXPECT_EQ(0, ComposeLogWrite(3, &figures, shortBy1.Data(), shortBy1.cap));
    EXPECT_TRUE(shortBy1.Terminated());
    EXPECT_TRUE(shortBy1.GuardIntact());

    // With the longest figures no value line is longer, and every write
    // fits the line buffer.
    for (unsigned long long& field : figures.memory)
        field = UINT64_MAX;
    figures.totalNumberOfBytes = UINT64_MAX;
    figures.totalNumberOfFreeBytes = UINT64_MAX;
    for (int i = 0; i < kLogWriteCount; i++) {
        SCOPED_TRACE(i);
        int fits = 0;
        const std::string text = Write(i, figures, &fits);
        EXPECT_EQ(1, fits);
        if (text.find('=') != std::string::npos) {
            EXPECT_LE(text.size(), 50u);
        }
    }
}

TEST(ResourceLog, WriteOutsideTheLogIsEmpty) {
    const ResourceFigures figures = SampleFigures();
    for (int index : {-1, 16, 100}) {
        SCOPED_TRACE(index);
        int fits = 1;
        EXPECT_EQ("", Write(index, figures, &fits));
        EXPECT_EQ(0, fits);
    }
}

TEST(ResourceLog, FileHolds18CrLfLines) {
    const std::string file = OnDisk(SampleFigures());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    EXPECT_EQ(file.size(), start);  // the file ends with CR LF
    ASSERT_EQ(18u, lines.size());
    for (const std::string& line : lines)
        EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << line;
    EXPECT_EQ("DirectoryName = C:\\", lines[2]);
    EXPECT_EQ("", lines[6]);
    EXPECT_EQ("************MEMORY", lines[7]);
    EXPECT_EQ("", lines[16]);
    EXPECT_EQ("****************** ending checking system *****************", lines[17]);
}

}  // namespace
