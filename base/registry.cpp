// The launcher reads and writes existing keys only; it never creates one.
// Even a key it only reads is opened for full access: a key the user may
// not change is then treated like a missing one, so nothing is decided from
// a key the launcher could not repair.
#include "base/registry.h"

#include <string.h>

#include "base/text.h"

int OpenKey(HKEY root, const char* path, HKEY* key) {
    return RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | kRegistryView, key) == ERROR_SUCCESS;
}

// Reads a value of any type as text into buf, whose capacity cap includes
// room for a terminating NUL: the system is offered cap - 1 bytes, and the
// rest of buf stays zero, so buf always ends up terminated. A value that
// fills the buffer without a NUL still counts as text, up to the buffer; a
// larger value (ERROR_MORE_DATA) is a failed read. On success length (if
// asked for) is the text's length up to its first NUL, and type (if asked
// for) the value's type.
int ReadTextValue(HKEY key, const char* name, char* buf, size_t cap, size_t* length,
                  DWORD* type) {
    if (cap == 0)
        return 0;
    memset(buf, 0, cap);
    DWORD size = (DWORD)(cap - 1);
    if (RegQueryValueExA(key, name, NULL, type, (BYTE*)buf, &size) != ERROR_SUCCESS) {
        memset(buf, 0, cap);
        return 0;
    }
    if (length)
        *length = BoundedLength(buf, size);
    return 1;
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
