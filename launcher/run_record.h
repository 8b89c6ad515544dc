// The record of one run for administrators: what the launcher found, what
// it decided and why, what it ran and wrote, and how it ended, as plain
// "name: value" lines. Composed here from the run's facts; the launcher
// appends it to the file it was asked to, in UTF-8.
#pragma once
#include <stddef.h>

#include "launcher/run_plan.h"
#include "repair/repair_plan.h"

// A moment in UTC.
struct RecordTime {
    unsigned year, month, day, hour, minute, second;
};

struct RunRecord {
    RecordTime time;
    int whatIf;    // decided and recorded, nothing done
    int elevated;  // 1, 0, or -1 when the process could not tell
    int visible;
    const wchar_t* args;
    const Registration* before;
    RunPlan plan;
    int resourceLogWritten = 0;  // with plan.writeResourceLog
    int helpFileWritten = 0;     // on the help path
    int innerEnded = 0;          // the inner installer ran to its end
    unsigned long innerCode = 0;  // its exit code, or the system's error code
    unsigned long innerMilliseconds = 0;
    const Registration* after = nullptr;  // the read after the inner installer, or null
    int writeCount = 0;
    const RegistryWrite* writes;
    const WriteResult* results;
    int exitCode = 0;
};

// The record's room in characters, its NUL included, for an argument text.
size_t RunRecordSize(const wchar_t* args);
// Returns the record's length, 0 when it does not fit in cap.
size_t ComposeRunRecord(const RunRecord* record, wchar_t* dst, size_t cap);
