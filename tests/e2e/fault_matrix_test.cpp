// The fault matrix: hostile registry contents and a failing environment,
// each run through Setup.exe and checked for exit code, what appears on
// screen, and the registry before and after. Every value that is not meant
// to change must stay byte for byte as it was. One case is one line.
#include <ctype.h>
#include <stdlib.h>

#include <ostream>
#include <string>
#include <vector>

#include "detect/registry_paths.h"
#include "tests/e2e/launcher_fixture.h"
#include "tests/support/version_text.h"

namespace {

// Where a value lives: the product key, the main uninstall key, the source
// list key and its network source key.
enum Where { P, U, L, N };

struct Seed {
    Where where;
    const char* name;
    DWORD type;
    std::string data;
};

struct Change {
    Where where;
    const char* name;
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

HKEY RootOf(Where where) {
    return where == P || where == U ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char* const* const kKeys[] = {kProductKey, kMainUninstallKey, kSourceListKey,
                                    kNetSourceKey};

const char* KeyOf(Where where) {
    return kKeys[where][kPlainForm];
}

Where WhereOf(HKEY root, const char* const* key) {
    for (Where where : {P, U, L, N}) {
        if (kKeys[where] == key && RootOf(where) == root)
            return where;
    }
    abort();  // a key this table does not seed
}

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
        {P, "ClientLevel", REG_SZ, Z("VNR 4.50")},
        {P, "Directory", REG_SZ, Z("D:\\Apps\\")},
        {U, "InstallDate", REG_SZ, Z("20261208")},
        {U, "UninstallString", REG_SZ, Z("MsiExec.exe /X{x}")},
        {U, "ModifyPath", REG_SZ, Z("MsiExec.exe /I{x}")},
        {U, "LocalPackage", REG_SZ, Z("C:\\windows\\Installer\\1.msi")},
        {L, "LastUsedSource", REG_SZ, Z("n;1;E:\\Media\\")},
        {N, "1", REG_SZ, Z("E:\\Media\\")},
    };
    for (const Seed& seed : more) {
        bool replaced = false;
        for (Seed& old : seeds) {
            if (old.where == seed.where && std::string(old.name) == seed.name) {
                old = seed;
                replaced = true;
            }
        }
        if (!replaced)
            seeds.push_back(seed);
    }
    return seeds;
}

std::vector<Seed> Without(Where where, const char* name) {
    std::vector<Seed> seeds = Installed();
    for (size_t i = 0; i < seeds.size(); i++) {
        if (seeds[i].where == where && std::string(seeds[i].name) == name)
            seeds.erase(seeds.begin() + (long)i);
    }
    return seeds;
}

// The six repaired values for a Directory text d.
std::vector<Change> Repaired(const std::string& d) {
    std::vector<Change> changes;
    for (const ValueText& value : RepairedValues(d))
        changes.push_back({WhereOf(value.root, value.key), value.name, Z(value.text)});
    return changes;
}

std::vector<Change> Only(std::vector<Change> all, std::vector<const char*> names) {
    std::vector<Change> kept;
    for (const Change& change : all) {
        for (const char* name : names) {
            if (std::string(change.name) == name)
                kept.push_back(change);
        }
    }
    return kept;
}

const std::vector<Change> kBuildLevelOnly = {{P, "Build Level", Z(SETUP_BUILD_DATE)}};
const std::string k258 = "D:\\" + Fill(254, 'a') + "\\";  // 259 bytes with its NUL
const std::string k259 = "D:\\" + Fill(255, 'a') + "\\";  // 260 bytes with its NUL

const FaultCase kCases[] = {
    {"nothing installed", {}, "/qn", kNone, 0, NULL, {}},
    {"registered installation", Installed(), "/qn", kNone, 0, NULL, Repaired("D:\\Apps\\")},
    {"product key without uninstall key", {{P, "ClientLevel", REG_SZ, Z("VNR/3")}}, "/qn", kNone,
     0, NULL, {}},
    {"uninstall key without product key", {{U, "InstallDate", REG_SZ, Z("1")}}, "/qn", kNone, 0,
     NULL, {}},
    {"ClientLevel with garbage after the slash", Installed({{P, "ClientLevel", REG_SZ,
     Z("VNR/abc")}}), "/qn", kNone, 1, "is already installed", {}},
    {"ClientLevel as a number", Installed({{P, "ClientLevel", REG_DWORD, "\x04\0\0\0"}}), "/qn",
     kNone, 0, NULL, Repaired("D:\\Apps\\")},
    {"ClientLevel as binary with a slash", Installed({{P, "ClientLevel", REG_BINARY, "V/4"}}),
     "/qn", kNone, 1, "is already installed", {}},
    {"ClientLevel empty", Installed({{P, "ClientLevel", REG_SZ, ""}}), "/qn", kNone, 0, NULL,
     Repaired("D:\\Apps\\")},
    {"ClientLevel of 300 bytes", Installed({{P, "ClientLevel", REG_SZ, Z("VNR/" + Fill(295,
     '4'))}}), "/qn", kNone, 0, NULL, {}},
    {"Directory missing", Without(P, "Directory"), "/qn", kNone, 0, NULL, kBuildLevelOnly},
    {"Directory as a number", Installed({{P, "Directory", REG_DWORD, "\x01\0\0\0"}}), "/qn",
     kNone, 0, NULL, kBuildLevelOnly},
    {"Directory as binary", Installed({{P, "Directory", REG_BINARY, "D:\\Apps\\"}}), "/qn",
     kNone, 0, NULL, kBuildLevelOnly},
    {"Directory as multi-string", Installed({{P, "Directory", REG_MULTI_SZ,
     Z(Z("D:\\Apps\\"))}}), "/qn", kNone, 0, NULL, kBuildLevelOnly},
    {"Directory empty", Installed({{P, "Directory", REG_SZ, Z("")}}), "/qn", kNone, 0, NULL,
     kBuildLevelOnly},
    {"Directory without trailing backslash", Installed({{P, "Directory", REG_SZ,
     Z("D:\\Apps")}}), "/qn", kNone, 0, NULL, Repaired("D:\\Apps")},
    {"Directory without NUL", Installed({{P, "Directory", REG_SZ, "D:\\Apps\\"}}), "/qn", kNone,
     0, NULL, Repaired("D:\\Apps\\")},
    {"Directory of 259 bytes", Installed({{P, "Directory", REG_SZ, Z(k258)}}), "/qn", kNone, 0,
     NULL, Only(Repaired(k258), {"Build Level", "ModifyPath", "1"})},
    {"Directory of 260 bytes", Installed({{P, "Directory", REG_SZ, Z(k259)}}), "/qn", kNone, 0,
     NULL, Only(Repaired(k259), {"Build Level", "ModifyPath", "1"})},
    {"Directory of 300 bytes", Installed({{P, "Directory", REG_SZ, Z(k259 + Fill(40, 'b'))}}),
     "/qn", kNone, 0, NULL, kBuildLevelOnly},
    {"source without colon", Installed({{N, "1", REG_SZ, Z("\\\\server\\share\\")}}), "/qn",
     kNone, 0, NULL, Only(Repaired("D:\\Apps\\"), {"Build Level", "LastUsedSource",
     "UninstallString", "ModifyPath", "LocalPackage"})},
    {"source as a number", Installed({{L, "LastUsedSource", REG_DWORD, "\x3a\0\0\0"}}), "/qn",
     kNone, 0, NULL, Only(Repaired("D:\\Apps\\"), {"Build Level", "1", "UninstallString",
     "ModifyPath", "LocalPackage"})},
    {"source as multi-string", Installed({{L, "LastUsedSource", REG_MULTI_SZ,
     Z(Z("n;1;E:\\Media\\"))}}), "/qn", kNone, 0, NULL, Repaired("D:\\Apps\\")},
    {"source of 300 bytes", Installed({{L, "LastUsedSource", REG_SZ, Z("n;1;E:" + Fill(293,
     's'))}}), "/qn", kNone, 0, NULL, Only(Repaired("D:\\Apps\\"), {"Build Level", "1",
     "UninstallString", "ModifyPath", "LocalPackage"})},
    {"source empty", Installed({{L, "LastUsedSource", REG_SZ, Z("")}}), "/qn", kNone, 0, NULL,
     Only(Repaired("D:\\Apps\\"), {"Build Level", "1", "UninstallString", "ModifyPath",
     "LocalPackage"})},
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
    {"build level of odd types", Installed({{P, "Build Level", REG_DWORD, "\x41\x42\0\0"},
     {U, "InstallDate", REG_BINARY, "20261208"}}), "/bl", kNone, 0,
     "Build date :\t AB\nClient Level :\t VNR 4.50\nInstallDir :\t D:\\Apps\\\n"
     "InstallDate :\t 20261208\n", {}},
    {"build level values of 300 bytes", Installed({{P, "Directory", REG_SZ, Z(Fill(299, 'd'))}}),
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

std::string ExportLine(Where where, const char* name, const RegValue& value) {
    char head[64];
    snprintf(head, sizeof head, " type=%lu length=%u ", value.type, (unsigned)value.data.size());
    (void)where;
    return "  \"" + std::string(name) + "\"" + head + Printable(value.data) + "\n";
}

}  // namespace

TEST_P(FaultMatrixTest, EndsAsExpected) {
    const FaultCase& c = GetParam();
    for (const Seed& seed : c.seeds)
        ASSERT_TRUE(WriteRegValue(RootOf(seed.where), KeyOf(seed.where), seed.name, seed.type,
                                  seed.data));
    std::string before = ExportProductKeys();
    // Values expected to change are read before, so the export after can
    // be predicted from the export before.
    std::vector<std::pair<std::string, std::string>> edits;
    for (const Change& change : c.changes) {
        RegValue old;
        bool existed = ReadRegValue(RootOf(change.where), KeyOf(change.where), change.name, &old);
        // Repaired values take the type of Directory, text in every case here.
        RegValue now = {change.name, REG_SZ, change.data};
        edits.push_back({existed ? ExportLine(change.where, change.name, old) : "",
                         ExportLine(change.where, change.name, now)});
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
