// The fault matrix: hostile registry contents and a failing environment,
// each run through Setup.exe and checked for exit code, what appears on
// screen, and the registry before and after. Every value that is not meant
// to change must stay byte for byte as it was. One case is one line.
#include <ctype.h>

#include <ostream>
#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "tests/support/version_text.h"

namespace {

// A value of the registration stored in its key before the run, and one the
// run is expected to write, each by its exact bytes.
struct Seed {
    ValueId value;
    DWORD type;
    std::string data;
};

struct Change {
    ValueId value;
    std::string data;  // as stored, NUL included
};

enum Fault { kNone, kNoInnerInstaller, kInnerCrashes, kInnerFails1603, kInnerNeedsRestart3010,
             kInnerBroadcasts, kHelpLocked, kLogLocked };

struct FaultCase {
    const char* what;
    std::vector<Seed> seeds;
    const char* args;
    Fault fault;
    DWORD exitCode;
    const char* window;  // text expected in the one window shown; NULL: none
    std::vector<Change> changes;
};

std::string Z(const std::string& text) {
    return text + '\0';
}

std::string Fill(size_t count, char c) {
    return std::string(count, c);
}

// A registered installation that the check does not refuse (no "/" in
// ClientLevel), so the repairs run over whatever else is seeded.
std::vector<Seed> Installed(std::vector<Seed> more = {}) {
    std::vector<Seed> seeds = {
        {kClientLevelId, REG_SZ, Z("VNR 4.50")},
        {kDirectoryId, REG_SZ, Z("D:\\Apps\\")},
        {kInstallDateId, REG_SZ, Z("20261208")},
        {kUninstallStringId, REG_SZ, Z("MsiExec.exe /X{x}")},
        {kModifyPathId, REG_SZ, Z("MsiExec.exe /I{x}")},
        {kLocalPackageId, REG_SZ, Z("C:\\windows\\Installer\\1.msi")},
        {kLastUsedSourceId, REG_SZ, Z("n;1;E:\\Media\\")},
        {kNetSourceId, REG_SZ, Z("E:\\Media\\")},
    };
    for (const Seed& seed : more) {
        bool replaced = false;
        for (Seed& old : seeds) {
            if (old.value == seed.value) {
                old = seed;
                replaced = true;
            }
        }
        if (!replaced)
            seeds.push_back(seed);
    }
    return seeds;
}

std::vector<Seed> Without(ValueId value) {
    std::vector<Seed> seeds = Installed();
    for (size_t i = 0; i < seeds.size(); i++) {
        if (seeds[i].value == value)
            seeds.erase(seeds.begin() + (long)i);
    }
    return seeds;
}

// The six repaired values for a Directory text d.
std::vector<Change> Repaired(const std::string& d) {
    std::vector<Change> changes;
    for (const ValueText& value : RepairedValues(d))
        changes.push_back({value.value, Z(value.text)});
    return changes;
}

std::vector<Change> Only(std::vector<Change> all, std::vector<ValueId> values) {
    std::vector<Change> kept;
    for (const Change& change : all) {
        for (ValueId value : values) {
            if (change.value == value)
                kept.push_back(change);
        }
    }
    return kept;
}

const std::vector<Change> kBuildLevelOnly = {{kBuildLevelId, Z(SETUP_BUILD_DATE)}};
const std::string k258 = "D:\\" + Fill(254, 'a') + "\\";  // 259 bytes with its NUL
const std::string k259 = "D:\\" + Fill(255, 'a') + "\\";  // 260 bytes with its NUL

const FaultCase kCases[] = {
    {"nothing installed", {}, "/qn", kNone, 0, NULL, {}},
    {"registered installation", Installed(), "/qn", kNone, 0, NULL, Repaired("D:\\Apps\\")},
    {"product key without uninstall key", {{kClientLevelId, REG_SZ, Z("VNR/3")}}, "/qn", kNone,
     0, NULL, {}},
    {"uninstall key without product key", {{kInstallDateId, REG_SZ, Z("1")}}, "/qn", kNone, 0,
     NULL, {}},
    {"ClientLevel with garbage after the slash", Installed({{kClientLevelId, REG_SZ,
     Z("VNR/abc")}}), "/qn", kNone, 1, "is already installed", {}},
    {"ClientLevel as a number", Installed({{kClientLevelId, REG_DWORD, "\x04\0\0\0"}}), "/qn",
     kNone, 0, NULL, Repaired("D:\\Apps\\")},
    {"ClientLevel as binary with a slash", Installed({{kClientLevelId, REG_BINARY, "V/4"}}),
     "/qn", kNone, 1, "is already installed", {}},
    {"ClientLevel empty", Installed({{kClientLevelId, REG_SZ, ""}}), "/qn", kNone, 0, NULL,
     Repaired("D:\\Apps\\")},
    {"ClientLevel of 300 bytes", Installed({{kClientLevelId, REG_SZ, Z("VNR/" + Fill(295,
     '4'))}}), "/qn", kNone, 0, NULL, {}},
    {"Directory missing", Without(kDirectoryId), "/qn", kNone, 0, NULL, kBuildLevelOnly},
    {"Directory as a number", Installed({{kDirectoryId, REG_DWORD, "\x01\0\0\0"}}), "/qn",
     kNone, 0, NULL, kBuildLevelOnly},
    {"Directory as binary", Installed({{kDirectoryId, REG_BINARY, "D:\\Apps\\"}}), "/qn",
     kNone, 0, NULL, kBuildLevelOnly},
    {"Directory as multi-string", Installed({{kDirectoryId, REG_MULTI_SZ,
     Z(Z("D:\\Apps\\"))}}), "/qn", kNone, 0, NULL, kBuildLevelOnly},
    {"Directory empty", Installed({{kDirectoryId, REG_SZ, Z("")}}), "/qn", kNone, 0, NULL,
     kBuildLevelOnly},
    {"Directory without trailing backslash", Installed({{kDirectoryId, REG_SZ,
     Z("D:\\Apps")}}), "/qn", kNone, 0, NULL, Repaired("D:\\Apps")},
    {"Directory without NUL", Installed({{kDirectoryId, REG_SZ, "D:\\Apps\\"}}), "/qn", kNone,
     0, NULL, Repaired("D:\\Apps\\")},
    {"Directory of 259 bytes", Installed({{kDirectoryId, REG_SZ, Z(k258)}}), "/qn", kNone, 0,
     NULL, Only(Repaired(k258), {kBuildLevelId, kModifyPathId, kNetSourceId})},
    {"Directory of 260 bytes", Installed({{kDirectoryId, REG_SZ, Z(k259)}}), "/qn", kNone, 0,
     NULL, Only(Repaired(k259), {kBuildLevelId, kModifyPathId, kNetSourceId})},
    {"Directory of 300 bytes", Installed({{kDirectoryId, REG_SZ, Z(k259 + Fill(40, 'b'))}}),
     "/qn", kNone, 0, NULL, kBuildLevelOnly},
    {"source without colon", Installed({{kNetSourceId, REG_SZ, Z("\\\\server\\share\\")}}),
     "/qn", kNone, 0, NULL, Only(Repaired("D:\\Apps\\"), {kBuildLevelId, kLastUsedSourceId,
     kUninstallStringId, kModifyPathId, kLocalPackageId})},
    {"source as a number", Installed({{kLastUsedSourceId, REG_DWORD, "\x3a\0\0\0"}}), "/qn",
     kNone, 0, NULL, Only(Repaired("D:\\Apps\\"), {kBuildLevelId, kNetSourceId,
     kUninstallStringId, kModifyPathId, kLocalPackageId})},
    {"source as multi-string", Installed({{kLastUsedSourceId, REG_MULTI_SZ,
     Z(Z("n;1;E:\\Media\\"))}}), "/qn", kNone, 0, NULL, Repaired("D:\\Apps\\")},
    {"source of 300 bytes", Installed({{kLastUsedSourceId, REG_SZ, Z("n;1;E:" + Fill(293,
     's'))}}), "/qn", kNone, 0, NULL, Only(Repaired("D:\\Apps\\"), {kBuildLevelId, kNetSourceId,
     kUninstallStringId, kModifyPathId, kLocalPackageId})},
    {"source empty", Installed({{kLastUsedSourceId, REG_SZ, Z("")}}), "/qn", kNone, 0, NULL,
     Only(Repaired("D:\\Apps\\"), {kBuildLevelId, kNetSourceId, kUninstallStringId,
     kModifyPathId, kLocalPackageId})},
    {"inner installer missing", Installed(), "/qn", kNoInnerInstaller, ERROR_FILE_NOT_FOUND,
     NULL, {}},
    {"inner installer crashes", Installed(), "/qn", kInnerCrashes, 0xC0000005, NULL,
     Repaired("D:\\Apps\\")},
    {"inner installer fails with 1603", {}, "/qn", kInnerFails1603, 1603, NULL, {}},
    {"inner installer wants a restart", Installed(), "/qn", kInnerNeedsRestart3010, 3010, NULL,
     Repaired("D:\\Apps\\")},
    {"inner installer broadcasts a setting change", Installed(), "/qn", kInnerBroadcasts, 0, NULL,
     Repaired("D:\\Apps\\")},
    {"removal over an installation", Installed(), "/x /qn", kNone, 0, NULL, {}},
    {"help file cannot be written", Installed(), "/?", kHelpLocked, 0, NULL, {}},
    {"log cannot be written", Installed(), "/LOGRESOURCES /vd", kLogLocked, 0,
     VERSION_REPORT_TEXT, {}},
    {"build level of odd types", Installed({{kBuildLevelId, REG_DWORD, "\x41\x42\0\0"},
     {kInstallDateId, REG_BINARY, "20261208"}}), "/bl", kNone, 0,
     "Build date :\t AB\nClient Level :\t VNR 4.50\nInstallDir :\t D:\\Apps\\\n"
     "InstallDate :\t 20261208\n", {}},
    {"build level values of 300 bytes", Installed({{kDirectoryId, REG_SZ, Z(Fill(299, 'd'))}}),
     "/bl", kNone, 0, "InstallDir :\t unknown\n", {}},
};

// Each case is a test of its own, named after its description: the words
// run together, each begun with a capital ("Directory of 259 bytes" is
// DirectoryOf259Bytes).
std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
    std::string name;
    bool wordStart = true;
    for (const char* p = info.param.what; *p; p++) {
        if (!isalnum((unsigned char)*p)) {
            wordStart = true;
        } else {
            name += wordStart ? (char)toupper((unsigned char)*p) : *p;
            wordStart = false;
        }
    }
    return name;
}

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.what;
}

class FaultMatrixTest : public LauncherTest, public ::testing::WithParamInterface<FaultCase> {};

std::string ExportLine(const RegValue& value) {
    char head[64];
    snprintf(head, sizeof head, " type=%lu length=%u ", value.type, (unsigned)value.data.size());
    return "  \"" + value.name + "\"" + head + Printable(value.data) + "\n";
}

}  // namespace

TEST_P(FaultMatrixTest, EndsAsExpected) {
    const FaultCase& c = GetParam();
    for (const Seed& seed : c.seeds)
        ASSERT_TRUE(WriteRegValue(seed.value, seed.type, seed.data));
    std::string before = ExportProductKeys();
    // Values expected to change are read before, so the export after can
    // be predicted from the export before.
    std::vector<std::pair<std::string, std::string>> edits;
    for (const Change& change : c.changes) {
        RegValue old;
        bool existed = ReadRegValue(change.value, &old);
        // Repaired values take the type of Directory, text in every case here.
        RegValue now = {kRegistrationValues[change.value].name, REG_SZ, change.data};
        edits.push_back({existed ? ExportLine(old) : "", ExportLine(now)});
    }
    SetStandIn("STANDIN_EXIT_CODE", c.fault == kInnerFails1603          ? "1603"
                                    : c.fault == kInnerNeedsRestart3010 ? "3010"
                                                                        : "0");
    SetStandIn("STANDIN_CRASH", c.fault == kInnerCrashes ? "1" : "0");
    SetStandIn("STANDIN_BROADCAST", c.fault == kInnerBroadcasts ? "1" : "0");
    if (c.fault == kNoInnerInstaller)
        ASSERT_TRUE(DeleteFileA(MediaFile("_Setup.exe").c_str()));
    HANDLE lock = INVALID_HANDLE_VALUE;
    const std::string locked = c.fault == kHelpLocked ? MediaFile("helpFILE.txt")
                                                      : std::string("C:\\LOGRESOURCES.txt");
    if (c.fault == kHelpLocked || c.fault == kLogLocked) {
        WriteWholeFile(locked, "kept");
        lock = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                           NULL);
    }

    // A launcher that hangs on the broadcast hangs for good: give up early.
    RunResult run = RunSetup(c.args, kCloseByCloseButton, SW_SHOWDEFAULT,
                             c.fault == kInnerBroadcasts ? 20000 : 0);

    if (lock != INVALID_HANDLE_VALUE) {
        CloseHandle(lock);
        std::string bytes;
        ReadWholeFile(locked, &bytes);
        EXPECT_EQ(bytes, "kept");
        DeleteFileA(locked.c_str());
    }
    EXPECT_EQ(run.exitCode, c.exitCode);
    if (c.window) {
        ASSERT_EQ(run.windows.size(), 1u);
        std::string texts;
        for (const std::string& text : WindowTexts(run.windows[0]))
            texts += text;
        EXPECT_NE(texts.find(c.window), std::string::npos) << texts;
    } else {
        EXPECT_TRUE(run.windows.empty());
    }
    std::string expected = before;
    std::string after = ExportProductKeys();
    for (const auto& edit : edits) {
        if (edit.first.empty()) {
            // A new value: take it out of the export after.
            size_t at = after.find(edit.second);
            EXPECT_NE(at, std::string::npos) << "not written: " << edit.second;
            if (at != std::string::npos)
                after.erase(at, edit.second.size());
        } else {
            size_t at = expected.find(edit.first);
            ASSERT_NE(at, std::string::npos) << edit.first;
            expected.replace(at, edit.first.size(), edit.second);
        }
    }
    EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FaultMatrixTest, ::testing::ValuesIn(kCases), CaseName);
