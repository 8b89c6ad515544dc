// The resource log's sixteen writes from arbitrary figures. Byte 0 picks a
// second, smaller capacity; then come the three 64-bit disk counts and the
// eight memory fields, eight bytes each, least significant first. Properties:
// in a 256-byte line buffer every write fits; a value line is its label and
// the figure in plain decimal (no sign, no leading zeros) that reads back as
// the same number, then a line feed; in any smaller buffer a write is done
// exactly when it fits with its NUL, and otherwise holds only its start.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "fuzz_support.h"
#include "reports/log_text.h"

namespace {

const char* const kFixedWrites[kLogWriteCount] = {
    "****************** starting checking system *****************\n",
    "************DISK \n",
    "DirectoryName = C:\\\n",
    nullptr, nullptr, nullptr,
    "\n************MEMORY\n",
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "\n****************** ending checking system *****************\n",
};

const char* const kValueLabels[kLogWriteCount] = {
    nullptr, nullptr, nullptr,
    "FreeBytesAvailableToCaller = ",
    "TotalNumberOfBytes = ",
    "TotalNumberOfFreeBytes = ",
    nullptr,
    "lpBuffer.dwLength = ",
    "lpBuffer.dwMemoryLoad  = ",
    "lpBuffer.dwTotalPhys  = ",
    "lpBuffer.dwAvailPhys  = ",
    "lpBuffer.dwTotalPageFile  = ",
    "lpBuffer.dwAvailPageFile  = ",
    "lpBuffer.dwTotalVirtual  = ",
    "lpBuffer.dwAvailVirtual  = ",
    nullptr,
};

unsigned long long Figure(const ResourceFigures& figures, int index) {
    if (index == 3)
        return figures.freeBytesAvailableToCaller;
    if (index == 4)
        return figures.totalNumberOfBytes;
    if (index == 5)
        return figures.totalNumberOfFreeBytes;
    return figures.memory[index - 7];
}

// A value line: its label, the figure in plain decimal, a line feed.
void CheckValueLine(const std::string& line, const char* label, unsigned long long figure) {
    FUZZ_CHECK(StartsWith(line, label));
    FUZZ_CHECK(line.size() > strlen(label) + 1 && line.back() == '\n');
    const std::string digits = line.substr(strlen(label), line.size() - strlen(label) - 1);
    FUZZ_CHECK(digits.find_first_not_of("0123456789") == std::string::npos);
    FUZZ_CHECK(digits == "0" || digits[0] != '0');
    FUZZ_CHECK(digits.size() <= 20);
    FUZZ_CHECK(strtoull(digits.c_str(), nullptr, 10) == figure);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const size_t smallCap = reader.Byte() % (kLogLineSize + 1);
    ResourceFigures figures;
    figures.freeBytesAvailableToCaller = reader.Number(8);
    figures.totalNumberOfBytes = reader.Number(8);
    figures.totalNumberOfFreeBytes = reader.Number(8);
    for (unsigned long long& field : figures.memory)
        field = reader.Number(8);

    for (int index = 0; index < kLogWriteCount; index++) {
        HeapBytes line = OutputBuffer(kLogLineSize);
        FUZZ_CHECK(ComposeLogWrite(index, &figures, line.data, line.size) == 1);
        FUZZ_CHECK(HasNul(line.data, line.size));
        const std::string full = line.data;
        if (kFixedWrites[index])
            FUZZ_CHECK(full == kFixedWrites[index]);
        else
            CheckValueLine(full, kValueLabels[index], Figure(figures, index));

        HeapBytes small = OutputBuffer(smallCap);
        const int done = ComposeLogWrite(index, &figures, small.data, small.size);
        FUZZ_CHECK(done == (full.size() < smallCap));
        if (smallCap) {
            FUZZ_CHECK(HasNul(small.data, small.size));
            FUZZ_CHECK(StartsWith(full, small.data));
            FUZZ_CHECK(strlen(small.data) == (done ? full.size() : smallCap - 1));
        }
    }
    // A write number outside the log composes nothing.
    for (int index : {-1, kLogWriteCount}) {
        HeapBytes line = OutputBuffer(kLogLineSize);
        FUZZ_CHECK(ComposeLogWrite(index, &figures, line.data, line.size) == 0);
        FUZZ_CHECK(line.data[0] == '\0');
    }
    return 0;
}
