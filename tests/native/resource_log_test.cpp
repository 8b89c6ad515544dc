// The resource log as its file holds it: exact bytes with CR LF line ends,
// whole 64-bit counts, and a capacity that is never written past.
#include "reports/resource_log.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "guarded_buffer.h"

namespace {

ResourceFigures SampleFigures() {
    return {{123456789012ull, 4294967296ull, 0ull, 32ul, 45ul, 2147483648ul, 1073741824ul,
             4294967295ul, 0ul, 2147352576ul, 1987654321ul}};
}

std::string Log(const ResourceFigures& figures, size_t cap, size_t* length) {
    GuardedBuffer log(cap);
    *length = ComposeResourceLog(&figures, log.Data(), log.cap);
    EXPECT_TRUE(log.GuardIntact());
    if (cap)
        EXPECT_TRUE(log.Terminated());
    return log.Text();
}

std::string Log(const ResourceFigures& figures) {
    size_t length = 0;
    std::string log = Log(figures, kResourceLogSize, &length);
    EXPECT_EQ(log.size(), length);
    return log;
}

// 18 lines, each ending in CR LF, empty lines before the memory part and
// before the closing banner.
TEST(ResourceLog, FileHoldsTheExactBytes) {
    EXPECT_EQ(
        "****************** starting checking system *****************\r\n"
        "************DISK \r\n"
        "DirectoryName = C:\\\r\n"
        "FreeBytesAvailableToCaller = 123456789012\r\n"
        "TotalNumberOfBytes = 4294967296\r\n"
        "TotalNumberOfFreeBytes = 0\r\n"
        "\r\n************MEMORY\r\n"
        "lpBuffer.dwLength = 32\r\n"
        "lpBuffer.dwMemoryLoad  = 45\r\n"
        "lpBuffer.dwTotalPhys  = 2147483648\r\n"
        "lpBuffer.dwAvailPhys  = 1073741824\r\n"
        "lpBuffer.dwTotalPageFile  = 4294967295\r\n"
        "lpBuffer.dwAvailPageFile  = 0\r\n"
        "lpBuffer.dwTotalVirtual  = 2147352576\r\n"
        "lpBuffer.dwAvailVirtual  = 1987654321\r\n"
        "\r\n****************** ending checking system *****************\r\n",
        Log(SampleFigures()));
}

TEST(ResourceLog, CountsArePrintedWhole) {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResourceFigures figures = SampleFigures();
        figures.counts[1] = c.count;   // TotalNumberOfBytes
        figures.counts[10] = c.count;  // dwAvailVirtual
        const std::string log = Log(figures);
        EXPECT_NE(std::string::npos, log.find("\nTotalNumberOfBytes = " + c.text + "\r\n"));
        EXPECT_NE(std::string::npos, log.find("\nlpBuffer.dwAvailVirtual  = " + c.text + "\r\n"));
    }
}

TEST(ResourceLog, RefusesACapacityTooSmallWithoutOverrun) {
    ResourceFigures longest;
    memset(&longest, 0xFF, sizeof longest);
    size_t length = 0;
    const std::string log = Log(longest, kResourceLogSize, &length);
    ASSERT_EQ(log.size(), length);
    EXPECT_EQ(length, Log(longest, length + 1, &length).size());
    for (size_t cap : {log.size(), log.size() / 2, (size_t)1, (size_t)0}) {
        SCOPED_TRACE(cap);
        Log(longest, cap, &length);
        EXPECT_EQ(0u, length);
    }
}

}  // namespace
