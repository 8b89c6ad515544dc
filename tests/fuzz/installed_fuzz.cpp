// The rules read off ClientLevel and the keys beside it, over ClientLevel as
// the launcher's read leaves it.
//   byte 0: bit 0 the product key opens; bits 1-3 the uninstall key by name,
//           the alternate and the main uninstall key open
//   bytes 1-2: the dialog language, any number from 0 to 65535
//   then ClientLevel as TakeLastValue reads it (up to 300 stored bytes, of
//   any type; more than 260 fail the read)
// Properties: a version is found exactly when a "/" stands in the text read
// (before its first NUL); it is, bit for bit, what strtod reads from the
// plain decimal characters after that "/" (hexadecimal, "inf" and "nan"
// read as 0) and never NaN; the dialog is the language's short form (the
// language + 4000) exactly when that version is 4 or more, else the
// language itself; the product counts as installed exactly when its key
// opens, ClientLevel was read and names a version, and one of the three
// uninstall keys opens; it counts as registered exactly when the product
// key and the main uninstall key open and ClientLevel was read.
#include <math.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "detect/installed.h"
#include "fuzz_support.h"

namespace {

// The short-form dialogs are numbered this far above their language.
const int kShortFormOffset = 4000;

// The version as strtod reads it from the characters that can belong to a
// plain decimal number. Cutting at the first other character keeps strtod
// from reading hexadecimal, "inf" or "nan", which ClientLevel never holds
// and which the launcher reads as 0 like any other text.
double ReferenceVersion(const std::string& tail) {
    const size_t end = tail.find_first_not_of(" \t\n\v\f\r+-0123456789.eE");
    const std::string decimal = tail.substr(0, end);
    return strtod(decimal.c_str(), nullptr);
}

bool SameDouble(double a, double b) {
    return memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t keys = reader.Byte();
    const bool productKeyOpened = keys & 1;
    const bool byName = keys & 2, alternate = keys & 4, mainKey = keys & 8;
    const int language = static_cast<int>(reader.Number(2));
    std::string stored;

    HeapRegistration registration;
    Registration* r = registration.get();
    r->opened[kProductKeyId] = productKeyOpened;
    r->opened[kUninstallKeyByNameId] = byName;
    r->opened[kAlternateUninstallKeyId] = alternate;
    r->opened[kMainUninstallKeyId] = mainKey;
    r->values[kClientLevelId] = TakeLastValue(reader, productKeyOpened, &stored);

    // What the read gave, worked out from the stored bytes.
    const bool read = r->values[kClientLevelId].read;
    const std::string text = read ? TextOf(stored.data(), stored.size()) : std::string();
    const size_t slash = text.find('/');
    const bool named = slash != std::string::npos;
    const double expected = named ? ReferenceVersion(text.substr(slash + 1)) : 0.0;

    double version = 0.0;
    const int found = FindInstalledVersion(&r->values[kClientLevelId], &version);
    FUZZ_CHECK(found == named);
    if (found) {
        if (!SameDouble(version, expected))
            fprintf(stderr, "read %.17g, strtod %.17g\n", version, expected);
        FUZZ_CHECK(SameDouble(version, expected));
        FUZZ_CHECK(!isnan(version));
    }

    const int dialog = ChooseDialogId(&r->values[kClientLevelId], language);
    FUZZ_CHECK(dialog == (expected >= 4.0 ? language + kShortFormOffset : language));

    const bool installed = productKeyOpened && read && named && (byName || alternate || mainKey);
    FUZZ_CHECK((IsInstalled(r) != 0) == installed);
    FUZZ_CHECK((IsRegistered(r) != 0) == (productKeyOpened && mainKey && read));
    return 0;
}
