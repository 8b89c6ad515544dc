// Writing a planned value into Wine's real registry: the stored bytes,
// length and type, no key ever created, and the fallback form used only
// when the write through the first form failed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "detect/registry_paths.h"
#include "repair/write_value.h"
#include "tools/testbed/testbed.h"

namespace {

// The system stores a NUL after a text written without one.
std::string Stored(const std::string& text) {
    return text + '\0';
}

RegistryWrite Write(RegistryRoot root, const char* const* key, const char* name,
                    const std::string& text, unsigned long type = REG_SZ) {
    RegistryWrite write = {};
    write.root = root;
    write.key = key;
    write.name = name;
    write.type = type;
    write.length = text.size();
    for (size_t i = 0; i <= text.size(); i++)
        write.text[i] = (unsigned char)text.c_str()[i];
    return write;
}

class WriteValueTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteProductKeys(); }
    void TearDown() override { DeleteProductKeys(); }

    static RegValue Read(HKEY root, const char* path, const char* name) {
        RegValue value;
        if (!ReadRegValue(root, path, name, &value))
            value.data = "(missing)";
        return value;
    }
};

// The stored length counts the characters, not a NUL; an existing value of
// another type is replaced, type and all.
TEST_F(WriteValueTest, StoresTheTextWithItsType) {
    WriteRegValue(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm], kModifyPathValue,
                  REG_DWORD, std::string("\x07\0\0\0", 4));
    WriteRegText(HKEY_CURRENT_USER, kNetSourceKey[kPlainForm], kNetSourceValue, "D:\\Setup\\");
    const struct {
        HKEY root;
        RegistryWrite write;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, Write(kLocalMachine, kMainUninstallKey, kModifyPathValue,
                                   "%ProgramFiles%\\Apps\\", REG_EXPAND_SZ)},
        {HKEY_CURRENT_USER, Write(kCurrentUser, kNetSourceKey, kNetSourceValue, "E:\\Apps\\")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.write.name);
        EXPECT_EQ(kWritten, WriteValue(&c.write).outcome);
        RegValue value = Read(c.root, c.write.key[kPlainForm], c.write.name);
        EXPECT_EQ(Stored(std::string(c.write.text, c.write.text + c.write.length)), value.data);
        EXPECT_EQ(c.write.type, value.type);
    }
}

TEST_F(WriteValueTest, CreatesNoKey) {
    RegistryWrite write = Write(kLocalMachine, kProductKey, kBuildLevelValue, "Abr 25, 2000");
    WriteResult result = WriteValue(&write);
    EXPECT_EQ(kWriteFailed, result.outcome);
    EXPECT_EQ((unsigned long)ERROR_FILE_NOT_FOUND, result.error);  // what the record reports
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm]));
    write = Write(kCurrentUser, kSourceListKey, kLastUsedSourceValue, "n;1;E:\\");
    EXPECT_EQ(kWriteFailed, WriteValue(&write).outcome);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSourceListKey[kPlainForm]));
}

// Two different keys stand in for the two forms, which in a real registry
// name the same key: the second is used only when the first fails.
TEST_F(WriteValueTest, FallbackFormOnlyWhenTheFirstFails) {
    const char* const bothOpen[kFormCount] = {kMainUninstallKey[kPlainForm],
                                              kProductKey[kPlainForm]};
    const char* const firstMissing[kFormCount] = {kUninstallKeyByName[kPlainForm],
                                                  kProductKey[kPlainForm]};
    WriteRegText(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm], "DisplayName", "x");
    WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], "DisplayName", "x");

    RegistryWrite write = Write(kLocalMachine, bothOpen, "Value", "first");
    EXPECT_EQ(kWritten, WriteValue(&write).outcome);
    EXPECT_EQ(Stored("first"), Read(HKEY_LOCAL_MACHINE, bothOpen[0], "Value").data);
    EXPECT_EQ("(missing)", Read(HKEY_LOCAL_MACHINE, bothOpen[1], "Value").data);

    write = Write(kLocalMachine, firstMissing, "Value", "fallback");
    EXPECT_EQ(kWrittenThroughFallback, WriteValue(&write).outcome);
    EXPECT_EQ(Stored("fallback"), Read(HKEY_LOCAL_MACHINE, firstMissing[1], "Value").data);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, firstMissing[0]));
}

}  // namespace
