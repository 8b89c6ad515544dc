// The whole launcher over stand-in primitives that record every call. The
// input's leading bytes decide what the stand-ins answer; the rest is the
// argument text.
//   byte 0: bit 0 the window station is visible, bit 1 the inner installer
//           runs to its end, bit 2 the files are made, bit 3 a record is
//           asked for, bit 4 the run is a what-if
//   bytes 1-4: the inner installer's exit code (or the system's error code
//           when it did not run to its end)
//   byte 5: bits 0-5 whether the first to sixth value write succeeds
//   then the registration the first read gives and the one every later read
//   gives (before and after the inner installer), each one byte of keys
//   that open (bit 0 the product key, bits 1-3 the uninstall key by name,
//   the alternate and the main one), then ClientLevel, Build Level,
//   Directory, InstallDate, LastUsedSource and the network source, each as
//   TakeValue reads it; a value of a key that does not open is not read;
//   the rest is the argument text, two bytes a UTF-16 unit
// The decision is PlanRun's, which the native table pins down; here the
// properties of what the launcher does with it are checked. The
// registration is read once before anything, and once more only after an
// installation that ran to its end. Nothing is shown where the station is
// not visible or the plan says not to. A refusal needs an installed product
// and runs nothing. The inner installer runs at most once, only on its two
// paths, with "_Setup.exe " and the whole argument text in a buffer that is
// writable up to its NUL. The writes are exactly those PlanRepairs gives
// for the second read, and only after an installation that ran to its end.
// A what-if run does nothing but read and record. The exit code is
// RunExitCode's for the path and how the inner installer ended. A record,
// when asked for, is appended once: UTF-8 lines of "name: value" ending in
// CR LF, closed by an empty line, with the exit code last.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "detect/installed.h"
#include "fuzz_support.h"
#include "launcher/dispatch.h"

namespace {

struct Stage {
    bool visible;
    bool innerEnds;
    bool filesMade;
    bool recordAsked;
    bool whatIf;
    uint32_t exitCode;
    unsigned writesSucceed;
    HeapRegistration registrations[2];  // the first read, every later read
    int reads;
    int writes;
};

Stage gStage;
std::vector<std::string> gCalls;
std::string gRecord;
int gRecords;

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
    return Call("writeValue", {write.root == kLocalMachine ? "HKLM" : "HKCU", write.key[0],
                               write.key[1], write.name, std::to_string(write.type),
                               UnitBytes(write.text, write.length)});
}

// The stand-ins record each call and answer as the stage says. The
// questions (visibility, settings) are not recorded.
int WindowStationVisible() {
    return gStage.visible;
}
void ReadSettings(RunSettings* settings) {
    *settings = {};
    settings->whatIf = gStage.whatIf;
    settings->elevated = -1;
    settings->time = {2026, 12, 9, 23, 59, 59};
    if (gStage.recordAsked)
        (void)CopyText(settings->recordPath, kTextBufSize, L"record.txt");
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
int WriteFile(const wchar_t* path, const char* bytes, size_t length, FileWrite how) {
    if (how == kAppendToFile) {
        FUZZ_CHECK(std::wstring(path) == L"record.txt");
        gRecord.assign(bytes, length);
        gRecords++;
        return 1;
    }
    gCalls.push_back(Call("writeFile", {UnitBytes(path, wcslen(path)), std::to_string(how)}));
    return gStage.filesMade;
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
int RunInnerInstaller(wchar_t* commandLine, unsigned long* exitCode,
                      unsigned long* milliseconds) {
    const size_t length = wcslen(commandLine);
    for (size_t i = 0; i <= length; i++) {
        volatile wchar_t* unit = commandLine + i;
        *unit = *unit;
    }
    gCalls.push_back(Call("runInnerInstaller", {UnitBytes(commandLine, length)}));
    *exitCode = gStage.exitCode;
    *milliseconds = gStage.exitCode >> 8;
    return gStage.innerEnds;
}
WriteResult WriteValue(const RegistryWrite* write) {
    gCalls.push_back(Describe(*write));
    const bool written = (gStage.writesSucceed >> (gStage.writes++ % kRepairCount)) & 1;
    return {written ? kWritten : kWriteFailed, written ? 0ul : 5ul};
}

const LauncherOps kOps = {
    .windowStationVisible = WindowStationVisible,
    .readSettings = ReadSettings,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .runInnerInstaller = RunInnerInstaller,
    .writeValue = WriteValue,
};

bool IsShown(const std::string& call) {
    return StartsWith(call, "showReport(") || StartsWith(call, "showDialog(") ||
           call == Call("writeFile", {"helpFILE.txt", std::to_string(kReplaceAndShow)});
}

size_t Count(const std::string& prefix) {
    size_t count = 0;
    for (const std::string& call : gCalls)
        count += StartsWith(call, prefix);
    return count;
}

// Each line "name: value" and ending in CR LF, no CR or LF inside one, and
// an empty line last; the bytes are UTF-8 (no byte sequence a decoder
// would refuse).
void CheckRecord(int exitCode) {
    FUZZ_CHECK(gRecord.size() >= 4 && gRecord.compare(gRecord.size() - 4, 4, "\r\n\r\n") == 0);
    const std::string body = gRecord.substr(0, gRecord.size() - 2);
    for (size_t start = 0; start < body.size();) {
        const size_t end = body.find("\r\n", start);
        FUZZ_CHECK(end != std::string::npos);
        const std::string line = body.substr(start, end - start);
        FUZZ_CHECK(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
        FUZZ_CHECK(line.find(": ") != std::string::npos);
        start = end + 2;
    }
    const std::string last = "exit code: " + std::to_string((unsigned)exitCode) + "\r\n\r\n";
    FUZZ_CHECK(gRecord.size() >= last.size() &&
               gRecord.compare(gRecord.size() - last.size(), last.size(), last) == 0);
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
    gStage.exitCode = static_cast<uint32_t>(reader.Number(4));
    gStage.writesSucceed = reader.Byte() & 0x3F;
    for (HeapRegistration& registration : gStage.registrations) {
        Registration* r = registration.get();
        memset(r, 0, sizeof *r);
        const uint8_t keys = reader.Byte();
        r->productKeyOpened = keys & 1;
        r->uninstallKeyByNameOpened = (keys & 2) != 0;
        r->alternateUninstallKeyOpened = (keys & 4) != 0;
        r->mainUninstallKeyOpened = (keys & 8) != 0;
        r->clientLevel = TakeValue(reader, r->productKeyOpened);
        r->buildLevel = TakeValue(reader, r->productKeyOpened);
        r->directory = TakeValue(reader, r->productKeyOpened);
        r->installDate = TakeValue(reader, r->mainUninstallKeyOpened);
        r->lastUsedSource = TakeValue(reader, true);
        r->netSource = TakeValue(reader, true);
    }
    gStage.reads = 0;
    gStage.writes = 0;
    const std::string rest = reader.Rest(reader.left);
    HeapWide args(rest);
    const std::wstring argText = args.data;  // the text ends at its first NUL

    gCalls.clear();
    gRecord.clear();
    gRecords = 0;
    const int exitCode = RunLauncher(args.data, &kOps);

    const Registration* before = gStage.registrations[0].get();
    const Registration* after = gStage.registrations[1].get();
    const RunPlan plan = PlanRun(args.data, gStage.visible, before);
    const bool inner = RunsInnerInstaller(plan.path);
    const std::wstring command = L"_Setup.exe " + argText;
    const bool startable = command.size() + 1 <= 32767;
    const bool runs = inner && !gStage.whatIf && startable;
    const bool ended = runs && gStage.innerEnds;
    const bool repairs = ended && plan.path == kInstallationPath;

    FUZZ_CHECK(gCalls.size() >= 1 && gCalls[0] == Call("readRegistration"));
    FUZZ_CHECK(Count("readRegistration(") == (repairs ? 2u : 1u));
    if (!gStage.visible || !plan.show || gStage.whatIf) {
        for (const std::string& call : gCalls)
            FUZZ_CHECK(!IsShown(call));
    }
    if (plan.path == kRefusalPath) {
        FUZZ_CHECK(IsInstalled(before));
        FUZZ_CHECK(plan.dialogId != 0);
    }
    FUZZ_CHECK(Count("runInnerInstaller(") == (runs ? 1u : 0u));
    if (runs)
        FUZZ_CHECK(std::find(gCalls.begin(), gCalls.end(),
                             Call("runInnerInstaller", {UnitBytes(command)})) != gCalls.end());
    std::vector<std::string> writes;
    for (const std::string& call : gCalls) {
        if (StartsWith(call, "writeValue("))
            writes.push_back(call);
    }
    std::vector<std::string> planned;
    RegistryWrite repairWrites[kRepairCount];
    const int count = repairs ? PlanRepairs(after, repairWrites) : 0;
    for (int i = 0; i < count; i++)
        planned.push_back(Describe(repairWrites[i]));
    FUZZ_CHECK(writes == planned);
    if (gStage.whatIf)
        FUZZ_CHECK(gCalls.size() == 1);  // the one read
    unsigned long innerCode = 0;
    if (runs)
        innerCode = gStage.exitCode;
    else if (inner && !gStage.whatIf)
        innerCode = 206;  // longer than the system takes: not started
    FUZZ_CHECK(exitCode == RunExitCode(plan.path, innerCode));
    FUZZ_CHECK(gRecords == (gStage.recordAsked ? 1 : 0));
    if (gStage.recordAsked)
        CheckRecord(exitCode);
    return 0;
}
