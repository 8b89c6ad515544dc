// Writes one value of the repairs into an existing key; no key is created.
// The key's trailing-backslash form is tried first and its plain form only
// when the write through the first failed.
#include "repair/write_value.h"

#include <windows.h>

#include "base/registry.h"
#include "detect/registry_paths.h"

// Returns 1 once a write succeeded.
int WriteValue(const RegistryWrite* write) {
    HKEY root = write->root == kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    for (int form = 0; form < kFormCount; form++) {
        HKEY key;
        if (!OpenKey(root, write->key[form], &key))
            continue;
        LONG result = RegSetValueExA(key, write->name, 0, write->type, (const BYTE*)write->text,
                                     (DWORD)write->length);
        RegCloseKey(key);
        if (result == ERROR_SUCCESS)
            return 1;
    }
    return 0;
}
