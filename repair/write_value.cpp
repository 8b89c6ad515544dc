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

static int SetValue(HKEY key, const RegistryWrite* write) {
    wchar_t name[kTextBufSize];
    return CopyText(name, kTextBufSize, write->name) &&
           RegSetValueExW(key, name, 0, write->type, (const BYTE*)write->text,
                          (DWORD)(write->length * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Returns 1 once a write succeeded.
int WriteValue(const RegistryWrite* write) {
    if (write->openKey)
        return SetValue((HKEY)write->openKey, write);
    HKEY root = write->root == kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    for (int form = 0; form < kFormCount; form++) {
        HKEY key;
        if (!OpenKey(root, write->key[form], &key))
            continue;
        int written = SetValue(key, write);
        RegCloseKey(key);
        if (written)
            return 1;
    }
    return 0;
}
