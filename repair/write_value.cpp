// Writes a repaired value into an existing key, never making one: into the
// key the read holds, else through the first form of its path that takes it.
#include "repair/write_value.h"

#include <windows.h>

#include "base/error_codes.h"
#include "base/text.h"
#include "detect/read_registration.h"

static LONG SetValue(HKEY key, const RegistryWrite* write) {
    wchar_t name[kTextBufSize];
    if (!CopyText(name, kTextBufSize, kRegistrationValues[write->value].name))
        return (LONG)kErrorFilenameExcedRange;
    return RegSetValueExW(key, name, 0, write->type, (const BYTE*)write->text,
                          (DWORD)(write->length * sizeof(wchar_t)));
}

static LONG SetValueAndClose(HKEY key, void* write) {
    LONG status = SetValue(key, (const RegistryWrite*)write);
    RegCloseKey(key);
    return status;
}

// Says which form took the value, or the status of the last try.
WriteResult WriteValue(const RegistryWrite* write) {
    LONG status;
    if (write->openKey) {
        status = SetValue((HKEY)write->openKey, write);
        return {status == ERROR_SUCCESS ? kWritten : kWriteFailed, (unsigned long)status};
    }
    const RegistrationKey* key = &kRegistrationKeys[kRegistrationValues[write->value].key];
    const int form = UseKeyFallingBackOnFailure(key, SetValueAndClose, (void*)write, &status);
    if (form < 0)
        return {kWriteFailed, (unsigned long)status};
    return {form == kTrailingForm ? kWritten : kWrittenThroughFallback, 0};
}
