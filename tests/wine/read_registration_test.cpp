// One read of the product's registration against Wine's real registry:
// which keys open, each value with its type, length and whether it filled
// the read, in either form of a key's path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "detect/read_registration.h"
#include "base/registry.h"
#include "detect/registry_paths.h"
#include "tools/testbed/installation.h"
#include "tools/testbed/testbed.h"

namespace {

class ReadRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteProductKeys(); }
    void TearDown() override { DeleteProductKeys(); }

    static Registration Read() {
        Registration r;
        memset(&r, 0xA5, sizeof r);  // whatever was there before does not show
        ReadRegistration(&r);
        return r;
    }
};

// The text of a value that holds no character beyond one byte.
std::string TextOf(const TextValue& value) {
    return std::string(value.text, value.text + value.length);
}

TEST_F(ReadRegistrationTest, NothingInstalledReadsNothing) {
    const Registration r = Read();
    Registration none;
    memset(&none, 0, sizeof none);
    EXPECT_EQ(0, memcmp(&r, &none, sizeof r));
}

// The keys and values a completed installation leaves, read in one go.
TEST_F(ReadRegistrationTest, ReadsTheValuesOfAnInstallation) {
    RegisterInstallation("D:\\Apps\\", "VNR/4.50");
    WriteRegValue(kBuildLevelId, REG_EXPAND_SZ, std::string("Abr 25, 2000", 13));
    char media[MAX_PATH];
    ASSERT_NE(0u, InstallationFolder(media, sizeof media));
    const Registration r = Read();
    EXPECT_EQ(1, r.opened[kProductKeyId]);
    EXPECT_EQ(1, r.opened[kMainUninstallKeyId]);
    EXPECT_EQ(0, r.opened[kUninstallKeyByNameId]);
    EXPECT_EQ(0, r.opened[kAlternateUninstallKeyId]);
    const struct {
        ValueId id;
        std::string text;
        unsigned long type;
    } values[] = {
        {kClientLevelId, "VNR/4.50", REG_SZ},
        {kBuildLevelId, "Abr 25, 2000", REG_EXPAND_SZ},
        {kDirectoryId, "D:\\Apps\\", REG_SZ},
        {kInstallDateId, "20261208", REG_SZ},
        {kLastUsedSourceId, "n;1;" + std::string(media), REG_SZ},
        {kNetSourceId, media, REG_SZ},
    };
    for (const auto& v : values) {
        SCOPED_TRACE(kRegistrationValues[v.id].name);
        const TextValue& value = r.values[v.id];
        EXPECT_EQ(1, value.read);
        EXPECT_EQ(v.type, value.type);
        EXPECT_EQ(v.text, TextOf(value));
        EXPECT_EQ('\0', value.text[value.length]);
        EXPECT_EQ(0, value.filled);
    }
}

// Each uninstall key shows on its own, and only when it opens.
TEST_F(ReadRegistrationTest, EachUninstallKeyOpensOnItsOwn) {
    const KeyId keys[] = {kUninstallKeyByNameId, kAlternateUninstallKeyId, kMainUninstallKeyId};
    for (KeyId written : keys) {
        SCOPED_TRACE(kRegistrationKeys[written].name);
        DeleteProductKeys();
        WriteRegText(written, "DisplayName", "Omrik Vindara");
        const Registration r = Read();
        for (KeyId key : keys)
            EXPECT_EQ(key == written, r.opened[key]) << kRegistrationKeys[key].name;
        EXPECT_EQ(0, r.opened[kProductKeyId]);
    }
}

// Stores the characters as UTF-16, exactly: the system adds a NUL to a
// text whose length leaves one out only when a NUL follows it in memory.
bool WriteUnits(const char* path, const char* name, DWORD type, const std::string& text) {
    std::wstring units(text.begin(), text.end());
    units += L'x';
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS | kRegistryView,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    std::wstring wideName(name, name + strlen(name));
    LONG result = RegSetValueExW(key, wideName.c_str(), 0, type, (const BYTE*)units.c_str(),
                                 (DWORD)(text.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// A text is read as the characters the query gives, at most 260 of them; a
// value of another type as its bytes, at most 260 of them. A value that
// fills all 260 without a NUL has no known end; one more does not fit and
// is not read, but its size is kept.
TEST_F(ReadRegistrationTest, ValuesAreReadWithinTheirBuffer) {
    const std::string c259(259, 'c');
    const struct {
        const char* what;
        DWORD type;
        std::string stored;
        int read;
        std::string text;
        int filled;
        unsigned long tooLong;  // the bytes a value too long to read holds
    } cases[] = {
        {"259 characters and a NUL", REG_SZ, c259 + '\0', 1, c259, 0, 0},
        {"260 characters and a NUL", REG_SZ, c259 + "c" + '\0', 0, "", 0, 522},
        {"260 characters without NUL", REG_SZ, c259 + "d", 1, c259 + "d", 1, 0},
        {"261 characters without NUL", REG_EXPAND_SZ, c259 + "de", 0, "", 0, 522},
        {"260 bytes without NUL", REG_BINARY, c259 + "d", 1, c259 + "d", 1, 0},
        {"261 bytes without NUL", REG_BINARY, c259 + "de", 0, "", 0, 261},
        {"empty text", REG_SZ, std::string(1, '\0'), 1, "", 0, 0},
        {"a number", REG_DWORD, std::string("\x2A\x01\0\0", 4), 1, "\x2A\x01", 0, 0},
        {"multi-string", REG_MULTI_SZ, std::string("D:\\a\0D:\\b\0\0", 11), 1, "D:\\a", 0, 0},
        {"expandable text", REG_EXPAND_SZ, std::string("%TEMP%\\", 8), 1, "%TEMP%\\", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteProductKeys();
        ASSERT_TRUE(c.type == REG_SZ || c.type == REG_EXPAND_SZ
                        ? WriteUnits(PlainPath(kProductKeyId),
                                     kRegistrationValues[kDirectoryId].name, c.type, c.stored)
                        : WriteRegValue(kDirectoryId, c.type, c.stored));
        const Registration r = Read();
        EXPECT_EQ(c.read, r.values[kDirectoryId].read);
        EXPECT_EQ(c.read ? c.type : 0, r.values[kDirectoryId].type);
        EXPECT_EQ(c.text, TextOf(r.values[kDirectoryId]));
        EXPECT_EQ(c.filled, r.values[kDirectoryId].filled);
        EXPECT_EQ(c.tooLong, r.values[kDirectoryId].tooLong);
        EXPECT_EQ('\0', r.values[kDirectoryId].text[kTextBufSize]);
        // A multi-string's later strings follow its first in the room.
        if (c.type == REG_MULTI_SZ)
            EXPECT_EQ(std::wstring(L"D:\\a\0D:\\b\0\0", 11),
                      std::wstring(r.values[kDirectoryId].text, 11));
        // The failed read left nothing behind, and the next value is read as usual.
        if (!c.read)
            EXPECT_EQ(std::wstring(kTextReadSize, L'\0'),
                      std::wstring(r.values[kDirectoryId].text, kTextReadSize));
    }
}

// In a real registry a trailing backslash names the same key as the plain
// path: the two forms of every path cannot be told apart, and a key made
// through either form is read.
TEST_F(ReadRegistrationTest, BothFormsNameTheSameKey) {
    const auto pathIn = [](KeyId key, int form) {
        return form == kTrailingForm ? TrailingPath(key) : std::string(PlainPath(key));
    };
    const char* const clientLevel = kRegistrationValues[kClientLevelId].name;
    for (int form = 0; form < kFormCount; form++) {
        SCOPED_TRACE(form);
        DeleteProductKeys();
        WriteRegText(RootOf(kProductKeyId), pathIn(kProductKeyId, form).c_str(), clientLevel,
                     "VNR/3");
        WriteRegText(RootOf(kNetSourceKeyId), pathIn(kNetSourceKeyId, form).c_str(),
                     kRegistrationValues[kNetSourceId].name, "E:\\");
        RegValue value;
        ASSERT_TRUE(ReadRegValue(RootOf(kProductKeyId), pathIn(kProductKeyId, 1 - form).c_str(),
                                 clientLevel, &value));
        const Registration r = Read();
        EXPECT_EQ("VNR/3", TextOf(r.values[kClientLevelId]));
        EXPECT_EQ("E:\\", TextOf(r.values[kNetSourceId]));
    }
}

// A key in the user's hive may be replaced by a standard user between the
// read and the repairs, with a registry link into the machine's keys. So the
// read holds on to every such key it opened, with full access, as the key it
// read: a value written through the handle is in the key at its path. A key
// that did not open holds nothing.
TEST_F(ReadRegistrationTest, KeysInTheUsersHiveStayOpenAsTheKeysRead) {
    RegisterInstallation("D:\\Apps\\", "VNR/4.50");
    Registration r = Read();
    for (int id = 0; id < kKeyCount; id++) {
        const KeyId key = (KeyId)id;
        SCOPED_TRACE(kRegistrationKeys[key].name);
        if (!r.opened[key])
            EXPECT_EQ(nullptr, r.held[key]);
        if (kRegistrationKeys[key].root != kCurrentUser)
            continue;
        ASSERT_EQ(1, r.opened[key]);
        ASSERT_NE(nullptr, r.held[key]);
        const HKEY held = (HKEY)r.held[key];
        const char text[] = "through the held key";
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(held, "Held", 0, REG_SZ, (const BYTE*)text,
                                                sizeof text));
        RegValue value;
        ASSERT_TRUE(ReadRegValue(RootOf(key), PlainPath(key), "Held", &value));
        EXPECT_EQ(std::string(text, sizeof text), value.data);
        RegCloseKey(held);
    }
}

}  // namespace
