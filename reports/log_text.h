// Lines of the system resource log, formatted from given figures.
#pragma once
#include <stddef.h>

extern const char kMeasuredDirectory[];

// The disk counts of the measured directory and the platform's memory
// record, its eight fields in their platform order.
struct ResourceFigures {
    unsigned long long freeBytesAvailableToCaller;
    unsigned long long totalNumberOfBytes;
    unsigned long long totalNumberOfFreeBytes;
    unsigned long memory[8];
};

const int kLogWriteCount = 16;
const size_t kLogLineSize = 256;

int ComposeLogWrite(int index, const ResourceFigures* figures, char* dst, size_t cap);
