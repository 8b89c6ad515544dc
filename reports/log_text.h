// Lines of the system resource log, formatted from given figures.
#pragma once
#include <stddef.h>

extern const char kMeasuredDirectory[];

// The disk counts of the measured directory and the platform's memory
// record, its eight fields in their platform order, each as wide as the
// platform makes it (32 bits in a 32-bit program, most 64 in a 64-bit one).
struct ResourceFigures {
    unsigned long long freeBytesAvailableToCaller;
    unsigned long long totalNumberOfBytes;
    unsigned long long totalNumberOfFreeBytes;
    unsigned long long memory[8];
};

const int kLogWriteCount = 16;
const size_t kLogLineSize = 256;

int ComposeLogWrite(int index, const ResourceFigures* figures, char* dst, size_t cap);
