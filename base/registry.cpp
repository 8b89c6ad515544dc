// The launcher reads and writes existing keys only; it never creates one.
// Even a key it only reads is opened for full access: a key the user may
// not change is then treated like a missing one, so nothing is decided from
// a key the launcher could not repair. Key paths and value names are fixed
// ASCII texts, widened for the registry's wide calls.
#include "base/registry.h"

#include "base/text.h"

int WidenName(const char* name, wchar_t* wide, size_t cap) {
    return CopyText(wide, cap, name);
}

int OpenKey(HKEY root, const char* path, HKEY* key) {
    wchar_t wide[kTextBufSize];
    return WidenName(path, wide, kTextBufSize) &&
           RegOpenKeyExW(root, wide, 0, KEY_ALL_ACCESS | kRegistryView, key) == ERROR_SUCCESS;
}
