// The run's record, one line at a time. Outside text shows as it is but for
// the characters that could end a line, start one or turn it around, which
// show as "?"; a secret the argument text hands on never shows.
#include "launcher/run_record.h"

#include <stdarg.h>
#include <string.h>
#include <wchar.h>

#include "base/run_and_wait.h"
#include "detect/registry_paths.h"
#include "launcher/masking.h"

// The line being written, never written unless every piece fits. The
// longest is the inner command of the longest argument text, grown by
// masking ("KEY=" becomes "KEY=***"), three bytes of UTF-8 a unit.
static char gLine[4 * kLongestCommandLine + 512];
static size_t gUsed;
static int gFits;

static void PutBytes(const char* bytes, size_t count) {
    gFits &= count + 2 <= sizeof gLine - gUsed;  // CR LF always fits
    if (gFits)
        memcpy(gLine + gUsed, bytes, count);
    gUsed += gFits ? count : 0;
}

static void PutAscii(const char* text) {
    PutBytes(text, BoundedLength(text, (size_t)-1));
}

static void PutNumber(unsigned long value, size_t width = 0) {
    char digits[24] = "";
    (void)AppendUnsigned(digits, sizeof digits, value);  // 10 digits at most
    for (size_t length = BoundedLength(digits, sizeof digits); length < width; length++)
        PutAscii("0");
    PutAscii(digits);
}

// Every control but TAB, the line and paragraph separators and every format
// character (Unicode 15.0); a range is its first and, in the low byte, the rest.
static const unsigned long kQuestioned[] = {
    0x0008, 0x0A15, 0x7F20, 0xAD00, 0x60005, 0x61C00, 0x6DD00, 0x70F00, 0x89001, 0x8E200,
    0x180E00, 0x200B04, 0x202806, 0x206004, 0x206609, 0xFEFF00, 0xFFF902, 0x110BD00,
    0x110CD00, 0x134300F, 0x1BCA003, 0x1D17307, 0xE000100, 0xE00205F};

int ShowsAsQuestionMark(unsigned long c) {
    for (unsigned long range : kQuestioned) {
        if (c - (range >> 8) <= (range & 0xFF))
            return 1;
    }
    return 0;
}

// Up to count units or the first NUL.
static void PutOutside(const wchar_t* text, size_t count) {
    for (size_t at = 0; at < count && text[at] && gFits;) {
        unsigned long c = NextCodePoint(text, count, &at);
        char bytes[4] = {'?'};
        PutBytes(bytes, ShowsAsQuestionMark(c) ? 1 : Utf8Of(c, bytes));
    }
}

// "YYYY-MM-DDThh:mm:ss.mmm" from the part given on.
static void PutTime(const RecordTime* t, int from) {
    static const char kBefore[] = "?--T::.";
    static const unsigned char kWidths[kTimeParts] = {4, 2, 2, 2, 2, 2, 3};
    for (int i = from; i < kTimeParts; i++) {
        PutBytes(&kBefore[i], i > from);
        PutNumber(t->parts[i], kWidths[i]);
    }
}

// A code of 0x80000000 or more is an NTSTATUS or HRESULT, which reads in
// hex too: "3221225477 (0xC0000005, failed)". After the code comes the word
// a console reads it by, or else Windows' own text for it.
static void PutExitCode(unsigned long code, const char* outcome, const wchar_t* said) {
    const char* next = " (";
    PutNumber(code);
    if (code >= 0x80000000ul) {
        PutAscii(" (0x");
        for (int shift = 28; shift >= 0; shift -= 4)
            PutBytes(&"0123456789ABCDEF"[(code >> shift) & 0xF], 1);
        next = ", ";
    }
    if (*outcome || *said) {
        PutAscii(next);
        PutAscii(outcome);
        PutOutside(said, kTextBufSize);
        next = ", ";
    }
    PutAscii(*next == ',' ? ")" : "");
}

// The words a deployment console maps exit codes to.
const char* ExitOutcome(int refused, int notStarted, unsigned long code) {
    return refused      ? "refused"
           : notStarted ? "not started"
           : code == 0 || code == kErrorInstallSuccess ? "success"
           : code == kErrorSuccessRebootRequired       ? "restart required"
           : code == kErrorSuccessRebootInitiated      ? "restart started"
           : code == kErrorInstallAlreadyRunning       ? "retry later"
                                                       : "failed";
}

// "C:\..." or "\\server\share\..." ("/" separates as "\" does), not
// where the current directory is.
int IsAbsolutePath(const wchar_t* path) {
    return (path[0] && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           ((path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/'));
}

// The long form, which the system takes as it is up to its longest paths,
// of a path it made whole: "\\?\C:\..." or "\\?\UNC\server\share\...".
// Returns the separators in its root, behind which each folder is checked,
// or 0 for a device ("\\.\...") or a path that does not fit.
size_t MakeLongPath(const wchar_t* full, wchar_t* whole, size_t cap) {
    const int unc = full[0] == L'\\';
    const int fits = CopyText(whole, cap, unc ? "\\\\?\\UNC" : "\\\\?\\") &&
                     AppendText(whole, cap, full + unc);
    return fits && !(unc && (full[2] == L'?' || full[2] == L'.')) ? 4 + 2 * (size_t)unc : 0;
}

// An elevated launcher appends only to a file it made or one owned by the
// Administrators, SYSTEM, TrustedInstaller or its own user: another owner
// could read the record and forge lines. An owner not known is nobody.
int MayAppendToRecord(int elevated, int created, const unsigned char* owner,
                      const unsigned char* self) {
    static const unsigned char kTrusted[] = {
        1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0,  // S-1-5-32-544
        1, 6, 0, 0, 0, 0, 0, 5, 80, 0, 0, 0, 0xB5, 0x89, 0xFB, 0x38, 0x19, 0x84, 0xC2, 0xCB,
        0x5C, 0x6C, 0x23, 0x6D, 0x57, 0x00, 0x77, 0x6E, 0xC0, 0x02, 0x64, 0x87};  // S-1-5-80-...
    int trusted = !elevated || created || SameSid(owner, self) || SameSid(owner, kLocalSystemSid);
    for (const unsigned char* sid = kTrusted; sid < kTrusted + sizeof kTrusted;
         sid += 8 + 4 * sid[1])
        trusted |= SameSid(owner, sid);
    return trusted;
}

// Writes one line with one write call: its prefix, then the format, whose
// directives take %s an ASCII text, %u a number, %y yes or no (an int), %w
// outside text, %m the argument text masked, %v a registry value (type,
// text, length), %c an exit code and its outcome, or null for Windows' text
// of it, %t milliseconds since a tick, %T the line's date and time. A line
// that cannot be written whole ends the record: what follows a cut line
// could read as part of it.
void WriteLine(RunRecord* record, const char* format, ...) {
    if (!record->file)
        return;
    record->readClock(&record->now);
    gUsed = 0;
    gFits = 1;
    PutAscii("[");
    PutNumber(record->processId);
    PutAscii(" ");
    PutTime(&record->now, kHour);
    PutAscii("] ");
    va_list args;
    va_start(args, format);
    for (const char* f = format; *f; f++) {
        if (*f != '%') {
            PutBytes(f, 1);
            continue;
        }
        switch (*++f) {
        case 's':
            PutAscii(va_arg(args, const char*));
            break;
        case 'u':
            PutNumber(va_arg(args, unsigned long));
            break;
        case 'y':
            PutAscii(va_arg(args, int) ? "yes" : "no");
            break;
        case 'w':
            PutOutside(va_arg(args, const wchar_t*), kTextBufSize);
            break;
        case 'm': {
            static wchar_t masked[4 * kInnerCommandRoom];  // "K=" can become "K=***"
            gFits &= MaskSecrets(va_arg(args, const wchar_t*), masked, 4 * kInnerCommandRoom);
            PutOutside(masked, (size_t)-1);
            break;
        }
        case 'v': {  // a type by its name, or by its number when it has none
            static const char kTypes[] = "REG_NONE\0REG_SZ\0REG_EXPAND_SZ\0REG_BINARY\0REG_DWORD\0"
                                         "REG_DWORD_BIG_ENDIAN\0REG_LINK\0REG_MULTI_SZ";
            const unsigned long type = va_arg(args, unsigned long);
            PutAscii(type < 8 ? NthText(kTypes, (int)type) : "type ");
            if (type >= 8)
                PutNumber(type);
            PutAscii(" ");
            // A multi-string's later strings follow its first in the read's
            // room, each behind "\0", up to the empty string that ends them.
            const wchar_t* text = va_arg(args, const wchar_t*);
            PutOutside(text, va_arg(args, size_t));
            for (size_t at = BoundedLength(text, kTextBufSize) + 1;
                 type == kRegMultiSz && at < kTextBufSize && text[at];
                 at += BoundedLength(text + at, kTextBufSize - at) + 1) {
                PutAscii("\\0");
                PutOutside(text + at, kTextBufSize - at);
            }
            break;
        }
        case 'c': {
            const unsigned long code = va_arg(args, unsigned long);
            const char* outcome = va_arg(args, const char*);
            static wchar_t said[kTextBufSize];
            said[0] = L'\0';
            if (!outcome)
                record->describeCode(code, said, kTextBufSize);
            PutExitCode(code, outcome ? outcome : "", said);
            break;
        }
        case 't':
            PutNumber(record->now.tick - va_arg(args, unsigned long));
            break;
        case 'T':
            PutTime(&record->now, kYear);
            break;
        }
    }
    va_end(args);
    if (!gFits)
        return;
    memcpy(gLine + gUsed, "\r\n", 2);
    if (!record->write(record->file, gLine, gUsed + 2))
        record->file = nullptr;
}

// What one read of the registration found, key by key. The first read
// names each key by its path too, later lines by its short name alone.
void RecordRead(RunRecord* record, const char* when, const Registration* r, int withPaths) {
    for (int id = 0; id < kKeyCount; id++) {
        const RegistrationKey* key = &kRegistrationKeys[id];
        WriteLine(record, "%s%s: %s%s%s%s", when, key->name, r->opened[id] ? "opened" : "missing",
                  !withPaths ? "" : key->root == kCurrentUser ? " (HKCU\\" : " (HKLM\\",
                  withPaths ? key->path[kPlainForm] : "", withPaths ? ")" : "");
        for (int v = 0; v < kReadValueCount && r->opened[id]; v++) {
            const TextValue* value = &r->values[v];
            if (kRegistrationValues[v].key == id)
                WriteLine(record,
                          value->read       ? "%s%s\\%s: %v"
                          : value->tooLong ? "%s%s\\%s: too long (%u bytes)"
                                            : "%s%s\\%s: missing",
                          when, key->name, kRegistrationValues[v].name,
                          value->read ? value->type : value->tooLong, value->text, value->length);
        }
    }
}

void RecordWrite(RunRecord* record, const RegistryWrite* write, const WriteResult* result) {
    const RegistrationValue* value = &kRegistrationValues[write->value];
    const char* key = kRegistrationKeys[value->key].name;
    if (result->outcome == kWriteFailed)
        WriteLine(record, "write %s\\%s: failed with error %u, %v", key, value->name,
                  result->error, write->type, write->text, write->length);
    else
        WriteLine(record, "write %s\\%s: %s, %v", key, value->name,
                  result->outcome == kWritten ? "written" : "written through the fallback form",
                  write->type, write->text, write->length);
}
