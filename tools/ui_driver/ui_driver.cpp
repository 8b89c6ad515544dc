// Waits for a top-level window of a running program (a dialog, a message
// box, Notepad), prints its caption and every control, optionally saves a
// screenshot, and closes it the way a user would.
//   ui_driver [--process NAME] [--timeout MS] [--close ok|enter|esc|close]
//             [--screenshot FILE.bmp] [--count N]
// Exit code 0 when every expected window was seen, 1 on time-out.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "tools/testbed/testbed.h"

static bool NameMatches(HWND window, const char* process) {
    if (!process)
        return true;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return _stricmp(ProcessImageName(id).c_str(), process) == 0;
}

int main(int argc, char** argv) {
    const char* process = NULL;
    const char* screenshot = NULL;
    DWORD timeoutMs = 30000;
    int count = 1;
    CloseHow how = kCloseByOk;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--process") == 0)
            process = argv[i + 1];
        else if (strcmp(argv[i], "--timeout") == 0)
            timeoutMs = (DWORD)strtoul(argv[i + 1], NULL, 10);
        else if (strcmp(argv[i], "--screenshot") == 0)
            screenshot = argv[i + 1];
        else if (strcmp(argv[i], "--count") == 0)
            count = atoi(argv[i + 1]);
        else if (strcmp(argv[i], "--close") != 0 || !ParseCloseHow(argv[i + 1], &how)) {
            fprintf(stderr, "ui_driver: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    DWORD start = GetTickCount();
    std::vector<HWND> done;
    while ((int)done.size() < count && GetTickCount() - start < timeoutMs) {
        for (HWND window : VisibleTopWindows(0)) {
            bool seen = false;
            for (HWND old : done)
                seen |= old == window;
            if (seen || !NameMatches(window, process))
                continue;
            Sleep(200);  // let it finish painting
            printf("%s", FormatWindow(DescribeWindow(window)).c_str());
            fflush(stdout);
            if (screenshot)
                SaveScreenshot(window, screenshot);
            CloseWindowBy(window, how);
            done.push_back(window);
            break;
        }
        Sleep(50);
    }
    return (int)done.size() < count ? 1 : 0;
}
