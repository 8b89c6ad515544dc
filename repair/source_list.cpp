// Points the per-user Installer source list at the installation directory.
// The source list lives under HKEY_CURRENT_USER, where a standard user can
// write whatever he likes, so its values are treated as hostile input.
#include <windows.h>

#include "detect/registry_paths.h"
#include "launcher/registry.h"
#include "launcher/text.h"
#include "repair/read_directory.h"
#include "repair/repair_text.h"
#include "repair/repairs.h"

int RewriteSourceListValue(const char*, const char* sourceKey, const char* valueName,
                           const char* productKey) {
    HKEY source;
    if (!OpenKey(HKEY_CURRENT_USER, sourceKey, &source))
        return 0;
    int done = 0;
    char sourceText[kTextBufSize] = {};
    char directory[kTextBufSize] = {};
    char value[kTextBufSize];
    DWORD sourceSize, directorySize, sourceType = REG_SZ, type;
    if (QueryValue(source, valueName, sourceText, &sourceSize, &sourceType) &&
        ReadDirectory(productKey, directory, &directorySize, &type) &&
        ComposeSourceValue(value, sizeof value, sourceText, sourceSize, directory,
                           sizeof directory))
        done = SetTextValue(source, valueName, type, value);
    RegCloseKey(source);
    return done;
}
