// The "/bl" report from the bytes of four registry reads. Byte 0 says which
// rows were read (bit 0 to 3); then each row's received bytes, up to 260,
// come after a two-byte length, each in a heap block of exactly its size,
// with or without a NUL. Properties: a display text is "unknown" for a row
// not read, else the received bytes up to the first NUL, at most 259 of
// them; the report text is never cut: it is the four labelled lines, 63
// characters plus the four values, in a buffer of kBuildLevelTextSize bytes.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "fuzz_support.h"
#include "base/text.h"
#include "reports/report_text.h"

namespace {

const size_t kValueSize = 260;

const char* const kLabels[kReportRowCount] = {
    "Build date :\t",
    "Client Level :\t",
    "InstallDir :\t",
    "InstallDate :\t",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t readRows = reader.Byte();

    HeapBytes display[kReportRowCount] = {HeapBytes(kTextBufSize), HeapBytes(kTextBufSize),
                                         HeapBytes(kTextBufSize), HeapBytes(kTextBufSize)};
    std::string expectedText;
    size_t valueLengths = 0;
    for (int row = 0; row < kReportRowCount; row++) {
        const std::string bytes = reader.Part(kValueSize);
        HeapBytes received(bytes.data(), bytes.size());
        const int read = (readRows >> row) & 1;
        memset(display[row].data, kUntouched, display[row].size);
        TakeDisplayText(display[row].data, display[row].size, read, received.data,
                        received.size);

        std::string shown = read ? TextOf(received.data, received.size) : "unknown";
        if (shown.size() > kTextBufSize - 1)
            shown.resize(kTextBufSize - 1);
        FUZZ_CHECK(HasNul(display[row].data, display[row].size));
        FUZZ_CHECK(shown == display[row].data);
        expectedText += std::string(kLabels[row]) + " " + shown + "\n";
        valueLengths += shown.size();
    }

    HeapBytes text = OutputBuffer(kBuildLevelTextSize);
    const char* const values[kReportRowCount] = {display[0].data, display[1].data,
                                                 display[2].data, display[3].data};
    FUZZ_CHECK(ComposeBuildLevelText(text.data, text.size, values) == 1);
    FUZZ_CHECK(HasNul(text.data, text.size));
    FUZZ_CHECK(strlen(text.data) == 63 + valueLengths);
    FUZZ_CHECK(expectedText == text.data);
    return 0;
}
