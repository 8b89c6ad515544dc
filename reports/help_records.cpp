// The help text shown by "/?": 140 fixed records, one line of the help file
// each. Every record is stored in a 260-byte slot, its NUL fill included, so
// the file's layout is fixed whatever the texts.
#include "reports/help_records.h"

#include <string.h>

// kHelpText: the records in order (resources/help.txt), each ended by a
// line feed, which no record holds: one text, not a table of 140 pointers,
// each with its relocation. Those after the text, to the 140th, are blank.
#include "help_text.h"

const wchar_t kHelpFileName[] = L"helpFILE.txt";

// At most 140 records, each shorter than its slot, so a NUL follows it there.
constexpr bool RecordsFit() {
    int records = 0;
    for (size_t at = 0, length = 0; kHelpText[at]; at++) {
        length = kHelpText[at] == '\n' ? 0 : length + 1;
        records += kHelpText[at] == '\n';
        if (length >= kHelpRecordSize)
            return false;
    }
    return records <= kHelpRecordCount;
}
static_assert(RecordsFit(), "at most 140 help records, each with room for its NUL fill");

// The help file: each record's text in its NUL-filled slot of
// kHelpRecordSize bytes, then CR LF. Returns its length, 0 when cap is short.
size_t ComposeHelpFile(char* dst, size_t cap) {
    if (cap < kHelpFileSize)
        return 0;
    memset(dst, 0, kHelpFileSize);
    const char* record = kHelpText;
    for (int i = 0; i < kHelpRecordCount; i++) {
        char* line = dst + (size_t)i * kHelpLineSize;
        for (size_t at = 0; *record && *record != '\n'; at++)  // each record fits its slot
            line[at] = *record++;
        record += *record == '\n';
        line[kHelpRecordSize] = '\r';
        line[kHelpRecordSize + 1] = '\n';
    }
    return kHelpFileSize;
}
