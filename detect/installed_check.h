// Whether the product is installed, and the refusal dialog when it is.
#pragma once

int CheckInstalledProduct(const char* uninstallKey, const char* productKey, int language,
                          int show);
int HasClientLevel(const char* uninstallKey, const char* productKey);
