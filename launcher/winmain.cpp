// Entry point: hand the argument text to the dispatcher with the
// operations bound to the real system. The dispatcher makes the hidden
// window itself, once it knows where the run's record goes.
#include <windows.h>

#include "launcher/command_line.h"
#include "launcher/dispatch.h"
#include "launcher/main_window.h"

// The argument text is taken from the process's own wide command line, with
// the program name skipped the way the runtime skips it, so every character
// of it reaches the inner installer as the platform delivered it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gModuleInstance = instance;  // the dialogs and the window's strings come from here
    LoadWindowStrings(instance);
    return RunLauncher(SkipProgramName(GetCommandLineW()), &kPlatformOps);
}
