// The run's record. Outside text (the argument text, registry values) is
// shown as it is, except that a line break or other control character in
// it shows as "?", so every line of the record is one of its own; and a
// password or other secret the argument text hands to the inner installer
// never reaches the file.
#include "launcher/run_record.h"

#include "detect/installed.h"
#include "detect/registry_paths.h"
#include "launcher/command_line.h"
#include "reports/report_text.h"

// The record as it is composed: every piece goes behind what is there, and
// a piece that does not fit makes the whole record not fit.
struct RecordText {
    wchar_t* dst;
    size_t cap;
    size_t used;
    int fits;
};

static void PutAscii(RecordText* out, const char* text) {
    out->fits &= AppendText(out->dst + out->used, out->cap - out->used, text);
    out->used += BoundedLength(out->dst + out->used, out->cap - out->used);
}

static void PutOutside(RecordText* out, const wchar_t* text, size_t count) {
    wchar_t* start = out->dst + out->used;
    out->fits &= AppendBytes(start, out->cap - out->used, text, count);
    size_t added = BoundedLength(start, out->cap - out->used);
    for (size_t i = 0; i < added; i++) {
        if (start[i] < L' ' && start[i] != L'\t')
            start[i] = L'?';
    }
    out->used += added;
}

static void PutNumber(RecordText* out, unsigned long long value, size_t width) {
    char digits[24] = "";
    (void)AppendUnsigned(digits, sizeof digits, value);  // 20 digits at most
    for (size_t length = BoundedLength(digits, sizeof digits); length < width; length++)
        PutAscii(out, "0");
    PutAscii(out, digits);
}

static void PutName(RecordText* out, const char* name, const char* more) {
    PutAscii(out, name);
    PutAscii(out, more);
    PutAscii(out, ": ");
}

static void EndLine(RecordText* out) {
    PutAscii(out, "\r\n");
}

static void Line(RecordText* out, const char* name, const char* value) {
    PutName(out, name, "");
    PutAscii(out, value);
    EndLine(out);
}

static void NumberLine(RecordText* out, const char* name, unsigned long long value,
                       const char* unit) {
    PutName(out, name, "");
    PutNumber(out, value, 0);
    PutAscii(out, unit);
    EndLine(out);
}

static const char* YesNo(int value) {
    return value ? "yes" : "no";
}

// Secrets are named so in installer properties: DBPASSWORD, ADMINPWD,
// CLIENT_SECRET, API.TOKEN.
static const char* const kSecretWords[] = {"PASSWORD", "PWD", "SECRET", "TOKEN"};

static wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? (wchar_t)(c - L'a' + L'A') : c;
}

static int IsNameUnit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (Upper(c) >= L'A' && Upper(c) <= L'Z') || c == L'_' ||
           c == L'.';
}

static int NamesASecret(const wchar_t* name, size_t length) {
    for (const char* word : kSecretWords) {
        size_t wordLength = BoundedLength(word, 16);
        for (size_t at = 0; at + wordLength <= length; at++) {
            size_t same = 0;
            while (same < wordLength && Upper(name[at + same]) == (wchar_t)word[same])
                same++;
            if (same == wordLength)
                return 1;
        }
    }
    return 0;
}

// Where a value that starts at text[at] ends: a quoted one ("..." or, inside
// a quoted /v text, \"...\") at its closing quote, which is kept, with the
// quotes around it; a bare one at the first blank or quote.
static size_t ValueEnd(const wchar_t* text, size_t length, size_t at, size_t* quote) {
    *quote = text[at] == L'"' ? 1 : (text[at] == L'\\' && at + 1 < length && text[at + 1] == L'"') ? 2 : 0;
    size_t end = at + *quote;
    if (*quote) {
        while (end < length &&
               !(text[end] == L'"' && (*quote == 1 || (end > at + *quote && text[end - 1] == L'\\'))))
            end++;
        return end < length ? end + 1 - *quote : length;
    }
    while (end < length && text[end] != L' ' && text[end] != L'\t' && text[end] != L'"')
        end++;
    return end;
}

// The argument text with the value of every NAME=VALUE pair whose name holds
// one of the secret words, in any case, shown as "***". A quoted value keeps
// its quotes.
static void PutMasked(RecordText* out, const wchar_t* args) {
    size_t length = BoundedLength(args, (size_t)-1);
    size_t shown = 0;  // args[0, shown) is in the record
    for (size_t at = 0; at < length; at++) {
        if (args[at] != L'=')
            continue;
        size_t name = at;
        while (name > shown && IsNameUnit(args[name - 1]))
            name--;
        if (!NamesASecret(args + name, at - name))
            continue;
        size_t quote;
        size_t end = ValueEnd(args, length, at + 1, &quote);
        PutOutside(out, args + shown, at + 1 + quote - shown);
        PutAscii(out, "***");
        shown = end;
        at = end - 1;  // the value ends after the "=" at, at the earliest
    }
    PutOutside(out, args + shown, length - shown);
}

static void PutTime(RecordText* out, const RecordTime* t) {
    PutName(out, "run", "");
    const struct {
        unsigned value;
        size_t width;
        const char* after;
    } parts[] = {{t->year, 4, "-"},  {t->month, 2, "-"},  {t->day, 2, "T"},
                 {t->hour, 2, ":"},  {t->minute, 2, ":"}, {t->second, 2, "Z"}};
    for (const auto& part : parts) {
        PutNumber(out, part.value, part.width);
        PutAscii(out, part.after);
    }
    EndLine(out);
}

static const char* RootName(RegistryRoot root) {
    return root == kCurrentUser ? "HKCU" : "HKLM";
}

static void PutLocation(RecordText* out, const char* prefix, RegistryRoot root,
                        const char* const* key, const char* name) {
    PutAscii(out, prefix);
    PutAscii(out, RootName(root));
    PutAscii(out, "\\");
    PutAscii(out, key[kPlainForm]);
    if (name) {
        PutAscii(out, "\\");
        PutAscii(out, name);
    }
    PutAscii(out, ": ");
}

static const char* const kTypeNames[] = {
    "REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD", "REG_DWORD_BIG_ENDIAN",
    "REG_LINK", "REG_MULTI_SZ",
};

static void PutTyped(RecordText* out, unsigned long type, const wchar_t* text, size_t length) {
    if (type < sizeof kTypeNames / sizeof kTypeNames[0]) {
        PutAscii(out, kTypeNames[type]);
    } else {
        PutAscii(out, "type ");
        PutNumber(out, type, 0);
    }
    PutAscii(out, " ");
    PutOutside(out, text, length);
}

// What one read of the registration found, key by key and value by value.
struct FoundLine {
    RegistryRoot root;
    const char* const* key;
    const char* name = nullptr;                // a value's; none on a key's own line
    int Registration::*opened = nullptr;       // a key the read only looked for
    void* Registration::*held = nullptr;       // a key the read keeps open
    TextValue Registration::*value = nullptr;  // a value's line
};

static const FoundLine kFoundLines[] = {
    {.root = kLocalMachine, .key = kProductKey, .opened = &Registration::productKeyOpened},
    {.root = kLocalMachine, .key = kProductKey, .name = kClientLevelValue,
     .value = &Registration::clientLevel},
    {.root = kLocalMachine, .key = kProductKey, .name = kBuildLevelValue,
     .value = &Registration::buildLevel},
    {.root = kLocalMachine, .key = kProductKey, .name = kDirectoryValue,
     .value = &Registration::directory},
    {.root = kLocalMachine, .key = kUninstallKeyByName,
     .opened = &Registration::uninstallKeyByNameOpened},
    {.root = kLocalMachine, .key = kAlternateUninstallKey,
     .opened = &Registration::alternateUninstallKeyOpened},
    {.root = kLocalMachine, .key = kMainUninstallKey,
     .opened = &Registration::mainUninstallKeyOpened},
    {.root = kLocalMachine, .key = kMainUninstallKey, .name = kInstallDateValue,
     .value = &Registration::installDate},
    {.root = kCurrentUser, .key = kSourceListKey, .held = &Registration::sourceListKey},
    {.root = kCurrentUser, .key = kSourceListKey, .name = kLastUsedSourceValue,
     .value = &Registration::lastUsedSource},
    {.root = kCurrentUser, .key = kNetSourceKey, .held = &Registration::netSourceKey},
    {.root = kCurrentUser, .key = kNetSourceKey, .name = kNetSourceValue,
     .value = &Registration::netSource},
};

static void PutRegistration(RecordText* out, const char* prefix, const Registration* r) {
    for (const FoundLine& line : kFoundLines) {
        PutLocation(out, prefix, line.root, line.key, line.name);
        if (line.value) {
            const TextValue* value = &(r->*line.value);
            if (value->read)
                PutTyped(out, value->type, value->text, value->length);
            else
                PutAscii(out, "missing");
        } else {
            PutAscii(out, (line.opened ? r->*line.opened : r->*line.held != nullptr) ? "opened"
                                                                                     : "missing");
        }
        EndLine(out);
    }
}

static const char* PathName(RunPath path) {
    switch (path) {
    case kHelpPath:
        return "help";
    case kVersionPath:
        return "version";
    case kBuildLevelPath:
        return "build level";
    case kRefusalPath:
        return "refusal";
    case kInstallationPath:
        return "installation";
    case kRemovalPath:
        break;
    }
    return "removal";
}

static void PutWrites(RecordText* out, const RunRecord* record) {
    for (int i = 0; i < record->writeCount; i++) {
        const RegistryWrite* write = &record->writes[i];
        PutLocation(out, "write ", write->root, write->key, write->name);
        PutTyped(out, write->type, write->text, write->length);
        EndLine(out);
        PutLocation(out, "result ", write->root, write->key, write->name);
        const WriteResult* result = &record->results[i];
        if (result->outcome == kWriteFailed) {
            PutAscii(out, "failed with error ");
            PutNumber(out, result->error, 0);
        } else {
            PutAscii(out, result->outcome == kWritten ? "written"
                                                      : "written through the fallback form");
        }
        EndLine(out);
    }
}

static void PutInnerInstaller(RecordText* out, const RunRecord* record) {
    PutName(out, "inner command", "");
    PutOutside(out, kInnerInstallerPrefix, BoundedLength(kInnerInstallerPrefix, 16));
    PutMasked(out, record->args);
    EndLine(out);
    if (record->whatIf)
        return;
    if (!record->innerEnded) {
        NumberLine(out, "inner error", record->innerCode, "");
        return;
    }
    NumberLine(out, "inner run", record->innerMilliseconds, " ms");
    NumberLine(out, "inner exit code", record->innerCode, "");
    if (!record->after)
        return;
    PutRegistration(out, "after ", record->after);
    if (record->writeCount) {
        NumberLine(out, "repairs", (unsigned long long)record->writeCount, " planned");
        PutWrites(out, record);
    } else {
        Line(out, "repairs", "none: the installation did not register itself");
    }
}

// The record's fixed lines hold at most this many characters besides the
// argument text: two reads of twelve lines and twelve lines of writes, each
// with a value of kTextBufSize characters, and the short lines around them.
const size_t kRecordFixedSize = 36 * (kTextBufSize + 200) + 2048;

// The argument text appears twice; masking makes no part of it longer than
// twice its length ("PWD=" becomes "PWD=***").
size_t RunRecordSize(const wchar_t* args) {
    return kRecordFixedSize + 4 * BoundedLength(args, (size_t)-1);
}

size_t ComposeRunRecord(const RunRecord* record, wchar_t* dst, size_t cap) {
    RecordText out = {dst, cap, 0, CopyText(dst, cap, L"")};
    const RunPlan* plan = &record->plan;
    PutTime(&out, &record->time);
    wchar_t version[kTextBufSize];
    (void)ComposeVersionText(version, kTextBufSize);  // a fixed text that fits
    PutName(&out, "launcher", "");
    PutOutside(&out, version, BoundedLength(version, kTextBufSize));
    EndLine(&out);
    Line(&out, "what-if", YesNo(record->whatIf));
    Line(&out, "elevated", record->elevated < 0 ? "unknown" : YesNo(record->elevated));
    Line(&out, "visible", YesNo(record->visible));
    PutName(&out, "arguments", "");
    PutMasked(&out, record->args);
    EndLine(&out);
    PutRegistration(&out, "before ", record->before);
    if (plan->writeResourceLog)
        Line(&out, "resource log", record->resourceLogWritten ? "written" : "not written");
    Line(&out, "path", PathName(plan->path));
    Line(&out, "why", plan->why);
    if (RunsInnerInstaller(plan->path)) {
        PutInnerInstaller(&out, record);
    } else {
        Line(&out, "show", YesNo(plan->show));
        if (plan->path == kRefusalPath)
            NumberLine(&out, "dialog", (unsigned long long)plan->dialogId, "");
        if (plan->path == kHelpPath && !record->whatIf)
            Line(&out, "help file", record->helpFileWritten ? "written" : "not written");
    }
    NumberLine(&out, "exit code", (unsigned)record->exitCode, "");
    EndLine(&out);
    return out.fits ? out.used : 0;
}
