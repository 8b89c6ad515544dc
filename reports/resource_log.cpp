// The resource log: sixteen writes, fixed banners and one line per figure,
// 18 lines in the file. Every figure is printed whole, in plain decimal. The
// texts hold each line end as the text-mode stream stored it, CR LF.
#include "reports/resource_log.h"

#include "base/text.h"

#define MEASURED_DIRECTORY "C:\\"
const char kMeasuredDirectory[] = MEASURED_DIRECTORY;

const size_t kMaxDigits = 20;  // of a 64-bit count

// A banner, or the text before the next figure, which a line end follows.
struct LogWrite {
    const char* text;
    bool figure;
};

// The dwLength line has one blank before the equals sign, the others two.
constexpr LogWrite kLogWrites[] = {
    {"****************** starting checking system *****************\r\n", false},
    {"************DISK \r\n", false},
    {"DirectoryName = " MEASURED_DIRECTORY "\r\n", false},
    {"FreeBytesAvailableToCaller = ", true},
    {"TotalNumberOfBytes = ", true},
    {"TotalNumberOfFreeBytes = ", true},
    {"\r\n************MEMORY\r\n", false},
    {"lpBuffer.dwLength = ", true},
    {"lpBuffer.dwMemoryLoad  = ", true},
    {"lpBuffer.dwTotalPhys  = ", true},
    {"lpBuffer.dwAvailPhys  = ", true},
    {"lpBuffer.dwTotalPageFile  = ", true},
    {"lpBuffer.dwAvailPageFile  = ", true},
    {"lpBuffer.dwTotalVirtual  = ", true},
    {"lpBuffer.dwAvailVirtual  = ", true},
    {"\r\n****************** ending checking system *****************\r\n", false},
};

// The log's length with the longest figures, or 0 unless it takes each
// figure once.
constexpr size_t LongestLog() {
    size_t length = 1;  // the NUL
    int figures = 0;
    for (const LogWrite& write : kLogWrites) {
        length += TextLength(write.text) + (write.figure ? kMaxDigits + 2 : 0);
        figures += write.figure;
    }
    return figures == kFigureCount ? length : 0;
}
static_assert(LongestLog() != 0 && LongestLog() <= kResourceLogSize,
              "every figure once, and the log with the longest figures fits");

// The whole log as the file holds it. Returns its length, 0 when cap is too
// small for it.
size_t ComposeResourceLog(const ResourceFigures* figures, char* dst, size_t cap) {
    int fits = CopyText(dst, cap, "");
    const unsigned long long* count = figures->counts;
    for (const LogWrite& write : kLogWrites) {
        fits &= AppendText(dst, cap, write.text);
        if (write.figure) {
            fits &= AppendUnsigned(dst, cap, *count++);
            fits &= AppendText(dst, cap, "\r\n");
        }
    }
    return fits ? BoundedLength(dst, cap) : 0;
}
