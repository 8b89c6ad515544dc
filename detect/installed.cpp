// The product's rules over one read of its registration. ClientLevel holds
// a prefix, a "/" and the installed version; it comes from the registry, so
// every scan of it is bounded by the length received.
#include "detect/installed.h"

#include <stdlib.h>

#include "base/text.h"
#include "resources/resource_ids.h"

static int IsSpace(wchar_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static size_t DigitsAt(const wchar_t* text, size_t n, size_t at) {
    size_t end = at;
    while (end < n && text[end] >= '0' && text[end] <= '9')
        end++;
    return end - at;
}

// Length of the longest prefix of text[0, n) that reads as a decimal number:
// white space, sign, digits, fraction, exponent. Only this form is accepted,
// so the result does not depend on which runtime's conversion reads it, and
// every character of the number is ASCII.
static size_t ScanDecimal(const wchar_t* text, size_t n) {
    size_t i = 0;
    while (i < n && IsSpace(text[i]))
        i++;
    i += i < n && (text[i] == '+' || text[i] == '-');
    const size_t whole = DigitsAt(text, n, i);
    i += whole;
    const size_t fraction = i < n && text[i] == '.' ? DigitsAt(text, n, i + 1) : 0;
    if (whole + fraction == 0)
        return 0;
    i += i < n && text[i] == '.' ? 1 + fraction : 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        const size_t sign = i + 1 < n && (text[i + 1] == '+' || text[i + 1] == '-');
        const size_t exponent = DigitsAt(text, n, i + 1 + sign);
        i += exponent ? 1 + sign + exponent : 0;
    }
    return i;
}

// Finds the first "/" and converts what follows it; text that is not a
// number converts to 0. Returns 0 when there is no "/".
int FindInstalledVersion(const TextValue* clientLevel, double* version) {
    const wchar_t* value = clientLevel->text;
    size_t length = clientLevel->length;
    const wchar_t* slash = FindUnit(value, length, L'/');
    if (!slash)
        return 0;
    const wchar_t* tail = slash + 1;
    size_t number = ScanDecimal(tail, length - (size_t)(tail - value));
    char text[kTextReadSize];
    for (size_t i = 0; i < number; i++)  // number < length < sizeof text
        text[i] = (char)tail[i];
    text[number] = '\0';
    // atof, not strtod: the MinGW headers route strtod to a large private
    // copy, and only plain decimal text reaches the conversion here.
    *version = number ? atof(text) : 0.0;
    return 1;
}

// The language identifier doubles as the dialog's resource identifier, so
// only those with a dialog are accepted. Norwegian is 2068, not 1044.
constexpr int kDialogLanguages[kDialogLanguageCount] = {
    1033, 1034, 1030, 1043, 1035, 1036, 1031, 1040, 2068, 2070, 1053, 1041,
};

int IsDialogLanguage(int language) {
    for (int known : kDialogLanguages) {
        if (known == language)
            return 1;
    }
    return 0;
}

// Versions below 4 get the long form with the warning about updates; 4 and
// later the short form. A ClientLevel without a version gets the long form.
int ChooseDialogId(const TextValue* clientLevel, int language) {
    double version = 0.0;
    (void)FindInstalledVersion(clientLevel, &version);
    return version >= 4.0 ? language + IDD_SHORT_FORM_OFFSET : language;
}

// Installed: the product key's ClientLevel names a version (after a "/"),
// and one of the three uninstall keys exists beside it.
int IsInstalled(const Registration* r) {
    const TextValue* clientLevel = &r->values[kClientLevelId];
    return r->opened[kProductKeyId] && clientLevel->read &&
           FindUnit(clientLevel->text, clientLevel->length, L'/') &&
           (r->opened[kUninstallKeyByNameId] || r->opened[kAlternateUninstallKeyId] ||
            r->opened[kMainUninstallKeyId]);
}

// Registered: after the inner installer, the product key holds a ClientLevel
// of any content and the main uninstall key exists: there is what to repair.
int IsRegistered(const Registration* r) {
    return r->opened[kProductKeyId] && r->opened[kMainUninstallKeyId] &&
           r->values[kClientLevelId].read;
}
