// Bounded copy and append: exact capacity edges, the returned fit
// flag, termination, and no byte written past the capacity.
#include "base/text.h"

#include <gtest/gtest.h>
#include <stdint.h>

#include <string>

#include "guarded_buffer.h"

namespace {

struct CopyCase {
    size_t cap;
    std::string src;
    int fits;
    std::string expected;
};

TEST(CopyText, FitsExactlyOrCutsAtCapacity) {
    const std::string full259(259, 'd');
    const std::string full260(260, 'd');
    const CopyCase cases[] = {
        {1, "", 1, ""},
        {1, "a", 0, ""},
        {4, "abc", 1, "abc"},
        {4, "abcd", 0, "abc"},
        {4, "abcdefgh", 0, "abc"},
        {kTextBufSize, full259, 1, full259},
        {kTextBufSize, full260, 0, full259},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE("cap " + std::to_string(c.cap) + " src length " +
                     std::to_string(c.src.size()));
        GuardedBuffer dst(c.cap);
        EXPECT_EQ(c.fits, CopyText(dst.Data(), dst.cap, c.src.c_str()));
        EXPECT_TRUE(dst.Terminated());
        EXPECT_EQ(c.expected, dst.Text());
        EXPECT_TRUE(dst.GuardIntact());
    }
}

TEST(CopyText, ZeroCapacityWritesNothing) {
    GuardedBuffer dst(0);
    EXPECT_EQ(0, CopyText(dst.Data(), 0, "abc"));
    EXPECT_TRUE(dst.GuardIntact());
}

struct AppendCase {
    size_t cap;
    std::string initial;
    std::string src;
    int fits;
    std::string expected;
};

TEST(AppendText, FitsExactlyOrCutsAtCapacity) {
    const AppendCase cases[] = {
        {8, "abc", "defg", 1, "abcdefg"},
        {8, "abc", "defgh", 0, "abcdefg"},
        {8, "", "abcdefg", 1, "abcdefg"},
        {8, "abcdefg", "", 1, "abcdefg"},
        {8, "abcdefg", "x", 0, "abcdefg"},
        {1, "", "", 1, ""},
        {1, "", "x", 0, ""},
        {kTextBufSize, std::string(200, 'a'), std::string(59, 'b'), 1,
         std::string(200, 'a') + std::string(59, 'b')},
        {kTextBufSize, std::string(200, 'a'), std::string(60, 'b'), 0,
         std::string(200, 'a') + std::string(59, 'b')},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE("cap " + std::to_string(c.cap) + " '" + c.initial + "' + '" + c.src + "'");
        GuardedBuffer dst(c.cap);
        dst.Set(c.initial);
        EXPECT_EQ(c.fits, AppendText(dst.Data(), dst.cap, c.src.c_str()));
        EXPECT_TRUE(dst.Terminated());
        EXPECT_EQ(c.expected, dst.Text());
        EXPECT_TRUE(dst.GuardIntact());
    }
}

TEST(AppendText, UnterminatedDestinationIsTerminatedAndGetsNothing) {
    for (size_t cap : {size_t{1}, size_t{8}, kTextBufSize}) {
        SCOPED_TRACE(cap);
        GuardedBuffer dst(cap);
        memset(dst.Data(), 'x', cap);  // no NUL anywhere in the capacity
        EXPECT_EQ(0, AppendText(dst.Data(), dst.cap, "abc"));
        EXPECT_TRUE(dst.Terminated());
        EXPECT_EQ(std::string(cap - 1, 'x'), dst.Text());
        EXPECT_TRUE(dst.GuardIntact());
    }
}

TEST(AppendText, ZeroCapacityWritesNothing) {
    GuardedBuffer dst(0);
    EXPECT_EQ(0, AppendText(dst.Data(), 0, "abc"));
    EXPECT_TRUE(dst.GuardIntact());
}

TEST(AppendBytes, TakesExactlyCountBytesOfAnUnterminatedSource) {
    // The source has no NUL: only count bytes of it may be read.
    ExactBytes src("abcdef");
    GuardedBuffer dst(16);
    dst.Set("x");
    EXPECT_EQ(1, AppendBytes(dst.Data(), dst.cap, src.Data(), 3));
    EXPECT_EQ("xabc", dst.Text());
    EXPECT_EQ(1, AppendBytes(dst.Data(), dst.cap, src.Data(), 0));
    EXPECT_EQ("xabc", dst.Text());
    EXPECT_EQ(1, AppendBytes(dst.Data(), dst.cap, src.Data(), src.Size()));
    EXPECT_EQ("xabcabcdef", dst.Text());
    EXPECT_TRUE(dst.GuardIntact());
}

TEST(AppendBytes, CutsAtCapacity) {
    ExactBytes src("\r\n");
    GuardedBuffer dst(4);
    dst.Set("ab");
    EXPECT_EQ(0, AppendBytes(dst.Data(), dst.cap, src.Data(), src.Size()));
    EXPECT_EQ("ab\r", dst.Text());
    EXPECT_TRUE(dst.GuardIntact());
}

TEST(AppendUnsigned, PrintsDecimalWithoutLeadingZeros) {
    const struct {
        unsigned long long value;
        std::string text;
    } cases[] = {
        {0ull, "0"},
        {7ull, "7"},
        {10ull, "10"},
        {4294967295ull, "4294967295"},
        {4294967296ull, "4294967296"},
        {1000000000000ull, "1000000000000"},
        {UINT64_MAX, "18446744073709551615"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        GuardedBuffer dst(kTextBufSize);
        dst.Set("n=");
        EXPECT_EQ(1, AppendUnsigned(dst.Data(), dst.cap, c.value));
        EXPECT_EQ("n=" + c.text, dst.Text());

        // Exactly enough room, then one byte short.
        GuardedBuffer exact(c.text.size() + 1);
        exact.Set("");
        EXPECT_EQ(1, AppendUnsigned(exact.Data(), exact.cap, c.value));
        EXPECT_EQ(c.text, exact.Text());
        EXPECT_TRUE(exact.GuardIntact());

        GuardedBuffer shortBy1(c.text.size());
        shortBy1.Set("");
        EXPECT_EQ(0, AppendUnsigned(shortBy1.Data(), shortBy1.cap, c.value));
        EXPECT_EQ(c.text.substr(0, c.text.size() - 1), shortBy1.Text());
        EXPECT_TRUE(shortBy1.GuardIntact());
    }
}

TEST(BoundedLength, StopsAtTheFirstNulOrAtTheSize) {
    const struct {
        std::string bytes;
        size_t expected;
    } cases[] = {
        {std::string(260, 'x'), 260},              // full, no NUL
        {std::string(259, 'x') + '\0', 259},       // NUL in the last byte
        {std::string("\0xyz", 4), 0},               // NUL first
        {std::string("ab\0cd", 5), 2},              // only the first NUL counts
        {std::string(1, 'x'), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        ExactBytes text(c.bytes);
        EXPECT_EQ(c.expected, BoundedLength(text.Data(), text.Size()));
    }
}

TEST(BoundedLength, ZeroSizeIsEmpty) {
    const char text[] = "abc";
    EXPECT_EQ(0u, BoundedLength(text, 0));
}

}  // namespace
