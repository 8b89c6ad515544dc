// Writing a planned value into Wine's real registry: the stored bytes,
// length and type, no key ever created, and the fallback form used only
// when the first form did not open or the write through it failed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

#include "detect/read_registration.h"
#include "repair/repair_plan.h"
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
    WriteRegValue(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm], kModifyPathValue,
                  REG_DWORD, std::string("\x07\0\0\0", 4));
    WriteRegText(HKEY_CURRENT_USER, kNetSourceKey[kPlainForm], kNetSourceValue, "D:\\Setup\\");
    const struct {
        HKEY root;
        RegistryWrite write;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, Write(kModifyPathId, "%ProgramFiles%\\Apps\\", REG_EXPAND_SZ)},
        {HKEY_CURRENT_USER, Write(kNetSourceId, "E:\\Apps\\")},
    };
    for (const auto& c : cases) {
        const RegistrationValue& named = kRegistrationValues[c.write.value];
        SCOPED_TRACE(named.name);
        EXPECT_EQ(kWritten, WriteValue(&c.write).outcome);
        RegValue value = Read(c.root, kRegistrationKeys[named.key].path[kPlainForm], named.name);
        EXPECT_EQ(Stored(std::string(c.write.text, c.write.text + c.write.length)), value.data);
        EXPECT_EQ(c.write.type, value.type);
    }
}

TEST_F(WriteValueTest, CreatesNoKey) {
    RegistryWrite write = Write(kBuildLevelId, "Abr 25, 2000");
    WriteResult result = WriteValue(&write);
    EXPECT_EQ(kWriteFailed, result.outcome);
    EXPECT_EQ((unsigned long)ERROR_FILE_NOT_FOUND, result.error);  // what the record reports
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm]));
    write = Write(kLastUsedSourceId, "n;1;E:\\");
    EXPECT_EQ(kWriteFailed, WriteValue(&write).outcome);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSourceListKey[kPlainForm]));
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

// Two different keys stand in for the two forms, which in a real registry
// name the same key: the second serves only when the first does not open or
// the write through it fails.
TEST_F(WriteValueTest, FallbackFormOnlyWhenTheFirstFails) {
    const char* const main = kMainUninstallKey[kPlainForm];
    const char* const product = kProductKey[kPlainForm];
    const char* const missing = kUninstallKeyByName[kPlainForm];
    WriteRegText(HKEY_LOCAL_MACHINE, main, "DisplayName", "x");
    WriteRegText(HKEY_LOCAL_MACHINE, product, "DisplayName", "x");
    const struct {
        const char* text;
        const char* first;
        LONG firstStatus;
        int form;
        const char* written;
    } cases[] = {
        {"first", main, ERROR_SUCCESS, kTrailingForm, main},
        {"first missing", missing, ERROR_SUCCESS, kPlainForm, product},
        {"first refused", main, ERROR_ACCESS_DENIED, kPlainForm, product},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const char* const forms[kFormCount] = {c.first, product};
        const RegistrationKey key = {kLocalMachine, forms, "test key", 0};
        TestUse use = {c.firstStatus, c.text, 0};
        LONG status = ERROR_GEN_FAILURE;
        EXPECT_EQ(c.form, UseKeyFallingBackOnFailure(&key, WriteTestValue, &use, &status));
        EXPECT_EQ(ERROR_SUCCESS, status);
        EXPECT_EQ(Stored(c.text), Read(HKEY_LOCAL_MACHINE, c.written, "Value").data);
        if (c.written != c.first)
            EXPECT_NE(Stored(c.text), Read(HKEY_LOCAL_MACHINE, c.first, "Value").data);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, missing));
}

}  // namespace
