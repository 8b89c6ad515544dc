// Repairs of the product's registration after the inner installer ended.
// Each returns 1 when it wrote its value.
#pragma once
#include "repair/repair_text.h"

int WriteBuildLevel(const char* productKey);
int RewriteUninstallValue(const char* uninstallKey, const char* valueName, UninstallValue value,
                          const char* productKey);
int RewriteSourceListValue(const char* sourceKey, const char* valueName, const char* productKey);
