// The language identifier doubles as the resource identifier of the dialog,
// so only identifiers that have a dialog are accepted.
#include "detect/language.h"

#include <stdlib.h>
#include <string.h>


const char kSwitchLanguage[] = "/l";

// In the order they are tested; Norwegian is 2068, not 1044.
static const int kDialogLanguages[] = {
    1033, 1034, 1030, 1043, 1035, 1036, 1031, 1040, 2068, 2070, 1053, 1041,
};

int IsDialogLanguage(int language) {
    for (size_t i = 0; i < sizeof kDialogLanguages / sizeof kDialogLanguages[0]; i++) {
        if (kDialogLanguages[i] == language)
            return 1;
    }
    return 0;
}

// Reads the four characters after the first "/l" as a decimal number, the
// way atoi does: "/l 1036" gives 103, "/l10361" gives 1036.
int SelectLanguage(const char* args) {
    const char* found = strstr(args, kSwitchLanguage);
    if (!found)
        return kDefaultLanguage;
    const char* digits = found + strlen(kSwitchLanguage);
    char code[5];
    size_t n = 0;
    while (n < 4 && digits[n] != '\0') {
        code[n] = digits[n];
        n++;
    }
    code[n] = '\0';
    int language = atoi(code);
    return IsDialogLanguage(language) ? language : kDefaultLanguage;
}
