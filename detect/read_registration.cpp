// One read of the product's registration, each value at most once. Every
// key is tried in its trailing-backslash form first and in its plain form
// when that does not open.
#include <windows.h>

#include <string.h>

#include "base/registry.h"
#include "detect/read_registration.h"
#include "detect/registry_paths.h"

static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ, "the registry's text types");

static int OpenEitherForm(HKEY root, const char* const* forms, HKEY* key) {
    for (int form = 0; form < kFormCount; form++) {
        if (OpenKey(root, forms[form], key) == ERROR_SUCCESS)
            return 1;
    }
    return 0;
}

// Texts, multi-strings included, come as the registry holds them, in
// UTF-16; the other types as their bytes.
static int ComesAsUtf16(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Offers kTextBufSize characters and keeps the one after them zero, so the
// text always ends in a NUL: the query leaves none when the data fills the
// buffer. A larger value (ERROR_MORE_DATA) is a failed read. A value of
// another type offers kTextBufSize bytes, read up to their first NUL and
// shown in the system's code page, as they always were. The value comes
// cleared, with the rest of the registration.
static void ReadValue(HKEY key, const char* name, TextValue* value) {
    wchar_t wideName[kTextBufSize];
    DWORD type = REG_SZ;
    DWORD size = kTextBufSize * sizeof(wchar_t);
    if (!CopyText(wideName, kTextBufSize, name) ||
        RegQueryValueExW(key, wideName, NULL, &type, (BYTE*)value->text, &size) !=
            ERROR_SUCCESS) {
        memset(value, 0, sizeof *value);  // a failed query leaves nothing behind
        return;
    }
    if (ComesAsUtf16(type)) {
        value->length = BoundedLength(value->text, size / sizeof(wchar_t));
        value->filled = value->length == kTextBufSize;
    } else {
        if (size > kTextBufSize) {
            memset(value, 0, sizeof *value);
            return;
        }
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

// Opens a key and reads one value of it, or none when name is NULL.
// Returns the open key, kept for the repairs, or NULL when it did not open.
static HKEY ReadKeyValue(HKEY root, const char* const* forms, const char* name,
                         TextValue* value) {
    HKEY key;
    if (!OpenEitherForm(root, forms, &key))
        return NULL;
    if (name)
        ReadValue(key, name, value);
    return key;
}

// Reports whether a key opened, and closes it.
static int KeyOpens(HKEY key) {
    if (!key)
        return 0;
    RegCloseKey(key);
    return 1;
}

void ReadRegistration(Registration* r) {
    memset(r, 0, sizeof *r);
    HKEY product;
    if (OpenEitherForm(HKEY_LOCAL_MACHINE, kProductKey, &product)) {
        r->productKeyOpened = 1;
        ReadValue(product, kClientLevelValue, &r->clientLevel);
        ReadValue(product, kBuildLevelValue, &r->buildLevel);
        ReadValue(product, kDirectoryValue, &r->directory);
        RegCloseKey(product);
    }
    const HKEY lm = HKEY_LOCAL_MACHINE, cu = HKEY_CURRENT_USER;
    r->uninstallKeyByNameOpened = KeyOpens(ReadKeyValue(lm, kUninstallKeyByName, NULL, NULL));
    r->alternateUninstallKeyOpened = KeyOpens(ReadKeyValue(lm, kAlternateUninstallKey, NULL, NULL));
    r->mainUninstallKeyOpened =
        KeyOpens(ReadKeyValue(lm, kMainUninstallKey, kInstallDateValue, &r->installDate));
    r->sourceListKey = ReadKeyValue(cu, kSourceListKey, kLastUsedSourceValue, &r->lastUsedSource);
    r->netSourceKey = ReadKeyValue(cu, kNetSourceKey, kNetSourceValue, &r->netSource);
}
