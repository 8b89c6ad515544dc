// The repairs of the product's registration after the inner installer, as
// the writes they make.
#pragma once
#include <stddef.h>

#include "base/text.h"
#include "detect/registration.h"

enum RegistryRoot { kLocalMachine, kCurrentUser };

// One value to write: a text, stored without its NUL, with the given type.
struct RegistryWrite {
    RegistryRoot root;
    const char* const* key;  // both forms of the key's path, in the order tried
    void* openKey;           // or the key as the registration read opened it
    const char* name;
    unsigned long type;
    size_t length;  // characters
    wchar_t text[kTextBufSize];
};

const int kRepairCount = 6;

int PlanRepairs(const Registration* registration, RegistryWrite writes[kRepairCount]);
