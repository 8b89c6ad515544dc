// The benchmark's variant of Setup.exe: all of the launcher but its window,
// built from the same parts, so the difference shows what the start-up
// gate costs.
#include <windows.h>

#include "launcher/command_line.h"
#include "launcher/dispatch.h"
#include "launcher/main_window.h"

static unsigned long MakeNoWindow() {
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gModuleInstance = instance;
    LauncherOps ops = kPlatformOps;
    ops.createWindow = MakeNoWindow;
    return RunLauncher(SkipProgramName(GetCommandLineW()), &ops);
}
