// FormatText as Setup.exe runs it: through the Microsoft runtime's
// _vsnprintf, which reports a cut result as -1 or as the capacity and then
// leaves it unterminated. The host build takes another branch; only here
// does this one run.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "tests/native/guarded_buffer.h"

TEST(FormatTextOnWindows, FitsExactlyOrCutsAndTerminates) {
    // "%s-%lu" of "abc" and 42 is "abc-42": six characters.
    const struct {
        size_t cap;
        int fits;
        std::string expected;
    } cases[] = {
        {kTextBufSize, 1, "abc-42"},
        {7, 1, "abc-42"},  // the text and its NUL exactly
        {6, 0, "abc-4"},   // the runtime fills all six and writes no NUL
        {5, 0, "abc-"},    // the runtime returns -1
        {1, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cap);
        GuardedBuffer dst(c.cap);
        EXPECT_EQ(c.fits, FormatText(dst.Data(), dst.cap, "%s-%lu", "abc", 42ul));
        EXPECT_TRUE(dst.Terminated());
        EXPECT_EQ(c.expected, dst.Text());
        EXPECT_TRUE(dst.GuardIntact());
    }
    GuardedBuffer none(0);
    EXPECT_EQ(0, FormatText(none.Data(), 0, "%s", "abc"));
    EXPECT_TRUE(none.GuardIntact());
}

