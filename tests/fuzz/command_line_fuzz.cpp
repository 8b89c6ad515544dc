// The whole input is the process's command line, two bytes a UTF-16 unit.
// Properties: the program name is skipped the way the runtime skips it and
// the rest is a suffix of the line; every switch test is a plain substring search; the inner command
// is "_Setup.exe " followed by the whole argument text, in a buffer of
// exactly InnerCommandSize characters, and a buffer one short is refused
// without being overrun.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "fuzz_support.h"
#include "launcher/command_line.h"

namespace {

// How the runtime finds the argument text: a quoted name ends at its closing
// quote, an unquoted one at the first character at or below blank, and the
// white space after the name is dropped.
size_t ReferenceArgsOffset(const std::wstring& line) {
    auto blank = [](wchar_t c) { return static_cast<unsigned long>(c) <= L' '; };
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = 1;
        while (i < line.size() && line[i] != L'"')
            i++;
        if (i < line.size())
            i++;
    } else {
        while (i < line.size() && !blank(line[i]))
            i++;
    }
    while (i < line.size() && blank(line[i]))
        i++;
    return i;
}

void CheckSwitches(const wchar_t* args) {
    const std::wstring text = args;
    for (const char* name : {kSwitchLogResources, kSwitchHelp, kSwitchVersionDate,
                             kSwitchBuildLevel, kSwitchLanguage, kSwitchUninstall}) {
        const std::wstring wide(name, name + strlen(name));
        FUZZ_CHECK((HasSwitch(args, name) != 0) == (text.find(wide) != std::wstring::npos));
    }
}

// An output buffer of exactly cap characters, filled with a mark.
wchar_t* WideOutput(HeapBytes& block, size_t cap) {
    wchar_t* units = reinterpret_cast<wchar_t*>(block.data);
    for (size_t i = 0; i < cap; i++)
        units[i] = static_cast<wchar_t>(0xA5A5);
    return units;
}

void CheckInnerCommand(const wchar_t* args) {
    const std::wstring expected = std::wstring(L"_Setup.exe ") + args;
    const size_t size = InnerCommandSize(args);
    FUZZ_CHECK(size == expected.size() + 1);

    HeapBytes block(size * sizeof(wchar_t));
    wchar_t* command = WideOutput(block, size);
    FUZZ_CHECK(ComposeInnerCommand(command, size, args) == 1);
    FUZZ_CHECK(command[size - 1] == L'\0');
    FUZZ_CHECK(expected == command);

    // One character short: refused, terminated, and what it holds is the
    // start of the command.
    HeapBytes shortBlock((size - 1) * sizeof(wchar_t));
    wchar_t* shortBuffer = WideOutput(shortBlock, size - 1);
    FUZZ_CHECK(ComposeInnerCommand(shortBuffer, size - 1, args) == 0);
    FUZZ_CHECK(std::wstring(shortBuffer, size - 1).find(L'\0') != std::wstring::npos);
    FUZZ_CHECK(expected.compare(0, size - 2, shortBuffer) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HeapWide line(std::string(reinterpret_cast<const char*>(data), size));
    const std::wstring text = line.data;  // the line ends at its first NUL

    const wchar_t* args = SkipProgramName(line.data);
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
