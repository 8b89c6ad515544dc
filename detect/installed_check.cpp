// An installation counts only when its uninstall key and its product key
// both exist and the product key holds ClientLevel.
#include "detect/installed_check.h"

#include <windows.h>

#include "detect/client_level.h"
#include "detect/registry_paths.h"
#include "launcher/main_window.h"
#include "launcher/registry.h"
#include "launcher/text.h"

static int ReadClientLevel(const char* uninstallKey, const char* productKey, char* value,
                           DWORD* size) {
    HKEY uninstall;
    if (!OpenKey(HKEY_LOCAL_MACHINE, uninstallKey, &uninstall))
        return 0;
    RegCloseKey(uninstall);  // only its existence counts
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    DWORD type = REG_SZ;
    int read = QueryValue(product, kClientLevelValue, value, size, &type);
    RegCloseKey(product);
    return read;
}

int HasClientLevel(const char* uninstallKey, const char* productKey) {
    char value[kTextBufSize];
    DWORD size;
    return ReadClientLevel(uninstallKey, productKey, value, &size);
}

// Shows the already-installed dialog in the chosen language, long form for
// versions below 4, and reports 1 whether or not the dialog could be shown.
int CheckInstalledProduct(const char* uninstallKey, const char* productKey, int language) {
    char value[kTextBufSize] = {};
    DWORD size;
    if (!ReadClientLevel(uninstallKey, productKey, value, &size))
        return 0;
    int dialogId = ChooseDialogId(value, size, language);
    if (!dialogId)
        return 0;
    (void)DialogBoxParamA(gModuleInstance, MAKEINTRESOURCEA(dialogId), NULL,
                          OkCancelDialogProc, 0);
    return 1;
}
