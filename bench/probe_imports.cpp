// A program that imports the same four DLLs as Setup.exe (KERNEL32, USER32,
// ADVAPI32, msvcrt) and exits with 0 at once, for the benchmark only. Set
// beside the bare inner program it shows what loading those DLLs costs.
#include <windows.h>

#include <stdlib.h>

// Taking the addresses makes the linker import each DLL without calling
// anything in it.
static const void* const volatile kImported[] = {
    (const void*)&IsWindow,
    (const void*)&RegCloseKey,
    (const void*)&atoi,
};

extern "C" void WINAPI BenchProbeEntry() {
    ExitProcess(kImported[0] ? 0 : 1);
}
