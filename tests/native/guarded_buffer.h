// A destination buffer with guard bytes behind the capacity handed to the
// code under test, so a bounded write that goes one byte too far shows.
#pragma once

#include <string.h>

#include <string>
#include <vector>

struct GuardedBuffer {
    static constexpr size_t kGuardSize = 32;
    static constexpr char kFill = '\xA5';

    explicit GuardedBuffer(size_t capacity)
        : bytes(capacity + kGuardSize, kFill), cap(capacity) {}

    char* Data() { return bytes.data(); }

    // Sets the usable part to a text and its NUL; the rest keeps the fill.
    void Set(const std::string& text) {
        memcpy(bytes.data(), text.c_str(), text.size() + 1);
    }

    bool GuardIntact() const {
        for (size_t i = cap; i < bytes.size(); i++) {
            if (bytes[i] != kFill)
                return false;
        }
        return true;
    }

    bool Terminated() const { return memchr(bytes.data(), '\0', cap) != nullptr; }

    std::string Text() const { return std::string(bytes.data(), strnlen(bytes.data(), cap)); }

    std::vector<char> bytes;
    size_t cap;
};

// A copy of some bytes in a heap block of exactly their size, so the
// address sanitizer reports any read past them.
struct ExactBytes {
    explicit ExactBytes(const std::string& content) : bytes(content.begin(), content.end()) {}
    const char* Data() const { return bytes.data(); }
    size_t Size() const { return bytes.size(); }
    std::vector<char> bytes;
};
