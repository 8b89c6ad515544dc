// The "/bl" report from a registration as the launcher's read leaves it.
//   byte 0: bit 0 the product key opens, bit 1 the main uninstall key opens
//   bytes 1-2: a second capacity, 0 to kBuildLevelTextSize bytes
//   then Build Level, ClientLevel and Directory as TakeValue reads them and
//   InstallDate as TakeLastValue reads it: each of any type, up to 300
//   stored bytes (more than 260 fail the read), with or without a NUL
// Properties: without the product key the text is "Omrik Vindara is not
// installed"; else it is four lines, each its label, a blank, the value and
// a line feed, where the value is "unknown" when it was not read, else its
// text up to the first NUL, and the first 259 characters of a value that
// filled all 260 bytes. In a buffer of kBuildLevelTextSize characters the text
// always fits whole. In any buffer it is done exactly when it fits with its
// NUL; a text that does not fit is refused, the buffer stays terminated
// within its capacity and holds only the start of the text. Every buffer is
// a heap block of exactly its capacity.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <string>

#include "fuzz_support.h"
#include "reports/report_text.h"

namespace {

const char* const kLabels[kReportRowCount] = {
    "Build date :\t",
    "Client Level :\t",
    "InstallDir :\t",
    "InstallDate :\t",
};

// A value as its row shows it, worked out from the stored bytes.
std::string Shown(const TextValue& value, const std::string& stored) {
    if (!value.read)
        return "unknown";
    const std::string text = TextOf(stored.data(), stored.size());
    return text.size() < kTextBufSize ? text : text.substr(0, kTextBufSize - 1);
}

// Composes into a heap block of exactly cap characters and checks the
// result against the text expected.
void CheckComposed(const Registration* r, size_t cap, const std::string& expected) {
    HeapBytes block(cap * sizeof(wchar_t));
    wchar_t* out = reinterpret_cast<wchar_t*>(block.data);
    for (size_t i = 0; i < cap; i++)
        out[i] = static_cast<wchar_t>(0xA5A5);
    const ReportText report = r->opened[kProductKeyId] ? kBuildLevelReport : kNotInstalledReport;
    const int done = ComposeReportText(report, out, cap, r);
    FUZZ_CHECK(done == (expected.size() < cap));
    if (!done && !cap)
        return;
    const size_t length = wcsnlen(out, cap);
    FUZZ_CHECK(length < cap);
    const std::wstring text(out, length);
    if (done)
        FUZZ_CHECK(Widened(expected) == text);
    else
        FUZZ_CHECK(StartsWith(expected, Narrowed(text)) && Widened(Narrowed(text)) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t keys = reader.Byte();
    const bool productKeyOpened = keys & 1, mainKey = keys & 2;
    const size_t otherCap = static_cast<size_t>(reader.Number(2)) % (kBuildLevelTextSize + 1);
    std::string stored[kReportRowCount];

    HeapRegistration registration;
    Registration* r = registration.get();
    r->opened[kProductKeyId] = productKeyOpened;
    r->opened[kMainUninstallKeyId] = mainKey;
    r->values[kBuildLevelId] = TakeValue(reader, productKeyOpened, &stored[0]);
    r->values[kClientLevelId] = TakeValue(reader, productKeyOpened, &stored[1]);
    r->values[kDirectoryId] = TakeValue(reader, productKeyOpened, &stored[2]);
    r->values[kInstallDateId] = TakeLastValue(reader, mainKey, &stored[3]);

    std::string expected = "Omrik Vindara is not installed";
    if (productKeyOpened) {
        const TextValue* const values[kReportRowCount] = {&r->values[kBuildLevelId], &r->values[kClientLevelId],
                                                         &r->values[kDirectoryId], &r->values[kInstallDateId]};
        expected.clear();
        for (int row = 0; row < kReportRowCount; row++)
            expected += std::string(kLabels[row]) + " " + Shown(*values[row], stored[row]) + "\n";
    }

    FUZZ_CHECK(expected.size() < kBuildLevelTextSize);
    CheckComposed(r, kBuildLevelTextSize, expected);
    // Exactly room for the text and its NUL, one less, and any other.
    CheckComposed(r, expected.size() + 1, expected);
    CheckComposed(r, expected.size(), expected);
    CheckComposed(r, otherCap, expected);
    return 0;
}
