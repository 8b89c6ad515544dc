// The installation directory as the product key records it; every repaired
// value is built from it.
#include "repair/read_directory.h"

#include "detect/registry_paths.h"
#include "launcher/registry.h"

// Reads Directory from the product key; only a text value is taken, since
// the rewritten values inherit its type.
int ReadDirectory(const char* productKey, char* directory, DWORD* size, DWORD* type) {
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    *type = REG_SZ;
    int read = QueryValue(product, kDirectoryValue, directory, size, type);
    RegCloseKey(product);
    return read && IsTextType(*type);
}
