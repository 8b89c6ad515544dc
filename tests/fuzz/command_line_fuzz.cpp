// The whole input is the process's command line. Properties: the program
// name is skipped the way the runtime skips it and the rest is a suffix of
// the line; every switch test is a plain substring search; the inner command
// is "_Setup.exe " followed by the whole argument text, in a buffer of
// exactly InnerCommandSize bytes, and a buffer one byte short is refused
// without being overrun.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "fuzz_support.h"
#include "detect/language.h"
#include "launcher/command_line.h"

namespace {

// How the runtime finds the argument text: a quoted name ends at its closing
// quote, an unquoted one at the first character at or below blank, and the
// white space after the name is dropped.
size_t ReferenceArgsOffset(const std::string& line) {
    size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        i = 1;
        while (i < line.size() && line[i] != '"')
            i++;
        if (i < line.size())
            i++;
    } else {
        while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ')
            i++;
    }
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
        i++;
    return i;
}

void CheckSwitches(const char* args) {
    const std::string text = args;
    for (const char* name : {kSwitchLogResources, kSwitchHelp, kSwitchVersionDate,
                             kSwitchBuildLevel, kSwitchLanguage, kSwitchUninstall}) {
        FUZZ_CHECK((HasSwitch(args, name) != 0) == (text.find(name) != std::string::npos));
    }
}

void CheckInnerCommand(const char* args) {
    const std::string expected = std::string("_Setup.exe ") + args;
    const size_t size = InnerCommandSize(args);
    FUZZ_CHECK(size == expected.size() + 1);

    HeapBytes command = OutputBuffer(size);
    FUZZ_CHECK(ComposeInnerCommand(command.data, command.size, args) == 1);
    FUZZ_CHECK(command.data[size - 1] == '\0');
    FUZZ_CHECK(expected == command.data);

    // One byte short: refused, terminated, and what it holds is the start
    // of the command.
    HeapBytes shortBuffer = OutputBuffer(size - 1);
    FUZZ_CHECK(ComposeInnerCommand(shortBuffer.data, shortBuffer.size, args) == 0);
    FUZZ_CHECK(HasNul(shortBuffer.data, shortBuffer.size));
    FUZZ_CHECK(expected.compare(0, size - 2, shortBuffer.data) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HeapBytes line = HeapBytes::Terminated(data, size);
    const std::string text = line.data;  // the line ends at its first NUL

    const char* args = SkipProgramName(line.data);
    FUZZ_CHECK(args >= line.data && args <= line.data + text.size());
    FUZZ_CHECK(static_cast<size_t>(args - line.data) == ReferenceArgsOffset(text));

    CheckSwitches(args);
    CheckInnerCommand(args);
    // The argument text may hold anything the line can: take the whole line
    // as arguments too, so its first bytes are not always a program name.
    CheckSwitches(line.data);
    CheckInnerCommand(line.data);
    return 0;
}
