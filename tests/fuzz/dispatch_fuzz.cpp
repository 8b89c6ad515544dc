// The whole launcher over stand-in primitives that record every call. The
// input's leading bytes decide what the stand-ins answer; the rest is the
// argument text.
//   byte 0: bit 0 the window station is visible, bit 1 the inner installer
//           runs to its end, bit 2 the files are made, bit 3 a record is
//           asked for, bit 4 the run is a what-if, bit 5 unattended, bit 6
//           the hidden window cannot be made, bit 7 the inner installer
//           cannot be started
//   bytes 1-4: the inner installer's exit code (or the system's error code
//           when it did not run to its end)
//   byte 5: bits 0-5 whether the first to sixth value write succeeds, bits
//           6-7 whether _Setup.exe is there (0 and 3), missing (1) or has no
//           room for its path (2)
//   then the registration the first read gives and the one every later read
//   gives (before and after the inner installer), each one byte of keys
//   that open (bit 0 the product key, bits 1-3 the uninstall key by name,
//   the alternate and the main one), then ClientLevel, Build Level,
//   Directory, InstallDate, LastUsedSource and the network source, each as
//   TakeValue reads it; a value of a key that does not open is not read;
//   the rest is the argument text, two bytes a UTF-16 unit
// The decision is PlanRun's, which the native table pins down; here the
// properties of what the launcher does with it are checked. Without a window
// nothing is read or done. The registration is read once before anything
// where the switches call for it, and once more only after an inner
// installer that ran to its end, for its repairs or the record. Nothing is shown where the station is not visible, the run
// is unattended or the plan says not to. A refusal needs an installed
// product and runs nothing. The inner installer starts at most once, only on
// its two paths and only where the plan lets it, with "_Setup.exe " and the
// whole argument text in a buffer that is writable up to its NUL. The writes
// are exactly those PlanRepairs gives for the second read, and only where
// the plan has repairs follow an inner installer that ran to its end.
// Notepad shows only a help file that was written. A what-if run does
// nothing but read and record. The exit code is RunExitCode's for the path
// and how the inner installer ended. A record, when asked for, is lines of
// "[pid hh:mm:ss.mmm] name: value" in UTF-8 ending in CR LF, the first
// "run", the last the exit code.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "detect/installed.h"
#include "fuzz_support.h"
#include "launcher/dispatch.h"
#include "reports/help_records.h"

namespace {

struct Stage {
    bool visible;
    bool innerEnds;
    bool filesMade;
    bool recordAsked;
    bool whatIf;
    bool unattended;
    bool noWindow;
    bool startFails;
    uint32_t exitCode;
    unsigned writesSucceed;
    unsigned long innerInstallerError;
    HeapRegistration registrations[2];  // the first read, every later read
    int reads;
    int writes;
};

Stage gStage;
std::vector<std::string> gCalls;
std::string gRecord;
const unsigned long kProcessId = 4242;

std::string Call(const std::string& name, std::initializer_list<std::string> args = {}) {
    std::string text = name + "(";
    const char* separator = "";
    for (const std::string& arg : args) {
        text += separator + arg;
        separator = ",";
    }
    return text + ")";
}

std::string Describe(const RegistryWrite& write) {
    const KeyId key = kRegistrationValues[write.value].key;
    return Call("writeValue", {kRegistrationKeys[key].root == kLocalMachine ? "HKLM" : "HKCU",
                               PathOf(key, kTrailingForm), PathOf(key),
                               NameOf(write.value), std::to_string(write.type),
                               UnitBytes(write.text, write.length)});
}

// The stand-ins record each call and answer as the stage says. The
// questions (visibility, settings, the clock) are not recorded.
void ReadSettings(RunSettings* settings) {
    *settings = {};
    settings->whatIf = gStage.whatIf;
    settings->unattended = gStage.unattended ? kAskedByEnvironment : kNoReason;
    settings->visible = gStage.visible;
    settings->processId = kProcessId;
    settings->session = 1;  // seen, as the station's flag says, and started as shown
    settings->startShow = -1;
    static const unsigned char kUser[] = {1, 1, 0, 0, 0, 0, 0, 5, 7, 0, 0, 0};  // S-1-5-7
    settings->user = kUser;
    settings->innerProblem = gStage.innerInstallerError == 206 ? kNoRoomForInner
                             : gStage.innerInstallerError   ? kInnerNotOpened
                                                            : kNoReason;
    settings->innerError = gStage.innerInstallerError;
    settings->innerHead[0] = 'M', settings->innerHead[1] = 'Z';
    if (gStage.recordAsked)
        (void)CopyText(settings->recordPath, kTextBufSize, L"C:\\record.txt");
}
unsigned long CreateWindow() {
    gCalls.push_back(Call("createWindow"));
    return gStage.noWindow ? 1400 : 0;
}
void ReadClock(RecordTime* time) {
    *time = {{2026, 12, 3, 9, 23, 59, 59, 999}, 0};
}
// The longest text the room takes, with line breaks the line must not keep.
void DescribeCode(unsigned long, wchar_t* text, size_t cap) {
    for (size_t i = 0; i + 1 < cap; i++)
        text[i] = i % 7 == 3 ? L'\n' : L'x';
    text[cap - 1] = L'\0';
}
void* OpenRecord(const wchar_t* path, const RunSettings*) {
    FUZZ_CHECK(std::wstring(path) == L"C:\\record.txt");
    return &gRecord;
}
int WriteRecord(void* file, const char* bytes, size_t length) {
    FUZZ_CHECK(file == &gRecord);
    gRecord.append(bytes, length);
    return 1;
}
void ReadRegistration(Registration* registration) {
    gCalls.push_back(Call("readRegistration"));
    *registration = *gStage.registrations[gStage.reads ? 1 : 0].get();
    gStage.reads++;
}
void MeasureResources(ResourceFigures* figures) {
    gCalls.push_back(Call("measureResources"));
    memset(figures, 0x5A, sizeof *figures);
}
void* WriteFile(const wchar_t* path, const char*, size_t) {
    gCalls.push_back(Call("writeFile", {UnitBytes(path, wcslen(path))}));
    return gStage.filesMade ? &gStage : nullptr;
}
void ShowFile(const wchar_t* path, void*) {
    FUZZ_CHECK(gCalls.back() == Call("writeFile", {UnitBytes(path, wcslen(path))}));
    FUZZ_CHECK(gStage.filesMade);
    gCalls.push_back(Call("showFile", {UnitBytes(path, wcslen(path))}));
}
void CloseFile(void* file) {
    FUZZ_CHECK(file == &gStage);
}
void ShowReport(const wchar_t* text) {
    gCalls.push_back(Call("showReport", {UnitBytes(text, wcslen(text))}));
}
void ShowDialog(int dialogId) {
    gCalls.push_back(Call("showDialog", {std::to_string(dialogId)}));
}
// The command line must be writable, as CreateProcessW may change it in
// place: write every unit of it, NUL included, so the sanitizer sees a
// buffer that is too short or not writable.
int StartProgram(const wchar_t*, wchar_t* commandLine, ProgramRun* run, void*) {
    const size_t length = wcslen(commandLine);
    for (size_t i = 0; i <= length; i++) {
        volatile wchar_t* unit = commandLine + i;
        *unit = *unit;
    }
    gCalls.push_back(Call("startProgram", {UnitBytes(commandLine, length)}));
    *run = {nullptr, 77, gStage.exitCode};
    return !gStage.startFails;
}
int WaitProgram(ProgramRun* run) {
    run->exitCode = gStage.exitCode;
    return gStage.innerEnds;
}
WriteResult WriteValue(const RegistryWrite* write) {
    gCalls.push_back(Describe(*write));
    const bool written = (gStage.writesSucceed >> (gStage.writes++ % kRepairCount)) & 1;
    return {written ? kWritten : kWriteFailed, written ? 0ul : 5ul};
}

const LauncherOps kOps = {
    .readSettings = ReadSettings,
    .createWindow = CreateWindow,
    .readClock = ReadClock,
    .openRecord = OpenRecord,
    .writeRecord = WriteRecord,
    .describeCode = DescribeCode,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteFile,
    .showFile = ShowFile,
    .closeFile = CloseFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .startProgram = StartProgram,
    .waitProgram = WaitProgram,
    .writeValue = WriteValue,
};

bool IsShown(const std::string& call) {
    return StartsWith(call, "showReport(") || StartsWith(call, "showDialog(") ||
           StartsWith(call, "showFile(");
}

size_t Count(const std::string& prefix) {
    size_t count = 0;
    for (const std::string& call : gCalls)
        count += StartsWith(call, prefix);
    return count;
}

// Every line "[4242 23:59:59.999] name: value" ending in CR LF, with no CR
// or LF inside; "run" first and the exit code last; the bytes UTF-8 (no
// byte sequence a decoder would refuse).
void CheckRecord(int exitCode) {
    const std::string prefix = "[" + std::to_string(kProcessId) + " 23:59:59.999] ";
    std::vector<std::string> lines;
    for (size_t start = 0; start < gRecord.size();) {
        const size_t end = gRecord.find("\r\n", start);
        FUZZ_CHECK(end != std::string::npos);
        const std::string line = gRecord.substr(start, end - start);
        FUZZ_CHECK(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
        FUZZ_CHECK(StartsWith(line, prefix));
        FUZZ_CHECK(line.find(": ", prefix.size()) != std::string::npos);
        lines.push_back(line.substr(prefix.size()));
        start = end + 2;
    }
    FUZZ_CHECK(lines.size() >= 2 && StartsWith(lines[0], "run: 2026-12-09T23:59:59.999Z"));
    FUZZ_CHECK(StartsWith(lines.back(),
                          "exit code: " + std::to_string((unsigned)exitCode) + " ("));
    for (size_t i = 0; i < gRecord.size();) {
        const unsigned char lead = static_cast<unsigned char>(gRecord[i]);
        const size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        FUZZ_CHECK(lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4));
        FUZZ_CHECK(i + n <= gRecord.size());
        for (size_t k = 1; k < n; k++)
            FUZZ_CHECK((static_cast<unsigned char>(gRecord[i + k]) & 0xC0) == 0x80);
        i += n;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t flags = reader.Byte();
    gStage.visible = flags & 1;
    gStage.innerEnds = flags & 2;
    gStage.filesMade = flags & 4;
    gStage.recordAsked = flags & 8;
    gStage.whatIf = flags & 16;
    gStage.unattended = flags & 32;
    gStage.noWindow = flags & 64;
    gStage.startFails = flags & 128;
    gStage.exitCode = static_cast<uint32_t>(reader.Number(4));
    const uint8_t outcomes = reader.Byte();
    gStage.writesSucceed = outcomes & 0x3F;
    const unsigned long kInnerInstallerErrors[4] = {0, 2, 206, 0};
    gStage.innerInstallerError = kInnerInstallerErrors[outcomes >> 6];
    for (HeapRegistration& registration : gStage.registrations) {
        Registration* r = registration.get();
        memset(r, 0, sizeof *r);
        const uint8_t keys = reader.Byte();
        r->opened[kProductKeyId] = keys & 1;
        r->opened[kUninstallKeyByNameId] = (keys & 2) != 0;
        r->opened[kAlternateUninstallKeyId] = (keys & 4) != 0;
        r->opened[kMainUninstallKeyId] = (keys & 8) != 0;
        r->values[kClientLevelId] = TakeValue(reader, r->opened[kProductKeyId]);
        r->values[kBuildLevelId] = TakeValue(reader, r->opened[kProductKeyId]);
        r->values[kDirectoryId] = TakeValue(reader, r->opened[kProductKeyId]);
        r->values[kInstallDateId] = TakeValue(reader, r->opened[kMainUninstallKeyId]);
        r->values[kLastUsedSourceId] = TakeValue(reader, true);
        r->values[kNetSourceId] = TakeValue(reader, true);
    }
    gStage.reads = 0;
    gStage.writes = 0;
    const std::string rest = reader.Rest(reader.left);
    HeapWide args(rest);
    const std::wstring argText = args.data;  // the text ends at its first NUL

    gCalls.clear();
    gRecord.clear();
    const int exitCode = RunLauncher(args.data, &kOps);

    FUZZ_CHECK(gCalls.size() >= 1 && gCalls[0] == Call("createWindow"));
    if (gStage.noWindow) {
        FUZZ_CHECK(gCalls.size() == 1 && exitCode == 1400);
        if (gStage.recordAsked)
            CheckRecord(exitCode);
        return 0;
    }
    const Registration* before = gStage.registrations[0].get();
    const Registration* after = gStage.registrations[1].get();
    RunSettings settings;
    ReadSettings(&settings);
    const RunPlan plan = PlanRun(args.data, &settings, before);
    const bool inner = RunsInnerInstaller(plan.path);
    const std::wstring command = L"_Setup.exe " + argText;
    const unsigned long blocked =
        command.size() + 1 > 32767 ? 206 : gStage.innerInstallerError;  // the start's error
    const bool starts = inner && !gStage.whatIf && !blocked;
    FUZZ_CHECK(plan.startsInner == starts);
    const bool ended = starts && !gStage.startFails && gStage.innerEnds;
    const bool repairs = ended && plan.path == kInstallationPath;

    const size_t reads = ReadsRegistration(SwitchedPath(args.data)) ? 1u : 0u;
    FUZZ_CHECK(reads == (plan.path != kHelpPath && plan.path != kVersionPath));
    FUZZ_CHECK(!reads || (gCalls.size() >= 2 && gCalls[1] == Call("readRegistration")));
    FUZZ_CHECK(Count("readRegistration(") ==
               reads + (ended && (repairs || gStage.recordAsked) ? 1u : 0u));
    if (!gStage.visible || gStage.unattended || !plan.show || gStage.whatIf) {
        for (const std::string& call : gCalls)
            FUZZ_CHECK(!IsShown(call));
    }
    if (plan.path == kRefusalPath) {
        FUZZ_CHECK(IsInstalled(before));
        FUZZ_CHECK(plan.dialogId != 0);
    }
    FUZZ_CHECK(Count("startProgram(") == (starts ? 1u : 0u));
    if (starts)
        FUZZ_CHECK(std::find(gCalls.begin(), gCalls.end(),
                             Call("startProgram", {UnitBytes(command)})) != gCalls.end());
    std::vector<std::string> writes;
    for (const std::string& call : gCalls) {
        if (StartsWith(call, "writeValue("))
            writes.push_back(call);
    }
    std::vector<std::string> planned;
    RepairPlan repairPlan = {};
    if (repairs)
        PlanRepairs(after, &repairPlan);
    for (int i = 0; i < repairPlan.count; i++)
        planned.push_back(Describe(repairPlan.writes[i]));
    FUZZ_CHECK(writes == planned);
    if (gStage.whatIf)
        FUZZ_CHECK(gCalls.size() == 1 + reads);  // the window and the read, if any
    const unsigned long expected = plan.path == kRefusalPath ? 1
                                   : !inner                  ? 0
                                   : blocked                 ? blocked
                                   : gStage.whatIf           ? 0
                                                             : gStage.exitCode;
    FUZZ_CHECK(static_cast<uint32_t>(exitCode) == expected);
    FUZZ_CHECK(gRecord.empty() == !gStage.recordAsked);
    if (gStage.recordAsked)
        CheckRecord(exitCode);
    return 0;
}
