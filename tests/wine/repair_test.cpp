// The repairs against Wine's registry, one operation at a time: what each
// writes (data, stored length, type), what it leaves alone, and when it
// does nothing at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "detect/registry_paths.h"
#include "repair/repairs.h"
#include "tools/testbed/testbed.h"

// The system stores a NUL after a text written without one.
static std::string Stored(const std::string& text) {
    return text + '\0';
}

static std::string WithNul(const std::string& text) {
    return text + '\0';
}

class RepairTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteProductKeys(); }
    void TearDown() override { DeleteProductKeys(); }

    const char* product_ = kProductKey[kPlainForm];
    const char* uninstall_ = kMainUninstallKey[kPlainForm];

    void SetDirectory(const std::string& directory, DWORD type = REG_SZ) {
        ASSERT_TRUE(WriteRegValue(HKEY_LOCAL_MACHINE, product_, kDirectoryValue, type,
                                  WithNul(directory)));
    }
    void MakeUninstallKey() {
        ASSERT_TRUE(WriteRegText(HKEY_LOCAL_MACHINE, uninstall_, "DisplayName", "Omrik Vindara"));
    }
    void SetSource(const char* key, const char* name, const std::string& data,
                   DWORD type = REG_SZ) {
        ASSERT_TRUE(WriteRegValue(HKEY_CURRENT_USER, key, name, type, data));
    }
    RegValue Read(HKEY root, const char* key, const char* name) {
        RegValue value = {"", 0, "(missing)"};
        ReadRegValue(root, key, name, &value);
        return value;
    }
    RegValue ReadUninstall(const char* name) { return Read(HKEY_LOCAL_MACHINE, uninstall_, name); }
    // The three uninstall entry repairs on the main pair.
    int RewriteUninstallString() {
        return RewriteUninstallValue(uninstall_, kUninstallStringValue, kRemovalCommand, product_);
    }
    int RewriteModifyPath() {
        return RewriteUninstallValue(uninstall_, kModifyPathValue, kInstallDirectory, product_);
    }
    int RewriteLocalPackage() {
        return RewriteUninstallValue(uninstall_, kLocalPackageValue, kPackageCopy, product_);
    }
};

TEST_F(RepairTest, BuildLevelIsTheLaunchersDateAsText) {
    SetDirectory("D:\\Apps\\", REG_EXPAND_SZ);
    EXPECT_EQ(WriteBuildLevel(product_), 1);
    RegValue value = Read(HKEY_LOCAL_MACHINE, product_, kBuildLevelValue);
    EXPECT_EQ(value.data, Stored("Abr 25, 2000"));
    EXPECT_EQ(value.type, (DWORD)REG_SZ);
}

TEST_F(RepairTest, BuildLevelNeedsTheProductKeyAndCreatesNone) {
    EXPECT_EQ(WriteBuildLevel(product_), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, product_));
}

struct UninstallRow {
    const char* valueName;
    UninstallValue value;
    const char* expected;
};

// Every value is built from Directory alone, whatever it held before.
TEST_F(RepairTest, UninstallEntryNamesThePackageInTheDirectory) {
    const UninstallRow rows[] = {
        {kUninstallStringValue, kRemovalCommand, "msiexec /x \"D:\\Apps\\Omrik Vindara.msi\""},
        {kModifyPathValue, kInstallDirectory, "D:\\Apps\\"},
        {kLocalPackageValue, kPackageCopy, "D:\\Apps\\Omrik VindaraXXX.msi"},
    };
    for (DWORD type : {(DWORD)REG_SZ, (DWORD)REG_EXPAND_SZ}) {
        DeleteProductKeys();
        SetDirectory("D:\\Apps\\", type);
        MakeUninstallKey();
        for (const UninstallRow& row : rows) {
            WriteRegText(HKEY_LOCAL_MACHINE, uninstall_, row.valueName, "MsiExec.exe /X{old}");
            int done = RewriteUninstallValue(uninstall_, row.valueName, row.value, product_);
            EXPECT_EQ(done, 1) << row.valueName;
            RegValue value = ReadUninstall(row.valueName);
            EXPECT_EQ(value.data, Stored(row.expected)) << row.valueName;
            EXPECT_EQ(value.type, type) << row.valueName;
        }
    }
}

TEST_F(RepairTest, RepairedValuesHaveTheirExactLengths) {
    SetDirectory("D:\\Apps\\");
    MakeUninstallKey();
    RewriteUninstallString();
    RewriteModifyPath();
    RewriteLocalPackage();
    EXPECT_EQ(ReadUninstall(kUninstallStringValue).data.size(), 38u + 1);
    EXPECT_EQ(ReadUninstall(kModifyPathValue).data.size(), 8u + 1);
    EXPECT_EQ(ReadUninstall(kLocalPackageValue).data.size(), 28u + 1);
}

TEST_F(RepairTest, NothingIsWrittenWithoutDirectory) {
    WriteRegText(HKEY_LOCAL_MACHINE, product_, kClientLevelValue, "VNR/4.50");
    MakeUninstallKey();
    std::string before = ExportProductKeys();
    EXPECT_EQ(RewriteUninstallString(), 0);
    EXPECT_EQ(RewriteModifyPath(), 0);
    EXPECT_EQ(RewriteLocalPackage(), 0);
    EXPECT_EQ(RewriteSourceListValue(kNetSourceKey[kPlainForm], kNetSourceValue, product_), 0);
    EXPECT_EQ(ExportProductKeys(), before);
    EXPECT_EQ(WriteBuildLevel(product_), 1);
}

TEST_F(RepairTest, MissingUninstallKeyIsNotCreated) {
    SetDirectory("D:\\Apps\\");
    EXPECT_EQ(RewriteUninstallString(), 0);
    EXPECT_EQ(RewriteModifyPath(), 0);
    EXPECT_EQ(RewriteLocalPackage(), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall_));
    EXPECT_EQ(WriteBuildLevel(product_), 1);
}

struct DirectoryCase {
    const char* what;
    std::string directory;
    DWORD type;
    int uninstallString, modifyPath, localPackage;
};

// A value is never written cut: what does not fit in 259 characters is
// left as the installation wrote it. A Directory that is not text is not a
// directory, and longer than the 260 bytes offered it is not read at all.
TEST_F(RepairTest, DirectoryLimitsAndTypes) {
    const std::string d229 = "D:\\" + std::string(225, 'a') + "\\";
    const std::string d239 = "D:\\" + std::string(235, 'b') + "\\";
    const std::string d259 = "D:\\" + std::string(255, 'c') + "\\";
    const DirectoryCase cases[] = {
        {"fits all three", d229, REG_SZ, 1, 1, 1},
        {"removal command would be 260", d229 + "x", REG_SZ, 0, 1, 1},
        {"package path would be 260", d239 + "x", REG_SZ, 0, 1, 0},
        {"259 characters", d259, REG_SZ, 0, 1, 0},
        {"260 characters are not read", d259 + "d", REG_SZ, 0, 0, 0},
        {"no trailing backslash", "D:\\Apps", REG_SZ, 1, 1, 1},
        {"a number", "\x01\x02\x03", REG_DWORD, 0, 0, 0},
        {"binary data", "D:\\Apps\\", REG_BINARY, 0, 0, 0},
        {"multi-string", "D:\\Apps\\", REG_MULTI_SZ, 0, 0, 0},
    };
    for (const DirectoryCase& c : cases) {
        DeleteProductKeys();
        SetDirectory(c.directory, c.type);
        MakeUninstallKey();
        for (const char* name : {kUninstallStringValue, kModifyPathValue, kLocalPackageValue})
            WriteRegText(HKEY_LOCAL_MACHINE, uninstall_, name, "as installed");
        EXPECT_EQ(RewriteUninstallString(), c.uninstallString) << c.what;
        EXPECT_EQ(RewriteModifyPath(), c.modifyPath) << c.what;
        EXPECT_EQ(RewriteLocalPackage(), c.localPackage) << c.what;
        struct {
            const char* name;
            int done;
            std::string text;
        } after[] = {
            {kUninstallStringValue, c.uninstallString,
             "msiexec /x \"" + c.directory + "Omrik Vindara.msi\""},
            {kModifyPathValue, c.modifyPath, c.directory},
            {kLocalPackageValue, c.localPackage, c.directory + "Omrik VindaraXXX.msi"},
        };
        for (const auto& value : after) {
            RegValue stored = ReadUninstall(value.name);
            EXPECT_EQ(stored.data, Stored(value.done ? value.text : "as installed"))
                << c.what << ", " << value.name;
            EXPECT_LE(stored.data.size(), 260u);
        }
    }
}

struct SourceCase {
    const char* what;
    const char* key;
    const char* name;
    std::string before;
    DWORD sourceType;
    const char* directory;
    DWORD directoryType;
    int done;
    std::string after;  // when done, without the NUL the system adds
    DWORD afterType;
};

// The path in a source value is replaced by the installation directory;
// what stands in front of its drive letter stays.
TEST_F(RepairTest, SourceListValuesPointAtTheDirectory) {
    const char* list = kSourceListKey[kPlainForm];
    const char* net = kNetSourceKey[kPlainForm];
    const SourceCase cases[] = {
        {"last used source", list, kLastUsedSourceValue, WithNul("n;1;D:\\Setup\\"), REG_SZ,
         "E:\\Apps\\", REG_SZ, 1, "n;1;E:\\Apps\\", REG_SZ},
        {"network source 1", net, kNetSourceValue, WithNul("D:\\Setup\\"), REG_SZ, "E:\\Apps\\",
         REG_SZ, 1, "E:\\Apps\\", REG_SZ},
        {"takes the type of Directory", list, kLastUsedSourceValue, WithNul("n;1;D:\\Setup\\"),
         REG_EXPAND_SZ, "E:\\Apps\\", REG_SZ, 1, "n;1;E:\\Apps\\", REG_SZ},
        {"expandable Directory", net, kNetSourceValue, WithNul("D:\\Setup\\"), REG_SZ,
         "%ProgramFiles%\\Apps\\", REG_EXPAND_SZ, 1, "%ProgramFiles%\\Apps\\", REG_EXPAND_SZ},
        {"only the first colon counts", list, kLastUsedSourceValue,
         WithNul("n;1;D:\\a:b\\c:\\"), REG_SZ, "E:\\Apps\\", REG_SZ, 1, "n;1;E:\\Apps\\",
         REG_SZ},
        {"again on its own result", list, kLastUsedSourceValue, WithNul("n;1;E:\\Apps\\"),
         REG_SZ, "E:\\Apps\\", REG_SZ, 1, "n;1;E:\\Apps\\", REG_SZ},
        {"Directory without backslash", net, kNetSourceValue, WithNul("D:\\Setup\\"), REG_SZ,
         "E:\\Apps", REG_SZ, 1, "E:\\Apps", REG_SZ},
        {"network path without colon", net, kNetSourceValue, WithNul("\\\\server\\share\\"),
         REG_SZ, "E:\\Apps\\", REG_SZ, 0, "\\\\server\\share\\", REG_SZ},
        {"colon first", list, kLastUsedSourceValue, WithNul(":n;1;"), REG_SZ, "E:\\Apps\\",
         REG_SZ, 0, ":n;1;", REG_SZ},
        {"empty source", net, kNetSourceValue, WithNul(""), REG_SZ, "E:\\Apps\\", REG_SZ, 0, "",
         REG_SZ},
        {"source as binary without NUL", list, kLastUsedSourceValue, "n;1;D:\\Setup\\",
         REG_BINARY, "E:\\Apps\\", REG_SZ, 1, "n;1;E:\\Apps\\", REG_SZ},
        {"source fills 260 bytes", list, kLastUsedSourceValue,
         "n;1;D:" + std::string(254, 's'), REG_BINARY, "E:\\Apps\\", REG_SZ, 1,
         "n;1;E:\\Apps\\", REG_SZ},
        {"source longer than 260 bytes", list, kLastUsedSourceValue,
         "n;1;D:" + std::string(255, 's'), REG_BINARY, "E:\\Apps\\", REG_SZ, 0,
         "n;1;D:" + std::string(255, 's'), REG_BINARY},
        {"Directory is a number", net, kNetSourceValue, WithNul("D:\\Setup\\"), REG_SZ,
         "\x01\x02", REG_DWORD, 0, "D:\\Setup\\", REG_SZ},
    };
    for (const SourceCase& c : cases) {
        DeleteProductKeys();
        SetDirectory(c.directory, c.directoryType);
        SetSource(c.key, c.name, c.before, c.sourceType);
        EXPECT_EQ(RewriteSourceListValue(c.key, c.name, product_), c.done) << c.what;
        // Not done: the value stays exactly as it was stored.
        RegValue value = Read(HKEY_CURRENT_USER, c.key, c.name);
        EXPECT_EQ(value.data, c.done ? Stored(c.after) : c.before) << c.what;
        EXPECT_EQ(value.type, c.done ? c.afterType : c.sourceType) << c.what;
    }
}

TEST_F(RepairTest, MissingSourceKeyIsNotCreated) {
    SetDirectory("E:\\Apps\\");
    EXPECT_EQ(RewriteSourceListValue(kSourceListKey[kPlainForm], kLastUsedSourceValue, product_),
              0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSourceListKey[kPlainForm]));
}

// All six repairs on a full installation: the six values change and every
// other value under the product's keys stays byte for byte as it was.
TEST_F(RepairTest, RepairsTouchOnlyTheirSixValues) {
    SetDirectory("D:\\Apps\\");
    WriteRegText(HKEY_LOCAL_MACHINE, product_, kClientLevelValue, "VNR/4.50");
    WriteRegText(HKEY_LOCAL_MACHINE, product_, "Other", "kept");
    WriteRegValue(HKEY_LOCAL_MACHINE, product_, "Flags", REG_DWORD, std::string("\x07\0\0\0", 4));
    const char* uninstallValues[][2] = {
        {"DisplayName", "Omrik Vindara"}, {"InstallDate", "20261208"},
        {"UninstallString", "MsiExec.exe /X{x}"}, {"ModifyPath", "MsiExec.exe /I{x}"},
        {"LocalPackage", "C:\\windows\\Installer\\1.msi"}, {"Publisher", "Omrik"},
    };
    for (const auto& value : uninstallValues)
        WriteRegText(HKEY_LOCAL_MACHINE, uninstall_, value[0], value[1]);
    SetSource(kSourceListKey[kPlainForm], kLastUsedSourceValue, WithNul("n;1;D:\\Setup\\"));
    SetSource(kSourceListKey[kPlainForm], "PackageName", WithNul("Omrik Vindara.msi"));
    SetSource(kNetSourceKey[kPlainForm], kNetSourceValue, WithNul("D:\\Setup\\"));
    SetSource(kNetSourceKey[kPlainForm], "2", WithNul("F:\\Other\\"));
    std::string before = ExportProductKeys();

    EXPECT_EQ(WriteBuildLevel(product_), 1);
    EXPECT_EQ(RewriteSourceListValue(kSourceListKey[kPlainForm], kLastUsedSourceValue, product_),
              1);
    EXPECT_EQ(RewriteSourceListValue(kNetSourceKey[kPlainForm], kNetSourceValue, product_), 1);
    EXPECT_EQ(RewriteUninstallString(), 1);
    EXPECT_EQ(RewriteModifyPath(), 1);
    EXPECT_EQ(RewriteLocalPackage(), 1);

    std::string after = ExportProductKeys();
    auto line = [](const char* name, const std::string& data) {
        char head[64];
        snprintf(head, sizeof head, " type=1 length=%u ", (unsigned)data.size());
        return "  \"" + std::string(name) + "\"" + head + Printable(data) + "\n";
    };
    auto replace = [&](std::string text, const char* name, const std::string& from,
                       const std::string& to) {
        size_t at = text.find(line(name, from));
        EXPECT_NE(at, std::string::npos) << name;
        if (at != std::string::npos)
            text.replace(at, line(name, from).size(), line(name, to));
        return text;
    };
    std::string expected = before;
    expected = replace(expected, "UninstallString", WithNul("MsiExec.exe /X{x}"),
                       Stored("msiexec /x \"D:\\Apps\\Omrik Vindara.msi\""));
    expected = replace(expected, "ModifyPath", WithNul("MsiExec.exe /I{x}"), Stored("D:\\Apps\\"));
    expected = replace(expected, "LocalPackage", WithNul("C:\\windows\\Installer\\1.msi"),
                       Stored("D:\\Apps\\Omrik VindaraXXX.msi"));
    expected = replace(expected, "LastUsedSource", WithNul("n;1;D:\\Setup\\"),
                       Stored("n;1;D:\\Apps\\"));
    expected = replace(expected, "1", WithNul("D:\\Setup\\"), Stored("D:\\Apps\\"));
    // Build Level is new; it is listed where the registry lists it.
    std::string buildLevel = line("Build Level", Stored("Abr 25, 2000"));
    size_t at = after.find(buildLevel);
    ASSERT_NE(at, std::string::npos);
    after.erase(at, buildLevel.size());
    EXPECT_EQ(after, expected);
}
