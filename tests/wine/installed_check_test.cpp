// The installed-product check against Wine's real registry. The dialogs
// come from the test program's own copy of the launcher's resources; a
// watcher thread reads and closes them like a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/dialog.h"
#include "base/registry.h"
#include "base/text.h"
#include "detect/installed_check.h"
#include "detect/registry_paths.h"
#include "tools/testbed/testbed.h"

// Reads and closes every dialog the calling thread shows while it is alive.
struct DialogWatcher {
    HANDLE thread;
    volatile LONG stop;
    std::vector<WindowInfo> seen;
};

static DWORD WINAPI WatchDialogs(void* context) {
    DialogWatcher* watcher = (DialogWatcher*)context;
    std::vector<HWND> closed;
    while (!watcher->stop) {
        for (HWND window : VisibleTopWindows(GetCurrentProcessId())) {
            bool old = false;
            for (HWND done : closed)
                old |= done == window;
            if (old)
                continue;
            Sleep(50);
            watcher->seen.push_back(DescribeWindow(window));
            closed.push_back(window);
            CloseWindowBy(window, kCloseByOk);
        }
        Sleep(20);
    }
    return 0;
}

static void StartWatching(DialogWatcher* watcher) {
    watcher->stop = 0;
    watcher->seen.clear();
    watcher->thread = CreateThread(NULL, 0, WatchDialogs, watcher, 0, NULL);
}

static std::vector<WindowInfo> StopWatching(DialogWatcher* watcher) {
    InterlockedExchange(&watcher->stop, 1);
    WaitForSingleObject(watcher->thread, INFINITE);
    CloseHandle(watcher->thread);
    return watcher->seen;
}

class InstalledCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteProductKeys();
        gModuleInstance = GetModuleHandleA(NULL);
    }
    void TearDown() override { DeleteProductKeys(); }

    // Runs the check for a key pair and returns the result with the
    // dialogs it showed.
    int Check(const KeyPair& pair, int language, std::vector<WindowInfo>* dialogs) {
        DialogWatcher watcher;
        StartWatching(&watcher);
        int result = CheckInstalledProduct(pair.uninstallKey, pair.productKey, language, 1);
        *dialogs = StopWatching(&watcher);
        return result;
    }

    void Install(const char* uninstallKey, const std::string& clientLevel) {
        ASSERT_TRUE(WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue,
                                 clientLevel.c_str()));
        if (uninstallKey)
            ASSERT_TRUE(WriteRegText(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName",
                                     "Omrik Vindara"));
    }
};

static const char* const* kUninstallKeys[3] = {
    kUninstallKeyByName, kAlternateUninstallKey, kMainUninstallKey,
};

// Each uninstall key alone with the product key is an installation, found
// by the pairs that name that key (in both forms) and by no other pair.
TEST_F(InstalledCheckTest, EachUninstallKeyWithTheProductKeyShowsTheDialog) {
    for (int k = 0; k < 3; k++) {
        DeleteProductKeys();
        Install(kUninstallKeys[k][kPlainForm], "VNR/3.9");
        for (int pair = 0; pair < kKeyPairCount; pair++) {
            std::vector<WindowInfo> dialogs;
            int expected = pair % 3 == k ? 1 : 0;
            EXPECT_EQ(Check(kKeyPairs[pair], 1033, &dialogs), expected)
                << "uninstall key " << k << ", pair " << pair + 1;
            ASSERT_EQ(dialogs.size(), (size_t)expected);
            EXPECT_EQ(HasClientLevel(kKeyPairs[pair].uninstallKey, kKeyPairs[pair].productKey),
                      expected);
            if (expected) {
                EXPECT_EQ(dialogs[0].caption, "Omrik Vindara");
                ASSERT_EQ(dialogs[0].controls.size(), 3u);  // long form 1033
            }
        }
    }
}

TEST_F(InstalledCheckTest, ClientLevelWithoutSlashCountsButShowsNothing) {
    Install(kMainUninstallKey[kPlainForm], "VNR 4.50");
    std::vector<WindowInfo> dialogs;
    EXPECT_EQ(Check(MainKeyPair(kPlainForm), 1033, &dialogs), 0);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(HasClientLevel(kMainUninstallKey[kPlainForm], kProductKey[kPlainForm]));
}

TEST_F(InstalledCheckTest, HalfAnInstallationIsNotAnInstallation) {
    struct Case {
        bool productKey, clientLevel, uninstallKey;
    } cases[] = {
        {true, true, false},   // product key without uninstall key
        {false, false, true},  // uninstall key without product key
        {true, false, true},   // product key without ClientLevel
    };
    for (const Case& c : cases) {
        DeleteProductKeys();
        if (c.productKey)
            WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kDirectoryValue, "C:\\x\\");
        if (c.clientLevel)
            WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue, "VNR/4");
        if (c.uninstallKey)
            WriteRegText(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm], "DisplayName", "x");
        for (KeyForm form : {kPlainForm, kTrailingForm}) {
            const KeyPair& pair = MainKeyPair(form);
            std::vector<WindowInfo> dialogs;
            EXPECT_EQ(Check(pair, 1033, &dialogs), 0);
            EXPECT_TRUE(dialogs.empty());
            EXPECT_FALSE(HasClientLevel(pair.uninstallKey, pair.productKey));
        }
    }
}

static std::string FirstText(const WindowInfo& info) {
    for (const ControlInfo& control : info.controls) {
        if (control.id == -1)
            return control.text;
    }
    return "";
}

// The version after the first "/" picks the form: below 4 the long form
// with the warning about updates, 4 and later the short form.
TEST_F(InstalledCheckTest, VersionChoosesLongOrShortForm) {
    struct Case {
        const char* clientLevel;
        int language;
        size_t controls;
        const char* firstText;
    } cases[] = {
        {"VNR/3.9", 1033, 3, "Omrik Vindara is already installed."},
        {"VNR/4", 1033, 2, "Omrik Vindara is already installed."},
        {"VNR/4.50", 1033, 2, "Omrik Vindara is already installed."},
        {"VNR/", 1033, 3, "Omrik Vindara is already installed."},
        {"A/B/3.0", 1036, 4, "Omrik Vindara est d\xc3\xa9j\xc3\xa0 install\xc3\xa9."},
        // The Japanese texts pass through the system code page of an ANSI
        // dialog; only their Latin letters are checked here.
        {"VNR/ 4.5e0", 1041, 6, "OmrikVindara"},
        {"VNR/-7", 1041, 9, "OmrikVindara"},
    };
    for (const Case& c : cases) {
        DeleteProductKeys();
        Install(kMainUninstallKey[kPlainForm], c.clientLevel);
        std::vector<WindowInfo> dialogs;
        EXPECT_EQ(Check(MainKeyPair(kPlainForm), c.language, &dialogs), 1);
        ASSERT_EQ(dialogs.size(), 1u) << c.clientLevel;
        EXPECT_EQ(dialogs[0].controls.size(), c.controls) << c.clientLevel;
        EXPECT_EQ(FirstText(dialogs[0]).find(c.firstText), 0u)
            << c.clientLevel << ": " << FirstText(dialogs[0]);
    }
}

// A ClientLevel that fills the whole buffer without a NUL is read as its
// 260 bytes and no further; one byte more does not fit and is not read.
// Stored as binary data, because Wine's ANSI query of a string wants room
// for a NUL it adds itself.
TEST_F(InstalledCheckTest, ClientLevelWithoutNulIsReadWithinItsBuffer) {
    std::string full = "VNR/4" + std::string(255, '0');
    ASSERT_EQ(full.size(), 260u);
    WriteRegValue(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue, REG_BINARY,
                  full);
    WriteRegText(HKEY_LOCAL_MACHINE, kMainUninstallKey[kPlainForm], "DisplayName", "x");
    std::vector<WindowInfo> dialogs;
    EXPECT_EQ(Check(MainKeyPair(kPlainForm), 1033, &dialogs), 1);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].controls.size(), 2u);  // 4000...0 is 4 or more
    WriteRegValue(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue, REG_BINARY,
                  full + "0");
    EXPECT_EQ(Check(MainKeyPair(kPlainForm), 1033, &dialogs), 0);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_FALSE(HasClientLevel(kMainUninstallKey[kPlainForm], kProductKey[kPlainForm]));
}

// In a real registry a trailing backslash names the same key as the plain
// path, so the two forms of a key pair cannot be told apart here.
TEST_F(InstalledCheckTest, TrailingBackslashOpensTheSameKey) {
    WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue, "VNR/4");
    HKEY key;
    ASSERT_TRUE(OpenKey(HKEY_LOCAL_MACHINE, kProductKey[kTrailingForm], &key));
    char data[kTextReadSize];
    EXPECT_TRUE(ReadTextValue(key, kClientLevelValue, data, sizeof data, NULL, NULL));
    EXPECT_STREQ(data, "VNR/4");
    RegCloseKey(key);
    // A key created through the trailing form is the plain key too.
    DeleteProductKeys();
    WriteRegText(HKEY_LOCAL_MACHINE, kProductKey[kTrailingForm], kClientLevelValue, "VNR/3");
    RegValue value;
    ASSERT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, kProductKey[kPlainForm], kClientLevelValue,
                             &value));
    EXPECT_EQ(value.data, std::string("VNR/3", 6));
}

TEST_F(InstalledCheckTest, MissingDialogStillCountsAsInstalled) {
    Install(kMainUninstallKey[kPlainForm], "VNR/4.50");
    std::vector<WindowInfo> dialogs;
    // 1044 has no dialog; the launcher never asks for it, but a failed
    // dialog must not turn an installation into none.
    EXPECT_EQ(Check(MainKeyPair(kPlainForm), 1044, &dialogs), 1);
    EXPECT_TRUE(dialogs.empty());
}
