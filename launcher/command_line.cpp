// The argument text is never split into words: a switch counts wherever its
// characters stand, also inside a quoted value, and the whole text goes to
// the inner installer unchanged.
#include "launcher/command_line.h"

#include <string.h>

#include "base/text.h"

const char kSwitchLogResources[] = "/LOGRESOURCES";
const char kSwitchHelp[] = "/?";
const char kSwitchVersionDate[] = "/vd";
const char kSwitchBuildLevel[] = "/bl";
const char kSwitchUninstall[] = "/x";
#define INNER_INSTALLER_NAME "_Setup.exe"
const char kInnerInstallerName[] = INNER_INSTALLER_NAME;
// The trailing blank separates the program name from the argument text,
// also when that text is empty.
const char kInnerInstallerPrefix[] = INNER_INSTALLER_NAME " ";

// Skips the program name the way the runtime does before it calls WinMain:
// a quoted name ends at its closing quote, an unquoted one at the first
// character at or below blank; the white space after it goes too.
const char* SkipProgramName(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while ((unsigned char)*p > ' ')
            p++;
    }
    while (*p && (unsigned char)*p <= ' ')
        p++;
    return p;
}

// Case-sensitive substring search over the whole argument text.
int HasSwitch(const char* args, const char* name) {
    return strstr(args, name) != NULL;
}

// Bytes needed for the inner command line, its NUL included.
size_t InnerCommandSize(const char* args) {
    return sizeof kInnerInstallerPrefix + strlen(args);
}

int ComposeInnerCommand(char* dst, size_t cap, const char* args) {
    int fits = CopyText(dst, cap, kInnerInstallerPrefix);
    fits &= AppendText(dst, cap, args);
    return fits;
}
