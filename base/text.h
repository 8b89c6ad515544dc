// Bounded text helpers: every write into a buffer goes through these.
// Outside text (the command line, paths, registry values, what a box
// shows) is wide; the byte-exact files and the fixed texts are narrow. A
// narrow source appended to a wide text is a fixed ASCII text, widened
// unit for unit. Capacities and lengths count units of the text's width.
#pragma once
#include <stddef.h>

const size_t kTextBufSize = 260;

// The length of a text known at compile time, for checks of fixed texts.
template <typename Char>
constexpr size_t TextLength(const Char* text) {
    size_t length = 0;
    while (text[length])
        length++;
    return length;
}

// For narrow and wide text; text.cpp holds the combinations that make sense.
template <typename Char, typename Source>
int CopyText(Char* dst, size_t cap, const Source* src);
template <typename Char, typename Source>
int AppendText(Char* dst, size_t cap, const Source* src);
template <typename Char, typename Source>
int AppendBytes(Char* dst, size_t cap, const Source* src, size_t count);
template <typename Char>
size_t BoundedLength(const Char* text, size_t size);
template <typename Char>
const Char* FindUnit(const Char* text, size_t length, Char unit);
int AppendUnsigned(char* dst, size_t cap, unsigned long long value);
// Wide text as UTF-8, one code point at a time: at most four bytes each.
unsigned long NextCodePoint(const wchar_t* text, size_t count, size_t* at);
size_t Utf8Of(unsigned long codePoint, char bytes[4]);
