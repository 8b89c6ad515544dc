// The launcher reads and writes existing keys only; it never creates one.
// Even a key it only reads is opened for full access: a key the user may
// not change is then treated like a missing one, so nothing is decided from
// a key the launcher could not repair.
#include "base/registry.h"

int OpenKey(HKEY root, const char* path, HKEY* key) {
    return RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | kRegistryView, key) == ERROR_SUCCESS;
}
