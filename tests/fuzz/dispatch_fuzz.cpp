// The whole dispatch over recording stand-in operations. The input's first
// nine bytes decide what the stand-ins return; the rest is the argument text.
//   byte 0: bit 0 the resource log is written, bit 1 the inner installer runs
//           to its end, bit 2 the window station is visible
//   byte 1: bits 0-5 the already-installed check shows a dialog for pair 1-6
//   byte 2: bits 0-1 the build-level report opens the trailing/plain form,
//           bits 2-3 ClientLevel is found in the plain/trailing form
//   byte 3, 4: bits 0-5 repair 1-6 is done in the trailing/plain form
//   bytes 5-8: the inner installer's exit code (or the system's error code)
// Properties: the calls are exactly those of one path, in order, with the
// right key paths; nothing is shown in an invisible window station; the
// inner command is "_Setup.exe " and the whole argument text in a writable
// buffer of at least its length; the exit code is 1 after a refusal, 0
// after a report, else the inner installer's code.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_support.h"
#include "launcher/dispatch.h"

namespace {

struct Stage {
    bool logWritten;
    bool innerStarts;
    bool visible;
    unsigned checkShows;
    bool buildLevelTrailing;
    bool buildLevelPlain;
    bool clientLevelPlain;
    bool clientLevelTrailing;
    unsigned repairTrailing;
    unsigned repairPlain;
    uint32_t exitCode;
};

Stage gStage;
std::vector<std::string> gCalls;

// Key paths written out here, independently of the product's tables.
const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kProduct = "SOFTWARE\\Omrik\\Moltrek";
const std::string kMain = kUninstallRoot + "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}";
const std::string kUninstallKeys[3] = {
    kUninstallRoot + "Omrik Vindara",
    kUninstallRoot + "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}",
    kMain,
};
const std::string kSourceList =
    "Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94\\SourceList";

std::string Form(const std::string& path, bool trailing) {
    return trailing ? path + "\\" : path;
}

std::string Call(const std::string& name, std::initializer_list<std::string> args = {}) {
    std::string text = name + "(";
    const char* separator = "";
    for (const std::string& arg : args) {
        text += separator + arg;
        separator = ",";
    }
    return text + ")";
}

// The stand-ins record each call and answer as the stage says. Repairs are
// told apart by their value name and form.
int RepairResult(int step, const char* productKey) {
    bool trailing = std::string(productKey) == kProduct + "\\";
    unsigned bits = trailing ? gStage.repairTrailing : gStage.repairPlain;
    return (bits >> step) & 1;
}

int WriteResourceLog(const char* path) {
    gCalls.push_back(Call("writeResourceLog", {path}));
    return gStage.logWritten;
}
int WindowStationVisible() { return gStage.visible; }
void WriteHelpFile(int show) { gCalls.push_back(Call("writeHelpFile", {std::to_string(show)})); }
void ShowVersionDate() { gCalls.push_back(Call("showVersionDate")); }
int ShowBuildLevel(const char* uninstallKey, const char* productKey) {
    gCalls.push_back(Call("showBuildLevel", {uninstallKey, productKey}));
    bool trailing = std::string(productKey) == kProduct + "\\";
    return trailing ? gStage.buildLevelTrailing : gStage.buildLevelPlain;
}
void ShowNotInstalled() { gCalls.push_back(Call("showNotInstalled")); }
int CheckInstalledProduct(const char* uninstallKey, const char* productKey, int language,
                          int show) {
    gCalls.push_back(Call("checkInstalledProduct", {uninstallKey, productKey,
                                                    std::to_string(language), std::to_string(show)}));
    int pair = 0;
    for (bool trailing : {false, true}) {
        for (const std::string& key : kUninstallKeys) {
            if (Form(key, trailing) == uninstallKey)
                return (gStage.checkShows >> pair) & 1;
            pair++;
        }
    }
    return 0;
}
// The command line must be writable, as CreateProcessA may change it in
// place: write every byte of it, NUL included, so the sanitizer sees a
// buffer that is too short.
int RunInnerInstaller(char* commandLine, unsigned long* exitCode) {
    size_t length = strlen(commandLine);
    for (size_t i = 0; i <= length; i++) {
        volatile char* byte = commandLine + i;
        *byte = *byte;
    }
    gCalls.push_back(Call("runInnerInstaller", {commandLine}));
    *exitCode = gStage.exitCode;
    return gStage.innerStarts;
}
int HasClientLevel(const char* uninstallKey, const char* productKey) {
    gCalls.push_back(Call("hasClientLevel", {uninstallKey, productKey}));
    bool trailing = std::string(productKey) == kProduct + "\\";
    return trailing ? gStage.clientLevelTrailing : gStage.clientLevelPlain;
}
int WriteBuildLevel(const char* productKey) {
    gCalls.push_back(Call("writeBuildLevel", {productKey}));
    return RepairResult(0, productKey);
}
int RewriteSourceListValue(const char* sourceKey, const char* valueName, const char* productKey) {
    gCalls.push_back(Call("rewriteSourceListValue", {sourceKey, valueName, productKey}));
    return RepairResult(std::string(valueName) == "1" ? 2 : 1, productKey);
}
// The uninstall values by what they are made of, in repair order.
const char* const kUninstallValueNames[] = {"removal command", "directory", "package copy"};
int RewriteUninstallValue(const char* uninstallKey, const char* valueName, UninstallValue value,
                          const char* productKey) {
    gCalls.push_back(Call("rewriteUninstallValue",
                          {uninstallKey, valueName, kUninstallValueNames[value], productKey}));
    return RepairResult(3 + static_cast<int>(value), productKey);
}

const LauncherOps kOps = {
    WindowStationVisible,  WriteResourceLog,       WriteHelpFile,
    ShowVersionDate,       ShowBuildLevel,         ShowNotInstalled,
    CheckInstalledProduct, RunInnerInstaller,      HasClientLevel,
    WriteBuildLevel,       RewriteSourceListValue, RewriteUninstallValue,
};

int ReferenceLanguage(const std::string& args) {
    static const int kLanguages[] = {1030, 1031, 1033, 1034, 1035, 1036,
                                     1040, 1041, 1043, 1053, 2068, 2070};
    size_t found = args.find("/l");
    if (found == std::string::npos)
        return 1033;
    long value = strtol(args.substr(found + 2, 4).c_str(), nullptr, 10);
    for (int language : kLanguages) {
        if (language == value)
            return language;
    }
    return 1033;
}

// The repair calls of one step in one form.
std::string RepairCall(int step, bool trailing) {
    const std::string u = Form(kMain, trailing);
    const std::string p = Form(kProduct, trailing);
    switch (step) {
    case 0:
        return Call("writeBuildLevel", {p});
    case 1:
        return Call("rewriteSourceListValue", {Form(kSourceList, trailing), "LastUsedSource", p});
    case 2:
        return Call("rewriteSourceListValue", {Form(kSourceList + "\\Net", trailing), "1", p});
    case 3:
        return Call("rewriteUninstallValue", {u, "UninstallString", "removal command", p});
    case 4:
        return Call("rewriteUninstallValue", {u, "ModifyPath", "directory", p});
    default:
        return Call("rewriteUninstallValue", {u, "LocalPackage", "package copy", p});
    }
}

// What the launcher must do for these arguments on this stage, worked out
// here step by step from the switches and the stage, not from its tables.
int ExpectedRun(const std::string& args, std::vector<std::string>* calls) {
    auto has = [&args](const char* name) { return args.find(name) != std::string::npos; };
    if (has("/LOGRESOURCES")) {
        calls->push_back(Call("writeResourceLog", {"c:\\LOGRESOURCES.txt"}));
    }
    const std::string show = gStage.visible ? "1" : "0";
    if (has("/?")) {
        calls->push_back(Call("writeHelpFile", {show}));
        return 0;
    }
    if (has("/vd")) {
        if (gStage.visible)
            calls->push_back(Call("showVersionDate"));
        return 0;
    }
    if (has("/bl") && !gStage.visible)
        return 0;
    if (has("/bl")) {
        calls->push_back(Call("showBuildLevel", {kMain + "\\", kProduct + "\\"}));
        if (!gStage.buildLevelTrailing) {
            calls->push_back(Call("showBuildLevel", {kMain, kProduct}));
            if (!gStage.buildLevelPlain)
                calls->push_back(Call("showNotInstalled"));
        }
        return 0;
    }
    const bool uninstalling = has("/x");
    if (!uninstalling) {
        const std::string language = std::to_string(ReferenceLanguage(args));
        int pair = 0;
        for (bool trailing : {false, true}) {
            for (const std::string& key : kUninstallKeys) {
                calls->push_back(Call("checkInstalledProduct", {Form(key, trailing),
                                                                Form(kProduct, trailing),
                                                                language, show}));
                if ((gStage.checkShows >> pair++) & 1)
                    return 1;
            }
        }
    }
    calls->push_back(Call("runInnerInstaller", {"_Setup.exe " + args}));
    const int code = static_cast<int>(gStage.exitCode);
    if (!gStage.innerStarts || uninstalling)
        return code;
    calls->push_back(Call("hasClientLevel", {kMain, kProduct}));
    bool registered = gStage.clientLevelPlain;
    if (!registered) {
        calls->push_back(Call("hasClientLevel", {kMain + "\\", kProduct + "\\"}));
        registered = gStage.clientLevelTrailing;
    }
    if (registered) {
        for (int step = 0; step < 6; step++) {
            calls->push_back(RepairCall(step, true));
            if (!((gStage.repairTrailing >> step) & 1))
                calls->push_back(RepairCall(step, false));
        }
    }
    return code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t flags = reader.Byte();
    gStage.logWritten = flags & 1;
    gStage.innerStarts = flags & 2;
    gStage.visible = flags & 4;
    gStage.checkShows = reader.Byte() & 0x3F;
    const uint8_t reports = reader.Byte();
    gStage.buildLevelTrailing = reports & 1;
    gStage.buildLevelPlain = reports & 2;
    gStage.clientLevelPlain = reports & 4;
    gStage.clientLevelTrailing = reports & 8;
    gStage.repairTrailing = reader.Byte() & 0x3F;
    gStage.repairPlain = reader.Byte() & 0x3F;
    gStage.exitCode = static_cast<uint32_t>(reader.Number(4));
    const std::string rest = reader.Rest(reader.left);
    HeapBytes args = HeapBytes::Terminated(rest.data(), rest.size());

    gCalls.clear();
    const int exitCode = RunLauncher(args.data, &kOps);

    std::vector<std::string> expected;
    const int expectedCode = ExpectedRun(args.data, &expected);
    if (gCalls != expected) {
        fprintf(stderr, "calls made:\n");
        for (const std::string& call : gCalls)
            fprintf(stderr, "  %s\n", call.c_str());
        fprintf(stderr, "calls expected:\n");
        for (const std::string& call : expected)
            fprintf(stderr, "  %s\n", call.c_str());
    }
    FUZZ_CHECK(gCalls == expected);
    FUZZ_CHECK(exitCode == expectedCode);
    return 0;
}
