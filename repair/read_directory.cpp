// The installation directory as the product key records it; every repaired
// value is built from it.
#include "repair/read_directory.h"

#include "base/registry.h"
#include "detect/registry_paths.h"

// Reads Directory from the product key; only a text value is taken, since
// the rewritten values inherit its type. A Directory that fills all
// kTextBufSize bytes without a NUL has no known end: the composers refuse
// it, so they are handed those kTextBufSize bytes, not its length.
int ReadDirectory(const char* productKey, char directory[kTextReadSize], DWORD* type) {
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    int read = ReadTextValue(product, kDirectoryValue, directory, kTextReadSize, NULL, type);
    RegCloseKey(product);
    return read && IsTextType(*type);
}
