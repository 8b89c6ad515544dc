// Entry point: create the hidden window, then hand the argument text to the
// dispatcher with the operations bound to the real system.
#include <windows.h>

#include "base/dialog.h"
#include "launcher/command_line.h"
#include "launcher/main_window.h"
#include "launcher/platform_ops.h"
#include "resources/resource_ids.h"

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFunction)(LPCSTR);

// DLLs that the system loads on the launcher's behalf later are searched
// for in the system directory only, never on the installation medium or in
// the current directory, where a planted DLL could wait. The calls are
// looked up at run time: a system without them keeps its default order.
static void RestrictDllSearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDefaultDllDirectoriesFunction setDefault = (SetDefaultDllDirectoriesFunction)(void (*)())
        GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryFunction setDirectory =
        (SetDllDirectoryFunction)(void (*)())GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDirectory)
        (void)setDirectory("");  // at least the current directory is left out
}

// The argument text is taken from the process's own command line, with the
// program name skipped the way the runtime skips it, so every byte of it
// reaches the inner installer as the platform delivered it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    LoadStringA(instance, IDS_WINDOW_TITLE, gWindowTitle, sizeof gWindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, gClassName, sizeof gClassName);
#ifdef SETUP_WITHOUT_WINDOW
    // The benchmark's variant: all of the launcher but its window, so the
    // difference shows what the start-up gate costs.
    gModuleInstance = instance;
#else
    (void)RegisterMainWindowClass(instance);  // a failure shows as a failed creation
    // Always hidden, whatever show command the launcher was started with.
    if (!CreateMainWindow(instance, SW_HIDE))
        return 0;
#endif
    return RunLauncher(SkipProgramName(GetCommandLineA()), &kPlatformOps);
}
