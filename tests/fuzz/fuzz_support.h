// Shared pieces of the fuzz targets: a check that stops the run with a
// message, exactly-sized heap copies so the address sanitizer sees any read
// or write past an input or an output, and a reader over the fuzz input.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__,     \
                    #condition);                                                     \
            abort();                                                                 \
        }                                                                            \
    } while (0)

// A heap block of exactly size bytes: nothing behind it is addressable.
struct HeapBytes {
    // Under the address sanitizer malloc(0) gives a pointer with nothing
    // addressable behind it, which is what an empty input should be.
    explicit HeapBytes(size_t n) : data(static_cast<char*>(malloc(n))), size(n) {
        if (!data)
            abort();
    }
    HeapBytes(const void* bytes, size_t n) : HeapBytes(n) {
        if (n)
            memcpy(data, bytes, n);
    }
    // The bytes and a NUL, as the platform hands over a command line.
    static HeapBytes Terminated(const void* bytes, size_t n) {
        HeapBytes copy(n + 1);
        if (n)
            memcpy(copy.data, bytes, n);
        copy.data[n] = '\0';
        return copy;
    }
    HeapBytes(HeapBytes&& other) noexcept : data(other.data), size(other.size) {
        other.data = nullptr;
    }
    HeapBytes(const HeapBytes&) = delete;
    HeapBytes& operator=(const HeapBytes&) = delete;
    ~HeapBytes() { free(data); }

    char* data;
    size_t size;
};

// The text that bytes of a given size hold: up to the first NUL, or all of
// them when there is none.
inline std::string TextOf(const char* bytes, size_t size) {
    const void* end = size ? memchr(bytes, '\0', size) : nullptr;
    return std::string(bytes, end ? static_cast<size_t>(static_cast<const char*>(end) - bytes)
                                  : size);
}

inline bool HasNul(const char* bytes, size_t size) {
    return size && memchr(bytes, '\0', size) != nullptr;
}

// Directory names a folder only when it holds some text and ends within its
// bytes; the repairs keep the installation's values otherwise.
inline bool IsDirectoryText(const HeapBytes& directory) {
    return HasNul(directory.data, directory.size) && directory.data[0] != '\0';
}

// Consumes the fuzz input from the front; what is missing reads as zeros.
struct InputReader {
    const uint8_t* next;
    size_t left;

    uint8_t Byte() {
        if (!left)
            return 0;
        left--;
        return *next++;
    }
    uint64_t Number(int bytes) {
        uint64_t value = 0;
        for (int i = 0; i < bytes; i++)
            value |= static_cast<uint64_t>(Byte()) << (8 * i);
        return value;
    }
    // A part whose length comes first as two bytes, at most limit bytes and
    // no more than what is left.
    std::string Part(size_t limit) {
        size_t length = static_cast<size_t>(Number(2)) % (limit + 1);
        return Rest(length);
    }
    std::string Rest(size_t limit) {
        size_t length = left < limit ? left : limit;
        std::string part(reinterpret_cast<const char*>(next), length);
        next += length;
        left -= length;
        return part;
    }
};

// The capacity of an output buffer: mostly the launcher's 260 bytes, else a
// smaller one so the refusal of texts that do not fit is exercised at every
// size.
inline size_t PickCapacity(uint8_t selector, size_t usual) {
    return selector < 0x80 ? usual : static_cast<size_t>(selector - 0x80) * 2;
}

// An output buffer of exactly cap bytes, filled with a mark so an untouched
// buffer can be told from a written one.
const char kUntouched = '\xA5';

inline bool Untouched(const HeapBytes& buffer) {
    for (size_t i = 0; i < buffer.size; i++) {
        if (buffer.data[i] != kUntouched)
            return false;
    }
    return true;
}

inline HeapBytes OutputBuffer(size_t cap) {
    HeapBytes buffer(cap);
    if (cap)
        memset(buffer.data, kUntouched, cap);
    return buffer;
}

inline bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}
