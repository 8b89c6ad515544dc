// Repairs of the product's registration after the inner installer ended.
#pragma once

int WriteBuildLevel(const char* uninstallKey, const char* productKey);
int RewriteUninstallString(const char* uninstallKey, const char* valueName,
                           const char* productKey);
int RewriteDirectoryValue(const char* uninstallKey, const char* valueName,
                          const char* productKey);
int RewriteSourceListValue(const char* uninstallKey, const char* sourceKey,
                           const char* valueName, const char* productKey);
