// Process entry without the C runtime's start-up code, which would only add
// weight: no argv, no thread-local data, and msvcrt.dll sets itself up when
// loaded. The price: no global's constructor runs, so globals are constant
// or zero-filled; the build fails on a static constructor.
#include <windows.h>

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

// The one function the whole-program link keeps visible: the linker's -e.
extern "C" [[gnu::externally_visible]] void WINAPI SetupEntry() {
    RestrictDllSearch();
    // WinMain reads the command line itself; the show command is not used.
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
