// An installation counts only when its uninstall key and its product key
// both exist and the product key holds ClientLevel.
#include "detect/installed_check.h"

#include <windows.h>

#include "detect/client_level.h"
#include "detect/registry_paths.h"
#include "base/dialog.h"
#include "base/registry.h"
#include "base/text.h"

// Reads ClientLevel into value; length (if asked for) is the text's length.
static int ReadClientLevel(const char* uninstallKey, const char* productKey,
                           char value[kTextReadSize], size_t* length) {
    HKEY uninstall;
    if (!OpenKey(HKEY_LOCAL_MACHINE, uninstallKey, &uninstall))
        return 0;
    RegCloseKey(uninstall);  // only its existence counts
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    int read = ReadTextValue(product, kClientLevelValue, value, kTextReadSize, length, NULL);
    RegCloseKey(product);
    return read;
}

int HasClientLevel(const char* uninstallKey, const char* productKey) {
    char value[kTextReadSize];
    return ReadClientLevel(uninstallKey, productKey, value, NULL);
}

// Shows the already-installed dialog in the chosen language, long form for
// versions below 4, when show is set, and reports 1 whether or not the
// dialog could be shown.
int CheckInstalledProduct(const char* uninstallKey, const char* productKey, int language,
                          int show) {
    char value[kTextReadSize];
    size_t length;
    if (!ReadClientLevel(uninstallKey, productKey, value, &length))
        return 0;
    int dialogId = ChooseDialogId(value, length, language);
    if (!dialogId)
        return 0;
    if (show)
        (void)DialogBoxParamA(gModuleInstance, MAKEINTRESOURCEA(dialogId), NULL,
                              OkCancelDialogProc, 0);
    return 1;
}
