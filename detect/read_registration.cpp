// One read of the product's registration, each value at most once.
#include <windows.h>

#include <string.h>

#include "base/registry.h"
#include "detect/read_registration.h"
#include "detect/registry_paths.h"

static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegMultiSz == REG_MULTI_SZ,
              "the registry's types");

int UseKeyFallingBackOnFailure(const RegistrationKey* key, KeyUse use, void* context,
                               LONG* status) {
    HKEY root = key->root == kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    for (int form = 0; form < kFormCount; form++) {
        HKEY opened;
        wchar_t path[kTextBufSize];
        *status = KeyPath(key, (KeyForm)form, path, kTextBufSize) ? OpenKey(root, path, &opened)
                                                                  : ERROR_FILENAME_EXCED_RANGE;
        if (*status == ERROR_SUCCESS && (*status = use(opened, context)) == ERROR_SUCCESS)
            return form;
    }
    return -1;
}

// Offers kTextBufSize characters and keeps the one after them zero, as the
// query leaves no NUL when the data fills the buffer; a larger value is a
// failed read that keeps its size. Another type offers kTextBufSize bytes,
// read up to their first NUL in the system's code page.
static void ReadValue(HKEY key, const char* name, TextValue* value) {
    wchar_t wideName[kTextBufSize];
    DWORD type = REG_SZ;
    DWORD size = kTextBufSize * sizeof(wchar_t);
    LONG status = CopyText(wideName, kTextBufSize, name)
                      ? RegQueryValueExW(key, wideName, NULL, &type, (BYTE*)value->text, &size)
                      : ERROR_FILENAME_EXCED_RANGE;
    if (status == ERROR_SUCCESS && !ComesAsUtf16(type) && size > kTextBufSize)
        status = ERROR_MORE_DATA;
    if (status != ERROR_SUCCESS) {
        memset(value, 0, sizeof *value);  // a failed query leaves nothing behind
        value->tooLong = status == ERROR_MORE_DATA ? size : 0;
        return;
    }
    if (ComesAsUtf16(type)) {
        value->length = BoundedLength(value->text, size / sizeof(wchar_t));
        value->filled = value->length == kTextBufSize;
    } else {
        char bytes[kTextBufSize];
        memcpy(bytes, value->text, size);
        size_t count = BoundedLength(bytes, size);
        memset(value->text, 0, sizeof value->text);
        value->length = count ? (size_t)MultiByteToWideChar(CP_ACP, 0, bytes, (int)count,
                                                            value->text, kTextBufSize)
                              : 0;
        value->filled = count == kTextBufSize;
    }
    value->read = 1;
    value->type = type;
    value->text[value->length] = L'\0';
}

static LONG KeepKey(HKEY key, void* kept) {
    *(HKEY*)kept = key;
    return ERROR_SUCCESS;
}

// Each key by the first form that opens, and the values of the key.
void ReadRegistration(Registration* r) {
    memset(r, 0, sizeof *r);
    for (int id = 0; id < kKeyCount; id++) {
        HKEY key;
        LONG status;
        if (UseKeyFallingBackOnFailure(&kRegistrationKeys[id], KeepKey, &key, &status) < 0)
            continue;
        r->opened[id] = 1;
        for (int value = 0; value < kReadValueCount; value++) {
            if (kRegistrationValues[value].key == id)
                ReadValue(key, kRegistrationValues[value].name, &r->values[value]);
        }
        if (kRegistrationKeys[id].held)
            r->held[id] = key;
        else
            RegCloseKey(key);
    }
}
