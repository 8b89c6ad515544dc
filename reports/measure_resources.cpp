// The disk and memory figures of the resource log, both taken at once so
// the log shows one moment.
#include <windows.h>

#include "reports/log_text.h"
#include "reports/reports.h"

// A drive that cannot be measured gives zero counts.
void MeasureResources(ResourceFigures* figures) {
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!GetDiskFreeSpaceExA(kMeasuredDirectory, &available, &total, &free))
        available.QuadPart = total.QuadPart = free.QuadPart = 0;
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    *figures = {
        .freeBytesAvailableToCaller = available.QuadPart,
        .totalNumberOfBytes = total.QuadPart,
        .totalNumberOfFreeBytes = free.QuadPart,
        .length = memory.dwLength,
        .memoryLoad = memory.dwMemoryLoad,
        .totalPhys = memory.dwTotalPhys,
        .availPhys = memory.dwAvailPhys,
        .totalPageFile = memory.dwTotalPageFile,
        .availPageFile = memory.dwAvailPageFile,
        .totalVirtual = memory.dwTotalVirtual,
        .availVirtual = memory.dwAvailVirtual,
    };
}
