// A destination buffer with guard units behind the capacity handed to the
// code under test, so a bounded write that goes one unit too far shows.
#pragma once

#include <string.h>

#include <string>
#include <vector>

template <typename Char>
struct GuardedBufferOf {
    static constexpr size_t kGuardSize = 32;
    static constexpr Char kFill = static_cast<Char>(0xA5);

    explicit GuardedBufferOf(size_t capacity)
        : units(capacity + kGuardSize, kFill), cap(capacity) {}

    Char* Data() { return units.data(); }

    // Sets the usable part to a text and its NUL; the rest keeps the fill.
    void Set(const std::basic_string<Char>& text) {
        for (size_t i = 0; i <= text.size(); i++)
            units[i] = text.c_str()[i];
    }

    bool GuardIntact() const {
        for (size_t i = cap; i < units.size(); i++) {
            if (units[i] != kFill)
                return false;
        }
        return true;
    }

    size_t Length() const {
        size_t length = 0;
        while (length < cap && units[length])
            length++;
        return length;
    }

    bool Terminated() const { return Length() < cap; }

    std::basic_string<Char> Text() const { return std::basic_string<Char>(units.data(), Length()); }

    std::vector<Char> units;
    size_t cap;
};

typedef GuardedBufferOf<char> GuardedBuffer;
typedef GuardedBufferOf<wchar_t> WideGuardedBuffer;

// A copy of some units in a heap block of exactly their size, so the
// address sanitizer reports any read past them.
template <typename Char>
struct ExactUnitsOf {
    explicit ExactUnitsOf(const std::basic_string<Char>& content)
        : bytes(content.begin(), content.end()) {}
    const Char* Data() const { return bytes.data(); }
    size_t Size() const { return bytes.size(); }
    std::vector<Char> bytes;
};

typedef ExactUnitsOf<char> ExactBytes;
typedef ExactUnitsOf<wchar_t> ExactWideText;
