// The whole input is the argument text, two bytes a UTF-16 unit.
// Properties: the language is always one of those that have a dialog, and
// it is the number that a decimal conversion reads from the four characters
// after the first "/l", or 1033.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <wchar.h>

#include <string>

#include "detect/installed.h"
#include "launcher/command_line.h"
#include "fuzz_support.h"

namespace {

// Whether the product's list of languages with a dialog holds it.
bool HasDialog(int language) {
    for (int known : kDialogLanguages) {
        if (known == language)
            return true;
    }
    return false;
}

int ReferenceLanguage(const std::wstring& args) {
    size_t found = args.find(L"/l");
    if (found == std::wstring::npos)
        return 1033;
    const std::wstring code = args.substr(found + 2, 4);
    long value = wcstol(code.c_str(), nullptr, 10);
    return HasDialog(static_cast<int>(value)) ? static_cast<int>(value) : 1033;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HeapWide args(std::string(reinterpret_cast<const char*>(data), size));
    const int language = SelectLanguage(args.data);
    FUZZ_CHECK(HasDialog(language));
    FUZZ_CHECK(IsDialogLanguage(language));
    FUZZ_CHECK(language == ReferenceLanguage(args.data));
    // Any number, also one far from those languages, is told apart correctly.
    InputReader reader{data, size};
    const int probe = static_cast<int>(static_cast<uint32_t>(reader.Number(4)));
    FUZZ_CHECK((IsDialogLanguage(probe) != 0) == HasDialog(probe));
    return 0;
}
