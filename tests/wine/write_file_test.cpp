// A file written for Notepad to show, against Wine's real file system: while
// Notepad shows it, it is held, so nothing can take its name in between.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "reports/report_output.h"
#include "tools/testbed/testbed.h"

namespace {

struct Attempts {
    HWND notepad;
    BOOL removed;
    BOOL renamed;
    bool opened;
};

BOOL CALLBACK FindHelpNotepad(HWND window, LPARAM found) {
    wchar_t caption[128];
    GetWindowTextW(window, caption, 128);
    if (wcsstr(caption, L"helpFILE.txt") && IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for Notepad to show the file, tries what an attacker would, then
// closes Notepad.
DWORD WINAPI TryToTakeTheName(void* context) {
    Attempts* attempts = (Attempts*)context;
    for (int i = 0; i < 200 && !attempts->notepad; i++) {
        Sleep(100);
        EnumWindows(FindHelpNotepad, (LPARAM)&attempts->notepad);
    }
    if (!attempts->notepad)
        return 0;
    attempts->removed = DeleteFileW(L"helpFILE.txt");
    attempts->renamed = MoveFileW(L"helpFILE.txt", L"moved.txt");
    HANDLE file = CreateFileW(L"helpFILE.txt", GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    attempts->opened = file != INVALID_HANDLE_VALUE;
    if (attempts->opened)
        CloseHandle(file);
    PostMessageW(attempts->notepad, WM_CLOSE, 0, 0);
    return 0;
}

TEST(WriteNewFile, HoldsTheFileWhileNotepadShowsIt) {
    const std::string folder = MakeScratchFolder("held");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(Wide(folder).c_str()));
    Attempts attempts = {};
    HANDLE thread = CreateThread(NULL, 0, TryToTakeTheName, &attempts, 0, NULL);
    const std::string text = "shown\r\n";
    void* made = WriteNewFile(L"helpFILE.txt", text.data(), text.size());
    if (made) {
        ShowInNotepad(L"helpFILE.txt", nullptr);
        CloseFile(made);
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    SetCurrentDirectoryW(previous);
    std::string kept;
    ReadWholeFile(folder + "\\helpFILE.txt", &kept);
    RemoveFolder(folder);

    EXPECT_NE(made, nullptr);
    ASSERT_NE(attempts.notepad, (HWND)NULL) << "Notepad did not show the file";
    EXPECT_FALSE(attempts.removed);
    EXPECT_FALSE(attempts.renamed);
    EXPECT_FALSE(attempts.opened) << "opened for writing";
    EXPECT_EQ(kept, text);
}

}  // namespace
