// The hidden main window and the dialog procedure, against the real window
// manager. The test program carries the launcher's resources.
#include <gtest/gtest.h>
#include <windows.h>

#include "launcher/main_window.h"
#include "launcher/refusal_dialog.h"
#include "resources/resource_ids.h"

static HINSTANCE TestModule() {
    return GetModuleHandleA(NULL);
}

static HWND FindMainWindow() {
    return FindWindowA(gClassName, gWindowTitle);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        gModuleInstance = TestModule();
        LoadWindowStrings(TestModule());
        RegisterMainWindowClass(TestModule());
    }
    void TearDown() override {
        HWND window;
        while ((window = FindMainWindow()) != NULL)
            DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        }
        UnregisterClassA(gClassName, TestModule());
    }
};

TEST_F(MainWindowTest, StringsComeFromTheStringTable) {
    EXPECT_STREQ(gWindowTitle, "Message");
    EXPECT_STREQ(gClassName, "MESSAGE");
    EXPECT_STREQ(gGreeting, "Hello World!");
}

TEST_F(MainWindowTest, ClassHasTheLaunchersProcedureIconsMenuAndStyles) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(GetClassInfoExA(TestModule(), gClassName, &windowClass));
    EXPECT_EQ(windowClass.style, (UINT)(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(windowClass.lpfnWndProc, MainWindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hbrBackground, (HBRUSH)(COLOR_WINDOW + 1));
    EXPECT_EQ(windowClass.lpszMenuName, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    EXPECT_NE(windowClass.hIcon, (HICON)NULL);
    EXPECT_NE(windowClass.hIconSm, (HICON)NULL);
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(NULL, IDC_ARROW));
}

TEST_F(MainWindowTest, CreatedHiddenWithTheClassMenu) {
    ASSERT_EQ(CreateMainWindow(TestModule(), SW_HIDE), 1);
    HWND window = FindMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_FALSE(IsWindowVisible(window));
    // The system has a class of the same name for message-only windows; the
    // window must be of the launcher's own class.
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(window, GWLP_WNDPROC), MainWindowProc);
    EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_STYLE) & ~(DWORD)WS_CLIPSIBLINGS,
              (DWORD)WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, (HMENU)NULL);
    char text[32];
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Help");
    GetMenuStringA(menu, IDM_EXIT, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "E&xit");
    GetMenuStringA(menu, IDM_ABOUT, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&About ...");
}

// The command is the low 16 bits of wParam; the notification code in the
// high bits does not matter.
TEST_F(MainWindowTest, ExitCommandDestroysTheWindowAndPostsQuit) {
    for (WPARAM high : {0u, 1u, 0xABCDu}) {
        ASSERT_EQ(CreateMainWindow(TestModule(), SW_HIDE), 1);
        HWND window = FindMainWindow();
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_EXIT, high), 0), 0);
        EXPECT_FALSE(IsWindow(window)) << high;
        MSG message;
        ASSERT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << high;
        EXPECT_EQ(message.wParam, 0u);
    }
}

// There is no About template, so the command shows nothing and returns 0.
TEST_F(MainWindowTest, AboutCommandShowsNothing) {
    ASSERT_EQ(CreateMainWindow(TestModule(), SW_HIDE), 1);
    HWND window = FindMainWindow();
    EXPECT_EQ(FindResourceA(TestModule(), MAKEINTRESOURCEA(IDD_ABOUT), (LPCSTR)RT_DIALOG),
              (HRSRC)NULL);
    for (WPARAM high : {0u, 0x1234u})
        EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, high), 0), 0);
    EXPECT_TRUE(IsWindow(window));
}

static bool IsInk(COLORREF color) {
    return GetRValue(color) < 128 && GetGValue(color) < 128 && GetBValue(color) < 128;
}

// Painting puts the greeting in one line along the top of the client area,
// in the middle. The window is shown here only so that it gets painted.
TEST_F(MainWindowTest, PaintDrawsTheGreetingCentredAtTheTop) {
    ASSERT_EQ(CreateMainWindow(TestModule(), SW_SHOWNORMAL), 1);
    HWND window = FindMainWindow();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 400, 200, SWP_SHOWWINDOW);
    InvalidateRect(window, NULL, TRUE);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    SIZE extent;
    GetTextExtentPoint32A(dc, "Hello World!", 12, &extent);
    int top = client.bottom, bottom = -1, left = client.right, right = -1;
    for (int y = 0; y < client.bottom; y++) {
        for (int x = 0; x < client.right; x++) {
            if (IsInk(GetPixel(dc, x, y))) {
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
        }
    }
    ReleaseDC(window, dc);
    ASSERT_GE(right, 0) << "nothing was drawn";
    EXPECT_LT(bottom, extent.cy) << "the text is not one line at the top";
    EXPECT_NEAR(left, client.right - 1 - right, 3) << "the text is not centred";
    EXPECT_NEAR(right - left + 1, extent.cx, 3);
}

// A dialog built in memory with one OK button; the wrapper posts the
// commands under test once the dialog is up and records where the focus went.
struct DialogScript {
    WPARAM commands[3];
    int count;
    bool focusOnOk;
};

static INT_PTR CALLBACK ScriptedDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    static DialogScript* script;
    if (message == WM_INITDIALOG) {
        script = (DialogScript*)lParam;
        PostMessageA(dialog, WM_APP, 0, 0);
        for (int i = 0; i < script->count; i++)
            PostMessageA(dialog, WM_COMMAND, script->commands[i], 0);
    }
    if (message == WM_APP)
        script->focusOnOk = GetFocus() == GetDlgItem(dialog, IDOK);
    return OkCancelDialogProc(dialog, message, wParam, lParam);
}

static INT_PTR RunScriptedDialog(DialogScript* script) {
    // DLGTEMPLATE, no menu, class or title, then one item: the OK button.
    alignas(4) WORD buffer[64] = {};
    DLGTEMPLATE* dialog = (DLGTEMPLATE*)buffer;
    dialog->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    dialog->cdit = 1;
    dialog->cx = 100;
    dialog->cy = 50;
    WORD* p = (WORD*)(dialog + 1) + 3;
    p = (WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
    DLGITEMTEMPLATE* item = (DLGITEMTEMPLATE*)p;
    item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    item->x = 10;
    item->y = 10;
    item->cx = 40;
    item->cy = 14;
    item->id = IDOK;
    p = (WORD*)(item + 1);
    *p++ = 0xFFFF;
    *p++ = 0x0080;
    *p++ = 'O';
    *p++ = 'K';
    *p++ = 0;
    *p++ = 0;
    return DialogBoxIndirectParamA(TestModule(), dialog, NULL, ScriptedDialogProc, (LPARAM)script);
}

TEST(OkCancelDialogProc, EndsWithOkOrCancelOnly) {
    struct Case {
        DialogScript script;
        INT_PTR result;
    } cases[] = {
        {{{IDOK}, 1, false}, IDOK},
        {{{IDCANCEL}, 1, false}, IDCANCEL},
        {{{MAKEWPARAM(IDOK, BN_CLICKED)}, 1, false}, IDOK},
        {{{MAKEWPARAM(IDCANCEL, 0xFFFF)}, 1, false}, IDCANCEL},
        {{{3, 0x10005, IDOK}, 3, false}, IDOK},
        {{{IDYES, IDNO, IDCANCEL}, 3, false}, IDCANCEL},
    };
    for (Case& c : cases) {
        EXPECT_EQ(RunScriptedDialog(&c.script), c.result) << c.script.commands[0];
        EXPECT_TRUE(c.script.focusOnOk);
    }
}
