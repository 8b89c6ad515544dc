// The launcher reads and writes existing keys only; it never creates one.
// Even a key it only reads is opened for full access, so a key it could not
// repair counts as missing and decides nothing.
#include "base/registry.h"

#include "base/error_codes.h"

static_assert(kErrorBadExeFormat == ERROR_BAD_EXE_FORMAT &&
                  kErrorFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE &&
                  kErrorInstallAlreadyRunning == ERROR_INSTALL_ALREADY_RUNNING &&
                  kErrorSuccessRebootInitiated == ERROR_SUCCESS_REBOOT_INITIATED &&
                  kErrorSuccessRebootRequired == ERROR_SUCCESS_REBOOT_REQUIRED,
              "the error codes' numbers");

// Any program of the user may have put a registry link in the user's hive,
// pointing into the machine's keys for the elevated launcher to change. So
// a key under HKEY_CURRENT_USER is opened one name at a time, each as
// itself, and a link anywhere on the way counts as a missing key. Each
// name is ended in place while it is opened.
static LONG OpenUserKey(wchar_t* path, HKEY* key) {
    HKEY current = HKEY_CURRENT_USER;
    wchar_t* name = path;
    while (*name == L'\\')
        name++;
    while (*name) {
        wchar_t* end = name;
        while (*end && *end != L'\\')
            end++;
        wchar_t* rest = end;
        while (*rest == L'\\')
            rest++;
        // Only the key itself needs full access; those above it are read.
        const REGSAM access = (*rest ? KEY_QUERY_VALUE : KEY_ALL_ACCESS) | kRegistryView;
        const wchar_t separator = *end;
        HKEY next;
        *end = L'\0';
        const LONG status = RegOpenKeyExW(current, name, REG_OPTION_OPEN_LINK, access, &next);
        *end = separator;
        if (current != HKEY_CURRENT_USER)
            RegCloseKey(current);
        if (status != ERROR_SUCCESS)
            return status;
        current = next;
        if (IsRegistryLink(current)) {
            RegCloseKey(current);
            return ERROR_FILE_NOT_FOUND;
        }
        name = rest;
    }
    if (current == HKEY_CURRENT_USER)
        return ERROR_FILE_NOT_FOUND;  // an empty path names none of the product's keys
    *key = current;
    return ERROR_SUCCESS;
}

LONG OpenKey(HKEY root, wchar_t* path, HKEY* key) {
    return root == HKEY_CURRENT_USER
               ? OpenUserKey(path, key)
               : RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS | kRegistryView, key);
}
