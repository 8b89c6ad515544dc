// Runs the command line held in the environment variable RUN_COMMAND, byte
// for byte, waits for it and prints its full 32-bit exit code. Scripts use
// it because Wine rebuilds a command line from Unix arguments with its own
// quoting, and a Unix exit status keeps only the low 8 bits.
#include <stdio.h>
#include <stdlib.h>

#include "tools/testbed/testbed.h"

int main() {
    const char* command = getenv("RUN_COMMAND");
    if (!command) {
        fprintf(stderr, "run_command: RUN_COMMAND is not set\n");
        return 2;
    }
    Process process = {};
    if (!StartProcess(command, "", &process)) {
        printf("not started: error %lu\n", GetLastError());
        return 1;
    }
    DWORD exitCode = 0;
    WaitProcess(&process, INFINITE, &exitCode);
    EndProcess(&process);
    printf("%lu\n", exitCode);
    return 0;
}
