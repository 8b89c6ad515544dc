// Bounded text helpers: every write into a buffer goes through these.
// Outside text (the command line, paths, registry values, box texts) is
// wide; the byte-exact files and fixed texts are narrow, and a narrow source
// appended to a wide text is fixed ASCII, widened unit for unit.
// Capacities and lengths count units of the text's width.
#pragma once
#include <stddef.h>

const size_t kTextBufSize = 260;
// The longest path the system takes, in characters, its NUL included.
const size_t kLongestPath = 32767;

// The length of a text known at compile time, for checks of fixed texts.
template <typename Char>
constexpr size_t TextLength(const Char* text) {
    size_t length = 0;
    while (text[length])
        length++;
    return length;
}

// Each helper takes its destination's capacity, always leaves it ended by a
// NUL and returns 1 only when the whole result fit, so a caller can refuse a
// cut text. One body, kept out of line, serves narrow and wide text alike.

// Length of a text that may fill its buffer without a terminating NUL, as
// registry data can: the scan never goes past size units.
template <typename Char>
[[gnu::noinline]] size_t BoundedLength(const Char* text, size_t size) {
    size_t length = 0;
    while (length < size && text[length])
        length++;
    return length;
}

// A narrow source is a fixed ASCII text: each byte becomes one unit. A
// wide one is taken as it is.
template <typename Char, typename Source>
inline Char UnitOf(Source c) {
    static_assert(sizeof c <= sizeof(Char), "narrow into narrow, wide or narrow into wide");
    return sizeof c == 1 ? (Char)(unsigned char)c : (Char)c;
}

template <typename Char, typename Source>
[[gnu::noinline]] int AppendBytes(Char* dst, size_t cap, const Source* src, size_t count) {
    if (cap == 0)
        return 0;
    size_t used = BoundedLength(dst, cap);
    if (used == cap) {  // not terminated: terminate, add nothing
        dst[cap - 1] = 0;
        return 0;
    }
    size_t room = cap - 1 - used;
    size_t take = count < room ? count : room;
    for (size_t i = 0; i < take; i++)
        dst[used + i] = UnitOf<Char>(src[i]);
    dst[used + take] = 0;
    return take == count;
}

template <typename Char, typename Source>
[[gnu::noinline]] int AppendText(Char* dst, size_t cap, const Source* src) {
    return AppendBytes(dst, cap, src, BoundedLength(src, (size_t)-1));
}

template <typename Char, typename Source>
[[gnu::noinline]] int CopyText(Char* dst, size_t cap, const Source* src) {
    if (cap == 0)
        return 0;
    dst[0] = 0;
    return AppendText(dst, cap, src);
}

template <typename Char>
[[gnu::noinline]] const Char* FindUnit(const Char* text, size_t length, Char unit) {
    for (size_t i = 0; i < length; i++) {
        if (text[i] == unit)
            return text + i;
    }
    return nullptr;
}

int AppendUnsigned(char* dst, size_t cap, unsigned long long value);
// The nth of the texts stored one after another, each ended by its NUL:
// a table of texts without a pointer, and a relocation, for each.
const char* NthText(const char* texts, int n);
// Wide text as UTF-8, one code point at a time: at most four bytes each.
unsigned long NextCodePoint(const wchar_t* text, size_t count, size_t* at);
size_t Utf8Of(unsigned long codePoint, char bytes[4]);
