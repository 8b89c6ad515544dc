// The argument text: skipping the program name, case-sensitive switch
// search anywhere in the text, and the inner installer's command line.
#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "guarded_buffer.h"
#include "base/text.h"

namespace {

TEST(SkipProgramName, LeavesTheArgumentTextInPlace) {
    const struct {
        std::wstring commandLine;
        std::wstring args;
    } cases[] = {
        {L"Setup.exe /x", L"/x"},
        {L"Setup.exe", L""},
        {L"", L""},
        {L"Setup.exe ", L""},
        {L"Setup.exe\t/l1036", L"/l1036"},
        {L"Setup.exe \t  /vd  /bl", L"/vd  /bl"},
        {L"Setup.exe /l1036  ", L"/l1036  "},  // blanks at the end stay
        {L"\"C:\\Program Files\\Setup.exe\" /x a", L"/x a"},
        {L"\"C:\\Program Files\\Setup.exe\"", L""},
        {L"\"C:\\a b\\Setup.exe\"/x", L"/x"},  // nothing between quote and switch
        {L"\"\" /vd", L"/vd"},                 // an empty quoted name
        {L"\"C:\\unterminated quote /x", L""},  // the name runs to the end
        {L"Setup.exe \"/x\" \"a b\"", L"\"/x\" \"a b\""},
        {L"Set\"up.exe /x", L"/x"},  // a quote inside an unquoted name is part of it
        {L"S\u00e9tup.exe /x", L"/x"},  // characters above 0x7F belong to the name
        {L"\u00c5\u00d8.exe\t/bl", L"/bl"},
        {L"\"S\u00e9tup \u00e9.exe\" /x", L"/x"},
        {L"Setup.exe\x01/x", L"/x"},  // a control character ends the name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const wchar_t* rest = SkipProgramName(c.commandLine.c_str());
        // Same storage, not a copy: the rest is the tail of the command line.
        EXPECT_EQ(c.commandLine.c_str() + (c.commandLine.size() - c.args.size()), rest);
        EXPECT_EQ(c.args, rest);
    }
}

TEST(HasSwitch, IsACaseSensitiveSubstringSearch) {
    const struct {
        const wchar_t* args;
        const char* name;
        int found;
    } cases[] = {
        {L"/x", "/x", 1},
        {L"/X", "/x", 0},
        {L"/x", "/X", 0},
        {L"", "/x", 0},
        {L"/", "/x", 0},
        {L"x/", "/x", 0},
        {L"/s /x", "/x", 1},
        {L"/x86", "/x", 1},
        {L"INSTALLDIR=\"C:/lib/omrik\"", "/l", 1},  // inside a quoted value
        {L"/lang", "/l", 1},
        {L"a/l", "/l", 1},
        {L"/L1036", "/l", 0},
        {L"/LOGRESOURCES", "/l", 0},
        {L"/bl", "/l", 0},
        {L"/bl", "/bl", 1},
        {L"/BL", "/bl", 0},
        {L"/vd", "/vd", 1},
        {L"/VD", "/vd", 0},
        {L"/v", "/vd", 0},
        {L"a/?b", "/?", 1},
        {L"?/", "/?", 0},
        {L"/LOGRESOURCES", "/LOGRESOURCES", 1},
        {L"/logresources", "/LOGRESOURCES", 0},
        {L"/LOGRESOURCE", "/LOGRESOURCES", 0},
        {L"x/LOGRESOURCESx", "/LOGRESOURCES", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.args << " / " << c.name);
        EXPECT_EQ(c.found, HasSwitch(c.args, c.name) ? 1 : 0);
    }
}

// Argument text of a given length with blanks, quotes and switches in it.
std::wstring ArgsOfLength(size_t length) {
    const std::wstring pattern = L"/v\"/qn INSTALLDIR=\\\"D:\\a b\\\"\" /x ";
    std::wstring args;
    while (args.size() < length)
        args += pattern;
    args.resize(length);
    return args;
}

TEST(ComposeInnerCommand, NoArgumentsGiveTheProgramNameAndABlank) {
    EXPECT_EQ(12u, InnerCommandSize(L""));
    WideGuardedBuffer dst(InnerCommandSize(L""));
    EXPECT_EQ(1, ComposeInnerCommand(dst.Data(), dst.cap, L""));
    EXPECT_EQ(L"_Setup.exe ", dst.Text());
    EXPECT_TRUE(dst.GuardIntact());
}

TEST(ComposeInnerCommand, KeepsTheWholeTextInABufferSizedToIt) {
    for (size_t length : {1u, 248u, 249u, 1000u, 32000u}) {
        SCOPED_TRACE(length);
        const std::wstring args = ArgsOfLength(length);
        const size_t size = InnerCommandSize(args.c_str());
        EXPECT_EQ(12u + length, size);
        // Exactly the reported size on the heap: a write past it is reported.
        std::unique_ptr<wchar_t[]> command(new wchar_t[size]);
        EXPECT_EQ(1, ComposeInnerCommand(command.get(), size, args.c_str()));
        EXPECT_EQ(L"_Setup.exe " + args, std::wstring(command.get()));
    }
}

TEST(ComposeInnerCommand, FitsA260CharacterBufferUpTo248Characters) {
    const struct {
        size_t length;
        int fits;
    } cases[] = {{247, 1}, {248, 1}, {249, 0}, {1000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::wstring args = ArgsOfLength(c.length);
        WideGuardedBuffer dst(kTextBufSize);
        EXPECT_EQ(c.fits, ComposeInnerCommand(dst.Data(), dst.cap, args.c_str()));
        EXPECT_TRUE(dst.Terminated());
        EXPECT_TRUE(dst.GuardIntact());
        if (c.fits) {
            EXPECT_EQ(L"_Setup.exe " + args, dst.Text());
        }
    }
}

TEST(ComposeInnerCommand, RefusesTooSmallBuffersWithoutOverrun) {
    const std::wstring args = ArgsOfLength(300);
    for (size_t cap : {InnerCommandSize(args.c_str()) - 1, size_t{12}, size_t{11}, size_t{5},
                       size_t{1}, size_t{0}}) {
        SCOPED_TRACE(cap);
        WideGuardedBuffer dst(cap);
        EXPECT_EQ(0, ComposeInnerCommand(dst.Data(), dst.cap, args.c_str()));
        EXPECT_TRUE(dst.GuardIntact());
        if (cap > 0) {
            EXPECT_TRUE(dst.Terminated());
        }
    }
}

}  // namespace
