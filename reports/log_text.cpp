// The resource log: sixteen writes, fixed banners and one line per figure,
// 18 lines in the file. Every figure is printed whole, in plain decimal.
#include "reports/log_text.h"

#include "base/text.h"

#define MEASURED_DIRECTORY "C:\\"
const char kMeasuredDirectory[] = MEASURED_DIRECTORY;

const int kNoFigure = -1;
const size_t kMaxDigits = 20;  // of a 64-bit count

struct LogWrite {
    const char* text;
    int figure;  // the count printed after the text, then a line feed
};

// The dwLength line has one blank before the equals sign, the others two.
constexpr LogWrite kLogWrites[] = {
    {"****************** starting checking system *****************\n", kNoFigure},
    {"************DISK \n", kNoFigure},
    {"DirectoryName = " MEASURED_DIRECTORY "\n", kNoFigure},
    {"FreeBytesAvailableToCaller = ", 0},
    {"TotalNumberOfBytes = ", 1},
    {"TotalNumberOfFreeBytes = ", 2},
    {"\n************MEMORY\n", kNoFigure},
    {"lpBuffer.dwLength = ", 3},
    {"lpBuffer.dwMemoryLoad  = ", 4},
    {"lpBuffer.dwTotalPhys  = ", 5},
    {"lpBuffer.dwAvailPhys  = ", 6},
    {"lpBuffer.dwTotalPageFile  = ", 7},
    {"lpBuffer.dwAvailPageFile  = ", 8},
    {"lpBuffer.dwTotalVirtual  = ", 9},
    {"lpBuffer.dwAvailVirtual  = ", 10},
    {"\n****************** ending checking system *****************\n", kNoFigure},
};

// Length on disk: each line feed is stored as CR LF.
constexpr size_t StoredLength(const char* text) {
    size_t length = 0;
    for (; *text; text++)
        length += *text == '\n' ? 2 : 1;
    return length;
}

constexpr size_t LongestLog() {
    size_t length = 1;  // the NUL
    for (const LogWrite& write : kLogWrites)
        length += StoredLength(write.text) + (write.figure == kNoFigure ? 0 : kMaxDigits + 2);
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
        if (write.figure != kNoFigure) {
            fits &= AppendUnsigned(dst + length, cap - length, figures->counts[write.figure]);
            fits &= AppendStored(dst + length, cap - length, "\n");
        }
        length += BoundedLength(dst + length, cap - length);
    }
    return fits ? length : 0;
}
