// What the launcher knows of the product's registration: one read of the
// registry, taken before the inner installer and again after it.
#pragma once
#include <stddef.h>

#include "base/text.h"
#include "detect/registry_paths.h"

// The registry's types by their numbers. A text names one string; a
// multi-string comes in UTF-16 like a text, but names no single path.
const unsigned long kRegSz = 1;
const unsigned long kRegExpandSz = 2;
const unsigned long kRegMultiSz = 7;

constexpr int IsTextType(unsigned long type) {
    return type == kRegSz || type == kRegExpandSz;
}
constexpr int ComesAsUtf16(unsigned long type) {
    return IsTextType(type) || type == kRegMultiSz;
}

// Every read offers kTextBufSize characters; the one after them keeps a NUL.
const size_t kTextReadSize = kTextBufSize + 1;

// A value as the registry gave it, whatever its type. A text keeps every
// character it holds; a value of another type is taken by its bytes, at
// most kTextBufSize of them, as text in the system's code page.
struct TextValue {
    int read;            // the query succeeded
    unsigned long type;  // the type the query reported
    size_t length;       // characters before the first NUL, at most kTextBufSize
    int filled;          // the read's whole room came without a NUL: no known end
    unsigned long tooLong;  // not read: the bytes of a value larger than the read takes
    wchar_t text[kTextReadSize];  // always ends in a NUL
};

// Each key is opened by the first of its two forms that opens, with full
// access; a value of a key that did not open is not read. A held key stays
// open for the rest of the run (a registry key handle), or is null.
struct Registration {
    int opened[kKeyCount];
    void* held[kKeyCount];
    TextValue values[kReadValueCount];
};
