// Process entry without the C runtime's start-up code. The launcher has no
// argv and no thread-local data, and msvcrt.dll sets itself up when it is
// loaded, so the runtime's start-up would only add weight. The price: no
// constructor of a global object ever runs. A global must be initialised
// statically (constant data, zero-filled storage); the build fails when the
// product's code has a static constructor (cmake/check_no_constructors.cmake).
#include <windows.h>

extern "C" void WINAPI SetupEntry() {
    // WinMain reads the command line itself; the show command is not used.
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
