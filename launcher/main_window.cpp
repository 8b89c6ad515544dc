// A window created hidden and never shown, the launcher's start-up gate: no
// display, no window, no run. Its menu, greeting and About command are part
// of it, though nobody sees them.
#include "launcher/main_window.h"

#include "launcher/refusal_dialog.h"
#include "resources/resource_ids.h"

HINSTANCE gModuleInstance;

char gWindowTitle[kWindowTextSize];
char gClassName[kWindowTextSize];
char gGreeting[kWindowTextSize];

// Once, before the class is registered; they do not change afterwards.
void LoadWindowStrings(HINSTANCE instance) {
    LoadStringA(instance, IDS_WINDOW_TITLE, gWindowTitle, sizeof gWindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, gClassName, sizeof gClassName);
    LoadStringA(instance, IDS_HELLO, gGreeting, sizeof gGreeting);
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_LARGE));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = gClassName;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SMALL));
    return RegisterClassExA(&windowClass);
}

int CreateMainWindow(HINSTANCE instance, int showCommand) {
    HWND window = CreateWindowExA(0, gClassName, gWindowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, NULL, NULL, instance, NULL);
    if (!window)
        return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return 1;
}

static void PaintGreeting(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DrawTextA(dc, gGreeting, -1, &client, DT_CENTER);  // -1: the text up to its NUL
    EndPaint(window, &paint);
}

// Only the menu commands and the two lifecycle messages are handled; the
// window is hidden, so they arrive only when sent from outside.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        PaintGreeting(window);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_ABOUT:
            // There is no About template, so this shows nothing. Like every
            // dialog of the launcher it would come through the Unicode call.
            (void)DialogBoxParamW(gModuleInstance, MAKEINTRESOURCEW(IDD_ABOUT), window,
                                  OkCancelDialogProc, 0);
            return 0;
        case IDM_EXIT:
            DestroyWindow(window);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
