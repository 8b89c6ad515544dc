// The language identifier doubles as the resource identifier of the dialog,
// so only identifiers that have a dialog are accepted.
#include "detect/language.h"

#include "base/text.h"
#include "launcher/command_line.h"

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
