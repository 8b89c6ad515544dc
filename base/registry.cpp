// The launcher reads and writes existing keys only; it never creates one.
// Even a key it only reads is opened for full access, so a key it could not
// repair counts as missing and decides nothing. Key paths and value names
// are fixed ASCII texts, widened for the registry's wide calls.
#include "base/registry.h"

#include <string.h>

#include "base/error_codes.h"
#include "base/text.h"

static_assert(kErrorBadExeFormat == ERROR_BAD_EXE_FORMAT &&
                  kErrorFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE &&
                  kErrorInstallAlreadyRunning == ERROR_INSTALL_ALREADY_RUNNING &&
                  kErrorSuccessRebootInitiated == ERROR_SUCCESS_REBOOT_INITIATED &&
                  kErrorSuccessRebootRequired == ERROR_SUCCESS_REBOOT_REQUIRED,
              "the error codes' numbers");

// Any program of the user may have put a registry link in the user's hive,
// pointing into the machine's keys for the elevated launcher to change. So
// a key under HKEY_CURRENT_USER is opened one name at a time, each as
// itself, and a link anywhere on the way counts as a missing key.
static LONG OpenUserKey(const char* path, const char* end, HKEY* key) {
    HKEY current = HKEY_CURRENT_USER;
    const char* name = path;
    while (name < end && *name == '\\')
        name++;
    while (name < end) {
        size_t length = 0;
        while (name + length < end && name[length] != '\\')
            length++;
        const char* rest = name + length;
        while (rest < end && *rest == '\\')
            rest++;
        // Only the key itself needs full access; those above it are read.
        REGSAM access = (rest < end ? KEY_QUERY_VALUE : KEY_ALL_ACCESS) | kRegistryView;
        wchar_t wide[kTextBufSize] = L"";
        HKEY next;
        LONG status = AppendBytes(wide, kTextBufSize, name, length)
                          ? RegOpenKeyExW(current, wide, REG_OPTION_OPEN_LINK, access, &next)
                          : (LONG)kErrorFilenameExcedRange;
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

LONG OpenKey(HKEY root, const char* path, size_t length, HKEY* key) {
    if (root == HKEY_CURRENT_USER)
        return OpenUserKey(path, path + length, key);
    wchar_t wide[kTextBufSize] = L"";
    if (!AppendBytes(wide, kTextBufSize, path, length))
        return (LONG)kErrorFilenameExcedRange;
    return RegOpenKeyExW(root, wide, 0, KEY_ALL_ACCESS | kRegistryView, key);
}
