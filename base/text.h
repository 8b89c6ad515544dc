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

int CopyText(char* dst, size_t cap, const char* src);
int CopyText(wchar_t* dst, size_t cap, const wchar_t* src);
int CopyText(wchar_t* dst, size_t cap, const char* ascii);
int AppendText(char* dst, size_t cap, const char* src);
int AppendText(wchar_t* dst, size_t cap, const wchar_t* src);
int AppendText(wchar_t* dst, size_t cap, const char* ascii);
int AppendBytes(char* dst, size_t cap, const char* src, size_t count);
int AppendBytes(wchar_t* dst, size_t cap, const wchar_t* src, size_t count);
int AppendBytes(wchar_t* dst, size_t cap, const char* ascii, size_t count);
int AppendUnsigned(char* dst, size_t cap, unsigned long long value);
// Wide text as UTF-8: a UTF-16 unit makes at most three bytes, a
// surrogate pair four, and a 32-bit unit (a host's wide text) four.
const size_t kMostUtf8PerUnit = 4;
size_t ToUtf8(char* dst, size_t cap, const wchar_t* src, size_t count);
size_t BoundedLength(const char* text, size_t size);
size_t BoundedLength(const wchar_t* text, size_t size);
const char* FindUnit(const char* text, size_t length, char unit);
const wchar_t* FindUnit(const wchar_t* text, size_t length, wchar_t unit);
