// Writing a planned value into Wine's real registry: the stored bytes,
// length and type, no key ever created, and the fallback form used only
// when the first form did not open or the write through it failed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

#include "detect/read_registration.h"
#include "repair/write_value.h"
#include "tools/testbed/testbed.h"

namespace {

// The system stores a NUL after a text written without one.
std::string Stored(const std::string& text) {
    return text + '\0';
}

RegistryWrite Write(ValueId value, const std::string& text, unsigned long type = REG_SZ) {
    RegistryWrite write = {};
    write.value = value;
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
    WriteRegValue(kModifyPathId, REG_DWORD, std::string("\x07\0\0\0", 4));
    WriteRegText(kNetSourceId, "D:\\Setup\\");
    const RegistryWrite writes[] = {
        Write(kModifyPathId, "%ProgramFiles%\\Apps\\", REG_EXPAND_SZ),
        Write(kNetSourceId, "E:\\Apps\\"),
    };
    for (const RegistryWrite& write : writes) {
        SCOPED_TRACE(kRegistrationValues[write.value].name);
        EXPECT_EQ(kWritten, WriteValue(&write).outcome);
        RegValue value;
        ASSERT_TRUE(ReadRegValue(write.value, &value));
        EXPECT_EQ(Stored(std::string(write.text, write.text + write.length)), value.data);
        EXPECT_EQ(write.type, value.type);
    }
}

TEST_F(WriteValueTest, CreatesNoKey) {
    RegistryWrite write = Write(kBuildLevelId, "Abr 25, 2000");
    WriteResult result = WriteValue(&write);
    EXPECT_EQ(kWriteFailed, result.outcome);
    EXPECT_EQ((unsigned long)ERROR_FILE_NOT_FOUND, result.error);  // what the record reports
    EXPECT_FALSE(KeyExists(kProductKeyId));
    write = Write(kLastUsedSourceId, "n;1;E:\\");
    EXPECT_EQ(kWriteFailed, WriteValue(&write).outcome);
    EXPECT_FALSE(KeyExists(kSourceListKeyId));
}

// What the write does with a key a form opened, failing the first time
// when asked to.
struct TestUse {
    LONG firstStatus;
    const char* text;
    int uses;
};
LONG WriteTestValue(HKEY key, void* context) {
    TestUse* use = (TestUse*)context;
    LONG status = use->uses++ == 0 && use->firstStatus
                      ? use->firstStatus
                      : RegSetValueExA(key, "Value", 0, REG_SZ, (const BYTE*)use->text,
                                       (DWORD)strlen(use->text) + 1);
    RegCloseKey(key);
    return status;
}

// In a real registry the two forms name the same key: the plain one serves
// only when the trailing one does not open (here a path that, with its
// backslash, leaves no room for the NUL in the launcher's open) or the write
// through it fails. When neither serves, the last failure is told, and no
// key is made.
TEST_F(WriteValueTest, FallbackFormOnlyWhenTheFirstFails) {
    const std::string main = TrailingPath(kMainUninstallKeyId);
    // Below the product key, so the clean-up takes it away.
    std::string tooLong = TrailingPath(kProductKeyId);
    tooLong += std::string(kTextBufSize - 1 - tooLong.size(), 'k') + "\\";
    const std::string missing = TrailingPath(kUninstallKeyByNameId);
    for (const std::string& path : {main, tooLong})
        ASSERT_TRUE(WriteRegText(HKEY_LOCAL_MACHINE, path.substr(0, path.size() - 1).c_str(),
                                 "DisplayName", "x"));
    const struct {
        const char* text;
        const std::string& path;  // its trailing form
        LONG firstStatus;
        int form;
        int uses;
        LONG status;
    } cases[] = {
        {"first", main, ERROR_SUCCESS, kTrailingForm, 1, ERROR_SUCCESS},
        {"first refused", main, ERROR_ACCESS_DENIED, kPlainForm, 2, ERROR_SUCCESS},
        {"first does not fit", tooLong, ERROR_SUCCESS, kPlainForm, 1, ERROR_SUCCESS},
        {"neither opens", missing, ERROR_SUCCESS, -1, 0, ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const size_t cut = c.path.rfind('\\', c.path.size() - 2);
        const std::string stem = c.path.substr(0, cut), rest = c.path.substr(cut);
        const RegistrationKey key = {stem.c_str(), rest.c_str(), "test key", kLocalMachine, false};
        TestUse use = {c.firstStatus, c.text, 0};
        LONG status = ERROR_GEN_FAILURE;
        EXPECT_EQ(c.form, UseKeyFallingBackOnFailure(&key, WriteTestValue, &use, &status));
        EXPECT_EQ(c.status, status);
        EXPECT_EQ(c.uses, use.uses);
        const std::string plain = c.path.substr(0, c.path.size() - 1);
        EXPECT_EQ(c.form < 0 ? "(missing)" : Stored(c.text),
                  Read(HKEY_LOCAL_MACHINE, plain.c_str(), "Value").data);
    }
    EXPECT_FALSE(KeyExists(kUninstallKeyByNameId));
}

}  // namespace
