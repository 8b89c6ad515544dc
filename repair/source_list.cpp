// Points the per-user Installer source list at the installation directory.
// The source list lives under HKEY_CURRENT_USER, where a standard user can
// write whatever he likes, so its values are treated as hostile input.
#include <windows.h>

#include "base/registry.h"
#include "base/text.h"
#include "repair/read_directory.h"
#include "repair/repair_text.h"
#include "repair/repairs.h"

int RewriteSourceListValue(const char* sourceKey, const char* valueName, const char* productKey) {
    HKEY source;
    if (!OpenKey(HKEY_CURRENT_USER, sourceKey, &source))
        return 0;
    int done = 0;
    char sourceText[kTextReadSize];
    size_t sourceLength;
    char directory[kTextReadSize];
    DWORD type;
    char value[kTextBufSize];
    if (ReadTextValue(source, valueName, sourceText, sizeof sourceText, &sourceLength, NULL) &&
        ReadDirectory(productKey, directory, &type) &&
        ComposeSourceValue(value, sizeof value, sourceText, sourceLength, directory,
                           kTextBufSize))
        done = SetTextValue(source, valueName, type, value);
    RegCloseKey(source);
    return done;
}
