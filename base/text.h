// Bounded text helpers: every write into a buffer goes through these.
#pragma once
#include <stddef.h>

const size_t kTextBufSize = 260;

// The length of a text known at compile time, for checks of fixed texts.
constexpr size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length])
        length++;
    return length;
}

int CopyText(char* dst, size_t cap, const char* src);
int AppendText(char* dst, size_t cap, const char* src);
int AppendBytes(char* dst, size_t cap, const char* src, size_t count);
int AppendUnsigned(char* dst, size_t cap, unsigned long long value);
size_t BoundedLength(const char* text, size_t size);
