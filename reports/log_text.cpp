// The resource log is sixteen writes: fixed banners and one line per figure.
// Every figure is printed whole, in plain decimal.
#include "reports/log_text.h"

#include "base/text.h"

const char kMeasuredDirectory[] = "C:\\";

static const char* const kDiskLabels[3] = {
    "FreeBytesAvailableToCaller = ",
    "TotalNumberOfBytes = ",
    "TotalNumberOfFreeBytes = ",
};

// The dwLength line has one blank before the equals sign, the others two.
static const char* const kMemoryLabels[8] = {
    "lpBuffer.dwLength = ",
    "lpBuffer.dwMemoryLoad  = ",
    "lpBuffer.dwTotalPhys  = ",
    "lpBuffer.dwAvailPhys  = ",
    "lpBuffer.dwTotalPageFile  = ",
    "lpBuffer.dwAvailPageFile  = ",
    "lpBuffer.dwTotalVirtual  = ",
    "lpBuffer.dwAvailVirtual  = ",
};

static int ComposeValueLine(char* dst, size_t cap, const char* label, unsigned long long count) {
    int fits = CopyText(dst, cap, label);
    fits &= AppendUnsigned(dst, cap, count);
    fits &= AppendText(dst, cap, "\n");
    return fits;
}

// Composes write number index (0 to 15) of the log. Returns 1 when it fit.
int ComposeLogWrite(int index, const ResourceFigures* figures, char* dst, size_t cap) {
    switch (index) {
    case 0:
        return CopyText(dst, cap,
                        "****************** starting checking system *****************\n");
    case 1:
        return CopyText(dst, cap, "************DISK \n");
    case 2:
        return FormatText(dst, cap, "DirectoryName = %s\n", kMeasuredDirectory);
    case 3:
        return ComposeValueLine(dst, cap, kDiskLabels[0], figures->freeBytesAvailableToCaller);
    case 4:
        return ComposeValueLine(dst, cap, kDiskLabels[1], figures->totalNumberOfBytes);
    case 5:
        return ComposeValueLine(dst, cap, kDiskLabels[2], figures->totalNumberOfFreeBytes);
    case 6:
        return CopyText(dst, cap, "\n************MEMORY\n");
    case 15:
        return CopyText(dst, cap,
                        "\n****************** ending checking system *****************\n");
    }
    if (index >= 7 && index < 15)
        return ComposeValueLine(dst, cap, kMemoryLabels[index - 7], figures->memory[index - 7]);
    if (cap > 0)
        dst[0] = '\0';
    return 0;
}
