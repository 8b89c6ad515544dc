// Setup.exe without its hidden window, for the benchmark only: the same
// entry, dispatch, registry work and imports, but no window class and no
// window. The difference to Setup.exe is what the start-up gate costs.
#include <windows.h>

#include "launcher/command_line.h"
#include "launcher/main_window.h"
#include "launcher/platform_ops.h"
#include "resources/resource_ids.h"


int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The strings are still loaded, so only the window itself is left out.
    LoadStringA(instance, IDS_WINDOW_TITLE, gWindowTitle, sizeof gWindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, gClassName, sizeof gClassName);
    gModuleInstance = instance;  // the dialogs are loaded from it
    return RunLauncher(SkipProgramName(GetCommandLineA()), &kPlatformOps);
}
