// The run's record, one line at a time. Outside text shows as it is but for
// the characters that could end a line, start one or turn it around, which
// show as "?"; a secret the argument text hands on never shows.
#include "launcher/run_record.h"

#include <stdarg.h>
#include <string.h>
#include <wchar.h>

#include "base/run_and_wait.h"
#include "detect/registry_paths.h"

// The line being written. A piece that does not fit makes the whole line
// not fit, and a line that does not fit is never written. The longest is
// the inner command with an argument text as long as a command line, grown
// by masking ("KEY=" becomes "KEY=***"), three bytes of UTF-8 a unit.
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

// C0 and C1 controls but TAB, the line and paragraph separators, and the
// bidirectional formatting characters.
static int BreaksTheLine(unsigned long c) {
    return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Up to count units or the first NUL.
static void PutOutside(const wchar_t* text, size_t count) {
    for (size_t at = 0; at < count && text[at] && gFits;) {
        unsigned long c = NextCodePoint(text, count, &at);
        char bytes[4] = {'?'};
        PutBytes(bytes, BreaksTheLine(c) ? 1 : Utf8Of(c, bytes));
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
// hex too: "3221225477 (0xC0000005, failed)".
static void PutExitCode(unsigned long code, const char* outcome) {
    char hex[] = "0x00000000";
    for (int i = 0; i < 8; i++)
        hex[2 + i] = "0123456789ABCDEF"[(code >> (28 - 4 * i)) & 0xF];
    const int large = code >= 0x80000000ul;
    PutNumber(code);
    PutAscii(large || outcome ? " (" : "");
    PutAscii(large ? hex : "");
    PutAscii(large && outcome ? ", " : "");
    PutAscii(outcome ? outcome : "");
    PutAscii(large || outcome ? ")" : "");
}

// The words a deployment console maps exit codes to.
const char* ExitOutcome(int refused, int notStarted, unsigned long code) {
    return refused      ? "refused"
           : notStarted ? "not started"
           : code == 0  ? "success"
           : code == kErrorSuccessRebootRequired  ? "restart required"
           : code == kErrorSuccessRebootInitiated ? "restart started"
           : code == kErrorInstallAlreadyRunning  ? "retry later"
                                                  : "failed";
}

// "C:\..." or "\\server\share\...", not where the current directory is.
int IsAbsolutePath(const wchar_t* path) {
    return (path[0] && path[1] == L':' && path[2] == L'\\') ||
           (path[0] == L'\\' && path[1] == L'\\');
}

// Names that mark a secret in installer properties: DBPASSWORD, ADMINPWD,
// CLIENT_SECRET, API.TOKEN, PIDKEY, SERIALNUMBER, PASSPHRASE, CREDENTIALS.
static const wchar_t* const kSecretWords[] = {L"PASSWORD", L"PASSWD", L"PASSPHRASE",
                                              L"PWD",      L"SECRET", L"TOKEN",
                                              L"KEY",      L"SERIAL", L"CREDENTIAL"};

static wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? (wchar_t)(c - L'a' + L'A') : c;
}

static int IsNameUnit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (Upper(c) >= L'A' && Upper(c) <= L'Z') || c == L'_' ||
           c == L'.';
}

static int NamesASecret(const wchar_t* name, size_t length) {
    wchar_t upper[kTextBufSize] = L"";
    for (size_t i = 0; i < length && i < kTextBufSize - 1; i++)
        upper[i] = Upper(name[i]);
    int secret = length >= kTextBufSize;  // a name too long to look at is taken for one
    for (const wchar_t* word : kSecretWords)
        secret |= wcsstr(upper, word) != nullptr;
    return secret;
}

// The length of the quote at text[at]: ", or \" inside a quoted /v text,
// or where single quotes count, '.
static size_t QuoteAt(const wchar_t* text, size_t at, size_t limit, int single) {
    if (at < limit && (text[at] == L'"' || (single && text[at] == L'\'')))
        return 1;
    return at + 1 < limit && text[at] == L'\\' && text[at + 1] == L'"' ? 2 : 0;
}

// Where a value quoted like text[open] closes: at the next such quote not
// doubled (as the Installer reads it, that is one of the value), or limit.
static size_t QuoteClose(const wchar_t* text, size_t open, size_t q, size_t limit) {
    for (size_t at = open + q; at + q <= limit; at++) {
        if (wmemcmp(text + at, text + open, q))
            continue;
        if (at + 2 * q > limit || wmemcmp(text + at + q, text + open, q))
            return at;
        at += 2 * q - 1;
    }
    return limit;
}

// A bare value ends at a blank, or at the quote that closes the quoted text
// it stands in; a quote that opens a stretch inside it (a"b c") takes it to
// that stretch's end, as the command line reads it. Inside another quoted
// value, such as a connection string, it ends at the next ";".
static size_t BareEnd(const wchar_t* text, size_t at, size_t limit, int inQuote, int nested) {
    while (at < limit && !(nested ? text[at] == L';' : text[at] == L' ' || text[at] == L'\t')) {
        const size_t q = nested ? 0 : QuoteAt(text, at, limit, 0);
        if (q == 1 && inQuote)
            break;
        at = q ? QuoteClose(text, at, q, limit) + q : at + 1;
    }
    return at < limit ? at : limit;
}

static int IsUnescapedQuote(const wchar_t* text, size_t at) {
    return text[at] == L'"' && (at == 0 || text[at - 1] != L'\\');
}

// The value of every NAME=VALUE pair whose name holds a secret word, in
// any case, shows as "***", its quotes kept. Where its end is unclear, more
// is hidden, never less.
static void PutMasked(const wchar_t* args) {
    const size_t length = BoundedLength(args, (size_t)-1);
    size_t shown = 0;    // args[0, shown) is in the line
    size_t nestEnd = 0;  // the quoted value of another property ends here
    int inQuote = 0;     // inside a quoted stretch of the command line
    for (size_t at = 0; at < length; at++) {
        inQuote ^= IsUnescapedQuote(args, at);
        if (args[at] != L'=')
            continue;
        size_t name = at;
        while (name > shown && IsNameUnit(args[name - 1]))
            name--;
        const int nested = at < nestEnd;
        const size_t limit = nested ? nestEnd : length, q = QuoteAt(args, at + 1, limit, 1);
        if (!NamesASecret(args + name, at - name)) {
            nestEnd = q && !nested ? QuoteClose(args, at + 1, q, length) : nestEnd;
            continue;
        }
        const size_t end = q ? QuoteClose(args, at + 1, q, limit)
                             : BareEnd(args, at + 1, limit, inQuote, nested);
        PutOutside(args + shown, at + 1 + q - shown);
        PutAscii("***");
        for (shown = at + 1; shown < end; shown++)
            inQuote ^= IsUnescapedQuote(args, shown);
        at = end - 1;  // the value ends after the "=" at, at the earliest
    }
    PutOutside(args + shown, length - shown);
}

// Writes one line with one write call: its prefix, then the format, whose
// directives take %s an ASCII text, %u a number, %y yes or no (an int), %w
// outside text, %m the argument text masked, %v a registry value (type,
// text, length), %c an exit code and its outcome or null, %t milliseconds
// since a tick, %T the line's date and time. A line that cannot be written
// whole ends the record: what follows a cut line could read as part of it.
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
        case 'm':
            PutMasked(va_arg(args, const wchar_t*));
            break;
        case 'v': {  // a type by its name, or by its number when it has none
            static const char* const kTypes[] = {
                "REG_NONE",  "REG_SZ",   "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD",
                "REG_DWORD_BIG_ENDIAN", "REG_LINK", "REG_MULTI_SZ"};
            const unsigned long type = va_arg(args, unsigned long);
            PutAscii(type < 8 ? kTypes[type] : "type ");
            if (type >= 8)
                PutNumber(type);
            PutAscii(" ");
            const wchar_t* text = va_arg(args, const wchar_t*);
            PutOutside(text, va_arg(args, size_t));
            break;
        }
        case 'c': {
            const unsigned long code = va_arg(args, unsigned long);
            PutExitCode(code, va_arg(args, const char*));
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
                WriteLine(record, value->read ? "%s%s\\%s: %v" : "%s%s\\%s: missing", when,
                          key->name, kRegistrationValues[v].name, value->type, value->text,
                          value->length);
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
