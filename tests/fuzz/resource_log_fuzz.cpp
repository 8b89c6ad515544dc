// The resource log from arbitrary figures.
//   bytes 0-1: a second capacity, 0 to kResourceLogSize bytes
//   then the three disk counts and the eight memory fields, eight bytes
//   each, least significant first
// Properties: in a buffer of kResourceLogSize bytes the log always fits; it
// is the 18 lines of the file, byte for byte, each ending in CR LF, each
// figure whole in plain decimal after its label; the length returned is
// that of those bytes, which a NUL follows. In any buffer the log is
// composed exactly when it fits with that NUL; otherwise 0 is returned and
// nothing is written past the buffer (every buffer is a heap block of
// exactly its capacity), which stays terminated and holds only the start of
// the log.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "fuzz_support.h"
#include "reports/resource_log.h"

namespace {

// The log as the file must hold it.
std::string ExpectedLog(const ResourceFigures& f) {
    auto line = [](const char* label, unsigned long long figure) {
        return std::string(label) + std::to_string(figure) + "\r\n";
    };
    std::string log = "****************** starting checking system *****************\r\n";
    log += "************DISK \r\n";
    log += "DirectoryName = C:\\\r\n";
    log += line("FreeBytesAvailableToCaller = ", f.counts[0]);
    log += line("TotalNumberOfBytes = ", f.counts[1]);
    log += line("TotalNumberOfFreeBytes = ", f.counts[2]);
    log += "\r\n************MEMORY\r\n";
    log += line("lpBuffer.dwLength = ", f.counts[3]);
    log += line("lpBuffer.dwMemoryLoad  = ", f.counts[4]);
    log += line("lpBuffer.dwTotalPhys  = ", f.counts[5]);
    log += line("lpBuffer.dwAvailPhys  = ", f.counts[6]);
    log += line("lpBuffer.dwTotalPageFile  = ", f.counts[7]);
    log += line("lpBuffer.dwAvailPageFile  = ", f.counts[8]);
    log += line("lpBuffer.dwTotalVirtual  = ", f.counts[9]);
    log += line("lpBuffer.dwAvailVirtual  = ", f.counts[10]);
    log += "\r\n****************** ending checking system *****************\r\n";
    return log;
}

void CheckComposed(const ResourceFigures& figures, size_t cap, const std::string& expected) {
    HeapBytes out = OutputBuffer(cap);
    const size_t length = ComposeResourceLog(&figures, out.data, out.size);
    if (expected.size() < cap) {
        FUZZ_CHECK(length == expected.size());
        FUZZ_CHECK(memcmp(out.data, expected.data(), length) == 0);
        FUZZ_CHECK(out.data[length] == '\0');
    } else {
        FUZZ_CHECK(length == 0);
        if (cap) {
            FUZZ_CHECK(HasNul(out.data, out.size));
            FUZZ_CHECK(StartsWith(expected, out.data));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const size_t otherCap = static_cast<size_t>(reader.Number(2)) % (kResourceLogSize + 1);
    ResourceFigures figures;
    for (unsigned long long& count : figures.counts)
        count = reader.Number(8);

    const std::string expected = ExpectedLog(figures);
    FUZZ_CHECK(expected.size() < kResourceLogSize);
    CheckComposed(figures, kResourceLogSize, expected);
    // Exactly room for the log and its NUL, one byte less, and any other.
    CheckComposed(figures, expected.size() + 1, expected);
    CheckComposed(figures, expected.size(), expected);
    CheckComposed(figures, otherCap, expected);
    return 0;
}
