// Process entry without the C runtime's start-up code. The launcher has no
// constructors, no argv and no thread-local data, and msvcrt.dll sets itself
// up when it is loaded, so the runtime's start-up would only add weight.
#include <windows.h>

extern "C" void WINAPI SetupEntry() {
    // WinMain reads the command line itself; the show command is not used.
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
