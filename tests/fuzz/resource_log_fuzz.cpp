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
    log += line("FreeBytesAvailableToCaller = ", f.freeBytesAvailableToCaller);
    log += line("TotalNumberOfBytes = ", f.totalNumberOfBytes);
    log += line("TotalNumberOfFreeBytes = ", f.totalNumberOfFreeBytes);
    log += "\r\n************MEMORY\r\n";
    log += line("lpBuffer.dwLength = ", f.length);
    log += line("lpBuffer.dwMemoryLoad  = ", f.memoryLoad);
    log += line("lpBuffer.dwTotalPhys  = ", f.totalPhys);
    log += line("lpBuffer.dwAvailPhys  = ", f.availPhys);
    log += line("lpBuffer.dwTotalPageFile  = ", f.totalPageFile);
    log += line("lpBuffer.dwAvailPageFile  = ", f.availPageFile);
    log += line("lpBuffer.dwTotalVirtual  = ", f.totalVirtual);
    log += line("lpBuffer.dwAvailVirtual  = ", f.availVirtual);
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
    // A braced list is read left to right: the fields in their order.
    const ResourceFigures figures = {reader.Number(8), reader.Number(8), reader.Number(8),
                                     reader.Number(8), reader.Number(8), reader.Number(8),
                                     reader.Number(8), reader.Number(8), reader.Number(8),
                                     reader.Number(8), reader.Number(8)};

    const std::string expected = ExpectedLog(figures);
    FUZZ_CHECK(expected.size() < kResourceLogSize);
    CheckComposed(figures, kResourceLogSize, expected);
    // Exactly room for the log and its NUL, one byte less, and any other.
    CheckComposed(figures, expected.size() + 1, expected);
    CheckComposed(figures, expected.size(), expected);
    CheckComposed(figures, otherCap, expected);
    return 0;
}
