// Writes one value of the repairs into an existing key; no key is created.
// A per-user source value goes into the key its read opened, so it lands
// in the very key it was read from. Any other value's key is opened by its
// path: the trailing-backslash form first, the plain form only when the
// write through the first failed.
#include "repair/write_value.h"

#include <windows.h>

#include "base/registry.h"
#include "base/text.h"
#include "detect/registry_paths.h"

static LONG SetValue(HKEY key, const RegistryWrite* write) {
    wchar_t name[kTextBufSize];
    if (!CopyText(name, kTextBufSize, write->name))
        return ERROR_FILENAME_EXCED_RANGE;
    return RegSetValueExW(key, name, 0, write->type, (const BYTE*)write->text,
                          (DWORD)(write->length * sizeof(wchar_t)));
}

// Says which form took the value, or the status of the last try.
WriteResult WriteValue(const RegistryWrite* write) {
    if (write->openKey) {
        LONG status = SetValue((HKEY)write->openKey, write);
        return {status == ERROR_SUCCESS ? kWritten : kWriteFailed, (unsigned long)status};
    }
    HKEY root = write->root == kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    LONG status = ERROR_FILE_NOT_FOUND;
    for (int form = 0; form < kFormCount; form++) {
        HKEY key;
        status = OpenKey(root, write->key[form], &key);
        if (status != ERROR_SUCCESS)
            continue;
        status = SetValue(key, write);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS)
            return {form == 0 ? kWritten : kWrittenThroughFallback, 0};
    }
    return {kWriteFailed, (unsigned long)status};
}
