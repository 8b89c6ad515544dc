// The run's record line by line: the prefix and directives of a line, the
// exit code's words, what outside text may not bring into a line, and the
// masking of secrets in the argument text.
#include "launcher/run_record.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/registration_values.h"

namespace {

int Append(void* file, const char* bytes, size_t length) {
    static_cast<std::string*>(file)->append(bytes, length);
    return 1;
}

void Clock(RecordTime* time) {
    *time = {{2026, 12, 9, 8, 5, 3, 7}, 1000};
}

// The bytes one call of WriteLine writes.
template <typename... Args>
std::string Written(const char* format, Args... args) {
    std::string bytes;
    RunRecord record = {&bytes, 4242, Clock, Append, {}};
    WriteLine(&record, format, args...);
    return bytes;
}

// The value the line gives after "name: ", without its CR LF.
template <typename... Args>
std::string Value(const char* format, Args... args) {
    const std::string line = Written(format, args...);
    const size_t start = line.find(": ") + 2;
    return line.substr(start, line.size() - 2 - start);
}

TEST(WriteLine, PrefixDirectivesAndOutcomeWords) {
    const struct {
        std::string written, expected;
    } rows[] = {
        {Written("run: %TZ"), "[4242 08:05:03.007] run: 2026-12-09T08:05:03.007Z\r\n"},
        {Written("path: %s", "installation"), "[4242 08:05:03.007] path: installation\r\n"},
        {Value("session: %u", 4294967295ul), "4294967295"},
        {Value("inner run: %t ms", 250ul), "750 ms"},
        {Value("elevated: %y, %y", 1, 0), "yes, no"},
        {Value("file: %w", L"C:\\Medien\\Установка\\Setup.exe"),
         "C:\\Medien\\\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB0"
         "\\Setup.exe"},
        {Value("x: %v", kRegExpandSz, L"D:\\Apps\\x", (size_t)8), "REG_EXPAND_SZ D:\\Apps\\"},
        {Value("x: %v", 0xFFFFFFFFul, L"v", (size_t)1), "type 4294967295 v"},
        // The exit code with the word a deployment console reads it by.
        {Value("exit code: %c", 0ul, ExitOutcome(0, 0, 0)), "0 (success)"},
        {Value("exit code: %c", 3010ul, ExitOutcome(0, 0, 3010)), "3010 (restart required)"},
        {Value("exit code: %c", 1641ul, ExitOutcome(0, 0, 1641)), "1641 (restart started)"},
        {Value("exit code: %c", 1618ul, ExitOutcome(0, 0, 1618)), "1618 (retry later)"},
        {Value("exit code: %c", 1603ul, ExitOutcome(0, 0, 1603)), "1603 (failed)"},
        {Value("exit code: %c", 1ul, ExitOutcome(0, 0, 1)), "1 (failed)"},
        {Value("exit code: %c", 1ul, ExitOutcome(1, 0, 1)), "1 (refused)"},
        {Value("exit code: %c", 2ul, ExitOutcome(0, 1, 2)), "2 (not started)"},
        {Value("exit code: %c", 0ul, ExitOutcome(0, 1, 0)), "0 (not started)"},
        {Value("exit code: %c", 0xC0000005ul, ExitOutcome(0, 0, 0xC0000005ul)),
         "3221225477 (0xC0000005, failed)"},
        {Value("inner exit code: %c", 0x80070005ul, nullptr), "2147942405 (0x80070005)"},
        {Value("inner exit code: %c", 0x7FFFFFFFul, nullptr), "2147483647"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, row.written);
}

// Nothing in a value may end a line, start one or turn it around: the C0
// and C1 controls but TAB, the line and paragraph separators and the
// bidirectional formatting characters show as "?". A surrogate without
// its partner, which UTF-8 cannot hold, shows as U+FFFD.
TEST(WriteLine, OutsideTextStaysOnItsLine) {
    const wchar_t questioned[] = {0x01, 0x0A, 0x0B, 0x0C, 0x0D, 0x1F, 0x7F, 0x85, 0x9F,
                                  0x2028, 0x2029, 0x200E, 0x200F, 0x202A, 0x202E, 0x2066,
                                  0x2069};
    for (wchar_t c : questioned) {
        SCOPED_TRACE((unsigned)c);
        EXPECT_EQ("a?b", Value("v: %w", (std::wstring(L"a") + c + L"b").c_str()));
    }
    const struct {
        std::wstring text;
        std::string shown;
    } kept[] = {
        {L"a\tb", "a\tb"},
        {std::wstring(1, (wchar_t)0xA0), "\xC2\xA0"},
        {std::wstring(1, (wchar_t)0x202F), "\xE2\x80\xAF"},  // a no-break space, not a turn
        {std::wstring(1, (wchar_t)0x2065), "\xE2\x81\xA5"},
        {std::wstring(1, (wchar_t)0xD800) + L"x", "\xEF\xBF\xBDx"},
        {L"x" + std::wstring(1, (wchar_t)0xDC00), "x\xEF\xBF\xBD"},
        {std::wstring{(wchar_t)0xD83D, (wchar_t)0xDE00}, "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : kept)
        EXPECT_EQ(c.shown, Value("v: %w", c.text.c_str()));
    // The argument text's line too, also where it is masked.
    EXPECT_EQ("PWD=*** two?? lines?", Value("arguments: %m", L"PWD=x two\x2028\r lines\x85"));
}

TEST(WriteLine, SecretsInTheArgumentTextAreMasked) {
    const struct {
        std::string args, shown;
    } cases[] = {
        {"/v\"/qn DBPASSWORD=hunter2\"", "/v\"/qn DBPASSWORD=***\""},
        {"/v\"ADMINPWD=\\\"a b\\\" X=1\"", "/v\"ADMINPWD=\\\"***\\\" X=1\""},
        {"Token=\"a b\" USER=x", "Token=\"***\" USER=x"},
        {"client_secret=abc def", "client_secret=*** def"},
        {"api.Token.v2=t1\tNEXT=1", "api.Token.v2=***\tNEXT=1"},
        {"PWD= X=1", "PWD=*** X=1"},         // an empty value too
        {"PWD=\"unterminated", "PWD=\"***"},  // to the end
        {"PWD=\\\"unterminated", "PWD=\\\"***"},
        {"PASSWORD=a=b SECRET=c", "PASSWORD=*** SECRET=***"},
        {"a=PWD PWD=b", "a=PWD PWD=***"},  // the name decides, not the value
        {"PASS=1 WORD=2 /x", "PASS=1 WORD=2 /x"},
        {"INSTALLDIR=\"C:\\Tok en\"", "INSTALLDIR=\"C:\\Tok en\""},
        {"=PWD", "=PWD"},
        // The spellings deployment tools use: a doubled quote inside a
        // value, single quotes, a secret inside a connection string, and
        // the names of keys and serial numbers.
        {"PASSWORD=\"a\"\"b c\" X=1", "PASSWORD=\"***\" X=1"},
        {"/v\"PASSWORD=\\\"a\\\"\\\"b c\\\" X=1\"", "/v\"PASSWORD=\\\"***\\\" X=1\""},
        {"DB_PASSWORD='x y' X=1", "DB_PASSWORD='***' X=1"},
        {"CONNSTR=\"Server=db;Password=hunter2 x;Trusted=no\" X=1",
         "CONNSTR=\"Server=db;Password=***;Trusted=no\" X=1"},
        {"/v\"CONNSTR=\\\"Server=db;Pwd=hunter2 x\\\" X=1\"",
         "/v\"CONNSTR=\\\"Server=db;Pwd=***\\\" X=1\""},
        {"PIDKEY=1 PRODUCTKEY=2 LICENSEKEY=3 APIKEY=4",
         "PIDKEY=*** PRODUCTKEY=*** LICENSEKEY=*** APIKEY=***"},
        {"SERIALNUMBER=5 PASSPHRASE=6 PASSWD=7 CREDENTIALS=8",
         "SERIALNUMBER=*** PASSPHRASE=*** PASSWD=*** CREDENTIALS=***"},
        // Where the end is unclear, more is hidden: a quote inside a bare
        // value keeps it going, as the command line reads it.
        {"PWD=a\"b c\"d e", "PWD=*** e"},
        {"PWD=a\"b c", "PWD=***"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(c.shown, Value("arguments: %m", Widened(c.args).c_str()));
    }
}

// A line never goes out cut: the longest argument text, masked as long as
// it can be and every unit three bytes of UTF-8, fits one line.
TEST(WriteLine, LongestLinesFitWhole) {
    std::wstring masked, wide(kLongestCommandLine - 12, (wchar_t)0x20AC);
    while (masked.size() + 5 <= kLongestCommandLine - 12)
        masked += L"KEY= ";
    for (const std::wstring& args : {masked, wide}) {
        const std::string line =
            Written("inner command: %w%m", kInnerInstallerPrefix, args.c_str());
        ASSERT_GT(line.size(), args.size());
        EXPECT_EQ("\r\n", line.substr(line.size() - 2));
    }
}

// Every value the read takes shows once, with its own text, under its
// key's short name: a value added to the registration reaches the record.
TEST(RecordRead, ShowsEveryValueReadOnceUnderItsKey) {
    Registration r = {};
    for (int key = 0; key < kKeyCount; key++)
        r.opened[key] = 1;
    for (int value = 0; value < kReadValueCount; value++)
        r.values[value] = Text("text " + std::to_string(value));
    std::string bytes;
    RunRecord record = {&bytes, 4242, Clock, Append, {}};
    RecordRead(&record, "after ", &r, 0);
    size_t lines = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
        lines++;
    EXPECT_EQ(size_t(kKeyCount) + size_t(kReadValueCount), lines);
    for (int value = 0; value < kReadValueCount; value++) {
        const std::string line = std::string("] after ") + KeyOf((ValueId)value).name + "\\" +
                                 NameOf((ValueId)value) + ": REG_SZ text " +
                                 std::to_string(value) + "\r\n";
        SCOPED_TRACE(line);
        const size_t at = bytes.find(line);
        EXPECT_NE(std::string::npos, at);
        EXPECT_EQ(std::string::npos, bytes.find(line, at + 1));
    }
}

TEST(IsAbsolutePath, OnlyADriveOrAServerNamesAFileWherever) {
    EXPECT_TRUE(IsAbsolutePath(L"C:\\logs\\setup.log"));
    EXPECT_TRUE(IsAbsolutePath(L"\\\\server\\logs\\setup.log"));
    for (const wchar_t* path : {L"setup.log", L"logs\\setup.log", L"C:setup.log", L"\\logs\\x",
                                L".\\setup.log", L""})
        EXPECT_FALSE(IsAbsolutePath(path)) << Narrowed(path);
}

}  // namespace
