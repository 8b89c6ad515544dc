// Process entry without the C runtime's start-up code, which would only add
// weight: no argv, no thread-local data, and msvcrt.dll sets itself up when
// loaded. The price: no global's constructor runs, so globals are constant
// or zero-filled; the build fails on a static constructor.
#include <windows.h>

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD);

// DLLs that the system loads on the launcher's behalf later are searched
// for in the system directory only, never on the installation medium or in
// the current directory, where a planted DLL could wait. Windows before 8
// without its update lacks the call, so it is looked up at run time; there
// at least the current directory is left out.
static void RestrictDllSearch() {
    SetDefaultDllDirectoriesFunction setDefault = (SetDefaultDllDirectoriesFunction)(void (*)())
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        (void)SetDllDirectoryA("");
}

// The one function the whole-program link keeps visible: the linker's -e.
extern "C" [[gnu::externally_visible]] void WINAPI SetupEntry() {
    RestrictDllSearch();
    // WinMain reads the command line itself; the show command is not used.
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
