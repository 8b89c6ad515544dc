// Shared pieces of the fuzz targets: a check that stops the run with a
// message, exactly-sized heap copies so the address sanitizer sees any read
// or write past an input or an output, a reader over the fuzz input, and
// registry values built from it the way the launcher's read leaves them.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "detect/registration.h"
#include "tests/support/registration_values.h"

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
    // The address sanitizer makes one byte of malloc(0) addressable, so an
    // empty block is the end of a one-byte one: nothing is addressable
    // behind it, which is what an empty input or output should be.
    explicit HeapBytes(size_t n)
        : block(static_cast<char*>(malloc(n ? n : 1))), data(n ? block : block + 1), size(n) {
        if (!block)
            abort();
    }
    // The bytes and a NUL, as the platform hands over a command line.
    static HeapBytes Terminated(const void* bytes, size_t n) {
        HeapBytes copy(n + 1);
        if (n)
            memcpy(copy.data, bytes, n);
        copy.data[n] = '\0';
        return copy;
    }
    HeapBytes(HeapBytes&& other) noexcept
        : block(other.block), data(other.data), size(other.size) {
        other.block = nullptr;
        other.data = nullptr;
    }
    HeapBytes(const HeapBytes&) = delete;
    HeapBytes& operator=(const HeapBytes&) = delete;
    ~HeapBytes() { free(block); }

    char* block;  // what malloc gave
    char* data;
    size_t size;
};

// The argument text from the input: each two bytes one UTF-16 unit, low
// byte first (a last odd byte stands alone), so any character the platform
// can hand over may come, a NUL among them. The units and a NUL, in a heap
// block of exactly their size.
struct HeapWide {
    explicit HeapWide(const std::string& bytes)
        : block(((bytes.size() + 1) / 2 + 1) * sizeof(wchar_t)),
          data(reinterpret_cast<wchar_t*>(block.data)),
          size((bytes.size() + 1) / 2) {
        for (size_t i = 0; i < size; i++) {
            unsigned unit = static_cast<unsigned char>(bytes[2 * i]);
            if (2 * i + 1 < bytes.size())
                unit |= static_cast<unsigned>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
            data[i] = static_cast<wchar_t>(unit);
        }
        data[size] = L'\0';
    }
    HeapBytes block;
    wchar_t* data;
    size_t size;
};

// A wide text as bytes, for recording and comparing it.
inline std::string UnitBytes(const wchar_t* text, size_t length) {
    return std::string(reinterpret_cast<const char*>(text), length * sizeof(wchar_t));
}
inline std::string UnitBytes(const std::wstring& text) {
    return UnitBytes(text.data(), text.size());
}

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

// An output buffer of exactly cap bytes, filled with a mark so a text that
// was not terminated where it should be does not end by chance.
const char kUntouched = '\xA5';

inline HeapBytes OutputBuffer(size_t cap) {
    HeapBytes buffer(cap);
    if (cap)
        memset(buffer.data, kUntouched, cap);
    return buffer;
}

inline bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Registry values as the launcher's read leaves them: the query is offered
// kTextBufSize bytes of a cleared buffer, so whatever the value holds, a
// NUL follows it at text[kTextBufSize] at the latest. A value stored longer
// than that fails the read, as a missing one does. The input may store up
// to kLongestStoredValue bytes, so that failure is reached too.
const size_t kLongestStoredValue = kTextBufSize + 40;

// The types a value is given: the two text types, then binary and
// multi-string data, which are not text.
const unsigned long kValueTypes[4] = {kRegSz, kRegExpandSz, kRegBinary, kRegMultiSz};

// A value whose key opened and that holds these stored bytes, or none when
// it is missing or its key did not open. Every field is set from the stored
// bytes, not by the product's reader.
inline TextValue Received(bool present, unsigned long type, const std::string& stored) {
    if (!present)
        return TextValue{};
    return Stored(stored, type);
}

// One value from the input: a head byte (bits 0-1 pick its type from
// kValueTypes, bit 2 set means the value is missing), then its stored
// bytes, as a part with a two-byte length (TakeValue) or as the rest of the
// input (TakeLastValue), at most kLongestStoredValue of them either way.
// stored, when given, receives the bytes as the input stored them.
inline TextValue TakeValue(InputReader& reader, bool keyOpens, std::string* stored = nullptr) {
    const uint8_t head = reader.Byte();
    const std::string bytes = reader.Part(kLongestStoredValue);
    if (stored)
        *stored = bytes;
    return Received(keyOpens && !(head & 4), kValueTypes[head & 3], bytes);
}

inline TextValue TakeLastValue(InputReader& reader, bool keyOpens,
                               std::string* stored = nullptr) {
    const uint8_t head = reader.Byte();
    const std::string bytes = reader.Rest(kLongestStoredValue);
    if (stored)
        *stored = bytes;
    return Received(keyOpens && !(head & 4), kValueTypes[head & 3], bytes);
}

// A registration in a heap block of exactly its size, so a read past its
// last value is seen; zeroed like the launcher's read starts it.
struct HeapRegistration {
    HeapRegistration() : bytes(sizeof(Registration)) {
        memset(bytes.data, 0, bytes.size);
    }
    Registration* get() { return reinterpret_cast<Registration*>(bytes.data); }
    HeapBytes bytes;
};
