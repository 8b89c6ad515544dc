// The record of one run for administrators, written line by line as the
// run goes, so a run that is killed or hangs keeps every line written so
// far: "[<process id> <hh:mm:ss.mmm>] <name>: <value>", UTF-8, CR LF.
#pragma once
#include <stddef.h>

#include "launcher/command_line.h"
#include "launcher/run_plan.h"
#include "repair/repair_plan.h"

// A moment in UTC, and the system's millisecond count for durations.
enum TimePart { kYear, kMonth, kDay, kHour, kMinute, kSecond, kMillisecond, kTimeParts };
struct RecordTime {
    unsigned parts[kTimeParts];
    unsigned long tick;
};

// The record file as the run writes it: each line with one write call.
struct RunRecord {
    void* file;  // null: no record is written
    unsigned long processId;
    void (*readClock)(RecordTime* time);
    int (*write)(void* file, const char* bytes, size_t length);
    // Windows' own text for a code, on one line, or "" where it has none.
    void (*describeCode)(unsigned long code, wchar_t* text, size_t cap);
    RecordTime now;  // the time of the last line
};

void WriteLine(RunRecord* record, const char* format, ...);
void RecordRead(RunRecord* record, const char* when, const Registration* r, int withPaths);
void RecordWrite(RunRecord* record, const RegistryWrite* write, const WriteResult* result);
const char* ExitOutcome(int refused, int notStarted, unsigned long code);
int IsAbsolutePath(const wchar_t* path);
size_t MakeLongPath(const wchar_t* full, wchar_t* whole, size_t cap);
int MayAppendToRecord(int elevated, int created, const unsigned char* owner,
                      const unsigned char* self);
int ShowsAsQuestionMark(unsigned long codePoint);
