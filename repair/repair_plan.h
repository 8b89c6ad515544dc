// The repairs of the product's registration after the inner installer, as
// the writes they make.
#pragma once
#include <stddef.h>

#include "base/text.h"
#include "detect/registration.h"

// One value to write: a text, stored without its NUL, with the given type.
struct RegistryWrite {
    ValueId value;  // its key and name are in the registration's table
    void* openKey;  // the key as the registration's read holds it, or null
    unsigned long type;
    size_t length;  // characters
    wchar_t text[kTextBufSize];
};

// How a repair's write went: through the key's first form (or the key its
// read held open), through the fallback form, or not at all.
enum WriteOutcome { kWriteFailed, kWritten, kWrittenThroughFallback };
struct WriteResult {
    WriteOutcome outcome;
    unsigned long error;  // the system's code when it failed
};

const int kRepairCount = 6;

// The writes in the order they run; none where the installation did not
// register itself.
struct RepairPlan {
    int registered;
    int count;
    RegistryWrite writes[kRepairCount];
};

void PlanRepairs(const Registration* registration, RepairPlan* plan);
