// The system resource log, composed from given figures.
#pragma once
#include <stddef.h>

extern const char kMeasuredDirectory[];

// The three disk counts of the measured directory, then the eight fields of
// the platform's memory record, each as wide as the platform makes it (32
// bits in a 32-bit program, most 64 in a 64-bit one).
struct ResourceFigures {
    unsigned long long freeBytesAvailableToCaller;
    unsigned long long totalNumberOfBytes;
    unsigned long long totalNumberOfFreeBytes;
    unsigned long long length;
    unsigned long long memoryLoad;
    unsigned long long totalPhys;
    unsigned long long availPhys;
    unsigned long long totalPageFile;
    unsigned long long availPageFile;
    unsigned long long totalVirtual;
    unsigned long long availVirtual;
};

const size_t kResourceLogSize = 1024;

size_t ComposeResourceLog(const ResourceFigures* figures, char* dst, size_t cap);
