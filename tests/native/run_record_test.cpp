// The run's record line by line: the prefix and directives of a line, the
// exit code's words, what outside text may not bring into a line, and the
// masking of secrets in the argument text.
#include "launcher/run_record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/links.h"
#include "tests/support/registration_values.h"

namespace {

int Append(void* file, const char* bytes, size_t length) {
    static_cast<std::string*>(file)->append(bytes, length);
    return 1;
}

void Clock(RecordTime* time) {
    *time = {{2026, 12, 3, 9, 8, 5, 3, 7}, 1000};
}

// The system's message table, as far as these tests ask it.
void Describe(unsigned long code, wchar_t* text, size_t cap) {
    const wchar_t* said = code == 1603          ? L"Fatal error during installation."
                          : code == 0x80070005ul ? L"Access is denied."
                                                 : L"";
    wcsncpy(text, said, cap);
}

// The bytes the calls write to a record of their own.
template <typename Write>
std::string Written(Write write) {
    static RunRecord record;
    std::string bytes;
    record.file = &bytes;
    record.processId = 4242;
    record.readClock = Clock;
    record.write = Append;
    record.describeCode = Describe;
    write(&record);
    return bytes;
}

// The value a line gives after "name: ", without its CR LF.
template <typename Write>
std::string Value(Write write) {
    const std::string line = Written(write);
    const size_t start = line.find(": ") + 2;
    return line.substr(start, line.size() - 2 - start);
}

std::string ValueOf(unsigned long type, const wchar_t* text, size_t length) {
    return Value([&](RunRecord* r) {
        StartLine(r, "x: ");
        PutValue(r, type, text, length);
        EndLine(r);
    });
}
std::string Result(unsigned long code, Outcome outcome) {
    return Value([&](RunRecord* r) { RecordResult(r, {code, outcome}); });
}
std::string Ended(int ended, unsigned long code) {
    const RunResult result = InnerResult(ended, code);
    return Result(result.exitCode, result.outcome);
}
std::string Coded(unsigned long code) {
    return Value([&](RunRecord* r) { RecordCode(r, "inner exit code: ", code); });
}
std::string Outside(const wchar_t* text) {
    return Value([&](RunRecord* r) { RecordOutside(r, "v: ", text); });
}

// A multi-string as the read leaves it, in the read's whole room.
const wchar_t kMultiString[kTextReadSize] = L"a\0bc\0d";

TEST(RunRecord, PrefixValuesAndOutcomeWords) {
    const struct {
        std::string written, expected;
    } rows[] = {
        {Written(RecordStartTime), "[4242 08:05:03.007] run: 2026-12-09T08:05:03.007Z\r\n"},
        {Written([](RunRecord* r) { RecordText(r, "path: ", "installation"); }),
         "[4242 08:05:03.007] path: installation\r\n"},
        {Value([](RunRecord* r) { RecordNumber(r, "session: ", 4294967295ul); }), "4294967295"},
        {Value([](RunRecord* r) { RecordDuration(r, "inner run: ", 250); }), "750 ms"},
        {Value([](RunRecord* r) { RecordYesNo(r, "elevated: ", 1); }), "yes"},
        {Value([](RunRecord* r) { RecordYesNo(r, "elevated: ", 0); }), "no"},
        {Outside(L"C:\\Medien\\Установка\\Setup.exe"),
         "C:\\Medien\\\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB0"
         "\\Setup.exe"},
        {ValueOf(kRegExpandSz, L"D:\\Apps\\x", 8), "REG_EXPAND_SZ D:\\Apps\\"},
        {ValueOf(0xFFFFFFFFul, L"v", 1), "type 4294967295 v"},
        {ValueOf(kRegMultiSz, kMultiString, 1), "REG_MULTI_SZ a\\0bc\\0d"},
        // The exit code with the word a deployment console reads it by.
        {Ended(1, 0), "0 (success)"},
        {Ended(1, 3010), "3010 (restart required)"},
        {Ended(1, 1641), "1641 (restart started)"},
        {Ended(1, 1618), "1618 (retry later)"},
        {Ended(1, 1603), "1603 (failed)"},
        {Ended(1, 1707), "1707 (success)"},
        {Ended(1, 1), "1 (failed)"},
        {Result(1, kRefused), "1 (refused)"},
        {Ended(0, 2), "2 (not started)"},
        {Ended(0, 0), "0 (not started)"},
        {Ended(1, 0xC0000005ul), "3221225477 (0xC0000005, failed)"},
        // Where there is no word, Windows' own text for the code, if any.
        {Coded(1603), "1603 (Fatal error during installation.)"},
        {Coded(0x80070005ul), "2147942405 (0x80070005, Access is denied.)"},
        {Coded(0xC0000005ul), "3221225477 (0xC0000005)"},
        {Coded(0x7FFFFFFFul), "2147483647"},
        // A line of a record not written is not built either.
        {Written([](RunRecord* r) { r->file = nullptr, RecordText(r, "path: ", "x"); }), ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, row.written);
}

// Exactly the controls but TAB, the line and paragraph separators and the
// format characters show as "?", by Unicode's own data.
TEST(ShowsAsQuestionMark, ControlsSeparatorsAndFormatCharacters) {
    std::ifstream data(UNICODE_DATA_FILE);
    ASSERT_TRUE(data) << "no " << UNICODE_DATA_FILE << ": install Debian's unicode-data";
    std::vector<char> questioned(0x110000);
    for (std::string line; std::getline(data, line);) {
        const std::string category = line.substr(line.find(';', line.find(';') + 1) + 1, 2);
        const unsigned long c = std::stoul(line, nullptr, 16);
        questioned[c] = c != '\t' && (category == "Cc" || category == "Cf" ||
                                      category == "Zl" || category == "Zp");
    }
    int wrong = 0;
    for (unsigned long c = 0; c < questioned.size() && wrong < 5; c++) {
        wrong += questioned[c] != ShowsAsQuestionMark(c);
        EXPECT_EQ(questioned[c], ShowsAsQuestionMark(c)) << std::hex << c;
    }
}

// Nothing in a value may end a line, start one or turn it around: a
// character that could shows as "?"; others and a surrogate without its
// partner (U+FFFD) show in UTF-8.
TEST(RunRecord, OutsideTextStaysOnItsLine) {
    EXPECT_EQ("a?b", Outside(L"a\x2029" "b"));
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
        EXPECT_EQ(c.shown, Outside(c.text.c_str()));
    // The argument text's line too, also where it is masked.
    EXPECT_EQ("PWD=*** two?? lines??", Value([](RunRecord* r) {
                  RecordMasked(r, "arguments: ", L"PWD=x two\x2028\r lines\x85\xFEFF");
              }));
}

// A line never goes out cut: the longest argument text, masked as long as
// it can be and every unit three bytes of UTF-8, fits one line.
TEST(RunRecord, LongestLinesFitWhole) {
    std::wstring masked, wide(kLongestCommandLine - 12, (wchar_t)0x20AC);
    while (masked.size() + 5 <= kLongestCommandLine - 12)
        masked += L"KEY= ";
    for (const std::wstring& args : {masked, wide}) {
        const std::wstring command = L"_Setup.exe " + args;
        const std::string line =
            Written([&](RunRecord* r) { RecordMasked(r, "inner command: ", command.c_str()); });
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
    const std::string bytes = Written([&](RunRecord* record) { RecordRead(record, "after ", &r, 0); });
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

// A value too long for the read is not missing.
TEST(RecordRead, ShowsHowLongAValueTooLongIs) {
    Registration r = {};
    r.opened[kProductKeyId] = 1;
    r.values[kDirectoryId].tooLong = 602;
    const std::string bytes =
        Written([&](RunRecord* record) { RecordRead(record, "before ", &r, 0); });
    EXPECT_NE(std::string::npos,
              bytes.find("] before product key\\Directory: too long (602 bytes)\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("] before product key\\ClientLevel: missing\r\n"));
}

TEST(IsAbsolutePath, OnlyADriveOrAServerNamesAFileWherever) {
    for (const wchar_t* path : {L"C:\\logs\\setup.log", L"\\\\server\\logs\\setup.log",
                                L"C:/logs/setup.log", L"//server/logs/x", L"\\/server/x"})
        EXPECT_TRUE(IsAbsolutePath(path)) << Narrowed(path);
    for (const wchar_t* path : {L"setup.log", L"logs\\setup.log", L"C:setup.log", L"\\logs\\x",
                                L"/logs/x", L".\\setup.log", L""})
        EXPECT_FALSE(IsAbsolutePath(path)) << Narrowed(path);
}

// The long form of a path the system made whole, and how many separators
// its root holds: behind them each folder is checked.
TEST(MakeLongPath, TakesTheLongFormAndCountsTheRoot) {
    const struct {
        const wchar_t* full;
        const wchar_t* whole;
        size_t separators;
    } cases[] = {
        {L"C:\\logs\\setup.log", L"\\\\?\\C:\\logs\\setup.log", 4},
        {L"\\\\srv\\share\\a\\x.log", L"\\\\?\\UNC\\srv\\share\\a\\x.log", 6},
        {L"\\\\.\\CON", nullptr, 0},        // a device
        {L"\\\\?\\C:\\x.log", nullptr, 0},  // not a path the system made whole
    };
    for (const auto& c : cases) {
        wchar_t whole[64];
        EXPECT_EQ(c.separators, MakeLongPath(c.full, whole, 64)) << Narrowed(c.full);
        if (c.separators)
            EXPECT_STREQ(c.whole, whole);
    }
    const std::wstring longest = L"C:\\" + std::wstring(kLongestPath - 8, L'a');
    static wchar_t whole[kLongestPath];
    EXPECT_EQ(4u, MakeLongPath(longest.c_str(), whole, kLongestPath));
    EXPECT_EQ(0u, MakeLongPath((longest + L"a").c_str(), whole, kLongestPath));
}

// SIDs as the system stores them, from their text: S-1-5-32-544.
std::vector<unsigned char> Sid(const std::string& text) {
    std::vector<unsigned long> parts;
    for (size_t at = 2; at < text.size(); at = text.find('-', at) + 1) {
        parts.push_back(std::stoul(text.substr(at)));
        if (text.find('-', at) == std::string::npos)
            break;
    }
    std::vector<unsigned char> sid = {(unsigned char)parts[0], (unsigned char)(parts.size() - 2),
                                      0, 0, 0, 0, 0, (unsigned char)parts[1]};
    for (size_t i = 2; i < parts.size(); i++)
        for (int b = 0; b < 4; b++)
            sid.push_back((unsigned char)(parts[i] >> (8 * b)));
    return sid;
}

TEST(MayAppendToRecord, AnElevatedRunTrustsOnlyAdministratorsOwners) {
    const std::string self = "S-1-5-21-1004336348-1177238915-682003330-1001";
    const struct {
        int elevated, created;
        const char* owner;  // null: not known
        int may;
    } cases[] = {
        {1, 0, "S-1-5-32-544", 1},  // Administrators
        {1, 0, "S-1-5-18", 1},      // SYSTEM
        {1, 0, "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", 1},
        {1, 0, "S-1-5-21-1004336348-1177238915-682003330-1001", 1},  // the launcher's user
        {1, 0, "S-1-5-21-1004336348-1177238915-682003330-1002", 0},  // another user
        {1, 0, "S-1-5-32-545", 0},  // Users
        {1, 0, "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478465", 0},
        {1, 0, "S-1-5-11", 0},       // Authenticated Users
        {1, 0, nullptr, 0},
        {1, 1, "S-1-5-32-545", 1},  // the file it made
        {0, 0, "S-1-5-32-545", 1},  // a standard user's run crosses no boundary
        {0, 0, nullptr, 1},
    };
    for (const auto& c : cases) {
        const std::vector<unsigned char> owner = Sid(c.owner ? c.owner : "S-1-0-0");
        EXPECT_EQ(c.may, MayAppendToRecord(c.elevated, c.created, c.owner ? owner.data() : nullptr,
                                           Sid(self).data()))
            << (c.owner ? c.owner : "unknown") << " elevated " << c.elevated;
    }
}

// Only a name surrogate is a link: other reparse points are the file.
TEST(LeadsElsewhere, NameSurrogatesAndSecondNames) {
    const unsigned long kReparsePoint = 0x400, kNormal = 0x80;
    const struct {
        unsigned long attributes, tag, links;
        int elsewhere;
    } cases[] = {
        {kReparsePoint, 0xA000000C, 1, 1},  // symbolic link
        {kReparsePoint, 0xA0000003, 1, 1},  // junction, mount point
        {kReparsePoint, 0x9000001A, 1, 0},  // a cloud file
        {kReparsePoint, 0x80000013, 1, 0},  // a deduplicated file
        {kNormal, 0xA000000C, 1, 0},        // a tag without the attribute means nothing
        {kNormal, 0, 2, 1},                 // a second name
        {kNormal, 0, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.elsewhere, LeadsElsewhere(c.attributes, c.tag, c.links)) << std::hex << c.tag;
}

}  // namespace
