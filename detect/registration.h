// What the launcher knows of the product's registration: one read of the
// registry, taken before the inner installer and again after it.
#pragma once
#include <stddef.h>

#include "base/text.h"

// The registry's two text types, by their numbers in the registry.
const unsigned long kRegSz = 1;
const unsigned long kRegExpandSz = 2;

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
    wchar_t text[kTextReadSize];  // always ends in a NUL
};

// Each key is opened by the first of its two forms that opens; a value of
// a key that did not open is not read.
struct Registration {
    int productKeyOpened;  // the key opens with full access
    int uninstallKeyByNameOpened;
    int alternateUninstallKeyOpened;
    int mainUninstallKeyOpened;
    TextValue clientLevel;  // product key
    TextValue buildLevel;   // product key
    TextValue directory;    // product key
    TextValue installDate;  // main uninstall key
    TextValue lastUsedSource;  // source list key
    TextValue netSource;       // network source key, the value "1"
    // The per-user source keys as this read opened them (registry key
    // handles), or null. They stay open for the rest of the run, so a
    // repair writes its value into the very key it was read from.
    void* sourceListKey;
    void* netSourceKey;
};

int IsTextType(unsigned long type);
