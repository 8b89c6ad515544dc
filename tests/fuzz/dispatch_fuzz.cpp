// The whole launcher over stand-in primitives that record every call. The
// input's leading bytes decide what the stand-ins answer; the rest is the
// argument text.
//   byte 0: bit 0 the window station is visible, bit 1 the inner installer
//           runs to its end, bit 2 the resource log file is made, bit 3 the
//           help file is made
//   bytes 1-4: the inner installer's exit code (or the system's error code
//           when it did not run to its end)
//   byte 5: bits 0-5 whether the first to sixth value write succeeds
//   byte 6: the figures measured for the resource log, spread over all 11
//   then the registration the first read gives and the one every later read
//   gives (before and after the inner installer), each one byte of keys
//   that open (bit 0 the product key, bits 1-3 the uninstall key by name,
//   the alternate and the main one), then ClientLevel, Build Level,
//   Directory, InstallDate, LastUsedSource and the network source, each as
//   TakeValue reads it; a value of a key that does not open is not read;
//   the rest is the argument text, two bytes a UTF-16 unit
// Properties: the calls are exactly those of one path, in order: the
// resource log when asked for, then the help file, the version report, the
// build-level report or the installation. Nothing is shown (report, dialog
// or Notepad with the help file) where the station is not visible. The registration is not
// read for "/?", "/vd" or "/x", nor for an unseen "/bl". An installed
// product is refused with the dialog chosen from the first read and the
// language of the arguments. The inner command is "_Setup.exe " and the
// whole argument text, in a buffer that is writable up to its NUL. The
// writes are exactly those PlanRepairs gives for the second read, in its
// order, and only after the inner installer ran to its end without "/x",
// whether or not the writes before them succeeded. The exit code is 1
// after a refusal, 0 after a report, else the inner installer's code. The
// files hold exactly the composed log and help text.
//
// The decisions themselves (IsInstalled, ChooseDialogId, PlanRepairs and
// the composed texts) have targets of their own; here they are the oracle,
// and what is checked is what the launcher feeds them and does with them.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "base/build_date.h"
#include "detect/installed.h"
#include "detect/language.h"
#include "fuzz_support.h"
#include "launcher/dispatch.h"
#include "reports/help_records.h"
#include "reports/report_text.h"

namespace {

struct Stage {
    bool visible;
    bool innerEnds;
    bool logMade;
    bool helpMade;
    uint32_t exitCode;
    unsigned writesSucceed;
    unsigned long long figureSeed;
    HeapRegistration registrations[2];  // the first read, every later read
    int reads;
    int writes;
};

Stage gStage;
std::vector<std::string> gCalls;

std::string Call(const std::string& name, std::initializer_list<std::string> args = {}) {
    std::string text = name + "(";
    const char* separator = "";
    for (const std::string& arg : args) {
        text += separator + arg;
        separator = ",";
    }
    return text + ")";
}

ResourceFigures Figures() {
    ResourceFigures figures;
    for (int i = 0; i < kFigureCount; i++)
        figures.counts[i] = gStage.figureSeed * 0x0123456789ABULL * static_cast<unsigned>(i + 1);
    return figures;
}

std::string Describe(const RegistryWrite& write) {
    return Call("writeValue", {write.root == kLocalMachine ? "HKLM" : "HKCU", write.key[0],
                               write.key[1], write.name, std::to_string(write.type),
                               UnitBytes(write.text, write.length)});
}

// The stand-ins record each call and answer as the stage says. Whether the
// station is visible is a question, not a step: it is not recorded.
int WindowStationVisible() {
    return gStage.visible;
}
void ReadRegistration(Registration* registration) {
    gCalls.push_back(Call("readRegistration"));
    *registration = *gStage.registrations[gStage.reads ? 1 : 0].get();
    gStage.reads++;
}
void MeasureResources(ResourceFigures* figures) {
    gCalls.push_back(Call("measureResources"));
    *figures = Figures();
}
int WriteFile(const char* path, const char* bytes, size_t length, int show) {
    gCalls.push_back(Call("writeFile", {path, std::string(bytes, length), std::to_string(show)}));
    return std::string(path) == kResourceLogPath ? gStage.logMade : gStage.helpMade;
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
int RunInnerInstaller(wchar_t* commandLine, unsigned long* exitCode) {
    const size_t length = wcslen(commandLine);
    for (size_t i = 0; i <= length; i++) {
        volatile wchar_t* unit = commandLine + i;
        *unit = *unit;
    }
    gCalls.push_back(Call("runInnerInstaller", {UnitBytes(commandLine, length)}));
    *exitCode = gStage.exitCode;
    return gStage.innerEnds;
}
int WriteValue(const RegistryWrite* write) {
    gCalls.push_back(Describe(*write));
    return (gStage.writesSucceed >> (gStage.writes++ % kRepairCount)) & 1;
}

const LauncherOps kOps = {
    WindowStationVisible, ReadRegistration,  MeasureResources, WriteFile,
    ShowReport,           ShowDialog,        RunInnerInstaller, WriteValue,
};

std::string ResourceLog() {
    const ResourceFigures figures = Figures();
    char log[kResourceLogSize];
    const size_t length = ComposeResourceLog(&figures, log, sizeof log);
    return std::string(log, length);
}

const std::string& HelpFile() {
    static const std::string help = [] {
        std::string bytes(kHelpFileSize, '\0');
        bytes.resize(ComposeHelpFile(bytes.data(), bytes.size()));
        return bytes;
    }();
    return help;
}

std::string BuildLevelText(const Registration* r) {
    wchar_t text[kBuildLevelTextSize];
    FUZZ_CHECK(ComposeBuildLevelText(text, kBuildLevelTextSize, r) == 1);
    return UnitBytes(text, wcslen(text));
}

// What the launcher must do for these arguments on this stage, worked out
// here step by step from the switches and the stage.
int ExpectedRun(const std::wstring& args, std::vector<std::string>* calls) {
    auto has = [&args](const wchar_t* name) { return args.find(name) != std::wstring::npos; };
    const Registration* before = gStage.registrations[0].get();
    const Registration* after = gStage.registrations[1].get();
    if (has(L"/LOGRESOURCES")) {
        calls->push_back(Call("measureResources"));
        calls->push_back(Call("writeFile", {"c:\\LOGRESOURCES.txt", ResourceLog(), "0"}));
    }
    if (has(L"/?")) {
        calls->push_back(
            Call("writeFile", {"helpFILE.txt", HelpFile(), std::to_string(gStage.visible)}));
        return 0;
    }
    if (has(L"/vd")) {
        if (gStage.visible)
            calls->push_back(Call(
                "showReport", {UnitBytes(Widened(std::string("VNR Build 4.50, ") + kBuildDate))}));
        return 0;
    }
    if (has(L"/bl")) {
        if (gStage.visible) {
            calls->push_back(Call("readRegistration"));
            calls->push_back(Call("showReport", {BuildLevelText(before)}));
        }
        return 0;
    }
    const bool removing = has(L"/x");
    if (!removing) {
        calls->push_back(Call("readRegistration"));
        if (IsInstalled(before)) {
            if (gStage.visible) {
                const int dialog =
                    ChooseDialogId(&before->clientLevel, SelectLanguage(args.c_str()));
                calls->push_back(Call("showDialog", {std::to_string(dialog)}));
            }
            return 1;
        }
    }
    const std::wstring command = L"_Setup.exe " + args;
    if (command.size() + 1 > 32767)
        return 206;  // longer than the system takes: not started
    calls->push_back(Call("runInnerInstaller", {UnitBytes(command)}));
    const int code = static_cast<int>(gStage.exitCode);
    if (!gStage.innerEnds || removing)
        return code;
    calls->push_back(Call("readRegistration"));
    RegistryWrite writes[kRepairCount];
    const int count = PlanRepairs(after, writes);
    for (int i = 0; i < count; i++)
        calls->push_back(Describe(writes[i]));
    return code;
}

bool IsShown(const std::string& call) {
    return StartsWith(call, "showReport(") || StartsWith(call, "showDialog(") ||
           (StartsWith(call, "writeFile(") && call.compare(call.size() - 3, 3, ",1)") == 0);
}

void PrintCalls(const char* title, const std::vector<std::string>& calls) {
    fprintf(stderr, "%s\n", title);
    for (const std::string& call : calls)
        fprintf(stderr, "  %.300s%s\n", call.c_str(), call.size() > 300 ? "..." : "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t flags = reader.Byte();
    gStage.visible = flags & 1;
    gStage.innerEnds = flags & 2;
    gStage.logMade = flags & 4;
    gStage.helpMade = flags & 8;
    gStage.exitCode = static_cast<uint32_t>(reader.Number(4));
    gStage.writesSucceed = reader.Byte() & 0x3F;
    gStage.figureSeed = reader.Byte();
    for (HeapRegistration& registration : gStage.registrations) {
        Registration* r = registration.get();
        memset(r, 0, sizeof *r);
        const uint8_t keys = reader.Byte();
        r->productKey = keys & 1;
        r->uninstallKeyByName = (keys & 2) != 0;
        r->alternateUninstallKey = (keys & 4) != 0;
        r->mainUninstallKey = (keys & 8) != 0;
        r->clientLevel = TakeValue(reader, r->productKey);
        r->buildLevel = TakeValue(reader, r->productKey);
        r->directory = TakeValue(reader, r->productKey);
        r->installDate = TakeValue(reader, r->mainUninstallKey);
        r->lastUsedSource = TakeValue(reader, true);
        r->netSource = TakeValue(reader, true);
    }
    gStage.reads = 0;
    gStage.writes = 0;
    const std::string rest = reader.Rest(reader.left);
    HeapWide args(rest);
    const std::wstring argText = args.data;  // the text ends at its first NUL

    gCalls.clear();
    const int exitCode = RunLauncher(args.data, &kOps);

    std::vector<std::string> expected;
    const int expectedCode = ExpectedRun(argText, &expected);
    if (gCalls != expected) {
        PrintCalls("calls made:", gCalls);
        PrintCalls("calls expected:", expected);
    }
    FUZZ_CHECK(gCalls == expected);
    FUZZ_CHECK(exitCode == expectedCode);

    // The same, as the rules stand on their own.
    auto has = [&argText](const wchar_t* name) {
        return argText.find(name) != std::wstring::npos;
    };
    if (!gStage.visible) {
        for (const std::string& call : gCalls)
            FUZZ_CHECK(!IsShown(call));
    }
    if (has(L"/?") || has(L"/vd") || (has(L"/bl") ? !gStage.visible : has(L"/x")))
        FUZZ_CHECK(gStage.reads == 0);
    if (gStage.writes > 0)
        FUZZ_CHECK(gStage.innerEnds && !has(L"/x") && !has(L"/?") && !has(L"/vd") &&
                   !has(L"/bl"));
    return 0;
}
