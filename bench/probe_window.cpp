// Setup.exe's start-up and nothing else, for the benchmark only: strings,
// window class and hidden window as the launcher makes them, then exit 0.
// It imports the same four DLLs as the import probe, so the two differ by
// the window alone.
#include <windows.h>

#include <stdlib.h>

#include "launcher/main_window.h"
#include "resources/resource_ids.h"

// Taking the addresses makes the linker import the two DLLs that the
// start-up itself does not call into.
static const void* const volatile kImported[] = {
    (const void*)&RegCloseKey,
    (const void*)&atoi,
};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadStringA(instance, IDS_WINDOW_TITLE, gWindowTitle, sizeof gWindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, gClassName, sizeof gClassName);
    (void)RegisterMainWindowClass(instance);  // a failure shows in the creation
    if (!CreateMainWindow(instance, SW_HIDE))
        return 1;
    return kImported[0] ? 0 : 1;
}
