// Directory as the registry hands it over, turned into UninstallString,
// ModifyPath and LocalPackage. Byte 0 picks the output capacity (mostly 260
// bytes); the rest, up to 260 bytes, is the value in a heap block of exactly
// its size, with or without a NUL. Properties: a directory that is empty or
// has no NUL in its bytes is refused; a composed text is done exactly when
// it fits with its NUL; when done it is the fixed pieces around the
// directory text, unchanged; a refused output is either untouched or
// terminated inside its capacity and holds only the start of the text.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "fuzz_support.h"
#include "repair/repair_text.h"

namespace {

const size_t kValueSize = 260;

typedef int (*Compose)(char* dst, size_t cap, const char* directory, size_t size);

int ComposeRemoval(char* dst, size_t cap, const char* directory, size_t size) {
    return ComposeUninstallValue(dst, cap, kRemovalCommand, directory, size);
}
int ComposeModifyPath(char* dst, size_t cap, const char* directory, size_t size) {
    return ComposeUninstallValue(dst, cap, kInstallDirectory, directory, size);
}
int ComposeLocalPackage(char* dst, size_t cap, const char* directory, size_t size) {
    return ComposeUninstallValue(dst, cap, kPackageCopy, directory, size);
}

void CheckComposed(Compose compose, const HeapBytes& directory, size_t cap,
                   const std::string& expected) {
    HeapBytes out = OutputBuffer(cap);
    const int done = compose(out.data, out.size, directory.data, directory.size);
    FUZZ_CHECK(done == (IsDirectoryText(directory) && expected.size() < cap));
    if (done) {
        FUZZ_CHECK(HasNul(out.data, out.size));
        FUZZ_CHECK(expected == out.data);
        if (cap == kValueSize)
            FUZZ_CHECK(expected.size() <= 259);
    } else if (!Untouched(out)) {
        FUZZ_CHECK(HasNul(out.data, out.size));
        FUZZ_CHECK(StartsWith(expected, out.data));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const size_t cap = PickCapacity(reader.Byte(), kValueSize);
    const std::string bytes = reader.Rest(kValueSize);
    HeapBytes directory(bytes.data(), bytes.size());
    const std::string text = TextOf(directory.data, directory.size);

    CheckComposed(ComposeRemoval, directory, cap,
                  "msiexec /x \"" + text + "Omrik Vindara.msi\"");
    CheckComposed(ComposeModifyPath, directory, cap, text);
    CheckComposed(ComposeLocalPackage, directory, cap, text + "Omrik VindaraXXX.msi");
    return 0;
}
