// Keys are opened with full access even to read them, so a user who may not
// change a key gets the same result as for a missing key. No key is created.
#include "launcher/registry.h"

#include <string.h>

#include "launcher/text.h"

int OpenKey(HKEY root, const char* path, HKEY* key) {
    return RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | kRegistryView, key) == ERROR_SUCCESS;
}

// Reads a value into a buffer of kTextBufSize bytes. Data that does not fit
// fails the read (ERROR_MORE_DATA is not success). The data may come back
// without a terminating NUL; callers scan it with BoundedLength.
int QueryValue(HKEY key, const char* name, char* data, DWORD* size, DWORD* type) {
    *size = kTextBufSize;
    return RegQueryValueExA(key, name, NULL, type, (BYTE*)data, size) == ERROR_SUCCESS;
}

// Writes a text without its terminating NUL in the stored length. Returns 1
// only when the write succeeded.
int SetTextValue(HKEY key, const char* name, DWORD type, const char* text) {
    DWORD length = (DWORD)strlen(text);
    return RegSetValueExA(key, name, 0, type, (const BYTE*)text, length) == ERROR_SUCCESS;
}

int IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}
