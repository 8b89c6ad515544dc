// The disk and memory figures of the resource log, both taken at once so
// the log shows one moment.
#include <windows.h>

#include "reports/log_text.h"
#include "reports/reports.h"

// A drive that cannot be measured gives zero counts.
void MeasureResources(ResourceFigures* figures) {
    ULARGE_INTEGER disk[kDiskFigureCount] = {};
    if (!GetDiskFreeSpaceExA(kMeasuredDirectory, &disk[0], &disk[1], &disk[2])) {
        for (ULARGE_INTEGER& count : disk)
            count.QuadPart = 0;
    }
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    const unsigned long long counts[kFigureCount] = {
        disk[0].QuadPart,      disk[1].QuadPart,        disk[2].QuadPart,
        memory.dwLength,       memory.dwMemoryLoad,     memory.dwTotalPhys,
        memory.dwAvailPhys,    memory.dwTotalPageFile,  memory.dwAvailPageFile,
        memory.dwTotalVirtual, memory.dwAvailVirtual,
    };
    for (int i = 0; i < kFigureCount; i++)
        figures->counts[i] = counts[i];
}
