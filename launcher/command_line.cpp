// The argument text is never split into words: a switch counts wherever its
// characters stand, also in a quoted value, and the whole text goes to the
// inner installer unchanged. It is wide, as the system holds it: through the
// code page "D:/Программы" would read "D:/?????????", which holds "/?".
#include "launcher/command_line.h"

#include "base/text.h"
#include "detect/installed.h"

#define INNER_INSTALLER_NAME "_Setup.exe"
const char kInnerInstallerName[] = INNER_INSTALLER_NAME;
// The trailing blank separates the program name from the argument text,
// also when that text is empty.
constexpr char kInnerInstallerPrefix[] = INNER_INSTALLER_NAME " ";
static_assert(TextLength(kInnerInstallerPrefix) < kInnerCommandRoom - kLongestCommandLine,
              "the inner command's room holds the prefix");

static int AtOrBelowBlank(wchar_t c) {
    return (unsigned long)c <= L' ';
}

// Skips the program name as the runtime does for WinMain, a quoted one to
// its closing quote, else to the first character at or below blank, and the
// white space after it.
const wchar_t* SkipProgramName(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        p++;
        while (*p && *p != L'"')
            p++;
        if (*p == L'"')
            p++;
    } else {
        while (*p && !AtOrBelowBlank(*p))
            p++;
    }
    while (*p && AtOrBelowBlank(*p))
        p++;
    return p;
}

// Case-sensitive substring search over the whole argument text for an
// ASCII switch: where it first stands, or null.
static const wchar_t* FindSwitch(const wchar_t* args, const char* name) {
    for (; *args; args++) {
        size_t k = 0;
        while (name[k] && args[k] == (unsigned char)name[k])
            k++;
        if (!name[k])
            return args;
    }
    return nullptr;
}

int HasSwitch(const wchar_t* args, const char* name) {
    return FindSwitch(args, name) != NULL;
}

// Reads the digits among the four characters after the first "/l":
// "/l10361" gives 1036. Every dialog language has four digits, so white
// space or a sign in front, which a conversion like atoi would skip, leaves
// too few digits for one: "/l 1036" gives 103 and so the default.
int SelectLanguage(const wchar_t* args) {
    const wchar_t* found = FindSwitch(args, kSwitchLanguage);
    if (!found)
        return kDefaultLanguage;
    const wchar_t* code = found + TextLength(kSwitchLanguage);
    int language = 0;
    for (int i = 0; i < 4 && code[i] >= '0' && code[i] <= '9'; i++)
        language = language * 10 + (code[i] - '0');
    return IsDialogLanguage(language) ? language : kDefaultLanguage;
}

// Characters needed for the inner command line, its NUL included.
size_t InnerCommandSize(const wchar_t* args) {
    return TextLength(kInnerInstallerPrefix) + BoundedLength(args, (size_t)-1) + 1;
}

int ComposeInnerCommand(wchar_t* dst, size_t cap, const wchar_t* args) {
    int fits = CopyText(dst, cap, kInnerInstallerPrefix);
    fits &= AppendText(dst, cap, args);
    return fits;
}
