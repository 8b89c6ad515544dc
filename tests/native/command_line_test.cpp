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
        std::string commandLine;
        std::string args;
    } cases[] = {
        {"Setup.exe /x", "/x"},
        {"Setup.exe", ""},
        {"", ""},
        {"Setup.exe ", ""},
        {"Setup.exe\t/l1036", "/l1036"},
        {"Setup.exe \t  /vd  /bl", "/vd  /bl"},
        {"Setup.exe /l1036  ", "/l1036  "},  // blanks at the end stay
        {"\"C:\\Program Files\\Setup.exe\" /x a", "/x a"},
        {"\"C:\\Program Files\\Setup.exe\"", ""},
        {"\"C:\\a b\\Setup.exe\"/x", "/x"},  // nothing between quote and switch
        {"\"\" /vd", "/vd"},                 // an empty quoted name
        {"\"C:\\unterminated quote /x", ""},  // the name runs to the end
        {"Setup.exe \"/x\" \"a b\"", "\"/x\" \"a b\""},
        {"Set\"up.exe /x", "/x"},  // a quote inside an unquoted name is part of it
        {"S\xE9tup.exe /x", "/x"},  // bytes above 0x7F belong to the name
        {"\xC5\xD8.exe\t/bl", "/bl"},
        {"\"S\xE9tup \xE9.exe\" /x", "/x"},
        {"Setup.exe\x01/x", "/x"},  // a control character ends the name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const char* rest = SkipProgramName(c.commandLine.c_str());
        // Same storage, not a copy: the rest is the tail of the command line.
        EXPECT_EQ(c.commandLine.c_str() + (c.commandLine.size() - c.args.size()), rest);
        EXPECT_EQ(c.args, rest);
    }
}

TEST(HasSwitch, IsACaseSensitiveSubstringSearch) {
    const struct {
        const char* args;
        const char* name;
        int found;
    } cases[] = {
        {"/x", "/x", 1},
        {"/X", "/x", 0},
        {"/x", "/X", 0},
        {"", "/x", 0},
        {"/", "/x", 0},
        {"x/", "/x", 0},
        {"/s /x", "/x", 1},
        {"/x86", "/x", 1},
        {"INSTALLDIR=\"C:/lib/omrik\"", "/l", 1},  // inside a quoted value
        {"/lang", "/l", 1},
        {"a/l", "/l", 1},
        {"/L1036", "/l", 0},
        {"/LOGRESOURCES", "/l", 0},
        {"/bl", "/l", 0},
        {"/bl", "/bl", 1},
        {"/BL", "/bl", 0},
        {"/vd", "/vd", 1},
        {"/VD", "/vd", 0},
        {"/v", "/vd", 0},
        {"a/?b", "/?", 1},
        {"?/", "/?", 0},
        {"/LOGRESOURCES", "/LOGRESOURCES", 1},
        {"/logresources", "/LOGRESOURCES", 0},
        {"/LOGRESOURCE", "/LOGRESOURCES", 0},
        {"x/LOGRESOURCESx", "/LOGRESOURCES", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.args) + " / " + c.name);
        EXPECT_EQ(c.found, HasSwitch(c.args, c.name) ? 1 : 0);
    }
}

// Argument text of a given length with blanks, quotes and switches in it.
std::string ArgsOfLength(size_t length) {
    const std::string pattern = "/v\"/qn INSTALLDIR=\\\"D:\\a b\\\"\" /x ";
    std::string args;
    while (args.size() < length)
        args += pattern;
    args.resize(length);
    return args;
}

TEST(ComposeInnerCommand, NoArgumentsGiveTheProgramNameAndABlank) {
    EXPECT_EQ(12u, InnerCommandSize(""));
    GuardedBuffer dst(InnerCommandSize(""));
    EXPECT_EQ(1, ComposeInnerCommand(dst.Data(), dst.cap, ""));
    EXPECT_EQ("_Setup.exe ", dst.Text());
    EXPECT_TRUE(dst.GuardIntact());
}

TEST(ComposeInnerCommand, KeepsTheWholeTextInABufferSizedToIt) {
    for (size_t length : {1u, 248u, 249u, 1000u, 32000u}) {
        SCOPED_TRACE(length);
        const std::string args = ArgsOfLength(length);
        const size_t size = InnerCommandSize(args.c_str());
        EXPECT_EQ(12u + length, size);
        // Exactly the reported size on the heap: a write past it is reported.
        std::unique_ptr<char[]> command(new char[size]);
        EXPECT_EQ(1, ComposeInnerCommand(command.get(), size, args.c_str()));
        EXPECT_EQ("_Setup.exe " + args, std::string(command.get()));
    }
}

TEST(ComposeInnerCommand, FitsA260ByteBufferUpTo248Characters) {
    const struct {
        size_t length;
        int fits;
    } cases[] = {{247, 1}, {248, 1}, {249, 0}, {1000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string args = ArgsOfLength(c.length);
        GuardedBuffer dst(kTextBufSize);
        EXPECT_EQ(c.fits, ComposeInnerCommand(dst.Data(), dst.cap, args.c_str()));
        EXPECT_TRUE(dst.Terminated());
        EXPECT_TRUE(dst.GuardIntact());
        if (c.fits) {
            EXPECT_EQ("_Setup.exe " + args, dst.Text());
        }
    }
}

TEST(ComposeInnerCommand, RefusesTooSmallBuffersWithoutOverrun) {
    const std::string args = ArgsOfLength(300);
    for (size_t cap : {InnerCommandSize(args.c_str()) - 1, size_t{12}, size_t{11}, size_t{5},
                       size_t{1}, size_t{0}}) {
        SCOPED_TRACE(cap);
        GuardedBuffer dst(cap);
        EXPECT_EQ(0, ComposeInnerCommand(dst.Data(), dst.cap, args.c_str()));
        EXPECT_TRUE(dst.GuardIntact());
        if (cap > 0) {
            EXPECT_TRUE(dst.Terminated());
        }
    }
}

}  // namespace
