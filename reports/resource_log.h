// The system resource log, composed from given figures.
#pragma once
#include <stddef.h>

extern const char kMeasuredDirectory[];

// The figures in the log's order: the three disk counts of the measured
// directory, then the eight fields of the platform's memory record, each as
// wide as the platform makes it (32 bits in a 32-bit program, most 64 in a
// 64-bit one).
const int kFigureCount = 11;
struct ResourceFigures {
    unsigned long long counts[kFigureCount];
};

const size_t kResourceLogSize = 1024;

size_t ComposeResourceLog(const ResourceFigures* figures, char* dst, size_t cap);
