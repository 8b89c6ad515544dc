// The disk and memory log written by "/LOGRESOURCES". Each line goes to the
// system as soon as it is written, so another program can follow the log
// while it grows.
#include <windows.h>

#include "base/text.h"
#include "reports/log_text.h"
#include "reports/reports.h"

// Writes one line in text mode, in one block and unbuffered. Returns 1 when
// the whole line was written.
static int WriteLogLine(HANDLE file, const char* text) {
    char block[2 * kLogLineSize];
    (void)ExpandLineFeeds(block, sizeof block, text);  // every log line fits twice over
    DWORD length = (DWORD)lstrlenA(block);
    DWORD written;
    return WriteFile(file, block, length, &written, NULL) && written == length;
}

// Both measurements are taken before the first line, so the log shows one
// moment. A drive that cannot be measured prints zero counts.
static void MeasureSystemResources(ResourceFigures* figures) {
    ULARGE_INTEGER freeToCaller, total, totalFree;
    if (GetDiskFreeSpaceExA(kMeasuredDirectory, &freeToCaller, &total, &totalFree)) {
        figures->freeBytesAvailableToCaller = freeToCaller.QuadPart;
        figures->totalNumberOfBytes = total.QuadPart;
        figures->totalNumberOfFreeBytes = totalFree.QuadPart;
    }
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    const unsigned long long fields[8] = {
        memory.dwLength,       memory.dwMemoryLoad,    memory.dwTotalPhys,
        memory.dwAvailPhys,    memory.dwTotalPageFile, memory.dwAvailPageFile,
        memory.dwTotalVirtual, memory.dwAvailVirtual,
    };
    for (int i = 0; i < 8; i++)
        figures->memory[i] = fields[i];
}

// Replaces any earlier log. A line that fails to be written is not retried;
// the next one is tried all the same. Returns 1 when the log file was made.
int WriteResourceLog(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    ResourceFigures figures = {};
    MeasureSystemResources(&figures);
    char line[kLogLineSize];
    for (int i = 0; i < kLogWriteCount; i++) {
        (void)ComposeLogWrite(i, &figures, line, sizeof line);  // the longest line is 50 bytes
        (void)WriteLogLine(file, line);
    }
    CloseHandle(file);
    return 1;
}
