// The run's record, one line at a time. Outside text shows as it is but for
// the characters that could end a line, start one or turn it around, which
// show as "?"; a secret the argument text hands on never shows.
#include "launcher/run_record.h"

#include <string.h>

#include "launcher/masking.h"

static void PutBytes(RunRecord* r, const char* bytes, size_t count) {
    r->fits &= count + 2 <= sizeof r->line - r->used;  // CR LF always fits
    if (r->fits)
        memcpy(r->line + r->used, bytes, count);
    r->used += r->fits ? count : 0;
}

void PutText(RunRecord* r, const char* text) {
    PutBytes(r, text, BoundedLength(text, (size_t)-1));
}

// Zeros in front up to the width, which is less than ten.
static void PutDigits(RunRecord* r, unsigned long value, size_t width) {
    char digits[10];
    size_t first = sizeof digits;
    do {
        digits[--first] = (char)('0' + value % 10);
        value /= 10;
    } while (value || sizeof digits - first < width);
    PutBytes(r, digits + first, sizeof digits - first);
}

void PutNumber(RunRecord* r, unsigned long value) {
    PutDigits(r, value, 0);
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
static void PutOutside(RunRecord* r, const wchar_t* text, size_t count) {
    for (size_t at = 0; at < count && text[at] && r->fits;) {
        unsigned long c = NextCodePoint(text, count, &at);
        char bytes[4] = {'?'};
        PutBytes(r, bytes, ShowsAsQuestionMark(c) ? 1 : Utf8Of(c, bytes));
    }
}

// "YYYY-MM-DDThh:mm:ss.mmm" from the part given on; the day of the week,
// of width 0, is left out.
static void PutTime(RunRecord* r, int from) {
    static const char kBefore[] = "?-?-T::.";
    static const unsigned char kWidths[kTimeParts] = {4, 2, 0, 2, 2, 2, 2, 3};
    for (int i = from; i < kTimeParts; i++) {
        if (!kWidths[i])
            continue;
        PutBytes(r, &kBefore[i], i > from);
        PutDigits(r, r->now.parts[i], kWidths[i]);
    }
}

// A type by its name, or by its number when it has none. A multi-string's
// later strings follow its first in the read's room, each behind "\0", up
// to the empty string that ends them.
void PutValue(RunRecord* r, unsigned long type, const wchar_t* text, size_t length) {
    static const char kTypes[] = "REG_NONE\0REG_SZ\0REG_EXPAND_SZ\0REG_BINARY\0REG_DWORD\0"
                                 "REG_DWORD_BIG_ENDIAN\0REG_LINK\0REG_MULTI_SZ";
    PutText(r, type < 8 ? NthText(kTypes, (int)type) : "type ");
    if (type >= 8)
        PutNumber(r, type);
    PutText(r, " ");
    PutOutside(r, text, length);
    for (size_t at = BoundedLength(text, kTextBufSize) + 1;
         type == kRegMultiSz && at < kTextBufSize && text[at];
         at += BoundedLength(text + at, kTextBufSize - at) + 1) {
        PutText(r, "\\0");
        PutOutside(r, text + at, kTextBufSize - at);
    }
}

// A code of 0x80000000 or more is an NTSTATUS or HRESULT, which reads in
// hex too: "3221225477 (0xC0000005, failed)". After the code comes the word
// a console reads it by, or else Windows' own text for it.
static void PutCode(RunRecord* r, unsigned long code, const char* word, const wchar_t* said) {
    const char* next = " (";
    PutNumber(r, code);
    if (code >= 0x80000000ul) {
        PutText(r, " (0x");
        for (int shift = 28; shift >= 0; shift -= 4)
            PutBytes(r, &"0123456789ABCDEF"[(code >> shift) & 0xF], 1);
        next = ", ";
    }
    if (*word || *said) {
        PutText(r, next);
        PutText(r, word);
        PutOutside(r, said, kTextBufSize);
        next = ", ";
    }
    PutText(r, *next == ',' ? ")" : "");
}

// Nothing is built where no record is written.
void StartLine(RunRecord* r, const char* name) {
    r->used = 0;
    r->fits = r->file != nullptr;
    if (!r->fits)
        return;
    r->readClock(&r->now);
    PutText(r, "[");
    PutNumber(r, r->processId);
    PutText(r, " ");
    PutTime(r, kHour);
    PutText(r, "] ");
    PutText(r, name);
}

// A line that does not fit is left out; one the file does not take ends
// the record, as what follows a cut line could read as part of it.
void EndLine(RunRecord* r) {
    if (!r->fits)
        return;
    memcpy(r->line + r->used, "\r\n", 2);
    if (!r->write(r->file, r->line, r->used + 2))
        r->file = nullptr;
}

void RecordText(RunRecord* r, const char* name, const char* text) {
    StartLine(r, name);
    PutText(r, text);
    EndLine(r);
}

void RecordNumber(RunRecord* r, const char* name, unsigned long value) {
    StartLine(r, name);
    PutNumber(r, value);
    EndLine(r);
}

void RecordYesNo(RunRecord* r, const char* name, int yes) {
    RecordText(r, name, yes ? "yes" : "no");
}

void RecordOutside(RunRecord* r, const char* name, const wchar_t* text) {
    StartLine(r, name);
    PutOutside(r, text, kTextBufSize);
    EndLine(r);
}

void RecordMasked(RunRecord* r, const char* name, const wchar_t* args) {
    StartLine(r, name);
    r->fits &= MaskSecrets(args, r->masked, sizeof r->masked / sizeof r->masked[0]);
    PutOutside(r, r->masked, (size_t)-1);
    EndLine(r);
}

// The tick count's wrap cancels out.
void RecordDuration(RunRecord* r, const char* name, unsigned long sinceTick) {
    StartLine(r, name);
    PutNumber(r, r->now.tick - sinceTick);
    PutText(r, " ms");
    EndLine(r);
}

void RecordStartTime(RunRecord* r) {
    StartLine(r, "run: ");
    PutTime(r, kYear);
    PutText(r, "Z");
    EndLine(r);
}

void RecordCode(RunRecord* r, const char* name, unsigned long code) {
    wchar_t said[kTextBufSize] = L"";
    StartLine(r, name);
    if (r->fits)
        r->describeCode(code, said, kTextBufSize);
    PutCode(r, code, "", said);
    EndLine(r);
}

void RecordResult(RunRecord* r, RunResult result) {
    StartLine(r, "exit code: ");
    PutCode(r, result.exitCode, OutcomeText(result.outcome), L"");
    EndLine(r);
}

// "<when><key>", or "<when><key>\\<value>" for one of its values.
static void StartNamed(RunRecord* r, const char* when, KeyId key, const char* value) {
    StartLine(r, when);
    PutText(r, kRegistrationKeys[key].name);
    if (value) {
        PutText(r, "\\");
        PutText(r, value);
    }
}

// What one read of the registration found, key by key. The first read
// names each key by its path too, later lines by its short name alone.
void RecordRead(RunRecord* r, const char* when, const Registration* registration,
                int withPaths) {
    for (int id = 0; id < kKeyCount; id++) {
        const RegistrationKey* key = &kRegistrationKeys[id];
        StartNamed(r, when, (KeyId)id, nullptr);
        PutText(r, registration->opened[id] ? ": opened" : ": missing");
        if (withPaths) {
            wchar_t path[kTextBufSize];
            PutText(r, key->root == kCurrentUser ? " (HKCU\\" : " (HKLM\\");
            PutOutside(r, path, KeyPath(key, kPlainForm, path, kTextBufSize));
            PutText(r, ")");
        }
        EndLine(r);
        for (int v = 0; v < kReadValueCount && registration->opened[id]; v++) {
            const TextValue* value = &registration->values[v];
            if (kRegistrationValues[v].key != id)
                continue;
            StartNamed(r, when, (KeyId)id, kRegistrationValues[v].name);
            PutText(r, value->read ? ": " : value->tooLong ? ": too long (" : ": missing");
            if (value->read)
                PutValue(r, value->type, value->text, value->length);
            if (value->tooLong && !value->read) {
                PutNumber(r, value->tooLong);
                PutText(r, " bytes)");
            }
            EndLine(r);
        }
    }
}

void RecordWrite(RunRecord* r, const RegistryWrite* write, const WriteResult* result) {
    static const char kHow[] = ": failed with error \0: written\0: written through the fallback form";
    const RegistrationValue* value = &kRegistrationValues[write->value];
    StartNamed(r, "write ", value->key, value->name);
    PutText(r, NthText(kHow, result->outcome));
    if (result->outcome == kWriteFailed)
        PutNumber(r, result->error);
    PutText(r, ", ");
    PutValue(r, write->type, write->text, write->length);
    EndLine(r);
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
