// The record of one run for administrators, written line by line as the
// run goes, so a run that is killed or hangs keeps every line written so
// far: "[<process id> <hh:mm:ss.mmm>] <name>: <value>", UTF-8, CR LF. Each
// call names what it writes; a line is built piece by piece in the record
// and goes out whole in one write call, or not at all.
#pragma once
#include <stddef.h>

#include "launcher/command_line.h"
#include "launcher/run_plan.h"
#include "repair/repair_plan.h"

// A moment in UTC with the system's fields in its order, and its
// millisecond count for durations.
enum TimePart {
    kYear, kMonth, kDayOfWeek, kDay, kHour, kMinute, kSecond, kMillisecond, kTimeParts
};
struct RecordTime {
    unsigned short parts[kTimeParts];
    unsigned long tick;
};

// The longest line is the inner command of the longest argument text, grown
// by masking ("KEY=" becomes "KEY=***"), three bytes of UTF-8 a unit.
const size_t kRecordLineSize = 4 * kLongestCommandLine + 512;

struct RunRecord {
    void* file;  // null: no record is written
    unsigned long processId;
    void (*readClock)(RecordTime* time);
    int (*write)(void* file, const char* bytes, size_t length);
    // Windows' own text for a code, on one line, or "" where it has none.
    void (*describeCode)(unsigned long code, wchar_t* text, size_t cap);
    RecordTime now;  // the time of the line being built
    size_t used;
    int fits;  // every piece so far fit
    char line[kRecordLineSize];
    wchar_t masked[4 * kInnerCommandRoom];  // "K=" can become "K=***"
};

// A line: its prefix and name, then pieces, then its end, which writes it.
void StartLine(RunRecord* record, const char* name);
void PutText(RunRecord* record, const char* text);  // ASCII
void PutNumber(RunRecord* record, unsigned long value);
void PutValue(RunRecord* record, unsigned long type, const wchar_t* text, size_t length);
void EndLine(RunRecord* record);

// Lines of one value each, after the name, which ends in ": ".
void RecordText(RunRecord* record, const char* name, const char* text);
void RecordNumber(RunRecord* record, const char* name, unsigned long value);
void RecordYesNo(RunRecord* record, const char* name, int yes);
void RecordOutside(RunRecord* record, const char* name, const wchar_t* text);
void RecordMasked(RunRecord* record, const char* name, const wchar_t* args);
void RecordDuration(RunRecord* record, const char* name, unsigned long sinceTick);
void RecordStartTime(RunRecord* record);
// A code with Windows' text for it, and the run's end with its word.
void RecordCode(RunRecord* record, const char* name, unsigned long code);
void RecordResult(RunRecord* record, RunResult result);

void RecordRead(RunRecord* record, const char* when, const Registration* r, int withPaths);
void RecordWrite(RunRecord* record, const RegistryWrite* write, const WriteResult* result);

size_t MakeLongPath(const wchar_t* full, wchar_t* whole, size_t cap);
int MayAppendToRecord(int elevated, int created, const unsigned char* owner,
                      const unsigned char* self);
int ShowsAsQuestionMark(unsigned long codePoint);
