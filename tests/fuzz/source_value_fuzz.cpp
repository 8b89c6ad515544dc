// LastUsedSource or the network source "1" from the per-user source list,
// which a standard user may write, combined with Directory. Byte 0 picks the
// output capacity (mostly 260 bytes); then two bytes give the length of the
// source value (up to 260); the source bytes follow, and the rest, up to 260
// bytes, is Directory. Both are heap blocks of exactly their size, with or
// without a NUL. Properties: a source without a colon, or with the colon
// first, is refused; so is a directory that is empty or has no NUL;
// otherwise the result is the source up to the character before its first
// colon, followed by the directory text, and it is done exactly when it fits
// with its NUL.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "fuzz_support.h"
#include "repair/repair_text.h"

namespace {

const size_t kValueSize = 260;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const size_t cap = PickCapacity(reader.Byte(), kValueSize);
    const std::string sourceBytes = reader.Part(kValueSize);
    const std::string directoryBytes = reader.Rest(kValueSize);
    HeapBytes source(sourceBytes.data(), sourceBytes.size());
    HeapBytes directory(directoryBytes.data(), directoryBytes.size());

    const std::string sourceText = TextOf(source.data, source.size);
    const std::string directoryText = TextOf(directory.data, directory.size);
    const size_t colon = sourceText.find(':');
    const bool cuttable = colon != std::string::npos && colon > 0;
    const std::string expected =
        cuttable ? sourceText.substr(0, colon - 1) + directoryText : std::string();

    HeapBytes out = OutputBuffer(cap);
    const int done = ComposeSourceValue(out.data, out.size, source.data, source.size,
                                        directory.data, directory.size);
    FUZZ_CHECK(done == (cuttable && IsDirectoryText(directory) && expected.size() < cap));
    if (done) {
        FUZZ_CHECK(HasNul(out.data, out.size));
        FUZZ_CHECK(expected == out.data);
        if (cap == kValueSize)
            FUZZ_CHECK(expected.size() <= 259);
    } else if (!Untouched(out)) {
        FUZZ_CHECK(cuttable);
        FUZZ_CHECK(HasNul(out.data, out.size));
        FUZZ_CHECK(StartsWith(expected, out.data));
    }
    return 0;
}
