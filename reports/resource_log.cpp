// The resource log: sixteen writes, fixed banners and one line per figure,
// 18 lines in the file. Every figure is printed whole, in plain decimal.
#include "reports/resource_log.h"

#include "base/text.h"

#define MEASURED_DIRECTORY "C:\\"
const char kMeasuredDirectory[] = MEASURED_DIRECTORY;

const size_t kMaxDigits = 20;  // of a 64-bit count

struct LogWrite {
    const char* text;
    // The count printed after the text, then a line feed; none for a banner.
    unsigned long long ResourceFigures::*figure;
};

// The dwLength line has one blank before the equals sign, the others two.
constexpr LogWrite kLogWrites[] = {
    {"****************** starting checking system *****************\n", nullptr},
    {"************DISK \n", nullptr},
    {"DirectoryName = " MEASURED_DIRECTORY "\n", nullptr},
    {"FreeBytesAvailableToCaller = ", &ResourceFigures::freeBytesAvailableToCaller},
    {"TotalNumberOfBytes = ", &ResourceFigures::totalNumberOfBytes},
    {"TotalNumberOfFreeBytes = ", &ResourceFigures::totalNumberOfFreeBytes},
    {"\n************MEMORY\n", nullptr},
    {"lpBuffer.dwLength = ", &ResourceFigures::length},
    {"lpBuffer.dwMemoryLoad  = ", &ResourceFigures::memoryLoad},
    {"lpBuffer.dwTotalPhys  = ", &ResourceFigures::totalPhys},
    {"lpBuffer.dwAvailPhys  = ", &ResourceFigures::availPhys},
    {"lpBuffer.dwTotalPageFile  = ", &ResourceFigures::totalPageFile},
    {"lpBuffer.dwAvailPageFile  = ", &ResourceFigures::availPageFile},
    {"lpBuffer.dwTotalVirtual  = ", &ResourceFigures::totalVirtual},
    {"lpBuffer.dwAvailVirtual  = ", &ResourceFigures::availVirtual},
    {"\n****************** ending checking system *****************\n", nullptr},
};

// The log's length on disk, each line feed stored as CR LF, with the
// longest figures.
constexpr size_t LongestLog() {
    size_t length = 1;  // the NUL
    for (const LogWrite& write : kLogWrites) {
        for (const char* c = write.text; *c; c++)
            length += *c == '\n' ? 2 : 1;
        length += write.figure ? kMaxDigits + 2 : 0;
    }
    return length;
}
static_assert(LongestLog() <= kResourceLogSize, "the log with the longest figures fits");

// Appends as a text-mode stream stores it: every line feed as CR LF.
static int AppendStored(char* dst, size_t cap, const char* text) {
    int fits = 1;
    for (const char* p = text; *p; p++)
        fits &= *p == '\n' ? AppendBytes(dst, cap, "\r\n", 2) : AppendBytes(dst, cap, p, 1);
    return fits;
}

// The whole log as the file holds it. Returns its length, 0 when cap is too
// small for it.
size_t ComposeResourceLog(const ResourceFigures* figures, char* dst, size_t cap) {
    if (!CopyText(dst, cap, ""))
        return 0;
    int fits = 1;
    size_t length = 0;
    for (const LogWrite& write : kLogWrites) {
        fits &= AppendStored(dst + length, cap - length, write.text);
        if (write.figure) {
            fits &= AppendUnsigned(dst + length, cap - length, figures->*write.figure);
            fits &= AppendStored(dst + length, cap - length, "\n");
        }
        length += BoundedLength(dst + length, cap - length);
    }
    return fits ? length : 0;
}
