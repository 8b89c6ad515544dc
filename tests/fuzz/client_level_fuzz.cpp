// ClientLevel as the registry hands it over. Byte 0 picks the dialog
// language; the rest, up to 260 bytes, is the value in a heap block of
// exactly its size, with or without a NUL. Properties: a value is found
// exactly when a "/" stands before the first NUL; the version equals what
// strtod reads from the decimal characters after that "/"; the dialog is 0,
// the language, or the language + 4000, as the version is below 4 or not.
#include <math.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "detect/client_level.h"
#include "fuzz_support.h"

namespace {

const int kDialogLanguages[] = {1033, 1034, 1030, 1043, 1035, 1036,
                                1040, 1031, 2068, 2070, 1053, 1041};
const size_t kValueSize = 260;

// The version as strtod reads it from the characters that can belong to a
// plain decimal number. Cutting at the first other character keeps strtod
// from reading hexadecimal, "inf" or "nan", which ClientLevel never holds
// and which the launcher reads as 0 like any other text.
double ReferenceVersion(const std::string& tail) {
    size_t end = tail.find_first_not_of(" \t\n\v\f\r+-0123456789.eE");
    const std::string decimal = tail.substr(0, end);
    return strtod(decimal.c_str(), nullptr);
}

bool SameDouble(double a, double b) {
    return memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const int language = kDialogLanguages[reader.Byte() % 12];
    const std::string bytes = reader.Rest(kValueSize);
    HeapBytes value(bytes.data(), bytes.size());

    const std::string text = TextOf(value.data, value.size);
    const size_t slash = text.find('/');
    double version = -12345.0;
    const int found = FindInstalledVersion(value.data, value.size, &version);
    FUZZ_CHECK(found == (slash != std::string::npos));
    if (found) {
        const double expected = ReferenceVersion(text.substr(slash + 1));
        if (!SameDouble(version, expected))
            fprintf(stderr, "read %.17g, strtod %.17g\n", version, expected);
        FUZZ_CHECK(SameDouble(version, expected));
        FUZZ_CHECK(!isnan(version));
    } else {
        FUZZ_CHECK(version == -12345.0);  // left alone
    }

    const int dialog = ChooseDialogId(value.data, value.size, language);
    if (!found)
        FUZZ_CHECK(dialog == 0);
    else if (version >= 4.0)
        FUZZ_CHECK(dialog == language + 4000);
    else
        FUZZ_CHECK(dialog == language);
    return 0;
}
