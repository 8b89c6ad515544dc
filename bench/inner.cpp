// The inner installer for the benchmark, in three builds:
//   (default)             exits with 0 at once: the cheapest program Windows
//                         can start, so its time is the floor of any launcher
//   BENCH_INNER_REGISTER  first leaves behind what a completed installation
//                         leaves in the registry, with the values the test
//                         stand-in registers
//   BENCH_INNER_HOLD      waits until the benchmark has listed the modules of
//                         the processes above it, then exits with 0
// It has no C runtime: only KERNEL32 (and ADVAPI32 for the registering
// build) are loaded, so nothing but the process itself is measured.
#include <windows.h>

#ifdef BENCH_INNER_REGISTER
#include "tools/testbed/installation.h"
#endif

#ifdef BENCH_INNER_HOLD
// The benchmark creates both events before it starts the launcher. The wait
// is bounded so a benchmark that died cannot leave this process behind.
static void HoldUntilReleased() {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "OmrikBenchInnerReady");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "OmrikBenchInnerRelease");
    if (!ready || !release)
        return;
    SetEvent(ready);
    WaitForSingleObject(release, 30000);
}
#endif

extern "C" void WINAPI BenchInnerEntry() {
#ifdef BENCH_INNER_REGISTER
    RegisterInstallation("C:\\Program Files\\Omrik\\Vindara\\", "VNR/4.50");
#endif
#ifdef BENCH_INNER_HOLD
    HoldUntilReleased();
#endif
    ExitProcess(0);
}
